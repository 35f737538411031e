// File header check and the scan for the DINF and MONL chunks.

#include "conversion_fixture.h"

namespace {

const std::uint32_t kStart = DefaultStartSeconds();

EntryLog OneFrame(std::uint32_t counter = 0) { return EntryLog().Frame({{1, 2, 3, 4, 5, 6}, counter}); }

class FileHeaderTest : public ConversionTest {};

TEST_F(FileHeaderTest, ShortFilesCannotHoldTheHeader)
{
    for (std::size_t size : {0, 1, 15}) {
        CaptureBuilder().TruncateTo(size).WriteTo(input);
        ExpectFailure(" Read error:TAVRINO Header");
    }
}

TEST_F(FileHeaderTest, EveryByteOfTheHeaderMustMatch)
{
    for (std::size_t at : {0, 7, 8, 12, 15}) {
        Bytes header = CaptureBuilder::ValidHeader();
        header[at] = at == 0 ? 't' : 'X';
        CaptureBuilder(false).Raw(header).Dinf().Monl(OneFrame()).WriteTo(input);
        ExpectFailure(" File header error");
    }
}

TEST_F(FileHeaderTest, HeaderAloneEndsInTheChunkScan)
{
    CaptureBuilder().WriteTo(input);
    ExpectFailure(" Read error:Header scan");
    CaptureBuilder().Raw({'D', 'I', 'N', 'F', 0, 0, 0}).WriteTo(input);
    ExpectFailure(" Read error:Header scan");
}

class ChunkScanTest : public ConversionTest {
protected:
    // The frame's time tells which DINF was used: each start hour is distinct.
    static DinfBody StartingAtHour(std::uint8_t hour)
    {
        DinfBody dinf;
        dinf.start.hour = hour;
        return dinf;
    }
    void ExpectOneFrameAt(std::uint32_t seconds, const Bytes& data = {1, 2, 3, 4, 5, 6})
    {
        ExpectSuccess();
        const PcapContents pcap = ReadPcap(output);
        ASSERT_EQ(pcap.error, "");
        ASSERT_EQ(pcap.records.size(), 1u);
        EXPECT_EQ(pcap.records[0].seconds, seconds);
        EXPECT_EQ(pcap.records[0].data, data);
    }
};

TEST_F(ChunkScanTest, MonlBeforeDinfAndUnknownChunksBetween)
{
    CaptureBuilder()
        .Chunk("XXXX", Bytes(5, 0))
        .Monl(OneFrame())
        .Chunk("dinf", Bytes(3, 0xFF))  // tags are raw bytes: not DINF
        .Chunk("MONl", {})
        .Dinf(StartingAtHour(7))
        .WriteTo(input);
    ExpectOneFrameAt(kStart + 7 * 3600);
}

TEST_F(ChunkScanTest, LaterChunkOfTheSameTagWins)
{
    CaptureBuilder()
        .Dinf(StartingAtHour(1))
        .Dinf(StartingAtHour(2))
        .Monl(OneFrame())
        .WriteTo(input);
    ExpectOneFrameAt(kStart + 2 * 3600);

    CaptureBuilder().Monl(EntryLog().Frame({{9}, 0})).Monl(OneFrame()).Dinf(StartingAtHour(3)).WriteTo(input);
    ExpectOneFrameAt(kStart + 3 * 3600);
}

TEST_F(ChunkScanTest, NothingAfterBothChunksIsLookedAt)
{
    CaptureBuilder().Dinf().Monl(OneFrame()).Raw({'J', 'U', 'N'}).WriteTo(input);
    ExpectOneFrameAt(kStart);
    CaptureBuilder().Dinf(StartingAtHour(1)).Monl(OneFrame()).Dinf(StartingAtHour(2)).WriteTo(input);
    ExpectOneFrameAt(kStart + 1 * 3600);
}

TEST_F(ChunkScanTest, OneChunkAloneEndsInTheScan)
{
    CaptureBuilder().Dinf().WriteTo(input);
    ExpectFailure(" Read error:Header scan");
    CaptureBuilder().Monl(OneFrame()).Chunk("XXXX", {}).WriteTo(input);
    ExpectFailure(" Read error:Header scan");
    EXPECT_FALSE(PathExists(output));
}

TEST_F(ChunkScanTest, SizesAreForwardSkipsEvenAtTwoToTheThirtyFirstAndAbove)
{
    // Taken as signed, these would lead back into the file (0xFFFFFFF8: the same
    // chunk again, for ever); as forward skips they run past the end.
    for (std::uint32_t size : {0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        CaptureBuilder().Dinf().Chunk("XXXX", {}, size).Monl(OneFrame()).WriteTo(input);
        ExpectFailure(" Read error:Header scan");
    }
    CaptureBuilder().Dinf().Chunk("XXXX", Bytes(10, 0), 11).WriteTo(input);
    ExpectFailure(" Read error:Header scan");
}

TEST_F(ChunkScanTest, SkipBeyondTwoGibibytesLandsOnTheNextChunk)
{
    // A sparse file: the unknown chunk's body is a 2 GiB hole.
    const std::uint32_t skip = 0x80000004u;
    CaptureBuilder head;
    head.Chunk("XXXX", {}, skip);
    WriteFileBytes(input, head.bytes());
    WriteFileBytesAt(input, head.Size() + skip, CaptureBuilder(false).Monl(OneFrame()).Dinf(StartingAtHour(5)).bytes());
    ExpectOneFrameAt(kStart + 5 * 3600);
}

} // namespace
