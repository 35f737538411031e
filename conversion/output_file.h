#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Write-only output through one large buffer. Every failed write raises
// WriteError; nothing is ever silently dropped.
class OutputFile {
public:
    static constexpr std::size_t kBufferSize = 1 << 20;

    OutputFile() = default;
    ~OutputFile();  // closes without flushing: reached this way only after a WriteError
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates (or truncates) `path` for writing. Returns false if it cannot.
    bool Create(const std::string& path);
    // Writes to an already open descriptor, such as standard output; not closed by us.
    void Attach(int fd, const std::string& name);

    void Write(const void* data, std::size_t count)
    {
        if (count <= kBufferSize - m_length) {
            std::copy_n(static_cast<const std::uint8_t*>(data), count, m_buffer.get() + m_length);
            m_length += count;
        } else {
            WriteSlow(data, count);
        }
    }

    void Flush();
    // Flushes and closes; raises WriteError if either fails.
    void Close();

private:
    void WriteSlow(const void* data, std::size_t count);
    void WriteAll(const std::uint8_t* data, std::size_t count);

    int m_fd = -1;
    bool m_ownsFd = false;
    std::string m_path;
    std::unique_ptr<std::uint8_t[]> m_buffer;  // kBufferSize bytes, left uninitialised
    std::size_t m_length = 0;
};
