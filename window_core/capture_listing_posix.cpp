#include "capture_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::vector<std::string> ListCaptureNames(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), error);
    // A folder that cannot be read further keeps what was found so far.
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!MatchesCapturePattern(name))
            continue;
        // A folder or device named like a capture would only end a batch with
        // "Open error"; links count by what they lead to.
        std::error_code statError;
        if (it->is_regular_file(statError))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), CaptureNameLess);
    return names;
}
