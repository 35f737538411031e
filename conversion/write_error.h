#pragma once

#include <stdexcept>
#include <string>

// Raised by the output file layer when the system refuses a write (a full disk, a
// file-size limit, an I/O error). The conversion does not catch it: the top level
// reports what() -- "<output path> Write error: <system reason>" -- and stops.
class WriteError : public std::runtime_error {
public:
    WriteError(const std::string& path, int errorNumber);

    const std::string& Path() const { return m_path; }
    int ErrorNumber() const { return m_errorNumber; }

private:
    std::string m_path;
    int m_errorNumber;
};
