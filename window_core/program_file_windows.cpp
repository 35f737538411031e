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
