'use strict';
// One conversion per worker: the page starts a worker for each file and ends
// it to cancel. The capture is read in slices through WORKERFS; the pcap is
// written into the folder of origin-private storage the page gave. The page
// joins zone_offsets.js, tavrino-converter.js and this file into the worker's
// script and hands over the compiled WebAssembly module, all fetched once when
// the page loads: a conversion asks the network for nothing.

self.onmessage = async (event) => {
  try {
    await convert(event.data);
  } catch (error) {
    postMessage({ type: 'crash', text: String(error && error.message || error) });
  }
};

function describe(error) {
  if (error && error.name === 'QuotaExceededError')
    return 'No space left on device';
  return String(error && error.message || error);
}

// The file layer's output side: one file, opened before the conversion since
// origin-private storage is opened asynchronously. When it could not be
// opened, creating the output fails with the reason, at the step where the
// programs would fail to create theirs.
function outputFile(access, openError, module) {
  let state = 'idle';
  let position = 0;
  let name = '';
  return {
    get state() { return state; },
    get name() { return name; },
    get size() { return position; },
    create(finalPath) {
      if (state !== 'idle' || !access) {
        module.tpcLastError = access ? 'Output already used' : describe(openError);
        return -1;
      }
      try {
        access.truncate(0);
      } catch (error) {
        module.tpcLastError = describe(error);
        return -1;
      }
      state = 'open';
      name = finalPath;
      return 1;
    },
    write(handle, bytes) {
      try {
        for (let done = 0; done < bytes.length;) {
          const written = access.write(bytes.subarray(done), { at: position });
          if (written <= 0)
            throw new DOMException('full', 'QuotaExceededError');
          done += written;
          position += written;
        }
        return true;
      } catch (error) {
        module.tpcLastError = describe(error);
        return false;
      }
    },
    commit() {
      try {
        access.flush();
        access.close();
        state = 'committed';
        return true;
      } catch (error) {
        module.tpcLastError = describe(error);
        state = 'discarded';
        return false;
      }
    },
    discard() {
      if (!access)
        return;
      try {
        access.truncate(0);
        access.close();
      } catch (error) {
        // Closed already; the page removes the file.
      }
      state = 'discarded';
    },
  };
}

async function convert({ file, zone, folder, slot, wasm }) {
  let access = null, openError = null;
  try {
    const root = await navigator.storage.getDirectory();
    const directory = await root.getDirectoryHandle(folder, { create: true });
    access = await (await directory.getFileHandle(slot, { create: true })).createSyncAccessHandle();
  } catch (error) {
    openError = error;
  }

  const module = {
    tpcHost: {
      message: (text) => postMessage({ type: 'message', text }),
      progress: (done, total) => {
        postMessage({ type: 'progress', done, total });
        return true;
      },
    },
    tpcZoneChanges: zoneOffsetChanges(zone),
    print: () => {},
    printErr: () => {},
    instantiateWasm: (imports, receive) => {
      WebAssembly.instantiate(wasm, imports).then((instance) => receive(instance, wasm));
      return {};
    },
  };
  const output = outputFile(access, openError, module);
  module.tpcOutput = output;
  await createConverterModule(module);

  module._tpc_use_zone();
  const FS = module.FS;
  FS.mkdir('/input');
  FS.mount(FS.filesystems.WORKERFS, { files: [file] }, '/input');
  FS.chdir('/input');
  const result = module.ccall('tpc_convert', 'number', ['string'], [file.name]);
  if (output.state === 'open' || output.state === 'idle')
    output.discard();
  postMessage({ type: 'end', result, output: output.state === 'committed' ? output.name : null, size: output.size });
}
