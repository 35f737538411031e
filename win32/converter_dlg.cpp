#include "converter_dlg.h"

#include "capture_listing.h"
#include "convert_capture_file.h"
#include "desktop_font_template.h"
#include "dialog_ids.h"
#include "file_list_windows.h"
#include "folder_chooser.h"
#include "folder_label_windows.h"
#include "icon_position.h"
#include "path_parts.h"
#include "program_file.h"
#include "windows_text.h"

#include <commctrl.h>

#include <exception>
#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    windows_text::Utf8ToWide(text, wide);
    return wide;
}

// Posted by OnInitDialog: the start's message comes over the visible window.
constexpr UINT kShowStartWarning = WM_APP + 1;

} // namespace

CConverterDlg::CConverterDlg(StartPlace start) : m_start(std::move(start))
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_hSmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

CConverterDlg::~CConverterDlg()
{
    // Loaded without LR_SHARED, so they are ours; the dialog that showed
    // them is gone by now.
    if (m_hIcon != nullptr)
        DestroyIcon(m_hIcon);
    if (m_hSmallIcon != nullptr)
        DestroyIcon(m_hSmallIcon);
}

INT_PTR CConverterDlg::DoModal()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The desktop's font, so that the dialog grows with it; the template's own if that cannot be.
    const std::vector<BYTE> dialog = TemplateWithDesktopFont(instance, IDD_CONVERTER_DIALOG);
    if (!dialog.empty())
        return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), nullptr,
                                       DialogProc, reinterpret_cast<LPARAM>(this));
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONVERTER_DIALOG), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CConverterDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CConverterDlg*>(lParam)->m_hWnd = dialog;
    }
    auto* self = reinterpret_cast<CConverterDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self != nullptr ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CConverterDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_PAINT:
        if (!IsIconic(m_hWnd))
            return FALSE;
        OnPaint();
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_FOLDER_PATH)
            DrawFolderLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        else if (wParam == IDC_FILE_LIST)
            DrawFileListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        else
            return FALSE;
        return TRUE;
    case WM_DPICHANGED:
        // Moved to a monitor of another DPI: laid out again for it.
        if (m_fit != nullptr)
            m_fit->FitToNewDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case kShowStartWarning:
        ShowMessage(m_startWarning);
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_SETCURSOR:
        if (m_progress == nullptr)
            return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        try {
            switch (LOWORD(wParam)) {
            case IDC_FOLDER_BROWSE:
                OnBrowseFolder();
                return TRUE;
            case IDC_REFRESH:
                OnRefresh();
                return TRUE;
            case IDC_SELECT_ALL:
                OnSelectAll();
                return TRUE;
            case IDC_SELECT_NONE:
                OnSelectNone();
                return TRUE;
            case IDC_START_CONVERSION:
                OnStartConversion();
                return TRUE;
            case IDOK:
            case IDCANCEL:
                EndDialog(m_hWnd, LOWORD(wParam));
                return TRUE;
            default:
                return FALSE;
            }
        } catch (const std::exception& error) {
            // What a handler still lets out (memory running out; a failed
            // write is reported by the batch) is shown here: it must never
            // cross the system's code.
            ShowMessage(error.what());
            return TRUE;
        }
    default:
        (void)lParam;
        return FALSE;
    }
}

BOOL CConverterDlg::OnInitDialog()
{
    m_btnStartConversion = GetDlgItem(m_hWnd, IDC_START_CONVERSION);
    m_lstFiles = GetDlgItem(m_hWnd, IDC_FILE_LIST);
    m_stcFolder = GetDlgItem(m_hWnd, IDC_FOLDER_PATH);
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    // A long folder keeps its last name in sight: elided in the middle
    // (folder_label_windows.h), and whole in a tooltip.
    SetWindowLongW(m_stcFolder, GWL_STYLE,
                   (GetWindowLongW(m_stcFolder, GWL_STYLE) & ~SS_TYPEMASK) | SS_OWNERDRAW | SS_NOTIFY);
    m_tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_stcFolder);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, 800);
    // Names elided in the middle (file_list_windows.h), whole in a tooltip.
    SetFileListItemHeight(m_lstFiles);
    TrackFileListTips(m_lstFiles, m_tips);
    // Smaller where the desktop's font would take it past the screen.
    m_fit = std::make_unique<DialogFit>(m_hWnd);
    m_fit->FitWhereItIs();
    SetFolder(m_start.folder);
    OnRefresh();
    for (const std::string& name : m_start.names) {
        const LRESULT index = SendMessageW(m_lstFiles, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(Wide(name).c_str()));
        if (index != LB_ERR)
            SendMessageW(m_lstFiles, LB_SETSEL, TRUE, index);
    }
    if (!m_startWarning.empty())
        PostMessageW(m_hWnd, kShowStartWarning, 0, 0);
    return TRUE;  // the focus goes to the first tab stop, "Start conversion"
}

void CConverterDlg::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = IconCentreOffset(client.right - client.left, GetSystemMetrics(SM_CXICON));
    const int y = IconCentreOffset(client.bottom - client.top, GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

void CConverterDlg::SetFolder(const std::string& folder)
{
    m_strFolder = folder;
    std::wstring text = Wide(m_strFolder);
    SetWindowTextW(m_stcFolder, text.c_str());
    InvalidateRect(m_stcFolder, nullptr, TRUE);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_stcFolder);
    tool.lpszText = &text[0];
    SendMessageW(m_tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CConverterDlg::OnBrowseFolder()
{
    std::string chosen;
    if (!ChooseFolder(m_hWnd, L"select folder", m_strFolder, chosen))
        return;
    if (chosen.empty())
        return;
    SetFolder(WithFolderSeparator(chosen));
    OnRefresh();
}

void CConverterDlg::OnRefresh()
{
    const std::vector<std::string> names = ListCaptureNames(m_strFolder);
    // One redraw for the whole list, not one per entry.
    SendMessageW(m_lstFiles, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_lstFiles, LB_RESETCONTENT, 0, 0);
    SendMessageW(m_lstFiles, LB_INITSTORAGE, names.size(), static_cast<LPARAM>(names.size() * 64));
    for (const std::string& name : names)
        SendMessageW(m_lstFiles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    SendMessageW(m_lstFiles, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_lstFiles, nullptr, TRUE);
}

void CConverterDlg::OnSelectAll()
{
    // Index -1: every entry in one message.
    SendMessageW(m_lstFiles, LB_SETSEL, TRUE, -1);
}

void CConverterDlg::OnSelectNone()
{
    SendMessageW(m_lstFiles, LB_SETSEL, FALSE, -1);
}

void CConverterDlg::OnStartConversion()
{
    // The selected entries in list order, read once.
    const int count = static_cast<int>(SendMessageW(m_lstFiles, LB_GETCOUNT, 0, 0));
    const LRESULT selectedCount = SendMessageW(m_lstFiles, LB_GETSELCOUNT, 0, 0);
    std::vector<int> selected(static_cast<std::size_t>(selectedCount > 0 ? selectedCount : 0));
    if (!selected.empty())
        SendMessageW(m_lstFiles, LB_GETSELITEMS, selected.size(), reinterpret_cast<LPARAM>(selected.data()));
    std::vector<std::string> names;
    for (const int index : selected) {
        if (index < 0 || index >= count)
            continue;
        std::wstring name(static_cast<std::size_t>(SendMessageW(m_lstFiles, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
        name.resize(static_cast<std::size_t>(
            SendMessageW(m_lstFiles, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&name[0]))));
        names.push_back(windows_text::WideToUtf8(name));
    }
    RunBatch(m_strFolder, names, *this);
}

void CConverterDlg::BatchStarted(std::size_t fileCount)
{
    m_cursorBeforeBatch = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    m_progress = std::make_unique<BatchProgress>(m_hWnd, fileCount);
}

void CConverterDlg::FileStarted(std::size_t number, const std::string& name)
{
    m_progress->StartFile(number, Wide(name));
}

bool CConverterDlg::Cancelled() const
{
    return m_progress != nullptr && m_progress->Cancelled();
}

void CConverterDlg::BatchEnded()
{
    m_progress.reset();
    SetCursor(m_cursorBeforeBatch);
}

int CConverterDlg::ConvertCaptureFile(std::string path)
{
    return ::ConvertCaptureFile(std::move(path), *this);
}

bool CConverterDlg::OnProgress(std::uint64_t done, std::uint64_t total)
{
    return m_progress == nullptr || m_progress->Pump(done, total);
}

void CConverterDlg::ShowMessage(const std::string& text)
{
    if (m_progress != nullptr)
        m_progress->Close();
    MessageBoxW(m_hWnd, Wide(text).c_str(), Wide(ApplicationName()).c_str(), MB_OK);
}
