// Browser tests of the web edition: the page served from 127.0.0.1, driven in
// Debian's chromium; every download compared byte for byte with what dt2pcap
// writes for the same capture and zone, every message with what it prints.
//
// node web_tests.mjs SITE_DIR NATIVE_BUILD_DIR

import { chromium } from 'playwright-core';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchBrowser, serveSite } from './web_support.mjs';

const [siteDir, nativeDir] = process.argv.slice(2).map((dir) => path.resolve(dir));
if (!siteDir || !nativeDir) {
  console.error('usage: node web_tests.mjs SITE_DIR NATIVE_BUILD_DIR');
  process.exit(2);
}
const capgen = path.join(nativeDir, 'tavrino-capgen');
const dt2pcap = path.join(nativeDir, 'dt2pcap');
const samplesDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../samples');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tpc-web-tests-'));

// ---- Captures and what the program makes of them -------------------------

function run(program, args, options = {}) {
  const result = spawnSync(program, args, { encoding: 'utf8', ...options });
  if (result.error)
    throw result.error;
  return result;
}

function generate(name, options) {
  const file = path.join(work, name);
  const result = run(capgen, [...options, file]);
  assert.equal(result.status, 0, `tavrino-capgen ${options.join(' ')}: ${result.stderr}`);
  return file;
}

function truncated(name, source, length) {
  const file = path.join(work, name);
  fs.copyFileSync(source, file);
  fs.truncateSync(file, length);
  return file;
}

function written(name, bytes) {
  const file = path.join(work, name);
  fs.writeFileSync(file, bytes);
  return file;
}

// dt2pcap's result for `capture` in `zone`, run beside it so that its
// messages name the file as the page does: its failure message apart from
// its --verbose summary line.
function expectation(capture, zone) {
  const output = path.join(work, 'expected-' + path.basename(capture) + '-' + zone.replace(/\//g, '_') + '.pcap');
  fs.rmSync(output, { force: true });
  const result = run(dt2pcap, ['-q', '-v', '--tz', zone, '-o', output, path.basename(capture)], { cwd: path.dirname(capture) });
  const lines = result.stderr.trim().split('\n');
  const isSummary = (line) => line.startsWith(path.basename(capture) + ': ') && / header-only entr/.test(line);
  return {
    status: result.status,
    message: lines.filter((line) => !isSummary(line)).join('\n'),
    summary: lines.filter(isSummary).join('\n'),
    output: fs.existsSync(output) ? output : null,
  };
}

function sameBytes(a, b) {
  if (fs.statSync(a).size !== fs.statSync(b).size)
    return false;
  const size = 1 << 20;
  const one = Buffer.alloc(size), two = Buffer.alloc(size);
  const fa = fs.openSync(a, 'r'), fb = fs.openSync(b, 'r');
  try {
    for (;;) {
      const got = fs.readSync(fa, one, 0, size, null);
      const other = fs.readSync(fb, two, 0, size, null);
      if (got !== other || one.compare(two, 0, other, 0, got) !== 0)
        return false;
      if (got === 0)
        return true;
    }
  } finally {
    fs.closeSync(fa);
    fs.closeSync(fb);
  }
}

// ---- The page ------------------------------------------------------------

const server = await serveSite(siteDir);
const browser = await launchBrowser(chromium, { timezoneId: 'Australia/Sydney' });
const page = await browser.context.newPage();
const pageErrors = [];
page.on('pageerror', (error) => pageErrors.push(error.message));
await page.goto(server.url, { waitUntil: 'networkidle' });
// A machine under load can go quiet for the idle time before the page's last
// script is asked for: count only once the page has loaded.
await page.waitForLoadState('load');
const requestsWhileLoading = server.requests.length;

async function chooseZone(zone, tab = page) {
  await tab.fill('#zone', zone);
  await tab.dispatchEvent('#zone', 'change');
}

async function jobCount() {
  return page.locator('#jobs li').count();
}

// Waits for job `index` to end; returns its state, status text and link.
async function jobResult(index, timeout = 120000) {
  await page.waitForFunction((i) => {
    const item = document.querySelectorAll('#jobs li')[i];
    return item && ['done', 'failed', 'cancelled'].includes(item.className);
  }, index, { timeout, polling: 100 });
  const item = page.locator('#jobs li').nth(index);
  return {
    item,
    state: await item.getAttribute('class'),
    status: await item.locator('.status').innerText(),
    saves: await item.locator('a.save').count(),
    summary: await item.locator('.summary').count() ? await item.locator('.summary').innerText() : '',
  };
}

async function download(item, name) {
  const [file] = await Promise.all([page.waitForEvent('download'), item.locator('a.save').click()]);
  assert.equal(file.suggestedFilename(), name);
  const saved = path.join(work, 'downloaded.pcap');
  fs.rmSync(saved, { force: true });
  await file.saveAs(saved);
  await file.delete();
  return saved;
}

// Converts `captures` (chosen together) in `zone` and checks each against dt2pcap.
async function checkAgainstProgram(captures, zone) {
  const expected = captures.map((capture) => expectation(capture, zone));
  await chooseZone(zone);
  const first = await jobCount();
  await page.setInputFiles('#files', captures);
  for (let i = 0; i < captures.length; ++i) {
    const name = path.basename(captures[i]);
    const want = expected[i];
    const got = await jobResult(first + i);
    if (want.status === 0) {
      assert.equal(got.state, 'done', `${name}: ${got.status}`);
    } else {
      assert.equal(got.state, 'failed', name);
      assert.equal(got.status, want.message, name);
    }
    assert.equal(got.saves, want.output ? 1 : 0, `${name}: a download only when the program leaves a .pcap`);
    assert.equal(got.summary, want.summary, `${name}: the summary is dt2pcap --verbose's line`);
    if (want.output) {
      const saved = await download(got.item, (name.includes('.') ? name.replace(/\.[^.]*$/, '') : name) + '.pcap');
      assert.ok(sameBytes(saved, want.output), `${name} in ${zone}: download differs from dt2pcap's output`);
      fs.rmSync(saved);
    }
    if (want.output)
      fs.rmSync(want.output);
  }
}

// WEB_TESTS_FILTER=regex runs only the cases whose names match.
// Whether job `index`'s unfinished output has left the browser's storage
// (a terminated worker lets go of it a moment later).
async function outputRemoved(index) {
  for (let attempt = 0; attempt < 100; ++attempt) {
    const left = await page.evaluate(async (slot) => {
      const root = await navigator.storage.getDirectory();
      for await (const [, folder] of root.entries())
        for await (const name of folder.keys())
          if (name === slot)
            return true;
      return false;
    }, 'out-' + (index + 1));
    if (!left)
      return true;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return false;
}

const tests = [];
const filter = new RegExp(process.env.WEB_TESTS_FILTER || '');
function test(name, body) {
  if (filter.test(name))
    tests.push({ name, body });
}

// ---- Cases ---------------------------------------------------------------

test('the page offers the browser\'s own zone first and says nothing is uploaded', async () => {
  assert.equal(await page.inputValue('#zone'), 'Australia/Sydney');
  assert.equal(await page.locator('#zone-names option').first().getAttribute('value'), 'Australia/Sydney');
  assert.ok(await page.locator('#zone-names option[value="Asia/Tokyo"]').count());
  assert.match(await page.locator('#privacy').innerText(), /Nothing is uploaded/);
  // The zone comes before the files, also for the keyboard.
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'zone');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'files');
});

test('the page names its release, the version dt2pcap prints', async () => {
  const printed = run(dt2pcap, ['--version']).stdout.split('\n')[0];
  assert.match(printed, /^dt2pcap \d+(\.\d+)+$/);
  assert.equal(await page.locator('#version').innerText(), printed.replace(/^dt2pcap/, 'TAVRINO pcap converter'));
});

test('samples, chosen together', async () => {
  const samples = fs.readdirSync(samplesDir).filter((name) => name.endsWith('.DT')).sort();
  assert.ok(samples.length >= 3);
  await checkAgainstProgram(samples.map((name) => path.join(samplesDir, name)), 'Europe/Berlin');
});

test('a dropped capture', async () => {
  const bytes = fs.readFileSync(path.join(samplesDir, 'short-frames.DT')).toString('base64');
  const expected = expectation(path.join(samplesDir, 'short-frames.DT'), 'UTC');
  await chooseZone('UTC');
  const index = await jobCount();
  await page.evaluate((data) => {
    const transfer = new DataTransfer();
    const raw = Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
    transfer.items.add(new File([raw], 'short-frames.DT'));
    document.getElementById('drop').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, bytes);
  const got = await jobResult(index);
  assert.equal(got.state, 'done');
  const saved = await download(got.item, 'short-frames.pcap');
  assert.ok(sameBytes(saved, expected.output));
  fs.rmSync(expected.output);
});

test('names as chosen: spaces, dots, letters beyond ASCII, no extension', async () => {
  const source = fs.readFileSync(path.join(samplesDir, 'vlan-trunk.DT'));
  await checkAgainstProgram([
    written('Köln run 1.v2.DT', source),
    written('capture', source),
    written('Zürich cut.DT', source.subarray(0, 700)),
  ], 'Europe/Zurich');
});

test('a file gone before its turn cannot be opened', async () => {
  const first = generate('first.DT', ['--size', '100M']);
  const gone = written('gone.DT', fs.readFileSync(path.join(samplesDir, 'office-lan.DT')));
  const expected = expectation(path.join(work, 'never-there.DT'), 'UTC').message.replace('never-there', 'gone');
  await chooseZone('UTC');
  const index = await jobCount();
  await page.setInputFiles('#files', [first, gone]);
  fs.rmSync(gone);
  assert.equal((await jobResult(index)).state, 'done');
  const got = await jobResult(index + 1);
  assert.equal(got.state, 'failed');
  assert.equal(got.status, expected);
  assert.equal(got.saves, 0);
  fs.rmSync(first);
});

const kSlow = ['--resolution', '1', '--rate', '0.2', '--frames', '1500', '--frame-size', '60-200'];
const zoneCases = [
  ['tokyo', 'Asia/Tokyo', '2010-03-15 09:30:00.25', ['--frames', '3000']],
  ['berlin-spring', 'Europe/Berlin', '2010-03-28 01:30:00.00', kSlow],
  ['berlin-autumn', 'Europe/Berlin', '2010-10-31 01:30:00.00', kSlow],
  ['berlin-summer', 'Europe/Berlin', '2010-07-01 12:00:00.00', ['--frames', '500']],
  ['new-york-spring', 'America/New_York', '2010-03-14 01:30:00.00', kSlow],
  ['new-york-autumn', 'America/New_York', '2010-11-07 00:30:00.00', kSlow],
  ['dublin-summer', 'Europe/Dublin', '2010-07-01 12:00:00.00', ['--frames', '500']],
  ['dublin-winter', 'Europe/Dublin', '2010-01-15 12:00:00.00', ['--frames', '500']],
  ['dublin-spring', 'Europe/Dublin', '2010-03-28 00:30:00.00', kSlow],
  ['dublin-1971', 'Europe/Dublin', '1971-06-01 12:00:00.00', ['--frames', '500']],
  ['moscow-2011', 'Europe/Moscow', '2011-03-27 01:30:00.00', kSlow],
  ['moscow-2011-skipped', 'Europe/Moscow', '2011-03-27 02:30:00.00', ['--frames', '500']],
  ['moscow-2011-summer', 'Europe/Moscow', '2011-07-01 12:00:00.00', ['--frames', '500']],
  ['moscow-2014', 'Europe/Moscow', '2014-10-26 00:30:00.00', kSlow],
  ['tokyo-1970', 'Asia/Tokyo', '1970-01-01 08:59:00.00', ['--resolution', '1', '--rate', '5', '--frames', '1000']],
  ['tokyo-2038', 'Asia/Tokyo', '2038-01-19 12:13:30.00', ['--resolution', '1', '--rate', '5', '--frames', '1000']],
  ['new-york-2038', 'America/New_York', '2038-01-18 22:13:30.00', ['--resolution', '1', '--rate', '5', '--frames', '1000']],
  ['berlin-2150', 'Europe/Berlin', '2150-06-01 00:00:00.00', ['--frames', '500']],
];
for (const [name, zone, start, options] of zoneCases) {
  test(`zone ${zone}, start ${start}`, async () => {
    const capture = generate(`${name}.DT`, ['--start', start, ...options]);
    await checkAgainstProgram([capture], zone);
  });
}

test('every failure message, and a download only after the walk has begun', async () => {
  // 40 frame entries of 76 bytes each: header 4, time field 8, frame 60, trailer 4.
  const whole = generate('whole.DT', ['--frames', '40', '--frame-size', '60', '--header-only', '0']);
  const monolithic = generate('monl-first.DT', ['--frames', '40', '--monl-first']);
  const size = fs.statSync(whole).size;
  const firstEntry = size - 40 * 76;
  const header = fs.readFileSync(whole).subarray(0, 16);
  const captures = [
    truncated('short-header.DT', whole, 10),
    written('bad-header.DT', Buffer.concat([header.subarray(0, 15), Buffer.from([0x21])])),
    truncated('no-chunks.DT', whole, 16 + 8 + 612),
    truncated('dinf-cut.DT', monolithic, fs.statSync(monolithic).size - 100),
    truncated('entry-header-cut.DT', whole, firstEntry + 5 * 76 + 2),
    truncated('time-field-cut.DT', whole, firstEntry + 5 * 76 + 7),
    truncated('frame-cut.DT', whole, firstEntry + 5 * 76 + 12 + 30),
    truncated('trailer-cut.DT', whole, firstEntry + 5 * 76 + 74),
    written('empty.DT', Buffer.alloc(0)),
  ];
  const messages = captures.map((capture) => expectation(capture, 'UTC').message);
  for (const text of [' Read error:TAVRINO Header', ' File header error', ' Read error:Header scan',
    ' Read error:Get timestamp', ' Read error:offset0', ' Read error:offset4', ' Read error:packet', ' Read error:last'])
    assert.ok(messages.some((message) => message.endsWith(text)), `no case gives "${text}"`);
  await checkAgainstProgram(captures, 'UTC');
});

test('a sparse capture whose entries lie past 4 GiB', async () => {
  const filler = 4294967295;
  const capture = generate('past-4gib.DT', ['--filler', String(filler), '--size', String(filler + 3 * 1048576)]);
  assert.ok(fs.statSync(capture).size > 2 ** 32);
  await checkAgainstProgram([capture], 'Asia/Tokyo');
  fs.rmSync(capture);
});

test('a 200 MB capture, then the same one cancelled', async () => {
  const capture = generate('big.DT', ['--size', '200M']);
  await checkAgainstProgram([capture], 'America/New_York');

  const index = await jobCount();
  await page.setInputFiles('#files', capture);
  const item = page.locator('#jobs li').nth(index);
  await page.waitForFunction((i) => document.querySelectorAll('#jobs li progress')[i].value > 0.02, index, { polling: 20 });
  await item.locator('button.cancel').click();
  const got = await jobResult(index);
  assert.equal(got.state, 'cancelled');
  assert.equal(got.saves, 0);
  assert.equal(await outputRemoved(index), true, 'the cancelled output is removed');
  fs.rmSync(capture);
});

// The browser's storage limited to what it holds now plus `room` bytes.
async function withStorageRoom(room, body) {
  const origin = server.url.replace(/\/$/, '');
  const usage = await page.evaluate(async () => (await navigator.storage.estimate()).usage);
  const cdp = await browser.context.newCDPSession(page);
  await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: usage + room });
  try {
    await body();
  } finally {
    await cdp.send('Storage.overrideQuotaForOrigin', { origin });
    await cdp.detach();
  }
}

test('a full disk: the write error or the refused output, and nothing to save', async () => {
  const capture = generate('too-big.DT', ['--size', '8M']);
  const cases = [
    [1 << 20, 'too-big.pcap Write error: No space left on device'],
    [0, 'Write file Open error\ntoo-big.pcap: No space left on device'],
  ];
  for (const [room, message] of cases) {
    await withStorageRoom(room, async () => {
      const index = await jobCount();
      await page.setInputFiles('#files', capture);
      const got = await jobResult(index);
      assert.equal(got.state, 'failed');
      assert.equal(got.status, message);
      assert.equal(got.saves, 0);
      assert.equal(await outputRemoved(index), true, 'the unfinished output is removed');
    });
  }
});

test('every request went to the local server, and none came after loading', async () => {
  assert.deepEqual(server.requests.slice(requestsWhileLoading), []);
  assert.deepEqual([...new Set(server.requests)].sort(), ['/', '/crc32.js', '/page.js', '/save_all.js', '/style.css', '/tavrino-converter.js',
    '/storage.js',
    '/tavrino-converter.wasm', '/worker.js', '/zip.js', '/zones.js'].sort());
  const foreign = browser.requests.filter((url) => !url.startsWith(server.url) && !url.startsWith('blob:' + server.url)
    && !url.startsWith('data:'));
  assert.deepEqual(foreign, []);
  assert.deepEqual(pageErrors, []);
});

// These open more tabs, each loading the page again.
test('a zone changed after the files were chosen: each result names its zone, the files are offered again', async () => {
  const capture = generate('rezone.DT', ['--start', '2010-07-01 12:00:00.00', '--frames', '300']);
  const berlin = expectation(capture, 'Europe/Berlin');
  const tokyo = expectation(capture, 'Asia/Tokyo');
  await page.click('#clear');
  await chooseZone('Europe/Berlin');
  const index = await jobCount();
  await page.setInputFiles('#files', capture);
  assert.equal((await jobResult(index)).status, 'Converted in Europe/Berlin');
  assert.equal(await page.locator('#rezone').isHidden(), true);
  await chooseZone('Asia/Tokyo');
  assert.match(await page.locator('#rezone').innerText(), /1 file was converted in Europe\/Berlin\.[\s\S]*Convert it again in Asia\/Tokyo/);
  await page.click('#reconvert');
  const again = await jobResult(index + 1);
  assert.equal(again.status, 'Converted in Asia/Tokyo');
  assert.equal(again.summary, tokyo.summary);
  assert.notEqual(berlin.summary, tokyo.summary);
  assert.ok(sameBytes(await download(again.item, 'rezone.pcap'), tokyo.output));
  assert.equal(await page.locator('#rezone').isHidden(), true);
  // A name no browser knows is refused, visibly; the zone stays.
  await chooseZone('Asia/Atlantis');
  assert.match(await page.locator('#zone-error').innerText(), /Unknown time zone "Asia\/Atlantis": files are still converted in Asia\/Tokyo/);
  await chooseZone('Asia/Tokyo');
  assert.equal(await page.locator('#zone-error').isHidden(), true);
  // Remembered for the next visit, by its current name.
  await chooseZone('Asia/Calcutta');
  assert.equal(await page.inputValue('#zone'), 'Asia/Kolkata');
  const other = await browser.context.newPage();
  await other.goto(server.url);
  assert.equal(await other.inputValue('#zone'), 'Asia/Kolkata');
  assert.ok(await other.locator('#zone-names option[value="Europe/Kyiv"]').count());
  assert.equal(await other.locator('#zone-names option[value="Europe/Kiev"]').count(), 0);
  await other.close();
  // A fixed offset converts as a zone that never changes.
  const fixed = expectation(capture, 'Asia/Kolkata');
  await chooseZone('UTC+05:30');
  const fixedIndex = await jobCount();
  await page.setInputFiles('#files', capture);
  const last = await jobResult(fixedIndex);
  assert.equal(last.status, 'Converted in UTC+05:30');
  assert.ok(sameBytes(await download(last.item, 'rezone.pcap'), fixed.output));
  for (const file of [capture, berlin.output, tokyo.output, fixed.output])
    fs.rmSync(file, { force: true });
});

test('save all as a zip: unzip -t passes, the members are dt2pcap\'s outputs; then remove one, clear all', async () => {
  await page.click('#clear');
  const captures = [1, 2, 3, 4, 5].map((n) => generate(`batch-${n}.DT`, ['--frames', String(200 * n), '--header-only', '3']));
  const expected = captures.map((capture) => expectation(capture, 'UTC'));
  await chooseZone('UTC');
  await page.setInputFiles('#files', captures);
  for (let i = 0; i < 5; ++i)
    assert.equal((await jobResult(i)).state, 'done');
  assert.match(await page.locator('#occupied').innerText(), /^5 results, /);
  const [file] = await Promise.all([page.waitForEvent('download'), page.click('#save-zip')]);
  const zip = path.join(work, 'all.zip');
  await file.saveAs(zip);
  const test = run('unzip', ['-t', zip]);
  assert.equal(test.status, 0, test.stdout + test.stderr);
  const unpacked = path.join(work, 'unzipped');
  assert.equal(run('unzip', ['-q', '-o', '-d', unpacked, zip]).status, 0);
  for (let i = 0; i < 5; ++i)
    assert.ok(sameBytes(path.join(unpacked, `batch-${i + 1}.pcap`), expected[i].output), `member ${i + 1}`);
  // The same writer's Zip64 records, which outputs past 4 GiB get.
  const zip64 = path.join(work, 'zip64.zip');
  fs.writeFileSync(zip64, Buffer.from(await page.evaluate(async () => {
    const parts = [new Blob(['first pcap']), new Blob([new Uint8Array(70000).fill(7)])];
    const entries = [];
    for (const [i, blob] of parts.entries()) {
      // CRC-32 bit by bit, as zip defines it.
      let crc = ~0;
      for (const byte of new Uint8Array(await blob.arrayBuffer())) {
        crc ^= byte;
        for (let bit = 0; bit < 8; ++bit)
          crc = (crc >>> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
      }
      entries.push({ name: `m${i}.pcap`, size: blob.size, crc: ~crc >>> 0, blob });
    }
    return [...new Uint8Array(await zipBlob(entries, { forceZip64: true }).arrayBuffer())];
  })));
  const test64 = run('unzip', ['-t', zip64]);
  assert.equal(test64.status, 0, test64.stdout + test64.stderr);
  assert.match(run('zipinfo', ['-v', zip64]).stdout, /Zip64/i);

  await page.locator('#jobs li').nth(0).locator('button.remove').click();
  assert.equal(await jobCount(), 4);
  assert.match(await page.locator('#occupied').innerText(), /^4 results, /);
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Save batch-2.pcap');
  await page.click('#clear');
  assert.equal(await jobCount(), 0);
  for (const file of [...captures, ...expected.map((want) => want.output), zip, zip64])
    fs.rmSync(file, { force: true });
  fs.rmSync(unpacked, { recursive: true, force: true });
});

test('save all into a folder: one file per result, same names kept apart, each dt2pcap\'s output', async () => {
  // The picker itself cannot be driven headless: it hands over a folder of
  // the browser's private storage instead, which the page writes the same way.
  await page.evaluate(async () => {
    const root = await navigator.storage.getDirectory();
    await root.removeEntry('picked-folder', { recursive: true }).catch(() => {});
    const picked = await root.getDirectoryHandle('picked-folder', { create: true });
    window.showDirectoryPicker = async () => picked;
  });
  for (const dir of ['first', 'second'])
    fs.mkdirSync(path.join(work, dir), { recursive: true });
  const captures = [
    generate('first/same.DT', ['--frames', '300']),
    generate('second/same.DT', ['--frames', '500', '--seed', '9']),
    generate('other.DT', ['--frames', '100', '--header-only', '2']),
  ];
  // Each program output under a name of its own: both same.DT would write one.
  const expected = captures.map((capture, i) => {
    const want = expectation(capture, 'UTC');
    fs.renameSync(want.output, want.output + '.' + i);
    return { ...want, output: want.output + '.' + i };
  });
  await chooseZone('UTC');
  await page.setInputFiles('#files', captures);
  for (let i = 0; i < captures.length; ++i)
    assert.equal((await jobResult(i)).state, 'done');
  assert.equal(await page.locator('#save-folder').isVisible(), true);
  await page.click('#save-folder');
  await page.waitForFunction(() => /^Saved 3 results into picked-folder$/.test(document.getElementById('announce').textContent),
                             null, { timeout: 30000 });
  const saved = await page.evaluate(async () => {
    const root = await navigator.storage.getDirectory();
    const picked = await root.getDirectoryHandle('picked-folder');
    const files = {};
    for await (const [name, handle] of picked.entries())
      files[name] = [...new Uint8Array(await (await handle.getFile()).arrayBuffer())];
    await root.removeEntry('picked-folder', { recursive: true });
    return files;
  });
  assert.deepEqual(Object.keys(saved).sort(), ['other.pcap', 'same-2.pcap', 'same.pcap']);
  for (const [name, want] of [['same.pcap', expected[0]], ['same-2.pcap', expected[1]], ['other.pcap', expected[2]]])
    assert.ok(Buffer.from(saved[name]).equals(fs.readFileSync(want.output)), `${name} differs from dt2pcap's output`);
  await page.click('#clear');
  for (const file of [...captures, ...expected.map((want) => want.output)])
    fs.rmSync(file, { force: true });
});

test('a capture that changes while it is read says so', async () => {
  const capture = generate('growing.DT', ['--size', '300M']);
  await chooseZone('UTC');
  const index = await jobCount();
  await page.setInputFiles('#files', capture);
  await page.waitForFunction((i) => document.querySelectorAll('#jobs li progress')[i].value > 0.05, index, { polling: 10 });
  fs.appendFileSync(capture, Buffer.alloc(4096));
  const got = await jobResult(index);
  assert.equal(got.state, 'failed');
  assert.equal(got.status, 'growing.DT changed while being read (is it still being copied?); convert it again once it is complete');
  fs.rmSync(capture);
});

test('on a phone: no sideways scrolling with a long name; every control named, states announced', async () => {
  const phone = await browser.context.newPage();
  await phone.setViewportSize({ width: 390, height: 844 });
  await phone.goto(server.url);
  const capture = written('uplink_capture_2021_07_01_120000.DT', fs.readFileSync(path.join(samplesDir, 'office-lan.DT')));
  const index = await phone.locator('#jobs li').count();
  await phone.setInputFiles('#files', capture);
  await phone.waitForFunction((i) => document.querySelectorAll('#jobs li')[i]?.className === 'done', index);
  assert.equal(await phone.evaluate(() => document.documentElement.scrollWidth), 390);
  const tooSmall = await phone.evaluate(() => [...document.querySelectorAll('button:not([hidden]), a.save, input')]
    .filter((node) => node.offsetParent && (node.getBoundingClientRect().height < 44 || node.getBoundingClientRect().width < 44))
    .map((node) => node.id || node.textContent));
  assert.deepEqual(tooSmall, []);
  const tree = await phone.locator('body').ariaSnapshot();
  console.log('      ' + tree.split('\n').join('\n      '));
  assert.match(tree, /combobox "1\. Time zone of the recording"/);
  assert.match(tree, /button "2\. Drop \.DT capture files here, or choose them:"|"2\. Drop/);
  assert.match(tree, /progressbar "Progress of uplink_capture_2021_07_01_120000\.DT"/);
  assert.match(tree, /button "Remove uplink_capture_2021_07_01_120000\.pcap"/);
  assert.match(tree, /status: "uplink_capture_2021_07_01_120000\.DT: Converted in /);
  // Cancel: its own name, and the focus on what happened instead of on nothing.
  const big = generate('cancel-me.DT', ['--size', '200M']);
  await phone.setInputFiles('#files', big);
  const cancel = phone.getByRole('button', { name: 'Cancel cancel-me.DT' });
  await cancel.click();
  assert.equal(await phone.evaluate(() => document.activeElement.textContent), 'Cancelled');
  await phone.close();
  fs.rmSync(big);
});

test('a reload stops its conversion and gives its storage back', async () => {
  // What the tabs open before this one hold is theirs.
  const others = await page.evaluate(async () => {
    const names = [];
    for await (const name of (await navigator.storage.getDirectory()).keys())
      names.push(name);
    return names;
  });
  const tab = await browser.context.newPage();
  await tab.goto(server.url);
  const capture = generate('reloaded.DT', ['--size', '300M']);
  await tab.setInputFiles('#files', capture);
  await tab.waitForFunction(() => document.querySelector('#jobs li progress')?.value > 0.05, null, { polling: 10 });
  await tab.reload();
  const bytesKept = () => tab.evaluate(async (skip) => {
    let total = 0;
    const root = await navigator.storage.getDirectory();
    for await (const [name, folder] of root.entries()) {
      if (!skip.includes(name))
        for await (const [, file] of folder.entries())
          total += (await file.getFile()).size;
    }
    return total;
  }, others);
  let kept = await bytesKept();
  for (let attempt = 0; attempt < 50 && kept > 0; ++attempt) {
    await new Promise((resolve) => setTimeout(resolve, 100));
    kept = await bytesKept();
  }
  assert.equal(kept, 0);
  await tab.close();
  fs.rmSync(capture);
});

test('a browser that has private storage but refuses it: the page keeps its results as Blobs', async () => {
  const tab = await browser.context.newPage();
  await tab.addInitScript(() => {
    navigator.storage.getDirectory = () => Promise.reject(new DOMException('refused', 'SecurityError'));
  });
  await tab.goto(server.url);
  await tab.waitForFunction(() => /no private storage/.test(document.getElementById('mode').textContent));
  const capture = path.join(samplesDir, 'vlan-trunk.DT');
  const expected = expectation(capture, 'UTC');
  await chooseZone('UTC', tab);
  await tab.setInputFiles('#files', capture);
  await tab.waitForFunction(() => document.querySelector('#jobs li')?.className === 'done');
  const [file] = await Promise.all([tab.waitForEvent('download'), tab.locator('a.save').click()]);
  const saved = path.join(work, 'refused.pcap');
  await file.saveAs(saved);
  assert.ok(sameBytes(saved, expected.output));
  await tab.close();
  fs.rmSync(saved);
  fs.rmSync(expected.output);
});

// Runs last: it loads the page again and closes the first one.
test('what a closed tab left is cleared by the next visit, an open tab keeps its own', async () => {
  const folders = (tab) => tab.evaluate(async () => {
    const root = await navigator.storage.getDirectory();
    const names = [];
    for await (const name of root.keys())
      names.push(name);
    return names.sort();
  });
  const waitFolders = async (tab, count) => {
    for (let attempt = 0; attempt < 100; ++attempt) {
      const names = await folders(tab);
      if (names.length === count)
        return names;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    return folders(tab);
  };
  const [first] = await folders(page);
  const second = await browser.context.newPage();
  await second.goto(server.url, { waitUntil: 'networkidle' });
  const both = await waitFolders(second, 2);
  assert.ok(both.includes(first), 'an open tab keeps its outputs');
  await page.close();
  const third = await browser.context.newPage();
  await third.goto(server.url, { waitUntil: 'networkidle' });
  const left = await waitFolders(third, 2);
  assert.ok(!left.includes(first), 'the closed tab\'s outputs are gone');
  await second.close();
  await third.close();
});

// Runs last too: another browser, which reaches the same server under a
// host name of its own, over plain http.
test('served over plain http from an intranet host name: converts without the browser\'s private storage', async () => {
  const intranet = await launchBrowser(chromium, { timezoneId: 'Europe/Berlin' }, ['--host-resolver-rules=MAP converter.intranet 127.0.0.1']);
  try {
    const tab = await intranet.context.newPage();
    const errors = [];
    tab.on('pageerror', (error) => errors.push(error.message));
    await tab.goto(server.url.replace('127.0.0.1', 'converter.intranet'), { waitUntil: 'networkidle' });
    assert.equal(await tab.evaluate(() => window.isSecureContext), false);
    assert.match(await tab.locator('#mode').innerText(), /not served over https or from localhost/);
    // Large enough for its output to span several of the worker's Blobs.
    const capture = generate('office-intranet.DT', ['--size', '90M']);
    const expected = expectation(capture, 'Europe/Berlin');
    await tab.setInputFiles('#files', capture);
    await tab.waitForFunction(() => document.querySelector('#jobs li')?.className === 'done', null, { timeout: 120000 });
    const [file] = await Promise.all([tab.waitForEvent('download'), tab.locator('a.save').click()]);
    const saved = path.join(work, 'intranet.pcap');
    await file.saveAs(saved);
    assert.ok(sameBytes(saved, expected.output));
    assert.equal(await tab.locator('.summary').innerText(), expected.summary);
    assert.deepEqual(errors, []);
    for (const name of [capture, saved, expected.output])
      fs.rmSync(name);
  } finally {
    await intranet.close();
  }
});

test('opened as a file, the page says how to serve it', async () => {
  const tab = await browser.context.newPage();
  await tab.goto('file://' + path.join(siteDir, 'index.html'));
  assert.match(await tab.locator('#served-as-file').innerText(), /make web-serve/);
  assert.equal(await tab.locator('#choose').isHidden(), true);
  await tab.close();
});

// ---- Run -----------------------------------------------------------------

let failed = 0;
const started = Date.now();
for (const { name, body } of tests) {
  const begin = Date.now();
  try {
    await body();
    console.log(`ok    ${name} (${((Date.now() - begin) / 1000).toFixed(1)} s)`);
  } catch (error) {
    ++failed;
    console.log(`FAIL  ${name}\n      ${String(error.stack || error).split('\n').join('\n      ')}`);
  }
}
await browser.close();
await server.close();
fs.rmSync(work, { recursive: true, force: true });
console.log(`${tests.length - failed} of ${tests.length} browser tests passed in ${((Date.now() - started) / 1000).toFixed(0)} s`);
process.exit(failed ? 1 : 0);
