#pragma once

// The program's own file: the name its message boxes carry, and where the
// window starts when the path it was started by is unknown. One
// implementation of ProgramFilePath per platform (program_file_posix.cpp,
// program_file_windows.cpp).

#include <string>

// The real path of the running program (symbolic links resolved), UTF-8 on
// Windows; empty when the system cannot tell.
std::string ProgramFilePath();

// The application's name: the program file's base name.
std::string ApplicationName();
