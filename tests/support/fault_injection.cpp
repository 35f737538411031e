// Loaded into a program under test (LD_PRELOAD) to give it a disk that fails
// the way real ones do, where a real failing disk is not to be had:
//   TPC_FAULT_NO_TMPFILE=1        the file system has no unnamed files
//                                 (open with O_TMPFILE fails, EOPNOTSUPP)
//   TPC_FAULT_EIO_NAME=a.DT       reads of a file of that name fail with EIO
//   TPC_FAULT_EIO_AFTER=BYTES     ... from that offset on (default 0)
// Without them every call goes straight to the C library.

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

template <class Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

bool RefusesUnnamedFiles(int flags)
{
    return (flags & O_TMPFILE) == O_TMPFILE && std::getenv("TPC_FAULT_NO_TMPFILE") != nullptr;
}

// How many bytes of a read of `count` at `offset` from `fd` may succeed: all
// of them, unless the file is the failing one.
std::size_t ReadableCount(int fd, std::size_t count, off_t offset, bool& fails)
{
    fails = false;
    const char* failing = std::getenv("TPC_FAULT_EIO_NAME");
    if (failing == nullptr)
        return count;
    std::string link(4096, '\0');
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), &link[0], link.size());
    if (length <= 0)
        return count;
    link.resize(static_cast<std::size_t>(length));
    const std::string name = link.substr(link.rfind('/') + 1);
    if (name != failing)
        return count;
    const char* after = std::getenv("TPC_FAULT_EIO_AFTER");
    const off_t limit = after != nullptr ? static_cast<off_t>(std::strtoll(after, nullptr, 10)) : 0;
    if (offset >= limit) {
        fails = true;
        return 0;
    }
    return static_cast<std::size_t>(limit - offset) < count ? static_cast<std::size_t>(limit - offset) : count;
}

ssize_t FaultyPread(const char* real, int fd, void* buffer, std::size_t count, off_t offset)
{
    using Pread = ssize_t (*)(int, void*, std::size_t, off_t);
    bool fails = false;
    const std::size_t allowed = ReadableCount(fd, count, offset, fails);
    if (fails) {
        errno = EIO;
        return -1;
    }
    return Next<Pread>(real)(fd, buffer, allowed, offset);
}

int FaultyOpenat(const char* real, int folder, const char* path, int flags, mode_t mode)
{
    using Openat = int (*)(int, const char*, int, ...);
    if (RefusesUnnamedFiles(flags)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return Next<Openat>(real)(folder, path, flags, mode);
}

mode_t ModeArgument(int flags, std::va_list arguments)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

ssize_t pread(int fd, void* buffer, std::size_t count, off_t offset)
{
    return FaultyPread("pread", fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, std::size_t count, off_t offset)
{
    return FaultyPread("pread64", fd, buffer, count, offset);
}

int openat(int folder, const char* path, int flags, ...)
{
    std::va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return FaultyOpenat("openat", folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...)
{
    std::va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return FaultyOpenat("openat64", folder, path, flags, mode);
}

} // extern "C"
