#pragma once

// The folder chooser behind "...": the subfolders of one folder (double-click
// opens one, ".." goes up), a field where a path can be typed, OK and Cancel.
// It works on the names' own bytes, so folders whose names are not valid
// UTF-8, which Qt's own chooser hides, are listed and can be chosen.

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

class FolderChooser : public QDialog {
public:
    // Starts on `startFolder`, or on the nearest folder above it that exists.
    FolderChooser(QWidget* parent, const QString& title, const std::string& startFolder);

    // The folder listed now, and the one OK takes (without a trailing '/',
    // except the root).
    const std::string& CurrentFolder() const { return m_current; }
    const std::string& ChosenFolder() const { return m_chosen; }

    void accept() override;

private:
    void Open(const std::string& folder);
    void Choose(const std::string& folder);
    std::string EntryPath(const QListWidgetItem* item) const;

    QLineEdit* m_edit;
    QListWidget* m_list;
    std::string m_current;
    std::string m_chosen;
    QString m_chosenText;                // what the field shows for m_chosen
    std::vector<std::string> m_entries;  // each row's path, ".." first below the root
};
