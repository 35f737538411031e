// The road of one conversion, top to bottom: open the capture, check its
// header, find its DINF and MONL chunks, read the start time, create the pcap
// file and turn every frame entry of the MONL body into one record.

#include "convert_capture_file.h"

#include "capture_format.h"
#include "conversion_summary.h"
#include "entry_time.h"
#include "input_file.h"
#include "local_time.h"
#include "messages.h"
#include "output_file.h"
#include "pcap_format.h"

#include <algorithm>
#include <cstring>

namespace {

// The failing step's text for an entry cut short there.
const char* EntryCutText(capture::EntryCut cut)
{
    switch (cut) {
    case capture::EntryCut::Header: return message::kEntryHeaderCut;
    case capture::EntryCut::TimeField: return message::kTimeFieldCut;
    case capture::EntryCut::FrameData: return message::kFrameDataCut;
    default: return message::kTrailerCut;
    }
}

// One conversion, a step at a time. Each step returns false once it has
// shown its failure through the host (or the host asked to stop).
class Conversion {
public:
    Conversion(const std::string& inputPath, const OutputPlace& place, MessageHost& host)
        : m_inputPath(inputPath), m_place(place), m_host(host)
    {
    }

    int Run()
    {
        // Each conversion uses the time zone in force when it starts.
        RefreshTimeZone();
        if (!OpenCapture() || !CheckFileHeader() || !FindChunks() || !ReadStartTime() || !CreateOutput() ||
            !WalkEntries() || !Finish())
            return -1;
        return 0;
    }

private:
    bool Fail(const char* text)
    {
        m_host.ShowMessage(m_host.NameForMessage(m_inputPath) + text);
        return false;
    }

    // What made a read come up short other than the capture's own end: the
    // capture changed under us, or the system failed to read it. "" if neither.
    std::string InputTrouble() const
    {
        if (m_input.Changed())
            return message::ChangedWhileRead(m_host.NameForMessage(m_inputPath));
        if (!m_input.ReadError().empty())
            return message::ReadFailed(m_host.NameForMessage(m_inputPath), m_input.ReadError());
        return {};
    }

    // A read came up short: the step's text where the capture ends there,
    // else what really happened.
    bool FailShortRead(const char* stepText)
    {
        const std::string trouble = InputTrouble();
        if (trouble.empty())
            return Fail(stepText);
        m_host.ShowMessage(trouble);
        return false;
    }

    bool RefuseOutput()
    {
        m_host.ShowMessage(message::OutputRefused(m_host.NameForMessage(m_output.Path()), file_layer::LastErrorText()));
        return false;
    }

    bool OpenCapture() { return m_input.Open(m_inputPath) || Fail(message::kOpenError); }

    bool CheckFileHeader()
    {
        const std::uint8_t* data = nullptr;
        if (m_input.Read(capture::kFileHeaderSize, &data) != capture::kFileHeaderSize)
            return FailShortRead(message::kHeaderCut);
        if (std::memcmp(data, capture::kFileHeader, capture::kFileHeaderSize) != 0)
            return Fail(message::kHeaderWrong);
        return true;
    }

    // Until both DINF and MONL have been seen; a later chunk of the same tag
    // wins. Sizes are unsigned forward skips.
    bool FindChunks()
    {
        while (m_monlPosition == 0 || m_dinfPosition == 0) {
            const std::uint8_t* data = nullptr;
            if (m_input.Read(capture::kChunkHeaderSize, &data) != capture::kChunkHeaderSize)
                return FailShortRead(message::kChunksCut);
            const std::uint32_t size = capture::LoadU32(data + 4);
            if (std::memcmp(data, capture::kDinfTag, 4) == 0) {
                m_dinfPosition = m_input.Position();
                m_dinfSize = size;
            } else if (std::memcmp(data, capture::kMonlTag, 4) == 0) {
                m_monlPosition = m_input.Position();
                m_monlSize = size;
            }
            m_input.Skip(size);
        }
        return true;
    }

    // Start time and date words, resolution code.
    bool ReadStartTime()
    {
        return ReadCaptureInfo(m_input, m_dinfPosition, m_dinfSize, m_info) || FailShortRead(message::kCaptureInfoCut);
    }

    // Never over the input itself nor any other capture, and a file only
    // takes its name when finished.
    bool CreateOutput()
    {
        const file_layer::Protected keep{m_input.Id(), capture::kFileHeader, capture::kFileHeaderSize};
        if (!m_output.Open(m_place, m_inputPath, keep))
            return RefuseOutput();
        pcap::WriteGlobalHeader(m_output);
        return true;
    }

    // Over the MONL body, never past its end: an entry that would cross it is
    // cut short there, as if the file ended. A record goes out only with its
    // whole frame, so what a failure leaves is a valid pcap of the records
    // before it.
    bool WalkEntries()
    {
        EntryClock clock(m_info.TimeWord(), m_info.DateWord(), m_info.resolutionCode);
        // The record of a frame entry whose frame is all there; a header-only
        // entry is counted and passed over.
        const auto take = [&](const std::uint8_t* entry, const capture::EntryLayout& layout) {
            if (!layout.frame) {
                m_counter.HeaderOnly();
                return;
            }
            std::uint32_t seconds = 0, microseconds = 0;
            const std::uint64_t ticks = capture::EntryCounter(entry, entry + capture::kEntryHeaderSize);
            clock.Compute(ticks, seconds, microseconds);
            pcap::WriteRecord(m_output, seconds, microseconds, entry + capture::kFrameDataOffset, layout.frameLength);
            m_counter.Frame(ticks);
        };
        m_input.Seek(m_monlPosition);
        std::uint64_t remaining = m_monlSize;
        std::uint64_t nextProgress = m_monlPosition + MessageHost::kProgressStep;
        if (!m_host.OnProgress(m_monlPosition, m_input.Size()))
            return Stop();
        while (remaining != 0) {
            // Whole entries that the input buffer holds, up to the body's end,
            // are read in place and built straight into the output buffer.
            std::size_t available = 0;
            const std::uint8_t* const buffered = m_input.Buffered(available);
            const std::uint8_t* entry = buffered;
            const std::uint8_t* const end =
                buffered + static_cast<std::size_t>(std::min<std::uint64_t>(available, remaining));
            for (;;) {
                const capture::EntryLayout layout = capture::LayoutOfEntry(entry, static_cast<std::size_t>(end - entry));
                if (layout.cut != capture::EntryCut::None)
                    break;
                take(entry, layout);
                entry += layout.size;
            }
            m_input.Skip(static_cast<std::size_t>(entry - buffered));
            remaining -= static_cast<std::size_t>(entry - buffered);

            // The entry the buffer ends inside: read whole, as far as the body
            // and the file go, and cut short there if they end inside it.
            if (remaining != 0) {
                const std::uint64_t at = m_input.Position();
                const std::uint8_t* data = nullptr;
                const std::size_t got =
                    m_input.Read(static_cast<std::size_t>(std::min<std::uint64_t>(remaining, capture::kLongestEntrySize)),
                                 &data);
                m_input.Seek(at);
                const capture::EntryLayout layout = capture::LayoutOfEntry(data, got);
                if (layout.cut == capture::EntryCut::None || layout.FrameWhole())
                    take(data, layout);
                if (layout.cut != capture::EntryCut::None)
                    return FailWalk(EntryCutText(layout.cut));
                m_input.Skip(layout.size);
                remaining -= layout.size;
            }

            if (m_input.Position() >= nextProgress) {
                if (!m_host.OnProgress(m_input.Position(), m_input.Size()))
                    return Stop();
                nextProgress = m_input.Position() + MessageHost::kProgressStep;
            }
        }
        return true;
    }

    // A capture that could not be read, or changed meanwhile, leaves no
    // output: an earlier file of that name is worth more than records of a
    // capture misread. True when that was so, and shown.
    bool DiscardedForInputTrouble()
    {
        const std::string trouble = InputTrouble();
        if (trouble.empty())
            return false;
        m_output.Discard();
        m_host.ShowMessage(trouble);
        return true;
    }

    // A capture cut short in the walk keeps the records before it.
    bool FailWalk(const char* text)
    {
        if (DiscardedForInputTrouble())
            return false;
        if (!m_output.Close())
            return RefuseOutput();
        m_host.OnSummary(m_counter.Finish(m_info));
        return Fail(text);
    }

    // The host asked to stop: no output, an earlier one left as it was.
    bool Stop()
    {
        m_output.Discard();
        return false;
    }

    bool Finish()
    {
        if (DiscardedForInputTrouble())
            return false;
        if (!m_output.Close())
            return RefuseOutput();
        m_input.Close();
        m_host.OnSummary(m_counter.Finish(m_info));
        return true;
    }

    const std::string& m_inputPath;
    const OutputPlace& m_place;
    MessageHost& m_host;
    InputFile m_input;
    OutputFile m_output;
    std::uint64_t m_dinfPosition = 0, m_monlPosition = 0;
    std::uint32_t m_dinfSize = 0, m_monlSize = 0;
    CaptureInfo m_info;
    SummaryCounter m_counter;
};

} // namespace

int ConvertCaptureFile(std::string inputPath, MessageHost& host, const OutputPlace& output)
{
    return Conversion(inputPath, output, host).Run();
}
