// The built site served over http on 127.0.0.1 by the test itself, and Debian's chromium,
// headless, to open it in.
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import path from 'node:path';

import { chromium } from 'playwright-core';

const kTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.svg': 'image/svg+xml', '.ttf': 'font/ttf', '.webmanifest': 'application/manifest+json',
};

// Serves the folder on a free port; resolves to the server and its address. offline() makes it
// refuse every request, as a machine without a network would.
export function serve(dir) {
  let refusing = false;
  const server = createServer(async (req, res) => {
    if (refusing) {
      req.socket.destroy();
      return;
    }
    let file = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    if (file.endsWith('/')) file += 'index.html';
    const full = path.join(dir, file);
    try {
      if (!full.startsWith(dir)) throw new Error('outside');
      const body = await readFile(full);
      res.writeHead(200, { 'content-type': kTypes[path.extname(full)] ?? 'application/octet-stream' });
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    server,
    url: `http://127.0.0.1:${server.address().port}/`,
    offline: (on) => { refusing = on; },
  })));
}

const kOptions = {
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
};

export function launch() {
  return chromium.launch(kOptions);
}

// A browser with a profile of its own in dir, as a context (options: playwright's context options).
export function launchProfile(dir, options = {}) {
  return chromium.launchPersistentContext(dir, { ...kOptions, ...options });
}
