// "Start conversion": selected entries in list order, the first failure ends
// the batch, "Done." only when every entry was visited.

#include "batch_outputs.h"
#include "dialog_fixture.h"
#include "pcap_expect.h"
#include "run_command.h"

#include <QApplication>
#include <QListWidget>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Rows = std::vector<int>;
using Texts = std::vector<QString>;

class Batch : public DialogTest {
protected:
    void Start() { ClickButton(IDC_START_CONVERSION); }
    QString Message(const std::string& text) const { return QString::fromStdString(text); }
    // The frame lengths libpcap reads from `name` in the folder.
    std::vector<unsigned> FrameLengths(const std::string& name) const
    {
        const PcapContents pcap = ReadPcap(Dir() + name);
        EXPECT_EQ(pcap.error, "") << name;
        std::vector<unsigned> lengths;
        for (const PcapRecord& record : pcap.records)
            lengths.push_back(record.capturedLength);
        return lengths;
    }
};

TEST_F(Batch, ConvertsTheSelectionAndSaysDoneInAPlainBoxOnTheDialog)
{
    Put("a.DT", ValidCapture({60, 1, 1514}));
    Put("b.DT", ValidCapture({}));
    Put("c.DT", ValidCapture({4}));
    OpenDialog();
    ChooseFolder(Dir());
    ClickEntry(0);
    ClickEntry(2);
    Start();

    ASSERT_EQ(watcher.boxes.size(), 1u);
    const SeenBox& box = watcher.boxes[0];
    EXPECT_EQ(box.text, QStringLiteral("Done."));
    EXPECT_EQ(box.caption, QStringLiteral("tpc_gui_tests"));
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.owner, dlg.get());
    EXPECT_TRUE(box.modal);

    EXPECT_EQ(FrameLengths("a.pcap"), (std::vector<unsigned>{60, 1, 1514}));
    EXPECT_FALSE(PathExists(Dir() + "b.pcap"));
    EXPECT_EQ(FrameLengths("c.pcap"), std::vector<unsigned>{4});
    // Neither rebuilt nor deselected; the new pcap files are not listed.
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.DT"}));
    EXPECT_EQ(SelectedRows(), (Rows{0, 2}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Pressed again, the same files are converted again.
    ASSERT_EQ(::unlink((Dir() + "a.pcap").c_str()), 0);
    Start();
    EXPECT_EQ(watcher.Texts(), (Texts{"Done.", "Done."}));
    EXPECT_TRUE(PathExists(Dir() + "a.pcap"));
}

TEST_F(Batch, EmptyListOrNoSelectionStillSaysDone)
{
    OpenDialog();
    ChooseFolder(Dir());
    ASSERT_TRUE(Entries().isEmpty());
    Start();
    EXPECT_EQ(watcher.Texts(), (Texts{"Done."}));

    Put("a.DT", ValidCapture({60}));
    ClickButton(IDC_REFRESH);
    Start();
    EXPECT_EQ(watcher.Texts(), (Texts{"Done.", "Done."}));
    EXPECT_FALSE(PathExists(Dir() + "a.pcap"));
}

TEST_F(Batch, StopsAtTheFirstFailureInListOrder)
{
    Put("a.DT", ValidCapture({60}));
    Put("b.DT", ValidCapture({60}));
    Put("c.DT", BrokenCapture());
    Put("d.DT", ValidCapture({60}));
    OpenDialog();
    ChooseFolder(Dir());
    // Selected out of order: the list's order is what counts.
    ClickEntry(3);
    ClickEntry(0);
    ClickEntry(2);
    Start();

    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, Message(Dir() + "c.DT File header error"));
    EXPECT_EQ(watcher.boxes[0].caption, QStringLiteral("tpc_gui_tests"));
    EXPECT_TRUE(PathExists(Dir() + "a.pcap"));
    EXPECT_FALSE(PathExists(Dir() + "b.pcap"));
    EXPECT_FALSE(PathExists(Dir() + "c.pcap"));
    EXPECT_FALSE(PathExists(Dir() + "d.pcap"));
    EXPECT_EQ(SelectedRows(), (Rows{0, 2, 3}));
    // The box comes up with the ordinary cursor; the busy one is gone afterwards.
    EXPECT_EQ(watcher.boxes[0].cursor, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(Batch, EntryThatBecameAFolderOrVanishedFailsAndEndsTheBatch)
{
    Put("a.DT", ValidCapture({60}));
    Put("x.DT", ValidCapture({60}));
    Put("y.DT", ValidCapture({60}));
    Put("z.DT", ValidCapture({60}));
    OpenDialog();
    ChooseFolder(Dir());
    ClickButton(IDC_SELECT_ALL);
    // Nothing watches the folder: x.DT is a folder by the time it is converted.
    ASSERT_EQ(::unlink((Dir() + "x.DT").c_str()), 0);
    ASSERT_EQ(::mkdir((Dir() + "x.DT").c_str(), 0755), 0);
    Start();
    EXPECT_EQ(watcher.Texts(), (Texts{Message(Dir() + "x.DT Open error")}));
    EXPECT_TRUE(PathExists(Dir() + "a.pcap"));
    EXPECT_FALSE(PathExists(Dir() + "y.pcap"));

    ASSERT_EQ(::rmdir((Dir() + "x.DT").c_str()), 0);
    ASSERT_EQ(::unlink((Dir() + "y.DT").c_str()), 0);
    ClickEntry(0);
    ClickEntry(1);  // only y.DT and z.DT stay selected
    Start();
    EXPECT_EQ(watcher.Texts().back(), Message(Dir() + "y.DT Open error"));
    EXPECT_EQ(watcher.boxes.size(), 2u);
    EXPECT_FALSE(PathExists(Dir() + "z.pcap"));
}

TEST_F(Batch, FailedWriteIsShownAndEndsTheBatchWithoutDone)
{
    Put("a.DT", ValidCapture({60}));
    Put("b.DT", ValidCapture({60}));
    OpenDialog();
    ChooseFolder(Dir());
    ClickEntry(0);
    ClickEntry(1);
    {
        // A file-size limit below a.pcap's size makes its write fail.
        struct rlimit saved;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit limit = saved;
        limit.rlim_cur = 50;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        Start();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, Message(Dir() + "a.pcap Write error: File too large"));
    EXPECT_EQ(watcher.boxes[0].caption, QStringLiteral("tpc_gui_tests"));
    EXPECT_EQ(watcher.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(watcher.boxes[0].cursor, Qt::ArrowCursor);
    EXPECT_FALSE(PathExists(Dir() + "a.pcap"));
    EXPECT_FALSE(PathExists(Dir() + "b.pcap"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(SelectedRows(), (Rows{0, 1}));

    // The dialog goes on working.
    Start();
    EXPECT_EQ(watcher.Texts().back(), QStringLiteral("Done."));
    EXPECT_TRUE(PathExists(Dir() + "b.pcap"));
}

TEST_F(Batch, SecondCaptureWithTheSameOutputFailsAndKeepsTheFirstsResult)
{
    // One file system that tells the names apart: both are listed, both
    // would write run.pcap.
    Put("run.DT", ValidCapture({60}));
    Put("run.dt", ValidCapture({1514, 1514}));
    Put("z.DT", ValidCapture({4}));
    OpenDialog();
    ChooseFolder(Dir());
    ASSERT_EQ(Entries(), (QStringList{"run.DT", "run.dt", "z.DT"}));
    ClickButton(IDC_SELECT_ALL);
    Start();

    EXPECT_EQ(watcher.Texts(), Texts{Message("Write file Open error\n" + Dir() +
                                             "run.pcap: already written from run.DT in this batch, "
                                             "not replaced by run.dt")});
    EXPECT_EQ(FrameLengths("run.pcap"), std::vector<unsigned>{60});
    EXPECT_FALSE(PathExists(Dir() + "z.pcap"));  // the batch ended there
}

// The window's toolkit takes the desktop's locale; dt2pcap keeps the "C" one.
// The reason under the message is the same words in both.
TEST_F(Batch, TheDetailLineIsDt2pcapsInAJapaneseLocale)
{
    const ScopedLocale japanese("ja_JP.UTF-8");
    if (!japanese.Taken())
        GTEST_SKIP() << "the ja_JP.UTF-8 locale is not generated here (locale-gen)";
    if (std::string(std::strerror(EACCES)) == "Permission denied")
        GTEST_SKIP() << "ja_JP.UTF-8 has no translation of the system's messages here";

    Put("run.DT", ValidCapture({60}));
    Put("run.pcap", {'o', 'l', 'd'});
    ASSERT_EQ(::chmod((Dir() + "run.pcap").c_str(), 0444), 0);
    OpenDialog();
    ChooseFolder(Dir());
    ClickEntry(0);
    Start();
    const std::string detail = Dir() + "run.pcap: Permission denied";
    EXPECT_EQ(watcher.Texts(), Texts{Message("Write file Open error\n" + detail)});

    const CommandResult dt2pcap =
        RunCommand({DT2PCAP_PATH, Dir() + "run.DT"}, "", {"LANG=ja_JP.UTF-8", "LC_ALL=ja_JP.UTF-8", "TZ=UTC"});
    EXPECT_EQ(dt2pcap.exitCode, 1);
    EXPECT_EQ(dt2pcap.err, "Write file Open error\n" + detail + "\n");
}

// The rule both windows and dt2pcap follow: an output is refused to a capture
// other than the one that wrote it in this batch, named as the host names files.
TEST(BatchOutputs, AnOutputBelongsToTheCaptureThatWroteItFirst)
{
    class NamingHost : public MessageHost {
    public:
        void ShowMessage(const std::string& text) override { messages.push_back(text); }
        std::string NameForMessage(const std::string& path) const override { return "<" + path + ">"; }
        std::vector<std::string> messages;
    };
    NamingHost host;
    BatchOutputs outputs;
    EXPECT_TRUE(outputs.MayWrite("d/run.pcap", "run.DT", host));
    outputs.Wrote("d/run.pcap", "run.DT");
    EXPECT_TRUE(outputs.MayWrite("d/x.pcap", "x.DT", host));
    EXPECT_TRUE(outputs.MayWrite("d/run.pcap", "run.DT", host));  // the same capture again
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(outputs.MayWrite("d/run.pcap", "run.dt", host));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Write file Open error\n<d/run.pcap>: already written from "
                                                      "<run.DT> in this batch, not replaced by <run.dt>"});
}
