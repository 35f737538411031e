#pragma once

// The file list's contents: the captures of a folder, the regular files (or
// links to them) whose names match "*.DT".

#include "capture_name_order.h"

#include <string>
#include <vector>

// "*.DT" as the original platform's wildcard search matches it on its own file
// systems: the extension in any case, anything (even nothing) before it.
bool MatchesCapturePattern(const std::string& name);

// Matching names of regular files, hidden ones too, and of links to regular
// files in `folder` (ending with its separator; empty for the working folder),
// in CaptureNameLess order; UTF-8 on Windows. A missing or unreadable folder
// gives an empty list. One implementation per platform (capture_listing_posix.cpp,
// capture_listing_windows.cpp).
std::vector<std::string> ListCaptureNames(const std::string& folder);
