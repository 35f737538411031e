#include "write_error.h"

WriteError::WriteError(const std::string& path, const std::string& reason)
    : std::runtime_error(path + " Write error: " + reason), m_path(path), m_reason(reason)
{
}
