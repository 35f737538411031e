#include "converter_dlg.h"

#include "capture_listing.h"
#include "convert_capture_file.h"
#include "dialog_ids.h"
#include "dialog_template.h"
#include "file_name_text.h"
#include "folder_chooser.h"
#include "folder_label.h"
#include "folder_places.h"
#include "icon_position.h"
#include "path_parts.h"
#include "program_file.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHelpEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QToolTip>

#include <cassert>
#include <exception>
#include <set>

namespace {

constexpr int kIconSize = 32;  // the large icon, drawn when minimised
constexpr int kCaptionButtonsWidth = 96;  // a title bar's icon and buttons, roughly

QIcon LoadMainIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/IDR_MAINFRAME/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/IDR_MAINFRAME/icon16.png"), QSize(16, 16));
    return icon;
}

} // namespace

CConverterDlg::CConverterDlg(QWidget* parent) : QDialog(parent), m_hIcon(LoadMainIcon()) {}

CConverterDlg::~CConverterDlg() = default;

bool CConverterDlg::Create()
{
    m_items = BuildDialog(*this, kConverterDialogTemplate);
    for (const DialogItem& item : m_items) {
        if (auto* button = qobject_cast<QPushButton*>(item.widget)) {
            const int id = item.id;
            connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        }
        if (item.mnemonicTarget)
            item.widget->installEventFilter(this);
    }
    // TRUE from OnInitDialog: the focus goes to the first tab stop.
    if (OnInitDialog()) {
        for (const DialogItem& item : m_items) {
            if (item.widget->focusPolicy() & Qt::TabFocus) {
                item.widget->setFocus();
                break;
            }
        }
    }
    return true;
}

int CConverterDlg::DoModal()
{
    Create();
    return exec();
}

QWidget* CConverterDlg::GetDlgItem(int id) const
{
    for (const DialogItem& item : m_items) {
        if (item.id == id)
            return item.widget;
    }
    return nullptr;
}

template <class Control>
void CConverterDlg::DDX_Control(int id, Control*& member)
{
    member = qobject_cast<Control*>(GetDlgItem(id));
    assert(member);
}

void CConverterDlg::DoDataExchange()
{
    DDX_Control(IDC_START_CONVERSION, m_btnStartConversion);
    DDX_Control(IDC_FILE_LIST, m_lstFiles);
    DDX_Control(IDC_FOLDER_PATH, m_stcFolder);
}

bool CConverterDlg::OnInitDialog()
{
    DoDataExchange();
    setWindowIcon(m_hIcon);  // both sizes: title bar and task bar
    if (m_startPlace.folder.empty())
        m_startPlace = StartPlaceFor({FileNameBytes(QCoreApplication::arguments().value(0))});
    m_strFolder = m_startPlace.folder;
    ShowPathInLabel(*m_stcFolder, FileNameText(m_strFolder));
    GetDlgItem(IDC_FOLDER_BROWSE)->setToolTip(QStringLiteral("Choose another folder"));
    m_lstFiles->viewport()->installEventFilter(this);
    OnRefresh();
    SelectNames(m_startPlace.names);
    return true;
}

void CConverterDlg::OnCommand(int id)
{
    for (const MessageMapEntry* entry = messageEntries; entry->handler; ++entry) {
        if (entry->id != id)
            continue;
        try {
            (this->*entry->handler)();
        } catch (const std::exception& error) {
            // What a handler still lets out (memory running out; a failed
            // write is reported by the batch) is shown here, as the
            // framework's command routing did: it must never cross Qt's code.
            ShowMessage(error.what());
        }
        return;
    }
}

void CConverterDlg::paintEvent(QPaintEvent*)
{
    OnPaint();
}

void CConverterDlg::OnPaint()
{
    // Not minimised, the toolkit has already painted everything there is.
    if (!isMinimized())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int x = IconCentreOffset(width(), kIconSize);
    const int y = IconCentreOffset(height(), kIconSize);
    painter.drawPixmap(x, y, m_hIcon.pixmap(QSize(kIconSize, kIconSize)));
}

void CConverterDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                       (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!enter) {
        QDialog::keyPressEvent(event);  // Esc ends the dialog (IDCANCEL)
        return;
    }
    // Enter presses the focused push button; anywhere else it is IDOK, which
    // ends the dialog, since no button is the default.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
        button->click();
    else
        accept();
}

void CConverterDlg::closeEvent(QCloseEvent* event)
{
    // The close box, mid-batch before the progress dialog is up: the batch
    // ends only through Cancel or Esc there.
    if (m_progress) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool CConverterDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && watched == m_lstFiles->viewport()) {
        // Names too long for the list: the whole name on hovering.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QListWidgetItem* entry = m_lstFiles->itemAt(help->pos());
        if (entry)
            QToolTip::showText(help->globalPos(), entry->text(), m_lstFiles->viewport(),
                               m_lstFiles->visualItemRect(entry));
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Shortcut) {
        for (const DialogItem& item : m_items) {
            if (item.widget == watched && item.mnemonicTarget) {
                // A label's mnemonic only moves the focus; it presses nothing.
                item.mnemonicTarget->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CConverterDlg::OnBrowseFolder()
{
    // The chooser starts on the current folder; its field takes a typed path.
    FolderChooser chooser(this, QStringLiteral("select folder"), m_strFolder,
                          {HomeFolder(), m_startPlace.folder, m_chosenFolders});
    if (chooser.exec() != QDialog::Accepted)
        return;
    const std::string folder = chooser.ChosenFolder();
    if (folder.empty())
        return;
    m_chosenFolders = RememberChosen(std::move(m_chosenFolders), folder);
    m_strFolder = WithFolderSeparator(folder);
    ShowPathInLabel(*m_stcFolder, FileNameText(m_strFolder));
    OnRefresh();
}

void CConverterDlg::OnRefresh()
{
    m_names = ListCaptureNames(m_strFolder);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_names.size()));
    for (const std::string& name : m_names)
        texts << FileNameText(name);
    // One insertion for the whole folder, painted once.
    m_lstFiles->setUpdatesEnabled(false);
    m_lstFiles->clear();
    m_lstFiles->addItems(texts);
    m_lstFiles->setUpdatesEnabled(true);
}

void CConverterDlg::SelectNames(const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    const std::set<std::string> wanted(names.begin(), names.end());
    QItemSelection selection;
    for (std::size_t row = 0; row < m_names.size(); ++row) {
        if (wanted.count(m_names[row])) {
            const QModelIndex index = m_lstFiles->model()->index(static_cast<int>(row), 0);
            selection.select(index, index);
        }
    }
    m_lstFiles->selectionModel()->select(selection, QItemSelectionModel::Select);
}

void CConverterDlg::OnSelectAll()
{
    // One selection change for the whole list, not one per entry.
    m_lstFiles->selectAll();
}

void CConverterDlg::OnSelectNone()
{
    m_lstFiles->clearSelection();
}

void CConverterDlg::OnStartConversion()
{
    std::vector<std::string> selected;
    for (int row = 0; row < m_lstFiles->count(); ++row) {
        if (m_lstFiles->item(row)->isSelected())
            selected.push_back(m_names[static_cast<std::size_t>(row)]);
    }
    RunBatch(m_strFolder, selected, *this);
}

void CConverterDlg::BatchStarted(std::size_t fileCount)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progress = std::make_unique<BatchProgress>(*this, static_cast<int>(fileCount), m_progressTiming);
}

void CConverterDlg::FileStarted(std::size_t number, const std::string& name)
{
    m_progress->StartFile(static_cast<int>(number), FileNameText(name));
}

bool CConverterDlg::Cancelled() const
{
    return m_progress && m_progress->Cancelled();
}

void CConverterDlg::BatchEnded()
{
    m_progress.reset();
    QApplication::restoreOverrideCursor();
}

int CConverterDlg::ConvertCaptureFile(std::string path)
{
    return ::ConvertCaptureFile(std::move(path), *this);
}

bool CConverterDlg::OnProgress(std::uint64_t done, std::uint64_t total)
{
    return !m_progress || m_progress->Report(done, total);
}

void CConverterDlg::ShowMessage(const std::string& text)
{
    if (m_progress)
        m_progress->Hide();
    // Mid-batch the box gets the ordinary cursor back while it is up.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowApplicationMessage(text, this);
    if (busy)
        QApplication::restoreOverrideCursor();
}

void ShowApplicationMessage(const std::string& text, QWidget* owner)
{
    const QString caption = FileNameText(ApplicationName());
    QMessageBox box(QMessageBox::NoIcon, caption, FileNameText(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    // Wide enough for the caption, which window managers would otherwise cut short.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(caption) + kCaptionButtonsWidth;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
}
