#pragma once

#include <stdexcept>
#include <string>

// Raised by the output file layer when the system refuses a write (a full disk, a
// file-size limit, an I/O error). The conversion does not catch it: it ends the
// batch, and RunReporting shows "<output path> Write error: <system reason>"
// with the path spelled as its host spells names.
class WriteError : public std::runtime_error {
public:
    WriteError(const std::string& path, const std::string& reason);

    const std::string& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};
