#pragma once

// The progress dialog of a running batch, on the one user-interface thread:
// the conversion calls Pump() from its progress callback, which lets the
// window's messages through at most every 50 ms, shows the dialog once the
// batch has run half a second and reports whether Cancel was pressed.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

class BatchProgress {
public:
    BatchProgress(HWND owner, std::size_t fileCount);
    ~BatchProgress();
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    void StartFile(std::size_t number, const std::wstring& name);
    // False once the user has cancelled.
    bool Pump(std::uint64_t done, std::uint64_t total);
    bool Cancelled() const { return m_cancelled; }
    // Takes the progress dialog away and gives the owner its input back: a
    // message ends the batch, and its box belongs to the owner, which is
    // thus the active window again once the box is gone.
    void Close();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Show();
    void DrainMessages();

    using Clock = std::chrono::steady_clock;
    HWND m_owner;
    HWND m_dialog = nullptr;
    std::size_t m_fileCount;
    std::size_t m_fileNumber = 0;
    std::wstring m_fileName;
    Clock::time_point m_started;
    Clock::time_point m_lastPump;
    bool m_cancelled = false;
    bool m_closed = false;
};
