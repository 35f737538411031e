#pragma once

// The parts of a path as every part of the program splits it, with the
// platform's separators (file_layer::kPathSeparators), in UTF-8 or, on
// Windows, in the system's wide characters.

#include "file_layer.h"

#include <filesystem>
#include <string>

// True for a character that ends a path's folder part.
inline bool IsPathSeparator(wchar_t c)
{
    for (const char* s = file_layer::kPathSeparators; *s; ++s) {
        if (c == static_cast<wchar_t>(*s))
            return true;
    }
    return false;
}

// Everything up to and including the last separator: "/opt/conv/run" gives
// "/opt/conv/", "/run" gives "/", on Windows "D:run.DT" gives "D:". A path
// without a separator has no folder part ("").
template <class Char>
std::basic_string<Char> FolderOf(const std::basic_string<Char>& path)
{
    std::size_t end = path.size();
    while (end > 0 && !IsPathSeparator(static_cast<wchar_t>(path[end - 1])))
        --end;
    return path.substr(0, end);
}
inline std::string FolderOf(const char* path)
{
    return FolderOf(std::string(path));
}

// The file name without its folder: "/opt/conv/run.DT" gives "run.DT".
template <class Char>
std::basic_string<Char> FileNameOf(const std::basic_string<Char>& path)
{
    return path.substr(FolderOf(path).size());
}

// The file name without its folder and without its extension (from its last dot).
std::string BaseNameOf(const std::string& path);

// `folder` ending with a separator, the platform's own ('/', on Windows '\\')
// added when it has none. "" stays "": it stands for the working folder.
template <class Char>
std::basic_string<Char> WithFolderSeparator(std::basic_string<Char> folder)
{
    if (!folder.empty() && !IsPathSeparator(static_cast<wchar_t>(folder.back())))
        folder += static_cast<Char>(std::filesystem::path::preferred_separator);
    return folder;
}

// The path of `name` in `folder`, a separator between them where `folder` has none.
template <class Char>
std::basic_string<Char> JoinPath(const std::basic_string<Char>& folder, const std::basic_string<Char>& name)
{
    return WithFolderSeparator(folder) + name;
}
