// The page in headless chromium for the README: three samples converted, one
// broken capture's message, written to OUTPUT.png; the same page 390 px wide
// (a phone) to OUTPUT-phone.png.
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
  const files = fs.readdirSync(samples).filter((name) => name.endsWith('.DT')).sort().map((name) => path.join(samples, name));
  for (const [width, file] of [[860, output], [390, output.replace(/\.png$/, '-phone.png')]]) {
    const page = await browser.context.newPage();
    await page.setViewportSize({ width, height: 700 });
    await page.goto(server.url);
    await page.fill('#zone', 'Europe/Berlin');
    await page.dispatchEvent('#zone', 'change');
    await page.setInputFiles('#files', width > 400 ? [...files, broken] : [files[0]]);
    await page.waitForFunction((count) => document.querySelectorAll('#jobs li.done, #jobs li.failed').length === count,
      width > 400 ? files.length + 1 : 1);
    await page.screenshot({ path: file, fullPage: true });
    await page.close();
  }
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
