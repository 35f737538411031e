// The file list: clicks toggle entries, the selection buttons, and refreshing.

#include "dialog_fixture.h"

#include <QDir>
#include <QListWidget>

using Rows = std::vector<int>;

class FileList : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (const char* name : {"d.DT", "a.DT", "c.dt", "b.DT"})
            Put(name, ValidCapture({60}));
        Put("a.pcap", {});
        OpenDialog();
        ChooseFolder(Dir());
    }
};

TEST_F(FileList, ShowsTheFoldersCapturesInNameOrder)
{
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.dt", "d.DT"}));
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(FileList, AClickTogglesOneEntry)
{
    ClickEntry(0);
    EXPECT_EQ(SelectedRows(), (Rows{0}));
    ClickEntry(2);
    EXPECT_EQ(SelectedRows(), (Rows{0, 2}));
    ClickEntry(0);
    EXPECT_EQ(SelectedRows(), (Rows{2}));
    ClickEntry(2);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(FileList, SelectAllAndNoSelect)
{
    ClickEntry(1);
    ClickButton(IDC_SELECT_ALL);
    EXPECT_EQ(SelectedRows(), (Rows{0, 1, 2, 3}));
    ClickButton(IDC_SELECT_ALL);
    EXPECT_EQ(SelectedRows(), (Rows{0, 1, 2, 3}));
    ClickButton(IDC_SELECT_NONE);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(Entries().size(), 4);
}

TEST_F(FileList, RefreshRebuildsTheListAndClearsTheSelection)
{
    ClickEntry(0);
    ClickEntry(3);
    Put("0.DT", ValidCapture({60}));
    ASSERT_EQ(Entries().size(), 4);  // nothing watches the folder

    ClickButton(IDC_REFRESH);
    EXPECT_EQ(Entries(), (QStringList{"0.DT", "a.DT", "b.DT", "c.dt", "d.DT"}));
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(FileList, SelectionButtonsOnAnEmptyListDoNothing)
{
    const std::string empty = Dir() + "empty";
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(empty)));
    ChooseFolder(empty);
    ASSERT_TRUE(Entries().isEmpty());
    ClickButton(IDC_SELECT_ALL);
    ClickButton(IDC_SELECT_NONE);
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_TRUE(watcher.boxes.empty());
}
