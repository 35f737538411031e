#pragma once

#include "conversion_summary.h"

#include <cstdint>
#include <string>

// What the conversion reports to: the window passes itself (a message box for
// the one failure message), the command passes a host that prints to stderr.
class MessageHost {
public:
    virtual ~MessageHost() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // How a file's name appears inside a message: as it is, unless the host
    // must make it safe for where it prints (a terminal, a log).
    virtual std::string NameForMessage(const std::string& path) const { return path; }
    // Called as the entry walk starts and then after every kProgressStep bytes
    // of capture or so, with the bytes done so far out of `total` (the input's
    // size). Returning false stops the conversion: its unfinished output is
    // discarded, an earlier output file is left as it was, and the conversion
    // returns -1 without a message. Hosts that show no progress ignore it.
    virtual bool OnProgress(std::uint64_t done, std::uint64_t total)
    {
        (void)done;
        (void)total;
        return true;
    }

    // Called when a pcap file was left -- finished, or the records before a
    // failure in the entry walk -- with what it holds, before any message.
    virtual void OnSummary(const ConversionSummary& summary) { (void)summary; }

    // Bytes of capture between two progress reports: small enough that a
    // window answering from this callback stays responsive on slow disks.
    static constexpr std::uint64_t kProgressStep = 1u << 20;
};
