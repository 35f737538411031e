#pragma once

// The start place on POSIX systems: paths are taken from a working folder,
// the program is found as it was started (links kept), and a program
// installed among the system's programs opens on the working folder.

#include "start_place.h"

// The program's path as it was started, links not resolved: `argv0` itself
// when it holds a '/', else the first match in `searchPath` (PATH's form).
// Relative paths are taken from `workingFolder` (ending with '/'). Empty when
// nothing matches.
std::string StartedProgramPath(const std::string& argv0, const std::string& searchPath,
                               const std::string& workingFolder);

// True for the folders where installed programs live (/usr/bin, /usr/local/bin,
// /bin, /usr/games...), also when reached through a link.
bool IsSystemProgramFolder(const std::string& folder);

// ChooseStartPlace with relative arguments taken from `workingFolder`
// (ending with '/'), which is also where an installed program opens.
StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const std::string& workingFolder);
