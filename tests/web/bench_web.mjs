// Figures for the web edition, printed, never asserted: conversion speed of a
// 200 MB capture in the browser next to dt2pcap's, and the tab's peak memory
// while it converts a 2 GiB capture; served from 127.0.0.1 (the browser's
// private storage), then over plain http as http://converter.intranet:PORT/
// (results kept as Blobs). BENCH_WEB_MODES=private or =intranet runs one.
//
// node bench_web.mjs SITE_DIR NATIVE_BUILD_DIR

import { chromium } from 'playwright-core';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchBrowser, serveSite } from './web_support.mjs';

const [siteDir, nativeDir] = process.argv.slice(2).map((dir) => path.resolve(dir));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tpc-web-bench-'));
const MB = 1e6;

function run(program, args) {
  const result = spawnSync(program, args, { encoding: 'utf8' });
  if (result.status !== 0)
    throw new Error(`${program} ${args.join(' ')}: ${result.stderr}`);
}

function capture(name, size) {
  const file = path.join(work, name);
  run(path.join(nativeDir, 'tavrino-capgen'), ['--size', size, file]);
  return file;
}

function nativeSeconds(file) {
  let best = Infinity;
  for (let i = 0; i < 3; ++i) {
    const start = process.hrtime.bigint();
    run(path.join(nativeDir, 'dt2pcap'), ['-q', '--tz', 'UTC', '-o', path.join(work, 'native.pcap'), file]);
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e9);
  }
  fs.rmSync(path.join(work, 'native.pcap'));
  return best;
}

// Every process below this one (chromium, its zygotes, renderers) by pid.
function descendants() {
  const parents = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      parents.set(Number(pid), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch {
      // Gone meanwhile.
    }
  }
  const found = new Set([process.pid]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents)
      if (found.has(parent) && !found.has(pid)) {
        found.add(pid);
        grown = true;
      }
  }
  found.delete(process.pid);
  return [...found];
}

function statusKiB(pid, field) {
  try {
    const match = fs.readFileSync(`/proc/${pid}/status`, 'utf8').match(new RegExp(`^${field}:\\s+(\\d+) kB`, 'm'));
    return match ? Number(match[1]) : 0;
  } catch {
    return 0;
  }
}

// The browser's own process, which holds Blobs until it moves them to disk.
function browserProcess() {
  return descendants().filter((pid) => {
    try {
      return !fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=');
    } catch {
      return false;
    }
  });
}

function renderers() {
  return descendants().filter((pid) => {
    try {
      return fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer');
    } catch {
      return false;
    }
  });
}

const server = await serveSite(siteDir);
let browser, page;

// Converts `file` in the page; seconds until it is done, and the largest
// resident size any renderer had meanwhile, sampled every 50 ms.
async function convertInPage(file) {
  const index = await page.locator('#jobs li').count();
  let peak = 0, browserPeak = 0;
  const parts = { RssAnon: 0, RssFile: 0, RssShmem: 0 };
  const sampler = setInterval(() => {
    for (const pid of renderers()) {
      peak = Math.max(peak, statusKiB(pid, 'VmRSS'));
      for (const field of Object.keys(parts))
        parts[field] = Math.max(parts[field], statusKiB(pid, field));
    }
    for (const pid of browserProcess())
      browserPeak = Math.max(browserPeak, statusKiB(pid, 'VmRSS'));
  }, 50);
  const start = process.hrtime.bigint();
  await page.setInputFiles('#files', file);
  await page.waitForFunction((i) => {
    const item = document.querySelectorAll('#jobs li')[i];
    return item && item.className !== 'running' && item.className !== 'queued';
  }, index, { polling: 20, timeout: 0 });
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  clearInterval(sampler);
  const state = await page.locator('#jobs li').nth(index).getAttribute('class');
  if (state !== 'done')
    throw new Error(`${file}: ${state}`);
  await page.click('#clear');
  return { seconds, peakKiB: peak, browserPeakKiB: browserPeak, parts };
}

const medium = capture('200M.DT', '200M');
const big = capture('2G.DT', '2G');
try {
  const size = fs.statSync(medium).size;
  const native = nativeSeconds(medium);
  console.log(`200 MB capture (${(size / MB).toFixed(0)} MB): dt2pcap ${native.toFixed(2)} s, ${(size / MB / native).toFixed(0)} MB/s`);
  const modes = (process.env.BENCH_WEB_MODES || 'private,intranet').split(',');
  for (const mode of modes) {
    const intranet = mode === 'intranet';
    browser = await launchBrowser(chromium, {}, intranet ? ['--host-resolver-rules=MAP converter.intranet 127.0.0.1'] : []);
    page = await browser.context.newPage();
    await page.goto(intranet ? server.url.replace('127.0.0.1', 'converter.intranet') : server.url);
    await page.fill('#zone', 'UTC');
    await page.dispatchEvent('#zone', 'change');
    const idle = Math.max(0, ...renderers().map((pid) => statusKiB(pid, 'VmRSS')));
    let browserBest = Infinity;
    for (let i = 0; i < 3; ++i)
      browserBest = Math.min(browserBest, (await convertInPage(medium)).seconds);
    const where = intranet ? 'over plain http, Blobs' : 'from 127.0.0.1, private storage';
    console.log(`${where}:`);
    console.log(`  200 MB: ${browserBest.toFixed(2)} s, ${(size / MB / browserBest).toFixed(0)} MB/s (from choosing the file to the offered download)`);
    const bigSize = fs.statSync(big).size;
    const result = await convertInPage(big);
    console.log(`  2 GiB capture (${(bigSize / MB).toFixed(0)} MB) in ${result.seconds.toFixed(1)} s, ${(bigSize / MB / result.seconds).toFixed(0)} MB/s`);
    console.log(`  tab (renderer) resident memory: ${(idle / 1024).toFixed(0)} MiB idle, ${(result.peakKiB / 1024).toFixed(0)} MiB peak while converting`);
    console.log(`  the browser's own process: ${(result.browserPeakKiB / 1024).toFixed(0)} MiB peak`);
    console.log(`  peaks of its parts: ${Object.entries(result.parts).map(([name, kib]) => `${name} ${(kib / 1024).toFixed(0)} MiB`).join(', ')}`);
    await browser.close();
    browser = null;
  }
} finally {
  if (browser)
    await browser.close();
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
