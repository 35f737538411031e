#include "capture_listing.h"

#include "windows_text.h"

#include <windows.h>

#include <algorithm>

std::vector<std::string> ListCaptureNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::wstring pattern;
    windows_text::Utf8ToWide(folder.empty() ? std::string(".\\") : folder, pattern);
    // "*" rather than "*.DT": the pattern would also match long extensions
    // such as ".dtx" through their short 8.3 names.
    pattern += L"*";
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        // A folder is not a capture, and "aux.DT" opens a device, not a file.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || windows_text::IsDeviceName(found.cFileName))
            continue;
        std::string name = windows_text::WideToUtf8(found.cFileName);
        if (MatchesCapturePattern(name))
            names.push_back(std::move(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), CaptureNameLess);
    return names;
}
