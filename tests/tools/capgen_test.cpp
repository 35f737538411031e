// Tests of tavrino-capgen, the capture generator. The generated files are read
// with the small independent parser below, written from the file layout, not
// with the converter's code. The end-to-end cases convert with build/dt2pcap
// and read its output with libpcap.

#include "pcap_expect.h"
#include "run_command.h"
#include "test_files.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Args = std::vector<std::string>;

// --- An independent reader of the capture layout ----------------------------------

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Chunk {
    std::string tag;
    std::uint64_t body;  // file offset of the body
    std::uint32_t size;
};

struct Entry {
    bool headerOnly;
    unsigned length;
    std::uint8_t byte1, byte2;
    std::uint32_t counter;  // frame entries only
    Bytes data;             // frame entries only
};

struct Capture {
    Bytes bytes;
    std::vector<Chunk> chunks;
    std::vector<Entry> entries, frames;  // frames: the entries that are not header-only
    bool chunksEndAtFileEnd = false;
    bool entriesFillMonl = false;

    const Chunk* Find(const std::string& tag) const
    {
        for (const Chunk& c : chunks)
            if (c.tag == tag)
                return &c;
        return nullptr;
    }
    // Tags in file order with the sizes of all but MONL: "CMNT:45 DINF:612 MONL".
    std::string Layout() const
    {
        std::string layout;
        for (const Chunk& c : chunks)
            layout += (layout.empty() ? "" : " ") + c.tag + (c.tag == "MONL" ? "" : ":" + std::to_string(c.size));
        return layout;
    }
    // The 8 start words and the resolution code where the DINF offsets point; empty if outside the body.
    Bytes StartAndCode() const
    {
        const Chunk* dinf = Find("DINF");
        if (!dinf || dinf->size < 16)
            return {};
        const std::uint8_t* body = bytes.data() + dinf->body;
        const std::uint64_t time = Le32(body + 4) + 12ull, code = Le32(body + 12) + 18ull;
        if (time + 8 > dinf->size || code >= dinf->size)
            return {};
        Bytes out(body + time, body + time + 8);
        out.push_back(body[code]);
        return out;
    }
};

Capture Parse(const std::string& path)
{
    Capture c;
    c.bytes = ReadFileBytes(path);
    const Bytes& b = c.bytes;
    if (b.size() < 16)
        return c;
    std::uint64_t pos = 16;
    while (pos + 8 <= b.size()) {
        Chunk ch{std::string(reinterpret_cast<const char*>(&b[pos]), 4), pos + 8, Le32(&b[pos + 4])};
        c.chunks.push_back(ch);
        pos = ch.body + ch.size;
    }
    c.chunksEndAtFileEnd = pos == b.size();
    const Chunk* monl = c.Find("MONL");
    if (!monl || monl->body + monl->size > b.size())
        return c;
    const std::uint64_t end = monl->body + monl->size;
    pos = monl->body;
    while (pos + 4 <= end) {
        const std::uint8_t* h = &b[pos];
        Entry e{(h[1] & 0x80) != 0, h[0] | (h[1] & 7u) << 8, h[1], h[2], 0, {}};
        if (e.headerOnly) {
            c.entries.push_back(e);
            pos += 4;
            continue;
        }
        const unsigned padded = (e.length + 3) & ~3u;
        if (pos + 16 + padded > end)
            break;
        e.counter = h[3] | h[4] << 8 | h[5] << 16 | static_cast<std::uint32_t>(h[6]) << 24;
        e.data.assign(h + 12, h + 12 + e.length);
        c.entries.push_back(e);
        c.frames.push_back(e);
        pos += 16 + padded;
    }
    c.entriesFillMonl = pos == end;
    return c;
}

// How often a frame's counter is below the one before.
int Decreases(const std::vector<Entry>& frames)
{
    int count = 0;
    for (std::size_t i = 1; i < frames.size(); ++i)
        count += frames[i].counter < frames[i - 1].counter;
    return count;
}

// --- Fixture -------------------------------------------------------------------------

class Capgen : public testing::Test {
protected:
    CommandResult RunCapgen(Args args)
    {
        args.insert(args.begin(), CAPGEN_PATH);
        return RunCommand(args, dir.path());
    }
    // A usage error (exit status 2) that leaves no file behind.
    void ExpectRefused(Args args)
    {
        args.push_back(dir / "refused.DT");
        EXPECT_EQ(RunCapgen(args).exitCode, 2) << testing::PrintToString(args);
        EXPECT_FALSE(PathExists(dir / "refused.DT")) << testing::PrintToString(args);
    }

    // Generates `name` with `args` and parses it. The run must succeed silently,
    // the chunks fill the file and the entries fill MONL exactly.
    Capture Make(const std::string& name, Args args)
    {
        args.push_back(dir / name);
        const CommandResult r = RunCapgen(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
        Capture c = Parse(dir / name);
        EXPECT_TRUE(c.chunksEndAtFileEnd) << testing::PrintToString(args);
        EXPECT_TRUE(c.entriesFillMonl) << testing::PrintToString(args) << ": MONL size is not the sum of its entries";
        return c;
    }

    TempDir dir;
};

// --- Layout ---------------------------------------------------------------------------

TEST_F(Capgen, HeaderThenChunksInTheOrderAsked)
{
    const struct {
        Args args;
        const char* layout;
    } cases[] = {
        {{"--frames", "20"}, "DINF:612 MONL"},
        {{"--frames", "20", "--extra-chunk"}, "CMNT:45 DINF:612 MONL"},
        // An odd size: chunks are not aligned.
        {{"--frames", "20", "--extra-chunk=3", "--monl-first"}, "CMNT:3 MONL DINF:612"},
        {{"--frames", "20", "--filler", "100K", "--extra-chunk=5"}, "CMNT:5 FILL:102400 DINF:612 MONL"},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        const Capture capture = Make("a" + std::to_string(i++) + ".DT", c.args);
        ASSERT_GE(capture.bytes.size(), 16u);
        EXPECT_EQ(std::string(capture.bytes.begin(), capture.bytes.begin() + 16), std::string("TAVRINO DATA   \0", 16));
        EXPECT_EQ(capture.Layout(), c.layout);
        EXPECT_EQ(capture.frames.size(), 20u);
    }
}

TEST_F(Capgen, DinfHoldsStartAndResolutionWhereItsOffsetsPoint)
{
    const Capture standard = Make("a.DT", {"--frames", "5", "--start", "2012-07-04 13:45:56.78", "--resolution", "3"});
    EXPECT_EQ(standard.StartAndCode(), (Bytes{78, 56, 45, 13, 4, 7, 2012 & 0xff, 2012 >> 8, 3}));

    const Capture chosen = Make("b.DT", {"--frames", "5", "--dinf-size", "77", "--time-offset", "30", "--code-offset",
                                         "58", "--resolution", "200", "--start", "1999-12-31 23:59:59.99"});
    EXPECT_EQ(chosen.Layout(), "DINF:77 MONL");
    const std::uint8_t* body = chosen.bytes.data() + chosen.Find("DINF")->body;
    EXPECT_EQ(Le32(body + 4), 30u);
    EXPECT_EQ(Le32(body + 12), 58u);
    EXPECT_EQ(chosen.StartAndCode(), (Bytes{99, 59, 59, 23, 31, 12, 1999 & 0xff, 1999 >> 8, 200}));

    // Offsets that do not fit, or collide; a date that does not exist.
    ExpectRefused({"--dinf-size", "40"});
    ExpectRefused({"--time-offset", "100", "--code-offset", "96"});
    ExpectRefused({"--start", "2010-02-30 00:00:00"});
    ExpectRefused({"--resolution", "256"});
}

TEST_F(Capgen, MonlSizeIsTheSumOfItsEntriesForManyOptions)
{
    const std::vector<Args> variants = {
        {"--frames", "0"},
        {"--frames", "1"},
        {"--frames", "3000", "--random-unused"},
        {"--size", "64K", "--header-only", "100"},
        {"--size", "200K", "--frame-size", "61-63"},
        {"--size", "100K", "--frame-size", "1514", "--monl-first", "--extra-chunk=3"},
    };
    int i = 0;
    for (const Args& v : variants)
        Make("v" + std::to_string(i++) + ".DT", v);  // Make checks the sum
}

// --- Entries ------------------------------------------------------------------------

TEST_F(Capgen, FrameLengthsStayWithinTheRange)
{
    const struct {
        Args size;
        unsigned min, max;
    } cases[] = {{{}, 60, 1514}, {{"--frame-size", "60"}, 60, 60}, {{"--frame-size", "200-300"}, 200, 300}};
    for (const auto& c : cases) {
        Args args = c.size;
        args.insert(args.end(), {"--frames", "3000"});
        const Capture capture = Make("f" + std::to_string(c.min) + ".DT", args);
        for (const Entry& e : capture.frames) {
            ASSERT_GE(e.length, c.min) << testing::PrintToString(args);
            ASSERT_LE(e.length, c.max) << testing::PrintToString(args);
        }
    }
    ExpectRefused({"--frame-size", "59"});
    ExpectRefused({"--frame-size", "60-1515"});
}

TEST_F(Capgen, HeaderOnlyShareIsHonoured)
{
    const Capture c = Make("a.DT", {"--frames", "20000", "--header-only", "10"});
    EXPECT_NEAR(static_cast<double>(c.entries.size() - c.frames.size()) / c.entries.size(), 0.10, 0.01);
    EXPECT_EQ(Make("b.DT", {"--frames", "5000", "--header-only", "0"}).entries.size(), 5000u);
    // All header-only entries could never make up the frames asked for.
    ExpectRefused({"--frames", "10", "--header-only", "100"});
    ExpectRefused({"--header-only", "101"});
}

TEST_F(Capgen, CountersNeverDecreaseAndFollowTheRate)
{
    // 1000 frames/s at 10 us per tick: 100 ticks per frame on average.
    const Capture c = Make("a.DT", {"--frames", "5000", "--rate", "1000", "--resolution", "3", "--first-counter",
                                    "7000"});
    ASSERT_EQ(c.frames.size(), 5000u);
    EXPECT_EQ(c.frames.front().counter, 7000u);
    EXPECT_EQ(Decreases(c.frames), 0);
    const double span = c.frames.back().counter - c.frames.front().counter;
    EXPECT_NEAR(span, 4999 * 100.0, 4999 * 100.0 * 0.05);
    ExpectRefused({"--rate", "0"});
}

TEST_F(Capgen, CounterWrapIsRefusedUnlessAllowed)
{
    // 100 frames 1 s apart in microsecond ticks would pass 2^32-1.
    Args wrapping = {"--frames", "100", "--rate", "1", "--resolution", "0", "--first-counter", "4200000000"};
    ExpectRefused(wrapping);
    wrapping.push_back("--allow-wrap");
    EXPECT_EQ(Decreases(Make("b.DT", wrapping).frames), 1);

    // Close to the limit the check is made on the counters actually drawn:
    // either every counter fits, or nothing is left behind.
    int failed = 0;
    for (int seed = 1; seed <= 12; ++seed) {
        const std::string path = dir / ("c" + std::to_string(seed) + ".DT");
        const CommandResult r = RunCapgen({"--frames", "200", "--rate", "10000", "--resolution", "2",
                                           "--first-counter", "4294967096", "--seed", std::to_string(seed), path});
        if (r.exitCode == 0) {
            const Capture written = Parse(path);
            EXPECT_EQ(written.frames.size(), 200u);
            EXPECT_EQ(Decreases(written.frames), 0);
        } else {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_NE(r.err.find("wrapped"), std::string::npos) << r.err;
            EXPECT_FALSE(PathExists(path));
            ++failed;
        }
    }
    EXPECT_GT(failed, 0);
    EXPECT_LT(failed, 12);
}

// --- Options as a whole -----------------------------------------------------------------

TEST_F(Capgen, SameSeedSameFileOtherSeedOtherFile)
{
    const Capture a = Make("a.DT", {"--size", "300K", "--seed", "42"});
    const Capture b = Make("b.DT", {"--size", "300K", "--seed", "42"});
    const Capture c = Make("c.DT", {"--size", "300K", "--seed", "43"});
    EXPECT_TRUE(a.bytes == b.bytes);
    EXPECT_FALSE(a.bytes == c.bytes);
}

TEST_F(Capgen, SizeIsHonoured)
{
    EXPECT_EQ(Make("a.DT", {"--size", "1M"}).bytes.size(), 1048576u);
    // 45-byte extra chunk: the header and chunks take 697 bytes, the entries a multiple of 4.
    EXPECT_EQ(Make("b.DT", {"--size", "100003", "--extra-chunk", "--monl-first"}).bytes.size(), 100001u);
    // A filler chunk counts toward the size.
    const std::size_t filled = Make("c.DT", {"--size", "300K", "--filler", "100K"}).bytes.size();
    EXPECT_LE(filled, 300u * 1024);
    EXPECT_GE(filled, 300u * 1024 - 3);
    // A single frame size cannot fill every gap: at most one entry short.
    for (unsigned length : {60u, 1514u}) {
        const std::string frameSize = std::to_string(length);
        const Args args = {"--size", "512K", "--frame-size", frameSize, "--header-only", "0"};
        const std::size_t size = Make("d" + frameSize + ".DT", args).bytes.size();
        EXPECT_LE(size, 524288u) << length;
        EXPECT_GT(size, 524288u - (16 + length)) << length;
    }
}

TEST_F(Capgen, SizeBeyondOneMonlChunkIsRefused)
{
    ExpectRefused({"--size", "5G"});
    ExpectRefused({"--size", "100"});  // smaller than the header and chunks
    // 4 GiB itself fits (shown without writing it: the folder does not exist, so
    // the run gets past the option checks and fails only at creating the file).
    const CommandResult r = RunCapgen({"--size", "4G", dir / "missing/a.DT"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

TEST_F(Capgen, WriteFailureIsReported)
{
    const CommandResult r = RunCapgen({"--size", "8M", "/dev/full"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("/dev/full: No space left on device"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists("/dev/full"));
}

// --- End to end: dt2pcap and libpcap ---------------------------------------------------

class CapgenConversion : public Capgen {
protected:
    // Converts `name` in UTC with dt2pcap and reads the result with libpcap.
    std::vector<PcapRecord> Convert(const std::string& name)
    {
        const CommandResult r = RunCommand({DT2PCAP_PATH, name}, dir.path(), {"TZ=UTC"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const PcapContents pcap = ReadPcap(dir / (name.substr(0, name.rfind('.')) + ".pcap"));
        EXPECT_EQ(pcap.error, "");
        EXPECT_EQ(pcap.linkType, DLT_EN10MB);
        return pcap.records;
    }
};

TEST_F(CapgenConversion, LibpcapReadsBackEveryFrameAtItsTime)
{
    const std::vector<Args> variants = {
        {"--frames", "400"},
        {"--size", "256K", "--monl-first", "--extra-chunk", "--random-unused", "--header-only", "20"},
        {"--size", "64K", "--frame-size", "60", "--resolution", "1", "--rate", "300"},
        {"--frames", "300", "--dinf-size", "41", "--time-offset", "4", "--code-offset", "22"},
        // 10 us ticks, 50 frames/s from 23:59:59.90 on 31 December 2009: about 0.2 s into 2010.
        {"--frames", "12", "--start", "2009-12-31 23:59:59.90", "--resolution", "3", "--rate", "50"},
    };
    int n = 0;
    for (const Args& v : variants) {
        SCOPED_TRACE(testing::PrintToString(v));
        const std::string name = "e" + std::to_string(n++) + ".DT";
        const Capture c = Make(name, v);
        const Bytes start = c.StartAndCode();
        ASSERT_EQ(start.size(), 9u);
        const std::int64_t startSeconds =
            UtcSeconds(start[6] | start[7] << 8, start[5], start[4], start[3], start[2], start[1]);
        const std::int64_t tick = start[8] == 1 ? 1000 : start[8] == 2 ? 100 : start[8] == 3 ? 10 : 1;

        const std::vector<PcapRecord> records = Convert(name);
        ASSERT_EQ(records.size(), c.frames.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const Entry& frame = c.frames[i];
            EXPECT_TRUE(records[i].data == frame.data) << i;
            EXPECT_EQ(records[i].originalLength, frame.length) << i;
            const std::int64_t us = start[0] * 10000 + tick * frame.counter;
            EXPECT_EQ(records[i].seconds, startSeconds + us / 1000000) << i;
            EXPECT_EQ(records[i].microseconds, us % 1000000) << i;
        }
    }
}

TEST_F(CapgenConversion, RandomUnusedChangesOnlyWhatTheConverterIgnores)
{
    const Capture plain = Make("a.DT", {"--size", "200K", "--header-only", "10"});
    const Capture noisy = Make("b.DT", {"--size", "200K", "--header-only", "10", "--random-unused"});
    ASSERT_EQ(plain.bytes.size(), noisy.bytes.size());
    // The flag bits and byte 2 of the entry header are filled, not just the padding.
    std::size_t flagged = 0;
    for (const Entry& e : noisy.entries)
        flagged += (e.byte1 & 0x78) != 0 && e.byte2 != 0;
    EXPECT_GT(flagged, noisy.entries.size() / 2);

    Convert("a.DT");
    Convert("b.DT");
    const Bytes a = ReadFileBytes(dir / "a.pcap");
    EXPECT_GT(a.size(), 24u);
    EXPECT_TRUE(a == ReadFileBytes(dir / "b.pcap"));
}

// --- Samples -------------------------------------------------------------------------------

TEST_F(Capgen, SamplesAreWhatTheScriptMakes)
{
    const std::string samples = std::string(SOURCE_DIR) + "/samples";
    const CommandResult r = RunCommand({"/bin/bash", samples + "/make-samples.sh", CAPGEN_PATH, dir.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(samples)) {
        if (entry.path().extension() != ".DT")
            continue;
        const std::string made = dir / entry.path().filename().string();
        ASSERT_TRUE(PathExists(made)) << made;
        EXPECT_TRUE(ReadFileBytes(entry.path().string()) == ReadFileBytes(made)) << entry.path() << " is out of date";
        const Capture c = Parse(made);
        EXPECT_TRUE(c.entriesFillMonl);
        EXPECT_GT(c.frames.size(), 3u);
        EXPECT_LE(c.bytes.size(), 16u * 1024);
        ++compared;
    }
    EXPECT_GE(compared, 2);
}

} // namespace
