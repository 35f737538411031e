#include "start_place.h"

#include "path_parts.h"

#include <windows.h>

namespace {

std::wstring FullPath(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), length, &full[0], nullptr));
    return full;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

} // namespace

StartPlace ChooseStartPlace(const std::vector<std::wstring>& arguments, const std::wstring& programPath)
{
    StartPlace place;
    if (arguments.empty()) {
        place.folder = FolderOf(programPath);
        return place;
    }
    const std::wstring first = FullPath(arguments[0]);
    const DWORD attributes = GetFileAttributesW(first.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        place.folder = first.back() == L'\\' || first.back() == L'/' ? first : first + L"\\";
        return place;
    }
    place.folder = FolderOf(first);
    for (const std::wstring& argument : arguments) {
        const std::wstring path = FullPath(argument);
        if (SameText(FolderOf(path), place.folder))
            place.names.push_back(path.substr(place.folder.size()));
    }
    return place;
}
