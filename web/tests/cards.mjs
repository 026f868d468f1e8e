// The cards the web build's tests compare on, and the native programs that give the reference:
// the sample cards, and cards from the benchmarks' generator, the full 41 x 21 x 100 card
// included (written into the build folder).
import { execFile, execFileSync } from 'node:child_process';
import { mkdirSync, readdirSync } from 'node:fs';
import path from 'node:path';
import { promisify } from 'node:util';

export const sourceDir = path.resolve(import.meta.dirname, '../..');
export const webDir = process.env.KEL_WEB_DIR;
export const nativeDir = process.env.KEL_NATIVE_DIR;
export const walkTool = path.join(nativeDir, 'web', 'kel-walk');
export const reportTool = path.join(nativeDir, 'cli', 'kelsoft-report');

// [file name, path] of every card the checks walk; the generated ones in a folder of this test's
// own, so that tests running at once do not write over each other's.
let made;
export function cards() {
  made ??= makeCards();
  return made;
}

function makeCards() {
  const samples = readdirSync(path.join(sourceDir, 'samples'))
    .filter((f) => f.endsWith('.kel'))
    .map((f) => [f, path.join(sourceDir, 'samples', f)]);
  const dir = path.join(webDir, `cards-${path.basename(process.argv[1], '.mjs')}`);
  mkdirSync(dir, { recursive: true });
  const shapes = [
    ['full.kel', ['--seed', '20240504', '--races', '41', '--horses', '21', '--pps', '100']],
    ['gen1.kel', ['--seed', '1', '--races', '6', '--horses', '12', '--pps', '10']],
    ['gen2.kel', ['--seed', '2', '--races', '3', '--horses', '1', '--pps', '3']],
  ];
  const generated = shapes.map(([name, args]) => {
    const file = path.join(dir, name);
    execFileSync(path.join(nativeDir, 'bench', 'kel-make-card'), [...args, file]);
    return [name, file];
  });
  return [...samples, ...generated];
}

// What the native build's walk gives: the digest and length of the transcript (a promise, so
// that it runs beside the module's).
export async function nativeWalk(file) {
  return (await promisify(execFile)(walkTool, [file])).stdout;
}
