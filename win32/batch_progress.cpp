#include "batch_progress.h"

#include "elided_text_windows.h"
#include "resource_ids.h"

#include <commctrl.h>

namespace {

constexpr auto kPumpInterval = std::chrono::milliseconds(50);
constexpr auto kShowAfter = std::chrono::milliseconds(500);
constexpr int kBarRange = 1000;

// "File i of n: " whole, and as much of the name as fits after it.
void ShowFileLabel(HWND label, const std::wstring& head, const std::wstring& name)
{
    RECT area{};
    GetClientRect(label, &area);
    const HDC dc = GetDC(label);
    std::wstring text;
    {
        const WindowFontSelected font(dc, label);
        text = head + ElidedInMiddle(dc, name, area.right - area.left - TextWidth(dc, head));
    }
    ReleaseDC(label, dc);
    SetWindowTextW(label, text.c_str());
}

} // namespace

BatchProgress::BatchProgress(HWND owner, std::size_t fileCount)
    : m_owner(owner), m_fileCount(fileCount), m_started(Clock::now()), m_lastPump(m_started)
{
    // The dialog behind takes no input while the batch runs: nothing re-enters a handler.
    EnableWindow(m_owner, FALSE);
}

BatchProgress::~BatchProgress()
{
    Close();
    SetActiveWindow(m_owner);
}

void BatchProgress::Close()
{
    m_closed = true;
    // Enabled before the dialog goes, so that the activation passes to it.
    EnableWindow(m_owner, TRUE);
    if (m_dialog != nullptr)
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
}

void BatchProgress::StartFile(std::size_t number, const std::wstring& name)
{
    m_fileNumber = number;
    m_fileName = name;
    Pump(0, 1);
}

bool BatchProgress::Pump(std::uint64_t done, std::uint64_t total)
{
    const Clock::time_point now = Clock::now();
    if (now - m_lastPump < kPumpInterval)
        return !m_cancelled;
    m_lastPump = now;
    if (m_dialog == nullptr && !m_closed && now - m_started >= kShowAfter)
        Show();
    if (m_dialog != nullptr) {
        ShowFileLabel(GetDlgItem(m_dialog, IDC_PROGRESS_FILE),
                      L"File " + std::to_wstring(m_fileNumber) + L" of " + std::to_wstring(m_fileCount) + L": ",
                      m_fileName);
        const std::uint64_t position = total == 0 ? kBarRange : done * kBarRange / total;
        SendDlgItemMessageW(m_dialog, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    DrainMessages();
    return !m_cancelled;
}

void BatchProgress::Show()
{
    m_dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), m_owner, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (m_dialog == nullptr)
        return;
    SendDlgItemMessageW(m_dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
    ShowWindow(m_dialog, SW_SHOW);
}

void BatchProgress::DrainMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave it for the dialog's own loop, and stop the batch.
            PostQuitMessage(static_cast<int>(message.wParam));
            m_cancelled = true;
            return;
        }
        if (m_dialog != nullptr && IsDialogMessageW(m_dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

INT_PTR CALLBACK BatchProgress::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<BatchProgress*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    // Cancel, Esc and the close box all stop the batch.
    if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
        self->m_cancelled = true;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        return TRUE;
    }
    (void)lParam;
    return FALSE;
}
