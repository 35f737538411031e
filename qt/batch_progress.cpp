#include "batch_progress.h"

#include <QApplication>
#include <QFontMetrics>
#include <QProgressDialog>

#include <algorithm>

namespace {

constexpr int kBarSteps = 1000;        // per file
constexpr int kNameWidthInChars = 48;  // longer names are elided in the middle

} // namespace

BatchProgress::BatchProgress(QWidget& owner, int fileCount, ProgressTiming timing)
    : m_owner(owner), m_fileCount(fileCount), m_timing(timing)
{
    m_sinceStart.start();
    m_sinceEvents.start();
}

BatchProgress::~BatchProgress()
{
    delete m_dialog.data();
}

void BatchProgress::StartFile(int number, const QString& name)
{
    m_number = number;
    m_name = name;
}

bool BatchProgress::Report(std::uint64_t done, std::uint64_t total)
{
    if (m_cancelled || m_hidden || m_sinceEvents.elapsed() < m_timing.eventIntervalMs)
        return !m_cancelled;
    if (!m_dialog && m_sinceStart.elapsed() >= m_timing.showAfterMs)
        Show();
    if (m_dialog)
        Update(done, total);
    // Until the modal dialog is up, clicks and keys wait: nothing may re-enter
    // the dialog's handlers while a batch runs.
    QApplication::processEvents(m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_sinceEvents.restart();
    return !m_cancelled;
}

void BatchProgress::Hide()
{
    m_hidden = true;
    if (m_dialog)
        m_dialog->hide();
}

void BatchProgress::Show()
{
    auto* dialog = new QProgressDialog(&m_owner);
    dialog->setWindowTitle(m_owner.windowTitle());
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setRange(0, m_fileCount * kBarSteps);
    dialog->setMinimumWidth(dialog->fontMetrics().averageCharWidth() * (kNameWidthInChars + 8));
    // Cancel, Esc and the close box all end the batch.
    QObject::connect(dialog, &QProgressDialog::canceled, [this] { m_cancelled = true; });
    QObject::connect(dialog, &QDialog::rejected, [this] { m_cancelled = true; });
    m_dialog = dialog;
    Update(0, 1);
    dialog->show();
}

void BatchProgress::Update(std::uint64_t done, std::uint64_t total)
{
    const QFontMetrics metrics = m_dialog->fontMetrics();
    const QString name =
        metrics.elidedText(m_name, Qt::ElideMiddle, metrics.averageCharWidth() * kNameWidthInChars);
    m_dialog->setLabelText(QStringLiteral("Converting %1 of %2\n%3").arg(m_number).arg(m_fileCount).arg(name));
    const std::uint64_t share = total == 0 ? kBarSteps : std::min<std::uint64_t>(done * kBarSteps / total, kBarSteps);
    m_dialog->setValue((m_number - 1) * kBarSteps + static_cast<int>(share));
}
