'use strict';
// Conversions one at a time: the page gives a worker one file after another
// and ends it to cancel. The page joins zones.js, crc32.js,
// tavrino-converter.js and this file into the worker's script and hands over
// the compiled WebAssembly module, all fetched once when the page loads: a
// conversion asks the network for nothing. A worker also gives the CRC-32 of
// a finished result, for a zip.

self.onmessage = async ({ data }) => {
  try {
    if (data.checksum)
      postMessage({ type: 'checksum', crc: checksumOf(data.checksum) });
    else
      await convert(data);
  } catch (error) {
    postMessage({ type: 'crash', text: String(error && error.message || error) });
  }
};

// Reads files in slices: fewer, larger reads of a File are faster (reading is
// most of a conversion's time; 16 MiB slices read about half again as fast as
// 8 MiB ones). Each slice comes in a buffer of its own that only the
// young-generation collector frees, and a loop that allocates as little as
// the conversion seldom runs it: spent slices piled up to a third of a 2 GiB
// capture in the tab. Short-lived objects in proportion to each slice keep
// the collector coming (32 MiB slices outran it: 540 MiB in the tab).
const kSlice = 16 << 20;
const sliceReader = new FileReaderSync();
let collectorNudge = null;

function readSlice(file, at, length) {
  const bytes = new Uint8Array(sliceReader.readAsArrayBuffer(file.slice(at, at + length)));
  for (let i = 0; i < bytes.length >> 9; ++i)
    collectorNudge = { i };
  return bytes;
}

function checksumOf(file) {
  let crc = 0;
  for (let at = 0; at < file.size; at += kSlice)
    crc = crc32(crc, readSlice(file, at, kSlice));
  return crc;
}

function describe(error) {
  if (error && error.name === 'QuotaExceededError')
    return 'No space left on device';
  return String(error && error.message || error);
}

// Where the pcap goes. 'private': a file of the browser's origin-private
// storage, opened before the conversion since that is asynchronous; when it
// could not be opened, creating the output fails with the reason, at the step
// where the programs fail to create theirs. 'blob': where that storage is
// missing (a page served over plain http), Blobs of a few MiB each, which
// the browser keeps out of the tab's memory (on disk when large).
function privateSink(access, openError) {
  let position = 0;
  return {
    start() {
      if (!access)
        throw openError;
      access.truncate(0);
    },
    write(bytes) {
      for (let done = 0; done < bytes.length;) {
        const written = access.write(bytes.subarray(done), { at: position });
        if (written <= 0)
          throw new DOMException('full', 'QuotaExceededError');
        done += written;
        position += written;
      }
    },
    finish() {
      access.flush();
      access.close();
      return { size: position };
    },
    drop() {
      if (!access)
        return;
      try {
        access.truncate(0);
        access.close();
      } catch (error) {
        // Closed already; the page removes the file.
      }
    },
  };
}

function blobSink() {
  // Writes gather in one staging buffer; each full one becomes a Blob.
  const kPart = 32 << 20;
  let staging = null, used = 0, parts = [], size = 0;
  const seal = () => {
    if (used)
      parts.push(new Blob([staging.subarray(0, used)]));
    used = 0;
  };
  return {
    start() {
      staging = staging || new Uint8Array(kPart);
      used = size = 0;
      parts = [];
    },
    write(bytes) {
      for (let done = 0; done < bytes.length;) {
        const take = Math.min(bytes.length - done, kPart - used);
        staging.set(bytes.subarray(done, done + take), used);
        used += take;
        done += take;
        if (used === kPart)
          seal();
      }
      size += bytes.length;
    },
    finish() {
      seal();
      const blob = new Blob(parts, { type: 'application/vnd.tcpdump.pcap' });
      parts = [];
      return { size, blob };
    },
    drop() {
      parts = [];
      used = 0;
    },
  };
}

// The worker's side of the file layer, installed as Module.tpcFiles: the
// chosen File as the one input, `sink` as the one output. Its members are the
// ones the list at the top of file_layer_web.cpp gives:
//   open(path) -> size or -1        readAt(view, at) -> bytes read or -1
//   currentSize() -> size, or -1 once the File changed
//   close()                         create(finalPath) -> true or false
//   write(view) -> true or false    commit() -> true or false (hands the
//   discard()                         output to onCommit)
//   lastError
// convert() below also reads state.
function fileLayer(file, sink, onCommit) {
  let ahead = null;  // { start, bytes }: the slice read last
  let state = 'idle';
  const layer = {
    lastError: '',
    inputChanged: false,  // the File changed on disk since it was chosen
    open(path) {
      if (path !== file.name) {
        layer.lastError = 'No such file or directory';
        return -1;
      }
      // A chosen file deleted or changed since cannot be opened, as for the programs.
      try {
        if (readSlice(file, 0, 1).length !== Math.min(1, file.size))
          throw new Error('No such file or directory');
      } catch (error) {
        layer.lastError = describe(error);
        return -1;
      }
      return file.size;
    },
    currentSize() {
      return layer.inputChanged ? -1 : file.size;
    },
    readAt(view, at) {
      try {
        if (!ahead || at < ahead.start || (at + view.length > ahead.start + ahead.bytes.length &&
                                          ahead.start + ahead.bytes.length < file.size)) {
          ahead = { start: at, bytes: readSlice(file, at, Math.max(kSlice, view.length)) };
        }
        const from = at - ahead.start;
        const got = Math.max(0, Math.min(view.length, ahead.bytes.length - from));
        view.set(ahead.bytes.subarray(from, from + got));
        return got;
      } catch (error) {
        // Chromium refuses to read on once the file's time or size changed.
        if (error && error.name === 'NotReadableError')
          layer.inputChanged = true;
        layer.lastError = describe(error);
        return -1;
      }
    },
    close() {
      ahead = null;
    },
    create(finalPath) {
      if (state !== 'idle') {
        layer.lastError = 'Output already used';
        return false;
      }
      try {
        sink.start();
      } catch (error) {
        layer.lastError = describe(error);
        return false;
      }
      state = 'open';
      layer.name = finalPath;
      return true;
    },
    write(view) {
      try {
        sink.write(view);
        return true;
      } catch (error) {
        layer.lastError = describe(error);
        return false;
      }
    },
    commit() {
      try {
        onCommit({ name: layer.name, ...sink.finish() });
        state = 'committed';
        return true;
      } catch (error) {
        layer.lastError = describe(error);
        state = 'discarded';
        return false;
      }
    },
    discard() {
      sink.drop();
      state = 'discarded';
    },
    get state() { return state; },
  };
  return layer;
}

// The converter, made for the first file and kept for the next ones, with the
// zone it was last given.
let converter = null;

async function converterFor(wasm) {
  if (!converter) {
    const module = {
      print: () => {},
      printErr: () => {},
      instantiateWasm: (imports, receive) => {
        WebAssembly.instantiate(wasm, imports).then((instance) => receive(instance, wasm));
        return {};
      },
    };
    await createConverterModule(module);
    converter = { module, zone: null };
  }
  return converter;
}

async function convert({ file, zone, storage, folder, slot, wasm }) {
  let sink;
  if (storage === 'private') {
    let access = null, openError = null;
    try {
      const root = await navigator.storage.getDirectory();
      const directory = await root.getDirectoryHandle(folder, { create: true });
      access = await (await directory.getFileHandle(slot, { create: true })).createSyncAccessHandle();
    } catch (error) {
      openError = error;
    }
    sink = privateSink(access, openError);
  } else {
    sink = blobSink();
  }

  let output = null;
  const messages = [];
  let summary = '';
  const files = fileLayer(file, sink, (committed) => { output = committed; });
  // What the converter calls: the file layer, and the entry points' host and
  // zone as web_converter.cpp lists them.
  const { module } = await converterFor(wasm);
  module.tpcFiles = files;
  module.tpcHost = {
    message: (text) => messages.push(text),
    progress: (done, total) => {
      postMessage({ type: 'progress', done, total });
      return true;
    },
    summary: (line) => { summary = line; },
  };
  if (converter.zone !== zone) {
    // The zone's offsets are scanned once per zone, not per file.
    module.tpcZoneOffsetAt = zoneOffsetReader(zone);
    module._tpc_use_zone();
    converter.zone = zone;
  }
  const result = module.ccall('tpc_convert', 'number', ['string'], [file.name]);
  if (files.state === 'open' || files.state === 'idle')
    files.discard();
  postMessage({ type: 'end', result, messages, summary, output });
}
