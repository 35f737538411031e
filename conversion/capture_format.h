#pragma once

// The ".DT" capture file as the converter reads it: a 16-byte file header,
// then chunks (4-byte tag, 32-bit size, body) of which DINF (capture
// information) and MONL (the entry log) matter. All numbers little-endian.

#include <cstddef>
#include <cstdint>

class InputFile;

namespace capture {

constexpr std::size_t kFileHeaderSize = 16;
// "TAVRINO DATA   " and one zero byte; all 16 bytes must match.
constexpr char kFileHeader[kFileHeaderSize + 1] = "TAVRINO DATA   ";

constexpr std::size_t kChunkHeaderSize = 8;
constexpr char kDinfTag[4] = {'D', 'I', 'N', 'F'};
constexpr char kMonlTag[4] = {'M', 'O', 'N', 'L'};

constexpr std::size_t kEntryHeaderSize = 4;
constexpr std::size_t kTimeFieldSize = 8;
constexpr std::size_t kTrailerSize = 4;

inline std::uint32_t LoadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Entry header: byte 0 and bits 0-2 of byte 1 are the frame length (0..2047),
// bit 7 of byte 1 marks a header-only entry, byte 3 is the counter's low byte.
inline unsigned FrameLength(const std::uint8_t* entryHeader)
{
    return entryHeader[0] | (entryHeader[1] & 0x07u) << 8;
}
inline bool IsHeaderOnly(const std::uint8_t* entryHeader) { return (entryHeader[1] & 0x80u) != 0; }

// The 32-bit entry counter: low byte from the entry header, upper 24 bits from
// time field bytes 0-2. Time field byte 3 does not take part.
inline std::uint32_t EntryCounter(const std::uint8_t* entryHeader, const std::uint8_t* timeField)
{
    return static_cast<std::uint32_t>(entryHeader[3]) | static_cast<std::uint32_t>(timeField[0]) << 8 |
           static_cast<std::uint32_t>(timeField[1]) << 16 | static_cast<std::uint32_t>(timeField[2]) << 24;
}

// Frame data is padded with zero to three bytes to a multiple of four.
inline unsigned PaddedLength(unsigned frameLength) { return (frameLength + 3u) & ~3u; }

// A frame entry: header, time field, padded frame data, trailer.
constexpr std::size_t kFrameDataOffset = kEntryHeaderSize + kTimeFieldSize;
inline std::size_t FrameEntrySize(unsigned frameLength)
{
    return kFrameDataOffset + PaddedLength(frameLength) + kTrailerSize;
}

// The longest entry: a frame of 2047 bytes.
constexpr std::size_t kLongestEntrySize = kFrameDataOffset + 2048 + kTrailerSize;

// Where an entry is cut short: in its header, its time field, its frame data
// or its trailer; or not at all.
enum class EntryCut { None, Header, TimeField, FrameData, Trailer };

// One entry of the MONL body as far as the `available` bytes at `entry` hold
// it: the one reading of an entry's layout, for whole entries in a buffer and
// for the last one before the end of the body or the file alike.
struct EntryLayout {
    std::size_t size = 0;      // the whole entry's bytes, once its header is there
    bool frame = false;        // a frame entry, else header-only
    unsigned frameLength = 0;
    EntryCut cut = EntryCut::None;
    // A frame entry whose frame data is all there: its record can be written
    // (cut, if anything, in its trailer).
    bool FrameWhole() const { return frame && (cut == EntryCut::None || cut == EntryCut::Trailer); }
};

inline EntryLayout LayoutOfEntry(const std::uint8_t* entry, std::size_t available)
{
    EntryLayout layout;
    if (available < kEntryHeaderSize) {
        layout.cut = EntryCut::Header;
        return layout;
    }
    if (IsHeaderOnly(entry)) {
        layout.size = kEntryHeaderSize;
        return layout;
    }
    layout.frame = true;
    layout.frameLength = FrameLength(entry);
    layout.size = FrameEntrySize(layout.frameLength);
    if (available < kFrameDataOffset)
        layout.cut = EntryCut::TimeField;
    else if (available < kFrameDataOffset + PaddedLength(layout.frameLength))
        layout.cut = EntryCut::FrameData;
    else if (available < layout.size)
        layout.cut = EntryCut::Trailer;
    return layout;
}

} // namespace capture

// What the conversion takes from the DINF body.
struct CaptureInfo {
    // Start time word: hundredths, seconds, minutes, hours.
    // Start date word: day, month, year (signed 16-bit).
    // The 8 bytes found at body offset (time offset + 12), in file order.
    std::uint8_t startWords[8] = {};
    std::uint8_t resolutionCode = 0;

    const std::uint8_t* TimeWord() const { return startWords; }
    const std::uint8_t* DateWord() const { return startWords + 4; }
};

// Reads the start time and date words and the resolution code from the DINF
// body of `bodySize` bytes at `bodyPosition`. The body may have any size; it
// is never held whole. Returns false -- the caller's " Read error:Get timestamp"
// -- when the file holds fewer than `bodySize` bytes there, or when the body is
// too short for the two offsets (16 bytes) or for the values they point at.
bool ReadCaptureInfo(InputFile& input, std::uint64_t bodyPosition, std::uint32_t bodySize, CaptureInfo& info);
