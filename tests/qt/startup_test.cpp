// Start-up: the application object runs the dialog modally on the program's own folder.

#include "converter_app.h"
#include "converter_dlg.h"
#include "modal_watcher.h"
#include "qt_print.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

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
