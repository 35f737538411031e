// Keys as the original dialog manager handled them: Enter, Esc, Tab and mnemonics.

#include "dialog_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

bool WaitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 2000);
}

} // namespace

class Keyboard : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        Put("a.DT", ValidCapture({60}));
        Put("b.DT", ValidCapture({60}));
        OpenDialog();
        ChooseFolder(Dir());
        ASSERT_EQ(Entries().size(), 2);
        dlg->m_btnStartConversion->setFocus();
    }
};

TEST_F(Keyboard, EnterInTheListEndsTheDialog)
{
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    dlg->m_lstFiles->setFocus();
    Key(Qt::Key_Return);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(watcher.boxes.empty());  // nothing was converted
}

TEST_F(Keyboard, EscAndTheCloseBoxEndTheDialog)
{
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    Key(Qt::Key_Escape);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Rejected);

    OpenDialog();
    QSignalSpy closed(dlg.get(), &QDialog::finished);
    dlg->close();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).toInt(), QDialog::Rejected);
}

TEST_F(Keyboard, EnterOnAFocusedButtonPressesItAndKeepsTheDialog)
{
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    Item(IDC_SELECT_ALL)->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1}));

    Item(IDC_SELECT_NONE)->setFocus();
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(SelectedRows().empty());

    dlg->m_btnStartConversion->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(watcher.Texts(), (std::vector<QString>{"Done."}));

    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(Keyboard, TabFollowsTemplateOrder)
{
    const std::vector<QWidget*> order = {Item(IDC_START_CONVERSION), Item(IDC_FOLDER_BROWSE), Item(IDC_FILE_LIST),
                                         Item(IDC_REFRESH),          Item(IDC_SELECT_ALL),    Item(IDC_SELECT_NONE),
                                         Item(IDC_START_CONVERSION)};
    ASSERT_EQ(QApplication::focusWidget(), order[0]);
    for (std::size_t i = 1; i < order.size(); ++i) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "after tab " << i;
    }
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Item(IDC_SELECT_NONE));
}

TEST_F(Keyboard, LabelMnemonicsMoveTheFocusToTheNextControl)
{
    const std::size_t modals = watcher.otherModals.size();
    Key(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Item(IDC_FOLDER_BROWSE));
    Key(Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Item(IDC_FILE_LIST));
    QTest::qWait(200);
    // Focusing "..." does not press it.
    EXPECT_EQ(watcher.otherModals.size(), modals);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(Keyboard, ButtonMnemonicsPressTheirButtons)
{
    Key(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return SelectedRows().size() == 2; }));
    Key(Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return SelectedRows().empty(); }));

    ClickEntry(1);
    Put("c.DT", ValidCapture({60}));
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return Entries().size() == 3; }));
    EXPECT_TRUE(SelectedRows().empty());

    Key(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return SelectedRows().size() == 3; }));
    Key(Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([this] { return !watcher.boxes.empty(); }));
    EXPECT_EQ(watcher.Texts(), (std::vector<QString>{"Done."}));
    EXPECT_TRUE(PathExists(Dir() + "c.pcap"));
}
