#include "program_path.h"

#include <QCoreApplication>
#include <QFile>

#include <filesystem>
#include <system_error>

std::string ProgramFilePath()
{
    std::error_code error;
    const std::filesystem::path link = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        return link.string();
    // Without /proc, Qt falls back on argv[0].
    return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

std::string FolderOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

std::string ApplicationName()
{
    // Every message box's caption: read the program's path once.
    static const std::string name = BaseNameOfPath(ProgramFilePath());
    return name;
}
