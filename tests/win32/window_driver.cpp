#include "window_driver.h"

#include "dialog_ids.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <cstdio>
#include <thread>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kCaption[] = L"TAVRINO pcap converter";
constexpr int kMessageBoxText = 0xFFFF;  // the static text of a MessageBox

std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return text;
}

// Whether `window` is a visible window of class `className` of the process `processId`.
bool IsShownBy(HWND window, DWORD processId, const wchar_t* className)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return owner == processId && std::wstring(name) == className && IsWindowVisible(window);
}

struct Search {
    DWORD processId;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!IsShownBy(window, search->processId, kDialogClass))
        return TRUE;
    // A message box has its static text; the main dialog has its caption.
    const bool isBox = GetDlgItem(window, kMessageBoxText) != nullptr;
    const bool isMain = TextOf(window) == kCaption;
    if ((search->messageBox && isBox) || (!search->messageBox && isMain)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

WindowDriver::WindowDriver(const std::wstring& program, const std::wstring& folder,
                           const std::vector<std::wstring>& arguments)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Plain names and paths only: quoted, with no quotes of their own.
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments)
        commandLine += L" \"" + argument + L"\"";
    // Under a loaded wine a start just after the program was copied into
    // place can fail now and then; a user would simply start it again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                           &startup, &m_process))
            return;
        m_startError = GetLastError();
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    std::fprintf(stderr, "could not start %ls: error %lu\n", program.c_str(), m_startError);
}

WindowDriver::~WindowDriver()
{
    if (m_process.hProcess == nullptr)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
}

HWND WindowDriver::FindTopLevel(bool messageBox)
{
    Search search{m_process.dwProcessId, messageBox, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WindowDriver::Dialog(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (m_dialog == nullptr && m_process.hProcess != nullptr && std::chrono::steady_clock::now() < end) {
        m_dialog = FindTopLevel(false);
        if (m_dialog == nullptr)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return m_dialog;
}

std::wstring WindowDriver::FolderLabel() { return TextOf(GetDlgItem(Dialog(), IDC_FOLDER_PATH)); }

std::vector<std::wstring> WindowDriver::ListEntries()
{
    const HWND list = GetDlgItem(Dialog(), IDC_FILE_LIST);
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        entries.push_back(text);
    }
    return entries;
}

int WindowDriver::SelectedCount()
{
    return static_cast<int>(SendMessageW(GetDlgItem(Dialog(), IDC_FILE_LIST), LB_GETSELCOUNT, 0, 0));
}

std::vector<int> WindowDriver::SelectedIndices()
{
    const HWND list = GetDlgItem(Dialog(), IDC_FILE_LIST);
    std::vector<int> selected;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
            selected.push_back(static_cast<int>(i));
    }
    return selected;
}

void WindowDriver::SelectAll()
{
    Click(IDC_SELECT_ALL);
    const LRESULT entries = SendMessageW(GetDlgItem(Dialog(), IDC_FILE_LIST), LB_GETCOUNT, 0, 0);
    for (int i = 0; i < 100 && SelectedCount() != entries; ++i)
        Sleep(20);
}

void WindowDriver::Click(int controlId) { PostMessageW(GetDlgItem(Dialog(), controlId), BM_CLICK, 0, 0); }

void WindowDriver::PressEscape()
{
    // Through the dialog's own message loop, as a key press would come.
    const HWND focus = GetDlgItem(Dialog(), IDC_START_CONVERSION);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

std::wstring WindowDriver::WaitForMessageBox(std::wstring* caption, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    m_box = nullptr;
    while (m_box == nullptr && std::chrono::steady_clock::now() < end) {
        m_box = FindTopLevel(true);
        if (m_box == nullptr)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (m_box == nullptr)
        return std::wstring();
    if (caption != nullptr)
        *caption = TextOf(m_box);
    return TextOf(GetDlgItem(m_box, kMessageBoxText));
}

void WindowDriver::DismissMessageBox()
{
    if (m_box == nullptr)
        return;
    const HWND box = m_box;
    m_box = nullptr;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

bool WindowDriver::NoMessageBoxFor(std::chrono::milliseconds quiet)
{
    return WaitForMessageBox(nullptr, quiet).empty();
}

int WindowDriver::WaitForExit(std::chrono::milliseconds timeout)
{
    if (WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return static_cast<int>(code);
}

namespace {

struct TipSearch {
    DWORD processId;
    std::wstring text;
};

BOOL CALLBACK VisitTip(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TipSearch*>(parameter);
    if (!IsShownBy(window, search->processId, TOOLTIPS_CLASSW))
        return TRUE;
    search->text = TextOf(window);
    return search->text.empty();
}

} // namespace

std::wstring WindowDriver::WaitForTooltip(const std::wstring& expected, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    TipSearch search{m_process.dwProcessId, {}};
    do {
        search.text.clear();
        EnumWindows(VisitTip, reinterpret_cast<LPARAM>(&search));
        if (search.text == expected)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return search.text;
}

void WindowDriver::SendDpiChanged(UINT dpi, const RECT& suggested)
{
    void* remote = VirtualAllocEx(m_process.hProcess, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
        return;
    if (WriteProcessMemory(m_process.hProcess, remote, &suggested, sizeof suggested, nullptr)) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(Dialog(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, 5000, &result);
    }
    VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
}

HWND WindowDriver::WaitForProgress(const std::wstring& label, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        const HWND progress = FindWindowW(kDialogClass, L"Converting");
        DWORD owner = 0;
        GetWindowThreadProcessId(progress, &owner);
        if (progress != nullptr && owner == m_process.dwProcessId &&
            TextOf(GetDlgItem(progress, IDC_PROGRESS_FILE)).compare(0, label.size(), label) == 0)
            return progress;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}
