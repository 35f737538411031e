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

// Sets the immutable or append-only flag of a file or folder, or clears both
// (POSIX only). False where the file system takes no such flag.
enum class InodeFlag { None, Immutable, AppendOnly };
bool SetInodeFlag(const std::string& path, InodeFlag flag);

// POSIX systems have IANA zones under TZDIR, /dev/full and names with any
// byte; tests of those skip elsewhere (the Windows build has its own).
bool IsPosixSystem();
// Wine's Windows, where a few C runtime functions differ from Windows' own.
bool RunningUnderWine();
// `zone`, an IANA name, as this platform's TZ spells it: itself on POSIX
// systems, the C runtime's form on Windows ("Asia/Tokyo" is "JST-9").
std::string PlatformZone(const std::string& zone);
