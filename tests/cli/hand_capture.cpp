#include "hand_capture.h"

#include <fstream>
#include <iterator>
#include <pcap/pcap.h>
#include <stdexcept>
#include <sys/stat.h>

namespace dt2pcap_harness {

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutChunk(Bytes& out, const char* tag, const Bytes& body)
{
    out.insert(out.end(), tag, tag + 4);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

// Capture information: time offset 16 puts the time word at 28 and the date
// word at 32; code offset 20 puts the resolution code at 38.
Bytes Dinf(const HandCapture& capture)
{
    Bytes body(40, 0);
    body[4] = 16;
    body[12] = 20;
    body[28] = static_cast<std::uint8_t>(capture.hundredths);
    body[29] = static_cast<std::uint8_t>(capture.second);
    body[30] = static_cast<std::uint8_t>(capture.minute);
    body[31] = static_cast<std::uint8_t>(capture.hour);
    body[32] = static_cast<std::uint8_t>(capture.day);
    body[33] = static_cast<std::uint8_t>(capture.month);
    body[34] = static_cast<std::uint8_t>(capture.year);
    body[35] = static_cast<std::uint8_t>(capture.year >> 8);
    body[38] = capture.resolutionCode;
    return body;
}

// Entry header: 11-bit length, header-only flag in bit 7 of byte 1, counter
// bits 0-7 in byte 3; then the time field with counter bits 8-31, the frame
// padded to 4 bytes, and a trailer.
Bytes Monl(const HandCapture& capture)
{
    Bytes body;
    for (const HandFrame& frame : capture.frames) {
        const std::size_t length = frame.data.size();
        body.push_back(static_cast<std::uint8_t>(length));
        body.push_back(static_cast<std::uint8_t>((length >> 8) & 7));
        body.push_back(0);
        body.push_back(static_cast<std::uint8_t>(frame.counter));
        PutU32(body, frame.counter >> 8);
        PutU32(body, 0x5A5A5A00);
        body.insert(body.end(), frame.data.begin(), frame.data.end());
        body.insert(body.end(), (4 - length % 4) % 4, 0xEE);
        PutU32(body, 0xCAFEF00D);
        if (capture.headerOnlyBetweenFrames)
            body.insert(body.end(), {0x20, 0x80, 0x00, 0x00});
    }
    return body;
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

HandCapture SomeFrames(int count)
{
    HandCapture capture;
    for (int i = 0; i < count; ++i) {
        HandFrame frame;
        frame.counter = static_cast<std::uint32_t>(i) * 1500;
        frame.data.assign(60 + i % 31, 0);
        for (std::size_t b = 0; b < frame.data.size(); ++b)
            frame.data[b] = static_cast<std::uint8_t>(b < 6 ? 0xFF : b * 7 + i);
        frame.data[12] = 0x08;  // EtherType IPv4, so analyzers show something sane
        frame.data[13] = 0x00;
        capture.frames.push_back(frame);
    }
    return capture;
}

void WriteCapture(const std::string& path, const HandCapture& capture)
{
    static const char kHeader[16] = "TAVRINO DATA   ";  // the 16th byte is the zero
    Bytes file(kHeader, kHeader + 16);
    PutChunk(file, "DINF", Dinf(capture));
    PutChunk(file, "MONL", Monl(capture));
    WriteBytes(path, file);
}

void WriteBrokenCapture(const std::string& path)
{
    WriteBytes(path, Bytes{'T', 'A', 'V', 'R', 'I', 'N', 'O', ' ', 'D', 'A', 'T', 'E', ' ', ' ', ' ', 0, 1, 2});
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<long> PcapRecordSeconds(const std::string& path)
{
    char error[PCAP_ERRBUF_SIZE];
    pcap_t* pcap = pcap_open_offline(path.c_str(), error);
    if (pcap == nullptr)
        throw std::runtime_error(error);
    std::vector<long> seconds;
    pcap_pkthdr* header;
    const u_char* data;
    int result;
    while ((result = pcap_next_ex(pcap, &header, &data)) == 1)
        seconds.push_back(static_cast<long>(header->ts.tv_sec));
    const std::string failure = result == PCAP_ERROR ? pcap_geterr(pcap) : "";
    pcap_close(pcap);
    if (!failure.empty())
        throw std::runtime_error(path + ": " + failure);
    return seconds;
}

} // namespace dt2pcap_harness
