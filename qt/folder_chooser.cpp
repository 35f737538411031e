#include "folder_chooser.h"

#include "file_name_text.h"
#include "folder_problem.h"
#include "path_parts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kWidthInChars = 76;
constexpr int kPlacesWidthInChars = 16;
constexpr int kListLines = 16;

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string Parent(const std::string& folder)
{
    const std::string parent = FolderOf(folder);
    return parent.size() > 1 ? parent.substr(0, parent.size() - 1) : std::string("/");
}

// The visible subfolders' names (links to folders included), in byte order.
std::vector<std::string> Subfolders(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::error_code statError;
        if (!name.empty() && name[0] != '.' && it->is_directory(statError))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

FolderChooser::FolderChooser(QWidget* parent, const QString& title, const std::string& startFolder,
                             const FolderPlaces& places)
    : QDialog(parent), m_edit(new QLineEdit(this)), m_message(new QLabel(this)), m_places(new QListWidget(this)),
      m_list(new QListWidget(this)), m_placeList(PlacesToOffer(places))
{
    setWindowTitle(title);
    m_edit->setObjectName(QStringLiteral("folderEdit"));
    m_message->setObjectName(QStringLiteral("folderMessage"));
    m_places->setObjectName(QStringLiteral("folderPlaces"));
    m_list->setObjectName(QStringLiteral("folderList"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->hide();
    m_places->setFixedWidth(fontMetrics().averageCharWidth() * kPlacesWidthInChars);
    m_places->setTextElideMode(Qt::ElideMiddle);
    for (const Place& place : m_placeList) {
        auto* item = new QListWidgetItem(FileNameText(place.label), m_places);
        item->setToolTip(FileNameText(place.folder));
        item->setIcon(style()->standardIcon(place.label == "Home" ? QStyle::SP_DirHomeIcon : QStyle::SP_DirIcon));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* folders = new QHBoxLayout;
    folders->addWidget(m_places);
    folders->addWidget(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(m_message);
    layout->addLayout(folders);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * kWidthInChars, fontMetrics().lineSpacing() * (kListLines + 6));

    connect(m_edit, &QLineEdit::textEdited, this, [this] { ShowProblem(""); });
    connect(m_places, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_places->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < m_placeList.size())
            Open(m_placeList[row].folder);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &FolderChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FolderChooser::reject);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        // Not once taken: hiding the chooser moves the focus, and a list that
        // gets it makes its first entry ("..") current.
        if (item && !m_taken)
            Choose(EntryPath(item));
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { Open(EntryPath(item)); });

    std::string start = fs::path(startFolder.empty() ? std::string("/") : startFolder).lexically_normal().string();
    if (start.size() > 1 && start.back() == '/')
        start.pop_back();
    while (start != "/" && !IsFolder(start))
        start = Parent(start);
    Open(start);
}

void FolderChooser::Open(const std::string& folder)
{
    m_current = folder;
    m_entries.clear();
    QStringList texts;
    if (folder != "/") {
        m_entries.push_back(Parent(folder));
        texts << QStringLiteral("..");
    }
    for (const std::string& name : Subfolders(folder)) {
        m_entries.push_back(JoinPath(folder, name));
        texts << FileNameText(name);
    }
    m_list->blockSignals(true);
    m_list->clear();
    m_list->addItems(texts);
    m_list->blockSignals(false);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 0; i < m_list->count(); ++i) {
        m_list->item(i)->setIcon(folderIcon);
        m_list->item(i)->setToolTip(m_list->item(i)->text());
    }
    Choose(folder);
    ShowProblem(FolderProblem(folder));
}

void FolderChooser::ShowProblem(const std::string& problem)
{
    m_message->setText(FileNameText(problem));
    m_message->setVisible(!problem.empty());
}

void FolderChooser::Choose(const std::string& folder)
{
    m_chosen = folder;
    m_chosenText = FileNameText(folder);
    m_edit->setText(m_chosenText);
}

std::string FolderChooser::EntryPath(const QListWidgetItem* item) const
{
    const int row = m_list->row(item);
    return row >= 0 && static_cast<std::size_t>(row) < m_entries.size() ? m_entries[row] : m_current;
}

void FolderChooser::accept()
{
    // A path typed into the field wins; relative ones start at the listed folder.
    const QString typed = m_edit->text();
    if (typed != m_chosenText) {
        std::string path = FileNameBytes(typed);
        if (path.empty() || path[0] != '/')
            path = JoinPath(m_current, path);
        path = fs::path(path).lexically_normal().string();
        if (path.size() > 1 && path.back() == '/')
            path.pop_back();
        m_chosen = path;
        m_chosenText = typed;
    }
    // Stays open on a path the window could not list, and says why.
    const std::string problem = FolderProblem(m_chosen);
    ShowProblem(problem);
    if (!problem.empty())
        return;
    m_taken = true;
    QDialog::accept();
}
