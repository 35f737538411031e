#include "capture_listing_windows.h"

#include "capture_listing.h"
#include "windows_text.h"

#include <windows.h>

#include <algorithm>

std::vector<std::wstring> ListCaptureNamesWide(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    // "*" rather than "*.DT": the pattern would also match long extensions
    // such as ".dtx" through their short 8.3 names.
    const HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        // A folder is not a capture, and "aux.DT" opens a device, not a file.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || windows_text::IsDeviceName(found.cFileName))
            continue;
        const std::wstring name = found.cFileName;
        if (MatchesCapturePattern(windows_text::WideToUtf8(name)))
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CaptureNameLess(windows_text::WideToUtf8(a), windows_text::WideToUtf8(b));
    });
    return names;
}
