// The window under wine, driven by its messages: a copy alone in a folder of
// captures lists them, converts them as dt2pcap does, stops at a broken one
// and ends on Esc.

#include "dialog_ids.h"
#include "folder_label_windows.h"
#include "run_command.h"
#include "window_driver.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

CaptureBuilder Broken()
{
    const char text[] = "TAVRINO DATE   ";
    return CaptureBuilder(false).Raw(Bytes(text, text + 16));
}

TEST_F(WindowTest, CopyInAFolderListsItsCapturesAndEscEndsIt)
{
    Frames(3, 1).WriteTo(dir / "b-run.DT");
    Frames(3, 2).WriteTo(dir / "a-run.dt");
    WriteFileBytes(dir / "notes.txt", {'x'});
    CreateDirectoryW(Wide(dir / "folder.DT").c_str(), nullptr);

    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(window.FolderLabel(), folder);
    EXPECT_EQ(window.ListEntries(), (std::vector<std::wstring>{L"a-run.dt", L"b-run.DT"}));
    EXPECT_EQ(window.SelectedCount(), 0);

    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, StartedWithFilesOrAFolderOpensThere)
{
    fs::create_directory(fs::u8path(dir / "caps"));
    for (const char* name : {"a.DT", "b.DT", "c.DT"})
        Frames(2, 1).WriteTo(dir / (std::string("caps/") + name));
    const std::wstring caps = folder + L"caps\\";
    {
        // Files dropped on the program: their folder, those of them selected.
        WindowDriver window(program, folder, {caps + L"c.DT", L"caps\\A.DT", L"elsewhere.DT"});
        ASSERT_NE(window.Dialog(), nullptr);
        // What it cannot open on is named, with the system's reason, once it is up.
        EXPECT_EQ(window.WaitForMessageBox(), L"elsewhere.DT: No such file or directory");
        window.DismissMessageBox();
        EXPECT_EQ(window.FolderLabel(), caps);
        EXPECT_EQ(window.ListEntries(), (std::vector<std::wstring>{L"a.DT", L"b.DT", L"c.DT"}));
        EXPECT_EQ(window.SelectedIndices(), (std::vector<int>{0, 2}));
        window.PressEscape();
        EXPECT_EQ(window.WaitForExit(), 0);
    }
    WindowDriver window(program, L"C:\\", {folder + L"caps"});
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(window.FolderLabel(), caps);
    EXPECT_EQ(window.SelectedCount(), 0);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, HelpAndVersionAreAnsweredInABoxAndAnUnknownOptionIsReported)
{
    const std::wstring place = folder.substr(0, folder.size() - 1);  // no backslash before the closing quote
    const std::pair<std::wstring, std::wstring> answers[] = {
        {L"--help", L"Usage: tavrino-pcap-converter.exe [FOLDER | FILE...]\n"},
        {L"--vers", L"tavrino-pcap-converter " PROJECT_VERSION "\n"},
    };
    for (const auto& [option, firstLine] : answers) {
        WindowDriver window(program, folder, {option, place});
        std::wstring caption;
        const std::wstring text = window.WaitForMessageBox(&caption);
        EXPECT_EQ(text.substr(0, firstLine.size()), firstLine) << option;
        EXPECT_EQ(caption, L"tavrino-pcap-converter");
        EXPECT_EQ(window.Dialog(std::chrono::milliseconds(500)), nullptr) << option << " opened the window";
        window.DismissMessageBox();
        EXPECT_EQ(window.WaitForExit(), 0);
    }
    Frames(2, 1).WriteTo(dir / "run.DT");
    WindowDriver window(program, L"C:\\", {L"--frobnicate", place});
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(window.WaitForMessageBox(), L"--frobnicate: unrecognized option");
    window.DismissMessageBox();
    EXPECT_EQ(window.FolderLabel(), folder);
    EXPECT_EQ(window.ListEntries(), std::vector<std::wstring>{L"run.DT"});
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, FolderChooserIsTitledAndCancelChangesNothing)
{
    Frames(3, 1).WriteTo(dir / "run.DT");
    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    window.Click(IDC_FOLDER_BROWSE);
    // Only opened and cancelled: its folder tree is never touched.
    HWND chooser = nullptr;
    for (int i = 0; i < 250 && chooser == nullptr; ++i) {
        chooser = FindWindowW(nullptr, L"select folder");
        Sleep(40);
    }
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window.Dialog()));  // modal
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(chooser); ++i)
        Sleep(40);
    EXPECT_FALSE(IsWindow(chooser));
    EXPECT_EQ(window.FolderLabel(), folder);
    EXPECT_EQ(window.ListEntries(), std::vector<std::wstring>{L"run.DT"});
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, SelectAllAndStartWriteWhatDt2pcapWritesThenDone)
{
    const std::vector<std::string> names{"one.DT", "two.DT", "three.DT"};
    for (std::size_t i = 0; i < names.size(); ++i)
        Frames(20 + static_cast<unsigned>(i) * 40, static_cast<unsigned>(i)).WriteTo(dir / names[i]);
    // The same captures converted by dt2pcap, in a folder of their own.
    fs::create_directory(fs::u8path(dir / "cli"));
    for (const std::string& name : names) {
        fs::copy_file(fs::u8path(dir / name), fs::u8path(dir / ("cli/" + name)));
        ASSERT_EQ(RunCommand({DT2PCAP_PROGRAM, name}, dir / "cli").exitCode, 0);
    }

    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    window.SelectAll();
    EXPECT_EQ(window.SelectedCount(), 3);
    window.Click(IDC_START_CONVERSION);
    std::wstring caption;
    EXPECT_EQ(window.WaitForMessageBox(&caption), L"Done.");
    EXPECT_EQ(caption, L"tavrino-pcap-converter");
    window.DismissMessageBox();
    for (const std::string& name : names) {
        const std::string pcap = name.substr(0, name.size() - 3) + ".pcap";
        EXPECT_EQ(ReadFileBytes(dir / pcap), ReadFileBytes(dir / ("cli/" + pcap))) << pcap;
    }
    // The batch leaves the selection as it was.
    EXPECT_EQ(window.SelectedCount(), 3);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, BrokenCaptureInTheMiddleShowsItsMessageAndEndsTheBatch)
{
    Frames(5, 1).WriteTo(dir / "a.DT");
    Broken().WriteTo(dir / "b.DT");
    Frames(5, 3).WriteTo(dir / "c.DT");

    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    window.SelectAll();
    window.Click(IDC_START_CONVERSION);
    EXPECT_EQ(window.WaitForMessageBox(), folder + L"b.DT File header error");
    window.DismissMessageBox();
    EXPECT_TRUE(window.NoMessageBoxFor(std::chrono::milliseconds(1500)));  // no "Done."
    EXPECT_TRUE(PathExists(dir / "a.pcap"));
    EXPECT_FALSE(PathExists(dir / "b.pcap"));
    EXPECT_FALSE(PathExists(dir / "c.pcap"));
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

// The box belongs to the main window, which is active and takes input again
// once the box is gone.
void ExpectBoxOwnedByAndThenActive(WindowDriver& window)
{
    EXPECT_EQ(GetWindow(window.MessageBoxWindow(), GW_OWNER), window.Dialog());
    window.DismissMessageBox();
    for (int i = 0; i < 100 && GetForegroundWindow() != window.Dialog(); ++i)
        Sleep(20);
    EXPECT_EQ(GetForegroundWindow(), window.Dialog());
    EXPECT_TRUE(IsWindowEnabled(window.Dialog()));
}

TEST_F(WindowTest, FailureOverTheProgressDialogLeavesTheMainWindowActive)
{
    // One long capture under four names, long enough together to show the
    // progress dialog however fast the disk, then a broken one.
    WriteLongCapture(dir / "a.DT", 1024);
    for (const char* name : {"b.DT", "c.DT", "d.DT"})
        ASSERT_TRUE(CreateHardLinkW(Wide(dir / name).c_str(), Wide(dir / "a.DT").c_str(), nullptr));
    Broken().WriteTo(dir / "e.DT");
    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    window.SelectAll();
    window.Click(IDC_START_CONVERSION);
    const HWND progress = window.WaitForProgress(L"File ");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(window.WaitForMessageBox(), folder + L"e.DT File header error");
    EXPECT_FALSE(IsWindow(progress));
    ExpectBoxOwnedByAndThenActive(window);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST_F(WindowTest, ZoneTheRuntimeWouldMisreadIsShownOnceAtStart)
{
    _wputenv_s(L"TZ", L"Asia/Tokyo");
    WindowDriver window(program, L"C:\\");
    _wputenv_s(L"TZ", L"");
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(window.WaitForMessageBox(), L"TZ is 'Asia/Tokyo', which is not a zone in the C runtime's form "
                                          L"(such as JST-9 or EST5EDT); time stamps are computed in UTC");
    ExpectBoxOwnedByAndThenActive(window);
    EXPECT_TRUE(window.NoMessageBoxFor(std::chrono::milliseconds(500)));
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

TEST(FolderLabel, ALongFolderKeepsItsStartAndItsLastName)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    std::wstring longFolder = L"C:\\";
    for (int i = 0; i < 30; ++i)
        longFolder += L"a rather long folder name\\";
    longFolder += L"night shift\\";
    const std::wstring shown = ElidedFolder(dc, longFolder, 300);
    SIZE size{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    EXPECT_LE(size.cx, 300);
    EXPECT_EQ(shown.substr(0, 3), L"C:\\");
    EXPECT_EQ(shown.substr(shown.size() - 14), L"\u2026\\night shift\\") << shown;
    EXPECT_EQ(ElidedFolder(dc, L"C:\\caps\\", 300), L"C:\\caps\\");
    // Narrower than the last name itself: its end stays.
    const std::wstring narrow = ElidedFolder(dc, longFolder, 40);
    EXPECT_EQ(narrow.substr(0, 1), L"\u2026");
    EXPECT_EQ(narrow.back(), L'\\');
    DeleteDC(dc);
}

TEST_F(WindowTest, LongBatchShowsProgressAndCancelStopsIt)
{
    // One long capture under five names, each with an earlier pcap.
    const std::vector<std::string> names{"a", "b", "c", "d", "e"};
    WriteLongCapture(dir / "a.DT", 1024);
    for (const std::string& name : names) {
        if (name != "a") {
            ASSERT_TRUE(CreateHardLinkW(Wide(dir / (name + ".DT")).c_str(), Wide(dir / "a.DT").c_str(), nullptr));
        }
        WriteFileBytes(dir / (name + ".pcap"), {'o', 'l', 'd'});
    }

    WindowDriver window(program, L"C:\\");
    ASSERT_NE(window.Dialog(), nullptr);
    window.SelectAll();
    window.Click(IDC_START_CONVERSION);
    // The progress dialog, on the same thread, once the batch has run a while.
    const HWND progress = window.WaitForProgress(L"File ");
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window.Dialog()));  // nothing behind it takes input
    PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(window.NoMessageBoxFor(std::chrono::milliseconds(2000)));  // no "Done."
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_TRUE(IsWindowEnabled(window.Dialog()));

    // Files before the cancelled one converted, in list order; from it on,
    // every earlier pcap as it was; nothing else left in the folder.
    const Bytes old{'o', 'l', 'd'};
    std::size_t converted = 0;
    while (converted < names.size() && ReadFileBytes(dir / (names[converted] + ".pcap")) != old)
        ++converted;
    EXPECT_LT(converted, names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Bytes pcap = ReadFileBytes(dir / (names[i] + ".pcap"));
        if (i < converted) {
            EXPECT_EQ(pcap.size(), 24u + 16u + 60u) << names[i];  // header and the one frame's record
        } else {
            EXPECT_EQ(pcap, old) << names[i];
        }
    }
    EXPECT_EQ(ListDir(dir.path()).size(), 2 * names.size() + 1);
    window.PressEscape();
    EXPECT_EQ(window.WaitForExit(), 0);
}

} // namespace
