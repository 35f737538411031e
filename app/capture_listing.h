#pragma once

// The file list's contents: every name in a folder that matches "*.DT".

#include <string>
#include <vector>

// "*.DT" as the original platform's wildcard search matches it on its own file
// systems: the extension in any case, anything (even nothing) before it.
bool MatchesCapturePattern(const std::string& name);

// Name order as those file systems return a directory: compared in upper case,
// then byte by byte.
bool CaptureNameLess(const std::string& a, const std::string& b);

// Matching names in `folder` (ending with '/'; empty for the working folder),
// whatever they are: files, directories, hidden ones. A missing or unreadable
// folder gives an empty list.
std::vector<std::string> ListCaptureNames(const std::string& folder);
