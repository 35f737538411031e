#include "capture_format.h"

#include "input_file.h"

#include <cstring>

namespace {

bool ReadAt(InputFile& input, std::uint64_t position, std::size_t count, const std::uint8_t** data)
{
    input.Seek(position);
    return input.Read(count, data) == count;
}

} // namespace

bool ReadCaptureInfo(InputFile& input, std::uint64_t bodyPosition, std::uint32_t bodySize, CaptureInfo& info)
{
    // The whole body must be in the file: its last byte is readable.
    const std::uint8_t* data = nullptr;
    if (bodySize > 0 && !ReadAt(input, bodyPosition + bodySize - 1, 1, &data))
        return false;
    if (bodySize < 16 || !ReadAt(input, bodyPosition, 16, &data))
        return false;

    // Offsets are unsigned 32-bit; 64-bit sums cannot wrap.
    const std::uint64_t timeOffset = capture::LoadU32(data + 4);
    const std::uint64_t codeOffset = capture::LoadU32(data + 12);
    if (timeOffset + 20 > bodySize || codeOffset + 19 > bodySize)
        return false;

    if (!ReadAt(input, bodyPosition + timeOffset + 12, sizeof info.startWords, &data))
        return false;
    std::memcpy(info.startWords, data, sizeof info.startWords);
    if (!ReadAt(input, bodyPosition + codeOffset + 18, 1, &data))
        return false;
    info.resolutionCode = data[0];
    return true;
}
