#pragma once

// Writes ".DT" capture files from a description, so that each test reads as
// the file it is about: header, chunks in any order, DINF body, MONL entries.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

void AppendU16(Bytes& out, std::uint16_t value);
void AppendU32(Bytes& out, std::uint32_t value);
void Append(Bytes& out, const Bytes& more);

// Start time and date words as raw bytes, so signed values (>= 128) can be given too.
struct StartWords {
    std::uint8_t hundredths = 0, second = 0, minute = 0, hour = 0;
    std::uint8_t day = 1, month = 1;
    std::uint16_t year = 2010;

    Bytes TimeWord() const { return {hundredths, second, minute, hour}; }
    Bytes DateWord() const { return {day, month, static_cast<std::uint8_t>(year), static_cast<std::uint8_t>(year >> 8)}; }
};

// A DINF body of `size` bytes (filled with `fill`): the two offsets at 4 and
// 12, the words at timeOffset + 12 and the code at codeOffset + 18, each
// written only where it fits.
struct DinfBody {
    std::size_t size = 612;
    std::uint32_t timeOffset = 0x40;
    std::uint32_t codeOffset = 0x100;
    StartWords start;
    std::uint8_t resolutionCode = 1;
    std::uint8_t fill = 0xA5;

    Bytes Encode() const;
};

// One frame entry. The length field is data.size() unless `length` is set.
struct FrameEntry {
    Bytes data;
    std::uint32_t counter = 0;
    std::uint8_t flagBits = 0;      // bits 3-6 of header byte 1, uninterpreted
    std::uint8_t headerByte2 = 0;   // uninterpreted
    std::uint8_t timeByte3 = 0;     // uninterpreted
    std::uint8_t padding = 0xEE;    // value of the 0-3 padding bytes
    std::uint32_t trailer = 0xCAFEF00D;
    int length = -1;

    Bytes Encode() const;
};

// A header-only entry; its length and counter bits carry nothing.
Bytes HeaderOnlyEntry(unsigned length = 0, std::uint8_t counterLow = 0, std::uint8_t flagBits = 0);

// MONL body: entries back to back.
class EntryLog {
public:
    EntryLog& Frame(const FrameEntry& entry);
    EntryLog& HeaderOnly(unsigned length = 0, std::uint8_t counterLow = 0);
    EntryLog& Raw(const Bytes& bytes);
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

class CaptureBuilder {
public:
    static const Bytes& ValidHeader();

    // Starts with the valid 16-byte header unless told otherwise.
    explicit CaptureBuilder(bool withHeader = true);

    CaptureBuilder& Raw(const Bytes& bytes);
    // A chunk with `size` in its size field (the body's size when negative).
    CaptureBuilder& Chunk(const std::string& tag, const Bytes& body, std::int64_t size = -1);
    CaptureBuilder& Dinf(const DinfBody& body = DinfBody(), std::int64_t size = -1);
    CaptureBuilder& Monl(const EntryLog& log, std::int64_t size = -1);
    // Cuts the file to `fileSize` bytes.
    CaptureBuilder& TruncateTo(std::size_t fileSize);

    std::size_t Size() const { return m_bytes.size(); }
    const Bytes& bytes() const { return m_bytes; }
    void WriteTo(const std::string& path) const;

private:
    Bytes m_bytes;
};
