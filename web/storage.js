'use strict';
// Where the page keeps finished results until they are saved.
//
// 'private': the browser's origin-private storage, which only secure pages
// (https, localhost) get. Each tab writes into a folder of its own held by a
// lock: a later visit removes the folders of tabs that have ended, whatever
// they left, and a tab going away removes its results as it goes.
// 'blob': everywhere else, the worker's Blobs, which the browser keeps on
// disk when large and frees with the tab.

const resultStorage = (() => {
  const hasPrivate = window.isSecureContext && navigator.storage && navigator.storage.getDirectory && navigator.locks;
  let mode = hasPrivate ? 'private' : 'blob';
  const folder = 'tab-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2);
  let slotCount = 0;

  // Folders of tabs that have ended (no lock held). A tab reloaded a moment
  // ago may still be letting go of its files: try again for a while.
  async function removeEndedTabs(root) {
    for (let attempt = 0; attempt < 30; ++attempt) {
      let left = 0;
      for await (const name of root.keys()) {
        if (name === folder)
          continue;
        await navigator.locks.request(name, { ifAvailable: true }, async (lock) => {
          if (lock)
            await root.removeEntry(name, { recursive: true }).catch(() => ++left);
        });
      }
      if (left === 0)
        return;
      await new Promise((resolve) => setTimeout(resolve, 200));
    }
  }

  // The folder of this tab; null, and Blobs instead, where the browser has
  // the storage but refuses it (a private window).
  const ready = mode !== 'private' ? Promise.resolve(null) : (async () => {
    try {
      await new Promise((resolve, reject) => {
        navigator.locks.request(folder, () => {
          resolve();
          return new Promise(() => {});
        }).catch(reject);
      });
      const root = await navigator.storage.getDirectory();
      removeEndedTabs(root).catch(() => {});
      return await root.getDirectoryHandle(folder, { create: true });
    } catch (error) {
      mode = 'blob';
      return null;
    }
  })();

  return {
    get mode() { return mode; },
    folder,
    ready,
    newSlot: () => 'out-' + ++slotCount,
    // The finished output of `slot` as the worker handed it over: a File to save.
    async file(slot, output) {
      if (mode !== 'private')
        return output.blob;
      return (await (await ready).getFileHandle(slot)).getFile();
    },
    // Removes what `slot` holds; a terminated worker lets go of its file a moment later.
    async remove(slot) {
      if (mode !== 'private')
        return;
      const directory = await ready;
      for (let attempt = 0; attempt < 50; ++attempt) {
        try {
          await directory.removeEntry(slot);
          return;
        } catch (error) {
          if (error.name === 'NotFoundError')
            return;
          await new Promise((resolve) => setTimeout(resolve, 100));
        }
      }
    },
  };
})();
