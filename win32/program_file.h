#pragma once

#include <string>

// The full path of the running program's own file (UTF-8).
std::string ProgramFilePath();
// The folder part of a path, up to and including its last separator.
std::string FolderOfPath(const std::string& path);
// The program's file name without its extension: every message box's caption.
std::string ApplicationName();
