#pragma once

// The conversion's one contact with the operating system's files. Each
// platform has its own implementation file (file_layer_linux.cpp,
// file_layer_windows.cpp, and for the web edition file_layer_web.cpp over the
// files its page hands in); nothing above this header sees a descriptor type,
// a stat record or an error numbering of its own. Paths are UTF-8 strings (on
// POSIX systems simply the bytes of the name).

#include <cstddef>
#include <cstdint>
#include <string>

namespace file_layer {

// What ends a folder's part of a path: "/" on POSIX; on Windows also "\\"
// and the ':' of a drive ("D:run.DT").
extern const char kPathSeparators[];

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using Handle = std::intptr_t;
constexpr Handle kNoHandle = -1;

// The reason given when an output would be the capture being converted.
constexpr char kOutputIsTheInput[] = "it is the capture file being converted";
// The reason given when an existing output starts like a capture file: the
// same capture seen through another path (a second mount, a case-insensitive
// name) is never overwritten by its own conversion.
constexpr char kOutputIsACapture[] = "it is a capture file";

// Which file a name or an open file stands for: device and inode, or volume
// serial number and file index.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId& other) const { return volume == other.volume && index == other.index; }
};

// The system's words for the reason of the last failed call of this layer on
// this thread, such as "No space left on device".
std::string LastErrorText();

// Opens an existing regular file for reading. Anything else -- missing,
// unreadable, a directory, a FIFO, a socket, a device -- fails at once,
// without blocking. On success fills the file's identity and size.
bool OpenForReading(const std::string& path, Handle& handle, FileId& id, std::uint64_t& size);
// Reads up to `count` bytes at `offset` (64-bit). Returns how many were read:
// 0 at the end of the file, -1 when the system cannot read on.
std::int64_t ReadAt(Handle handle, void* buffer, std::size_t count, std::uint64_t offset);
// The size of the open file now; -1 when it cannot be told (or, in the web
// edition, when the chosen file changed since it was opened).
std::int64_t CurrentSize(Handle handle);
void Close(Handle handle);

// The process's standard output, as an open file for writing.
Handle StandardOutput();
// Identity of what `handle` has open; false when it has none (a pipe may have one).
bool IdentifyHandle(Handle handle, FileId& id);
// Writes all `count` bytes. False when the system refuses; LastErrorText() says why.
bool WriteAll(Handle handle, const void* data, std::size_t count);

// Up to `count` bytes from the start of the regular file `path` (links
// followed) or of the regular file `handle` has open, read without moving it.
// 0 when it is not a regular file, cannot be read, or is empty.
std::size_t ReadStartOfFile(const std::string& path, void* buffer, std::size_t count);
std::size_t ReadStartOfHandle(Handle handle, void* buffer, std::size_t count);

// A file written under a temporary name in the folder of `finalPath` that
// takes the final name only when committed: the final name only ever changes
// to a finished file, and when it replaces an earlier file, the new data reach
// the disk before the name moves, so a power loss leaves the old or the new
// file, never an empty one. An uncommitted replacement removes its temporary
// file when discarded or destroyed, and RemoveUnfinishedFiles() removes it
// from a signal handler. A symbolic link at the final name is replaced by the
// new file; its target is never written. The temporary file is private until
// it takes the final file's permissions (never setuid, setgid or sticky).
class Replacement {
public:
    Replacement() = default;
    ~Replacement() { Discard(); }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Refuses -- false, with `reason` the system's words or our own -- a final
    // name that is the file `input` (whatever the spelling or link), an
    // existing one that is not a regular file or a link to one, one without
    // any write permission (also for an administrator), and one the system
    // would not let us replace at the end (an immutable file, a folder that
    // only grows, another user's file in a sticky folder, a mount point).
    // Otherwise creates the temporary file.
    bool Create(const std::string& finalPath, const FileId& input, std::string& reason);
    Handle GetHandle() const { return m_handle; }
    // Writes all `count` bytes, as WriteAll; a replacement of an earlier file
    // also starts the data's way to the disk as it goes, so that little is
    // left to wait for when it is committed.
    bool Write(const void* data, std::size_t count);

    enum class CommitResult {
        Done,
        Refused,      // the system would not give the file this name (a per-file matter)
        WriteFailed,  // the data could not be written (a full disk, an I/O error)
    };
    // Closes the temporary file and moves it onto the final name. When not
    // Done, LastErrorText() says why, and the temporary file is gone.
    CommitResult Commit();
    // Closes and removes the temporary file, if there is one.
    void Discard();

    // What a platform's implementation may keep about the replacement.
    struct Replaced {
        Handle folder = kNoHandle;  // the final name's folder, where one is kept open
        Handle claim = kNoHandle;   // holds the hidden file's lock while we live, where one is kept
        bool any = false;           // something stands at the final name
        bool durable = false;       // it holds data: ours must be on the disk before the name moves
        std::uint64_t size = 0;     // its size, for a regular file
        std::uint64_t written = 0;  // bytes of ours so far
        std::uint64_t writeBackStart = 0;  // where our data not yet sent to the disk begin
    };

private:
    Handle m_handle = kNoHandle;
    std::string m_finalPath;
    std::string m_tempPath;  // empty while the temporary file has no name of its own
    Replaced m_state;
};

#ifdef __linux__
// Makes replacements take the route of file systems without unnamed files (a
// hidden name of our own), as tests of that route need.
void UseHiddenTemporaryFilesOnly(bool only);
#endif

// Removes every unfinished replacement's temporary file. Safe to call from a
// signal handler (POSIX) or a console control handler (Windows).
void RemoveUnfinishedFiles();

} // namespace file_layer
