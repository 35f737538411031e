#pragma once

// What a running batch shows, on the one user-interface thread: after a short
// while a modal progress dialog (file i of n, its name, a bar, Cancel), and
// from the conversion's progress reports the event loop runs now and then, so
// the window keeps painting and answering the window manager.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <cstdint>

class QProgressDialog;
class QWidget;

struct ProgressTiming {
    int showAfterMs = 500;      // short batches never show the dialog
    int eventIntervalMs = 50;   // well within a window manager's ping timeout
};

class BatchProgress {
public:
    BatchProgress(QWidget& owner, int fileCount, ProgressTiming timing);
    ~BatchProgress();
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    // `number` counts from 1.
    void StartFile(int number, const QString& name);
    // The current file's bytes done out of `total`. Returns false once the
    // user has cancelled.
    bool Report(std::uint64_t done, std::uint64_t total);
    // Out of the way of a message box.
    void Hide();
    bool Cancelled() const { return m_cancelled; }

private:
    void Show();
    void Update(std::uint64_t done, std::uint64_t total);

    QWidget& m_owner;
    const int m_fileCount;
    const ProgressTiming m_timing;
    int m_number = 0;
    QString m_name;
    bool m_cancelled = false;
    bool m_hidden = false;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceEvents;
    QPointer<QProgressDialog> m_dialog;
};
