'use strict';
// Saving every result at once: into a folder the user picks, where the
// browser offers a folder picker, or as one .zip; and removing them all.
// Uses the page's jobs (page.js).

// Result names made unique, for a folder or a zip: "run.pcap", "run-2.pcap".
function uniqueNames(kept) {
  const used = new Set();
  return kept.map((job) => {
    let name = job.result.name;
    for (let n = 2; used.has(name); ++n)
      name = job.result.name.replace(/\.pcap$/, '') + '-' + n + '.pcap';
    used.add(name);
    return name;
  });
}

// The CRC-32 a zip records, read from the finished result in a worker of its own.
async function checksumOf(file) {
  const worker = new Worker((await converterReady).script);
  try {
    return await new Promise((resolve, reject) => {
      worker.onmessage = ({ data }) => (data.type === 'checksum' ? resolve(data.crc) : reject(new Error(data.text)));
      worker.onerror = (event) => {
        event.preventDefault();
        reject(new Error(event.message || 'the checksum stopped'));
      };
      worker.postMessage({ checksum: file });
    });
  } finally {
    worker.terminate();
  }
}

const zipButton = document.getElementById('save-zip');
zipButton.addEventListener('click', async () => {
  const kept = results();
  const names = uniqueNames(kept);
  zipButton.disabled = true;
  try {
    for (const [i, job] of kept.entries()) {
      if (job.result.crc === undefined) {
        zipButton.textContent = `Preparing pcaps.zip: ${i + 1} of ${kept.length}…`;
        job.result.crc = await checksumOf(job.result.file);
      }
    }
  } catch (error) {
    announce('pcaps.zip could not be made: ' + error.message);
    return;
  } finally {
    zipButton.textContent = 'Save all as .zip';
    showTotals();
  }
  const blob = zipBlob(kept.map((job, i) => ({ name: names[i], size: job.result.size, crc: job.result.crc, blob: job.result.file })));
  const link = element('a');
  link.href = URL.createObjectURL(blob);
  link.download = 'pcaps.zip';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  announce(`Saving ${kept.length} results as pcaps.zip`);
});

const folderButton = document.getElementById('save-folder');
folderButton.hidden = !window.showDirectoryPicker;
folderButton.addEventListener('click', async () => {
  let folder;
  try {
    folder = await window.showDirectoryPicker({ mode: 'readwrite' });
  } catch (error) {
    return;  // the user closed the picker
  }
  const kept = results();
  const names = uniqueNames(kept);
  try {
    for (let i = 0; i < kept.length; ++i) {
      const writable = await (await folder.getFileHandle(names[i], { create: true })).createWritable();
      await kept[i].result.file.stream().pipeTo(writable);
    }
    announce(`Saved ${kept.length} results into ${folder.name}`);
  } catch (error) {
    announce(`Saving into ${folder.name} failed: ${error.message}`);
  }
});

document.getElementById('clear').addEventListener('click', () => {
  for (const job of [...jobs])
    removeJob(job);
  fileChoice.focus();
  announce('All results removed');
});
