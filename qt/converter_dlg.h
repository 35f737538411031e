#pragma once

// The converter window: the current folder, the ".DT" files in it, and the
// buttons that select them and convert the selected ones.

#include "batch.h"
#include "batch_progress.h"
#include "dialog_builder.h"
#include "message_map.h"
#include "start_place.h"

#include <QDialog>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class CConverterDlg : public QDialog, public BatchHost {
    Q_OBJECT

public:
    explicit CConverterDlg(QWidget* parent = nullptr);
    ~CConverterDlg() override;

    // Creates the controls from the template and initialises the dialog,
    // without running it (the modeless way).
    bool Create();
    // Creates the dialog and runs it until it ends; returns how it ended.
    int DoModal();

    // The control created for `id`; null for an unknown id.
    QWidget* GetDlgItem(int id) const;

    // Converts one capture with this dialog as the owner of its message box.
    int ConvertCaptureFile(std::string path) override;
    // A modal box on the dialog (ShowApplicationMessage).
    void ShowMessage(const std::string& text) override;
    // Shows how far the batch is and lets the event loop run now and then;
    // false once the user has cancelled the batch.
    bool OnProgress(std::uint64_t done, std::uint64_t total) override;

    // The batch's side in this window: the wait cursor and the progress dialog.
    void BatchStarted(std::size_t fileCount) override;
    void FileStarted(std::size_t number, const std::string& name) override;
    bool Cancelled() const override;
    void BatchEnded() override;

    // Where OnInitDialog opens; without it, the program's own folder.
    void SetStartPlace(StartPlace place) { m_startPlace = std::move(place); }

    // Dialog data.
    QPushButton* m_btnStartConversion = nullptr;
    QListWidget* m_lstFiles = nullptr;
    QLabel* m_stcFolder = nullptr;
    std::string m_strFolder;  // ends with '/' once set
    QIcon m_hIcon;
    ProgressTiming m_progressTiming;

protected:
    void DoDataExchange();
    bool OnInitDialog();

    void OnPaint();
    void OnBrowseFolder();
    void OnRefresh();
    void OnSelectAll();
    void OnSelectNone();
    void OnStartConversion();

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static const MessageMapEntry messageEntries[];

    // Selects the entries with these names, in one selection change.
    void SelectNames(const std::vector<std::string>& names);
    // Runs the handler the message map binds to `id`'s click.
    void OnCommand(int id);

    template <class Control>
    void DDX_Control(int id, Control*& member);

    // The list entries' names as the folder holds them, row by row: the shown
    // text need not survive a round trip to bytes.
    std::vector<std::string> m_names;
    StartPlace m_startPlace;
    std::vector<std::string> m_chosenFolders;  // by "...", most recent first
    std::unique_ptr<BatchProgress> m_progress;  // while a batch runs
    std::vector<DialogItem> m_items;
};

// A modal box as the dialog shows them: the text, one OK button, no icon, the
// application's name as caption; over `owner`, or on its own without one.
void ShowApplicationMessage(const std::string& text, QWidget* owner);
