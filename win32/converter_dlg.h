#pragma once

// The converter window on Windows: the dialog IDD_CONVERTER_DIALOG run
// modally, its buttons' handlers, and the host of every conversion's messages
// and progress.

#include "batch.h"
#include "batch_progress.h"
#include "dialog_fit_windows.h"
#include "start_place.h"

#include <windows.h>

#include <memory>
#include <string>

class CConverterDlg : public BatchHost {
public:
    explicit CConverterDlg(StartPlace start);
    ~CConverterDlg() override;
    CConverterDlg(const CConverterDlg&) = delete;
    CConverterDlg& operator=(const CConverterDlg&) = delete;
    // Runs the dialog until Esc, the close box or Enter outside a button ends it.
    INT_PTR DoModal();
    // A message shown once the window is up (such as a misread zone).
    void WarnAtStart(std::string text) { m_startWarning = std::move(text); }

    // Converts one capture with this dialog as the owner of its message box.
    int ConvertCaptureFile(std::string path) override;
    void ShowMessage(const std::string& text) override;
    bool OnProgress(std::uint64_t done, std::uint64_t total) override;

    // The batch's side in this window: the wait cursor and the progress dialog.
    void BatchStarted(std::size_t fileCount) override;
    void FileStarted(std::size_t number, const std::string& name) override;
    bool Cancelled() const override;
    void BatchEnded() override;

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
    void SetFolder(const std::string& folder);

    HWND m_hWnd = nullptr;
    HWND m_lstFiles = nullptr;
    HWND m_stcFolder = nullptr;
    HWND m_btnStartConversion = nullptr;
    HWND m_tips = nullptr;  // the whole folder and the whole name, which may be elided
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    std::string m_strFolder;  // UTF-8, ends with a backslash
    std::unique_ptr<BatchProgress> m_progress;  // while a batch runs
    std::unique_ptr<DialogFit> m_fit;
    HCURSOR m_cursorBeforeBatch = nullptr;
    StartPlace m_start;
    std::string m_startWarning;
};
