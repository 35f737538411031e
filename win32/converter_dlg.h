#pragma once

// The converter window on Windows: the dialog IDD_CONVERTER_DIALOG run
// modally, its buttons' handlers, and the host of every conversion's messages
// and progress.

#include "batch_progress.h"
#include "message_host.h"
#include "start_place.h"

#include <windows.h>

#include <string>

class CConverterDlg : public MessageHost {
public:
    explicit CConverterDlg(StartPlace start);
    // Runs the dialog until Esc, the close box or Enter outside a button ends it.
    INT_PTR DoModal();
    // A message shown once the window is up (such as a misread zone).
    void WarnAtStart(std::string text) { m_startWarning = std::move(text); }

    void ShowMessage(const std::string& text) override;
    bool OnProgress(std::uint64_t done, std::uint64_t total) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnPaint();
    void OnBrowseFolder();
    void OnRefresh();
    void OnSelectAll();
    void OnSelectNone();
    void OnStartConversion();
    int ConvertCaptureFile(std::string path);
    void SetFolder(const std::string& folder);

    HWND m_hWnd = nullptr;
    HWND m_lstFiles = nullptr;
    HWND m_stcFolder = nullptr;
    HWND m_btnStartConversion = nullptr;
    HWND m_folderTip = nullptr;  // the whole folder, which the label may elide
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    std::string m_strFolder;  // UTF-8, ends with a backslash
    BatchProgress* m_progress = nullptr;  // while a batch runs
    StartPlace m_start;
    std::string m_startWarning;
};
