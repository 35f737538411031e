#include "options.h"

#include "safe_name.h"

#include <cstring>
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
#ifdef _WIN32
    "                      ZONE, in the C runtime's form: a name, the hours WEST\n"
    "                      of UTC, an optional daylight name, such as JST-9,\n"
    "                      EST5EDT or IST-5:30 (IANA names such as Asia/Tokyo\n"
    "                      are for other systems); default: TZ or the system's\n"
    "                      zone\n"
#else
    "                      ZONE (an IANA name such as Asia/Tokyo; on Windows the\n"
    "                      C runtime's form such as JST-9); default: TZ or the\n"
    "                      system's zone\n"
#endif
    "  -k, --keep-going    after a failed file, go on with the others\n"
    "  -q, --quiet         no progress line (only ever shown when standard error\n"
    "                      is a terminal)\n"
    "  -v, --verbose       after each file, a summary line on standard error:\n"
    "                      frames, skipped header-only entries, first and last\n"
    "                      time stamp (capture clock and UTC), duration\n"
    "      --help          show this help and exit\n"
    "      --version       show the version and exit\n"
    "\n"
    "Exit status: 0 all converted, 1 a conversion failed, 2 usage error.\n";

namespace {

enum class Takes { Nothing, Argument };

struct LongOption {
    const char* name;
    Takes takes;
    char letter;  // the short form, or a private code of a long-only option
};

constexpr char kTimeZone = 1, kHelp = 2, kVersion = 3;

const LongOption kLongOptions[] = {
    {"output", Takes::Argument, 'o'}, {"tz", Takes::Argument, kTimeZone}, {"keep-going", Takes::Nothing, 'k'},
    {"quiet", Takes::Nothing, 'q'},   {"verbose", Takes::Nothing, 'v'},   {"help", Takes::Nothing, kHelp},
    {"version", Takes::Nothing, kVersion},
};

const LongOption* FindShort(char letter)
{
    for (const LongOption& option : kLongOptions) {
        if (option.letter == letter && (letter == 'o' || letter == 'k' || letter == 'q' || letter == 'v'))
            return &option;
    }
    return nullptr;
}

// The options a long name stands for: the one it names exactly, else every
// one whose name it begins, in the table's order.
std::vector<const LongOption*> FindLong(const std::string& name)
{
    std::vector<const LongOption*> found;
    for (const LongOption& option : kLongOptions) {
        if (name == option.name)
            return {&option};
        if (std::strncmp(option.name, name.c_str(), name.size()) == 0)
            found.push_back(&option);
    }
    return found;
}

} // namespace

// Our own reading of GNU getopt_long's conventions and wording, so that every
// platform's C library gives the same results and the same messages.
ParseResult ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    if (argc < 1)
        return ParseResult::NoFiles;
    bool help = false, version = false, hasOutput = false;
    const auto apply = [&](char letter, const std::string& argument) {
        switch (letter) {
        case 'o':
            options.output = argument;
            hasOutput = true;
            break;
        case kTimeZone:
            options.timeZone = argument;
            break;
        case 'k':
            options.keepGoing = true;
            break;
        case 'q':
            options.quiet = true;
            break;
        case 'v':
            options.verbose = true;
            break;
        case kHelp:
            help = true;
            break;
        case kVersion:
            version = true;
            break;
        }
    };

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            options.files.insert(options.files.end(), argv + i + 1, argv + argc);
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);  // "-" too: a name, as for getopt
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const std::vector<const LongOption*> candidates = FindLong(name);
            if (candidates.empty()) {
                error = "unrecognized option '" + SafeName(arg) + "'";
                return ParseResult::UsageError;
            }
            if (candidates.size() > 1) {
                // glibc names the whole argument, "=value" included.
                error = "option '" + SafeName(arg) + "' is ambiguous; possibilities:";
                for (const LongOption* candidate : candidates)
                    error += std::string(" '--") + candidate->name + "'";
                return ParseResult::UsageError;
            }
            const LongOption* option = candidates.front();
            std::string argument;
            if (option->takes == Takes::Nothing) {
                if (equals != std::string::npos) {
                    error = std::string("option '--") + option->name + "' doesn't allow an argument";
                    return ParseResult::UsageError;
                }
            } else if (equals != std::string::npos) {
                argument = arg.substr(equals + 1);
            } else if (i + 1 < argc) {
                argument = argv[++i];
            } else {
                error = std::string("option '--") + option->name + "' requires an argument";
                return ParseResult::UsageError;
            }
            apply(option->letter, argument);
            continue;
        }
        // One or more short options: "-kq", "-ofile", "-o file".
        for (std::size_t at = 1; at < arg.size(); ++at) {
            const LongOption* option = FindShort(arg[at]);
            if (option == nullptr) {
                error = "invalid option -- '" + SafeName(std::string(1, arg[at])) + "'";
                return ParseResult::UsageError;
            }
            if (option->takes == Takes::Nothing) {
                apply(option->letter, "");
                continue;
            }
            if (at + 1 < arg.size()) {
                apply(option->letter, arg.substr(at + 1));
            } else if (i + 1 < argc) {
                apply(option->letter, argv[++i]);
            } else {
                error = "option requires an argument -- '" + SafeName(std::string(1, arg[at])) + "'";
                return ParseResult::UsageError;
            }
            break;
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
    if (options.files.empty())
        return ParseResult::NoFiles;
    if (!options.output.empty() && options.files.size() > 1) {
        error = "-o/--output takes exactly one capture file";
        return ParseResult::UsageError;
    }
    return ParseResult::Run;
}
