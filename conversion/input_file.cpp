#include "input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path)
{
    Close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_device = static_cast<std::uint64_t>(info.st_dev);
    m_inode = static_cast<std::uint64_t>(info.st_ino);
    m_size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    m_position = 0;
    m_bufferStart = 0;
    m_bufferLength = 0;
    m_atEnd = false;
    if (!m_buffer)
        m_buffer.reset(new std::uint8_t[kBufferSize]);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return true;
}

void InputFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::size_t InputFile::Read(std::size_t count, const std::uint8_t** data)
{
    const std::uint64_t end = m_bufferStart + m_bufferLength;
    if (m_position < m_bufferStart || m_position > end || end - m_position < count) {
        if (!Fill(count))
            count = 0;
    }
    const std::size_t offset = static_cast<std::size_t>(m_position - m_bufferStart);
    const std::size_t available = m_bufferLength - offset;
    if (available < count)
        count = available;
    *data = m_buffer.get() + offset;
    m_position += count;
    return count;
}

// Makes the buffer start at (or hold) the current position with `count` bytes
// after it where the file has them. Returns false when nothing at all can be read.
bool InputFile::Fill(std::size_t count)
{
    if (m_fd < 0 || count > kMaxRead)
        return false;
    const std::uint64_t end = m_bufferStart + m_bufferLength;
    std::size_t kept = 0;
    if (m_position >= m_bufferStart && m_position <= end) {
        // Keep the unread tail: move it to the front of the buffer.
        kept = static_cast<std::size_t>(end - m_position);
        std::memmove(m_buffer.get(), m_buffer.get() + (m_position - m_bufferStart), kept);
        if (m_atEnd) {
            // The file ended inside this buffer already; nothing more to ask for.
            m_bufferStart = m_position;
            m_bufferLength = kept;
            return true;
        }
    }
    m_bufferStart = m_position;
    m_bufferLength = kept;
    m_atEnd = false;
    while (m_bufferLength < count || m_bufferLength < kBufferSize / 2) {
        const std::uint64_t at = m_bufferStart + m_bufferLength;
        if (at > static_cast<std::uint64_t>(INT64_MAX - kBufferSize)) {
            m_atEnd = true;  // beyond any offset a file can have
            break;
        }
        const ssize_t got = ::pread(m_fd, m_buffer.get() + m_bufferLength, kBufferSize - m_bufferLength,
                                    static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // End of file, or a file the system cannot read on: either way the
            // read comes up short and the caller reports its step.
            m_atEnd = true;
            break;
        }
        m_bufferLength += static_cast<std::size_t>(got);
    }
    return true;
}
