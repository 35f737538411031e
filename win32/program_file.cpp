#include "program_file.h"

#include "windows_text.h"

#include <windows.h>

std::string ProgramFilePath()
{
    // No fixed size: grow until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            return windows_text::WideToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string FolderOfPath(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string ApplicationName()
{
    static const std::string name = [] {
        const std::string path = ProgramFilePath();
        const std::string file = path.substr(FolderOfPath(path).size());
        const std::size_t dot = file.rfind('.');
        return dot == std::string::npos ? file : file.substr(0, dot);
    }();
    return name;
}
