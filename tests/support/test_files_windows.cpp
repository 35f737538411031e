// The scratch folders and file helpers on Windows: wide calls under UTF-8 names.

#include "test_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error(what + " failed: " + path);
}

fs::path Path(const std::string& utf8) { return fs::u8path(utf8); }

std::string Utf8(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::atomic<unsigned> counter{0};

} // namespace

TempDir::TempDir()
{
    // Under the build's scratch folder when the test run names one.
    const char* base = std::getenv("TPC_TEST_SCRATCH");
    const fs::path root = base != nullptr && *base != '\0' ? Path(base) : fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = root / ("dt2pcap-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                           std::to_string(GetTickCount64() % 100000) + "-" +
                                           std::to_string(counter++));
        std::error_code error;
        if (fs::create_directories(candidate, error)) {
            m_path = Utf8(candidate);
            return;
        }
    }
    Fail("create folder", Utf8(root));
}

TempDir::~TempDir()
{
    std::error_code error;
    // Read-only files would stop remove_all on Windows.
    for (auto it = fs::recursive_directory_iterator(Path(m_path), error); !error && it != fs::end(it);
         it.increment(error))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(Path(m_path), error);
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    DeleteFileW(Path(path).c_str());
    WriteFileBytesAt(path, 0, bytes);
}

void WriteFileBytesAt(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes)
{
    const HANDLE file = CreateFileW(Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail("open", path);
    // A hole before `offset` where the file system has sparse files.
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    const bool ok = bytes.empty() ? true
                                  : WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) &&
                                        written == bytes.size();
    CloseHandle(file);
    if (!ok)
        Fail("write", path);
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesW(Path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListDir(const std::string& path)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(Path(path), error), end; !error && it != end; it.increment(error))
        names.push_back(Utf8(it->path().filename()));
    if (error)
        Fail("list folder", path);
    std::sort(names.begin(), names.end());
    return names;
}

void SetEnv(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }

void UnsetEnv(const std::string& name) { _putenv_s(name.c_str(), ""); }

bool IsPosixSystem() { return false; }

bool RunningUnderWine()
{
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string PlatformZone(const std::string& zone)
{
    // Standard time only: the conversion always asks for it (daylight saving off).
    static const std::pair<const char*, const char*> kZones[] = {
        {"UTC", "UTC0"},
        {"Asia/Tokyo", "JST-9"},
        {"America/New_York", "EST5EDT"},
        {"Europe/London", "GMT0BST"},
        {"Australia/Lord_Howe", "LHS-10:30"},
    };
    for (const auto& [iana, runtime] : kZones) {
        if (zone == iana)
            return runtime;
    }
    return zone;
}
