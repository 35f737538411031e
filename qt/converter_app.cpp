#include "converter_app.h"

#include "converter_dlg.h"
#include "start_place.h"

CConverterApp theApp;

bool CConverterApp::InitInstance()
{
    CConverterDlg dlg;
    if (!m_commandLine.empty())
        dlg.SetStartPlace(StartPlaceFor(m_commandLine));
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
