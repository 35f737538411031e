#include "path_parts.h"

std::string BaseNameOf(const std::string& path)
{
    const std::string name = FileNameOf(path);
    return name.substr(0, name.rfind('.'));
}
