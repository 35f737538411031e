#include "input_file.h"

#include <cstring>

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path)
{
    Close();
    if (!file_layer::OpenForReading(path, m_handle, m_id, m_size))
        return false;
    m_position = 0;
    m_bufferStart = 0;
    m_bufferLength = 0;
    m_atEnd = false;
    m_readError.clear();
    if (!m_buffer)
        m_buffer.reset(new std::uint8_t[kBufferSize]);
    return true;
}

bool InputFile::Changed() const
{
    return m_handle != file_layer::kNoHandle && file_layer::CurrentSize(m_handle) != static_cast<std::int64_t>(m_size);
}

void InputFile::Close()
{
    file_layer::Close(m_handle);
    m_handle = file_layer::kNoHandle;
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
    if (m_handle == file_layer::kNoHandle || count > kMaxRead)
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
        const std::int64_t got = file_layer::ReadAt(m_handle, m_buffer.get() + m_bufferLength,
                                                    kBufferSize - m_bufferLength, m_bufferStart + m_bufferLength);
        if (got <= 0) {
            // The read comes up short either way; a failure is kept, so that
            // the caller does not take it for the capture's end.
            if (got < 0)
                m_readError = file_layer::LastErrorText();
            m_atEnd = true;
            break;
        }
        m_bufferLength += static_cast<std::size_t>(got);
    }
    return true;
}
