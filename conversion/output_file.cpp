#include "output_file.h"

#include "write_error.h"

bool OutputFile::Open(const OutputPlace& place, const std::string& inputPath, const file_layer::Protected& keep)
{
    m_path = place.PathFor(inputPath);
    if (!(place.IsStandardOutput() ? m_file.TakeStandardOutput(keep) : m_file.Create(m_path, keep)))
        return false;
    if (!m_buffer)
        m_buffer.reset(new std::uint8_t[kBufferSize]);
    m_length = 0;
    return true;
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
    if (!m_file.Write(data, count))
        throw WriteError(m_path, file_layer::LastErrorText());
}

bool OutputFile::Close()
{
    if (!m_file.IsOpen())
        return true;
    Flush();
    if (m_file.Commit())
        return true;
    if (file_layer::LastErrorConcernsTheName())
        return false;
    throw WriteError(m_path, file_layer::LastErrorText());
}

void OutputFile::Discard()
{
    m_length = 0;
    m_file.Discard();
}
