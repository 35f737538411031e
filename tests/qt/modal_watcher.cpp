#include "modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>

ModalWatcher::ModalWatcher()
{
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::Poll);
    m_timer.start(5);
}

std::vector<QString> ModalWatcher::Texts() const
{
    std::vector<QString> texts;
    for (const SeenBox& box : boxes)
        texts.push_back(box.text);
    return texts;
}

void ModalWatcher::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_handled)
        return;
    // A batch's progress is left to run unless a test means to answer it.
    if (qobject_cast<QProgressDialog*>(modal) && m_answers.empty())
        return;
    m_handled = modal;

    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box) {
        const QCursor* cursor = QApplication::overrideCursor();
        boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                         box->parentWidget(), box->isModal(), cursor ? cursor->shape() : Qt::ArrowCursor});
    } else {
        otherModals.push_back(QString::fromLatin1(modal->metaObject()->className()));
    }

    if (!m_answers.empty()) {
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        answer(modal);
    } else if (box) {
        box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    }
}
