#include "dialog_builder.h"

#include "dialog_fit.h"
#include "dialog_units.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <cstring>

using namespace dlgstyle;

namespace {

QWidget* CreateControl(QDialog& dialog, const DialogItemTemplate& item)
{
    const QString text = QString::fromUtf8(item.text);
    if (std::strcmp(item.windowClass, "button") == 0) {
        if ((item.style & BS_TYPEMASK) == BS_GROUPBOX)
            return new QGroupBox(text, &dialog);
        auto* button = new QPushButton(text, &dialog);
        // No default button: Enter presses the focused button or ends the dialog.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    if (std::strcmp(item.windowClass, "listbox") == 0) {
        auto* list = new QListWidget(&dialog);
        list->setSelectionMode((item.style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                                                              : QAbstractItemView::SingleSelection);
        list->setSortingEnabled((item.style & LBS_SORT) != 0);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Every entry is one line of the same font: laying out a folder of
        // thousands then needs no measuring of each.
        list->setUniformItemSizes(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // A name too long for the list keeps its start and its end: captures
        // of one series often differ only in their last characters.
        list->setTextElideMode(Qt::ElideMiddle);
        list->setVerticalScrollBarPolicy((item.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        if (!(item.style & WS_BORDER))
            list->setFrameShape(QFrame::NoFrame);
        return list;
    }
    auto* label = new QLabel(text, &dialog);
    // Folder names are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

bool HasMnemonic(const char* text)
{
    for (const char* p = std::strchr(text, '&'); p; p = std::strchr(p + 2, '&')) {
        if (p[1] == '\0')
            return false;
        if (p[1] != '&')
            return true;
    }
    return false;
}

} // namespace

std::vector<DialogItem> BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    // A fixed frame with caption and close box only. WS_EX_APPWINDOW asks for a
    // task-bar button, which window managers give ordinary windows, not dialogs.
    const Qt::WindowType kind = (dialogTemplate.exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog;
    dialog.setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    // The desktop's font at the desktop's size, not the template's 9-point face:
    // the dialog units come from it, so the whole dialog grows with a larger
    // font, as far as the screen it opens on has room for it.
    QScreen* screen = ScreenForNewWindow();
    if (screen)
        dialog.setScreen(screen);
    dialog.setFont(screen ? FontThatFits(QApplication::font(), dialogTemplate.cx, dialogTemplate.cy,
                                         screen->availableGeometry())
                          : QApplication::font());
    KeepOnScreen(dialog);
    const DialogBaseUnits base = BaseUnitsOf(dialog.font());
    const PixelRect client = MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy, base);
    dialog.setFixedSize(client.width, client.height);

    std::vector<DialogItem> items;
    items.reserve(dialogTemplate.itemCount);
    for (std::size_t i = 0; i < dialogTemplate.itemCount; ++i) {
        const DialogItemTemplate& item = dialogTemplate.items[i];
        QWidget* control = CreateControl(dialog, item);
        const PixelRect r = MapDialogRect(item.x, item.y, item.cx, item.cy, base);
        control->setGeometry(r.x, r.y, r.width, r.height);
        control->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
        items.push_back({item.id, control, nullptr});
    }

    // A label's or group box's mnemonic leads to the next tab stop after it.
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DialogItemTemplate& item = dialogTemplate.items[i];
        const bool isLabel = std::strcmp(item.windowClass, "static") == 0 ||
                             (std::strcmp(item.windowClass, "button") == 0 && (item.style & BS_TYPEMASK) == BS_GROUPBOX);
        if (!isLabel || !HasMnemonic(item.text))
            continue;
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            if (dialogTemplate.items[j].style & WS_TABSTOP) {
                items[i].mnemonicTarget = items[j].widget;
                break;
            }
        }
        // A label draws and grabs its mnemonic only once it has a buddy.
        if (auto* label = qobject_cast<QLabel*>(items[i].widget))
            label->setBuddy(items[i].mnemonicTarget);
    }
    return items;
}
