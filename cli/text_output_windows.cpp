#include "text_output.h"

#include "windows_text.h"

#include <windows.h>

#include <algorithm>

namespace {

// A console takes characters. Bytes written to it are read in its output
// code page, which the user chose (932 on a Japanese system) and may not be
// UTF-8; and even at 65001 a character split across two writes is lost.
bool WriteToConsole(HANDLE console, std::string_view text)
{
    std::wstring wide;
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    wide.resize(static_cast<std::size_t>(std::max(length, 0)));
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    // In pieces, which older consoles need for a long text; never between
    // the two halves of a surrogate pair.
    constexpr std::size_t kPiece = 8192;
    for (std::size_t done = 0; done < wide.size();) {
        std::size_t count = std::min(kPiece, wide.size() - done);
        if (done + count < wide.size() && IS_HIGH_SURROGATE(wide[done + count - 1]))
            --count;
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool WriteBytes(HANDLE file, std::string_view text)
{
    for (std::size_t done = 0; done < text.size();) {
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, count, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

// Asked at every write rather than once: the handle is what decides, and a
// test may set another.
bool WriteTo(DWORD which, std::string_view text)
{
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) ? WriteToConsole(handle, text) : WriteBytes(handle, text);
}

} // namespace

bool WriteStandardOutput(std::string_view text, std::string& reason)
{
    if (WriteTo(STD_OUTPUT_HANDLE, text))
        return true;
    reason = windows_text::SystemErrorText(GetLastError());
    return false;
}

void WriteStandardError(std::string_view text) { WriteTo(STD_ERROR_HANDLE, text); }
