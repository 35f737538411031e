#include "write_error.h"

#include "messages.h"

WriteError::WriteError(const std::string& path, const std::string& reason)
    : std::runtime_error(message::WriteFailed(path, reason)), m_path(path), m_reason(reason)
{
}

void ShowWriteError(const WriteError& error, MessageHost& host)
{
    host.ShowMessage(message::WriteFailed(host.NameForMessage(error.Path()), error.Reason()));
}
