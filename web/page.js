'use strict';
// The page: the zone first, then the captures; each converted in its own
// worker with progress, messages, Cancel and a summary, each finished pcap
// offered for saving alone or all together, and removed when no longer wanted.

const jobList = document.getElementById('jobs');
const zoneInput = document.getElementById('zone');
const fileChoice = document.getElementById('files');
const dropZone = document.getElementById('drop');
const announcer = document.getElementById('announce');
const resultsBar = document.getElementById('results');
const kZoneKey = 'tavrino-converter-zone';

const jobs = [];
const queue = [];
let running = null;
let spareWorker = null;  // the worker of the last file that ended well, for the next one
let zone = 'UTC';

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className)
    node.className = className;
  if (text !== undefined)
    node.textContent = text;
  return node;
}

function announce(text) {
  announcer.textContent = text;
}

function formatBytes(bytes) {
  return bytes.toLocaleString('en') + ' bytes';
}

// ---- Zone ----------------------------------------------------------------

function rememberedZone() {
  try {
    return localStorage.getItem(kZoneKey);
  } catch (error) {
    return null;  // storage refused (a file:// page, a privacy setting)
  }
}

function fillZones() {
  const { own, names } = zoneChoices();
  const list = document.getElementById('zone-names');
  for (const name of names) {
    const option = document.createElement('option');
    option.value = name;
    if (name === own)
      option.label = name + ' (this computer)';
    list.append(option);
  }
  const remembered = rememberedZone();
  zone = remembered && isKnownZone(remembered) ? currentZoneName(remembered) : own;
  zoneInput.value = zone;
}

function chooseZone() {
  const wanted = currentZoneName(zoneInput.value.trim());
  const error = document.getElementById('zone-error');
  if (!isKnownZone(wanted)) {
    zoneInput.setAttribute('aria-invalid', 'true');
    error.textContent = `Unknown time zone "${wanted}": files are still converted in ${zone}.`;
    error.hidden = false;
    announce(error.textContent);
    return;
  }
  zoneInput.removeAttribute('aria-invalid');
  error.hidden = true;
  zoneInput.value = wanted;
  if (wanted === zone)
    return;
  zone = wanted;
  try {
    localStorage.setItem(kZoneKey, zone);
  } catch (error) {
    // Not remembered; the choice holds for this visit.
  }
  // Files still waiting take the new zone; the others are offered again in it.
  for (const job of queue)
    setZone(job, zone);
  offerReconversion();
}

function staleJobs() {
  const latest = new Map();
  for (const job of jobs)
    if (job.state !== 'cancelled')
      latest.set(job.file, job);
  return [...latest.values()].filter((job) => job.zone !== zone);
}

function offerReconversion() {
  const stale = staleJobs();
  const box = document.getElementById('rezone');
  box.hidden = stale.length === 0;
  if (box.hidden)
    return;
  const zones = [...new Set(stale.map((job) => job.zone))].join(', ');
  document.getElementById('rezone-text').textContent =
    `${stale.length === 1 ? '1 file was' : stale.length + ' files were'} converted in ${zones}.`;
  document.getElementById('reconvert').textContent = `Convert ${stale.length === 1 ? 'it' : 'them'} again in ${zone}`;
}

document.getElementById('reconvert').addEventListener('click', () => {
  for (const job of staleJobs())
    addJob(job.file);
  offerReconversion();
});

// ---- Converter -----------------------------------------------------------

// Everything a conversion needs, fetched once now: the worker's script and
// the compiled converter.
const converterReady = (async () => {
  const fetchOk = async (name) => {
    const response = await fetch(name);
    if (!response.ok)
      throw new Error(name + ': ' + response.status);
    return response;
  };
  const scripts = Promise.all(['zones.js', 'crc32.js', 'tavrino-converter.js', 'worker.js']
    .map(async (name) => (await fetchOk(name)).text()));
  const wasm = fetchOk('tavrino-converter.wasm').then((response) => response.arrayBuffer()).then(WebAssembly.compile);
  return {
    script: URL.createObjectURL(new Blob((await scripts).flatMap((text) => [text, '\n;\n']), { type: 'text/javascript' })),
    wasm: await wasm,
  };
})();
converterReady.catch(() => {});

// ---- Jobs ----------------------------------------------------------------

function outputName(file) {
  return (file.name.includes('.') ? file.name.replace(/\.[^.]*$/, '') : file.name) + '.pcap';
}

function setZone(job, name) {
  job.zone = name;
  job.zoneLabel.textContent = 'in ' + name;
}

function addJob(file) {
  const item = element('li', 'queued');
  const head = element('div', 'head');
  // Reading the size now also fixes what the browser expects of the file: one
  // changed or deleted before its turn then fails to open, as for the programs.
  const name = element('span', 'name', file.name);
  const zoneLabel = element('span', 'zone');
  const size = element('span', 'size', formatBytes(file.size));
  const cancel = element('button', 'cancel', 'Cancel');
  cancel.type = 'button';
  cancel.setAttribute('aria-label', 'Cancel ' + file.name);
  head.append(name, zoneLabel, size, cancel);
  const bar = element('progress');
  bar.max = 1;
  bar.value = 0;
  bar.setAttribute('aria-label', 'Progress of ' + file.name);
  const status = element('div', 'status', 'Waiting');
  status.tabIndex = -1;
  item.append(head, bar, status);
  jobList.append(item);
  const job = { file, item, bar, status, cancel, zoneLabel, state: 'queued', slot: resultStorage.newSlot(), worker: null, result: null };
  setZone(job, zone);
  cancel.addEventListener('click', () => cancelJob(job));
  jobs.push(job);
  queue.push(job);
  runNext();
}

function setState(job, state, text) {
  job.state = state;
  job.item.className = state;
  job.status.textContent = text;
  if (state !== 'queued')
    announce(state === 'failed' ? text : `${job.file.name}: ${text}`);
}

// `reusable`: the worker ended its conversion normally and may take the next.
function finish(job, reusable = false) {
  job.cancel.remove();
  if (job.worker) {
    if (reusable && !spareWorker) {
      job.worker.onmessage = job.worker.onerror = null;
      spareWorker = job.worker;
    } else {
      job.worker.terminate();
    }
  }
  job.worker = null;
  if (running === job)
    running = null;
  runNext();
}

function cancelJob(job) {
  const index = queue.indexOf(job);
  if (index >= 0)
    queue.splice(index, 1);
  setState(job, 'cancelled', 'Cancelled');
  const wasRunning = running === job;
  finish(job);
  if (wasRunning)
    resultStorage.remove(job.slot);
  job.status.focus();  // the button is gone; the line saying what happened takes its place
  offerReconversion();
}

async function offer(job, output, note) {
  const file = await resultStorage.file(job.slot, output);
  job.result = { name: output.name, size: output.size, crc: undefined, file, url: URL.createObjectURL(file) };
  const link = element('a', 'save', 'Save ' + output.name);
  link.href = job.result.url;
  link.download = output.name;
  const remove = element('button', 'remove', 'Remove');
  remove.type = 'button';
  remove.setAttribute('aria-label', 'Remove ' + output.name);
  remove.addEventListener('click', () => {
    const next = job.item.nextElementSibling || job.item.previousElementSibling;
    removeJob(job);
    (next ? next.querySelector('button, a') : fileChoice)?.focus();
    announce(`${output.name} removed`);
  });
  const line = element('div', 'output');
  line.append(link, document.createTextNode(' (' + formatBytes(output.size) + note + ') '), remove);
  job.item.append(line);
  showTotals();
}

function removeJob(job) {
  if (job.state === 'queued' || job.state === 'running')
    cancelJob(job);
  if (job.result)
    URL.revokeObjectURL(job.result.url);
  job.result = null;
  resultStorage.remove(job.slot);
  job.item.remove();
  jobs.splice(jobs.indexOf(job), 1);
  showTotals();
  offerReconversion();
}

function results() {
  return jobs.filter((job) => job.result);
}

function showTotals() {
  const kept = results();
  resultsBar.hidden = jobs.length === 0;
  const bytes = kept.reduce((sum, job) => sum + job.result.size, 0);
  const where = resultStorage.mode === 'private' ? 'in the browser\'s storage' : 'held by the browser for this tab';
  document.getElementById('occupied').textContent =
    `${kept.length === 1 ? '1 result' : kept.length + ' results'}, ${formatBytes(bytes)} ${where}`;
  for (const id of ['save-zip', 'save-folder'])
    document.getElementById(id).disabled = kept.length === 0;
}

function endJob(job, data) {
  finish(job, data.type === 'end');
  const messages = data.messages || [];
  if (data.type === 'crash')
    messages.push(job.file.name + ' could not be converted: ' + data.text);
  if (data.type === 'end' && data.result === 0) {
    job.bar.value = 1;
    setState(job, 'done', 'Converted in ' + job.zone);
  } else {
    setState(job, 'failed', messages.join('\n') || 'Failed');
  }
  if (data.summary)
    job.item.append(element('div', 'summary', data.summary));
  if (data.type === 'end' && data.output)
    return offer(job, data.output, data.result === 0 ? '' : ', the records before the failure');
  return resultStorage.remove(job.slot);
}

async function runNext() {
  if (running || queue.length === 0)
    return;
  const job = queue.shift();
  running = job;
  let converter;
  try {
    await resultStorage.ready;  // the folder exists before the worker opens a file in it
    converter = await converterReady;
  } catch (error) {
    setState(job, 'failed', job.file.name + ' could not be converted: ' + error.message);
    finish(job);
    return;
  }
  if (running !== job)
    return;  // cancelled meanwhile
  setState(job, 'running', 'Converting in ' + job.zone);
  const worker = spareWorker || new Worker(converter.script);
  spareWorker = null;
  job.worker = worker;
  worker.onmessage = ({ data }) => {
    if (job.worker !== worker)
      return;
    if (data.type === 'progress')
      job.bar.value = data.total > 0 ? data.done / data.total : 0;
    else if (data.type === 'end' || data.type === 'crash')
      endJob(job, data);
  };
  worker.onerror = (event) => {
    event.preventDefault();
    worker.onmessage({ data: { type: 'crash', text: event.message || 'the converter stopped' } });
  };
  worker.postMessage({ file: job.file, zone: job.zone, storage: resultStorage.mode, folder: resultStorage.folder,
    slot: job.slot, wasm: converter.wasm });
}

function addFiles(files) {
  for (const file of files)
    addJob(file);
  showTotals();
}

// ---- Start ---------------------------------------------------------------

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
zoneInput.addEventListener('change', chooseZone);

// A reload or a closed tab stops its conversions and gives their storage back.
window.addEventListener('pagehide', () => {
  if (spareWorker)
    spareWorker.terminate();
  spareWorker = null;
  for (const job of jobs) {
    if (job.worker)
      job.worker.terminate();
    job.worker = null;
    if (job.result)
      resultStorage.remove(job.slot);
  }
});

resultStorage.ready.then(() => {
  document.getElementById('mode').textContent = resultStorage.mode === 'private'
    ? 'Results are kept in the browser\'s private storage for this tab, until you remove them or close the tab.'
    : 'This page has no private storage from the browser (it is not served over https or from localhost, or '
      + 'the window is private): results are kept as browser files (on disk when large) for this tab, until you '
      + 'remove them or close the tab.';
});
if (location.protocol === 'file:') {
  document.getElementById('served-as-file').hidden = false;
  document.getElementById('choose').hidden = true;
}
fillZones();
