#pragma once

// The converter dialog on its monitor. The program is per-monitor DPI aware:
// the dialog manager makes the dialog at the desktop's font for the DPI it
// opens at. Where that is larger than the monitor's work area, or once the
// dialog is on a monitor of another DPI, it is laid out again here from the
// window core's template table, with the largest font at which it fits
// (screen_fit.h), as the Linux window does.

#include <windows.h>

class DialogFit {
public:
    // `dialog` as the dialog manager made it, its controls created.
    explicit DialogFit(HWND dialog);
    ~DialogFit();
    DialogFit(const DialogFit&) = delete;
    DialogFit& operator=(const DialogFit&) = delete;

    // Fits the dialog into the work area of the monitor it is on, at its DPI.
    void FitWhereItIs();
    // Lays the dialog out for `dpi` on the monitor of `suggested` (the frame
    // the system proposes on WM_DPICHANGED), its frame starting there.
    void FitToNewDpi(UINT dpi, const RECT& suggested);

private:
    // `frame`: what the frame adds to the client area at `dpi`.
    void Fit(UINT dpi, HMONITOR monitor, POINT frameTopLeft, SIZE frame);
    HFONT FontAt(UINT dpi, double scale) const;
    void Apply(HFONT font, const RECT& workArea, POINT frameTopLeft, SIZE frame);

    HWND m_dialog;
    LOGFONTW m_madeFont{};  // the dialog manager's font
    UINT m_madeDpi;
    HFONT m_font = nullptr;  // ours, once the dialog is laid out here
};
