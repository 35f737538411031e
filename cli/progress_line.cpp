#include "progress_line.h"

#include "text_width.h"

#include <algorithm>
#include <atomic>

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
    if (m_width != 0 && now - m_drawn < std::chrono::milliseconds(100))
        return;
    m_drawn = now;
    const std::chrono::duration<double> elapsed = now - m_started;
    Draw(FormatProgress(m_file, done, total, elapsed.count(), m_columns > 1 ? m_columns - 1 : 0));
}

void ProgressLine::Clear()
{
    if (m_width == 0)
        return;
    std::fprintf(m_stream, "\r%*s\r", static_cast<int>(m_width), "");
    std::fflush(m_stream);
    m_width = 0;
    g_widthOnScreen.store(0);
}

void ProgressLine::Draw(const std::string& text)
{
    // Pad over the tail of a longer previous line instead of relying on
    // terminal escape sequences.
    const std::size_t columns = TextColumns(text);
    const std::size_t pad = m_width > columns ? m_width - columns : 0;
    m_width = std::max(m_width, columns);
    g_widthOnScreen.store(m_width);  // before the line shows: a stop may come at once
    std::fprintf(m_stream, "\r%s%*s", text.c_str(), static_cast<int>(pad), "");
    std::fflush(m_stream);
}
