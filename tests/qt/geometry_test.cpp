// Dialog units, and the dialog built from its template.

#include "dialog_fixture.h"
#include "dialog_units.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <iterator>

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(210, 7, 4), 368);  // 367.5
    EXPECT_EQ(MulDiv(5, 6, 4), 8);      // 7.5
    EXPECT_EQ(MulDiv(1, 5, 4), 1);      // 1.25
    EXPECT_EQ(MulDiv(3, 7, 8), 3);      // 2.625
    EXPECT_EQ(MulDiv(-5, 6, 4), -8);
    EXPECT_EQ(MulDiv(0, 7, 4), 0);
}

TEST(DialogUnits, EdgesAreMappedOneByOne)
{
    // The list at 10, 60, 125 x 175 with base units 7 x 15: left 17.5 -> 18,
    // right 236.25 -> 236, so it is 218 wide, not MulDiv(125) = 219.
    const PixelRect r = MapDialogRect(10, 60, 125, 175, {7, 15});
    EXPECT_EQ(r.x, 18);
    EXPECT_EQ(r.width, 218);
    EXPECT_EQ(r.y, 113);      // 112.5
    EXPECT_EQ(r.height, 328); // 440.625 -> 441, less 113
}

using DialogLayout = DialogTest;

namespace {

// The text a control shows: a button's, a group box's title, a label's.
QString ShownText(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(control))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    return QString();
}

// The desktop's font for the length of a test.
class DesktopFont {
public:
    explicit DesktopFont(const QFont& font) : m_saved(QApplication::font()) { QApplication::setFont(font); }
    ~DesktopFont() { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

} // namespace

// DejaVu Sans (the window's font package) at 12 px: its 52 letters A-Z a-z
// are 65813 of its 2048 units wide, 385.6 px, 7.4 px each on average, so a
// horizontal dialog unit is 7/4 px; its lines are 14 px high (ascent 1901
// units, 11.1 px, taken as 11; descent 483 units, 2.8 px, taken as 3), so a
// vertical one is 14/8 px. Both are 1.75 px: each edge of the template,
// times 1.75, rounded half up.
TEST_F(DialogLayout, ControlsSitWhereTheTemplatePutsThem)
{
    QFont dejaVu(QStringLiteral("DejaVu Sans"));
    dejaVu.setPixelSize(12);
    ASSERT_EQ(QFontInfo(dejaVu).family(), QStringLiteral("DejaVu Sans")) << "fonts-dejavu-core is missing (make deps)";
    const DesktopFont desktop(dejaVu);
    OpenDialog();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("TAVRINO pcap converter"));
    EXPECT_EQ(dlg->font(), QApplication::font());

    // 210 x 241 units: 367.5 -> 368 by 421.75 -> 422, and fixed.
    EXPECT_EQ(dlg->size(), QSize(368, 422));
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());

    // Children in creation order, left, top, width, height: the list at 10,
    // 60, 125 x 175 has its left edge at 17.5 -> 18, its right at 236.25 ->
    // 236, its top at 105, its bottom at 411.25 -> 411. "Select all" (y 90,
    // 14 high: 157.5 -> 158 to 182) is a pixel lower than "Refresh" (y 60:
    // 105 to 129.5 -> 130).
    const struct {
        int id;
        const char* text;  // null: the folder, which the label shows instead
        QRect rect;
    } expected[] = {
        {IDC_START_CONVERSION, "Start &conversion", QRect(245, 385, 114, 25)},
        {IDC_STATIC, "&Folder", QRect(9, 9, 350, 70)},
        {IDC_FOLDER_PATH, nullptr, QRect(18, 26, 297, 44)},
        {IDC_FOLDER_BROWSE, "...", QRect(333, 26, 17, 25)},
        {IDC_STATIC, "File &list:", QRect(9, 88, 61, 14)},
        {IDC_FILE_LIST, "", QRect(18, 105, 218, 306)},
        {IDC_REFRESH, "&Refresh", QRect(245, 105, 114, 25)},
        {IDC_SELECT_ALL, "Select &all", QRect(245, 158, 114, 24)},
        {IDC_SELECT_NONE, "&No select", QRect(245, 193, 114, 24)},
    };
    const QList<QWidget*> children = dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), static_cast<qsizetype>(std::size(expected)));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(children[i]->geometry(), expected[i].rect);
        if (expected[i].text != nullptr) {
            EXPECT_EQ(ShownText(children[i]), QString::fromUtf8(expected[i].text));
        }
        if (expected[i].id != IDC_STATIC) {
            EXPECT_EQ(dlg->GetDlgItem(expected[i].id), children[i]);
        }
        EXPECT_TRUE(dlg->rect().contains(children[i]->geometry()));
    }
    EXPECT_NE(qobject_cast<QPushButton*>(children[0]), nullptr);
    EXPECT_NE(qobject_cast<QGroupBox*>(children[1]), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(children[2]), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(children[4]), nullptr);
    EXPECT_NE(qobject_cast<QListWidget*>(children[5]), nullptr);
    // The folder's label and "..." are inside the folder's group box.
    EXPECT_TRUE(children[1]->geometry().contains(children[2]->geometry()));
    EXPECT_TRUE(children[1]->geometry().contains(children[3]->geometry()));
}

// What the template's styles make of each control: every one is shown; the
// buttons and the list take the focus, labels and the group box never; the
// list has a border and, once its entries overflow it, a vertical scroll bar.
TEST_F(DialogLayout, StylesShowInWhatEachControlDoes)
{
    OpenDialog();
    const QList<QWidget*> children = dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), 9);
    for (QWidget* control : children) {
        SCOPED_TRACE(ShownText(control).toStdString());
        EXPECT_TRUE(control->isVisible());
        const bool takesFocus = qobject_cast<QPushButton*>(control) || qobject_cast<QListWidget*>(control);
        EXPECT_EQ(control->focusPolicy(), takesFocus ? Qt::StrongFocus : Qt::NoFocus);
    }
    EXPECT_EQ(dlg->findChildren<QPushButton*>().size(), 5);
    EXPECT_EQ(dlg->findChildren<QGroupBox*>().size(), 1);

    QListWidget* list = dlg->m_lstFiles;
    EXPECT_GT(list->frameWidth(), 0);
    EXPECT_FALSE(list->verticalScrollBar()->isVisible());  // nothing to scroll yet
    for (int i = 0; i < 200; ++i)
        list->addItem(QStringLiteral("entry %1.DT").arg(i));
    QApplication::processEvents();
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
}

TEST_F(DialogLayout, ALargerDesktopFontGrowsTheWholeDialog)
{
    OpenDialog();
    const QSize normalSize = dlg->size();
    const QRect normalList = dlg->m_lstFiles->geometry();
    dlg.reset();

    const QFont desktop = QApplication::font();
    QFont large = desktop;
    large.setPointSizeF(desktop.pointSizeF() * 2);
    QApplication::setFont(large);
    OpenDialog();
    QApplication::setFont(desktop);

    EXPECT_EQ(dlg->font().pointSizeF(), large.pointSizeF());
    EXPECT_GT(dlg->width(), normalSize.width() * 3 / 2);
    EXPECT_GT(dlg->height(), normalSize.height() * 3 / 2);
    EXPECT_GT(dlg->m_lstFiles->width(), normalList.width() * 3 / 2);
    EXPECT_GT(dlg->m_lstFiles->y(), normalList.y() * 3 / 2);
}

TEST_F(DialogLayout, FrameHasNoMinimiseOrMaximiseBoxButATaskBarButton)
{
    OpenDialog();
    const Qt::WindowFlags flags = dlg->windowFlags();
    EXPECT_EQ(dlg->windowType(), Qt::Window);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
}

// Each member and id stands for the control a user knows by its text or place.
TEST_F(DialogLayout, ControlMembersAreBoundAndBehaveAsTheTemplateSays)
{
    OpenDialog();
    EXPECT_EQ(dlg->m_btnStartConversion->text(), QStringLiteral("Start &conversion"));
    EXPECT_EQ(ShownText(Item(IDC_START_CONVERSION)), QStringLiteral("Start &conversion"));
    EXPECT_EQ(ShownText(Item(IDC_FOLDER_BROWSE)), QStringLiteral("..."));
    EXPECT_EQ(ShownText(Item(IDC_REFRESH)), QStringLiteral("&Refresh"));
    EXPECT_EQ(ShownText(Item(IDC_SELECT_ALL)), QStringLiteral("Select &all"));
    EXPECT_EQ(ShownText(Item(IDC_SELECT_NONE)), QStringLiteral("&No select"));
    // The list is the one "File list:" leads to; the folder's label is the
    // one inside the "Folder" box.
    ASSERT_NE(dlg->m_lstFiles, nullptr);
    EXPECT_EQ(Item(IDC_FILE_LIST), dlg->m_lstFiles);
    QLabel* fileListLabel = nullptr;
    QGroupBox* folderBox = nullptr;
    for (QLabel* label : dlg->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QStringLiteral("File &list:"))
            fileListLabel = label;
    }
    for (QGroupBox* box : dlg->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        if (box->title() == QStringLiteral("&Folder"))
            folderBox = box;
    }
    ASSERT_NE(fileListLabel, nullptr);
    ASSERT_NE(folderBox, nullptr);
    EXPECT_EQ(fileListLabel->buddy(), dlg->m_lstFiles);
    ASSERT_NE(dlg->m_stcFolder, nullptr);
    EXPECT_EQ(Item(IDC_FOLDER_PATH), dlg->m_stcFolder);
    EXPECT_TRUE(folderBox->geometry().contains(dlg->m_stcFolder->geometry()));

    EXPECT_EQ(dlg->m_lstFiles->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_FALSE(dlg->m_lstFiles->isSortingEnabled());
    for (QPushButton* button : dlg->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
}

TEST_F(DialogLayout, IconHasBothSizesIn16Colours)
{
    OpenDialog();
    const QList<QSize> sizes = dlg->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    for (const char* path : {":/IDR_MAINFRAME/icon32.png", ":/IDR_MAINFRAME/icon16.png"}) {
        const QImage image(QString::fromLatin1(path));
        ASSERT_FALSE(image.isNull()) << path;
        EXPECT_EQ(image.format(), QImage::Format_Indexed8) << path;
        EXPECT_LE(image.colorCount(), 16) << path;
    }
    EXPECT_EQ(QImage(QStringLiteral(":/IDR_MAINFRAME/icon32.png")).size(), QSize(32, 32));
    EXPECT_EQ(QImage(QStringLiteral(":/IDR_MAINFRAME/icon16.png")).size(), QSize(16, 16));
}
