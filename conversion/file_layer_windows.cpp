// The file layer on Windows: UTF-8 names turned into wide ones for the wide
// (W) calls, positioned reads, and the replacement through a hidden file in
// the final name's folder that MoveFileExW puts in place.

#include "file_layer.h"

#include "path_parts.h"

#include "windows_text.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

namespace file_layer {

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Our own reasons, kept like the system's codes, with the bit Windows leaves
// to applications.
constexpr DWORD kIsTheInput = 0x20000001, kIsACapture = 0x20000002, kIsNotAFile = 0x20000003, kIsInUse = 0x20000004;

// Whether the failure of the last Commit on this thread concerns the name.
thread_local bool failureConcernsTheName = false;

bool Fail()
{
    lastError = GetLastError();
    return false;
}

HANDLE AsHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
Handle FromHandle(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    FileId id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return id;
}

// A regular file: on a disk and not a directory (devices such as NUL and
// CON, pipes and folders all fail here).
bool IsRegularFile(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info)
{
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        lastError = ERROR_INVALID_FUNCTION;
        return false;
    }
    if (!GetFileInformationByHandle(handle, &info))
        return Fail();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        lastError = ERROR_DIRECTORY;
        return false;
    }
    return true;
}

// Temporary files not yet committed, for RemoveUnfinishedFiles(), which runs
// on the console control handler's own thread.
std::mutex unfinishedLock;
std::vector<std::wstring>& Unfinished()
{
    static std::vector<std::wstring> names;
    return names;
}

void Forget(const std::wstring& name)
{
    std::lock_guard<std::mutex> hold(unfinishedLock);
    std::vector<std::wstring>& names = Unfinished();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            names.erase(names.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

std::atomic<unsigned> temporaryCounter{0};

constexpr int kMoveAttempts = 100;
constexpr int kNameAttempts = 100;
constexpr DWORD kMoveRetryMilliseconds = 20;

// Our temporary files are hidden and named ".<name>.<process>-<count>.tmp"
// beside the final name. This is the part before the numbers.
std::wstring TemporaryNameStart(const std::wstring& finalPath)
{
    std::wstring name = FileNameOf(finalPath);
    if (name.size() > 200)
        name = L"pcap";  // the temporary name must stay within the file system's 255 characters
    return L"." + name + L".";
}

std::wstring TemporaryName(const std::wstring& finalPath)
{
    return FolderOf(finalPath) + TemporaryNameStart(finalPath) + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(temporaryCounter++) + L".tmp";
}

// Whether `name` is a temporary name that begins with `start`.
bool IsTemporaryName(const std::wstring& name, const std::wstring& start)
{
    if (name.compare(0, start.size(), start) != 0)
        return false;
    std::size_t at = start.size();
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < name.size() && name[at] >= L'0' && name[at] <= L'9')
            ++at;
        return at > from;
    };
    return digits() && at < name.size() && name[at++] == L'-' && digits() && name.compare(at, name.npos, L".tmp") == 0;
}

// Removes the temporary files that killed runs left for `finalPath`: ours by
// their name and hidden mark, abandoned since no one has them open. A writer
// keeps its file open until the file has its final name, and the system
// closes a killed process's handles. Opening one with no sharing tells that
// no one has it; deletion on close then takes it.
void RemoveAbandonedTemporaryFiles(const std::wstring& finalPath)
{
    const std::wstring folder = FolderOf(finalPath);
    const std::wstring start = TemporaryNameStart(finalPath);
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW((folder + start + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    const DWORD notOurs = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) || (found.dwFileAttributes & notOurs) ||
            !IsTemporaryName(found.cFileName, start))
            continue;
        const HANDLE abandoned = CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (abandoned != INVALID_HANDLE_VALUE)
            CloseHandle(abandoned);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Closes its handle when it goes out of scope.
struct ScopedHandle {
    HANDLE handle;
    ~ScopedHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

constexpr int kHeldAttempts = 10;

// ERROR_SHARING_VIOLATION while another program has `path` open (tried a few
// times, since a virus scanner or an indexer lets go within moments), another
// error when it cannot be opened at all, ERROR_SUCCESS when no one holds it.
DWORD HeldOpenError(const std::wstring& path)
{
    for (int attempt = 0;; ++attempt) {
        // Sharing nothing: any other open handle that reads, writes or
        // deletes makes this fail.
        const HANDLE alone = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (alone != INVALID_HANDLE_VALUE) {
            CloseHandle(alone);
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION || attempt + 1 == kHeldAttempts)
            return error;
        Sleep(kMoveRetryMilliseconds);
    }
}

} // namespace

const char kPathSeparators[] = "\\/:";

std::string LastErrorText()
{
    switch (lastError) {
    case kIsTheInput: return kOutputIsTheInput;
    case kIsACapture: return kOutputIsACapture;
    case kIsNotAFile: return kOutputIsNotAFile;
    case kIsInUse: return "in use by another program";
    default: return windows_text::SystemErrorText(lastError);
    }
}

bool LastErrorConcernsTheName() { return failureConcernsTheName; }

bool OpenForReading(const std::string& path, Handle& handle, FileId& id, std::uint64_t& size)
{
    std::wstring wide;
    if (!windows_text::Utf8ToWide(path, wide)) {
        lastError = ERROR_INVALID_NAME;
        return false;
    }
    // Others may go on reading, writing or renaming it; a folder does not
    // open without FILE_FLAG_BACKUP_SEMANTICS.
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail();
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsRegularFile(file, info)) {
        const DWORD reason = lastError;
        CloseHandle(file);
        lastError = reason;
        return false;
    }
    handle = FromHandle(file);
    id = IdOf(info);
    size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

std::int64_t ReadAt(Handle handle, void* buffer, std::size_t count, std::uint64_t offset)
{
    // One ReadFile at an explicit offset: the handle's own position is not used.
    const DWORD asked = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle), buffer, asked, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        Fail();
        return -1;
    }
    return got;
}

std::int64_t CurrentSize(Handle handle)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(AsHandle(handle), &size) ? static_cast<std::int64_t>(size.QuadPart) : -1;
}

void Close(Handle handle)
{
    if (handle != kNoHandle)
        CloseHandle(AsHandle(handle));
}

namespace {

bool WriteAll(Handle handle, const void* data, std::size_t count)
{
    const char* next = static_cast<const char*>(data);
    while (count > 0) {
        const DWORD asked = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD done = 0;
        if (!WriteFile(AsHandle(handle), next, asked, &done, nullptr)) {
            const DWORD error = GetLastError();
            // Only a pipe says these, in whichever words its kind uses.
            const bool readerGone =
                error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
            if (readerGone) {
                // The reader has closed the pipe: end quietly, as SIGPIPE ends
                // a POSIX program, with the status of a failed run.
                RemoveUnfinishedFiles();
                ExitProcess(1);
            }
            lastError = error;
            return false;
        }
        if (done == 0) {
            lastError = ERROR_DISK_FULL;
            return false;
        }
        next += done;
        count -= done;
    }
    return true;
}

std::size_t ReadStart(HANDLE file, void* buffer, std::size_t count)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsRegularFile(file, info))
        return 0;
    OVERLAPPED at{};
    DWORD got = 0;
    const DWORD asked = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    return ReadFile(file, buffer, asked, &got, &at) ? got : 0;
}

// Errors of a move that concern this one name, not the disk.
bool ConcernsTheName(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
    case ERROR_NOT_SAME_DEVICE: case ERROR_WRITE_PROTECT: case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME: case ERROR_ALREADY_EXISTS: case ERROR_FILE_EXISTS: case ERROR_PATH_NOT_FOUND:
        return true;
    default:
        return false;
    }
}

std::size_t ReadStartOfFile(const std::string& path, void* buffer, std::size_t count)
{
    std::wstring wide;
    if (!windows_text::Utf8ToWide(path, wide))
        return 0;
    ScopedHandle file{CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    return file.handle == INVALID_HANDLE_VALUE ? 0 : ReadStart(file.handle, buffer, count);
}

std::size_t ReadStartOfHandle(HANDLE handle, void* buffer, std::size_t count)
{
    if (const std::size_t got = ReadStart(handle, buffer, count))
        return got;
    // A handle opened for writing only does not read: open its file again by name.
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, 0);
    if (size == 0)
        return 0;
    std::wstring name(size, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, &name[0], size, 0);
    if (length == 0 || length >= size)
        return 0;
    name.resize(length);
    std::string path;
    return windows_text::WideToUtf8(name, path) ? ReadStartOfFile(path, buffer, count) : 0;
}

// Whether `start` (as read of a file) is what `keep` protects.
bool IsProtectedStart(const std::string& start, std::size_t got, const Protected& keep)
{
    return keep.headerSize != 0 && got == keep.headerSize && std::memcmp(start.data(), keep.header, got) == 0;
}

bool Refuse(DWORD reason)
{
    lastError = reason;
    return false;
}

} // namespace

bool Replacement::Create(const std::string& finalPath, const Protected& keep)
{
    Discard();
    std::wstring wideFinal;
    if (!windows_text::Utf8ToWide(finalPath, wideFinal))
        return Refuse(ERROR_INVALID_NAME);

    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // The input under another name, through a link included: never the output.
    {
        ScopedHandle target{CreateFileW(wideFinal.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
        BY_HANDLE_FILE_INFORMATION info;
        if (target.handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(target.handle, &info) &&
            IdOf(info) == keep.input)
            return Refuse(kIsTheInput);
    }
    // What stands at the final name now: the link itself, not its target.
    ScopedHandle existing{CreateFileW(wideFinal.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
    if (existing.handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileType(existing.handle) != FILE_TYPE_DISK)
            return Refuse(kIsNotAFile);
        if (!GetFileInformationByHandle(existing.handle, &info))
            return Fail();
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return Refuse(ERROR_DIRECTORY);
        // Read-only means read-only, also for an administrator.
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            return Refuse(ERROR_ACCESS_DENIED);
        // Held open by another program, even one that shares deletion: the
        // finished file could not be moved onto it. Refused now, as this
        // file's own failure, rather than after the whole conversion.
        const DWORD heldError = HeldOpenError(wideFinal);
        if (heldError != ERROR_SUCCESS)
            return Refuse(heldError == ERROR_SHARING_VIOLATION ? kIsInUse : heldError);
        std::string start(keep.headerSize, '\0');
        if (IsProtectedStart(start, ReadStartOfFile(finalPath, &start[0], start.size()), keep))
            return Refuse(kIsACapture);
        m_state.any = true;
        m_state.durable = info.nFileSizeHigh != 0 || info.nFileSizeLow != 0 ||
                    (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    } else {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return Refuse(error);
    }

    RemoveAbandonedTemporaryFiles(wideFinal);
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    // A name taken already (a file a killed run of the same process id left
    // and cannot be removed) is passed over for the next count.
    for (int attempt = 0; attempt < kNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryName(wideFinal);
        {
            std::lock_guard<std::mutex> hold(unfinishedLock);
            Unfinished().push_back(temporary);
        }
        // FILE_SHARE_DELETE: the console control handler may remove it while
        // it is open, and it is moved to the final name while it is open.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Fail();
            Forget(temporary);
            if (lastError != ERROR_FILE_EXISTS && lastError != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_handle = FromHandle(file);
    m_finalPath = finalPath;
    windows_text::WideToUtf8(temporary, m_tempPath);
    return true;
}

bool Replacement::TakeStandardOutput(const Protected& keep)
{
    Discard();
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return Refuse(ERROR_INVALID_HANDLE);
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(output) == FILE_TYPE_DISK && GetFileInformationByHandle(output, &info) && IdOf(info) == keep.input)
        return Refuse(kIsTheInput);
    std::string start(keep.headerSize, '\0');
    if (IsProtectedStart(start, ReadStartOfHandle(output, &start[0], start.size()), keep))
        return Refuse(kIsACapture);
    m_handle = FromHandle(output);
    return true;
}

bool Replacement::Write(const void* data, std::size_t count) { return WriteAll(m_handle, data, count); }

bool Replacement::Commit()
{
    failureConcernsTheName = false;
    if (m_handle == kNoHandle)
        return Refuse(ERROR_INVALID_HANDLE);
    if (IsStandardOutput()) {
        m_handle = kNoHandle;
        return true;
    }
    // An earlier file's name moves onto ours only once our data are on the
    // disk: after a power loss the name holds the old file or the new one.
    const bool flushed = !m_state.durable || FlushFileBuffers(AsHandle(m_handle));
    if (!flushed) {
        const DWORD flushError = GetLastError();
        Discard();
        return Refuse(flushError);
    }
    std::wstring temporary, wideFinal;
    windows_text::Utf8ToWide(m_tempPath, temporary);
    windows_text::Utf8ToWide(m_finalPath, wideFinal);
    // The finished file keeps no trace of its hidden temporary life.
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Another program may have the final name open for a moment (a second
    // conversion of the same capture moving its own file there, a virus
    // scanner): try again for a while before calling it locked.
    bool moved = false;
    for (int attempt = 0; attempt < kMoveAttempts && !moved; ++attempt) {
        moved = MoveFileExW(temporary.c_str(), wideFinal.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        if (!moved) {
            lastError = GetLastError();
            if (lastError != ERROR_ACCESS_DENIED && lastError != ERROR_SHARING_VIOLATION)
                break;
            Sleep(kMoveRetryMilliseconds);
        }
    }
    // Closed only now: a file of ours that no one has open is one a killed
    // run left, for any run that replaces the same name.
    CloseHandle(AsHandle(m_handle));
    m_handle = kNoHandle;
    if (!moved) {
        // Said as at the start: another program took hold of the name meanwhile.
        if (lastError == ERROR_ACCESS_DENIED && HeldOpenError(wideFinal) == ERROR_SHARING_VIOLATION)
            lastError = ERROR_SHARING_VIOLATION;
        DeleteFileW(temporary.c_str());
    }
    Forget(temporary);
    m_tempPath.clear();
    m_finalPath.clear();
    m_state = Replaced();
    failureConcernsTheName = !moved && ConcernsTheName(lastError);
    return moved;
}

void Replacement::Discard()
{
    if (IsStandardOutput()) {
        m_handle = kNoHandle;  // not ours to close
        return;
    }
    if (m_handle != kNoHandle) {
        CloseHandle(AsHandle(m_handle));
        m_handle = kNoHandle;
    }
    if (!m_tempPath.empty()) {
        std::wstring temporary;
        windows_text::Utf8ToWide(m_tempPath, temporary);
        DeleteFileW(temporary.c_str());
        Forget(temporary);
        m_tempPath.clear();
    }
    m_finalPath.clear();
    m_state = Replaced();
}

void RemoveUnfinishedFiles()
{
    // A file still open is removed as its last handle closes, at the latest
    // when the process ends.
    std::lock_guard<std::mutex> hold(unfinishedLock);
    for (const std::wstring& name : Unfinished())
        DeleteFileW(name.c_str());
}

} // namespace file_layer
