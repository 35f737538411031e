#pragma once

// Windows only: UTF-8 inside the programs, UTF-16 at the system's wide calls,
// and the system's reasons in the words the POSIX build prints.

#include <string>

namespace windows_text {

// False for bytes that are not valid UTF-8 (or UTF-16); `out` is then undefined.
bool Utf8ToWide(const std::string& text, std::wstring& out);
bool WideToUtf8(const std::wstring& text, std::string& out);
std::string WideToUtf8(const std::wstring& text);

// The reason for a system error code: the C library's wording where one
// matches (so both builds say "No such file or directory"), else the system's
// own message.
std::string SystemErrorText(unsigned long errorCode);

// True for a name the system takes for a device whatever the folder:
// CON, PRN, AUX, NUL, COM1-9, LPT1-9 in any case, with any extension
// ("aux.DT"). Such a name in a folder listing cannot be opened as a file.
bool IsDeviceName(const std::wstring& name);

} // namespace windows_text
