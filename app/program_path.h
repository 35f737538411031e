#pragma once

// The program's own file: the name its message boxes carry, and where the
// window starts when the path it was started by is unknown.

#include <string>

// The real path of the running program (symbolic links resolved).
std::string ProgramFilePath();

// Everything up to and including the last '/': "/opt/conv/run" gives "/opt/conv/",
// "/run" gives "/". A path without '/' has no folder part ("").
std::string FolderOfPath(const std::string& path);

// The file name without its folder and without its extension (from the last dot).
std::string BaseNameOfPath(const std::string& path);

// The application's name: the program file's base name.
std::string ApplicationName();
