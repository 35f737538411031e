#pragma once

// The places the folder chooser offers beside a folder's subfolders: the home
// folder, the folder the window opened on, and the folders chosen before in
// this run, most recent first.

#include <cstddef>
#include <string>
#include <vector>

struct FolderPlaces {
    std::string home;
    std::string start;
    std::vector<std::string> chosen;  // most recent first
};

struct Place {
    std::string label;  // "Home", else the folder's own name
    std::string folder; // no trailing '/', except the root
};

// Home first, then the start folder, then the chosen ones; each folder once,
// empty ones left out.
std::vector<Place> PlacesToOffer(const FolderPlaces& places);

// `chosen` with `folder` put first (moved there when already in it), at most
// `limit` long.
std::vector<std::string> RememberChosen(std::vector<std::string> chosen, const std::string& folder,
                                        std::size_t limit = 8);

// The home folder ($HOME, else the user database's), empty when unknown.
std::string HomeFolder();
