#pragma once

#include "message_host.h"

#include <string>
#include <vector>

// Keeps every message the conversion shows, and counts its progress reports.
class RecordingHost : public MessageHost {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool OnProgress(std::uint64_t, std::uint64_t) override
    {
        ++progressReports;
        return true;
    }
    std::vector<std::string> messages;
    int progressReports = 0;
};
