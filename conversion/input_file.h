#pragma once

#include "file_layer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Read-only view of a capture file through one large buffer: one read per
// buffer refill, never one system call per field or per frame. Positions are
// 64-bit and logical; moving past the end of the file is allowed, and the next
// read then comes up short, as a file object's seek-then-read would.
class InputFile {
public:
    static constexpr std::size_t kBufferSize = 1 << 20;
    // Longest single Read the buffer can serve (an entry's padded data is at most 2048).
    static constexpr std::size_t kMaxRead = 64 * 1024;

    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens a regular file for reading only. Fails at once for anything else.
    bool Open(const std::string& path);
    void Close();

    // Makes up to `count` (<= kMaxRead) bytes at the current position available
    // at `*data` and moves past them. Returns how many there were: fewer than
    // `count` at the end of the file, or when the system failed to read on
    // (ReadError() then says why).
    std::size_t Read(std::size_t count, const std::uint8_t** data);

    // The system's reason for a read that failed, or "" when every read got
    // what the file had: a short read is the capture's own end only then.
    const std::string& ReadError() const { return m_readError; }
    // Whether the file's size is no longer what it was when opened: a capture
    // still being copied in, or rewritten while it was read.
    bool Changed() const;

    // The bytes from the current position that the buffer holds already, read
    // nothing: for parsing whole entries in place. Skip() moves past them.
    const std::uint8_t* Buffered(std::size_t& available) const
    {
        const std::uint64_t end = m_bufferStart + m_bufferLength;
        if (m_position < m_bufferStart || m_position >= end) {
            available = 0;
            return nullptr;
        }
        available = static_cast<std::size_t>(end - m_position);
        return m_buffer.get() + (m_position - m_bufferStart);
    }

    void Seek(std::uint64_t position) { m_position = position; }
    void Skip(std::uint64_t count) { m_position += count; }
    std::uint64_t Position() const { return m_position; }

    // Identity of the open file, to refuse writing the output over it.
    const file_layer::FileId& Id() const { return m_id; }
    std::uint64_t Size() const { return m_size; }

private:
    bool Fill(std::size_t count);

    file_layer::Handle m_handle = file_layer::kNoHandle;
    std::uint64_t m_position = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;  // kBufferSize bytes, left uninitialised
    std::uint64_t m_bufferStart = 0;  // file offset of m_buffer[0]
    std::size_t m_bufferLength = 0;   // valid bytes in m_buffer
    bool m_atEnd = false;             // the last refill reached the end of the file, or a failure
    std::string m_readError;
    file_layer::FileId m_id;
    std::uint64_t m_size = 0;
};
