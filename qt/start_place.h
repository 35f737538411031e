#pragma once

// Where the window opens: the folder it lists at start and the captures it
// selects there.

#include <string>
#include <vector>

struct StartPlace {
    std::string folder;              // ends with '/'
    std::vector<std::string> names;  // captures of `folder` to select
};

// The program's path as it was started, links not resolved: `argv0` itself
// when it holds a '/', else the first match in `searchPath` (PATH's form).
// Relative paths are taken from `workingFolder` (ending with '/'). Empty when
// nothing matches.
std::string StartedProgramPath(const std::string& argv0, const std::string& searchPath,
                               const std::string& workingFolder);

// True for the folders where installed programs live (/usr/bin, /usr/local/bin,
// /bin, /usr/games...), also when reached through a link.
bool IsSystemProgramFolder(const std::string& folder);

// With arguments: a FOLDER opens on that folder; FILE... on the first file's
// folder with those files of it selected. Without: the folder of the program
// as started, or `workingFolder` when that is a system folder of programs.
StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const std::string& workingFolder);

// The working folder, ending with '/'.
std::string WorkingFolder();

// The start place for this process's command line (argv[0] first), with PATH
// and the working folder as they are now.
StartPlace StartPlaceFor(const std::vector<std::string>& commandLine);
