// Choosing the folder with "...": the chooser, the trailing '/', and what a cancel keeps.

#include "dialog_fixture.h"

#include "folder_chooser.h"
#include "folder_places.h"
#include "folder_problem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using Rows = std::vector<int>;

namespace {

// The folder of this test program as it was started, ending with '/': where
// a dialog given no other place opens.
std::string ProgramFolder()
{
    return QFileInfo(QCoreApplication::arguments().value(0)).absolutePath().toStdString() + "/";
}

} // namespace

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
            auto* chooser = dynamic_cast<FolderChooser*>(modal);
            ASSERT_NE(chooser, nullptr);
            chooser->reject();
        });
        ClickButton(IDC_FOLDER_BROWSE);
    }
};

TEST_F(FolderChoice, ChooserIsTitledAndStartsOnTheLabelsFolder)
{
    // The dialog opens on this program's folder, and the chooser with it.
    const std::string start = ProgramFolder();
    EXPECT_EQ(dlg->m_stcFolder->toolTip().toStdString(), start);
    ChooseFolder(Dir());
    EXPECT_EQ(chooserTitle, QStringLiteral("select folder"));
    EXPECT_EQ(chooserStart + "/", start);

    ChooseFolder(Dir() + "sub");
    EXPECT_EQ(chooserStart + "/", Dir());
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

TEST_F(FolderChoice, FolderWhoseNameIsNotUtf8IsListedAndTaken)
{
    const std::string latin1 = "caf\xe9";
    ASSERT_EQ(::mkdir((Dir() + latin1).c_str(), 0755), 0);
    Put(latin1 + "/run.DT", ValidCapture({60}));
    ChooseFolder(Dir());

    // Chosen from the list: a click on the entry, then OK.
    watcher.Queue([](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        auto* list = chooser->findChild<QListWidget*>(QStringLiteral("folderList"));
        ASSERT_NE(list, nullptr);
        const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("caf"), Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.first());
        chooser->accept();
    });
    ClickButton(IDC_FOLDER_BROWSE);
    EXPECT_EQ(dlg->m_strFolder, Dir() + latin1 + "/");
    EXPECT_EQ(Entries(), QStringList{"run.DT"});

    // The chooser opens on it again, and a conversion there works.
    watcher.Queue([this, latin1](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->CurrentFolder(), Dir() + latin1);
        chooser->accept();
    });
    ClickButton(IDC_FOLDER_BROWSE);
    EXPECT_EQ(dlg->m_strFolder, Dir() + latin1 + "/");
    ClickButton(IDC_SELECT_ALL);
    ClickButton(IDC_START_CONVERSION);
    EXPECT_EQ(watcher.Texts(), std::vector<QString>{"Done."});
    EXPECT_TRUE(PathExists(Dir() + latin1 + "/run.pcap"));
}

TEST_F(FolderChoice, DoubleClickOpensASubfolderAndDotDotGoesUp)
{
    ChooseFolder(Dir());
    watcher.Queue([this](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        auto* list = chooser->findChild<QListWidget*>(QStringLiteral("folderList"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral(".."));
        const QList<QListWidgetItem*> sub = list->findItems(QStringLiteral("sub"), Qt::MatchExactly);
        ASSERT_EQ(sub.size(), 1);
        emit list->itemDoubleClicked(sub.first());
        EXPECT_EQ(chooser->CurrentFolder() + "/", Dir() + "sub/");
        EXPECT_EQ(list->count(), 1);  // only ".."
        emit list->itemDoubleClicked(list->item(0));
        EXPECT_EQ(chooser->CurrentFolder() + "/", Dir());
        chooser->reject();
    });
    ClickButton(IDC_FOLDER_BROWSE);
    EXPECT_EQ(dlg->m_strFolder, Dir());
}

TEST_F(FolderChoice, PathThatIsNoFolderIsNamedUnderTheFieldAndTheChooserStaysOpen)
{
    const std::string file = Dir() + "a.DT";
    const std::string missing = Dir() + "missing";
    bool answered = false;
    watcher.Queue([&](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        auto* edit = chooser->findChild<QLineEdit*>(QStringLiteral("folderEdit"));
        auto* message = chooser->findChild<QLabel*>(QStringLiteral("folderMessage"));
        ASSERT_TRUE(edit && message);
        EXPECT_TRUE(message->isHidden());

        edit->setText(QString::fromStdString(file));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(chooser->isVisible());
        EXPECT_FALSE(message->isHidden());
        EXPECT_EQ(message->text(), QString::fromStdString("\u201c" + file + "\u201d is not a folder."));

        edit->setText(QString::fromStdString(missing));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(chooser->isVisible());
        EXPECT_EQ(message->text(), QString::fromStdString("\u201c" + missing + "\u201d does not exist."));

        // Typing again takes the message away; a folder is taken.
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(Dir() + "sub"));
        EXPECT_TRUE(message->isHidden());
        QTest::keyClick(edit, Qt::Key_Return);
        answered = true;
    });
    ClickButton(IDC_FOLDER_BROWSE);
    EXPECT_TRUE(answered);
    EXPECT_EQ(dlg->m_strFolder, Dir() + "sub/");
}

// The system's reason in the same words as dt2pcap's, in the desktop's locale too.
TEST(FolderProblem, TheSystemsReasonIsUntranslated)
{
    TempDir dir;
    const std::string loop = dir / "loop";
    ASSERT_EQ(::symlink("loop", loop.c_str()), 0);
    const std::string expected = "\u201c" + loop + "\u201d cannot be read: Too many levels of symbolic links.";
    EXPECT_EQ(FolderProblem(loop), expected);

    const ScopedLocale japanese("ja_JP.UTF-8");
    if (!japanese.Taken())
        GTEST_SKIP() << "the ja_JP.UTF-8 locale is not generated here (locale-gen)";
    if (std::string(std::strerror(ELOOP)) == "Too many levels of symbolic links")
        GTEST_SKIP() << "ja_JP.UTF-8 has no translation of the system's messages here";
    EXPECT_EQ(FolderProblem(loop), expected);
}

TEST_F(FolderChoice, PlacesAreHomeTheStartFolderAndTheFoldersChosenBefore)
{
    const std::string start = ProgramFolder();
    ChooseFolder(Dir() + "sub");
    ChooseFolder(Dir());
    watcher.Queue([&](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        auto* places = chooser->findChild<QListWidget*>(QStringLiteral("folderPlaces"));
        ASSERT_NE(places, nullptr);
        QStringList shown, folders;
        for (int row = 0; row < places->count(); ++row) {
            shown << places->item(row)->text();
            folders << places->item(row)->toolTip() + QLatin1Char('/');
        }
        const QString dir = QString::fromStdString(Dir());
        EXPECT_EQ(shown.value(0), QStringLiteral("Home"));
        EXPECT_EQ(folders, (QStringList{QDir::homePath() + QLatin1Char('/'), QString::fromStdString(start), dir,
                                        dir + QStringLiteral("sub/")}));
        EXPECT_EQ(shown.value(3), QStringLiteral("sub"));

        // A click on a place opens it.
        QTest::mouseClick(places->viewport(), Qt::LeftButton, Qt::NoModifier,
                          places->visualItemRect(places->item(3)).center());
        EXPECT_EQ(chooser->CurrentFolder(), Dir() + "sub");
        EXPECT_EQ(chooser->ChosenFolder(), Dir() + "sub");
        chooser->accept();
        EXPECT_EQ(chooser->result(), QDialog::Accepted);
    });
    ClickButton(IDC_FOLDER_BROWSE);
    EXPECT_EQ(dlg->m_strFolder, Dir() + "sub/");
    EXPECT_FALSE(Item(IDC_FOLDER_BROWSE)->toolTip().isEmpty());
}

TEST(FolderPlaces, ChosenFoldersComeMostRecentFirstAndOnceEach)
{
    std::vector<std::string> chosen;
    for (const char* folder : {"/a", "/b/", "/c", "/b"})
        chosen = RememberChosen(chosen, folder, 3);
    EXPECT_EQ(chosen, (std::vector<std::string>{"/b", "/c", "/a"}));
    chosen = RememberChosen(chosen, "/d", 3);
    EXPECT_EQ(chosen, (std::vector<std::string>{"/d", "/b", "/c"}));

    // Home is not offered twice, the root keeps its name.
    const std::vector<Place> places = PlacesToOffer({"/home/u/", "/home/u", {"/", "/data/caps/", "/home/u"}});
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0].label + " " + places[0].folder, "Home /home/u");
    EXPECT_EQ(places[1].label + " " + places[1].folder, "/ /");
    EXPECT_EQ(places[2].label + " " + places[2].folder, "caps /data/caps");
}
