#include "start_place.h"

#include "path_parts.h"
#include "program_file.h"
#include "windows_text.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    windows_text::Utf8ToWide(text, wide);
    return wide;
}

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
    return WithFolderSeparator(path);
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

// Relative paths from the current folder (and a drive's own current folder
// for "D:run.DT"), folder names compared without case; a program installed
// under Program Files opens on the user's documents.
class WindowsPlaces final : public PlaceSystem {
public:
    std::string Absolute(const std::string& path) const override
    {
        return windows_text::WideToUtf8(FullPath(Wide(path)));
    }
    bool IsFolder(const std::string& path) const override
    {
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string WhyNotAFile(const std::string& path) const override
    {
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return windows_text::SystemErrorText(GetLastError());
        // Devices answer to names of their own in every folder (NUL.DT).
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || windows_text::IsDeviceName(Wide(FileNameOf(path))))
            return kNotAFile;
        return std::string();
    }
    bool SameFolder(const std::string& a, const std::string& b) const override { return SameText(Wide(a), Wide(b)); }
    std::string FolderWithoutArguments(const std::string& programFolder) const override
    {
        if (IsInstalled(Wide(programFolder))) {
            const std::wstring documents = KnownFolder(FOLDERID_Documents);
            if (!documents.empty())
                return windows_text::WideToUtf8(documents);
        }
        return programFolder;
    }
};

} // namespace

StartPlace StartPlaceFor(const std::vector<std::string>& commandLine)
{
    // Where the program's own file is, whatever name started it.
    const std::vector<std::string> arguments(commandLine.empty() ? commandLine.end() : commandLine.begin() + 1,
                                             commandLine.end());
    return ChooseStartPlace(ReadWindowArguments(arguments), ProgramFilePath(), WindowsPlaces());
}
