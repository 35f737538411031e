#pragma once

// The converter window: the current folder, the ".DT" files in it, and the
// buttons that select them and convert the selected ones.

#include "dialog_builder.h"
#include "message_host.h"
#include "message_map.h"

#include <QDialog>
#include <QIcon>

#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class CConverterDlg : public QDialog, public MessageHost {
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
    int ConvertCaptureFile(std::string path);
    // A modal box on the dialog: the text, one OK button, no icon, the
    // application's name as caption.
    void ShowMessage(const std::string& text) override;

    // Dialog data.
    QPushButton* m_btnStartConversion = nullptr;
    QListWidget* m_lstFiles = nullptr;
    QLabel* m_stcFolder = nullptr;
    std::string m_strFolder;  // ends with '/' once set
    QIcon m_hIcon;

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static const MessageMapEntry messageEntries[];

    // Runs the handler the message map binds to `id`'s click.
    void OnCommand(int id);

    template <class Control>
    void DDX_Control(int id, Control*& member);

    std::vector<DialogItem> m_items;
};
