// Wildcards on Windows are the program's to expand: neither cmd nor
// PowerShell does it for a native program, and cmd passes quotes through.

#include "platform.h"

#include "capture_name_order.h"
#include "windows_text.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// `*` any run of characters, `?` one; both already in upper case.
bool Matches(const wchar_t* pattern, const wchar_t* name)
{
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*name != L'\0') {
        if (*pattern == L'*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == L'?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == L'*')
        ++pattern;
    return *pattern == L'\0';
}

// As the system's own search: "x.*" also takes a name without an extension.
bool NameMatches(const std::wstring& pattern, const std::wstring& name)
{
    if (Matches(pattern.c_str(), name.c_str()))
        return true;
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, L".*") == 0;
    return anyExtension && name.find(L'.') == std::wstring::npos && Matches(pattern.c_str(), (name + L".").c_str());
}

// The files of `argument`'s folder whose names match its last part; empty
// when none does. Folders are not captures and are left out, as are names
// the system takes for devices.
std::vector<std::string> Matching(const std::string& argument)
{
    std::wstring wide;
    if (!windows_text::Utf8ToWide(argument, wide))
        return {};
    const std::size_t end = wide.find_last_of(L"\\/:");
    const std::wstring folder = end == std::wstring::npos ? std::wstring() : wide.substr(0, end + 1);
    const std::wstring pattern = Upper(wide.substr(folder.size()));
    // Wildcards in a folder part are not expanded: such an argument names nothing.
    if (folder.find_first_of(L"*?") != std::wstring::npos)
        return {};
    // Every name, matched here rather than by the search, which would also
    // match long names through their short 8.3 forms.
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    // The folder as it was given, so that messages name the files as typed.
    const std::string folderText = argument.substr(0, argument.find_last_of("\\/:") + 1);
    do {
        const std::wstring name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || windows_text::IsDeviceName(name) ||
            !NameMatches(pattern, Upper(name)))
            continue;
        found.push_back(windows_text::WideToUtf8(name));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end(), CaptureNameLess);
    for (std::string& name : found)
        name.insert(0, folderText);
    return found;
}

} // namespace

void ExpandWildcards(std::vector<std::string>& files)
{
    std::vector<std::string> expanded;
    for (const std::string& argument : files) {
        std::vector<std::string> matches;
        if (argument.find_first_of("*?") != std::string::npos)
            matches = Matching(argument);
        if (matches.empty())
            expanded.push_back(argument);  // fails as itself: "*.DT Open error"
        else
            expanded.insert(expanded.end(), matches.begin(), matches.end());
    }
    files.swap(expanded);
}
