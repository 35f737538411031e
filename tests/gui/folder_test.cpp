// Choosing the folder with "...": the chooser, the trailing '/', and what a cancel keeps.

#include "dialog_fixture.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>

#include <sys/stat.h>

using Rows = std::vector<int>;

class FolderChoice : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (const char* name : {"a.DT", "b.DT", "c.DT"})
            Put(name, ValidCapture({60}));
        ASSERT_EQ(::mkdir((Dir() + "sub").c_str(), 0755), 0);
        Put("sub/inner.DT", ValidCapture({60}));
        OpenDialog();
    }

    void CancelChooser()
    {
        watcher.Queue([](QWidget* modal) {
            auto* chooser = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(chooser, nullptr);
            chooser->reject();
        });
        ClickButton(IDC_FOLDER_BROWSE);
    }
};

TEST_F(FolderChoice, ChooserIsTitledAndStartsOnTheLabelsFolder)
{
    const QString start = dlg->m_stcFolder->text();
    ChooseFolder(Dir());
    EXPECT_EQ(chooserTitle, QStringLiteral("select folder"));
    EXPECT_EQ(chooserStart + "/", start);

    ChooseFolder(Dir() + "sub");
    EXPECT_EQ(chooserStart.toStdString() + "/", Dir());
}

TEST_F(FolderChoice, AChosenFolderGetsOneSlashAndItsList)
{
    ChooseFolder(Dir() + "sub");
    EXPECT_EQ(dlg->m_strFolder, Dir() + "sub/");
    EXPECT_EQ(dlg->m_stcFolder->text().toStdString(), Dir() + "sub/");
    EXPECT_EQ(Entries(), QStringList{"inner.DT"});

    ChooseFolder(Dir());
    EXPECT_EQ(dlg->m_strFolder, Dir());
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.DT"}));
}

TEST_F(FolderChoice, RootGetsNoSecondSlash)
{
    ChooseFolder("/");
    EXPECT_EQ(dlg->m_strFolder, "/");
    EXPECT_EQ(dlg->m_stcFolder->text(), QStringLiteral("/"));
}

TEST_F(FolderChoice, CancelKeepsFolderEntriesAndSelection)
{
    ChooseFolder(Dir());
    ClickEntry(0);
    ClickEntry(2);
    Put("0.DT", ValidCapture({60}));

    CancelChooser();
    ASSERT_EQ(watcher.otherModals.size(), 2u);  // the chooser did open
    EXPECT_EQ(dlg->m_strFolder, Dir());
    EXPECT_EQ(dlg->m_stcFolder->text().toStdString(), Dir());
    // Not even rebuilt: the new capture is not listed.
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.DT"}));
    EXPECT_EQ(SelectedRows(), (Rows{0, 2}));
}

TEST_F(FolderChoice, ChoosingTheSameFolderAgainRebuildsTheList)
{
    ChooseFolder(Dir());
    ClickEntry(1);
    ChooseFolder(Dir());
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.DT"}));
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(FolderChoice, MissingFolderListsNothingSilently)
{
    ChooseFolder(Dir() + "sub");
    ASSERT_TRUE(QDir(QString::fromStdString(Dir() + "sub")).removeRecursively());
    ClickButton(IDC_REFRESH);
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_TRUE(watcher.boxes.empty());
}
