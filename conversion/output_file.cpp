#include "output_file.h"

#include "write_error.h"

bool OutputFile::Create(const std::string& path, const file_layer::FileId& input, std::string& reason)
{
    if (!m_replacement.Create(path, input, reason))
        return false;
    Attach(m_replacement.GetHandle(), path);
    return true;
}

bool OutputFile::AttachStandardOutput(const std::string& name, const file_layer::FileId& input, std::string& reason)
{
    const file_layer::Handle stream = file_layer::StandardOutput();
    file_layer::FileId streamId;
    if (file_layer::IdentifyHandle(stream, streamId) && streamId == input) {
        reason = file_layer::kOutputIsTheInput;
        return false;
    }
    Attach(stream, name);
    return true;
}

void OutputFile::Attach(file_layer::Handle handle, const std::string& name)
{
    m_handle = handle;
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
    const bool written = m_replacement.GetHandle() != file_layer::kNoHandle ? m_replacement.Write(data, count)
                                                                             : file_layer::WriteAll(m_handle, data, count);
    if (!written)
        throw WriteError(m_path, file_layer::LastErrorText());
}

bool OutputFile::Close(std::string& refusal)
{
    if (m_handle == file_layer::kNoHandle)
        return true;
    Flush();
    m_handle = file_layer::kNoHandle;
    if (m_replacement.GetHandle() == file_layer::kNoHandle)
        return true;
    switch (m_replacement.Commit()) {
    case file_layer::Replacement::CommitResult::Done:
        return true;
    case file_layer::Replacement::CommitResult::Refused:
        refusal = file_layer::LastErrorText();
        return false;
    case file_layer::Replacement::CommitResult::WriteFailed:
        break;
    }
    throw WriteError(m_path, file_layer::LastErrorText());
}

void OutputFile::Discard()
{
    m_length = 0;
    m_handle = file_layer::kNoHandle;
    m_replacement.Discard();
}
