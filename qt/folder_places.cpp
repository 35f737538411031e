#include "folder_places.h"

#include "path_parts.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string WithoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The root has no name of its own: it is shown as it is.
std::string NameOf(const std::string& folder)
{
    return folder == "/" ? folder : FileNameOf(folder);
}

} // namespace

std::vector<Place> PlacesToOffer(const FolderPlaces& places)
{
    std::vector<Place> offered;
    const auto offer = [&offered](const std::string& label, const std::string& given) {
        const std::string folder = WithoutTrailingSlash(given);
        if (folder.empty())
            return;
        for (const Place& place : offered) {
            if (place.folder == folder)
                return;
        }
        offered.push_back({label.empty() ? NameOf(folder) : label, folder});
    };
    offer("Home", places.home);
    offer("", places.start);
    for (const std::string& folder : places.chosen)
        offer("", folder);
    return offered;
}

std::vector<std::string> RememberChosen(std::vector<std::string> chosen, const std::string& folder,
                                        std::size_t limit)
{
    const std::string key = WithoutTrailingSlash(folder);
    chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                [&key](const std::string& known) { return WithoutTrailingSlash(known) == key; }),
                 chosen.end());
    chosen.insert(chosen.begin(), key);
    if (chosen.size() > limit)
        chosen.resize(limit);
    return chosen;
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const struct passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}
