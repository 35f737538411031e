#pragma once

#include "file_layer.h"
#include "output_place.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Write-only output through one large buffer. Every failed write raises
// WriteError; nothing is ever silently dropped. A created file takes its name
// only when closed: until then an earlier file of that name stays as it was,
// and a file that is not closed (a write error, a stop) leaves nothing behind.
class OutputFile {
public:
    static constexpr std::size_t kBufferSize = 1 << 20;

    OutputFile() = default;
    ~OutputFile() = default;  // discards an unclosed file
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Prepares the output of `inputPath` at `place`. False when `keep`
    // protects what stands there or the system refuses (see
    // file_layer::Replacement); file_layer::LastErrorText() says why.
    bool Open(const OutputPlace& place, const std::string& inputPath, const file_layer::Protected& keep);
    // The output's path, as messages name it.
    const std::string& Path() const { return m_path; }

    void Write(const void* data, std::size_t count)
    {
        if (count <= kBufferSize - m_length) {
            std::copy_n(static_cast<const std::uint8_t*>(data), count, m_buffer.get() + m_length);
            m_length += count;
        } else {
            WriteSlow(data, count);
        }
    }

    // Room for `count` (at most kBufferSize) bytes at the end of the buffer,
    // for the caller to fill: a record is built in place, copied once.
    std::uint8_t* Append(std::size_t count)
    {
        if (count > kBufferSize - m_length)
            Flush();
        std::uint8_t* const at = m_buffer.get() + m_length;
        m_length += count;
        return at;
    }

    void Flush();
    // Flushes and gives a created file its name. Raises WriteError when the
    // data cannot be written; returns false when the system will not give
    // the file its name (a matter of this one file: nothing is left behind,
    // an earlier file of that name stays, file_layer::LastErrorText() says why).
    bool Close();
    // Forgets what is unwritten and removes a created file's unfinished data.
    void Discard();

private:
    void WriteSlow(const void* data, std::size_t count);
    void WriteAll(const std::uint8_t* data, std::size_t count);

    file_layer::Replacement m_file;
    std::string m_path;
    std::unique_ptr<std::uint8_t[]> m_buffer;  // kBufferSize bytes, left uninitialised
    std::size_t m_length = 0;
};
