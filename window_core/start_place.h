#pragma once

// Where a window opens: the folder it lists at start and the captures it
// selects there, from its arguments and the program's own place. What it
// asks of the system comes in one file per platform (start_place_posix.cpp,
// start_place_windows.cpp).

#include <string>
#include <vector>

// An argument the window does not open on, and why: one naming neither a
// folder nor a capture, or an option it does not know.
struct RefusedArgument {
    std::string argument;  // as given
    std::string reason;    // "No such file or directory", kNotACapture...
};

// Reasons of our own for refusing an argument.
constexpr char kNotACapture[] = "not a capture file (*.DT)";  // a file not named like one
constexpr char kNotAFile[] = "not a regular file";            // a device, a FIFO, a socket
constexpr char kUnknownOption[] = "unrecognized option";

struct StartPlace {
    std::string folder;              // ends with its separator; UTF-8 on Windows
    std::vector<std::string> names;  // captures of `folder` to select
    // In the order given, left out of the choice. (Initialised here, so that
    // a place written as {folder, names} needs no third member.)
    std::vector<RefusedArgument> refused = {};
};

// One refused argument as the window reports it: "ARGUMENT: REASON", an empty
// argument shown as ''.
std::string RefusalText(const RefusedArgument& refused);

// What a window's command line asks for.
enum class WindowRequest { kOpen, kHelp, kVersion };

// A window's arguments (the program not among them) sorted out: --help and
// --version (or a prefix of either, as getopt takes them) ask for an answer
// instead of the window, the first of them counting; "--" ends the options;
// any other argument starting with '-' is an unknown option, refused. The
// rest are the folder or captures to open on, in order.
struct WindowArguments {
    WindowRequest request = WindowRequest::kOpen;
    std::vector<std::string> places;
    std::vector<RefusedArgument> refused;
};
WindowArguments ReadWindowArguments(const std::vector<std::string>& arguments);

// The system's side of the choice.
class PlaceSystem {
public:
    // `path` absolute, without "." or ".." steps.
    virtual std::string Absolute(const std::string& path) const = 0;
    virtual bool IsFolder(const std::string& path) const = 0;
    // Empty for a regular file or a link to one; else why `path` is not
    // one: the system's reason ("No such file or directory"), or kNotAFile.
    virtual std::string WhyNotAFile(const std::string& path) const = 0;
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
// program `startedProgram` from its folder. An argument naming neither a
// folder nor a capture (a regular file, or a link to one, named like a
// capture) is refused and left out: the window opens where it would have
// without it.
StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const PlaceSystem& system);
// The same for the places among `arguments`, its unknown options refused first.
StartPlace ChooseStartPlace(const WindowArguments& arguments, const std::string& startedProgram,
                            const PlaceSystem& system);

// What this process's command line (the program as started first, then its
// arguments) asks for.
WindowRequest WindowRequestFor(const std::vector<std::string>& commandLine);

// The start place for this process's command line, with the system as it is
// now; its unknown options are refused first, then the arguments it cannot
// open on.
StartPlace StartPlaceFor(const std::vector<std::string>& commandLine);
