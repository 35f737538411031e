#include "start_place_posix.h"

#include "file_layer.h"
#include "path_parts.h"
#include "program_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Absolute and without "." or ".." steps, but links kept as they are: a folder
// reached through a link is shown by the name the user gave.
std::string AbsolutePath(const std::string& path, const std::string& workingFolder)
{
    std::string absolute = !path.empty() && path[0] == '/' ? path : workingFolder + path;
    absolute = fs::path(absolute).lexically_normal().string();
    while (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    return absolute;
}

bool IsExecutableFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

class PosixPlaces final : public PlaceSystem {
public:
    explicit PosixPlaces(std::string workingFolder) : m_workingFolder(std::move(workingFolder)) {}

    std::string Absolute(const std::string& path) const override { return AbsolutePath(path, m_workingFolder); }
    bool IsFolder(const std::string& path) const override
    {
        std::error_code error;
        return fs::is_directory(path, error);
    }
    std::string WhyNotAFile(const std::string& path) const override
    {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0)
            return file_layer::SystemErrorText(errno);
        return S_ISREG(info.st_mode) ? std::string() : std::string(kNotAFile);
    }
    bool SameFolder(const std::string& a, const std::string& b) const override { return a == b; }
    std::string FolderWithoutArguments(const std::string& programFolder) const override
    {
        return programFolder.empty() || IsSystemProgramFolder(programFolder) ? m_workingFolder : programFolder;
    }

private:
    std::string m_workingFolder;
};

// The working folder, ending with '/'.
std::string WorkingFolder()
{
    std::error_code error;
    const fs::path working = fs::current_path(error);
    return error ? std::string("/") : WithFolderSeparator(working.string());
}

} // namespace

std::string StartedProgramPath(const std::string& argv0, const std::string& searchPath,
                               const std::string& workingFolder)
{
    if (argv0.empty())
        return std::string();
    if (argv0.find('/') != std::string::npos)
        return AbsolutePath(argv0, workingFolder);
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = searchPath.find(':', start);
        const std::string folder = searchPath.substr(start, colon == std::string::npos ? colon : colon - start);
        const std::string candidate = JoinPath(folder.empty() ? std::string(".") : folder, argv0);
        if (IsExecutableFile(candidate))
            return AbsolutePath(candidate, workingFolder);
        if (colon == std::string::npos)
            return std::string();
        start = colon + 1;
    }
}

bool IsSystemProgramFolder(const std::string& folder)
{
    static const char* const kSystemFolders[] = {"/bin",           "/sbin",           "/usr/bin",   "/usr/sbin",
                                                 "/usr/local/bin", "/usr/local/sbin", "/usr/games", "/usr/local/games"};
    const std::string given = AbsolutePath(folder, "/");
    std::error_code error;
    const fs::path real = fs::weakly_canonical(given, error);
    for (const char* system : kSystemFolders) {
        if (given == system)
            return true;
        // /bin is a link to /usr/bin on merged systems; a link of one's own may lead there too.
        std::error_code systemError;
        const fs::path realSystem = fs::weakly_canonical(system, systemError);
        if (!error && !systemError && real == realSystem)
            return true;
    }
    return false;
}

StartPlace ChooseStartPlace(const std::vector<std::string>& arguments, const std::string& startedProgram,
                            const std::string& workingFolder)
{
    return ChooseStartPlace(arguments, startedProgram, PosixPlaces(workingFolder));
}

StartPlace StartPlaceFor(const std::vector<std::string>& commandLine)
{
    const char* searchPath = std::getenv("PATH");
    const std::string working = WorkingFolder();
    std::string started =
        commandLine.empty() ? std::string() : StartedProgramPath(commandLine[0], searchPath ? searchPath : "", working);
    if (started.empty())
        started = ProgramFilePath();
    const std::vector<std::string> arguments(commandLine.empty() ? commandLine.end() : commandLine.begin() + 1,
                                             commandLine.end());
    return ChooseStartPlace(ReadWindowArguments(arguments), started, PosixPlaces(working));
}
