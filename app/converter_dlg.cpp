#include "converter_dlg.h"

#include "capture_listing.h"
#include "convert_capture_file.h"
#include "dialog_template.h"
#include "icon_position.h"
#include "program_path.h"
#include "resource.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QUrl>

#include <cassert>
#include <exception>

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

QString FromLocal(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The wait cursor while a batch runs, undone however the batch ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

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
    m_strFolder = FolderOfPath(ProgramFilePath());
    m_stcFolder->setText(FromLocal(m_strFolder));
    OnRefresh();
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
            // What a handler lets out (a failed write, whose text is the whole
            // message) is reported here, as the framework's command routing did;
            // it must never cross Qt's own code.
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

bool CConverterDlg::eventFilter(QObject* watched, QEvent* event)
{
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
    // The chooser starts on the folder the label shows. Qt's own chooser always
    // has the field where a path can be typed.
    QFileDialog chooser(this, QStringLiteral("select folder"), m_stcFolder->text());
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted)
        return;
    const QList<QUrl> chosen = chooser.selectedUrls();
    if (chosen.isEmpty() || !chosen.first().isLocalFile())
        return;
    std::string folder = QFile::encodeName(chosen.first().toLocalFile()).toStdString();
    if (folder.empty())
        return;
    if (folder.back() != '/')
        folder += '/';
    m_strFolder = folder;
    m_stcFolder->setText(FromLocal(m_strFolder));
    OnRefresh();
}

void CConverterDlg::OnRefresh()
{
    m_lstFiles->clear();
    for (const std::string& name : ListCaptureNames(m_strFolder)) {
        auto* entry = new QListWidgetItem(FromLocal(name));
        // The name's own bytes, which need not survive a round trip through the shown text.
        entry->setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        m_lstFiles->addItem(entry);
    }
}

void CConverterDlg::OnSelectAll()
{
    const int count = m_lstFiles->count();
    for (int i = 0; i < count; ++i)
        m_lstFiles->item(i)->setSelected(true);
}

void CConverterDlg::OnSelectNone()
{
    const int count = m_lstFiles->count();
    for (int i = 0; i < count; ++i)
        m_lstFiles->item(i)->setSelected(false);
}

void CConverterDlg::OnStartConversion()
{
    const int count = m_lstFiles->count();
    int index = 0;
    {
        BusyCursor busy;
        for (; index < count; ++index) {
            const QListWidgetItem* entry = m_lstFiles->item(index);
            if (!entry->isSelected())
                continue;
            if (ConvertCaptureFile(m_strFolder + entry->data(Qt::UserRole).toByteArray().toStdString()) == -1)
                break;
        }
    }
    if (index == count)
        ShowMessage("Done.");
}

int CConverterDlg::ConvertCaptureFile(std::string path)
{
    return ::ConvertCaptureFile(std::move(path), *this);
}

void CConverterDlg::ShowMessage(const std::string& text)
{
    // Mid-batch the box gets the ordinary cursor back while it is up.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString caption = FromLocal(ApplicationName());
    QMessageBox box(QMessageBox::NoIcon, caption, FromLocal(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    // Wide enough for the caption, which window managers would otherwise cut short.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(caption) + kCaptionButtonsWidth;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
}
