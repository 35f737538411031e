#pragma once

#include "message_host.h"

#include <stdexcept>
#include <string>

// Raised where the system refuses to write the output (a full disk, a
// file-size limit, an I/O error). The conversion lets it out: it ends the
// batch, which shows it with ShowWriteError.
class WriteError : public std::runtime_error {
public:
    WriteError(const std::string& path, const std::string& reason);

    const std::string& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};

// Shows "<output path> Write error: <system reason>", the path spelled as
// `host` spells names.
void ShowWriteError(const WriteError& error, MessageHost& host);
