#include "start_place.h"

#include "path_parts.h"

StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const PlaceSystem& system)
{
    StartPlace place;
    if (arguments.empty()) {
        place.folder = system.FolderWithoutArguments(FolderOf(startedProgram));
        return place;
    }
    const std::string first = system.Absolute(arguments[0]);
    if (system.IsFolder(first)) {
        place.folder = WithFolderSeparator(first);
        return place;
    }
    place.folder = FolderOf(first);
    for (const std::string& argument : arguments) {
        const std::string path = system.Absolute(argument);
        // The name from its own path: a folder the same but for case may
        // be spelt in another number of bytes.
        if (system.SameFolder(FolderOf(path), place.folder))
            place.names.push_back(FileNameOf(path));
    }
    return place;
}
