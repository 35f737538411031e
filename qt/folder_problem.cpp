#include "folder_problem.h"

#include "file_layer.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

std::string FolderProblem(const std::string& path)
{
    const std::string quoted = "\u201c" + path + "\u201d";
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return quoted + " does not exist.";
        return quoted + " cannot be read: " + file_layer::SystemErrorText(errno) + ".";
    }
    if (!S_ISDIR(info.st_mode))
        return quoted + " is not a folder.";
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return quoted + " cannot be read: " + file_layer::SystemErrorText(errno) + ".";
    ::closedir(dir);
    return "";
}
