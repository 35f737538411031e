// The file layer of the web edition, in a Web Worker. The input is the File
// the user chose, read slice by slice at 64-bit offsets; the output goes
// where the worker keeps it (the browser's origin-private storage, or a Blob
// where that storage is missing). This file only calls the worker's side of
// the layer, declared below; worker.js builds it (fileLayer()).

#include "file_layer.h"

#include <emscripten.h>

// The worker's side of this layer: Module.tpcFiles, one input and one output.
//   open(path)          -> the size of the capture chosen as `path`, or -1
//   readAt(view, at)    -> fills the Uint8Array `view` from offset `at`; the
//                          bytes read (fewer at the end of the file), or -1
//   currentSize()       -> the input's size now, -1 once it changed since chosen
//   close()                the input is done with
//   create(finalPath)   -> true when the output could be started
//   write(view)         -> true when all of the Uint8Array `view` was written
//   commit()            -> true when the output is finished and handed to the page
//   discard()              the unfinished output is dropped
//   lastError              the reason of the last failure, as a string
// `view`s are windows on the module's memory, valid during the call only.

namespace {

thread_local std::string lastError;

constexpr file_layer::Handle kInputHandle = 1;
constexpr file_layer::Handle kOutputHandle = 2;

EM_JS(double, JsOpen, (const char* path), { return Module.tpcFiles.open(UTF8ToString(path)); });

EM_JS(double, JsReadAt, (void* buffer, double count, double offset), {
    return Module.tpcFiles.readAt(HEAPU8.subarray(buffer, buffer + count), offset);
});

EM_JS(double, JsCurrentSize, (), { return Module.tpcFiles.currentSize(); });

EM_JS(void, JsClose, (), { Module.tpcFiles.close(); });

EM_JS(int, JsCreate, (const char* finalPath), { return Module.tpcFiles.create(UTF8ToString(finalPath)) ? 1 : 0; });

EM_JS(int, JsWrite, (const void* data, double count), {
    return Module.tpcFiles.write(HEAPU8.subarray(data, data + count)) ? 1 : 0;
});

EM_JS(int, JsCommit, (), { return Module.tpcFiles.commit() ? 1 : 0; });

EM_JS(void, JsDiscard, (), { Module.tpcFiles.discard(); });

EM_JS(int, JsLastErrorLength, (), { return lengthBytesUTF8(String(Module.tpcFiles.lastError || "Unknown error")); });

EM_JS(void, JsCopyLastError, (char* text, int size), {
    stringToUTF8(String(Module.tpcFiles.lastError || "Unknown error"), text, size);
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
    const double bytes = JsOpen(path.c_str());
    if (bytes < 0) {
        TakeLastError();
        return false;
    }
    handle = kInputHandle;
    id.volume = 1;
    id.index = 1;
    size = static_cast<std::uint64_t>(bytes);
    return true;
}

std::int64_t ReadAt(Handle, void* buffer, std::size_t count, std::uint64_t offset)
{
    // A double holds every offset below 2^53, far beyond any File.
    const double got = JsReadAt(buffer, static_cast<double>(count), static_cast<double>(offset));
    if (got < 0) {
        TakeLastError();
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

std::int64_t CurrentSize(Handle) { return static_cast<std::int64_t>(JsCurrentSize()); }

void Close(Handle handle)
{
    if (handle == kInputHandle)
        JsClose();
}

// The commit of an output in the worker's storage fails only for want of room.
bool LastErrorConcernsTheName() { return false; }

bool Replacement::Create(const std::string& finalPath, const Protected&)
{
    // The input is a File the user chose, the output the worker's own, in
    // storage where no capture is ever written: nothing to protect.
    Discard();
    if (!JsCreate(finalPath.c_str())) {
        TakeLastError();
        return false;
    }
    m_handle = kOutputHandle;
    m_finalPath = finalPath;
    return true;
}

// A page has no standard output.
bool Replacement::TakeStandardOutput(const Protected&)
{
    lastError = "no standard output";
    return false;
}

bool Replacement::Write(const void* data, std::size_t count)
{
    if (JsWrite(data, static_cast<double>(count)))
        return true;
    TakeLastError();
    return false;
}

bool Replacement::Commit()
{
    if (m_handle == kNoHandle)
        return false;
    m_handle = kNoHandle;
    if (JsCommit())
        return true;
    TakeLastError();
    return false;
}

void Replacement::Discard()
{
    if (m_handle == kNoHandle)
        return;
    JsDiscard();
    m_handle = kNoHandle;
}

void RemoveUnfinishedFiles() {}

} // namespace file_layer
