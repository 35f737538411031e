// The file list: clicks toggle entries, the selection buttons, and refreshing.

#include "dialog_fixture.h"

#include "folder_label.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QToolTip>

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

TEST_F(FileList, SelectionButtonsChangeTheSelectionOnceForAllEntries)
{
    for (int i = 0; i < 500; ++i)
        Put("many" + std::to_string(i) + ".DT", {});
    ClickButton(IDC_REFRESH);
    QSignalSpy changes(dlg->m_lstFiles->selectionModel(), &QItemSelectionModel::selectionChanged);
    ClickButton(IDC_SELECT_ALL);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(SelectedRows().size(), 504u);
    ClickButton(IDC_SELECT_NONE);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(FileList, EntriesShowTheirWholeNameAsTooltip)
{
    const std::string stem(120, 'n');
    Put(stem + "-first.DT", {});
    Put(stem + "-second.DT", {});
    ClickButton(IDC_REFRESH);
    QListWidget* list = dlg->m_lstFiles;
    for (const char* end : {"-first.DT", "-second.DT"}) {
        const QString name = QString::fromStdString(stem + end);
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->scrollToItem(found.first());
        const QRect rect = list->visualItemRect(found.first());
        QHelpEvent help(QEvent::ToolTip, rect.center(), list->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::text(), name);
    }
}

TEST_F(FileList, LongNamesThatDifferNearTheEndLookDifferent)
{
    // 110 characters, the last few before ".DT" telling them apart: shortened
    // in the middle, each entry still shows its own end.
    const std::string stem = "capture-with-a-very-long-file-name-from-the-night-shift-on-the-second-uplink-of-site-";
    const std::string first = stem + std::string(110 - stem.size() - 6, 'x') + "-01.DT";
    const std::string second = stem + std::string(110 - stem.size() - 6, 'x') + "-02.DT";
    ASSERT_EQ(first.size(), 110u);
    Put(first, {});
    Put(second, {});
    ClickButton(IDC_REFRESH);
    QListWidget* list = dlg->m_lstFiles;
    const QList<QListWidgetItem*> a = list->findItems(QString::fromStdString(first), Qt::MatchExactly);
    const QList<QListWidgetItem*> b = list->findItems(QString::fromStdString(second), Qt::MatchExactly);
    ASSERT_EQ(a.size(), 1);
    ASSERT_EQ(b.size(), 1);
    const QRect rowA = list->visualItemRect(a.first());
    const QRect rowB = list->visualItemRect(b.first());
    ASSERT_EQ(rowA.size(), rowB.size());
    ASSERT_GT(list->fontMetrics().horizontalAdvance(a.first()->text()), rowA.width());  // too long to show whole
    const QImage shot = list->viewport()->grab().toImage();
    EXPECT_NE(shot.copy(rowA), shot.copy(rowB));
}

TEST(FolderLabel, LongPathKeepsItsStartAndEndInTwoLines)
{
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    QString path = QStringLiteral("/home/user/captures");
    while (path.size() < 239)
        path += QStringLiteral("/site-") + QString::number(path.size());
    path += QStringLiteral("/the-end/");
    const int width = metrics.averageCharWidth() * 40;

    const QStringList lines = ElidePathToLines(path, font, width, 2).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
    EXPECT_TRUE(path.startsWith(lines[0]));
    EXPECT_GT(lines[0].size(), 10);
    EXPECT_TRUE(lines[0].endsWith(QLatin1Char('/'))) << lines[0].toStdString();  // broken at a separator
    EXPECT_TRUE(lines[1].startsWith(QChar(0x2026)));
    EXPECT_TRUE(path.endsWith(lines[1].mid(1)));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("/the-end/")));

    // A path that fits in the lines is only broken, never shortened.
    const QString shorter = path.left(50);
    EXPECT_EQ(ElidePathToLines(shorter, font, width, 2).remove(QLatin1Char('\n')), shorter);
    const QString oneLine = ElidePathToLines(path, font, width, 1);
    EXPECT_TRUE(oneLine.startsWith(QStringLiteral("/home/")));
    EXPECT_TRUE(oneLine.endsWith(QStringLiteral("/the-end/")));
}

TEST_F(FileList, FolderLabelShowsTheWholePathAsTooltip)
{
    std::string folder = Dir();
    while (folder.size() < 239)
        folder += "a-rather-long-folder-name/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    ChooseFolder(folder);
    QLabel* label = dlg->m_stcFolder;
    EXPECT_EQ(label->toolTip().toStdString(), folder);
    const int lines = static_cast<int>(label->text().count(QLatin1Char('\n'))) + 1;
    EXPECT_GE(lines, 2);
    EXPECT_LE(lines * label->fontMetrics().lineSpacing(), label->height());
    EXPECT_TRUE(label->text().startsWith(QString::fromStdString(Dir())));
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("a-rather-long-folder-name/")));
    EXPECT_FALSE(label->wordWrap());
}
