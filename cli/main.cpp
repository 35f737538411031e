// dt2pcap: converts ".DT" capture files into ".pcap" files beside them, for scripts.

#include "convert_capture_file.h"
#include "write_error.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "Usage: dt2pcap FILE...\n"
    "Convert TAVRINO \".DT\" capture files into libpcap \".pcap\" files beside them.\n"
    "Files are converted in the order given; the first failure is reported on\n"
    "standard error and stops the run.\n"
    "\n"
    "  --help     show this help and exit\n"
    "\n"
    "Exit status: 0 all converted, 1 a conversion failed, 2 usage error.\n";

// Prints the conversion's message as one line on stderr.
class StderrHost : public MessageHost {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> files;
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!onlyFiles && std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!onlyFiles && std::strcmp(arg, "--") == 0) {
            onlyFiles = true;
            continue;
        }
        if (!onlyFiles && arg[0] == '-' && arg[1] != '\0') {
            std::fprintf(stderr, "dt2pcap: unknown option '%s'\n%s", arg, kUsage);
            return 2;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    StderrHost host;
    for (const std::string& file : files) {
        try {
            if (ConvertCaptureFile(file, host) != 0)
                return 1;
        } catch (const WriteError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
    }
    return 0;
}
