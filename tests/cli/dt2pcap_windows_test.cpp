// dt2pcap.exe's Windows side: zones in the C runtime's form, the console and
// NUL, a reader that closes the pipe, names beyond ASCII, wildcards, a .pcap
// another program holds, a console of its own.

#include "dt2pcap_fixture.h"
#include "test_console_windows.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr unsigned kFrames = 25;

class Dt2pcapWindows : public Dt2pcapTest {
protected:
    void SetUp() override { SomeFrames(kFrames).WriteTo(dir / "run1.DT"); }

    // dt2pcap started in the scratch folder with `arguments` exactly as a
    // command prompt passes them, quotes included, its standard handles the
    // (inheritable) ones given; without a console unless `flags` say otherwise.
    bool Start(const std::wstring& arguments, HANDLE output, HANDLE error, PROCESS_INFORMATION& process,
               HANDLE input = nullptr, DWORD flags = CREATE_NO_WINDOW)
    {
        std::wstring commandLine = L"dt2pcap " + arguments;
        const std::wstring folder = std::filesystem::u8path(dir.path()).wstring();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = error;
        return CreateProcessW(BesideTestProgram("dt2pcap.exe").c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                              flags, nullptr, folder.c_str(), &startup, &process);
    }

    // What comes through `pipe` until its writers close it; the pipe is closed.
    static std::string ReadToEnd(HANDLE pipe)
    {
        std::string text;
        char block[4096];
        DWORD got = 0;
        while (ReadFile(pipe, block, sizeof block, &got, nullptr) && got > 0)
            text.append(block, got);
        CloseHandle(pipe);
        return text;
    }

    // The exit status once the process has ended (-1 when it has not within
    // `timeout` milliseconds: it is then ended); its handles are closed.
    static int ExitCodeOf(PROCESS_INFORMATION& process, DWORD timeout)
    {
        DWORD code = 0;
        const bool ended = WaitForSingleObject(process.hProcess, timeout) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(process.hProcess, &code);
        if (!ended)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return ended ? static_cast<int>(code) : -1;
    }

    // dt2pcap run with `arguments` as typed, standard output to NUL;
    // standard error in `err`.
    int RunTyped(const std::wstring& arguments, std::string& err)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE errRead, errWrite;
        err.clear();
        if (!CreatePipe(&errRead, &errWrite, &inherit, 0))
            return -1;
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        const HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        PROCESS_INFORMATION process{};
        const bool started = Start(arguments, nul, errWrite, process);
        CloseHandle(errWrite);
        CloseHandle(nul);
        if (!started) {
            CloseHandle(errRead);
            return -1;
        }
        err = ReadToEnd(errRead);
        return ExitCodeOf(process, 60000);
    }
};

TEST_F(Dt2pcapWindows, WildcardsAreExpandedQuotedOrNotInTheListsOrder)
{
    // Five captures, two of them broken so that the messages show the order:
    // "a" before "B" ignoring case (byte order would put "B" first).
    std::filesystem::remove(std::filesystem::u8path(dir / "run1.DT"));
    NotACapture().WriteTo(dir / "B.DT");
    NotACapture().WriteTo(dir / "a.DT");
    for (const char* name : {"c.dt", "D.DT", "e.Dt"})
        SomeFrames(3).WriteTo(dir / name);
    // Neither a folder nor a name the system takes for a device is a capture.
    CreateDirectoryW(std::filesystem::u8path(dir / "folder.DT").wstring().c_str(), nullptr);
    std::string err;
    for (const std::wstring pattern : {L"*.DT", L"\"*.DT\"", L"\"*.?T\" nothing*.DT"}) {
        const int status = RunTyped(L"-k " + pattern, err);
        EXPECT_EQ(status, 1) << err;
        const bool withNothing = pattern.find(L"nothing") != std::wstring::npos;
        EXPECT_EQ(err, std::string("a.DT File header error\nB.DT File header error\n") +
                           (withNothing ? "nothing*.DT Open error\ndt2pcap: 3 of 6 files not converted\n"
                                        : "dt2pcap: 2 of 5 files not converted\n"));
        for (const char* name : {"c.pcap", "D.pcap", "e.pcap"})
            EXPECT_EQ(RecordCount(name), 3u) << name;
    }
    // A folder part is kept as typed; -o still takes one capture only.
    CreateDirectoryW(std::filesystem::u8path(dir / "sub").wstring().c_str(), nullptr);
    SomeFrames(2).WriteTo(dir / "sub/x.DT");
    EXPECT_EQ(RunTyped(L"sub\\*.DT", err), 0) << err;
    EXPECT_EQ(RecordCount("sub/x.pcap"), 2u);
    EXPECT_EQ(RunTyped(L"-o out.pcap *.DT", err), 2);
    EXPECT_EQ(err, "dt2pcap: -o/--output takes exactly one capture file\nTry 'dt2pcap --help' for more information.\n");
}

TEST_F(Dt2pcapWindows, HeldPcapIsRefusedAsInUseAndTheNextFileGoesOn)
{
    SomeFrames(2).WriteTo(dir / "held.DT");
    SomeFrames(2).WriteTo(dir / "ro.DT");
    WriteFileBytes(dir / "held.pcap", {'k', 'e', 'e', 'p'});
    WriteFileBytes(dir / "ro.pcap", {'k', 'e', 'e', 'p'});
    SetFileAttributesW(std::filesystem::u8path(dir / "ro.pcap").wstring().c_str(), FILE_ATTRIBUTE_READONLY);
    // Held by a program that shares everything, deletion included: a move
    // onto it would still fail.
    const HANDLE holder = CreateFileW(std::filesystem::u8path(dir / "held.pcap").wstring().c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const CommandResult result = Run({"-k", "held.DT", "ro.DT", "run1.DT"});
    CloseHandle(holder);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Write file Open error\nheld.pcap: in use by another program\n"
                          "Write file Open error\nro.pcap: Permission denied\n"
                          "dt2pcap: 2 of 3 files not converted\n");
    EXPECT_EQ(ReadFileBytes(dir / "held.pcap"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(RecordCount("run1.pcap"), kFrames);
}

TEST_F(Dt2pcapWindows, ZoneOptionAndTzTakeTheRuntimesForm)
{
    ASSERT_EQ(Run({"-o", "utc.pcap", "run1.DT"}, {"TZ=UTC0"}).exitCode, 0);
    ASSERT_EQ(Run({"-o", "env.pcap", "run1.DT"}, {"TZ=JST-9"}).exitCode, 0);
    const CommandResult result = Run({"--tz", "JST-9", "-o", "option.pcap", "run1.DT"}, {"TZ=EST5EDT"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(dir / "option.pcap"), ReadFileBytes(dir / "env.pcap"));

    // The recording machine's 12:45:30 in Tokyo is 03:45:30 UTC.
    const std::vector<PcapRecord> tokyo = Records("option.pcap");
    const std::vector<PcapRecord> universal = Records("utc.pcap");
    ASSERT_EQ(tokyo.size(), kFrames);
    ASSERT_EQ(universal.size(), kFrames);
    for (std::size_t i = 0; i < kFrames; ++i)
        EXPECT_EQ(universal[i].seconds - tokyo[i].seconds, 9u * 3600) << "record " << i;
}

TEST_F(Dt2pcapWindows, IanaNamesAndNonsenseZonesAreUsageErrors)
{
    const CommandResult iana = Run({"--tz", "Asia/Tokyo", "run1.DT"});
    EXPECT_EQ(iana.exitCode, 2);
    EXPECT_EQ(iana.err, "dt2pcap: time zone 'Asia/Tokyo' is an IANA name, which Windows' C runtime does not know; "
                        "give its own form, such as JST-9\nTry 'dt2pcap --help' for more information.\n");
    // A name alone would be read as UTC: refused, with the form shown.
    const CommandResult alone = Run({"--tz", "EST", "run1.DT"});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_EQ(alone.err, "dt2pcap: unknown time zone 'EST'; give the C runtime's form: a name, the hours west of UTC, "
                         "an optional daylight name, such as EST5EDT, JST-9 or IST-5:30\n"
                         "Try 'dt2pcap --help' for more information.\n");
    for (const std::string zone : {"", "Asia", "JS-9", "JST-99", "JST-9:7", "JST+9XY", "9", "CET", "JST", "XYZ"}) {
        const CommandResult result = Run({"--tz", zone, "run1.DT"});
        EXPECT_EQ(result.exitCode, 2) << zone;
        EXPECT_NE(result.err.find("unknown time zone '" + zone + "'"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(PathExists(dir / "run1.pcap"));
    for (const std::string zone : {"UTC", "UTC0", "JST-9", "EST5EDT", "IST-5:30", "XYZ+12:34:56"})
        EXPECT_EQ(Run({"--tz", zone, "-o", "out.pcap", "run1.DT"}).exitCode, 0) << zone;
}

TEST_F(Dt2pcapWindows, ZoneTheRuntimeWouldMisreadIsWarnedAbout)
{
    const CommandResult iana = Run({"-o", "iana.pcap", "run1.DT"}, {"TZ=Asia/Tokyo"});
    EXPECT_EQ(iana.exitCode, 0);
    EXPECT_EQ(iana.err, "dt2pcap: warning: TZ is 'Asia/Tokyo', which is not a zone in the C runtime's form "
                        "(such as JST-9 or EST5EDT); time stamps are computed in UTC\n");
    // Stated zones, and --tz over whatever TZ says, go without a word.
    for (const std::string tz : {"TZ=JST-9", "TZ=UTC", "TZ="})
        EXPECT_EQ(Run({"-o", "x.pcap", "run1.DT"}, {tz}).err, "") << tz;
    EXPECT_EQ(Run({"--tz", "UTC0", "-o", "x.pcap", "run1.DT"}, {"TZ=EST"}).err, "");
}

TEST_F(Dt2pcapWindows, NulIsNotAConsole)
{
    // The C runtime's isatty says yes to NUL; a capture may still be thrown away there.
    const CommandResult result = Run({"-o", "-", "run1.DT"}, {"TZ=UTC0"}, "NUL");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

TEST_F(Dt2pcapWindows, NamesBeyondAsciiArriveWhole)
{
    const std::string name = "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC";
    SomeFrames(2).WriteTo(dir / (name + ".DT"));
    NotACapture().WriteTo(dir / (name + "-x.DT"));
    const CommandResult result = Run({"-k", name + ".DT", name + "-x.DT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, name + "-x.DT File header error\ndt2pcap: 1 of 2 files not converted\n");
    EXPECT_EQ(RecordCount(name + ".pcap"), 2u);
}

TEST_F(Dt2pcapWindows, ReaderClosingThePipeEndsItQuietlyWithStatusOne)
{
    SomeFrames(20000).WriteTo(dir / "big.DT");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    ASSERT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 4096));
    ASSERT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 0));
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    PROCESS_INFORMATION process{};
    ASSERT_TRUE(Start(L"-o - big.DT", outWrite, errWrite, process));
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    // Take the pcap header and a little more, then hang up.
    char head[100];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(outRead, head, sizeof head, &got, nullptr));
    CloseHandle(outRead);
    const std::string err = ReadToEnd(errRead);
    EXPECT_EQ(ExitCodeOf(process, 30000), 1);
    EXPECT_EQ(err, "");
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"big.DT", "run1.DT"}));
}

// On the console of the shell that started it, all three standard handles
// there as cmd gives them: names whole at the console's code page, which
// stays; no wait for a key, or the run would not end. Standard error in a
// file (2> err.txt) gets the UTF-8 bytes.
TEST_F(Dt2pcapWindows, SharedConsoleShowsNamesWholeAndAFileGetsUtf8)
{
    TestConsole console;
    if (!console.Open())
        GTEST_SKIP() << "no console buffer (wine has one only with a display)";
    ASSERT_TRUE(SetConsoleOutputCP(932));
    const SHORT row = console.Cursor().Y;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(Start(L"-k 無い.DT run1.DT", console.Output(), console.Output(), process, console.Input(), 0));
    EXPECT_EQ(ExitCodeOf(process, 30000), 1);
    EXPECT_EQ(console.Row(row), "無い.DT Open error");
    EXPECT_EQ(console.Row(row + 1), "dt2pcap: 1 of 2 files not converted");
    EXPECT_EQ(console.Cursor().Y, row + 2);
    EXPECT_EQ(GetConsoleOutputCP(), 932u);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(std::filesystem::u8path(dir / "err.txt").wstring().c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const bool started = Start(L"-k 無い.DT run1.DT", console.Output(), file, process, console.Input(), 0);
    CloseHandle(file);
    ASSERT_TRUE(started);
    EXPECT_EQ(ExitCodeOf(process, 30000), 1);
    const std::vector<std::uint8_t> bytes = ReadFileBytes(dir / "err.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "無い.DT Open error\ndt2pcap: 1 of 2 files not converted\n");
}

// A double-click on dt2pcap.exe, or files dropped onto it: a console it has
// to itself. How to use it, or every file's result, stays until a key.
TEST_F(Dt2pcapWindows, ConsoleOfItsOwnStaysUntilAKey)
{
    NotACapture().WriteTo(dir / "壊れた.DT");
    const struct {
        std::wstring arguments;
        std::vector<std::string> shown;
        int status;
    } cases[] = {
        {L"", {"Usage: dt2pcap [OPTION]... FILE...\n", "drop their .DT files onto\ndt2pcap.exe.\n"}, 2},
        {L"壊れた.DT run1.DT",
         {"壊れた.DT File header error\nrun1.DT: 25 frames, 25 header-only entries skipped, ",
          "dt2pcap: 1 of 2 files not converted\n"},
         1},
    };
    const std::string prompt = "\nPress any key to close this window.\n";
    for (const auto& run : cases) {
        TestConsole console;
        if (!console.Open())
            GTEST_SKIP() << "no console buffer (wine has one only with a display)";
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(Start(run.arguments, console.Output(), console.Output(), process, console.Input(),
                          CREATE_SUSPENDED));
        // Detached before dt2pcap runs, so that it finds itself alone.
        console.Detach();
        ResumeThread(process.hThread);
        std::string shown;
        for (int tries = 0; tries < 300; ++tries) {
            const bool ended = WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0;
            shown = console.Text();
            if (ended || shown.find(prompt) != std::string::npos)
                break;
        }
        for (const std::string& part : run.shown)
            EXPECT_NE(shown.find(part), std::string::npos) << part << " in:\n" << shown;
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), prompt.size())), prompt) << shown;
        // A modifier alone is no answer (Alt+Tab back to the window).
        ASSERT_TRUE(console.Type(VK_SHIFT, 0));
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 1000), static_cast<DWORD>(WAIT_TIMEOUT));
        ASSERT_TRUE(console.Type(VK_SPACE, L' '));
        EXPECT_EQ(ExitCodeOf(process, 10000), run.status);
    }
}

} // namespace
