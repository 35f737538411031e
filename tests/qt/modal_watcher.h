#pragma once

// Answers the modal windows a test makes the dialog open. A timer looks for
// QApplication::activeModalWidget() while the dialog's handler runs its
// nested event loop. Every message box is recorded; each modal window is
// handed to the next queued answer, and without one a message box gets its
// OK pressed and anything else but a batch's progress dialog is rejected, so
// no test ever hangs on a box.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QWidget* owner;
    bool modal;
    Qt::CursorShape cursor;  // the override cursor while it was up, or ArrowCursor without one
};

class ModalWatcher : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalWatcher();

    void Queue(Answer answer) { m_answers.push_back(std::move(answer)); }

    std::vector<SeenBox> boxes;       // message boxes, in order
    std::vector<QString> otherModals; // class names of other modal windows seen

    // The texts of the recorded message boxes.
    std::vector<QString> Texts() const;

private:
    void Poll();

    QTimer m_timer;
    QPointer<QWidget> m_handled;
    std::deque<Answer> m_answers;
};
