// The WebAssembly modules in a real browser (Debian's chromium, headless) against the native
// build: the exactness walk of the cards (pages, tables, scratches, Go!, print events) byte for
// byte, and the page's own module opening the largest card and writing its tables as the report
// tool does.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { test } from 'node:test';

import { launch, pageLoading, serve } from './browser.mjs';
import { cards, largestCard, nativeWalk, reportTool, webDir } from './cards.mjs';

async function inChromium(files, run, arg) {
  const { server, url } = await serve(files);
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.goto(url + '/');
    return await page.evaluate(run, arg);
  } finally {
    await browser.close();
    server.close();
  }
}

function served(module, cardList) {
  const files = {
    '/': pageLoading(`${module}.js`),
    [`/${module}.js`]: path.join(webDir, `${module}.js`),
    [`/${module}.wasm`]: path.join(webDir, `${module}.wasm`),
  };
  for (const [name, file] of cardList) files[`/cards/${name}`] = file;
  return files;
}

// The full card's walk is the node test's: the same engine, five times the time of the rest.
test('in chromium every card but the full one walks as in the native build', async () => {
  const some = cards().filter(([n]) => n !== 'full.kel');
  const walked = await inChromium(served('kelsoft-check', some), async (names) => {
    const k = await createKelsoft();
    const out = {};
    for (const name of names) {
      const bytes = new Uint8Array(await (await fetch(`/cards/${name}`)).arrayBuffer());
      out[name] = k.walk(name, bytes, false);
    }
    return out;
  }, some.map(([name]) => name));
  for (const [name, file] of some) assert.equal(walked[name], await nativeWalk(file), name);
});

test('in chromium the page\'s module opens the largest card and writes the report tool\'s tables', async () => {
  const [name, file] = largestCard();
  const tables = await inChromium(served('kelsoft', [[name, file]]), async (name) => {
    const k = await createKelsoft();
    const boxes = [];
    const w = new k.Window({ msgBox: (prompt) => (boxes.push(prompt), 'ok'), inputBox: () => null });
    k.openBytes(w, name, new Uint8Array(await (await fetch(`/cards/${name}`)).arrayBuffer()));
    const text = (bytes) => Array.from(bytes, (b) => String.fromCharCode(b)).join('');
    return { boxes, viewPage: JSON.parse(w.state()).viewPage, json: text(w.json(0, true)), csv: text(w.csv(0, false, true)) };
  }, name);
  assert.deepEqual(tables.boxes, []);
  assert.equal(tables.viewPage, 1);
  assert.ok(Buffer.from(tables.json, 'latin1').equals(execFileSync(reportTool, ['--format', 'json', '--odds', file], { maxBuffer: 1 << 30 })));
  assert.ok(Buffer.from(tables.csv, 'latin1').equals(execFileSync(reportTool, ['--excel', file], { maxBuffer: 1 << 30 })));
});
