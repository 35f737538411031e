#pragma once

// A converter dialog shown offscreen over a scratch folder, driven with real
// mouse clicks and keys, its modal windows answered by a ModalWatcher.

#include "capture_builder.h"
#include "converter_dlg.h"
#include "dialog_ids.h"
#include "modal_watcher.h"
#include "qt_print.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// A capture with one frame entry per length, 1/4 s apart.
Bytes ValidCapture(const std::vector<unsigned>& frameLengths);
// 16 bytes that are not a capture's header: " File header error".
Bytes BrokenCapture();

// The process's C locale for one test, as the toolkit sets it from the
// desktop's; `Taken()` is false where that locale is not generated.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool Taken() const { return m_taken; }

private:
    std::string m_earlier;
    bool m_taken = false;
};

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override;

    // The scratch folder, ending with '/'.
    std::string Dir() const;
    void Put(const std::string& name, const Bytes& bytes);

    // Creates the dialog from its template and shows it as the active window.
    void OpenDialog();
    // Takes `path` as the folder: "..." and a path typed into the chooser.
    void ChooseFolder(const std::string& path);
    void ClickButton(int id);
    void ClickEntry(int index);
    // Sends a key to the widget that has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    QWidget* Item(int id) const;
    QStringList Entries() const;
    std::vector<int> SelectedRows() const;

    ModalWatcher watcher;
    std::unique_ptr<CConverterDlg> dlg;

    // What the last ChooseFolder saw of the chooser.
    QString chooserTitle;
    std::string chooserStart;  // the folder it listed first

private:
    TempDir m_dir;
};
