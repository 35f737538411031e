#pragma once

// Writes one TAVRINO ".DT" capture file: the 16-byte file
// header, optionally an unknown chunk, a DINF chunk with the start date and
// time and the resolution code, and a MONL chunk of frame entries and
// header-only entries whose size is exactly the sum of its entries. The frames
// come from FrameFactory; everything follows from the options and the seed.

#include "frames.h"

#include <array>
#include <cstdint>
#include <string>

namespace capgen {

// The format's MONL size is 32-bit and entries are multiples of 4 bytes long.
constexpr std::uint64_t kMaxMonlBody = 0xfffffffcULL;

struct StartTime {
    int year = 2010, month = 3, day = 15;
    int hour = 9, minute = 30, second = 0, hundredths = 0;
};

struct Options {
    std::string output;
    bool sizeGiven = false;
    std::uint64_t size = 0;         // approximate total file size (--size)
    std::uint64_t frames = 1000;    // frame entries (--frames), when no --size
    StartTime start;
    std::uint8_t resolution = 2;    // 1 = 1 ms, 2 = 100 us, 3 = 10 us, other = 1 us
    unsigned minLength = kMinFrameLength, maxLength = kMaxFrameLength;
    double headerOnlyPercent = 3.0;
    double rate = 10000.0;          // frames per second
    std::uint32_t firstCounter = 0;
    bool allowWrap = false;
    std::uint64_t seed = 1;
    FrameMix mix;
    bool extraChunk = false;
    std::uint32_t extraChunkSize = 45;
    std::uint32_t fillerSize = 0;  // an unknown FILL chunk of zeros before DINF and MONL, when not 0
    bool monlFirst = false;
    std::uint32_t dinfSize = 612;
    std::uint32_t timeOffset = 148;  // start words at DINF body offset timeOffset + 12
    std::uint32_t codeOffset = 280;  // resolution code at DINF body offset codeOffset + 18
    bool randomUnused = false;
};

struct Result {
    std::uint64_t frameEntries = 0;
    std::uint64_t headerOnlyEntries = 0;
    std::uint64_t monlSize = 0;
    std::uint64_t fileSize = 0;
    std::uint64_t firstCounter = 0, lastCounter = 0;  // of frame entries; lastCounter may exceed 32 bits when wrapping
    std::array<std::uint64_t, kFrameKindCount> kinds{};
};

// Microseconds per counter tick for a resolution code.
unsigned MicrosecondsPerTick(std::uint8_t resolution);

// Bytes of the file outside the MONL body: header, chunk headers, DINF body, extra chunk.
std::uint64_t LayoutOverhead(const Options& options);

// Checks the options against each other and against the format's limits.
// Returns an empty string when they can be generated, otherwise why not.
std::string CheckOptions(const Options& options);

// Writes the capture. On failure removes what it wrote and returns false with
// `error` set ("PATH: reason").
bool Generate(const Options& options, Result& result, std::string& error);

} // namespace capgen
