#pragma once

#include <cstdint>
#include <string>

// What the conversion reports to: the window passes itself (a message box for
// the one failure message), the command passes a host that prints to stderr.
class MessageHost {
public:
    virtual ~MessageHost() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // Called as the entry walk starts and now and then during it, with the
    // capture bytes done so far out of `total` (the input's size, 0 when it
    // has none). Hosts that show no progress ignore it.
    virtual void OnProgress(std::uint64_t done, std::uint64_t total)
    {
        (void)done;
        (void)total;
    }
};
