#include "text_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool WriteAll(std::FILE* stream, std::string_view text)
{
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

} // namespace

bool WriteStandardOutput(std::string_view text, std::string& reason)
{
    errno = 0;
    if (WriteAll(stdout, text))
        return true;
    reason = std::strerror(errno);
    return false;
}

void WriteStandardError(std::string_view text) { WriteAll(stderr, text); }
