// The static site, its controls laid out from the module's own control table so that the page and
// the desktop read one table; the service worker's version is made from the files' contents, so
// that a new build replaces the cached one.
//   node web/page/build_site.mjs MODULE_DIR SITE_DIR VERSION
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

import { marked } from 'marked';

const [moduleDir, siteDir, version] = process.argv.slice(2);
const here = import.meta.dirname;
const root = path.resolve(here, '../..');
const require = createRequire(import.meta.url);

const createModule = require(path.join(moduleDir, 'kelsoft-page.js'));
const k = await createModule({ wasmBinary: readFileSync(path.join(moduleDir, 'kelsoft-page.wasm')) });
const controls = JSON.parse(k.controlTable());

rmSync(siteDir, { recursive: true, force: true });
mkdirSync(siteDir, { recursive: true });
const copy = (from, to = path.basename(from)) => {
  mkdirSync(path.dirname(path.join(siteDir, to)), { recursive: true });
  copyFileSync(from, path.join(siteDir, to));
};

// Twips to CSS pixels as the desktop turns them into pixels at 96 dpi: 15 to the pixel, rounded.
const px = (twips) => `${Math.round(twips / 15)}px`;
const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');

// The page's own controls, after a frame's: for choosing a folder, the button under "Cancel", and
// the browsers' folder picker as a file input where showDirectoryPicker is missing.
const extras = {
  Fr_Open: [`<button type="button" id="Dir1_Pick" class="ctl" style="left:${px(6480)};top:${px(1560)};width:${px(1335)};height:${px(255)}">Choose folder…</button>`,
    '<input type="file" id="Dir1_Files" webkitdirectory multiple hidden>'],
};

// Containers hold their controls in the table's order, which is also the desktop's tab order.
function markup(c) {
  const geometry = `left:${px(c.left)};top:${px(c.top)};width:${px(c.width)};height:${px(c.height)}`;
  const hidden = c.visible ? '' : ' hidden';
  const caption = escape(c.caption);
  switch (c.kind) {
  case 'frame': {
    const inner = [...controls.filter((x) => x.container === c.name).map(markup), ...(extras[c.name] ?? [])].join('\n');
    const legend = caption ? `<legend>${caption}</legend>` : '';
    return `<fieldset id="${c.name}" class="ctl frame" style="${geometry}"${hidden}>${legend}\n${inner}\n</fieldset>`;
  }
  case 'label':
    return `<div id="${c.name}" class="ctl label" style="${geometry}"${hidden}>${caption}</div>`;
  case 'button':
    return `<button type="button" id="${c.name}" class="ctl" style="${geometry}"${hidden}>${caption}</button>`;
  case 'textbox': {
    const max = c.maxLength > 0 ? ` maxlength="${c.maxLength}"` : '';
    return `<input type="text" id="${c.name}" class="ctl" style="${geometry}" value="${caption}"${max} autocomplete="off" spellcheck="false"${hidden}>`;
  }
  case 'checkbox': {
    const checked = c.value !== 0 ? ' checked' : '';
    return `<label class="ctl check" style="${geometry}"${hidden}><input type="checkbox" id="${c.name}"${checked}>${caption}</label>`;
  }
  case 'grid':
    return `<div class="ctl grid" style="${geometry}"${hidden}><table id="${c.name}" role="grid" tabindex="0" aria-label="Card"><colgroup></colgroup><thead></thead><tbody></tbody></table></div>`;
  case 'dirlist':
    return `<ul id="${c.name}" class="ctl list" role="tree" tabindex="0" aria-label="Folders" style="${geometry}"${hidden}></ul>`;
  case 'filelist':
    return `<select id="${c.name}" class="ctl list" size="2" aria-label="Cards" style="${geometry}"${hidden}></select>`;
  default:
    throw new Error(`no markup for a ${c.kind}`);
  }
}

const client = controls.filter((c) => c.container === null).map(markup).join('\n');
const index = readFileSync(path.join(here, 'index.html'), 'utf8').replace('<!-- controls -->', client).replace('@VERSION@', version);
writeFileSync(path.join(siteDir, 'index.html'), index);

for (const f of ['app.js', 'dialogs.js', 'files.js', 'grid.js', 'print.js', 'kelsoft.css'])
  copy(path.join(here, f));
copy(path.join(moduleDir, 'kelsoft-page.js'));
copy(path.join(moduleDir, 'kelsoft-page.wasm'));
// Opened in idle time so that the user's first open finds the loader optimised.
copy(path.join(root, 'samples/gulfstrm.kel'), 'sample.kel');
for (const size of [32, 192, 512])
  copy(path.join(root, 'packaging/icons', `kelsoft-${size}.png`), `icons/kelsoft-${size}.png`);
copy(path.join(root, 'packaging/icons/io.github.kelsoft.KelSoft.svg'), 'icons/kelsoft.svg');

// Printing's own files, fetched once a card is open.
const modules = path.join(here, '..', 'node_modules');
copy(path.join(modules, 'pdf-lib/dist/pdf-lib.min.js'), 'print/pdf-lib.min.js');
copy(path.join(modules, '@pdf-lib/fontkit/dist/fontkit.umd.min.js'), 'print/fontkit.umd.min.js');
for (const face of ['Regular', 'Bold'])
  copy(`/usr/share/fonts/truetype/liberation/LiberationSans-${face}.ttf`, `print/LiberationSans-${face}.ttf`);

const guideDir = path.join(root, 'docs');
const guide = readFileSync(path.join(guideDir, 'user-guide.md'), 'utf8');
const pictures = new Set([...guide.matchAll(/\]\(((?:screenshots|web|window|printing)\/[^)]+\.png)\)/g)].map((m) => m[1]));
for (const p of pictures) copy(path.join(guideDir, p), path.join('guide', p));
writeFileSync(path.join(siteDir, 'guide', 'index.html'), `<!doctype html>
<html lang="en"><head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1">
<title>kelsoft user guide</title><link rel="stylesheet" href="../kelsoft.css"></head>
<body class="guide">${marked.parse(guide)}</body></html>
`);

writeFileSync(path.join(siteDir, 'manifest.webmanifest'), readFileSync(path.join(here, 'manifest.webmanifest')));

// Every file, listed for the service worker; the worker itself and the site's folder address
// ("./", which serves index.html) are not files of the list.
const files = [];
(function walk(dir) {
  for (const name of readdirSync(dir).sort()) {
    const file = path.join(dir, name);
    if (statSync(file).isDirectory()) walk(file);
    else files.push(path.relative(siteDir, file).split(path.sep).join('/'));
  }
})(siteDir);
const hash = createHash('sha256');
for (const f of files) hash.update(f).update(readFileSync(path.join(siteDir, f)));
const worker = readFileSync(path.join(here, 'sw.js'), 'utf8')
  .replace('@VERSION@', `${version}-${hash.digest('hex').slice(0, 12)}`)
  .replace('"@FILES@"', JSON.stringify(['./', ...files]));
writeFileSync(path.join(siteDir, 'sw.js'), worker);
