#include "start_place.h"

#include "path_parts.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

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

std::wstring KnownFolder(REFKNOWNFOLDERID which)
{
    std::wstring path;
    wchar_t* found = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(which, KF_FLAG_DEFAULT, nullptr, &found)) && found != nullptr)
        path = found;
    CoTaskMemFree(found);
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

// Installed: under Program Files, where no capture belongs and no file may
// be written by the user.
bool IsInstalled(const std::wstring& programFolder)
{
    for (const KNOWNFOLDERID& id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX64, FOLDERID_ProgramFilesX86}) {
        const std::wstring folder = KnownFolder(id);
        if (!folder.empty() && programFolder.size() >= folder.size() &&
            SameText(programFolder.substr(0, folder.size()), folder))
            return true;
    }
    return false;
}

} // namespace

StartPlace ChooseStartPlace(const std::vector<std::wstring>& arguments, const std::wstring& programPath)
{
    StartPlace place;
    if (arguments.empty()) {
        place.folder = FolderOf(programPath);
        if (IsInstalled(place.folder)) {
            const std::wstring documents = KnownFolder(FOLDERID_Documents);
            if (!documents.empty())
                place.folder = documents;
        }
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
