#pragma once

// The folder chooser behind "...": the subfolders of one folder (double-click
// opens one, ".." goes up), places to jump to (home, the start folder, the
// folders chosen before), a field where a path can be typed, OK and Cancel.
// A path that is no folder it can list is named in a message under the
// field, and the chooser stays open.
// It works on the names' own bytes, so folders whose names are not valid
// UTF-8, which Qt's own chooser hides, are listed and can be chosen.

#include "folder_places.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

class FolderChooser : public QDialog {
public:
    // Starts on `startFolder`, or on the nearest folder above it that exists.
    FolderChooser(QWidget* parent, const QString& title, const std::string& startFolder,
                  const FolderPlaces& places = {});

    // The folder listed now, and the one OK takes (without a trailing '/',
    // except the root).
    const std::string& CurrentFolder() const { return m_current; }
    const std::string& ChosenFolder() const { return m_chosen; }

    void accept() override;

private:
    void Open(const std::string& folder);
    void Choose(const std::string& folder);
    std::string EntryPath(const QListWidgetItem* item) const;
    // Shows `problem` under the field; an empty one hides the message.
    void ShowProblem(const std::string& problem);

    QLineEdit* m_edit;
    QLabel* m_message;
    QListWidget* m_places;
    QListWidget* m_list;
    std::string m_current;
    std::string m_chosen;
    QString m_chosenText;                // what the field shows for m_chosen
    bool m_taken = false;                // OK has taken m_chosen
    std::vector<std::string> m_entries;  // each row's path, ".." first below the root
    std::vector<Place> m_placeList;      // each row of m_places
};
