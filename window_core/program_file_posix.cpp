#include "program_file.h"

#include <filesystem>
#include <system_error>

std::string ProgramFilePath()
{
    std::error_code error;
    const std::filesystem::path link = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : link.string();
}
