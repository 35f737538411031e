#pragma once

#include "message_host.h"
#include "progress_line.h"

#include <cstdint>
#include <string>

// The command's host for conversions: messages become lines on stderr, and
// progress goes to the progress line when there is one (stderr a terminal).
class ConsoleHost : public MessageHost {
public:
    ConsoleHost(ProgressLine* progress, bool verbose) : m_progress(progress), m_verbose(verbose) {}

    void ShowMessage(const std::string& text) override;
    std::string NameForMessage(const std::string& path) const override;
    bool OnProgress(std::uint64_t done, std::uint64_t total) override;
    void OnSummary(const ConversionSummary& summary) override;

    void StartFile(const std::string& file);
    void EndFile();

private:
    ProgressLine* m_progress;
    bool m_verbose;
    std::string m_file;
};
