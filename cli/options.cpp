#include "options.h"

#include <getopt.h>
#include <vector>

const char kUsage[] =
    "Usage: dt2pcap [OPTION]... FILE...\n"
    "Convert TAVRINO \".DT\" capture files into libpcap \".pcap\" files, each beside\n"
    "its input with the extension replaced by \".pcap\". Files are converted in the\n"
    "order given; a failure is reported as one line on standard error and ends\n"
    "the run, unless -k is given.\n"
    "\n"
    "  -o, --output=PATH   write to PATH instead (one FILE only); \"-\" writes the\n"
    "                      pcap stream to standard output, which must not be a\n"
    "                      terminal\n"
    "      --tz=ZONE       compute time stamps as if this machine's time zone were\n"
    "                      ZONE (an IANA name such as Asia/Tokyo); default: TZ or\n"
    "                      the system's zone\n"
    "  -k, --keep-going    after a failed file, go on with the others\n"
    "  -q, --quiet         no progress line (only ever shown when standard error\n"
    "                      is a terminal)\n"
    "      --help          show this help and exit\n"
    "      --version       show the version and exit\n"
    "\n"
    "Exit status: 0 all converted, 1 a conversion failed, 2 usage error.\n";

namespace {

enum LongOnly { kTimeZone = 256, kHelp, kVersion };

const option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"tz", required_argument, nullptr, kTimeZone},
    {"keep-going", no_argument, nullptr, 'k'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// Not const: getopt_long takes char* const argv[].
char programName[] = "dt2pcap";

} // namespace

ParseResult ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    // getopt_long words its own errors ("unrecognized option '--x'", ...),
    // prefixed by argv[0]; give it our name rather than the path we were run by.
    if (argc < 1)
        return ParseResult::NoFiles;
    std::vector<char*> args(argv, argv + argc);
    args[0] = programName;
    args.push_back(nullptr);
    opterr = 1;
    optind = 0;  // 0, not 1: glibc then also forgets the state of an earlier parse
    bool help = false, version = false, hasOutput = false;
    for (;;) {
        const int c = getopt_long(argc, args.data(), "o:kq", kLongOptions, nullptr);
        if (c == -1)
            break;
        switch (c) {
        case 'o':
            options.output = optarg;
            hasOutput = true;
            break;
        case kTimeZone:
            options.timeZone = optarg;
            break;
        case 'k':
            options.keepGoing = true;
            break;
        case 'q':
            options.quiet = true;
            break;
        case kHelp:
            help = true;
            break;
        case kVersion:
            version = true;
            break;
        default:
            error.clear();  // already printed by getopt_long
            return ParseResult::UsageError;
        }
    }
    if (help)
        return ParseResult::Help;
    if (version)
        return ParseResult::Version;

    if (hasOutput && options.output.empty()) {
        error = "-o/--output needs a path, or - for standard output";
        return ParseResult::UsageError;
    }
    options.files.assign(args.begin() + optind, args.begin() + argc);
    if (options.files.empty())
        return ParseResult::NoFiles;
    if (!options.output.empty() && options.files.size() > 1) {
        error = "-o/--output takes exactly one capture file";
        return ParseResult::UsageError;
    }
    return ParseResult::Run;
}
