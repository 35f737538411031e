#pragma once

// Drives tavrino-pcap-converter.exe from outside, by window messages only
// (no keyboard): finds its dialog and message boxes by process, reads the
// list, the boxes' and the tooltip's text, selects, clicks and closes.

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

class WindowDriver {
public:
    // Starts `program` in `folder` (its current directory) with `arguments`.
    WindowDriver(const std::wstring& program, const std::wstring& folder,
                 const std::vector<std::wstring>& arguments = {});
    ~WindowDriver();  // ends the program if it still runs
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // The main dialog, once it is up (nullptr after `timeout`).
    HWND Dialog(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    HWND Control(int id) { return GetDlgItem(Dialog(), id); }
    std::wstring FolderLabel();
    std::vector<std::wstring> ListEntries();
    int SelectedCount();
    std::vector<int> SelectedIndices();
    // Clicks "Select all" and waits (up to 2 s) until every entry shows selected.
    void SelectAll();
    // BM_CLICK, posted: the handler may run a modal loop of its own.
    void Click(int controlId);
    void PressEscape();

    // The text of the next message box of the program, waiting up to
    // `timeout`; empty when none came. `caption` gets the box's caption.
    std::wstring WaitForMessageBox(std::wstring* caption = nullptr,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // The box WaitForMessageBox found, until it is dismissed.
    HWND MessageBoxWindow() const { return m_box; }
    // Presses the box's OK.
    void DismissMessageBox();
    // True when no message box is up for `quiet`.
    bool NoMessageBoxFor(std::chrono::milliseconds quiet);

    // The batch's progress dialog once its file label begins with `label`
    // (nullptr if that does not happen within `timeout`).
    HWND WaitForProgress(const std::wstring& label, std::chrono::milliseconds timeout = std::chrono::seconds(60));

    // The text of the program's tooltip once it shows `expected`, or what it
    // last showed (empty for none) after `timeout`.
    std::wstring WaitForTooltip(const std::wstring& expected,
                                std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // WM_DPICHANGED as the system sends it on a move to a monitor of `dpi`,
    // its suggested frame `suggested` placed in the program's memory.
    void SendDpiChanged(UINT dpi, const RECT& suggested);

    // The exit code once the program has ended, -1 if it runs on after `timeout`.
    int WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    HWND FindTopLevel(bool messageBox);

    PROCESS_INFORMATION m_process{};
    DWORD m_startError = 0;
    HWND m_dialog = nullptr;
    HWND m_box = nullptr;
};
