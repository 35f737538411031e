#include "converter_app.h"

#include "converter_dlg.h"
#include "file_layer.h"
#include "program_file.h"
#include "start_place.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

CConverterApp theApp;

namespace {

const char kUsage[] =
    "Usage: tavrino-pcap-converter [FOLDER | FILE...]\n"
    "Open the window that converts TAVRINO \".DT\" capture files into libpcap\n"
    "\".pcap\" files, each beside its capture.\n"
    "\n"
    "  FOLDER          open on FOLDER\n"
    "  FILE...         open on the first FILE's folder with the named captures\n"
    "                  of that folder selected\n"
    "      --help      show this help and exit\n"
    "      --version   show the version and exit\n"
    "\n"
    "Without arguments the window opens on the program's own folder, or on the\n"
    "current folder when installed among the system's programs. An argument\n"
    "that is neither a folder nor a capture file (*.DT) is reported and left\n"
    "out. dt2pcap converts on the command line.\n";

// The name and version, then the copyright and licence as dt2pcap prints them.
const char kVersion[] = "tavrino-pcap-converter " TPC_VERSION "\n"
                        "Copyright (C) 2026 TAVRINO pcap converter maintainers\n"
                        "License MIT: The MIT License <https://opensource.org/licenses/MIT>.\n"
                        "This is free software: you are free to change and redistribute it.\n"
                        "There is NO WARRANTY, to the extent permitted by law.\n";

// What is printed must arrive, or the status says so.
int Print(const char* text)
{
    if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    const std::string reason = file_layer::SystemErrorText(errno);
    std::fprintf(stderr, "%s: write error: %s\n", ApplicationName().c_str(), reason.c_str());
    return 1;
}

} // namespace

bool CConverterApp::AnswerWithoutWindow(int& status) const
{
    switch (WindowRequestFor(m_commandLine)) {
    case WindowRequest::kHelp:
        status = Print(kUsage);
        return true;
    case WindowRequest::kVersion:
        status = Print(kVersion);
        return true;
    case WindowRequest::kOpen:
        break;
    }
    return false;
}

bool CConverterApp::InitInstance()
{
    CConverterDlg dlg;
    if (!m_commandLine.empty()) {
        StartPlace place = StartPlaceFor(m_commandLine);
        // On standard error for a terminal, in a box for the desktop; then
        // the window opens as if they had not been given.
        if (!place.refused.empty()) {
            std::string lines;
            for (const RefusedArgument& refused : place.refused) {
                const std::string line = RefusalText(refused);
                std::fprintf(stderr, "%s: %s\n", ApplicationName().c_str(), line.c_str());
                lines += (lines.empty() ? "" : "\n") + line;
            }
            std::fflush(stderr);
            ShowApplicationMessage(lines, nullptr);
        }
        dlg.SetStartPlace(std::move(place));
    }
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
