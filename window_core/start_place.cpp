#include "start_place.h"

#include "capture_listing.h"
#include "path_parts.h"

namespace {

// Whether `argument` is `option` or a prefix of it past its "--".
bool IsLongOption(const std::string& argument, const std::string& option)
{
    return argument.size() > 2 && argument.size() <= option.size() && option.compare(0, argument.size(), argument) == 0;
}

} // namespace

std::string RefusalText(const RefusedArgument& refused)
{
    return (refused.argument.empty() ? std::string("''") : refused.argument) + ": " + refused.reason;
}

WindowArguments ReadWindowArguments(const std::vector<std::string>& arguments)
{
    WindowArguments read;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (!options || argument.size() < 2 || argument[0] != '-') {
            read.places.push_back(argument);
        } else if (argument == "--") {
            options = false;
        } else if (IsLongOption(argument, "--help")) {
            if (read.request == WindowRequest::kOpen)
                read.request = WindowRequest::kHelp;
        } else if (IsLongOption(argument, "--version")) {
            if (read.request == WindowRequest::kOpen)
                read.request = WindowRequest::kVersion;
        } else {
            read.refused.push_back({argument, kUnknownOption});
        }
    }
    return read;
}

StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const PlaceSystem& system)
{
    StartPlace place;
    // What each argument names; those naming neither a folder nor a capture
    // are left out, as if not given.
    struct Named {
        std::string path;
        bool folder;
    };
    std::vector<Named> named;
    for (const std::string& argument : arguments) {
        // An empty argument names nothing, not the working folder.
        const std::string path = argument.empty() ? argument : system.Absolute(argument);
        if (system.IsFolder(path)) {
            named.push_back({path, true});
            continue;
        }
        std::string reason = system.WhyNotAFile(path);
        if (reason.empty() && !MatchesCapturePattern(FileNameOf(path)))
            reason = kNotACapture;
        if (reason.empty())
            named.push_back({path, false});
        else
            place.refused.push_back({argument, reason});
    }

    if (named.empty()) {
        place.folder = system.FolderWithoutArguments(FolderOf(startedProgram));
        return place;
    }
    if (named[0].folder) {
        place.folder = WithFolderSeparator(named[0].path);
        return place;
    }
    place.folder = FolderOf(named[0].path);
    for (const Named& capture : named) {
        // The name from its own path: a folder the same but for case may
        // be spelt in another number of bytes.
        if (!capture.folder && system.SameFolder(FolderOf(capture.path), place.folder))
            place.names.push_back(FileNameOf(capture.path));
    }
    return place;
}

StartPlace ChooseStartPlace(const WindowArguments& arguments, const std::string& startedProgram,
                            const PlaceSystem& system)
{
    StartPlace place = ChooseStartPlace(arguments.places, startedProgram, system);
    place.refused.insert(place.refused.begin(), arguments.refused.begin(), arguments.refused.end());
    return place;
}

WindowRequest WindowRequestFor(const std::vector<std::string>& commandLine)
{
    if (commandLine.empty())
        return WindowRequest::kOpen;
    return ReadWindowArguments({commandLine.begin() + 1, commandLine.end()}).request;
}
