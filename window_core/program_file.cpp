#include "program_file.h"

#include "path_parts.h"

std::string ApplicationName()
{
    // Every message box's caption: read the program's path once.
    static const std::string name = BaseNameOf(ProgramFilePath());
    return name;
}
