// Behaviour that depends on a terminal, run on a pseudo-terminal: the
// progress line on standard error, and refusing to write pcap bytes to one.

#include "dt2pcap_fixture.h"

#include <algorithm>
#include <csignal>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace {

// Erase to the end of the screen: what is left of the line before, wherever the terminal put it.
const std::string kErase = "\x1b[J";
// The line wiped: erased from its second column on, then its first. Never an
// erase from a row's start, which tmux at the top row takes for a cleared
// screen and copies into its history.
const std::string kWipe = "\r \x1b[J\r\x1b[K";

bool ErasesFromARowsStart(const std::string& shown) { return shown.find("\r" + kErase) != std::string::npos; }

class OnTerminal : public Dt2pcapTest {
protected:
    void SetUp() override { SomeFrames(8).WriteTo(dir / "run1.DT"); }

    // A MONL body of `body` bytes of zeros (a sparse file: zero-length frame
    // entries), which converts for long enough to be stopped after its first
    // reports: 256 MiB take about a second.
    void BigCapture(const std::string& name, std::uint64_t body = 256u << 20)
    {
        CaptureBuilder capture;
        capture.Dinf().Monl(EntryLog(), static_cast<std::int64_t>(body)).WriteTo(dir / name);
        WriteFileBytesAt(dir / name, capture.Size() + body - 1, {0});
    }

    // What the terminal showed, cut at each carriage return, each piece
    // without the erase that follows what was drawn, empty ones left out.
    static std::vector<std::string> Redraws(const std::string& shown)
    {
        std::vector<std::string> pieces;
        std::size_t start = 0;
        for (std::size_t end = 0; end != std::string::npos; start = end + 1) {
            end = shown.find('\r', start);
            const std::string piece = WithoutErase(shown.substr(start, end - start));
            if (!piece.empty() && piece != " " && piece != "\x1b[K")  // not the wipe's pieces
                pieces.push_back(piece);
        }
        return pieces;
    }

private:
    static std::string WithoutErase(const std::string& piece)
    {
        const std::size_t erase = piece.size() >= 3 ? piece.size() - 3 : 0;
        return piece.compare(erase, std::string::npos, kErase) == 0 ? piece.substr(0, erase) : piece;
    }
};

TEST_F(OnTerminal, RefusesATerminalAsStandardOutput)
{
    const CommandResult result = RunOnTerminal({"-o", "-", "run1.DT"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("refusing to write a capture to a terminal"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("\xd4\xc3\xb2\xa1"), std::string::npos) << "pcap bytes reached the terminal";
}

TEST_F(OnTerminal, ProgressLineIsDrawnAndWipedWhenStderrIsATerminal)
{
    const CommandResult result = RunOnTerminal({"run1.DT"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    const std::vector<std::string> redraws = Redraws(result.out);
    ASSERT_GE(redraws.size(), 1u) << result.out;

    bool drawn = false;
    for (const std::string& line : redraws)
        drawn = drawn || (line.find("run1.DT") == 0 && line.find('%') != std::string::npos &&
                          line.find("MB/s") != std::string::npos);
    EXPECT_TRUE(drawn) << result.out;
    // Ends wiped: back to the start of the line, and the line erased.
    EXPECT_EQ(result.out.substr(result.out.size() - kWipe.size()), kWipe);
    EXPECT_FALSE(ErasesFromARowsStart(result.out)) << result.out;
    EXPECT_EQ(result.out.find('\n'), std::string::npos);

    EXPECT_EQ(RecordCount("run1.pcap"), 8u);
}

TEST_F(OnTerminal, ProgressNeverTouchesThePcapStreamedToAPipe)
{
    ASSERT_EQ(Run({"run1.DT"}).exitCode, 0);

    const CommandResult result = RunOnTerminal({"-o", "-", "run1.DT"}, dir / "streamed.pcap");
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_NE(result.out.find("MB/s"), std::string::npos) << result.out;
    EXPECT_EQ(ReadFileBytes(dir / "streamed.pcap"), ReadFileBytes(dir / "run1.pcap"));
}

TEST_F(OnTerminal, QuietMeansNoProgress)
{
    for (const char* option : {"-q", "--quiet"}) {
        const CommandResult result = RunOnTerminal({option, "run1.DT"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, "") << option;
    }
}

TEST_F(OnTerminal, MessageStartsOnAWipedLine)
{
    NotACapture().WriteTo(dir / "bad.DT");
    const CommandResult result = RunOnTerminal({"-k", "run1.DT", "bad.DT"});
    EXPECT_EQ(result.exitCode, 1);
    const std::size_t message = result.out.find("bad.DT File header error\n");
    ASSERT_NE(message, std::string::npos) << result.out;
    ASSERT_GT(message, kWipe.size());
    EXPECT_EQ(result.out.substr(message - kWipe.size(), kWipe.size()), kWipe) << result.out;
    EXPECT_NE(result.out.find("\ndt2pcap: 1 of 2 files not converted\n"), std::string::npos) << result.out;
}

TEST_F(OnTerminal, LongFileNamesAreShortenedSoTheLineNeverWraps)
{
    const std::string name = std::string(150, 'n') + ".DT";
    SomeFrames(1).WriteTo(dir / name);
    const CommandResult result = RunOnTerminal({name});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    bool sawTail = false;
    for (const std::string& line : Redraws(result.out)) {
        EXPECT_LT(line.size(), 80u) << line;
        sawTail = sawTail || (line.compare(0, 7, "...nnnn") == 0 && line.find("n.DT  ") != std::string::npos);
    }
    EXPECT_TRUE(sawTail) << result.out;
}

// Narrowed from 80 to 40 columns while a line of 79 is shown: every line
// drawn after the one that may have been under way is at most 39 wide, blanks
// included, and the stop at the end wipes the last; with the erase sequence,
// and with spaces alone where TERM says the terminal understands none.
TEST_F(OnTerminal, ProgressLineFollowsTheTerminalWhenItNarrows)
{
    const std::string name = std::string(100, 'n') + ".DT";
    BigCapture(name, 1u << 30);  // stopped long before its end
    for (const char* term : {"TERM=xterm", "TERM=dumb"}) {
        SCOPED_TRACE(term);
        std::size_t narrowedAt = 0;
        bool stopped = false;
        const auto watch = [&](int pid, int terminal, const std::string& shown) {
            if (narrowedAt == 0 && shown.find('%') != std::string::npos) {
                winsize size{};
                size.ws_row = 24;
                size.ws_col = 40;
                ASSERT_EQ(::ioctl(terminal, TIOCSWINSZ, &size), 0);
                narrowedAt = shown.size();
            } else if (narrowedAt != 0 && !stopped &&
                       std::count(shown.begin() + static_cast<std::ptrdiff_t>(narrowedAt), shown.end(), '%') >= 4) {
                stopped = ::kill(pid, SIGINT) == 0;
            }
        };
        const CommandResult result = RunOnTerminal({name}, "", watch, {"TZ=UTC", term});
        ASSERT_TRUE(stopped) << result.out;
        EXPECT_EQ(result.exitCode, 128 + SIGINT);
        EXPECT_EQ(Redraws(result.out.substr(0, narrowedAt))[0].size(), 79u) << result.out;

        // Whole pieces after the narrowing: one may still have been formatted for 80 columns.
        const std::string after = result.out.substr(result.out.find('\r', narrowedAt) + 1);
        const std::vector<std::string> redraws = Redraws(after);
        std::size_t wide = 0, narrow = 0;
        for (const std::string& line : redraws) {
            if (line.find(std::string(50, 'n')) != std::string::npos) {
                ++wide;
                continue;
            }
            EXPECT_LE(line.size(), 39u) << line;
            narrow += line.compare(0, 7, "...nnnn") == 0 && line.find('%') != std::string::npos ? 1 : 0;
        }
        EXPECT_LE(wide, 1u) << after;
        EXPECT_GE(narrow, 3u) << after;
        // Wiped at the stop, with the cursor back at the start of its row.
        if (std::string(term) == "TERM=xterm") {
            EXPECT_EQ(after.substr(after.size() - kWipe.size()), kWipe);
            EXPECT_FALSE(ErasesFromARowsStart(result.out)) << result.out;
        } else {
            EXPECT_EQ(result.out.find('\x1b'), std::string::npos);
            EXPECT_EQ(redraws.back(), std::string(39, ' '));
            EXPECT_EQ(after.back(), '\r');
        }
    }
}

// Interrupted in the middle of a conversion, dt2pcap ends by the signal and
// leaves the folder as it found it: the earlier .pcap whole and nothing new,
// also where the file system has no unnamed files and a hidden one is
// written instead; and the progress line wiped for the shell's next output.
TEST_F(OnTerminal, StopSignalsLeaveTheEarlierOutputAndNothingElse)
{
    BigCapture("big.DT");
    const Bytes earlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    WriteFileBytes(dir / "big.pcap", earlier);
    const std::vector<std::string> listing = ListDir(dir.path());

    for (bool hiddenFile : {false, true}) {
        for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
            bool sent = false;
            std::size_t entries = 0;
            const auto watch = [&](int pid, int, const std::string& shown) {
                if (!sent && shown.find('%') != std::string::npos) {
                    entries = ListDir(dir.path()).size();
                    sent = ::kill(pid, signalNumber) == 0;
                }
            };
            const std::vector<std::string> env = hiddenFile ? WithFaults({"TZ=UTC", "TERM=xterm", "TPC_FAULT_NO_TMPFILE=1"})
                                                            : std::vector<std::string>{"TZ=UTC", "TERM=xterm"};
            const CommandResult result = RunOnTerminal({"big.DT"}, "", watch, env);
            ASSERT_TRUE(sent) << result.out;
            EXPECT_EQ(result.exitCode, 128 + signalNumber) << result.out;
            EXPECT_EQ(entries, listing.size() + (hiddenFile ? 1 : 0));
            EXPECT_EQ(ReadFileBytes(dir / "big.pcap"), earlier);
            EXPECT_EQ(ListDir(dir.path()), listing);
            // The line drawn last is erased, the cursor at its start.
            const std::string afterLast = result.out.substr(result.out.rfind('%'));
            EXPECT_EQ(afterLast.substr(afterLast.size() - kWipe.size()), kWipe) << afterLast;
        }
    }
}

// Killed outright (SIGKILL, a power cut) on a file system without unnamed
// files, a run leaves its hidden file behind; the next run on the same output
// removes what earlier ones left, so they never pile up, and touches no file
// of anyone else's, however it is named.
TEST_F(OnTerminal, HiddenFilesOfKilledRunsAreRemovedByTheNextRun)
{
    constexpr std::uint64_t kBody = 256u << 20;
    CaptureBuilder capture;
    capture.Dinf().Monl(EntryLog(), kBody).WriteTo(dir / "big.DT");
    WriteFileBytesAt(dir / "big.DT", capture.Size() + kBody - 1, {0});
    const std::string foreign = ".big.pcap.0123456789";
    WriteFileBytes(dir / foreign, {'m', 'i', 'n', 'e'});
    const std::vector<std::string> env = WithFaults({"TZ=UTC", "TPC_FAULT_NO_TMPFILE=1"});
    for (int run = 0; run < 20; ++run) {
        bool sent = false;
        const auto watch = [&](int pid, int, const std::string& shown) {
            if (!sent && shown.find('%') != std::string::npos)
                sent = ::kill(pid, SIGKILL) == 0;
        };
        const CommandResult result = RunOnTerminal({"big.DT"}, "", watch, env);
        ASSERT_TRUE(sent) << result.out;
        ASSERT_EQ(result.exitCode, 128 + SIGKILL);
        EXPECT_EQ(ListDir(dir.path()).size(), 4u) << run;  // the two captures, the foreign file and one left
    }
    EXPECT_EQ(RunOnTerminal({"-q", "big.DT"}, "", {}, env).exitCode, 0);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{foreign, "big.DT", "big.pcap", "run1.DT"}));
    EXPECT_EQ(ReadFileBytes(dir / foreign), (Bytes{'m', 'i', 'n', 'e'}));
}

// Names that only POSIX file systems allow (a newline, a tab, bytes that are
// not UTF-8): held with the terminal tests, which are POSIX's too.
// Names reach the terminal escaped: one failure is one line, whatever the name holds.
TEST_F(Dt2pcapTest, ControlCharactersInNamesArePrintedEscaped)
{
    const std::string evil = "evil\nfoo.DT Read error:packet\x1b[31m.DT";
    NotACapture().WriteTo(dir / evil);
    SomeFrames(1).WriteTo(dir / "tab\there.DT");
    ASSERT_EQ(::mkdir((dir / "tab\there.pcap").c_str(), 0755), 0);
    const CommandResult result = Run({"-k", evil, "tab\there.DT", "caf\xc3\xa9\xff.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "evil\\nfoo.DT Read error:packet\\x1b[31m.DT File header error\n"
                          "Write file Open error\ntab\\there.pcap: Is a directory\n"
                          "caf\xc3\xa9\\xff.DT Open error\n"
                          "dt2pcap: 3 of 3 files not converted\n");
}

} // namespace
