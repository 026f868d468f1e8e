// The cards the web build's tests compare on, and the native programs that give the reference:
// the sample cards, and cards from the benchmarks' generator (written into the build folder),
// the largest 12 x 14 x 40; KEL_WEB_FULL_CARD=1 adds the full 41 x 21 x 100 card (some 40 s more).
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
    ['gen1.kel', ['--seed', '1', '--races', '6', '--horses', '12', '--pps', '10']],
    ['gen2.kel', ['--seed', '2', '--races', '3', '--horses', '1', '--pps', '3']],
    ['gen3.kel', ['--seed', '3', '--races', '12', '--horses', '14', '--pps', '40']],
  ];
  if (process.env.KEL_WEB_FULL_CARD === '1')
    shapes.push(['full.kel', ['--seed', '20240504', '--races', '41', '--horses', '21', '--pps', '100']]);
  const generated = shapes.map(([name, args]) => {
    const file = path.join(dir, name);
    execFileSync(path.join(nativeDir, 'bench', 'kel-make-card'), [...args, file]);
    return [name, file];
  });
  return [...samples, ...generated];
}

// [file name, path] of the largest card walked: the full card when it is, gen3.kel otherwise.
export const largestCard = () => cards().at(-1);

// What the native build's walk gives: the digest and length of the transcript (a promise, so
// that it runs beside the module's).
export async function nativeWalk(file) {
  return (await promisify(execFile)(walkTool, [file])).stdout;
}
