// The page in headless chromium for the README: three samples converted, one
// broken capture's message, written to docs/web-page.png.
//
// node screenshot_web.mjs SITE_DIR OUTPUT.png

import { chromium } from 'playwright-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchBrowser, serveSite } from './web_support.mjs';

const [siteDir, output] = process.argv.slice(2).map((name) => path.resolve(name));
const samples = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../samples');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tpc-web-shot-'));
const broken = path.join(work, 'night-shift.DT');
fs.writeFileSync(broken, fs.readFileSync(path.join(samples, 'office-lan.DT')).subarray(0, 3000));

const server = await serveSite(siteDir);
const browser = await launchBrowser(chromium, { viewport: { width: 860, height: 700 }, timezoneId: 'Europe/Berlin' });
try {
  const page = await browser.context.newPage();
  await page.goto(server.url);
  const files = fs.readdirSync(samples).filter((name) => name.endsWith('.DT')).sort().map((name) => path.join(samples, name));
  await page.setInputFiles('#files', [...files, broken]);
  await page.waitForFunction((count) => document.querySelectorAll('#jobs li.done, #jobs li.failed').length === count,
    files.length + 1);
  await page.screenshot({ path: output, fullPage: true });
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
