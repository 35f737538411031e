#include "test_capture.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutChunk(std::string& out, const char* tag, const std::string& body)
{
    out.append(tag, 4);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
}

} // namespace

std::string ValidCapture(const std::vector<std::size_t>& frameLengths)
{
    std::string file("TAVRINO DATA   \0", 16);

    // DINF: time offset 8 puts the start words at 20..27, code offset 12 the
    // resolution code at 30. Start 2010-06-01 12:00:00.00, millisecond ticks.
    std::string dinf(32, '\0');
    dinf[4] = 8;
    dinf[12] = 12;
    dinf[23] = 12;                                             // hours
    dinf[24] = 1;                                              // day
    dinf[25] = 6;                                              // month
    dinf[26] = static_cast<char>(2010 & 0xFF);                 // year, low byte
    dinf[27] = static_cast<char>(2010 >> 8);
    dinf[30] = 1;
    PutChunk(file, "DINF", dinf);

    std::string monl;
    std::uint32_t counter = 0;
    for (std::size_t length : frameLengths) {
        monl += static_cast<char>(length & 0xFF);
        monl += static_cast<char>((length >> 8) & 0x07);
        monl += '\0';
        monl += static_cast<char>(counter & 0xFF);
        std::string time(8, '\0');
        time[0] = static_cast<char>((counter >> 8) & 0xFF);
        time[1] = static_cast<char>((counter >> 16) & 0xFF);
        time[2] = static_cast<char>((counter >> 24) & 0xFF);
        monl += time;
        for (std::size_t i = 0; i < length; ++i)
            monl += static_cast<char>(i);
        monl.append((4 - length % 4) % 4, '\0');
        monl.append(4, '\0');  // trailer
        counter += 250;
    }
    PutChunk(file, "MONL", monl);
    return file;
}

std::size_t PcapSizeFor(const std::vector<std::size_t>& frameLengths)
{
    std::size_t size = 24;
    for (std::size_t length : frameLengths)
        size += 16 + length;
    return size;
}

std::string BrokenCapture()
{
    return std::string("TAVRINO DATA   X", 16);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

long long FileSize(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}
