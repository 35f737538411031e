#pragma once

// Per-test scratch folders and whole-file reads and writes.

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Writes `bytes` at `offset`, leaving a hole before it: large files without the disk space.
void WriteFileBytesAt(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);
bool PathExists(const std::string& path);
// Names in a folder, sorted, without "." and "..".
std::vector<std::string> ListDir(const std::string& path);

// The process's environment, one variable at a time.
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);
