// What the browser tests and the measurements share: the page served from
// 127.0.0.1 with a record of every request, and Debian's chromium started
// headless with a fresh profile, never a downloaded browser.

import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
};

export async function serveSite(siteDir) {
  const requests = [];
  const server = http.createServer((request, response) => {
    requests.push(request.url);
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(siteDir, name === '/' ? 'index.html' : name);
    if (!file.startsWith(siteDir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    requests,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// As root chromium runs only without its sandbox; a container's small
// /dev/shm must not cut a tab short, hence --disable-dev-shm-usage.
export const kChromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-dev-shm-usage',
];

// `extraArgs`: more switches for chromium, such as --host-resolver-rules.
export async function launchBrowser(chromium, contextOptions = {}, extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tpc-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [...kChromiumArgs, ...extraArgs],
    acceptDownloads: true,
    ...contextOptions,
  });
  const requests = [];
  context.on('request', (request) => requests.push(request.url()));
  return {
    context,
    requests,
    close: async () => {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}
