// The WebAssembly module under node against the native build: the exactness walk on every card,
// the report tool's tables, and the load that runs out of memory.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { test } from 'node:test';

import { cards, largestCard, nativeWalk, reportTool, webDir } from './cards.mjs';

const require = createRequire(import.meta.url);

async function load(name) {
  const create = require(path.join(webDir, `${name}.js`));
  return create({ wasmBinary: readFileSync(path.join(webDir, `${name}.wasm`)) });
}

// Boxes answered OK and inputs cancelled, each box kept.
function dialogs() {
  const shown = [];
  return {
    shown,
    msgBox: (prompt, title, buttons) => (shown.push({ prompt, title, buttons }), 'ok'),
    inputBox: () => null,
  };
}

test('every page, table, scratch, Go! and print event of each card is the native build\'s', async () => {
  const k = await load('kelsoft-check');
  const native = cards().map(([, file]) => nativeWalk(file));
  for (const [i, [name, file]] of cards().entries())
    assert.equal(k.walk(name, readFileSync(file), false), await native[i], name);
});

test('the tables of the card are the report tool\'s, with and without the odds', async () => {
  const k = await load('kelsoft');
  for (const [name, file] of cards().filter(([n]) => n !== 'full.kel')) {
    const w = new k.Window(dialogs());
    k.openBytes(w, name, readFileSync(file));
    const same = (web, args) => {
      const native = execFileSync(reportTool, [...args, file], { maxBuffer: 1 << 30 });
      assert.ok(Buffer.from(web).equals(native), `${name} ${args.join(' ')}`);
    };
    for (const odds of [false, true]) {
      const flag = odds ? ['--odds'] : [];
      same(w.csv(0, odds, false), flag);
      same(w.csv(0, odds, true), [...flag, '--excel']);
      same(w.csv(1, odds, false), [...flag, '--race', '1']);
      same(w.json(0, odds), ['--format', 'json', ...flag]);
    }
    w.delete();
  }
});

test('a load that runs out of memory says so, and the window opens cards again once there is memory', async () => {
  const k = await load('kelsoft-check');
  const d = dialogs();
  const w = new k.Window(d);
  const small = readFileSync(path.join(import.meta.dirname, '../../samples/small.kel'));
  k.openBytes(w, 'small.kel', small);
  const opened = w.state();
  // The memory taken up to its limit but for a MB more than the card's bytes: room for them as
  // handed over, none for the load, which needs a few times that.
  const [name, file] = largestCard();
  const bytes = readFileSync(file);
  const taken = [];
  for (let p; (p = k._malloc(1 << 20)) !== 0; ) taken.push(p);
  taken.splice(-(Math.ceil(bytes.length / (1 << 20)) + 1)).forEach((p) => k._free(p));
  k.openBytes(w, name, bytes);
  assert.deepEqual(d.shown.at(-1), { prompt: `Not enough memory to load ${name}`, title: 'KEL Soft', buttons: 'ok' });
  taken.forEach((p) => k._free(p));
  k.openBytes(w, 'small.kel', small);
  assert.equal(w.state(), opened);
});
