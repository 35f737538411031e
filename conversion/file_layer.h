#pragma once

// The conversion's one contact with the operating system's files. Each
// platform has its own implementation file (file_layer_linux.cpp,
// file_layer_windows.cpp, and for the web edition file_layer_web.cpp over the
// files its page hands in); nothing above this header sees a descriptor type,
// a stat record or an error numbering of its own. Paths are UTF-8 strings (on
// POSIX systems simply the bytes of the name).
//
// A call that can fail says so by its result (false; -1 for ReadAt and
// CurrentSize), and LastErrorText() then gives the reason: the system's
// words, or ours where one of the rules below refuses.

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

// Our own reasons for refusing an output.
constexpr char kOutputIsTheInput[] = "it is the capture file being converted";
constexpr char kOutputIsACapture[] = "it is a capture file";
constexpr char kOutputIsNotAFile[] = "not a regular file";

// Which file a name or an open file stands for: device and inode, or volume
// serial number and file index.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId& other) const { return volume == other.volume && index == other.index; }
};

// The reason of the last failed call of this layer on this thread, such as
// "No space left on device" or kOutputIsACapture. The same words in every
// program and whatever the locale: the window's message reads as dt2pcap's.
std::string LastErrorText();

#ifdef __linux__
// The system's reason for the error number `error` in those same words
// ("Permission denied"), for the window's own messages about files.
std::string SystemErrorText(int error);
#endif

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

// What an output may never replace: the capture being converted (whatever
// the spelling or link), and an existing file that starts with `header` --
// the same capture seen through another path (a second mount, a
// case-insensitive name), or another capture.
struct Protected {
    FileId input;
    const void* header = nullptr;
    std::size_t headerSize = 0;
};

// Where a conversion's bytes go. Mostly a file written under a temporary name
// in the folder of `finalPath` that takes the final name only when committed:
// the final name only ever changes to a finished file, and when it replaces
// an earlier file, the new data reach the disk before the name moves, so a
// power loss leaves the old or the new file, never an empty one. An
// uncommitted replacement removes its temporary file when discarded or
// destroyed, and RemoveUnfinishedFiles() removes it from a signal handler; a
// temporary file that a killed run left under a hidden name is removed by the
// next replacement of the same name. A symbolic link at the final name is
// replaced by the new file; its target is never written. The temporary file
// is private until it takes the final file's permissions (never setuid,
// setgid or sticky).
// Or the process's standard output, a plain stream written as it goes, which
// committing and discarding leave as it is.
class Replacement {
public:
    Replacement() = default;
    ~Replacement() { Discard(); }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Refuses a final name that `keep` protects, an existing one that is not
    // a regular file or a link to one, one without any write permission
    // (also for an administrator), and one the system would not let us
    // replace at the end (an immutable file, a folder that only grows,
    // another user's file in a sticky folder, a mount point). Otherwise
    // creates the temporary file.
    bool Create(const std::string& finalPath, const Protected& keep);
    // Writes to standard output instead; refused where `keep` protects what
    // it has open.
    bool TakeStandardOutput(const Protected& keep);
    bool IsOpen() const { return m_handle != kNoHandle; }
    // Writes all `count` bytes. A replacement of an earlier file also starts
    // the data's way to the disk as it goes, so that little is left to wait
    // for when it is committed.
    bool Write(const void* data, std::size_t count);
    // Closes the temporary file and moves it onto the final name. When it
    // fails, the temporary file is gone and LastErrorConcernsTheName() tells
    // a refusal of this one name from data that could not be written.
    bool Commit();
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
    bool IsStandardOutput() const { return m_handle != kNoHandle && m_finalPath.empty(); }

    Handle m_handle = kNoHandle;
    std::string m_finalPath;  // empty for standard output
    std::string m_tempPath;   // empty while the temporary file has no name of its own
    Replaced m_state;
};

// After a failed Replacement::Commit: whether the system would not give the
// file its name (a matter of that one file), rather than not write its data.
bool LastErrorConcernsTheName();

#ifdef __linux__
// Makes replacements take the route of file systems without unnamed files (a
// hidden name of our own), as tests of that route need.
void UseHiddenTemporaryFilesOnly(bool only);
#endif

// Removes every unfinished replacement's temporary file. Safe to call from a
// signal handler (POSIX) or a console control handler (Windows).
void RemoveUnfinishedFiles();

} // namespace file_layer
