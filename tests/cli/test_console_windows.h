#pragma once

// A console for the Windows tests to write on and read back cell by cell,
// made by the test and shared with its children, or left to them. wine makes
// a console buffer only with a display: the Windows tests run under Xvfb.

#include <windows.h>

#include <string>

inline std::string ToUtf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
    return out;
}

class TestConsole {
public:
    TestConsole() = default;
    TestConsole(const TestConsole&) = delete;
    TestConsole& operator=(const TestConsole&) = delete;
    ~TestConsole() { Leave(); }

    // A new console of the test's own; false where none can be made.
    bool Open() { return Leave(), AllocConsole() && OpenHandles(); }
    // Leaves the console to the processes started on it (the handles still
    // read and type): the last of them then has it to itself.
    void Detach() { FreeConsole(); }

    void Leave()
    {
        for (HANDLE* handle : {&m_output, &m_input}) {
            if (*handle != INVALID_HANDLE_VALUE)
                CloseHandle(*handle);
            *handle = INVALID_HANDLE_VALUE;
        }
        FreeConsole();
    }

    // Inheritable, to be a child's standard handles.
    HANDLE Output() const { return m_output; }
    HANDLE Input() const { return m_input; }

    COORD Cursor() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(m_output, &info);
        return info.dwCursorPosition;
    }

    // Row `row` as characters, without its trailing blanks.
    std::wstring Row(SHORT row) const
    {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(m_output, &info);
        std::wstring text(static_cast<std::size_t>(info.dwSize.X > 0 ? info.dwSize.X : 0), L' ');
        DWORD read = 0;
        if (!text.empty())
            ReadConsoleOutputCharacterW(m_output, &text[0], static_cast<DWORD>(text.size()), COORD{0, row}, &read);
        text.resize(read);
        return text.substr(0, text.find_last_not_of(L' ') + 1);
    }

    // The rows from the top to the cursor's, each ended by a line feed.
    std::wstring Text() const
    {
        std::wstring text;
        for (SHORT row = 0; row <= Cursor().Y; ++row)
            text += Row(row) + L"\n";
        return text;
    }

    // A key pressed and released, as typed.
    bool Type(WORD key, wchar_t character)
    {
        INPUT_RECORD records[2]{};
        for (int i = 0; i < 2; ++i) {
            records[i].EventType = KEY_EVENT;
            records[i].Event.KeyEvent.bKeyDown = i == 0;
            records[i].Event.KeyEvent.wRepeatCount = 1;
            records[i].Event.KeyEvent.wVirtualKeyCode = key;
            records[i].Event.KeyEvent.uChar.UnicodeChar = character;
        }
        DWORD written = 0;
        return WriteConsoleInputW(m_input, records, 2, &written) && written == 2;
    }

private:
    bool OpenHandles()
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        m_output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
        m_input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
        CONSOLE_SCREEN_BUFFER_INFO info;
        return m_output != INVALID_HANDLE_VALUE && m_input != INVALID_HANDLE_VALUE &&
               GetConsoleScreenBufferInfo(m_output, &info);
    }

    HANDLE m_output = INVALID_HANDLE_VALUE;
    HANDLE m_input = INVALID_HANDLE_VALUE;
};
