#!/usr/bin/env node
// kelsoft-report under node: the report tool's own program (cli/) built as WebAssembly, on the
// machine's files, with its options, output, messages and exit status. It has no PDF output.
//   node kelsoft-report.mjs [options] CARD.kel
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const createKelsoftReport = createRequire(import.meta.url)('./kelsoft-report.js');
// The wasm handed over: emscripten's glue would fetch it, which node cannot do with a path.
createKelsoftReport({
  thisProgram: 'kelsoft-report',
  arguments: process.argv.slice(2),
  wasmBinary: readFileSync(new URL('./kelsoft-report.wasm', import.meta.url)),
});
