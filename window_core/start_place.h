#pragma once

// Where a window opens: the folder it lists at start and the captures it
// selects there, from its arguments and the program's own place. What it
// asks of the system comes in one file per platform (start_place_posix.cpp,
// start_place_windows.cpp).

#include <string>
#include <vector>

struct StartPlace {
    std::string folder;              // ends with its separator; UTF-8 on Windows
    std::vector<std::string> names;  // captures of `folder` to select
};

// The system's side of the choice.
class PlaceSystem {
public:
    // `path` absolute, without "." or ".." steps.
    virtual std::string Absolute(const std::string& path) const = 0;
    virtual bool IsFolder(const std::string& path) const = 0;
    // Whether two folders, each ending with its separator, are one by name.
    virtual bool SameFolder(const std::string& a, const std::string& b) const = 0;
    // Where a program in `programFolder` opens when started without arguments.
    virtual std::string FolderWithoutArguments(const std::string& programFolder) const = 0;

protected:
    ~PlaceSystem() = default;
};

// With arguments: a FOLDER opens on that folder; FILE... (files dropped on
// the program, "Open with", the menu entry's %F) on the first file's folder
// with those files of it selected. Without: where `system` opens the
// program `startedProgram` from its folder.
StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const PlaceSystem& system);

// The start place for this process's command line (the program as started
// first, then its arguments), with the system as it is now.
StartPlace StartPlaceFor(const std::vector<std::string>& commandLine);
