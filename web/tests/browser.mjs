// Debian's chromium, headless, on pages served by the test itself over http on 127.0.0.1: the
// module as a page loads it.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';

import { chromium } from 'playwright-core';

const kTypes = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html' };

// An empty page that loads the module's glue.
export function pageLoading(script) {
  return { html: `<!doctype html><meta charset="utf-8"><title>kelsoft</title><script src="${script}"></script>` };
}

// Serves files[urlPath] (a file's path, or {html}) on a free port of 127.0.0.1; resolves to the
// server and its address.
export function serve(files) {
  const server = createServer((req, res) => {
    const file = files[new URL(req.url, 'http://127.0.0.1').pathname];
    if (!file) {
      res.writeHead(404).end();
    } else if (file.html) {
      res.writeHead(200, { 'content-type': 'text/html' }).end(file.html);
    } else {
      res.writeHead(200, { 'content-type': kTypes[path.extname(file)] ?? 'application/octet-stream' });
      res.end(readFileSync(file));
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({ server, url: `http://127.0.0.1:${server.address().port}` })));
}

// extraArgs: more of chromium's flags (the benchmark's --js-flags).
export function launch(extraArgs = []) {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...extraArgs],
  });
}
