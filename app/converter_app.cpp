#include "converter_app.h"

#include "converter_dlg.h"

CConverterApp theApp;

bool CConverterApp::InitInstance()
{
    CConverterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
