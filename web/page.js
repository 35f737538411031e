'use strict';
// The page: takes the chosen captures, converts each in its own worker, shows
// progress, messages and Cancel, and offers each finished pcap for saving.

const jobList = document.getElementById('jobs');
const zoneChoice = document.getElementById('zone');
const fileChoice = document.getElementById('files');
const dropZone = document.getElementById('drop');

// Outputs live in origin-private storage, in a folder of this tab held by a
// lock, so that a later visit can clear what an ended tab left behind.
const folder = 'tab-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2);
const storageReady = (async () => {
  await new Promise((resolve) => {
    navigator.locks.request(folder, () => {
      resolve();
      return new Promise(() => {});
    });
  });
  const root = await navigator.storage.getDirectory();
  for await (const name of root.keys()) {
    if (name === folder)
      continue;
    await navigator.locks.request(name, { ifAvailable: true }, async (lock) => {
      if (lock)
        await root.removeEntry(name, { recursive: true }).catch(() => {});
    });
  }
  return root.getDirectoryHandle(folder, { create: true });
})();

function fillZones() {
  const own = Intl.DateTimeFormat().resolvedOptions().timeZone || 'UTC';
  const zones = Intl.supportedValuesOf ? Intl.supportedValuesOf('timeZone') : [];
  const names = [own, ...zones.filter((zone) => zone !== own)];
  if (!names.includes('UTC'))
    names.push('UTC');
  for (const name of names) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name === own ? name + ' (this computer)' : name;
    zoneChoice.append(option);
  }
}

// Everything a conversion needs, fetched once now: the worker's script and
// the compiled converter.
const converterReady = (async () => {
  const fetchOk = async (name) => {
    const response = await fetch(name);
    if (!response.ok)
      throw new Error(name + ': ' + response.status);
    return response;
  };
  const scripts = Promise.all(['zone_offsets.js', 'tavrino-converter.js', 'worker.js']
    .map(async (name) => (await fetchOk(name)).text()));
  const wasm = fetchOk('tavrino-converter.wasm').then((response) => response.arrayBuffer()).then(WebAssembly.compile);
  return {
    script: URL.createObjectURL(new Blob((await scripts).flatMap((text) => [text, '\n;\n']), { type: 'text/javascript' })),
    wasm: await wasm,
  };
})();

const queue = [];
let running = null;
let slotCount = 0;

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className)
    node.className = className;
  if (text !== undefined)
    node.textContent = text;
  return node;
}

function addJob(file) {
  const item = element('li', 'queued');
  const head = element('div', 'head');
  // Reading the size now also fixes what the browser expects of the file: one
  // changed or deleted before its turn then fails to open, as for the programs.
  const name = element('span', 'name', file.name);
  const size = element('span', 'size', file.size.toLocaleString('en') + ' bytes');
  const cancel = element('button', 'cancel', 'Cancel');
  head.append(name, size, cancel);
  const bar = element('progress');
  bar.max = 1;
  bar.value = 0;
  const status = element('div', 'status', 'Waiting');
  item.append(head, bar, status);
  jobList.append(item);
  const job = { file, zone: zoneChoice.value, item, bar, status, cancel, slot: 'out-' + ++slotCount, worker: null };
  cancel.addEventListener('click', () => cancelJob(job));
  queue.push(job);
  runNext();
}

function setState(job, state, text) {
  job.item.className = state;
  job.status.textContent = text;
}

function finish(job) {
  job.cancel.remove();
  if (job.worker)
    job.worker.terminate();
  job.worker = null;
  if (running === job)
    running = null;
  runNext();
}

async function removeSlot(job) {
  const directory = await storageReady;
  // A terminated worker lets go of its file a moment later.
  for (let attempt = 0; attempt < 50; ++attempt) {
    try {
      await directory.removeEntry(job.slot);
      return;
    } catch (error) {
      if (error.name === 'NotFoundError')
        return;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
}

function cancelJob(job) {
  const index = queue.indexOf(job);
  if (index >= 0)
    queue.splice(index, 1);
  setState(job, 'cancelled', 'Cancelled');
  const wasRunning = running === job;
  finish(job);
  if (wasRunning)
    removeSlot(job);
}

async function offer(job, outputName, note) {
  const directory = await storageReady;
  const file = await (await directory.getFileHandle(job.slot)).getFile();
  const link = element('a', 'save', 'Save ' + outputName);
  link.href = URL.createObjectURL(file);
  link.download = outputName;
  const line = element('div', 'output');
  line.append(link, document.createTextNode(' (' + file.size.toLocaleString('en') + ' bytes' + note + ')'));
  job.item.append(line);
}

async function runNext() {
  if (running || queue.length === 0)
    return;
  const job = queue.shift();
  running = job;
  let converter;
  try {
    await storageReady;  // the folder exists before the worker opens a file in it
    converter = await converterReady;
  } catch (error) {
    setState(job, 'failed', job.file.name + ' could not be converted: ' + error.message);
    finish(job);
    return;
  }
  if (running !== job)
    return;  // cancelled meanwhile
  setState(job, 'running', 'Converting');
  const messages = [];
  const worker = new Worker(converter.script);
  job.worker = worker;
  worker.onmessage = async ({ data }) => {
    if (job.worker !== worker)
      return;
    if (data.type === 'progress') {
      job.bar.value = data.total > 0 ? data.done / data.total : 0;
    } else if (data.type === 'message') {
      messages.push(data.text);
    } else if (data.type === 'end' || data.type === 'crash') {
      finish(job);
      if (data.type === 'crash')
        messages.push(job.file.name + ' could not be converted: ' + data.text);
      if (data.type === 'end' && data.result === 0) {
        job.bar.value = 1;
        setState(job, 'done', 'Converted');
      } else {
        setState(job, 'failed', messages.join('\n') || 'Failed');
      }
      if (data.type === 'end' && data.output)
        await offer(job, data.output, data.result === 0 ? '' : ', the records before the failure');
      else
        await removeSlot(job);
    }
  };
  worker.onerror = (event) => {
    event.preventDefault();
    worker.onmessage({ data: { type: 'crash', text: event.message || 'the converter stopped' } });
  };
  worker.postMessage({ file: job.file, zone: job.zone, folder, slot: job.slot, wasm: converter.wasm });
}

function addFiles(files) {
  for (const file of files)
    addJob(file);
}

fileChoice.addEventListener('change', () => {
  addFiles(fileChoice.files);
  fileChoice.value = '';
});
for (const type of ['dragenter', 'dragover'])
  dropZone.addEventListener(type, (event) => {
    event.preventDefault();
    dropZone.classList.add('over');
  });
for (const type of ['dragleave', 'drop'])
  dropZone.addEventListener(type, () => dropZone.classList.remove('over'));
dropZone.addEventListener('drop', (event) => {
  event.preventDefault();
  addFiles(event.dataTransfer.files);
});
// A file dropped beside the zone must not make the browser open it.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());

fillZones();
