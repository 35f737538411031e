#include "write_error.h"

#include <cstring>

WriteError::WriteError(const std::string& path, int errorNumber)
    : std::runtime_error(path + " Write error: " + std::strerror(errorNumber)), m_path(path),
      m_errorNumber(errorNumber)
{
}
