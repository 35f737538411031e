// dt2pcap under system limits: hostile chunk sizes allocate nothing large, and
// a write the system refuses ends the run with the output named, the input intact.

#include "dt2pcap_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // reserves terabytes of address space: no limit fits
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

const Bytes kFrame(1000, 0x5A);

EntryLog Frames(unsigned count)
{
    EntryLog log;
    for (unsigned i = 0; i < count; ++i)
        log.Frame({kFrame, i});
    return log;
}

class Dt2pcapLimits : public Dt2pcapTest {};

TEST_F(Dt2pcapLimits, HostileSizesAllocateNothingLargeUnderATightAddressSpace)
{
    if (kAddressSanitizer)
        GTEST_SKIP() << "an address-space limit cannot hold a sanitizer build";
    const std::string limit = "--as=" + std::to_string(48 << 20);
    CaptureBuilder().Dinf().Monl(Frames(3)).WriteTo(dir / "good.DT");
    CaptureBuilder().Monl(Frames(3)).Dinf(DinfBody(), 0xFFFFFFF0).WriteTo(dir / "dinf.DT");
    CaptureBuilder().Dinf().Monl(Frames(3), 0xFFFFFFF0).WriteTo(dir / "monl.DT");

    // The limit leaves room for an ordinary conversion...
    CommandResult result = RunLimited(limit, {"good.DT"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    // ...but not for anything the size of the claimed chunks.
    result = RunLimited(limit, {"dinf.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "dinf.DT Read error:Get timestamp\n");
    EXPECT_FALSE(PathExists(dir / "dinf.pcap"));

    result = RunLimited(limit, {"monl.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "monl.DT Read error:offset0\n");
    EXPECT_EQ(ReadFileBytes(dir / "monl.pcap").size(), 24u + 3 * (16 + kFrame.size()));
}

TEST_F(Dt2pcapLimits, FileSizeLimitEndsTheRunWithTheOutputNamed)
{
    CaptureBuilder().Dinf().Monl(Frames(3000)).WriteTo(dir / "big.DT");  // about 3 MB of output
    CaptureBuilder().Dinf().Monl(Frames(1)).WriteTo(dir / "next.DT");
    const Bytes input = ReadFileBytes(dir / "big.DT");

    const CommandResult result = RunLimited("--fsize=1500000", {"big.DT", "next.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "big.pcap Write error: File too large\n");
    EXPECT_FALSE(PathExists(dir / "next.pcap"));
    EXPECT_EQ(ReadFileBytes(dir / "big.DT"), input);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"big.DT", "next.DT"}));
}

} // namespace
