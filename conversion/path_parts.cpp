#include "path_parts.h"

std::string BaseNameOf(const std::string& path)
{
    const std::string name = path.substr(FolderOf(path).size());
    return name.substr(0, name.rfind('.'));
}
