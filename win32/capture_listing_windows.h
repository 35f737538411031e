#pragma once

#include <string>
#include <vector>

// The capture files of `folder` (which ends with a backslash): regular files
// whose names end in ".DT" in any case, in the same order as the Linux window.
std::vector<std::wstring> ListCaptureNamesWide(const std::wstring& folder);
