#pragma once

// A console for the Windows tests to write on and read back cell by cell,
// made by the test and shared with its children, or left to them. wine makes
// a console buffer only with a display: the Windows tests run under Xvfb.

#include <windows.h>

#include <string>

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

    // Row `row` as characters (UTF-8), without its trailing blanks.
    std::string Row(SHORT row) const
    {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(m_output, &info);
        std::wstring cells(static_cast<std::size_t>(info.dwSize.X > 0 ? info.dwSize.X : 0), L' ');
        DWORD read = 0;
        if (!cells.empty())
            ReadConsoleOutputCharacterW(m_output, &cells[0], static_cast<DWORD>(cells.size()), COORD{0, row}, &read);
        cells.resize(read);
        cells.erase(cells.find_last_not_of(L' ') + 1);
        std::string text(cells.size() * 3, '\0');
        text.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, cells.data(), static_cast<int>(cells.size()),
                                                                 &text[0], static_cast<int>(text.size()), nullptr,
                                                                 nullptr)));
        return text;
    }

    // The rows from the top to the cursor's, each ended by a line feed.
    std::string Text() const
    {
        std::string text;
        for (SHORT row = 0; row <= Cursor().Y; ++row)
            text += Row(row) + "\n";
        return text;
    }

    // A key pressed, as typed.
    bool Type(WORD key, wchar_t character)
    {
        INPUT_RECORD record{};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = TRUE;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = key;
        record.Event.KeyEvent.uChar.UnicodeChar = character;
        DWORD written = 0;
        return WriteConsoleInputW(m_input, &record, 1, &written) && written == 1;
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
