// A replaced .pcap after a power loss: the old file or the new one, never an
// empty or partial one. XFS shows the difference plainly: it commits a rename
// to its log as soon as anything else is synced, while the new file's data
// may still wait in memory.

#include "dt2pcap_fixture.h"

namespace {

TEST(Dt2pcapPowerLoss, AReplacedPcapHoldsTheOldOrTheNewBytesAfterAPowerCut)
{
    TempDir dir;
    // Captures of a few megabytes, as a real replacement would be.
    const auto capture = [](unsigned seed) {
        EntryLog log;
        for (unsigned i = 0; i < 2000; ++i)
            log.Frame({Bytes(1000 + i % 400, static_cast<std::uint8_t>(i * seed)), i});
        CaptureBuilder builder;
        builder.Dinf().Monl(log);
        return builder;
    };
    capture(1).WriteTo(dir / "old.DT");
    capture(3).WriteTo(dir / "new.DT");
    const auto sh = [&](const std::string& script) {
        return RunCommand({"/bin/sh", "-c", script, "sh", DT2PCAP_PATH}, dir.path(), {"TZ=UTC"});
    };
    if (sh("truncate -s 320M img && mkfs.xfs -q img && mkdir mnt && mount -o loop img mnt").exitCode != 0)
        GTEST_SKIP() << "no XFS here: mkfs.xfs (xfsprogs) and loop mounts are needed";
    ASSERT_EQ(sh("\"$1\" -o old.pcap old.DT && \"$1\" -o new.pcap new.DT").exitCode, 0);

    for (int run = 1; run <= 3; ++run) {
        const CommandResult result = sh(
            "set -e; cp old.pcap mnt/run.pcap; cp new.DT mnt/run.DT; sync\n"
            "\"$1\" mnt/run.DT\n"
            "echo x > mnt/other; xfs_io -c fsync mnt/other\n"  // commits the rename to the log
            "xfs_io -x -c shutdown mnt\n"
            "umount mnt; mount -o loop img mnt\n"
            "if cmp -s mnt/run.pcap new.pcap; then echo new; elif cmp -s mnt/run.pcap old.pcap; then echo old; "
            "else stat -c 'broken: %s bytes' mnt/run.pcap; fi\n"
            "rm -f mnt/*");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(result.out == "new\n" || result.out == "old\n") << "run " << run << ": " << result.out;
    }
    sh("umount mnt");
}

} // namespace
