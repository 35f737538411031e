// The DINF body: any size, two 32-bit offsets, the values they point at.

#include "capture_format.h"
#include "conversion_fixture.h"
#include "input_file.h"

namespace {

using Times = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// 2011-04-03 10:15:30.50, 100 us ticks: counter 12345 is 1.2345 s later, so
// the frame is at 10:15:31.734500.
DinfBody Sized(std::size_t size, std::uint32_t timeOffset, std::uint32_t codeOffset)
{
    DinfBody dinf;
    dinf.size = size;
    dinf.timeOffset = timeOffset;
    dinf.codeOffset = codeOffset;
    dinf.start = {50, 30, 15, 10, 3, 4, 2011};
    dinf.resolutionCode = 2;
    return dinf;
}
const Times kExpected{{static_cast<std::uint32_t>(UtcSeconds(2011, 4, 3, 10, 15, 31)), 734500}};
const EntryLog kLog = EntryLog().Frame({{0xAB}, 12345});

class CaptureInfoTest : public ConversionTest {
protected:
    void ExpectValuesFound(const DinfBody& dinf)
    {
        CaptureWith(kLog, dinf).WriteTo(input);
        ExpectSuccess();
        EXPECT_EQ(RecordTimes(output), kExpected) << "body " << dinf.size;
    }
    void ExpectRefused(const DinfBody& dinf)
    {
        CaptureWith(kLog, dinf).WriteTo(input);
        ExpectFailure(" Read error:Get timestamp");
        EXPECT_FALSE(PathExists(output));
    }
};

TEST_F(CaptureInfoTest, ValuesAtTheVeryEndOfBodiesOfAnySize)
{
    for (std::size_t size : {40, 611, 612, 613, 5000}) {
        ExpectValuesFound(Sized(size, static_cast<std::uint32_t>(size - 20), 2));
        ExpectValuesFound(Sized(size, 8, static_cast<std::uint32_t>(size - 19)));
    }
}

TEST_F(CaptureInfoTest, BodyTooShortForTheOffsetsOrTheirValues)
{
    for (std::size_t size : {0, 8, 15, 16, 19})
        ExpectRefused(Sized(size, 0, 0));
    for (std::size_t size : {40, 612}) {
        ExpectRefused(Sized(size, static_cast<std::uint32_t>(size - 19), 2));
        ExpectRefused(Sized(size, 8, static_cast<std::uint32_t>(size - 18)));
    }
}

TEST_F(CaptureInfoTest, OffsetsNearTwoToTheThirtySecondDoNotWrapAround)
{
    // Wrapped to 32 bits, these would point into the body (0xFFFFFFF4 + 12 = 0,
    // 0xFFFFFFEE + 18 = 0) or pass the size checks (+ 20 or + 19 = 0).
    for (std::uint32_t offset : {0xFFFFFFECu, 0xFFFFFFEDu, 0xFFFFFFEEu, 0xFFFFFFF4u, 0xFFFFFFFFu}) {
        ExpectRefused(Sized(612, offset, 2));
        ExpectRefused(Sized(612, 8, offset));
    }
}

TEST_F(CaptureInfoTest, BodyReachingPastTheEndOfTheFile)
{
    const DinfBody dinf = Sized(612, 8, 2);
    CaptureBuilder().Monl(kLog).Dinf(dinf, 613).WriteTo(input);
    ExpectFailure(" Read error:Get timestamp");
    CaptureBuilder().Monl(kLog).Dinf(dinf, 0xFFFFFFFF).WriteTo(input);
    ExpectFailure(" Read error:Get timestamp");
    EXPECT_FALSE(PathExists(output));
}

TEST_F(CaptureInfoTest, BodyOfMoreThanTwoGibibytes)
{
    // Sparse: the two offsets at the start, code and words in the last 9 bytes, a hole between.
    const std::uint32_t size = 0x80000010u;
    const DinfBody values = Sized(size, size - 20, size - 27);
    CaptureBuilder capture;
    capture.Monl(kLog).Chunk("DINF", {}, size);
    const std::uint64_t bodyStart = capture.Size();
    Bytes offsets;
    for (std::uint32_t value : {0u, values.timeOffset, 0u, values.codeOffset})
        AppendU32(offsets, value);
    Bytes tail{values.resolutionCode};
    Append(tail, values.start.TimeWord());
    Append(tail, values.start.DateWord());
    capture.Raw(offsets).WriteTo(input);
    WriteFileBytesAt(input, bodyStart + size - tail.size(), tail);
    ExpectSuccess();
    EXPECT_EQ(RecordTimes(output), kExpected);
}

TEST(ReadCaptureInfo, TakesTheWordsInFileOrderAndTheCode)
{
    TempDir dir;
    DinfBody dinf = Sized(700, 600, 620);
    dinf.start = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x8887};
    dinf.resolutionCode = 0x99;
    const std::string path = dir / "x.DT";
    CaptureBuilder(false).Raw({1, 2, 3}).Raw(dinf.Encode()).WriteTo(path);

    InputFile file;
    ASSERT_TRUE(file.Open(path));
    CaptureInfo info;
    ASSERT_TRUE(ReadCaptureInfo(file, 3, 700, info));
    EXPECT_EQ(Bytes(info.startWords, info.startWords + 8), (Bytes{0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88}));
    EXPECT_EQ(info.resolutionCode, 0x99);
    EXPECT_FALSE(ReadCaptureInfo(file, 3, 701, info));
}

} // namespace
