// Start-up: the application object runs the dialog modally on the program's
// own folder or where its arguments say, reports the arguments it cannot open
// on, and answers --help and --version without a window.

#include "converter_app.h"
#include "converter_dlg.h"
#include "modal_watcher.h"
#include "qt_print.h"
#include "run_command.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <sstream>

TEST(Startup, InitInstanceRunsTheDialogOnTheProgramsFolderAndEndsWithIt)
{
    ModalWatcher watcher;
    bool wasMainWindow = false;
    QString label, title;
    std::string folder;
    bool focusOnStart = false;
    watcher.Queue([&](QWidget* modal) {
        auto* dlg = dynamic_cast<CConverterDlg*>(modal);
        ASSERT_NE(dlg, nullptr);
        wasMainWindow = theApp.m_pMainWnd == dlg;
        title = dlg->windowTitle();
        label = dlg->m_stcFolder->toolTip();
        folder = dlg->m_strFolder;
        focusOnStart = QTest::qWaitFor([dlg] { return dlg->focusWidget() == dlg->m_btnStartConversion; }, 2000);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });

    EXPECT_FALSE(theApp.InitInstance());

    // The folder of the program as it was started (this test is not installed).
    const QString ownFolder = QFileInfo(QCoreApplication::arguments().value(0)).absolutePath() + "/";
    EXPECT_TRUE(wasMainWindow);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(title, QStringLiteral("TAVRINO pcap converter"));
    EXPECT_EQ(label, ownFolder);
    EXPECT_EQ(folder, ownFolder.toStdString());
    EXPECT_TRUE(focusOnStart);
}

TEST(Startup, CapturesOnTheCommandLineOpenTheirFolderWithThemSelected)
{
    TempDir dir;
    for (const char* name : {"a.DT", "b.DT", "c.DT"})
        WriteFileBytes(dir / name, {});
    ModalWatcher watcher;
    std::string folder;
    QStringList selected;
    watcher.Queue([&](QWidget* modal) {
        auto* dlg = dynamic_cast<CConverterDlg*>(modal);
        ASSERT_NE(dlg, nullptr);
        folder = dlg->m_strFolder;
        for (const QListWidgetItem* entry : dlg->m_lstFiles->selectedItems())
            selected << entry->text();
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    theApp.m_commandLine = {"/usr/bin/tavrino-pcap-converter", dir / "c.DT", dir / "a.DT"};
    theApp.InitInstance();
    theApp.m_commandLine.clear();

    EXPECT_EQ(folder, dir.path() + "/");
    selected.sort();
    EXPECT_EQ(selected, (QStringList{"a.DT", "c.DT"}));
}

namespace {

// What one start of the window showed.
struct StartSeen {
    std::string err;  // our lines on standard error by the time a box was up
    std::vector<QString> boxes;
    std::vector<QWidget*> owners;
    bool boxBeforeWindow = false;
    std::string folder;  // where the window opened
    QStringList selected;
};

StartSeen StartWith(const std::vector<std::string>& commandLine)
{
    StartSeen seen;
    bool capturing = true;
    const auto takeStderr = [&] {
        // Lines of the offscreen platform's own left out.
        std::istringstream lines(testing::internal::GetCapturedStderr());
        const std::string program = QCoreApplication::applicationName().toStdString() + ": ";
        for (std::string line; std::getline(lines, line);)
            seen.err += line.rfind(program, 0) == 0 ? line + "\n" : "";
        capturing = false;
    };
    ModalWatcher watcher;
    const ModalWatcher::Answer answer = [&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (capturing)
                takeStderr();
            seen.boxBeforeWindow = theApp.m_pMainWnd == nullptr;
            box->button(QMessageBox::Ok)->click();
        } else if (auto* dlg = dynamic_cast<CConverterDlg*>(modal)) {
            seen.folder = dlg->m_strFolder;
            for (const QListWidgetItem* entry : dlg->m_lstFiles->selectedItems())
                seen.selected << entry->text();
            QTest::keyClick(dlg, Qt::Key_Escape);
        }
    };
    watcher.Queue(answer);
    watcher.Queue(answer);
    theApp.m_commandLine = commandLine;
    testing::internal::CaptureStderr();
    theApp.InitInstance();
    if (capturing)
        takeStderr();
    theApp.m_commandLine.clear();
    for (const SeenBox& box : watcher.boxes) {
        seen.boxes.push_back(box.text);
        seen.owners.push_back(box.owner);
    }
    return seen;
}

} // namespace

// A typo and an unknown option: each named with its reason on standard error
// and in one box before the window, which then opens as without them.
TEST(Startup, ArgumentsItCannotOpenOnAreReportedThenLeftOut)
{
    TempDir dir;
    for (const char* name : {"a.DT", "b.DT"})
        WriteFileBytes(dir / name, {});
    const std::string program = QCoreApplication::applicationName().toStdString();

    StartSeen seen = StartWith({"/usr/bin/tavrino-pcap-converter", dir / "存在しない", dir / "b.DT", "--bogus"});
    EXPECT_EQ(seen.err, program + ": --bogus: unrecognized option\n" + program + ": " + dir / "存在しない" +
                            ": No such file or directory\n");
    EXPECT_EQ(seen.boxes, std::vector<QString>{QString::fromStdString("--bogus: unrecognized option\n" +
                                                                      dir / "存在しない" +
                                                                      ": No such file or directory")});
    EXPECT_EQ(seen.owners, std::vector<QWidget*>{nullptr});
    EXPECT_TRUE(seen.boxBeforeWindow);
    EXPECT_EQ(seen.folder, dir.path() + "/");
    EXPECT_EQ(seen.selected, QStringList{"b.DT"});

    // Nothing left to open on: the working folder, as the installed program
    // opens without arguments.
    seen = StartWith({"/usr/bin/tavrino-pcap-converter", dir / "a.txt"});
    EXPECT_EQ(seen.folder, QDir::currentPath().toStdString() + "/");
    EXPECT_EQ(seen.boxes, std::vector<QString>{QString::fromStdString(dir / "a.txt: No such file or directory")});

    // Nothing to report: no box, nothing on standard error.
    seen = StartWith({"/usr/bin/tavrino-pcap-converter", dir / "a.DT"});
    EXPECT_EQ(seen.err, "");
    EXPECT_TRUE(seen.boxes.empty());
    EXPECT_EQ(seen.selected, QStringList{"a.DT"});
}

// Answered on standard output before any display is sought: with a platform
// that does not exist, making the application object would end the program.
TEST(Startup, HelpAndVersionAreAnsweredWithoutAWindow)
{
    const std::vector<std::string> noDisplay = {"QT_QPA_PLATFORM=no-such-platform"};
    const CommandResult version = RunCommand({TPC_WINDOW_PATH, "--version"}, "", noDisplay);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n') + 1), "tavrino-pcap-converter 1.0.0.0\n");
    EXPECT_NE(version.out.find("\nLicense MIT: "), std::string::npos) << version.out;
    EXPECT_EQ(version.err, "");

    for (const char* help : {"--help", "--he"}) {
        const CommandResult result = RunCommand({TPC_WINDOW_PATH, "/nonexistent", help, "--bogus"}, "", noDisplay);
        EXPECT_EQ(result.exitCode, 0) << help;
        EXPECT_EQ(result.out.rfind("Usage: tavrino-pcap-converter [FOLDER | FILE...]\n", 0), 0u) << result.out;
        EXPECT_NE(result.out.find("--version"), std::string::npos) << result.out;
        EXPECT_EQ(result.err, "") << help;
    }

    // What cannot be written is not answered.
    const CommandResult full = RunCommand({TPC_WINDOW_PATH, "--help"}, "", noDisplay, "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "tavrino-pcap-converter: write error: No space left on device\n");
}
