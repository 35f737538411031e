// The road of one conversion, top to bottom: open the capture, check its
// header, find its DINF and MONL chunks, read the start time, create the pcap
// file and turn every frame entry of the MONL body into one record.

#include "convert_capture_file.h"

#include "capture_format.h"
#include "entry_time.h"
#include "input_file.h"
#include "local_time.h"
#include "output_file.h"
#include "output_path.h"
#include "pcap_format.h"

#include <algorithm>
#include <cstring>

namespace {

// Whether what the output would overwrite starts like a capture file: the
// capture being converted seen through another path or mount, or another one.
bool HoldsACapture(const OutputTarget& target)
{
    std::uint8_t start[capture::kFileHeaderSize];
    const std::size_t got =
        target.standardOutput ? file_layer::ReadStartOfHandle(file_layer::StandardOutput(), start, sizeof start)
                              : file_layer::ReadStartOfFile(target.path, start, sizeof start);
    return got == sizeof start && std::memcmp(start, capture::kFileHeader, sizeof start) == 0;
}

} // namespace

int ConvertCaptureFile(std::string inputPath, MessageHost& host)
{
    OutputTarget target;
    target.path = OutputPathFor(inputPath);
    return ConvertCaptureFileTo(std::move(inputPath), target, host);
}

int ConvertCaptureFileTo(std::string inputPath, const OutputTarget& target, MessageHost& host)
{
    // Each conversion uses the time zone in force when it starts.
    RefreshTimeZone();

    const auto fail = [&](const char* text) {
        host.ShowMessage(host.NameForMessage(inputPath) + text);
        return -1;
    };

    InputFile input;
    if (!input.Open(inputPath))
        return fail(" Open error");

    // File header.
    const std::uint8_t* data = nullptr;
    if (input.Read(capture::kFileHeaderSize, &data) != capture::kFileHeaderSize)
        return fail(" Read error:TAVRINO Header");
    if (std::memcmp(data, capture::kFileHeader, capture::kFileHeaderSize) != 0)
        return fail(" File header error");

    // Chunk scan: until both DINF and MONL have been seen; a later chunk of the
    // same tag wins. Sizes are unsigned forward skips.
    std::uint64_t dinfPosition = 0, monlPosition = 0;
    std::uint32_t dinfSize = 0, monlSize = 0;
    while (monlPosition == 0 || dinfPosition == 0) {
        if (input.Read(capture::kChunkHeaderSize, &data) != capture::kChunkHeaderSize)
            return fail(" Read error:Header scan");
        const std::uint32_t size = capture::LoadU32(data + 4);
        if (std::memcmp(data, capture::kDinfTag, 4) == 0) {
            dinfPosition = input.Position();
            dinfSize = size;
        } else if (std::memcmp(data, capture::kMonlTag, 4) == 0) {
            monlPosition = input.Position();
            monlSize = size;
        }
        input.Skip(size);
    }

    // Capture information: start time and date words, resolution code.
    CaptureInfo info;
    if (!ReadCaptureInfo(input, dinfPosition, dinfSize, info))
        return fail(" Read error:Get timestamp");

    // Output: never over the input itself nor any other capture, and a file
    // only takes its name when finished.
    OutputFile output;
    std::string reason;
    const auto refuseOutput = [&](const std::string& why) {
        host.ShowMessage("Write file Open error\n" + host.NameForMessage(target.path) + ": " + why);
        return -1;
    };
    const bool opened = target.standardOutput ? output.AttachStandardOutput(target.path, input.Id(), reason)
                                              : output.Create(target.path, input.Id(), reason);
    if (!opened)
        return refuseOutput(reason);
    if (HoldsACapture(target)) {
        output.Discard();
        return refuseOutput(file_layer::kOutputIsACapture);
    }
    pcap::WriteGlobalHeader(output);

    // Entry walk over the MONL body, never past its end: an entry that would
    // cross it fails at that step as if the file ended there. A record goes
    // out only with its whole frame, so what a failure leaves is a valid pcap
    // of the records before it.
    SummaryCounter counter;
    const auto failWalk = [&](const char* text) {
        std::string refusal;
        if (!output.Close(refusal))
            return refuseOutput(refusal);
        host.OnSummary(counter.Finish(info));
        return fail(text);
    };
    EntryClock clock(info.TimeWord(), info.DateWord(), info.resolutionCode);
    input.Seek(monlPosition);
    std::uint64_t remaining = monlSize;
    std::uint64_t nextProgress = monlPosition + MessageHost::kProgressStep;
    if (!host.OnProgress(monlPosition, input.Size())) {
        output.Discard();
        return -1;
    }
    while (remaining != 0) {
        // Whole entries that the input buffer holds, up to the body's end, are
        // parsed in place and built straight into the output buffer.
        std::size_t available = 0;
        const std::uint8_t* const buffered = input.Buffered(available);
        const std::uint8_t* entry = buffered;
        const std::uint8_t* const end = buffered + static_cast<std::size_t>(std::min<std::uint64_t>(available, remaining));
        while (static_cast<std::size_t>(end - entry) >= capture::kEntryHeaderSize) {
            if (capture::IsHeaderOnly(entry)) {
                counter.HeaderOnly();
                entry += capture::kEntryHeaderSize;
                continue;
            }
            const unsigned frameLength = capture::FrameLength(entry);
            const std::size_t entrySize = capture::FrameEntrySize(frameLength);
            if (static_cast<std::size_t>(end - entry) < entrySize)
                break;
            std::uint32_t seconds = 0, microseconds = 0;
            const std::uint64_t ticks = capture::EntryCounter(entry, entry + capture::kEntryHeaderSize);
            clock.Compute(ticks, seconds, microseconds);
            pcap::WriteRecord(output, seconds, microseconds, entry + capture::kFrameDataOffset, frameLength);
            counter.Frame(ticks);
            entry += entrySize;
        }
        input.Skip(static_cast<std::size_t>(entry - buffered));
        remaining -= static_cast<std::size_t>(entry - buffered);

        // Near the end of the buffer, the body or the file: one entry step by
        // step, each read checked, the buffer refilled as needed.
        if (remaining != 0) {
            if (remaining < capture::kEntryHeaderSize ||
                input.Read(capture::kEntryHeaderSize, &data) != capture::kEntryHeaderSize)
                return failWalk(" Read error:offset0");
            remaining -= capture::kEntryHeaderSize;
            std::uint8_t entryHeader[capture::kEntryHeaderSize];
            std::memcpy(entryHeader, data, sizeof entryHeader);
            if (capture::IsHeaderOnly(entryHeader)) {
                counter.HeaderOnly();
            } else {
                if (remaining < capture::kTimeFieldSize ||
                    input.Read(capture::kTimeFieldSize, &data) != capture::kTimeFieldSize)
                    return failWalk(" Read error:offset4");
                remaining -= capture::kTimeFieldSize;
                const unsigned frameLength = capture::FrameLength(entryHeader);
                std::uint32_t seconds = 0, microseconds = 0;
                const std::uint64_t ticks = capture::EntryCounter(entryHeader, data);
                clock.Compute(ticks, seconds, microseconds);

                const unsigned paddedLength = capture::PaddedLength(frameLength);
                if (remaining < paddedLength || input.Read(paddedLength, &data) != paddedLength)
                    return failWalk(" Read error:packet");
                remaining -= paddedLength;
                pcap::WriteRecord(output, seconds, microseconds, data, frameLength);
                counter.Frame(ticks);

                if (remaining < capture::kTrailerSize ||
                    input.Read(capture::kTrailerSize, &data) != capture::kTrailerSize)
                    return failWalk(" Read error:last");
                remaining -= capture::kTrailerSize;
            }
        }

        if (input.Position() >= nextProgress) {
            if (!host.OnProgress(input.Position(), input.Size())) {
                output.Discard();
                return -1;
            }
            nextProgress = input.Position() + MessageHost::kProgressStep;
        }
    }

    std::string refusal;
    if (!output.Close(refusal))
        return refuseOutput(refusal);
    input.Close();
    host.OnSummary(counter.Finish(info));
    return 0;
}
