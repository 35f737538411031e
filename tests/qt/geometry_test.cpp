// Dialog units, and the dialog built from its template.

#include "dialog_fixture.h"
#include "dialog_template.h"
#include "dialog_units.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

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

TEST(DialogTemplate, StylesAreTheResourceScriptNumbers)
{
    const DialogTemplate& t = kConverterDialogTemplate;
    EXPECT_EQ(t.style, 0x90C800C0u);
    EXPECT_EQ(t.exStyle, 0x00040000u);
    ASSERT_EQ(t.itemCount, 9u);
    const std::uint32_t styles[] = {0x50010000, 0x50000007, 0x50020000, 0x50010000, 0x50020000,
                                    0x50A10109, 0x50010000, 0x50010000, 0x50010000};
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(t.items[i].style, styles[i]) << "control " << i;
}

using DialogLayout = DialogTest;

TEST_F(DialogLayout, ControlsSitWhereTheTemplatePutsThem)
{
    OpenDialog();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("TAVRINO pcap converter"));
    EXPECT_EQ(dlg->font(), QApplication::font());

    const DialogBaseUnits base = BaseUnitsOf(dlg->font());
    const PixelRect client = MapDialogRect(0, 0, 210, 241, base);
    EXPECT_EQ(dlg->size(), QSize(client.width, client.height));
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());

    // Children in creation order are the template's controls in template order.
    const QList<QWidget*> children = dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const DialogTemplate& t = kConverterDialogTemplate;
    ASSERT_EQ(children.size(), static_cast<qsizetype>(t.itemCount));
    for (std::size_t i = 0; i < t.itemCount; ++i) {
        const DialogItemTemplate& item = t.items[i];
        const PixelRect r = MapDialogRect(item.x, item.y, item.cx, item.cy, base);
        EXPECT_EQ(children[i]->geometry(), QRect(r.x, r.y, r.width, r.height)) << item.text;
        if (item.id != IDC_STATIC) {
            EXPECT_EQ(dlg->GetDlgItem(item.id), children[i]) << item.text;
        }
    }
    EXPECT_NE(qobject_cast<QPushButton*>(children[0]), nullptr);
    EXPECT_NE(qobject_cast<QGroupBox*>(children[1]), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(children[2]), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(children[4]), nullptr);
    EXPECT_NE(qobject_cast<QListWidget*>(children[5]), nullptr);
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

TEST_F(DialogLayout, ControlMembersAreBoundAndBehaveAsTheTemplateSays)
{
    OpenDialog();
    EXPECT_EQ(dlg->m_btnStartConversion, Item(IDC_START_CONVERSION));
    EXPECT_EQ(dlg->m_lstFiles, Item(IDC_FILE_LIST));
    EXPECT_EQ(dlg->m_stcFolder, Item(IDC_FOLDER_PATH));
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
