#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The terminal a progress line is drawn on, standard error's, as each system
// reaches it: terminal_posix.cpp and terminal_windows.cpp.
class LineTerminal {
public:
    virtual ~LineTerminal() = default;

    // The width now, which may change while the program runs. Asked before
    // every redraw, so it must be cheap.
    virtual std::size_t Columns() = 0;
    // Shows `text` in place of the line on screen, `shown` columns wide (0:
    // none), leaving nothing of that line behind, and puts the cursor at the
    // start of the line: an empty text leaves it on an empty line.
    virtual void Replace(std::size_t shown, const std::string& text) = 0;
};

// Standard error's, which must be a terminal.
std::unique_ptr<LineTerminal> StandardErrorTerminal();

// Wipes the progress line (ProgressLineWidthOnScreen) for a stop handler,
// with only the calls such a handler may make.
void WipeProgressLineOnStop();
