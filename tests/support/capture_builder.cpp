#include "capture_builder.h"

#include "test_files.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

void AppendU16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(Bytes& out, std::uint32_t value)
{
    AppendU16(out, static_cast<std::uint16_t>(value));
    AppendU16(out, static_cast<std::uint16_t>(value >> 16));
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

namespace {

void PutAt(Bytes& body, std::uint64_t offset, const Bytes& value)
{
    if (offset + value.size() <= body.size())
        std::memcpy(body.data() + offset, value.data(), value.size());
}

Bytes U32Bytes(std::uint32_t value)
{
    Bytes out;
    AppendU32(out, value);
    return out;
}

} // namespace

Bytes DinfBody::Encode() const
{
    Bytes body(size, fill);
    PutAt(body, 4, U32Bytes(timeOffset));
    PutAt(body, 12, U32Bytes(codeOffset));
    Bytes words = start.TimeWord();
    Append(words, start.DateWord());
    PutAt(body, std::uint64_t{timeOffset} + 12, words);
    PutAt(body, std::uint64_t{codeOffset} + 18, {resolutionCode});
    return body;
}

Bytes FrameEntry::Encode() const
{
    const unsigned frameLength = length >= 0 ? static_cast<unsigned>(length) : static_cast<unsigned>(data.size());
    Bytes out{static_cast<std::uint8_t>(frameLength),
              static_cast<std::uint8_t>(((frameLength >> 8) & 0x07) | (flagBits & 0x0F) << 3), headerByte2,
              static_cast<std::uint8_t>(counter)};
    Append(out, {static_cast<std::uint8_t>(counter >> 8), static_cast<std::uint8_t>(counter >> 16),
                 static_cast<std::uint8_t>(counter >> 24), timeByte3, 0x11, 0x22, 0x33, 0x44});
    Append(out, data);
    out.resize(out.size() + (4 - data.size() % 4) % 4, padding);
    AppendU32(out, trailer);
    return out;
}

Bytes HeaderOnlyEntry(unsigned length, std::uint8_t counterLow, std::uint8_t flagBits)
{
    return {static_cast<std::uint8_t>(length),
            static_cast<std::uint8_t>(0x80 | ((length >> 8) & 0x07) | (flagBits & 0x0F) << 3), 0x5A, counterLow};
}

EntryLog& EntryLog::Frame(const FrameEntry& entry) { return Raw(entry.Encode()); }
EntryLog& EntryLog::HeaderOnly(unsigned length, std::uint8_t counterLow) { return Raw(HeaderOnlyEntry(length, counterLow)); }
EntryLog& EntryLog::Raw(const Bytes& bytes)
{
    Append(m_bytes, bytes);
    return *this;
}

const Bytes& CaptureBuilder::ValidHeader()
{
    static const Bytes header = [] {
        const char text[] = "TAVRINO DATA   ";
        return Bytes(text, text + 16);  // the terminating zero is the 16th byte
    }();
    return header;
}

CaptureBuilder::CaptureBuilder(bool withHeader)
{
    if (withHeader)
        m_bytes = ValidHeader();
}

CaptureBuilder& CaptureBuilder::Raw(const Bytes& bytes)
{
    Append(m_bytes, bytes);
    return *this;
}

CaptureBuilder& CaptureBuilder::Chunk(const std::string& tag, const Bytes& body, std::int64_t size)
{
    m_bytes.insert(m_bytes.end(), tag.begin(), tag.end());
    AppendU32(m_bytes, static_cast<std::uint32_t>(size < 0 ? static_cast<std::int64_t>(body.size()) : size));
    return Raw(body);
}

CaptureBuilder& CaptureBuilder::Dinf(const DinfBody& body, std::int64_t size) { return Chunk("DINF", body.Encode(), size); }
CaptureBuilder& CaptureBuilder::Monl(const EntryLog& log, std::int64_t size) { return Chunk("MONL", log.bytes(), size); }

CaptureBuilder& CaptureBuilder::TruncateTo(std::size_t fileSize)
{
    m_bytes.resize(fileSize);
    return *this;
}

void CaptureBuilder::WriteTo(const std::string& path) const
{
    WriteFileBytes(path, m_bytes);
    // The fuzzer's seed corpus collects every small capture the tests build.
    static int seedNumber = 0;
    const char* seeds = std::getenv("TPC_SEED_CORPUS_DIR");
    if (seeds && *seeds && m_bytes.size() <= 16384)
        WriteFileBytes(std::string(seeds) + "/test-" + std::to_string(::getpid()) + "-" +
                           std::to_string(++seedNumber) + ".DT",
                       m_bytes);
}
