#pragma once

#include "message_host.h"

#include <string>
#include <vector>

// Keeps every message the conversion shows.
class RecordingHost : public MessageHost {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};
