#pragma once

// Why a path the folder chooser was given cannot be the window's folder.

#include <string>

// Empty for a folder that can be listed; else a sentence naming `path` and
// what is wrong: it does not exist, is not a folder, or cannot be read.
std::string FolderProblem(const std::string& path);
