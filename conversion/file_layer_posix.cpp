// The file layer on POSIX systems: descriptors, pread and write, and the
// replacement of the output through an unnamed file (O_TMPFILE) where the file
// system has them, else through a hidden file of a unique name.

#include "file_layer.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace file_layer {

namespace {

// The temporary name a signal handler must remove: set while a hidden file of
// ours exists under a name, null otherwise. One conversion at a time.
std::atomic<const char*> g_unfinishedName{nullptr};

int Descriptor(Handle handle) { return static_cast<int>(handle); }

FileId IdOf(const struct stat& info)
{
    FileId id;
    id.volume = static_cast<std::uint64_t>(info.st_dev);
    id.index = static_cast<std::uint64_t>(info.st_ino);
    return id;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// "<folder>/.<name>.<random>": hidden, beside the final name, never a name a
// user or another run would pick.
std::string HiddenNameFor(const std::string& finalPath)
{
    static std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::size_t slash = finalPath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string base = finalPath.substr(nameStart);
    if (base.size() > 200)
        base = "pcap";  // the hidden name must stay within the file system's 255 bytes
    std::string name = finalPath.substr(0, nameStart) + "." + base + ".";
    std::uint64_t bits = generator();
    for (int i = 0; i < 10; ++i, bits /= 36)
        name += kDigits[bits % 36];
    return name;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Gives an unnamed file the hidden name `name`.
bool LinkUnnamed(int fd, const std::string& name)
{
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)
        return true;
    // Without the privilege AT_EMPTY_PATH needs, through /proc.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

} // namespace

const char kPathSeparators[] = "/";

std::string LastErrorText() { return std::strerror(errno); }

bool OpenForReading(const std::string& path, Handle& handle, FileId& id, std::uint64_t& size)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; for a regular
    // file it changes nothing.
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return false;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    handle = fd;
    id = IdOf(info);
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::int64_t ReadAt(Handle handle, void* buffer, std::size_t count, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX) - count)
        return 0;  // beyond any offset a file can have
    for (;;) {
        const ssize_t got = ::pread(Descriptor(handle), buffer, count, static_cast<off_t>(offset));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

void Close(Handle handle)
{
    if (handle != kNoHandle)
        ::close(Descriptor(handle));
}

Handle StandardOutput() { return STDOUT_FILENO; }

bool IdentifyHandle(Handle handle, FileId& id)
{
    struct stat info;
    if (::fstat(Descriptor(handle), &info) != 0)
        return false;
    id = IdOf(info);
    return true;
}

bool WriteAll(Handle handle, const void* data, std::size_t count)
{
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t done = ::write(Descriptor(handle), bytes, count);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
    return true;
}

bool Replacement::Create(const std::string& finalPath, const FileId& input, std::string& reason)
{
    Discard();
    const auto refuse = [&](const char* why) {
        reason = why;
        return false;
    };

    // What stands at the final name now decides whether it may be replaced.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat info;
    if (::lstat(finalPath.c_str(), &info) == 0) {
        struct stat target;
        if (::stat(finalPath.c_str(), &target) == 0 && IdOf(target) == input)
            return refuse(kOutputIsTheInput);
        if (S_ISDIR(info.st_mode))
            return refuse(std::strerror(EISDIR));
        if (S_ISREG(info.st_mode)) {
            // Read-only means read-only, also for an administrator.
            if ((info.st_mode & 0222) == 0)
                return refuse(std::strerror(EACCES));
            mode = info.st_mode & 07777;
            keepMode = true;
        } else if (!S_ISLNK(info.st_mode)) {
            return refuse("not a regular file");
        }
    } else if (errno != ENOENT) {
        return refuse(std::strerror(errno));
    }

    const std::string folder = FolderOf(finalPath);
    int fd = OpenRetrying(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files on this file system: a hidden name of our own.
        m_tempPath = HiddenNameFor(finalPath);
        g_unfinishedName.store(m_tempPath.c_str());
        fd = OpenRetrying(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            g_unfinishedName.store(nullptr);
            m_tempPath.clear();
        }
    }
    if (fd < 0)
        return refuse(std::strerror(errno));
    // A replaced file keeps its permissions.
    if (keepMode)
        ::fchmod(fd, mode);
    m_handle = fd;
    m_finalPath = finalPath;
    return true;
}

bool Replacement::Commit()
{
    if (m_handle == kNoHandle) {
        errno = EBADF;
        return false;
    }
    const int fd = Descriptor(m_handle);
    bool ok = true;
    int error = 0;
    if (m_tempPath.empty()) {
        // Unnamed: give it a hidden name first, since linking cannot replace.
        m_tempPath = HiddenNameFor(m_finalPath);
        g_unfinishedName.store(m_tempPath.c_str());
        if (!LinkUnnamed(fd, m_tempPath)) {
            ok = false;
            error = errno;
            g_unfinishedName.store(nullptr);
            m_tempPath.clear();
        }
    }
    // Some file systems report a failed write only at close.
    m_handle = kNoHandle;
    if (::close(fd) != 0 && errno != EINTR && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(m_tempPath.c_str(), m_finalPath.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) {
        g_unfinishedName.store(nullptr);
        m_tempPath.clear();
    }
    Discard();
    errno = error;
    return ok;
}

void Replacement::Discard()
{
    if (m_handle != kNoHandle) {
        ::close(Descriptor(m_handle));
        m_handle = kNoHandle;
    }
    if (!m_tempPath.empty()) {
        g_unfinishedName.store(nullptr);
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

void RemoveUnfinishedFiles()
{
    // An unnamed file needs nothing: it vanishes with the process.
    if (const char* name = g_unfinishedName.load())
        ::unlink(name);
}

} // namespace file_layer
