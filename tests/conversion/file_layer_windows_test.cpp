// The file layer on Windows: binary data, 64-bit offsets, which names stand
// for the same file, and the replacement's rules (read-only, locked, the input
// itself, nothing left behind).

#include "file_layer.h"
#include "output_path.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace {

using file_layer::FileId;
using file_layer::Handle;

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

struct OpenedFile {
    Handle handle = file_layer::kNoHandle;
    FileId id;
    std::uint64_t size = 0;
    bool ok = false;
    ~OpenedFile() { file_layer::Close(handle); }
};

void Open(const std::string& path, OpenedFile& file)
{
    file.ok = file_layer::OpenForReading(path, file.handle, file.id, file.size);
}

class FileLayerWindowsTest : public ::testing::Test {
protected:
    // Writes `bytes` to `path` through a committed replacement.
    void Replace(const std::string& path, const std::vector<std::uint8_t>& bytes)
    {
        file_layer::Replacement replacement;
        ASSERT_TRUE(replacement.Create(path, {})) << file_layer::LastErrorText();
        ASSERT_TRUE(replacement.Write(bytes.data(), bytes.size()));
        ASSERT_TRUE(replacement.Commit()) << file_layer::LastErrorText();
    }

    TempDir dir;
};

TEST_F(FileLayerWindowsTest, BytesPassUnchangedEitherWay)
{
    // End-of-file and line-end bytes of text mode, and a UTF-8 name.
    const std::vector<std::uint8_t> bytes{0x1A, '\n', '\r', '\n', 0x00, 0x1A, 0xFF, '\r'};
    const std::string path = dir / "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.pcap";
    Replace(path, bytes);
    EXPECT_EQ(ReadFileBytes(path), bytes);

    OpenedFile file;
    Open(path, file);
    ASSERT_TRUE(file.ok) << file_layer::LastErrorText();
    EXPECT_EQ(file.size, bytes.size());
    std::vector<std::uint8_t> read(16);
    ASSERT_EQ(file_layer::ReadAt(file.handle, read.data(), read.size(), 0), 8);
    read.resize(8);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(file_layer::ReadAt(file.handle, read.data(), read.size(), 8), 0);  // at the end
    EXPECT_EQ(file_layer::ReadAt(file.handle, read.data(), read.size(), 1000), 0);  // past it
}

TEST_F(FileLayerWindowsTest, ReadsBeyondFourGigabytes)
{
    const std::uint64_t offset = (5ull << 30) + 3;
    WriteFileBytesAt(dir / "big.DT", offset, {'e', 'n', 'd'});
    OpenedFile file;
    Open(dir / "big.DT", file);
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.size, offset + 3);
    char read[4] = {};
    ASSERT_EQ(file_layer::ReadAt(file.handle, read, 4, offset), 3);
    EXPECT_STREQ(read, "end");
}

TEST_F(FileLayerWindowsTest, OnlyRegularFilesOpenForReading)
{
    CreateDirectoryW(Wide(dir / "folder.DT").c_str(), nullptr);
    for (const std::string& path : {dir / "folder.DT", std::string("NUL"), std::string("CON"), dir / "missing.DT"}) {
        OpenedFile file;
        Open(path, file);
        EXPECT_FALSE(file.ok) << path;
        EXPECT_FALSE(file_layer::LastErrorText().empty()) << path;
    }
}

TEST_F(FileLayerWindowsTest, EverySpellingOfOneFileHasOneIdentity)
{
    WriteFileBytes(dir / "run1.DT", {1, 2, 3});
    WriteFileBytes(dir / "other.DT", {1, 2, 3});
    OpenedFile original;
    Open(dir / "run1.DT", original);
    ASSERT_TRUE(original.ok);
    ASSERT_TRUE(CreateHardLinkW(Wide(dir / "link.DT").c_str(), Wide(dir / "run1.DT").c_str(), nullptr));
    SetCurrentDirectoryW(Wide(dir.path()).c_str());
    for (const std::string& spelling : {dir / "RUN1.dt", dir / "link.DT", std::string(".\\run1.DT"),
                                        dir.path() + "\\.\\run1.DT", std::string("run1.DT")}) {
        OpenedFile same;
        Open(spelling, same);
        ASSERT_TRUE(same.ok) << spelling;
        EXPECT_TRUE(same.id == original.id) << spelling;
    }
    OpenedFile other;
    Open(dir / "other.DT", other);
    ASSERT_TRUE(other.ok);
    EXPECT_FALSE(other.id == original.id);

    // And so none of them can be the output of a conversion of it.
    for (const std::string& spelling : {dir / "RUN1.dt", dir / "link.DT", std::string(".\\run1.DT")}) {
        file_layer::Replacement replacement;
        EXPECT_FALSE(replacement.Create(spelling, {original.id})) << spelling;
        EXPECT_EQ(file_layer::LastErrorText(), "it is the capture file being converted") << spelling;
    }
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_EQ(ReadFileBytes(dir / "run1.DT"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(FileLayerWindowsTest, ReplacementTakesTheNameOnlyWhenCommitted)
{
    WriteFileBytes(dir / "run1.pcap", {'o', 'l', 'd'});
    {
        file_layer::Replacement replacement;
        ASSERT_TRUE(replacement.Create(dir / "run1.pcap", {})) << file_layer::LastErrorText();
        ASSERT_TRUE(replacement.Write("new!", 4));
        EXPECT_EQ(ListDir(dir.path()).size(), 2u);  // the hidden temporary file beside it
        EXPECT_EQ(ReadFileBytes(dir / "run1.pcap"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        replacement.Discard();
    }
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"run1.pcap"});
    EXPECT_EQ(ReadFileBytes(dir / "run1.pcap"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

    Replace(dir / "run1.pcap", {'n', 'e', 'w'});
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"run1.pcap"});
    EXPECT_EQ(ReadFileBytes(dir / "run1.pcap"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_FALSE(GetFileAttributesW(Wide(dir / "run1.pcap").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Held open by another program from the start of the conversion to its end:
// a matter of that one name, not of the disk, and nothing is left behind.
TEST_F(FileLayerWindowsTest, ANameLockedWhileConvertingIsRefusedAtTheEnd)
{
    WriteFileBytes(dir / "run1.pcap", {'o', 'l', 'd'});
    file_layer::Replacement replacement;
    ASSERT_TRUE(replacement.Create(dir / "run1.pcap", {})) << file_layer::LastErrorText();
    ASSERT_TRUE(replacement.Write("new!", 4));
    const HANDLE lock = CreateFileW(Wide(dir / "run1.pcap").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(replacement.Commit());
    EXPECT_TRUE(file_layer::LastErrorConcernsTheName());
    CloseHandle(lock);
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"run1.pcap"});
    EXPECT_EQ(ReadFileBytes(dir / "run1.pcap"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST_F(FileLayerWindowsTest, UnfinishedFilesAreRemovedForAControlHandler)
{
    file_layer::Replacement replacement;
    ASSERT_TRUE(replacement.Create(dir / "run1.pcap", {}));
    ASSERT_TRUE(replacement.Write("partial", 7));
    file_layer::RemoveUnfinishedFiles();
    replacement.Discard();
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{});
}

// A killed run (Task Manager, a power loss) leaves its hidden temporary file;
// the next replacement of the same name removes it, and nothing else: not a
// live writer's file, not another output's, not a file only named alike.
TEST_F(FileLayerWindowsTest, TemporaryFilesOfKilledRunsGoWithTheNextReplacementOfTheName)
{
    const auto hidden = [&](const std::string& name) {
        WriteFileBytes(dir / name, {'x'});
        SetFileAttributesW(Wide(dir / name).c_str(), FILE_ATTRIBUTE_HIDDEN);
        return name;
    };
    hidden(".run1.pcap.4242-0.tmp");
    hidden(".run1.pcap.8-17.tmp");
    const std::vector<std::string> kept = {
        hidden(".run1.pcap.4242-x.tmp"), hidden(".run1.pcap.4242-0.tmp.keep"), hidden(".run1.pcap.-0.tmp"),
        hidden(".run2.pcap.4242-0.tmp"), hidden(".run1.pcap.4242.tmp")};
    // Writing into run1.pcap, not yet committed, when another run starts on it.
    file_layer::Replacement live;
    ASSERT_TRUE(live.Create(dir / "run1.pcap", {})) << file_layer::LastErrorText();
    ASSERT_TRUE(live.Write("live", 4));

    Replace(dir / "run1.pcap", {'n', 'e', 'x', 't'});
    ASSERT_TRUE(live.Commit()) << file_layer::LastErrorText();

    std::vector<std::string> expected = kept;
    expected.push_back("run1.pcap");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListDir(dir.path()), expected);
    EXPECT_EQ(ReadFileBytes(dir / "run1.pcap"), (std::vector<std::uint8_t>{'l', 'i', 'v', 'e'}));
}

TEST_F(FileLayerWindowsTest, ReadOnlyLockedAndFolderOutputsAreRefused)
{
    WriteFileBytes(dir / "readonly.pcap", {'k', 'e', 'e', 'p'});
    SetFileAttributesW(Wide(dir / "readonly.pcap").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(Wide(dir / "folder.pcap").c_str(), nullptr);
    WriteFileBytes(dir / "locked.pcap", {'k', 'e', 'e', 'p'});
    // Held open by another program that shares neither writing nor deletion.
    const HANDLE lock = CreateFileW(Wide(dir / "locked.pcap").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    for (const char* name : {"readonly.pcap", "folder.pcap", "locked.pcap"}) {
        file_layer::Replacement replacement;
        EXPECT_FALSE(replacement.Create(dir / name, {})) << name;
        EXPECT_FALSE(file_layer::LastErrorText().empty()) << name;
    }
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(dir / "readonly.pcap"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(ReadFileBytes(dir / "locked.pcap"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"folder.pcap", "locked.pcap", "readonly.pcap"}));
}

} // namespace

namespace {

TEST(OutputPathForOnWindows, BackslashesAndDrivesEndTheFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\cap\\run1.DT", "C:\\cap\\run1.pcap"}, {"C:\\x.y\\run", "C:\\x.y\\run.pcap"},
        {"D:run.DT", "D:run.pcap"},                 {"D:.DT", "D:.pcap"},
        {"\\\\server\\share\\a.b.DT", "\\\\server\\share\\a.b.pcap"}, {"sub/x.y\\run", "sub/x.y\\run.pcap"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(OutputPathFor(in), out) << in;
}

} // namespace
