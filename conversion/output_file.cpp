#include "output_file.h"

#include "write_error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

OutputFile::~OutputFile()
{
    if (m_fd >= 0 && m_ownsFd)
        ::close(m_fd);
}

bool OutputFile::Create(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    Attach(fd, path);
    m_ownsFd = true;
    return true;
}

void OutputFile::Attach(int fd, const std::string& name)
{
    m_fd = fd;
    m_ownsFd = false;
    m_path = name;
    if (!m_buffer)
        m_buffer.reset(new std::uint8_t[kBufferSize]);
    m_length = 0;
}

void OutputFile::WriteSlow(const void* data, std::size_t count)
{
    Flush();
    if (count >= kBufferSize) {
        WriteAll(static_cast<const std::uint8_t*>(data), count);
    } else {
        Write(data, count);
    }
}

void OutputFile::Flush()
{
    if (m_length == 0)
        return;
    // Forget the buffered bytes before writing: after a failure they are not retried.
    const std::size_t length = m_length;
    m_length = 0;
    WriteAll(m_buffer.get(), length);
}

void OutputFile::WriteAll(const std::uint8_t* data, std::size_t count)
{
    while (count > 0) {
        const ssize_t done = ::write(m_fd, data, count);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            throw WriteError(m_path, errno);
        }
        if (done == 0)
            throw WriteError(m_path, ENOSPC);
        data += done;
        count -= static_cast<std::size_t>(done);
    }
}

void OutputFile::Close()
{
    if (m_fd < 0)
        return;
    Flush();
    const int fd = m_fd;
    m_fd = -1;
    if (m_ownsFd && ::close(fd) != 0 && errno != EINTR)
        throw WriteError(m_path, errno);
}
