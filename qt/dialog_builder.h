#pragma once

// Turns a dialog template into Qt widgets: what the dialog manager does when
// it creates a dialog from its resource.

#include "dialog_template.h"

#include <vector>

class QDialog;
class QWidget;

struct DialogItem {
    int id;
    QWidget* widget;
    // For a label or group box with a mnemonic: the control its mnemonic
    // focuses, the next tab stop in template order. Otherwise null.
    QWidget* mnemonicTarget;
};

// Sets the dialog's caption, font, frame and fixed client size, then creates
// the controls in template order, which makes it their tab order.
std::vector<DialogItem> BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);
