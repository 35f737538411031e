#include "dialog_fixture.h"

#include "folder_chooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <clocale>

ScopedLocale::ScopedLocale(const char* name) : m_earlier(std::setlocale(LC_ALL, nullptr))
{
    m_taken = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedLocale::~ScopedLocale() { std::setlocale(LC_ALL, m_earlier.c_str()); }

Bytes ValidCapture(const std::vector<unsigned>& frameLengths)
{
    EntryLog log;
    std::uint32_t counter = 0;
    for (unsigned length : frameLengths) {
        Bytes data(length);
        for (unsigned i = 0; i < length; ++i)
            data[i] = static_cast<std::uint8_t>(i);
        log.Frame({data, counter});
        counter += 250;
    }
    return CaptureBuilder().Dinf().Monl(log).bytes();
}

Bytes BrokenCapture()
{
    const char text[] = "TAVRINO DATA   X";
    return Bytes(text, text + 16);
}

void DialogTest::TearDown()
{
    dlg.reset();
}

std::string DialogTest::Dir() const
{
    return m_dir.path() + "/";
}

void DialogTest::Put(const std::string& name, const Bytes& bytes)
{
    WriteFileBytes(Dir() + name, bytes);
}

void DialogTest::OpenDialog()
{
    dlg = std::make_unique<CConverterDlg>();
    ASSERT_TRUE(dlg->Create());
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
}

void DialogTest::ChooseFolder(const std::string& path)
{
    watcher.Queue([this, path](QWidget* modal) {
        auto* chooser = dynamic_cast<FolderChooser*>(modal);
        ASSERT_NE(chooser, nullptr);
        chooserTitle = chooser->windowTitle();
        chooserStart = chooser->CurrentFolder();
        auto* edit = chooser->findChild<QLineEdit*>(QStringLiteral("folderEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(path));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    ClickButton(IDC_FOLDER_BROWSE);
    // The offscreen platform does not hand activation back after a modal window.
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
}

void DialogTest::ClickButton(int id)
{
    auto* button = qobject_cast<QPushButton*>(Item(id));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void DialogTest::ClickEntry(int index)
{
    QListWidget* list = dlg->m_lstFiles;
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void DialogTest::Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : dlg.get(), key, modifiers);
}

QWidget* DialogTest::Item(int id) const
{
    return dlg->GetDlgItem(id);
}

QStringList DialogTest::Entries() const
{
    QStringList names;
    for (int i = 0; i < dlg->m_lstFiles->count(); ++i)
        names << dlg->m_lstFiles->item(i)->text();
    return names;
}

std::vector<int> DialogTest::SelectedRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < dlg->m_lstFiles->count(); ++i) {
        if (dlg->m_lstFiles->item(i)->isSelected())
            rows.push_back(i);
    }
    return rows;
}
