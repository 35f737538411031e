// The walk over the MONL entries: what each entry turns into, and the four
// steps at which it can fail, by the end of the file or the end of the body.

#include "conversion_fixture.h"

namespace {

const std::uint32_t kStart = DefaultStartSeconds();

Bytes Pattern(std::size_t length, unsigned seed)
{
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i)
        data[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    return data;
}

class EntryWalkTest : public ConversionTest {};

TEST_F(EntryWalkTest, EmptyLogGivesTheGlobalHeaderAlone)
{
    CaptureWith(EntryLog()).WriteTo(input);
    ExpectSuccess();
    EXPECT_EQ(ReadFileBytes(output), PcapGlobalHeader());
}

TEST_F(EntryWalkTest, HeaderOnlyEntriesAreFourBytesAndWriteNothing)
{
    CaptureWith(EntryLog().HeaderOnly(2047, 0xFF).HeaderOnly(0).HeaderOnly(16, 3)).WriteTo(input);
    ExpectSuccess();
    EXPECT_EQ(ReadFileBytes(output), PcapGlobalHeader());
}

TEST_F(EntryWalkTest, FramesPaddingFlagsAndIgnoredBytes)
{
    // Counter 0x01020304 ms: its low byte from the entry header, the rest from
    // the time field; time field byte 3, header byte 2 and flag bits 3-6 count for nothing.
    const std::uint32_t counter = 0x01020304;
    const std::uint32_t seconds = kStart + counter / 1000;
    const std::uint32_t micros = counter % 1000 * 1000;
    EntryLog log;
    Bytes expected = PcapGlobalHeader();
    unsigned seed = 0;
    for (std::size_t length : {0, 1, 2, 3, 4, 5, 8, 2047}) {
        const Bytes data = Pattern(length, ++seed);
        log.Frame({data, counter, 0x0F, 0xFF, 0xFF, 0xEE, 0xFFFFFFFF});
        log.HeaderOnly(length, 0x77);
        AppendRecord(expected, seconds, micros, data);
    }
    CaptureWith(log).WriteTo(input);
    ExpectSuccess();
    EXPECT_EQ(ReadFileBytes(output), expected);
}

TEST_F(EntryWalkTest, LargeLogBeforeItsDinfReadsBackThroughLibpcap)
{
    // Several megabytes, so that reads cross every internal buffer boundary.
    EntryLog log;
    std::vector<PcapRecord> expected;
    for (unsigned i = 0; i < 3000; ++i) {
        const Bytes data = Pattern(i * 37 % 2048, i);
        const std::uint32_t counter = i * 1001;
        log.Frame({data, counter});
        if (i % 5 == 0)
            log.HeaderOnly(i % 2048);
        expected.push_back({kStart + counter / 1000, counter % 1000 * 1000, static_cast<std::uint32_t>(data.size()),
                            static_cast<std::uint32_t>(data.size()), data});
    }
    CaptureBuilder().Chunk("XXXX", Bytes(100000, 1)).Monl(log).Dinf().WriteTo(input);
    ExpectSuccess();

    const PcapContents pcap = ReadPcap(output);
    ASSERT_EQ(pcap.error, "");
    EXPECT_EQ(pcap.linkType, 1);
    EXPECT_EQ(pcap.snapshotLength, 65535);
    EXPECT_EQ(pcap.versionMajor, 2);
    EXPECT_EQ(pcap.versionMinor, 4);
    EXPECT_EQ(pcap.records, expected);
}

// A complete first frame, then a second (5 bytes of data, 3 of padding) cut
// at `cut` bytes into its 24: header 0-3, time field 4-11, data 12-19, trailer
// 20-23. The second record is written only once its frame is whole.
struct WalkFailure {
    std::size_t cut;
    const char* message;
    enum { kNothing, kWholeRecord } secondFrameWritten;
};
std::ostream& operator<<(std::ostream& out, const WalkFailure& f) { return out << "cut at " << f.cut; }

class WalkFailureTest : public ConversionTest, public ::testing::WithParamInterface<std::tuple<WalkFailure, bool>> {};

TEST_P(WalkFailureTest, FailsAtItsStepKeepingWhatWasWritten)
{
    const WalkFailure failure = std::get<0>(GetParam());
    const bool bodyEndsEarly = std::get<1>(GetParam());
    const FrameEntry first{Pattern(6, 1), 1500};
    const FrameEntry second{Pattern(5, 2), 2500};
    const FrameEntry third{Pattern(9, 3), 3500};
    const std::size_t firstSize = first.Encode().size();
    EntryLog log;
    log.Frame(first).Frame(second);

    if (bodyEndsEarly) {
        // The file goes on with whole entries after the body's end: none of them may be read.
        log.Frame(third);
        CaptureBuilder().Dinf().Monl(log, firstSize + failure.cut).Dinf().WriteTo(input);
    } else {
        CaptureBuilder capture;
        capture.Dinf().Monl(log);
        capture.TruncateTo(capture.Size() - second.Encode().size() + failure.cut).WriteTo(input);
    }
    ExpectFailure(failure.message);

    Bytes expected = PcapGlobalHeader();
    AppendRecord(expected, kStart + 1, 500000, first.data);
    if (failure.secondFrameWritten == WalkFailure::kWholeRecord)
        AppendRecord(expected, kStart + 2, 500000, second.data);
    EXPECT_EQ(ReadFileBytes(output), expected);
    // Only whole records: libpcap reads what is left to its end without complaint.
    EXPECT_EQ(ReadPcap(output).error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WalkFailureTest,
    ::testing::Combine(::testing::Values(WalkFailure{2, " Read error:offset0", WalkFailure::kNothing},
                                         WalkFailure{4, " Read error:offset4", WalkFailure::kNothing},
                                         WalkFailure{9, " Read error:offset4", WalkFailure::kNothing},
                                         WalkFailure{12, " Read error:packet", WalkFailure::kNothing},
                                         WalkFailure{17, " Read error:packet", WalkFailure::kNothing},
                                         WalkFailure{20, " Read error:last", WalkFailure::kWholeRecord},
                                         WalkFailure{23, " Read error:last", WalkFailure::kWholeRecord}),
                       ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<1>(info.param) ? "BodyEnds" : "FileEnds") + "At" +
               std::to_string(std::get<0>(info.param).cut);
    });

TEST_F(EntryWalkTest, HeaderOnlyEntryCrossingTheBodyEnd)
{
    CaptureBuilder().Dinf().Monl(EntryLog().HeaderOnly().HeaderOnly().HeaderOnly(), 6).Dinf().WriteTo(input);
    ExpectFailure(" Read error:offset0");
    EXPECT_EQ(ReadFileBytes(output), PcapGlobalHeader());
}

} // namespace
