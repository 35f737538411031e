// tavrino-capgen: writes synthetic TAVRINO ".DT" capture files for tests,
// benchmarks, fuzzing seeds and demonstrations.

#include "capgen.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "Usage: tavrino-capgen [OPTION]... OUTPUT.DT\n"
    "Write a synthetic TAVRINO \".DT\" capture file of realistic Ethernet frames:\n"
    "ARP, IPv4 UDP and TCP, IPv6 UDP and 802.1Q-tagged IPv4, with valid IPv4, UDP\n"
    "and TCP checksums, plus some header-only entries. The same options and seed\n"
    "always give the same file. Nothing is printed on success unless --verbose.\n"
    "\n"
    "How much (one of; default --frames 1000):\n"
    "  --size BYTES         total file size; suffixes K, M, G, T (powers of 1024),\n"
    "                       e.g. 64K, 512M, 1G. The file comes out BYTES long less 0\n"
    "                       to 3 bytes (entries are multiples of 4 bytes); with a\n"
    "                       single --frame-size or a narrow range it may fall short\n"
    "                       by less than one frame entry\n"
    "  --frames N           number of frame entries (header-only entries come on top)\n"
    "\n"
    "Time:\n"
    "  --start \"YYYY-MM-DD HH:MM:SS.hh\"\n"
    "                       wall-clock start of the capture, hundredths optional\n"
    "                       (default \"2010-03-15 09:30:00.00\"); year 0-32767\n"
    "  --resolution CODE    unit of the entry counter, 0-255: 1 = 1 ms, 2 = 100 us,\n"
    "                       3 = 10 us, any other = 1 us (default 2)\n"
    "  --rate FPS           average frames per second (default 10000), 0.001-1e9; the\n"
    "                       counter step between frames is uniform in 0..2x the mean,\n"
    "                       so frames may share a counter value; never decreasing\n"
    "  --first-counter N    entry counter of the first frame (default 0)\n"
    "  --allow-wrap         let the 32-bit entry counter wrap past 4294967295;\n"
    "                       without it a capture that would wrap is refused\n"
    "\n"
    "Frames:\n"
    "  --frame-size N|MIN-MAX\n"
    "                       frame lengths within 60-1514 (default 60-1514). A range\n"
    "                       draws from a realistic LAN mix (30% 60-byte, 10% 66-byte,\n"
    "                       22% full 1514-byte frames, the rest spread between),\n"
    "                       a draw outside MIN-MAX redrawn uniformly within it\n"
    "  --mix KIND=W[,KIND=W]...\n"
    "                       relative weights of the frame kinds arp, udp (IPv4),\n"
    "                       tcp (IPv4), ipv6 (UDP) and vlan (802.1Q IPv4 UDP/TCP);\n"
    "                       kinds not named get 0 (default\n"
    "                       arp=2,udp=25,tcp=60,ipv6=8,vlan=5). ARP fills only\n"
    "                       60-byte frames, IPv6 needs 62 bytes or more; when no\n"
    "                       weighted kind fits a length the frame is IPv4 UDP\n"
    "  --header-only PCT    share of header-only entries among all entries, 0-100\n"
    "                       (default 3)\n"
    "  --seed N             seed of the pseudo-random choices (default 1)\n"
    "\n"
    "Layout:\n"
    "  --extra-chunk[=SIZE] put an unknown chunk (tag CMNT, SIZE bytes, default 45)\n"
    "                       right after the file header\n"
    "  --filler BYTES       put an unknown chunk (tag FILL) of BYTES zero bytes, up to\n"
    "                       4G - 1, before DINF and MONL: with --size 5G --filler 1G\n"
    "                       the entries lie beyond 4 GiB in a 5 GiB file\n"
    "  --monl-first         write the MONL chunk before the DINF chunk\n"
    "  --dinf-size BYTES    size of the DINF body (default 612)\n"
    "  --time-offset N      DINF time offset (default 148): the start time and date\n"
    "                       words lie at body offset N+12 and N+16\n"
    "  --code-offset N      DINF code offset (default 280): the resolution code lies\n"
    "                       at body offset N+18\n"
    "  --random-unused      fill the bytes the converter does not interpret (entry\n"
    "                       flag bits 3-6 and byte 2, time field bytes 3-7, padding,\n"
    "                       trailer) with random values instead of zeros and entry\n"
    "                       numbers; the frames and counters stay the same\n"
    "\n"
    "  -v, --verbose        report entries, bytes, counter span and time taken\n"
    "  -h, --help           show this help and exit\n"
    "\n"
    "Limits: the MONL chunk's size field is 32-bit, so one capture holds at most\n"
    "4294967292 bytes of entries: --size up to 4 GiB plus the header and chunks\n"
    "(4G is accepted, 5G is refused). Memory use does not depend on the size.\n"
    "\n"
    "OUTPUT must be a seekable file: the MONL size is written last.\n"
    "Exit status: 0 written, 1 could not write (no file left behind), 2 usage error.\n";

[[noreturn]] void UsageError(const std::string& message)
{
    std::fprintf(stderr, "tavrino-capgen: %s\nTry 'tavrino-capgen --help'.\n", message.c_str());
    std::exit(2);
}

bool ParseUnsigned(const char* text, std::uint64_t& value, const char** end = nullptr)
{
    if (*text < '0' || *text > '9')
        return false;
    std::uint64_t v = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (v > (~std::uint64_t{0} - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    if (end)
        *end = p;
    else if (*p)
        return false;
    value = v;
    return true;
}

std::uint64_t UnsignedArg(const std::string& option, const char* text, std::uint64_t max)
{
    std::uint64_t v;
    if (!ParseUnsigned(text, v) || v > max)
        UsageError(option + ": expected a whole number from 0 to " + std::to_string(max) + ", not '" + text + "'");
    return v;
}

std::uint64_t SizeArg(const char* text)
{
    std::uint64_t v;
    const char* end;
    if (!ParseUnsigned(text, v, &end))
        UsageError(std::string("--size: expected a number of bytes such as 1048576, 64K, 512M or 1G, not '") +
                   text + "'");
    std::string suffix(end);
    for (char& c : suffix)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (suffix.size() == 3 && suffix.compare(1, 2, "IB") == 0)
        suffix.resize(1);
    unsigned shift = 0;
    if (suffix.empty() || suffix == "B")
        shift = 0;
    else if (suffix == "K")
        shift = 10;
    else if (suffix == "M")
        shift = 20;
    else if (suffix == "G")
        shift = 30;
    else if (suffix == "T")
        shift = 40;
    else
        UsageError(std::string("--size: unknown suffix in '") + text + "' (use K, M, G or T)");
    if (shift && v > (~std::uint64_t{0} >> shift))
        UsageError(std::string("--size: '") + text + "' is too large");
    return v << shift;
}

double RateArg(const char* text)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (end == text || *end || errno)
        UsageError(std::string("--rate: expected frames per second, not '") + text + "'");
    return v;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

capgen::StartTime StartArg(const char* text)
{
    capgen::StartTime s;
    char sep = 0;
    int used = 0;
    const int n = std::sscanf(text, "%5d-%2d-%2d%c%2d:%2d:%2d%n", &s.year, &s.month, &s.day, &sep, &s.hour,
                              &s.minute, &s.second, &used);
    bool ok = n == 7 && (sep == ' ' || sep == 'T');
    s.hundredths = 0;
    if (ok && text[used] == '.') {
        const char* h = text + used + 1;
        ok = h[0] >= '0' && h[0] <= '9' && h[1] >= '0' && h[1] <= '9' && h[2] == '\0';
        if (ok)
            s.hundredths = (h[0] - '0') * 10 + (h[1] - '0');
    } else if (ok) {
        ok = text[used] == '\0';
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    ok = ok && s.year >= 0 && s.year <= 32767 && s.month >= 1 && s.month <= 12 && s.day >= 1 &&
         s.day <= kDays[s.month - 1] + (s.month == 2 && LeapYear(s.year)) && s.hour >= 0 && s.hour <= 23 &&
         s.minute >= 0 && s.minute <= 59 && s.second >= 0 && s.second <= 59;
    if (!ok)
        UsageError(std::string("--start: expected \"YYYY-MM-DD HH:MM:SS.hh\" (a real date, hundredths two "
                               "digits, optional), not '") +
                   text + "'");
    return s;
}

void FrameSizeArg(const char* text, capgen::Options& o)
{
    std::uint64_t low, high;
    const char* end;
    bool ok = ParseUnsigned(text, low, &end);
    if (ok && *end == '-')
        ok = ParseUnsigned(end + 1, high);
    else if (ok)
        ok = *end == '\0', high = low;
    if (!ok || low < capgen::kMinFrameLength || high > capgen::kMaxFrameLength || low > high)
        UsageError(std::string("--frame-size: expected N or MIN-MAX within 60-1514, not '") + text + "'");
    o.minLength = static_cast<unsigned>(low);
    o.maxLength = static_cast<unsigned>(high);
}

void MixArg(const char* text, capgen::Options& o)
{
    capgen::FrameMix mix;
    mix.weight.fill(0);
    std::string all(text);
    std::uint64_t total = 0;
    std::size_t at = 0;
    while (at <= all.size()) {
        const std::size_t comma = std::min(all.find(',', at), all.size());
        const std::string item = all.substr(at, comma - at);
        const std::size_t eq = item.find('=');
        int kind = -1;
        for (int k = 0; k < capgen::kFrameKindCount && eq != std::string::npos; ++k)
            if (item.compare(0, eq, capgen::kFrameKindNames[k]) == 0 && eq == std::strlen(capgen::kFrameKindNames[k]))
                kind = k;
        std::uint64_t w;
        if (kind < 0 || !ParseUnsigned(item.c_str() + eq + 1, w) || w > 1000000)
            UsageError("--mix: expected KIND=WEIGHT items (kinds arp, udp, tcp, ipv6, vlan; weights 0-1000000) "
                       "separated by commas, not '" + item + "'");
        mix.weight[static_cast<std::size_t>(kind)] = static_cast<std::uint32_t>(w);
        total += w;
        at = comma + 1;
    }
    if (total == 0)
        UsageError("--mix: at least one kind needs a weight above 0");
    o.mix = mix;
}

} // namespace

int main(int argc, char** argv)
{
    capgen::Options o;
    bool verbose = false, framesGiven = false, onlyPaths = false;
    int outputs = 0;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (onlyPaths || arg.size() < 2 || arg[0] != '-') {
            o.output = arg;
            ++outputs;
            continue;
        }
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        std::string name = arg, inlineValue;
        bool hasInline = false;
        if (arg.compare(0, 2, "--") == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
                hasInline = true;
            }
        }
        auto flag = [&] {
            if (hasInline)
                UsageError(name + " takes no value");
        };
        auto value = [&]() -> const char* {
            if (hasInline)
                return argv[i] + name.size() + 1;
            if (i + 1 >= argc)
                UsageError(name + " needs a value");
            return argv[++i];
        };

        if (name == "-h" || name == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (name == "-v" || name == "--verbose") {
            flag();
            verbose = true;
        } else if (name == "--size") {
            o.size = SizeArg(value());
            o.sizeGiven = true;
        } else if (name == "--frames") {
            o.frames = UnsignedArg(name, value(), ~std::uint64_t{0} >> 1);
            framesGiven = true;
        } else if (name == "--start") {
            o.start = StartArg(value());
        } else if (name == "--resolution") {
            o.resolution = static_cast<std::uint8_t>(UnsignedArg(name, value(), 255));
        } else if (name == "--rate") {
            o.rate = RateArg(value());
        } else if (name == "--first-counter") {
            o.firstCounter = static_cast<std::uint32_t>(UnsignedArg(name, value(), 0xffffffffULL));
        } else if (name == "--allow-wrap") {
            flag();
            o.allowWrap = true;
        } else if (name == "--frame-size") {
            FrameSizeArg(value(), o);
        } else if (name == "--mix") {
            MixArg(value(), o);
        } else if (name == "--header-only") {
            const char* text = value();
            char* end = nullptr;
            o.headerOnlyPercent = std::strtod(text, &end);
            if (end == text || *end)
                UsageError(std::string("--header-only: expected a percentage, not '") + text + "'");
        } else if (name == "--seed") {
            o.seed = UnsignedArg(name, value(), ~std::uint64_t{0});
        } else if (name == "--extra-chunk") {
            o.extraChunk = true;
            if (hasInline)
                o.extraChunkSize = static_cast<std::uint32_t>(UnsignedArg(name, inlineValue.c_str(), 16u << 20));
        } else if (name == "--filler") {
            const std::uint64_t size = SizeArg(value());
            if (size > 0xFFFFFFFFu)
                UsageError("--filler: at most 4294967295 bytes (a chunk's size is 32-bit)");
            o.fillerSize = static_cast<std::uint32_t>(size);
        } else if (name == "--monl-first") {
            flag();
            o.monlFirst = true;
        } else if (name == "--dinf-size") {
            o.dinfSize = static_cast<std::uint32_t>(UnsignedArg(name, value(), 16u << 20));
        } else if (name == "--time-offset") {
            o.timeOffset = static_cast<std::uint32_t>(UnsignedArg(name, value(), 0xffffffffULL));
        } else if (name == "--code-offset") {
            o.codeOffset = static_cast<std::uint32_t>(UnsignedArg(name, value(), 0xffffffffULL));
        } else if (name == "--random-unused") {
            flag();
            o.randomUnused = true;
        } else {
            UsageError("unknown option '" + arg + "'");
        }
    }
    if (outputs != 1)
        UsageError(outputs == 0 ? "no output file given" : "give exactly one output file");
    if (o.sizeGiven && framesGiven)
        UsageError("--size and --frames exclude each other");
    const std::string problem = capgen::CheckOptions(o);
    if (!problem.empty())
        UsageError(problem);

    const auto started = std::chrono::steady_clock::now();
    capgen::Result r;
    std::string error;
    if (!capgen::Generate(o, r, error)) {
        std::fprintf(stderr, "tavrino-capgen: %s\n", error.c_str());
        return 1;
    }
    if (verbose) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const double span = static_cast<double>(r.lastCounter - r.firstCounter) *
                            capgen::MicrosecondsPerTick(o.resolution) / 1e6;
        std::printf("%s: %llu bytes, MONL body %llu bytes\n", o.output.c_str(),
                    static_cast<unsigned long long>(r.fileSize), static_cast<unsigned long long>(r.monlSize));
        std::printf("entries: %llu frames (", static_cast<unsigned long long>(r.frameEntries));
        for (int k = 0; k < capgen::kFrameKindCount; ++k)
            std::printf("%s%s %llu", k ? ", " : "", capgen::kFrameKindNames[k],
                        static_cast<unsigned long long>(r.kinds[static_cast<std::size_t>(k)]));
        std::printf("), %llu header-only\n", static_cast<unsigned long long>(r.headerOnlyEntries));
        std::printf("counters: %llu to %llu, %.6f s at %u us per tick\n",
                    static_cast<unsigned long long>(r.firstCounter), static_cast<unsigned long long>(r.lastCounter),
                    span, capgen::MicrosecondsPerTick(o.resolution));
        std::printf("time: %.3f s, %.0f MiB/s\n", seconds,
                    seconds > 0 ? static_cast<double>(r.fileSize) / (1 << 20) / seconds : 0.0);
    }
    return 0;
}
