#include "test_files.h"

#include <algorithm>
#include <dirent.h>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <linux/fs.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error(what + " failed: " + path);
}

} // namespace

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dt2pcap-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        Fail("mkdtemp", pattern);
    m_path = pattern;
}

TempDir::~TempDir() { ::nftw(m_path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    ::unlink(path.c_str());
    WriteFileBytesAt(path, 0, bytes);
}

void WriteFileBytesAt(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        Fail("open", path);
    const bool ok = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                    static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok)
        Fail("write", path);
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> ListDir(const std::string& path)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        Fail("opendir", path);
    while (const struct dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void SetEnv(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }

void UnsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }

bool SetInodeFlag(const std::string& path, InodeFlag flag)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    long flags = flag == InodeFlag::Immutable ? FS_IMMUTABLE_FL : flag == InodeFlag::AppendOnly ? FS_APPEND_FL : 0;
    const bool done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

bool IsPosixSystem() { return true; }

bool RunningUnderWine() { return false; }

std::string PlatformZone(const std::string& zone) { return zone; }
