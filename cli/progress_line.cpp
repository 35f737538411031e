#include "progress_line.h"

#include "text_width.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

// One progress line per process, on standard error.
std::atomic<std::size_t> g_widthOnScreen{0};

} // namespace

std::size_t ProgressLineWidthOnScreen() { return g_widthOnScreen.load(); }

std::string FormatProgress(const std::string& file, std::uint64_t done, std::uint64_t total, double seconds,
                           std::size_t maxWidth)
{
    const unsigned percent = total == 0 ? 100 : static_cast<unsigned>(std::min(done, total) * 100 / total);
    const double megabytesPerSecond = seconds > 0 ? static_cast<double>(done) / 1e6 / seconds : 0.0;
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "  %3u%%  %.1f MB/s", percent, megabytesPerSecond);
    const std::string tail = numbers;  // ASCII: one column a byte
    if (TextColumns(file) + tail.size() <= maxWidth)
        return file + tail;
    static const std::string kEllipsis = "...";
    if (kEllipsis.size() + tail.size() <= maxWidth)
        return kEllipsis + file.substr(TailFitting(file, maxWidth - tail.size() - kEllipsis.size())) + tail;
    // Too narrow for any of the name: the percentage alone, while it fits.
    const std::string percentOnly = std::to_string(percent) + "%";
    return percentOnly.size() <= maxWidth ? percentOnly : "";
}

void ProgressLine::Start(const std::string& file)
{
    m_file = file;
    m_started = std::chrono::steady_clock::now();
}

void ProgressLine::Update(std::uint64_t done, std::uint64_t total)
{
    // Reports come every megabyte; a terminal needs no more than ten redraws a second.
    const auto now = std::chrono::steady_clock::now();
    if (m_shown != 0 && now - m_drawn < std::chrono::milliseconds(100))
        return;
    m_drawn = now;
    const std::chrono::duration<double> elapsed = now - m_started;
    // Asked at every redraw: the terminal may have been resized since the last.
    // One column spare: some consoles wrap as soon as the last one is written.
    const std::size_t columns = m_terminal.Columns();
    const std::string text = FormatProgress(m_file, done, total, elapsed.count(), columns > 1 ? columns - 1 : 0);
    const std::size_t width = TextColumns(text);
    g_widthOnScreen.store(std::max(m_shown, width));  // before the line shows: a stop may come at once
    m_terminal.Replace(m_shown, text);
    m_shown = width;
    g_widthOnScreen.store(width);
}

void ProgressLine::Clear()
{
    if (m_shown == 0)
        return;
    m_terminal.Replace(m_shown, "");
    m_shown = 0;
    g_widthOnScreen.store(0);
}
