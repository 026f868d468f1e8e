// The web build in headless chromium beside kel_bench in the same run, on the full card (41 x 21
// x 100): medians in ms after WARM calls that compile and warm the code. Targets: the open within
// 1.5 x native, each action under 2 ms, the module at most 300 KB gzip. Chromium's timer counts
// in 0.1 ms. The two take turns ROUNDS times (default 5), the page kept open: on a shared virtual
// machine the speed of either moves by half within a minute, so a ratio is taken within each
// round and the median of those is given.
//   node web/bench.mjs WEB_DIR NATIVE_BUILD [REPS [WARM [ROUNDS]]] [--eager]
// --eager (--no-wasm-dynamic-tiering): the figures once every function has been tiered up.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

import { launch, pageLoading, serve } from './tests/browser.mjs';

const eager = process.argv.includes('--eager');
const [webDir, nativeDir, repsArg, warmArg, roundsArg] = process.argv.slice(2).filter((a) => a !== '--eager');
const reps = Number(repsArg ?? 10);
const warm = Number(warmArg ?? 1);
const rounds = Number(roundsArg ?? 5);
const card = path.join(webDir, 'bench-full.kel');
execFileSync(path.join(nativeDir, 'bench', 'kel-make-card'),
             ['--seed', '20240504', '--races', '41', '--horses', '21', '--pps', '100', card]);

const { server, url } = await serve({
  '/': pageLoading('kelsoft.js'),
  '/kelsoft.js': path.join(webDir, 'kelsoft.js'),
  '/kelsoft.wasm': path.join(webDir, 'kelsoft.wasm'),
  '/full.kel': card,
});
const browser = await launch(eager ? ['--js-flags=--no-wasm-dynamic-tiering'] : []);
const page = await browser.newPage();
await page.goto(url + '/');
await page.evaluate(async () => {
  window.k = await createKelsoft();
  window.bytes = new Uint8Array(await (await fetch('/full.kel')).arrayBuffer());
  window.w = new k.Window({ msgBox: () => 'ok', inputBox: () => null });
});
// One round in the page, its module kept from round to round: the first round's WARM calls
// compile and warm the code.
const measureWeb = (first) => page.evaluate(([reps, warm]) => {
  const median = (xs) => xs.sort((a, b) => a - b)[xs.length >> 1];
  const time = (f) => {
    for (let i = 0; i < warm; ++i) f();
    const t = [];
    for (let i = 0; i < reps; ++i) {
      const s = performance.now();
      f();
      t.push(performance.now() - s);
    }
    return median(t);
  };
  const out = { open: time(() => k.openBytes(w, 'full.kel', bytes)) };
  // The largest race: the card's races all have 21 horses of 100 PPs; race 1.
  w.setCell(0, 0);
  w.doubleClick();
  out.page = time(() => { w.setCell(1, 0); w.doubleClick(); w.gridKey(27); });
  out.scratch = time(() => { w.setCell(1, 0); w.gridKey(83); w.gridKey(83); }) / 2;
  out.go = time(() => w.go());
  return out;
}, [reps, first ? warm : 1]);

function measureNative() {
  const native = JSON.parse(execFileSync(path.join(nativeDir, 'bench', 'kel_bench'), [
    `--benchmark_filter=OpenCommand|ScratchKey|ShowHorsePPs|ShowRaceHorses|GoLargestRace`,
    `--benchmark_repetitions=${reps}`, '--benchmark_report_aggregates_only=true', '--benchmark_format=json',
  ], { env: { ...process.env, KEL_BENCH_CARD: card } }).toString());
  const nat = {};
  for (const b of native.benchmarks)
    if (b.aggregate_name === 'median')
      nat[b.run_name.replace('BM_', '').replace('/real_time', '')] = b.real_time * { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 }[b.time_unit];
  return nat;
}

const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
const webs = [];
const nats = [];
for (let i = 0; i < rounds; ++i) {
  webs.push(await measureWeb(i === 0));
  nats.push(measureNative());
}
await browser.close();
server.close();
const ratio = (w, n) => median(webs.map((x, i) => w(x) / n(nats[i])));
const pick = (xs, f) => median(xs.map(f));
console.log(`Opens, chromium / native, round by round: ${webs.map((x, i) => `${x.open.toFixed(1)} / ${nats[i].OpenCommand.toFixed(1)} ms`).join(', ')}\n`);

const gz = (f) => gzipSync(readFileSync(path.join(webDir, f)), { level: 9 }).length;
const size = gz('kelsoft.wasm') + gz('kelsoft.js');
const rows = [
  ['open the full card (open command, 3 rating runs)', (x) => x.open, (n) => n.OpenCommand, `<= 1.5 x native`, (w, n, r) => r <= 1.5],
  ['a PP page and back (double-click, ESC)', (x) => x.page, (n) => (n.ShowHorsePPs ?? 0) + (n.ShowRaceHorses ?? 0), '< 2 ms', (w) => w < 2],
  ['S on a 21 x 100 race', (x) => x.scratch, (n) => n.ScratchKey, '< 2 ms', (w) => w < 2],
  ['Go! on the horses page of a 21 x 100 race', (x) => x.go, (n) => n.GoLargestRace, '< 2 ms', (w) => w < 2],
].map(([what, w, n, target, met]) => {
  const [wm, nm, r] = [pick(webs, w), pick(nats, n), ratio(w, n)];
  return [what, wm, nm, r, target, met(wm, nm, r)];
});
console.log(`| Case | Chromium | Native | Ratio | Target | |\n|---|---:|---:|---:|---|---|`);
for (const [what, w, n, r, target, ok] of rows)
  console.log(`| ${what} | ${w.toFixed(3)} ms | ${n.toFixed(3)} ms | ${r.toFixed(2)} | ${target} | ${ok ? 'met' : 'MISSED'} |`);
console.log(`| module: kelsoft.wasm + kelsoft.js, gzip -9 | ${(size / 1024).toFixed(1)} KiB | | | <= 300 KB | ${size <= 300e3 ? 'met' : 'MISSED'} |`);
process.exitCode = rows.every((r) => r[5]) && size <= 300e3 ? 0 : 1;
