#pragma once

// Where the window opens: the folder it lists at start and the captures it
// selects there.

#include <string>
#include <vector>

struct StartPlace {
    std::wstring folder;              // ends with a backslash
    std::vector<std::wstring> names;  // captures of `folder` to select
};

// Without arguments: the program's own folder (a copy in a folder of
// captures lists them), or the user's documents when the program is
// installed under Program Files. A FOLDER opens on that folder; FILE... (files dropped
// on the program, "Open with") on the first file's folder with those files
// of it selected. Relative arguments are taken from the current folder.
StartPlace ChooseStartPlace(const std::vector<std::wstring>& arguments, const std::wstring& programPath);
