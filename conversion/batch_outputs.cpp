#include "batch_outputs.h"

#include "messages.h"

bool BatchOutputs::MayWrite(const std::string& outputPath, const std::string& capture, MessageHost& host) const
{
    const auto written = m_writtenFrom.find(outputPath);
    if (written == m_writtenFrom.end() || written->second == capture)
        return true;
    host.ShowMessage(message::OutputRefused(host.NameForMessage(outputPath),
                                            "already written from " + host.NameForMessage(written->second) +
                                                " in this batch, not replaced by " + host.NameForMessage(capture)));
    return false;
}

void BatchOutputs::Wrote(const std::string& outputPath, const std::string& capture)
{
    m_writtenFrom.emplace(outputPath, capture);
}
