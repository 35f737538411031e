#include "window_answers.h"

#include "tpc_version.h"

std::string WindowUsageText()
{
#ifdef _WIN32
    // For a message box, which wraps its lines itself: a paragraph a line.
    return "Usage: tavrino-pcap-converter.exe [FOLDER | FILE...]\n"
           "\n"
           "Opens the window that converts TAVRINO \".DT\" capture files into libpcap \".pcap\" files, each "
           "beside its capture.\n"
           "\n"
           "FOLDER: open on FOLDER.\n"
           "FILE...: open on the first FILE's folder with the named captures of that folder selected.\n"
           "--help: show this help.\n"
           "--version: show the version.\n"
           "\n"
           "Without arguments the window opens on the program's own folder, or on the Documents folder when "
           "installed. An argument that is neither a folder nor a capture file (*.DT) is reported and left out. "
           "dt2pcap converts on the command line.\n";
#else
    return "Usage: tavrino-pcap-converter [FOLDER | FILE...]\n"
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
#endif
}

std::string WindowVersionText()
{
    return "tavrino-pcap-converter " TPC_VERSION "\n"
           "Copyright (C) 2026 TAVRINO pcap converter maintainers\n"
           "License MIT: The MIT License <https://opensource.org/licenses/MIT>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string RefusalLines(const std::vector<RefusedArgument>& refused)
{
    std::string lines;
    for (const RefusedArgument& argument : refused)
        lines += (lines.empty() ? "" : "\n") + RefusalText(argument);
    return lines;
}
