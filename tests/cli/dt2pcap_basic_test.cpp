// dt2pcap FILE...: silence and 0 when every file converts, one stderr line
// and 1 at the first failure.

#include "dt2pcap_fixture.h"

#include <unistd.h>

namespace {

const Bytes kFrame{1, 2, 3, 4, 5, 6, 7};

CaptureBuilder Capture(unsigned frames)
{
    EntryLog log;
    for (unsigned i = 0; i < frames; ++i)
        log.Frame({kFrame, i * 1000}).HeaderOnly();
    CaptureBuilder capture;
    capture.Dinf().Monl(log);  // starts 2010-01-01 00:00:00.00, 1 ms ticks
    return capture;
}

TEST_F(Dt2pcapTest, ConvertsEveryFileSilently)
{
    Capture(2).WriteTo(dir / "a.DT");
    Capture(3).WriteTo(dir / "b.x.DT");
    Capture(0).WriteTo(dir / "c");
    const CommandResult result = Run({"a.DT", dir / "b.x.DT", "c"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");

    Bytes expected = PcapGlobalHeader();
    const auto start = static_cast<std::uint32_t>(UtcSeconds(2010, 1, 1, 0, 0, 0));
    AppendRecord(expected, start, 0, kFrame);
    AppendRecord(expected, start + 1, 0, kFrame);
    EXPECT_EQ(ReadFileBytes(dir / "a.pcap"), expected);
    EXPECT_EQ(RecordCount("b.x.pcap"), 3u);
    EXPECT_EQ(RecordCount("c.pcap"), 0u);
}

TEST_F(Dt2pcapTest, FirstFailurePrintsItsMessageAndStops)
{
    Capture(1).WriteTo(dir / "a.DT");
    CaptureBuilder(false).Raw(Bytes(16, 'T')).WriteTo(dir / "b.DT");
    Capture(1).WriteTo(dir / "c.DT");
    const CommandResult result = Run({"a.DT", "b.DT", "c.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "b.DT File header error\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"a.DT", "a.pcap", "b.DT", "c.DT"}));
}

TEST_F(Dt2pcapTest, MessagesOfOpenAndEntryWalkFailures)
{
    CommandResult result = Run({dir / "missing.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, dir / "missing.DT Open error\n");

    CaptureBuilder cut = Capture(2);
    cut.TruncateTo(cut.Size() - 4 - 2).WriteTo(dir / "cut.DT");  // into the last trailer
    result = Run({"cut.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "cut.DT Read error:last\n");
    EXPECT_EQ(RecordCount("cut.pcap"), 2u);

    Capture(1).WriteTo(dir / "x.pcap");
    result = Run({"x.pcap"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\nx.pcap: it is the capture file being converted\n");
    EXPECT_EQ(ReadFileBytes(dir / "x.pcap"), Capture(1).bytes());
}

// Names reach the terminal escaped: one failure is one line, whatever the name holds.
TEST_F(Dt2pcapTest, ControlCharactersInNamesArePrintedEscaped)
{
    const std::string evil = "evil\nfoo.DT Read error:packet\x1b[31m.DT";
    NotACapture().WriteTo(dir / evil);
    Capture(1).WriteTo(dir / "tab\there.DT");
    ASSERT_EQ(::mkdir((dir / "tab\there.pcap").c_str(), 0755), 0);
    const CommandResult result = Run({"-k", evil, "tab\there.DT", "caf\xc3\xa9\xff.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "evil\\nfoo.DT Read error:packet\\x1b[31m.DT File header error\n"
                          "Write file Open error\ntab\\there.pcap: Is a directory\n"
                          "caf\xc3\xa9\\xff.DT Open error\n"
                          "dt2pcap: 3 of 3 files not converted\n");
}

} // namespace
