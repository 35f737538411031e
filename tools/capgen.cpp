#include "capgen.h"

#include "capture_format.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace capgen {

namespace {

constexpr std::size_t kBlockSize = 4 << 20;        // written in 4 MiB blocks
constexpr std::size_t kMaxEntry = 4 + 8 + 2048 + 4;  // an entry never crosses a block's end
constexpr std::uint32_t kMaxChunkBody = 16 << 20;   // for DINF and the extra chunk
constexpr char kExtraTag[4] = {'C', 'M', 'N', 'T'};
constexpr char kFillerTag[4] = {'F', 'I', 'L', 'L'};

inline void PutLE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline unsigned Padded(unsigned length) { return (length + 3u) & ~3u; }

std::string Describe(const std::string& path, int err) { return path + ": " + std::strerror(err); }

// The output file: large blocks, plain POSIX calls, 64-bit offsets.
class Output {
public:
    ~Output()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool Create(const std::string& path)
    {
        m_path = path;
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        struct stat st;
        m_regular = m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
        return m_fd >= 0;
    }
    bool Write(const std::uint8_t* data, std::size_t count)
    {
        if (!WriteAt(data, count, m_offset))
            return false;
        m_offset += count;
        return true;
    }
    bool WriteAt(const std::uint8_t* data, std::size_t count, std::uint64_t offset)
    {
        while (count > 0) {
            const ssize_t n = ::pwrite(m_fd, data, count, static_cast<off_t>(offset));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += n;
            count -= static_cast<std::size_t>(n);
            offset += static_cast<std::uint64_t>(n);
        }
        return true;
    }
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    // After a failure: closes and removes the partial file (never a device or
    // pipe such as /dev/full), keeping the first errno.
    void Discard()
    {
        const int saved = errno;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (m_regular)
            ::unlink(m_path.c_str());
        errno = saved;
    }
    std::uint64_t Offset() const { return m_offset; }
    // Moves on without writing; the next write leaves a hole behind it.
    void Skip(std::uint64_t count) { m_offset += count; }

private:
    int m_fd = -1;
    bool m_regular = false;
    std::string m_path;
    std::uint64_t m_offset = 0;
};

std::vector<std::uint8_t> ChunkHeader(const char tag[4], std::uint32_t size)
{
    std::vector<std::uint8_t> h(capture::kChunkHeaderSize);
    std::memcpy(h.data(), tag, 4);
    PutLE32(h.data() + 4, size);
    return h;
}

// The DINF body: the two offsets, the start words and the resolution code
// where they point, and around them the kind of things a capture tool keeps
// there (layout version, station name, adapter name and link speed).
std::vector<std::uint8_t> DinfBody(const Options& o)
{
    std::vector<std::uint8_t> body(o.dinfSize, 0);
    auto put = [&](std::size_t at, const void* data, std::size_t count) {
        if (at < body.size())
            std::memcpy(body.data() + at, data, std::min(count, body.size() - at));
    };
    std::uint8_t word[4];
    PutLE32(word, 1);  // layout version
    put(0, word, 4);
    PutLE32(word, 24);  // where the station name is
    put(8, word, 4);
    static const char kStation[32] = "TAVRINO capgen station 1";
    put(24, kStation, sizeof kStation);
    static const char kAdapter[16] = "Ethernet 1000FD";
    put(o.codeOffset, kAdapter, sizeof kAdapter);
    const std::uint8_t speed[2] = {0xe8, 0x03};  // 1000 Mbit/s
    put(std::size_t{o.codeOffset} + 16, speed, 2);

    // The values the converter reads; they win over the decoration above.
    PutLE32(word, o.timeOffset);
    put(4, word, 4);
    PutLE32(word, o.codeOffset);
    put(12, word, 4);
    const StartTime& s = o.start;
    const std::uint8_t words[8] = {static_cast<std::uint8_t>(s.hundredths), static_cast<std::uint8_t>(s.second),
                                   static_cast<std::uint8_t>(s.minute),     static_cast<std::uint8_t>(s.hour),
                                   static_cast<std::uint8_t>(s.day),        static_cast<std::uint8_t>(s.month),
                                   static_cast<std::uint8_t>(s.year),       static_cast<std::uint8_t>(s.year >> 8)};
    put(std::size_t{o.timeOffset} + 12, words, 8);
    put(std::size_t{o.codeOffset} + 18, &o.resolution, 1);
    return body;
}

std::vector<std::uint8_t> ExtraBody(const Options& o)
{
    static const char kText[] = "Generated by tavrino-capgen; not a DINF or MONL chunk.\n";
    std::vector<std::uint8_t> body(o.extraChunkSize);
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<std::uint8_t>(kText[i % (sizeof kText - 1)]);
    return body;
}

// Expected bytes per frame entry under the length distribution.
double ExpectedFrameEntry(const LengthDistribution& lengths)
{
    const std::vector<double> p = lengths.Probabilities();
    double e = 0;
    for (unsigned length = 0; length < p.size(); ++length)
        e += p[length] * (16 + Padded(length));
    return e;
}

// Frame entries to expect: the --frames count, or what fits in the --size body.
double ExpectedFrames(const Options& o, const LengthDistribution& lengths)
{
    if (!o.sizeGiven)
        return static_cast<double>(o.frames);
    const double h = o.headerOnlyPercent / 100.0;
    const double body = static_cast<double>((o.size - LayoutOverhead(o)) & ~std::uint64_t{3});
    return body * (1 - h) / ((1 - h) * ExpectedFrameEntry(lengths) + 4 * h);
}

// The counter advance per frame, in ticks with 32 fractional bits: uniform in
// [0, 2 x mean] so that the frames average the requested rate.
std::uint64_t MeanStep(const Options& o)
{
    const double ticks = 1e6 / (o.rate * MicrosecondsPerTick(o.resolution));
    return static_cast<std::uint64_t>(std::llround(ticks * 4294967296.0));
}

} // namespace

unsigned MicrosecondsPerTick(std::uint8_t resolution)
{
    switch (resolution) {
    case 1: return 1000;
    case 2: return 100;
    case 3: return 10;
    default: return 1;
    }
}

std::uint64_t LayoutOverhead(const Options& o)
{
    return capture::kFileHeaderSize + (o.extraChunk ? capture::kChunkHeaderSize + o.extraChunkSize : 0) +
           (o.fillerSize ? capture::kChunkHeaderSize + std::uint64_t{o.fillerSize} : 0) + capture::kChunkHeaderSize +
           o.dinfSize + capture::kChunkHeaderSize;
}

std::string CheckOptions(const Options& o)
{
    char text[512];
    if (o.minLength < kMinFrameLength || o.maxLength > kMaxFrameLength || o.minLength > o.maxLength)
        return "--frame-size: lengths must lie within 60-1514, MIN not above MAX";
    if (!(o.headerOnlyPercent >= 0 && o.headerOnlyPercent <= 100))
        return "--header-only: a percentage from 0 to 100";
    if (!o.sizeGiven && o.headerOnlyPercent >= 100 && o.frames > 0)
        return "--header-only 100 leaves no room for --frames; use --size";
    if (!(o.rate >= 0.001 && o.rate <= 1e9))
        return "--rate: frames per second from 0.001 to 1000000000";
    const StartTime& s = o.start;
    if (s.year < 0 || s.year > 32767 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 || s.hour > 23 ||
        s.minute > 59 || s.second > 59 || s.hundredths > 99 || s.hour < 0 || s.minute < 0 || s.second < 0 ||
        s.hundredths < 0)
        return "--start: not a valid date and time";
    if (o.extraChunk && o.extraChunkSize > kMaxChunkBody)
        return "--extra-chunk: at most 16777216 bytes";

    // DINF: the two offsets and the values they point at must fit and not overlap.
    const std::uint64_t timeEnd = std::uint64_t{o.timeOffset} + 20, codeAt = std::uint64_t{o.codeOffset} + 18;
    if (o.dinfSize > kMaxChunkBody)
        return "--dinf-size: at most 16777216 bytes";
    if (o.dinfSize < 16 || timeEnd > o.dinfSize || codeAt + 1 > o.dinfSize) {
        std::snprintf(text, sizeof text,
                      "--dinf-size %u is too small: these offsets need at least %llu bytes", o.dinfSize,
                      static_cast<unsigned long long>(std::max<std::uint64_t>({16, timeEnd, codeAt + 1})));
        return text;
    }
    if (o.timeOffset < 4)
        return "--time-offset: below 4 the start words would overwrite the code offset";
    if (codeAt >= timeEnd - 8 && codeAt < timeEnd)
        return "--time-offset and --code-offset put the resolution code inside the start words";

    const LengthDistribution lengths(o.minLength, o.maxLength);
    const std::uint64_t overhead = LayoutOverhead(o);
    if (o.sizeGiven) {
        if (o.size < overhead) {
            std::snprintf(text, sizeof text,
                          "--size %llu is smaller than the header and chunks alone (%llu bytes)",
                          static_cast<unsigned long long>(o.size), static_cast<unsigned long long>(overhead));
            return text;
        }
        if (o.size - overhead > kMaxMonlBody + 3) {
            std::snprintf(text, sizeof text,
                          "--size %llu is too large: one capture holds at most %llu bytes of entries (the "
                          "MONL chunk's size is 32-bit), so at most %llu bytes in all with these options",
                          static_cast<unsigned long long>(o.size), static_cast<unsigned long long>(kMaxMonlBody),
                          static_cast<unsigned long long>(overhead + kMaxMonlBody));
            return text;
        }
    } else if (static_cast<double>(o.frames) * (16 + Padded(o.minLength)) > static_cast<double>(kMaxMonlBody)) {
        std::snprintf(text, sizeof text,
                      "--frames %llu is too many: one capture holds at most %llu bytes of entries (the MONL "
                      "chunk's size is 32-bit)",
                      static_cast<unsigned long long>(o.frames), static_cast<unsigned long long>(kMaxMonlBody));
        return text;
    }

    if (!o.allowWrap) {
        const double frames = ExpectedFrames(o, lengths);
        const double step = static_cast<double>(MeanStep(o)) / 4294967296.0;
        const double last = o.firstCounter + std::max(0.0, frames - 1) * step;
        if (last > 4294967295.0) {
            std::snprintf(text, sizeof text,
                          "the entry counter (32-bit) would wrap: about %.0f frames at %g frames/s reach counter "
                          "%.0f (%u us per tick), past 4294967295; use a higher --rate, a coarser --resolution, "
                          "fewer frames or --allow-wrap",
                          frames, o.rate, last, MicrosecondsPerTick(o.resolution));
            return text;
        }
    }
    return {};
}

bool Generate(const Options& o, Result& result, std::string& error)
{
    result = Result{};
    result.firstCounter = o.firstCounter;
    const LengthDistribution lengths(o.minLength, o.maxLength);
    FrameFactory frames(o.seed, o.mix);
    Rng rng(MixSeed(o.seed, 2));
    // Bytes the converter does not interpret come from their own stream, so
    // --random-unused changes nothing that reaches the pcap output.
    Rng unused(MixSeed(o.seed, 3));

    const std::uint64_t bodyLimit =
        o.sizeGiven ? ((o.size - LayoutOverhead(o)) & ~std::uint64_t{3}) : kMaxMonlBody;
    const double h = o.headerOnlyPercent / 100.0;
    const std::uint64_t headerOnlyThreshold =
        h >= 1 ? ~std::uint64_t{0} : static_cast<std::uint64_t>(h * 18446744073709551616.0);
    const std::uint64_t meanStep = MeanStep(o);
    const std::uint64_t stepBound = 2 * meanStep + 1;  // step uniform in [0, stepBound)

    Output out;
    if (!out.Create(o.output)) {
        error = Describe(o.output, errno);
        return false;
    }
    auto fail = [&](const std::string& why) {
        out.Discard();
        error = why;
        return false;
    };
    auto failErrno = [&] {
        const int err = errno;
        return fail(Describe(o.output, err));
    };

    // Everything before the MONL body.
    std::vector<std::uint8_t> prelude(capture::kFileHeader, capture::kFileHeader + capture::kFileHeaderSize);
    auto append = [](std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
        to.insert(to.end(), bytes.begin(), bytes.end());
    };
    if (o.extraChunk) {
        append(prelude, ChunkHeader(kExtraTag, o.extraChunkSize));
        append(prelude, ExtraBody(o));
    }
    std::uint64_t preludeOffset = 0;  // bytes written before `prelude`
    if (o.fillerSize) {
        // A big chunk the converter skips, so that the entries lie beyond 4 GiB in the file.
        append(prelude, ChunkHeader(kFillerTag, o.fillerSize));
        if (!out.Write(prelude.data(), prelude.size()))
            return failErrno();
        out.Skip(o.fillerSize);  // a hole: reads as zeros and takes no disk space
        preludeOffset = prelude.size() + std::uint64_t{o.fillerSize};
        prelude.clear();
    }
    std::vector<std::uint8_t> dinf = ChunkHeader(capture::kDinfTag, o.dinfSize);
    append(dinf, DinfBody(o));
    if (!o.monlFirst)
        append(prelude, dinf);
    const std::uint64_t monlSizeAt = preludeOffset + prelude.size() + 4;
    append(prelude, ChunkHeader(capture::kMonlTag, 0));  // size written when known
    if (!out.Write(prelude.data(), prelude.size()))
        return failErrno();

    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[kBlockSize]);
    std::uint8_t* const begin = block.get();
    std::uint8_t* p = begin;
    std::uint64_t body = 0;
    std::uint64_t counter = o.firstCounter, fraction = 0;
    std::uint32_t entryIndex = 0;
    bool firstFrame = true;

    auto flush = [&] {
        const bool ok = out.Write(begin, static_cast<std::size_t>(p - begin));
        p = begin;
        return ok;
    };
    auto writeHeaderOnly = [&](unsigned length) {
        const std::uint8_t flags = o.randomUnused ? static_cast<std::uint8_t>(unused.Next() & 0x78) : 0;
        p[0] = static_cast<std::uint8_t>(length);
        p[1] = static_cast<std::uint8_t>(0x80 | flags | (length >> 8 & 7));
        p[2] = o.randomUnused ? static_cast<std::uint8_t>(unused.Next()) : 0;
        p[3] = static_cast<std::uint8_t>(counter);
        p += 4;
        body += 4;
        ++entryIndex;
        ++result.headerOnlyEntries;
    };
    auto writeFrame = [&](unsigned length) {
        if (firstFrame) {
            firstFrame = false;
            result.firstCounter = counter;
        } else {
            const std::uint64_t step = static_cast<std::uint64_t>(
                (static_cast<unsigned __int128>(rng.Next()) * stepBound) >> 64);
            fraction += step & 0xffffffffu;
            counter += (step >> 32) + (fraction >> 32);
            fraction &= 0xffffffffu;
        }
        const std::uint32_t c = static_cast<std::uint32_t>(counter);
        const unsigned padded = Padded(length);
        std::uint64_t noise = o.randomUnused ? unused.Next() : 0;
        p[0] = static_cast<std::uint8_t>(length);
        p[1] = static_cast<std::uint8_t>((noise & 0x78) | (length >> 8 & 7));
        p[2] = static_cast<std::uint8_t>(noise >> 8);
        p[3] = static_cast<std::uint8_t>(c);
        p[4] = static_cast<std::uint8_t>(c >> 8);
        p[5] = static_cast<std::uint8_t>(c >> 16);
        p[6] = static_cast<std::uint8_t>(c >> 24);
        noise = o.randomUnused ? unused.Next() : 0;
        for (int i = 0; i < 5; ++i)  // time field bytes 3-7
            p[7 + i] = static_cast<std::uint8_t>(noise >> (8 * i));
        frames.Build(p + 12, length, rng);
        noise = o.randomUnused ? unused.Next() : 0;
        for (unsigned i = length; i < padded; ++i)
            p[12 + i] = static_cast<std::uint8_t>(noise >> (8 * (i - length)));
        PutLE32(p + 12 + padded, o.randomUnused ? static_cast<std::uint32_t>(noise >> 32) : entryIndex);
        p += 16 + padded;
        body += 16 + padded;
        ++entryIndex;
        ++result.frameEntries;
    };

    // Frame entries are 16 + 4k bytes, from minEntry to maxEntry.
    const std::uint64_t minEntry = 16 + Padded(o.minLength), maxEntry = 16 + Padded(o.maxLength);
    const std::string wrapped = "the entry counter (32-bit) wrapped; use a higher --rate, a coarser --resolution, "
                                "fewer frames or --allow-wrap";
    auto room = [&] {
        return static_cast<std::size_t>(begin + kBlockSize - p) >= kMaxEntry || flush();
    };
    while (o.sizeGiven || result.frameEntries < o.frames) {
        if (!room())
            return failErrno();
        const bool headerOnly = rng.Next() < headerOnlyThreshold;
        const unsigned length = lengths.Draw(rng);
        const std::uint64_t size = headerOnly ? 4 : 16 + Padded(length);
        if (body + size > bodyLimit) {
            if (!o.sizeGiven)
                return fail("--frames " + std::to_string(o.frames) +
                            ": the entries outgrow the 32-bit MONL size; ask for fewer frames");
            break;
        }
        // With --size, never leave a rest that frame entries cannot fill.
        const std::uint64_t after = bodyLimit - body - size;
        if (o.sizeGiven && h < 1 && after > 0 && after < minEntry)
            break;
        if (headerOnly) {
            writeHeaderOnly(length);
            continue;
        }
        writeFrame(length);
        if (!o.allowWrap && counter > 0xffffffffULL)
            return fail(wrapped);
    }
    if (o.sizeGiven) {
        // The last few frame entries fill the body exactly: k entries of minEntry..maxEntry
        // bytes can make any multiple of 4 from k x minEntry to k x maxEntry. Where no k
        // fits (a single frame size, a narrow range) header-only entries fill the gap as
        // far as the header-only share allows; the file may then fall a little short.
        std::uint64_t rest = bodyLimit - body;
        while (h < 1 && rest >= minEntry) {
            const std::uint64_t k = (rest + maxEntry - 1) / maxEntry;
            std::uint64_t share = maxEntry;
            if (k * minEntry <= rest)
                share = rest / k & ~std::uint64_t{3};  // split evenly: the others still fit
            const unsigned padded = static_cast<unsigned>(share - 16);
            const unsigned low = std::max(o.minLength, padded < 3 ? 0u : padded - 3);
            const unsigned high = std::min(o.maxLength, padded);
            if (!room())
                return failErrno();
            writeFrame(rng.Between(low, high));
            if (!o.allowWrap && counter > 0xffffffffULL)
                return fail(wrapped);
            rest = bodyLimit - body;
        }
        auto shareAllows = [&] {
            const double entries = static_cast<double>(result.frameEntries + result.headerOnlyEntries + 1);
            return static_cast<double>(result.headerOnlyEntries + 1) <= h * entries + 1;
        };
        while (h > 0 && rest >= 4 && shareAllows()) {
            if (!room())
                return failErrno();
            writeHeaderOnly(lengths.Draw(rng));
            rest -= 4;
        }
    }
    if (!flush())
        return failErrno();
    if (o.monlFirst && !out.Write(dinf.data(), dinf.size()))
        return failErrno();

    std::uint8_t size[4];
    PutLE32(size, static_cast<std::uint32_t>(body));
    if (!out.WriteAt(size, 4, monlSizeAt))
        return failErrno();
    result.fileSize = out.Offset();
    if (!out.Close())
        return failErrno();
    result.monlSize = body;
    result.lastCounter = counter;
    result.kinds = frames.Counts();
    return true;
}

} // namespace capgen
