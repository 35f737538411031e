#include "console_host.h"

#include "safe_name.h"
#include "text_output.h"

void ConsoleHost::ShowMessage(const std::string& text)
{
    // A message must not be glued to the end of a half-drawn progress line.
    if (m_progress != nullptr)
        m_progress->Clear();
    WriteStandardError(text + "\n");
}

std::string ConsoleHost::NameForMessage(const std::string& path) const { return SafeName(path); }

bool ConsoleHost::OnProgress(std::uint64_t done, std::uint64_t total)
{
    if (m_progress != nullptr)
        m_progress->Update(done, total);
    return true;
}

void ConsoleHost::OnSummary(const ConversionSummary& summary)
{
    if (m_verbose)
        ShowMessage(SummaryLine(SafeName(m_file), summary));
}

void ConsoleHost::StartFile(const std::string& file)
{
    m_file = file;
    if (m_progress != nullptr)
        m_progress->Start(SafeName(file));
}

void ConsoleHost::EndFile()
{
    if (m_progress != nullptr)
        m_progress->Clear();
}
