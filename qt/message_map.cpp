#include "converter_dlg.h"
#include "dialog_ids.h"

// BEGIN_MESSAGE_MAP(CConverterDlg, CDialog)
//   ON_WM_PAINT         -> paintEvent calls OnPaint
//   ON_WM_QUERYDRAGICON -> nothing: this toolkit never asks for a drag icon
const MessageMapEntry CConverterDlg::messageEntries[] = {
    {IDC_FOLDER_BROWSE, &CConverterDlg::OnBrowseFolder},
    {IDC_REFRESH, &CConverterDlg::OnRefresh},
    {IDC_SELECT_ALL, &CConverterDlg::OnSelectAll},
    {IDC_SELECT_NONE, &CConverterDlg::OnSelectNone},
    {IDC_START_CONVERSION, &CConverterDlg::OnStartConversion},
    {0, nullptr},
};
// END_MESSAGE_MAP(): every other command goes to QDialog, IDOK and IDCANCEL
// (Enter off the buttons, Esc, the Close box) end the dialog.
