// The file layer on Linux: descriptors, pread and write, and the replacement
// of the output through an unnamed file (O_TMPFILE) where the file system has
// them, else through a hidden file beside the output. Linux's own calls are
// used where they make the replacement safe or fast: O_TMPFILE, O_PATH,
// linkat with AT_EMPTY_PATH, sync_file_range, the inode flags of linux/fs.h,
// open file description locks, and /proc/self.

#include "file_layer.h"

#include "path_parts.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <locale.h>
#include <random>
#include <sys/ioctl.h>
#include <system_error>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace file_layer {

namespace {

// A system call the kernel interrupted for a signal is made again.
template <class Call>
auto RetryOnInterrupt(Call call) -> decltype(call())
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// A descriptor of our own, closed when it goes, without touching errno (the
// reason of a failure is often read after the descriptors are let go).
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : m_fd(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0) {
            const int error = errno;
            ::close(m_fd);
            errno = error;
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

Fd OpenAt(int folder, const char* path, int flags, mode_t mode = 0)
{
    return Fd(RetryOnInterrupt([&] { return ::openat(folder, path, flags, mode); }));
}

// The temporary name a signal handler must remove, relative to its folder's
// descriptor: set while a hidden file of ours exists under a name, null
// otherwise. One conversion at a time.
std::atomic<int> g_unfinishedFolder{-1};
std::atomic<const char*> g_unfinishedName{nullptr};

// Our own reasons, kept in errno like the system's, beyond its numbers.
enum OwnReason { kIsTheInput = 0x10001, kIsACapture, kIsNotAFile };

// Whether the failure of the last Commit on this thread concerns the name.
thread_local bool g_failureConcernsTheName = false;

// Set by tests to take the route of file systems without unnamed files.
std::atomic<bool> g_hiddenFilesOnly{false};

// Data of a replacement are sent on to the disk in steps of this size, with at
// most kWriteBackDepth steps under way: the writer keeps pace with the disk
// without waiting for each step, and the final flush waits for those alone.
constexpr std::uint64_t kWriteBackStep = 8u << 20;
constexpr std::uint64_t kWriteBackDepth = 4;

int Descriptor(Handle handle) { return static_cast<int>(handle); }

FileId IdOf(const struct stat& info)
{
    FileId id;
    id.volume = static_cast<std::uint64_t>(info.st_dev);
    id.index = static_cast<std::uint64_t>(info.st_ino);
    return id;
}

// The folder to open for `path`: its folder part, or the working folder.
std::string FolderToOpen(const std::string& path)
{
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// Hidden names of our temporary files: ".<name>.<ten letters or digits>",
// beside the final name. The first kHiddenSlots names of a final name are
// derived from it, so that a later run can find what a killed one left
// behind without reading the folder; past them (as many runs at once on one
// name), random ones.
constexpr unsigned kHiddenSlots = 16;

std::string HiddenName(const std::string& finalName, std::uint64_t bits)
{
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    // The hidden name must stay within the file system's 255 bytes.
    std::string name = "." + (finalName.size() > 200 ? std::string("pcap") : finalName) + ".";
    for (int i = 0; i < 10; ++i, bits /= 36)
        name += kDigits[bits % 36];
    return name;
}

// The hidden name of `slot` for `finalName`: 64-bit FNV-1a of both, which no
// user and no other final name picks by chance.
std::string HiddenSlotName(const std::string& finalName, unsigned slot)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 0x100000001b3u; };
    for (const char c : finalName)
        mix(static_cast<unsigned char>(c));
    mix(0);
    mix(static_cast<unsigned char>(slot));
    return HiddenName(finalName, hash);
}

std::string RandomHiddenName(const std::string& finalName)
{
    static std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    return HiddenName(finalName, generator());
}

void RememberUnfinished(int folder, const char* name)
{
    g_unfinishedFolder.store(folder);
    g_unfinishedName.store(name);
}

void ForgetUnfinished() { g_unfinishedName.store(nullptr); }

// A write lock on the whole of an open file, held by its open file
// description until that is closed: a live writer's claim on its hidden
// file. False with EAGAIN when another holds it.
bool LockWhole(int fd)
{
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return RetryOnInterrupt([&] { return ::fcntl(fd, F_OFD_SETLK, &whole); }) == 0;
}

// Whether `name` in `folder` is still the file `fd` has open.
bool StillNamed(int folder, const std::string& name, int fd)
{
    struct stat named, open;
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           IdOf(named) == IdOf(open);
}

// Removes the hidden files a killed run left for `finalName` in `folder`:
// ours by their derived names and owner, abandoned since no writer holds
// their lock. A writer locks its file as soon as it creates it and then makes
// sure that it still has its name, so one that loses the race to this
// cleaning starts again under another name.
void RemoveAbandonedHiddenFiles(int folder, const std::string& finalName)
{
    for (unsigned slot = 0; slot < kHiddenSlots; ++slot) {
        const std::string name = HiddenSlotName(finalName, slot);
        const Fd file = OpenAt(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat info;
        if (!file || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        if (LockWhole(file.Get()) && StillNamed(folder, name, file.Get()))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

// Creates a hidden file for `finalName` in `folder`, private and locked, and
// gives its name; the lock lasts while any duplicate of the descriptor is
// open. Stale files of ours are removed first.
Fd CreateHiddenFile(int folder, const std::string& finalName, std::string& hiddenName)
{
    RemoveAbandonedHiddenFiles(folder, finalName);
    for (unsigned attempt = 0;; ++attempt) {
        std::string name = attempt < kHiddenSlots ? HiddenSlotName(finalName, attempt) : RandomHiddenName(finalName);
        Fd fd = OpenAt(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (!fd) {
            if (errno == EEXIST && attempt < kHiddenSlots + 100)
                continue;  // another run's, live or being cleaned
            return fd;
        }
        // Without locks on this file system the file cannot be told live or
        // abandoned: no cleaning touches it then, as it cannot lock it either.
        const bool locked = LockWhole(fd.Get()) || (errno != EAGAIN && errno != EACCES);
        if (locked && StillNamed(folder, name, fd.Get())) {
            hiddenName = std::move(name);
            return fd;
        }
        // A cleaning run took it for an abandoned one: it is, or will be, gone.
    }
}

// Gives an unnamed file the hidden name `name` in `folder`.
bool LinkUnnamed(int fd, int folder, const std::string& name)
{
    if (::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0)
        return true;
    // Without the privilege AT_EMPTY_PATH needs, through /proc.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// The permissions a new file gets: 0666 less the process's umask, read
// without changing it (other threads may be creating files).
mode_t NewFileMode()
{
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return 0666 & ~static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

// The inode flags (immutable, append-only) of what `path` names in `folder`;
// 0 where they cannot be read.
long InodeFlags(int folder, const char* path)
{
    const Fd fd = OpenAt(folder, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
    long flags = 0;
    if (!fd || ::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags) != 0)
        flags = 0;
    return flags;
}

// Whether `name` in `folder` is a mount point: on another file system, or
// bound onto the name from elsewhere on the same one.
bool IsMountPoint(int folder, const char* name, const struct stat& entry, const struct stat& folderInfo)
{
    if (entry.st_dev != folderInfo.st_dev)
        return true;
#ifdef STATX_MNT_ID
    struct statx entryX, folderX;
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &entryX) == 0 &&
        ::statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &folderX) == 0 && (entryX.stx_mask & STATX_MNT_ID) &&
        (folderX.stx_mask & STATX_MNT_ID))
        return entryX.stx_mnt_id != folderX.stx_mnt_id;
#else
    (void)folder;
    (void)name;
#endif
    return false;
}

// Files at least this large are let go of on a thread of their own: freeing a
// gigabyte's cached pages and blocks takes a good part of a second, which a
// window must not spend waiting.
constexpr std::uint64_t kReleaseInBackground = 64u << 20;

void Release(int fd, std::uint64_t size)
{
    if (size >= kReleaseInBackground) {
        try {
            std::thread([fd] { ::close(fd); }).detach();
            return;
        } catch (const std::system_error&) {
            // No thread to be had: close it here.
        }
    }
    ::close(fd);
}

// Errors of a link or rename that concern this one name, not the disk.
bool ConcernsTheName(int error)
{
    switch (error) {
    case EPERM: case EACCES: case EBUSY: case EXDEV: case ENAMETOOLONG: case EROFS:
    case EISDIR: case ENOTDIR: case ENOTEMPTY: case EEXIST: case EMLINK: case ELOOP: case EINVAL:
        return true;
    default:
        return false;
    }
}

} // namespace

const char kPathSeparators[] = "/";

std::string SystemErrorText(int error)
{
    // The "C" locale's words, which are the system's own: a window whose
    // toolkit took the desktop's locale would otherwise get them translated
    // into the middle of an English message.
    static const locale_t untranslated = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
    if (untranslated != locale_t(0))
        return ::strerror_l(error, untranslated);
    return std::strerror(error);
}

std::string LastErrorText()
{
    const int error = errno;
    switch (error) {
    case kIsTheInput: return kOutputIsTheInput;
    case kIsACapture: return kOutputIsACapture;
    case kIsNotAFile: return kOutputIsNotAFile;
    default: return SystemErrorText(error);
    }
}

bool LastErrorConcernsTheName() { return g_failureConcernsTheName; }

bool OpenForReading(const std::string& path, Handle& handle, FileId& id, std::uint64_t& size)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; for a regular
    // file it changes nothing.
    Fd fd = OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (!fd)
        return false;
    struct stat info;
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return false;
    }
    ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    handle = fd.Release();
    id = IdOf(info);
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::int64_t ReadAt(Handle handle, void* buffer, std::size_t count, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX) - count)
        return 0;  // beyond any offset a file can have
    return RetryOnInterrupt(
        [&] { return ::pread(Descriptor(handle), buffer, count, static_cast<off_t>(offset)); });
}

std::int64_t CurrentSize(Handle handle)
{
    struct stat info;
    return ::fstat(Descriptor(handle), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

void Close(Handle handle)
{
    if (handle != kNoHandle)
        ::close(Descriptor(handle));
}

void UseHiddenTemporaryFilesOnly(bool only) { g_hiddenFilesOnly.store(only); }

namespace {

bool WriteAll(int fd, const void* data, std::size_t count)
{
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t done = RetryOnInterrupt([&] { return ::write(fd, bytes, count); });
        if (done < 0)
            return false;
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
    return true;
}

std::size_t ReadStart(int fd, void* buffer, std::size_t count)
{
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    const ssize_t got = RetryOnInterrupt([&] { return ::pread(fd, buffer, count, 0); });
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t ReadStartOfFile(const std::string& path, void* buffer, std::size_t count)
{
    const Fd fd = OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    return fd ? ReadStart(fd.Get(), buffer, count) : 0;
}

std::size_t ReadStartOfDescriptor(int fd, void* buffer, std::size_t count)
{
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    if (const std::size_t got = ReadStart(fd, buffer, count))
        return got;
    // Opened for writing only: read the same file through another descriptor.
    return ReadStartOfFile("/proc/self/fd/" + std::to_string(fd), buffer, count);
}

// Whether the file open at `fd` starts with what `keep` protects.
bool StartsProtected(int fd, const Protected& keep)
{
    std::string start(keep.headerSize, '\0');
    return keep.headerSize != 0 && ReadStartOfDescriptor(fd, &start[0], start.size()) == start.size() &&
           std::memcmp(start.data(), keep.header, start.size()) == 0;
}

// What stands at `name` in `folder` now, and whether it may be replaced: not
// what `keep` protects, a regular file or a link to one, writable (read-only
// means read-only, also for an administrator), and one the system would let
// us rename over at the end. Fills `state` and the permissions the new file
// is to have; false with errno saying why otherwise.
bool JudgeFinalName(int folder, const std::string& name, const Protected& keep, Replacement::Replaced& state,
                    mode_t& mode)
{
    const auto refuse = [](int reason) {
        errno = reason;
        return false;
    };
    struct stat folderInfo;
    if (::fstat(folder, &folderInfo) != 0)
        return false;
    mode = NewFileMode();
    struct stat info;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        struct stat target;
        const bool reachable = ::fstatat(folder, name.c_str(), &target, 0) == 0;
        if (reachable && IdOf(target) == keep.input)
            return refuse(kIsTheInput);
        // A link is judged by what it leads to: one to a device or a pipe
        // (/dev/stdout) is not ours to replace by a file.
        const struct stat& judged = S_ISLNK(info.st_mode) && reachable ? target : info;
        if (S_ISDIR(judged.st_mode))
            return refuse(EISDIR);
        if (!S_ISREG(judged.st_mode) && !S_ISLNK(judged.st_mode))
            return refuse(kIsNotAFile);
        if (S_ISREG(info.st_mode)) {
            if ((info.st_mode & 0222) == 0)
                return refuse(EACCES);
            if (InodeFlags(folder, name.c_str()) & (FS_IMMUTABLE_FL | FS_APPEND_FL))
                return refuse(EPERM);
            // Its permissions carry over, its special bits never.
            mode = info.st_mode & 0777;
        }
        // A mount point cannot be renamed over.
        if (IsMountPoint(folder, name.c_str(), info, folderInfo))
            return refuse(EBUSY);
        // In a sticky folder only the owner of a file, or of the folder, may replace it.
        const uid_t self = ::geteuid();
        if ((folderInfo.st_mode & S_ISVTX) && self != 0 && info.st_uid != self && folderInfo.st_uid != self)
            return refuse(EPERM);
        if (reachable && S_ISREG(target.st_mode)) {
            const Fd existing = OpenAt(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (existing && StartsProtected(existing.Get(), keep))
                return refuse(kIsACapture);
        }
        state.any = true;
        state.durable = !(S_ISREG(info.st_mode) && info.st_size == 0);
        state.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    } else if (errno != ENOENT) {
        return false;
    }
    // A folder that only grows, or never changes, would keep our temporary file.
    if (InodeFlags(folder, ".") & (FS_IMMUTABLE_FL | FS_APPEND_FL))
        return refuse(EPERM);
    return true;
}

} // namespace

bool Replacement::Create(const std::string& finalPath, const Protected& keep)
{
    Discard();
    // Everything below names the file relative to its folder, held open, so
    // a hidden name longer than the final one never runs past the path limit.
    Fd folder = OpenAt(AT_FDCWD, FolderToOpen(finalPath).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (!folder)
        return false;
    const std::string name = FileNameOf(finalPath);
    Replaced state;
    mode_t mode = 0;
    if (!JudgeFinalName(folder.Get(), name, keep, state, mode))
        return false;

    // Private (0600) from its first moment.
    Fd file;
    if (!g_hiddenFilesOnly.load())
        file = OpenAt(folder.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    else
        errno = EOPNOTSUPP;
    Fd claim;
    if (!file && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files on this file system: a hidden name of our own,
        // locked while we live through a descriptor kept until the end.
        file = CreateHiddenFile(folder.Get(), name, m_tempPath);
        if (file) {
            claim = Fd(::fcntl(file.Get(), F_DUPFD_CLOEXEC, 0));
            RememberUnfinished(folder.Get(), m_tempPath.c_str());
        }
    }
    if (!file)
        return false;
    // From here on the permissions the finished file will have.
    ::fchmod(file.Get(), mode);
    m_state = state;
    m_state.folder = folder.Release();
    m_state.claim = claim.Release();
    m_handle = file.Release();
    m_finalPath = finalPath;
    return true;
}

bool Replacement::TakeStandardOutput(const Protected& keep)
{
    Discard();
    struct stat info;
    if (::fstat(STDOUT_FILENO, &info) != 0)
        return false;
    if (IdOf(info) == keep.input) {
        errno = kIsTheInput;
        return false;
    }
    if (StartsProtected(STDOUT_FILENO, keep)) {
        errno = kIsACapture;
        return false;
    }
    m_handle = STDOUT_FILENO;
    return true;
}

bool Replacement::Write(const void* data, std::size_t count)
{
    if (!WriteAll(Descriptor(m_handle), data, count))
        return false;
    m_state.written += count;
    if (!m_state.any || m_state.written - m_state.writeBackStart < kWriteBackStep)
        return true;
    // Renaming over an earlier file makes some file systems (ext4) write the
    // new file's data out there, all at once; a flush before the rename would
    // too. Send each step on now, and wait for those long under way instead.
    const int fd = Descriptor(m_handle);
    const auto start = static_cast<off_t>(m_state.writeBackStart);
    const auto length = static_cast<off_t>(m_state.written - m_state.writeBackStart);
    m_state.writeBackStart = m_state.written;
    const auto settled = start - std::min<off_t>(start, static_cast<off_t>(kWriteBackDepth * kWriteBackStep));
    if (::sync_file_range(fd, start, length, SYNC_FILE_RANGE_WRITE) != 0 ||
        (settled > 0 && ::sync_file_range(fd, 0, settled,
                                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                              SYNC_FILE_RANGE_WAIT_AFTER) != 0))
        return errno == ENOSYS || errno == EINVAL || errno == ESPIPE;  // not offered here: nothing lost
    return true;
}

bool Replacement::Commit()
{
    g_failureConcernsTheName = false;
    if (m_handle == kNoHandle) {
        errno = EBADF;
        return false;
    }
    if (IsStandardOutput()) {
        m_handle = kNoHandle;
        return true;
    }
    const int fd = Descriptor(m_handle);
    const int folder = Descriptor(m_state.folder);
    const std::string name = FileNameOf(m_finalPath);
    const auto fail = [&](bool concernsTheName) {
        const int error = errno;
        Discard();
        errno = error;
        g_failureConcernsTheName = concernsTheName;
        return false;
    };

    // An earlier file's name moves onto ours only once our data are on the
    // disk: after a power loss the name holds the old file or the new one.
    if (m_state.durable && ::fdatasync(fd) != 0)
        return fail(false);
    if (m_tempPath.empty()) {
        // Unnamed: give it a hidden name first, since linking cannot replace.
        std::string hidden = RandomHiddenName(name);
        if (!LinkUnnamed(fd, folder, hidden))
            return fail(ConcernsTheName(errno));
        m_tempPath = std::move(hidden);
        RememberUnfinished(folder, m_tempPath.c_str());
    }
    // Some file systems report a failed write only at close.
    m_handle = kNoHandle;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(false);
    // The file the rename replaces is freed when its last reference goes:
    // hold one, and let it go where waiting costs nothing.
    Fd earlier;
    if (m_state.size >= kReleaseInBackground)
        earlier = OpenAt(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (::renameat(folder, m_tempPath.c_str(), folder, name.c_str()) != 0)
        return fail(ConcernsTheName(errno));
    if (earlier)
        Release(earlier.Release(), m_state.size);
    ForgetUnfinished();
    m_tempPath.clear();
    Discard();
    return true;
}

void Replacement::Discard()
{
    if (IsStandardOutput()) {
        m_handle = kNoHandle;  // not ours to close
        return;
    }
    if (!m_tempPath.empty()) {
        ForgetUnfinished();
        ::unlinkat(Descriptor(m_state.folder), m_tempPath.c_str(), 0);
        m_tempPath.clear();
    }
    if (m_handle != kNoHandle) {
        Release(Descriptor(m_handle), m_state.written);  // nameless by now: only its data go
        m_handle = kNoHandle;
    }
    // The hidden file's claim goes only once it has no name.
    for (const Handle held : {m_state.claim, m_state.folder}) {
        if (held != kNoHandle)
            ::close(Descriptor(held));
    }
    m_state = Replaced();
    m_finalPath.clear();
}

void RemoveUnfinishedFiles()
{
    // An unnamed file needs nothing: it vanishes with the process.
    if (const char* name = g_unfinishedName.load())
        ::unlinkat(g_unfinishedFolder.load(), name, 0);
}

} // namespace file_layer
