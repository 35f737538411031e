#pragma once

#include "line_terminal.h"

#include <chrono>
#include <cstdint>
#include <string>

// One line on a terminal showing the file being converted, how far it is and
// how fast it goes, redrawn in place and wiped when the file is done or a
// message has to be printed.
class ProgressLine {
public:
    explicit ProgressLine(LineTerminal& terminal) : m_terminal(terminal) {}

    // The line appears with the conversion's first progress report.
    void Start(const std::string& file);
    void Update(std::uint64_t done, std::uint64_t total);
    // Removes the line, leaving the cursor at the start of an empty line.
    void Clear();

private:
    LineTerminal& m_terminal;
    std::string m_file;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_drawn;  // when the line was last drawn
    std::size_t m_shown = 0;  // columns on screen now
};

// How many columns the line takes on screen now, for a stop handler to wipe
// it with async-signal-safe calls only; 0 when none is shown.
std::size_t ProgressLineWidthOnScreen();

// The text of the line, e.g. "caps/run1.DT   42%  183.5 MB/s", at most
// `maxWidth` columns: a long file name loses its head ("...ps/run1.DT"), and
// on a terminal too narrow for any of it only the percentage is left.
std::string FormatProgress(const std::string& file, std::uint64_t done, std::uint64_t total, double seconds,
                           std::size_t maxWidth);
