#include "window_fixture.h"

#include "run_command.h"

#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

CaptureBuilder Frames(unsigned count, unsigned seed)
{
    EntryLog log;
    for (unsigned i = 0; i < count; ++i) {
        Bytes data(60 + (i * 13 + seed) % 900);
        for (std::size_t b = 0; b < data.size(); ++b)
            data[b] = static_cast<std::uint8_t>(b * 7 + i + seed);
        log.Frame({data, i * 1500 + seed}).HeaderOnly(32);
    }
    DinfBody dinf;
    dinf.start = {0, 30, 45, 12, 15, 6, 2021};
    CaptureBuilder capture;
    capture.Dinf(dinf).Monl(log);
    return capture;
}

void WriteLongCapture(const std::string& path, unsigned megabytes)
{
    EntryLog block;
    for (unsigned i = 0; i < 256 * 1024; ++i)
        block.HeaderOnly();
    EntryLog frames;
    frames.Frame({Bytes(60, 0xAB), 0});
    CaptureBuilder capture;
    capture.Dinf().Monl(frames, static_cast<std::int64_t>(frames.bytes().size()) +
                                    std::int64_t{megabytes} * static_cast<std::int64_t>(block.bytes().size()));
    WriteFileBytes(path, capture.bytes());
    std::uint64_t at = capture.Size();
    for (unsigned i = 0; i < megabytes; ++i, at += block.bytes().size())
        WriteFileBytesAt(path, at, block.bytes());
}

std::wstring Wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

void WindowTest::SetUp()
{
    folder = fs::path(Wide(dir.path())).make_preferred().wstring() + L"\\";
    program = folder + L"tavrino-pcap-converter.exe";
    ASSERT_TRUE(CopyFileW(BesideTestProgram(WINDOW_PROGRAM).c_str(), program.c_str(), FALSE));
}

std::string WindowTest::Folder() const { return fs::path(folder).u8string(); }
