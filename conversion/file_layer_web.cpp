// The file layer of the web edition, in a Web Worker. The input is the File
// the user chose, mounted by the worker on emscripten's WORKERFS and read
// slice by slice at 64-bit offsets (its C library's pread drops the upper 32
// bits). The output goes to a file in the browser's origin-private storage
// that the worker opened beforehand; committing it hands it to the page.

#include "file_layer.h"

#include <emscripten.h>

namespace {

thread_local std::string lastError;

// Each returns -1 (or 0 for false) and sets Module.tpcLastError on failure.
// A chosen file that can no longer be read (deleted or changed since, a
// dropped folder) cannot be opened, as for the programs.
EM_JS(int, JsOpenForReading, (const char* path, double* size, double* index), {
    try {
        const stream = FS.open(UTF8ToString(path), "r");
        if (!FS.isFile(stream.node.mode)) {
            FS.close(stream);
            Module.tpcLastError = "Not a regular file";
            return -1;
        }
        try {
            const probe = new FileReaderSync().readAsArrayBuffer(stream.node.contents.slice(0, 1));
            if (probe.byteLength !== Math.min(1, stream.node.size))
                throw new Error("No such file or directory");
        } catch (e) {
            FS.close(stream);
            throw e;
        }
        HEAPF64[size >> 3] = stream.node.size;
        HEAPF64[index >> 3] = stream.node.id;
        return stream.fd;
    } catch (e) {
        Module.tpcLastError = e.message || String(e);
        return -1;
    }
});

// Reads through WORKERFS in slices of 8 MiB, kept in a buffer of the worker's
// own and served from there: fewer and larger slices read the chosen file
// faster than the library's 1 MiB requests one by one.
// Each slice comes in a buffer of its own that only the young-generation
// collector frees, and a loop that allocates as little as this one seldom
// runs it: spent slices piled up to half the capture in the tab. A few
// short-lived objects per slice keep the collector coming.
EM_JS(double, JsReadAt, (int fd, void* buffer, double count, double offset), {
    try {
        const kSlice = 8 << 20;
        let ahead = Module.tpcReadAhead;
        if (!ahead || ahead.fd !== fd || offset < ahead.start ||
            (offset + count > ahead.start + ahead.length && ahead.length === kSlice)) {
            ahead = Module.tpcReadAhead = { fd, start: offset, length: 0, bytes: ahead ? ahead.bytes : new Uint8Array(kSlice) };
            ahead.length = FS.read(FS.getStream(fd), ahead.bytes, 0, kSlice, offset);
            for (let i = 0; i < 16000; ++i)
                Module.tpcCollectorNudge = { i };
        }
        // A slice shorter than asked for ends at the end of the file.
        const from = offset - ahead.start;
        const got = Math.max(0, Math.min(count, ahead.length - from));
        HEAPU8.set(ahead.bytes.subarray(from, from + got), buffer);
        return got;
    } catch (e) {
        Module.tpcLastError = e.message || String(e);
        return -1;
    }
});

EM_JS(void, JsClose, (int fd), {
    if (Module.tpcReadAhead && Module.tpcReadAhead.fd === fd)
        Module.tpcReadAhead = null;
    try {
        FS.close(FS.getStream(fd));
    } catch (e) {
    }
});

EM_JS(int, JsWrite, (int handle, const void* data, double count), {
    return Module.tpcOutput.write(handle, HEAPU8.subarray(data, data + count)) ? 1 : 0;
});

EM_JS(int, JsCreateOutput, (const char* finalPath), {
    return Module.tpcOutput.create(UTF8ToString(finalPath));
});

EM_JS(int, JsCommitOutput, (int handle), {
    return Module.tpcOutput.commit(handle) ? 1 : 0;
});

EM_JS(void, JsDiscardOutput, (int handle), {
    Module.tpcOutput.discard(handle);
});

EM_JS(int, JsLastErrorLength, (), {
    return lengthBytesUTF8(Module.tpcLastError || "Unknown error");
});

EM_JS(void, JsCopyLastError, (char* text, int size), {
    stringToUTF8(Module.tpcLastError || "Unknown error", text, size);
});

void TakeLastError()
{
    std::string text(static_cast<std::size_t>(JsLastErrorLength()) + 1, '\0');
    JsCopyLastError(&text[0], static_cast<int>(text.size()));
    text.pop_back();
    lastError = text;
}

} // namespace

namespace file_layer {

const char kPathSeparators[] = "/";

std::string LastErrorText() { return lastError; }

bool OpenForReading(const std::string& path, Handle& handle, FileId& id, std::uint64_t& size)
{
    double bytes = 0, index = 0;
    const int fd = JsOpenForReading(path.c_str(), &bytes, &index);
    if (fd < 0) {
        TakeLastError();
        return false;
    }
    handle = fd;
    id.volume = 1;
    id.index = static_cast<std::uint64_t>(index);
    size = static_cast<std::uint64_t>(bytes);
    return true;
}

std::int64_t ReadAt(Handle handle, void* buffer, std::size_t count, std::uint64_t offset)
{
    // A double holds every offset below 2^53, far beyond any File.
    const double got = JsReadAt(static_cast<int>(handle), buffer, static_cast<double>(count), static_cast<double>(offset));
    if (got < 0) {
        TakeLastError();
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

void Close(Handle handle)
{
    if (handle != kNoHandle)
        JsClose(static_cast<int>(handle));
}

// A page has no standard output.
Handle StandardOutput() { return kNoHandle; }

bool IdentifyHandle(Handle, FileId&) { return false; }

bool WriteAll(Handle handle, const void* data, std::size_t count)
{
    if (JsWrite(static_cast<int>(handle), data, static_cast<double>(count)))
        return true;
    TakeLastError();
    return false;
}

bool Replacement::Create(const std::string& finalPath, const FileId&, std::string& reason)
{
    // The input lives on WORKERFS, the output in origin-private storage: they
    // can never be the same file.
    Discard();
    const int handle = JsCreateOutput(finalPath.c_str());
    if (handle < 0) {
        TakeLastError();
        reason = lastError;
        return false;
    }
    m_handle = handle;
    m_finalPath = finalPath;
    return true;
}

std::size_t ReadStartOfFile(const std::string&, void*, std::size_t) { return 0; }

// The outputs live in the page's own storage, where no capture is ever written.
std::size_t ReadStartOfHandle(Handle, void*, std::size_t) { return 0; }

bool Replacement::Write(const void* data, std::size_t count) { return WriteAll(m_handle, data, count); }

Replacement::CommitResult Replacement::Commit()
{
    if (m_handle == kNoHandle)
        return CommitResult::WriteFailed;
    const int handle = static_cast<int>(m_handle);
    m_handle = kNoHandle;
    if (JsCommitOutput(handle))
        return CommitResult::Done;
    TakeLastError();
    return CommitResult::WriteFailed;
}

void Replacement::Discard()
{
    if (m_handle == kNoHandle)
        return;
    JsDiscardOutput(static_cast<int>(m_handle));
    m_handle = kNoHandle;
}

void RemoveUnfinishedFiles() {}

} // namespace file_layer
