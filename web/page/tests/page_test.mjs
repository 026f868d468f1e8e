// The browser page (the site scripts/web.sh writes) in Debian's chromium, against the native
// build: the window's flows as a user takes them (the folder picker and its fallback, a drop, the
// pages by double-click and ESC, S, the Settings frame, Reset data, Print), each page's grid,
// captions and visibility compared with the native core's window for the same card and actions
// (kel-walk), the PDF read back word by word against kelsoft-report's, the keyboard alone, and
// the site offline after one visit. The pages walked: every page of small.kel, race 2 of
// gulfstrm.kel, race 1 of small.kel with texts too long to draw whole; KEL_PAGE_ALL_CARDS=1 walks
// every page of every sample card and the long one (a minute more).
//   KEL_SITE_DIR: the site; KEL_NATIVE_DIR: the native build (kel-walk, kelsoft-report).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { launchProfile, serve } from './site.mjs';

const siteDir = process.env.KEL_SITE_DIR;
const nativeDir = process.env.KEL_NATIVE_DIR;
const samples = path.resolve(import.meta.dirname, '../../../samples');
const work = mkdtempSync(path.join(tmpdir(), 'kel-page-'));

let site;
// One profile of its own for every test, each with a page of its own: after the first page the
// site's files come from the service worker. Not an incognito one, from which no page installs.
let context;
before(async () => {
  site = await serve(siteDir);
  context = await launchProfile(path.join(work, 'profile'), { viewport: { width: 800, height: 520 } });
});
after(async () => {
  await context?.close();
  site?.server.close();
  rmSync(work, { recursive: true, force: true });
});

// The page open with its module ready; the folder picker is the file input unless the test
// gives the page one of its own.
async function openPage({ picker = false } = {}) {
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') page.errors.push(m.text()); });
  if (!picker) await page.addInitScript(() => { delete window.showDirectoryPicker; });
  await page.goto(site.url);
  await page.waitForSelector('#KEL_Soft[data-ready]');
  return page;
}

// What the page shows: every grid row's texts (the header row first), the two labels' captions,
// which controls are on screen, where the focus is.
function shownState(page) {
  return page.evaluate(() => {
    const names = [...document.querySelectorAll('#client [id]')].map((e) => e.id).filter((id) => !id.startsWith('MSF_'));
    const shown = {};
    for (const id of names) {
      const el = document.getElementById(id);
      shown[id] = (el.type === 'checkbox' ? el.parentElement : el).checkVisibility();
    }
    return {
      cells: [...document.querySelectorAll('#MSF tr')].map((tr) => [...tr.cells].map((c) => c.textContent)),
      LabelCarreras: document.getElementById('LabelCarreras').textContent,
      Label_Help: document.getElementById('Label_Help').textContent,
      status: [document.getElementById('StatusMarks').textContent, document.getElementById('StatusCurrent').textContent],
      shown,
      focus: document.activeElement?.id ?? null,
    };
  });
}

// The texts as the window draws them: at most 1000 characters, a longer one ending in "…".
const drawn = (s) => ([...s].length > 1000 ? [...s].slice(0, 1000).join('') + '\u2026' : s);

function assertShows(got, want, what) {
  assert.deepEqual(got.cells, want.grid.cells.map((row) => row.map(drawn)), `${what}: grid`);
  assert.equal(got.LabelCarreras, drawn(want.controls.LabelCarreras.caption), `${what}: LabelCarreras`);
  assert.equal(got.Label_Help, want.controls.Label_Help.caption, `${what}: Label_Help`);
  for (const [name, c] of Object.entries(want.controls))
    if (name in got.shown) assert.equal(got.shown[name], c.shown, `${what}: ${name} shown`);
}

// The native window's walk of a card: [what, state] for each step, and the boxes it showed.
function nativeWalk(card) {
  const text = execFileSync(path.join(nativeDir, 'web', 'kel-walk'), [card, '--text'], { maxBuffer: 1 << 28 }).toString();
  const steps = [];
  for (const block of text.split(/^== /m).slice(1)) {
    const [what, json] = block.split('\n');
    if (json?.startsWith('{"viewPage"')) steps.push([what, JSON.parse(json)]);
  }
  return steps;
}

async function pickFolder(page, dir) {
  await page.keyboard.press('Control+o');
  await page.setInputFiles('#Dir1_Files', dir);
  await page.waitForFunction(() => document.getElementById('File1').options.length > 0);
}

async function openByFrame(page, dir, name) {
  await pickFolder(page, dir);
  await page.selectOption('#File1', name);
  await page.click('#BT_Open');
  await page.waitForFunction(() => !document.getElementById('fr_dc').hidden);
}

async function drop(page, name, bytes) {
  await page.evaluate(([name, bytes]) => {
    const dt = new DataTransfer();
    dt.items.add(new File([new Uint8Array(bytes)], name));
    document.getElementById('client').dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
  }, [name, [...bytes]]);
}

// The box open now: its title, text and buttons; then answers it with the button named.
async function box(page) {
  await page.waitForSelector('dialog[open]');
  return page.evaluate(() => {
    const d = document.querySelector('dialog[open]');
    return {
      id: d.id,
      title: d.querySelector('.title').textContent,
      text: d.id === 'InputBox' ? document.getElementById('InputBox_Prompt').textContent : d.querySelector('p')?.textContent,
      value: d.id === 'InputBox' ? document.getElementById('InputBox_Text').value : undefined,
      buttons: [...d.querySelectorAll('.buttons button')].map((b) => b.textContent),
      focus: document.activeElement?.textContent || document.activeElement?.id,
    };
  });
}
async function answer(page, button) {
  // The box closes as the button is clicked; the command may open the next one at once.
  await page.click(`dialog[open] .buttons button:text-is("${button}")`);
}

const row = (page, r, c = 0) => page.locator(`#MSF_${r}_${c}`);
const settled = (page) => page.waitForFunction(() => !document.querySelector('dialog[open]'));

// small.kel with texts longer than the window draws: a race field, a horse's name, a PP's other
// horses.
function longCard() {
  const long = (what, n) => `${what} `.repeat(n).slice(0, n);
  const lines = readFileSync(path.join(samples, 'small.kel'), 'latin1').split('\n');
  const set = (line, field, text) => {
    const f = lines[line].split(';');
    f[field] = text;
    lines[line] = f.join(';');
  };
  set(0, 5, long('Maiden', 1500));
  set(1, 1, long('Sassy', 1200));
  set(2, 0, long('Cairo', 1100));
  mkdirSync(path.join(work, 'long'), { recursive: true });
  writeFileSync(path.join(work, 'long', 'long.kel'), lines.join('\n'), 'latin1');
  return path.join(work, 'long');
}

const allCards = process.env.KEL_PAGE_ALL_CARDS === '1';

test('the pages of the sample cards show what the native window shows, by double-click, ESC, S and Go!', async () => {
  const page = await openPage();
  const long = longCard();
  // Each card with the races walked (none given: all).
  const cards = allCards ? [[samples, 'small.kel'], [samples, 'gulfstrm.kel'], [samples, 'bigfield.kel'], [long, 'long.kel']]
    : [[samples, 'small.kel'], [samples, 'gulfstrm.kel', [2]], [long, 'long.kel', [1]]];
  for (const [dir, name, walked] of cards) {
    const steps = nativeWalk(path.join(dir, name));
    let at = 0;
    // The native walk's next step of that name: the steps of races not walked are passed over.
    const expect = async (what) => {
      while (at < steps.length && steps[at][0] !== what) ++at;
      assert.ok(at < steps.length, `${name}: no step ${what}`);
      assertShows(await shownState(page), steps[at][1], `${name}, ${what}`);
      ++at;
    };
    await openByFrame(page, dir, name);
    await expect(`open ${name}`);
    const races = steps[0][1].grid.rows;
    const horsesOf = (race) => steps.find(([w]) => w === `race ${race}`)[1].grid.rows - 1;
    let largest = 1;
    for (let race = 1; race <= races; ++race) {
      if (horsesOf(race) > horsesOf(largest)) largest = race;
      if (walked && !walked.includes(race)) continue;
      await row(page, race - 1).dblclick();
      const horses = horsesOf(race);
      await expect(`race ${race}`);
      for (let h = 1; h <= horses; ++h) {
        await row(page, h).dblclick();
        await expect(`horse ${h}`);
        await page.keyboard.press('Escape');
      }
      await page.keyboard.press('Escape');
    }
    await expect('race list');
    await row(page, largest - 1).dblclick();
    for (let h = 1; h <= horsesOf(largest); h += 2) {
      await row(page, h).click();
      await page.keyboard.press('s');
      await expect(`S on horse ${h}`);
    }
    await page.keyboard.press('Escape');
    await page.click('#Recalculate');
    await page.fill('#Text_Date', '06/01/24');
    await page.uncheck('#Check_Muddy');
    await page.click('#Command4');
    await expect('Go!');
    // The frame as it opens, for the next card's walk.
    await page.evaluate(() => {
      document.getElementById('Check_Muddy').checked = true;
      document.getElementById('Text_Date').value = '01/01/01';
    });
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The PDF the preview shows.
async function previewPdf(page, file) {
  await page.waitForSelector('#Preview[open]', { timeout: 120000 });
  const bytes = await page.evaluate(async () => [...new Uint8Array(await (await fetch(document.getElementById('Preview_Pdf').src)).arrayBuffer())]);
  writeFileSync(file, Buffer.from(bytes));
  const saved = await page.getAttribute('#Preview_Save', 'download');
  await page.click('#Preview_Close');
  await settled(page);
  return saved;
}

// A PDF's pages as pdftotext reads them: each word with its box.
function words(file) {
  const html = execFileSync('pdftotext', ['-bbox', file, '-']).toString();
  return html.split('<page ').slice(1).map((p) => [...p.matchAll(/<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<\/word>/g)]
    .map((m) => ({ text: m[5], box: m.slice(1, 5).map(Number) })));
}

// Same pages, same words in the same order, each box within 0.05 pt of the report tool's.
function assertSamePdf(got, want) {
  const [a, b] = [words(got), words(want)];
  assert.equal(a.length, b.length, 'pages');
  let worst = 0;
  a.forEach((page, p) => {
    assert.deepEqual(page.map((w) => w.text), b[p].map((w) => w.text), `words of page ${p + 1}`);
    page.forEach((w, i) => w.box.forEach((v, j) => { worst = Math.max(worst, Math.abs(v - b[p][i].box[j])); }));
  });
  assert.ok(worst <= 0.05, `a word ${worst} pt off`);
  return worst;
}

const report = (args, file, card = 'gulfstrm.kel') => execFileSync(path.join(nativeDir, 'cli', 'kelsoft-report'), [...args, '--pdf', file, path.join(samples, card)]);

test('Print asks its questions and shows the report tool\'s PDF, with and without PPs', async () => {
  const page = await openPage();
  await openByFrame(page, samples, 'gulfstrm.kel');
  await page.click('#Printd');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'Select', text: 'Print last pp\'s?', value: undefined, buttons: ['Yes', 'No'], focus: 'Yes' });
  await page.keyboard.press('Enter');
  assert.deepEqual(await box(page), { id: 'InputBox', title: 'Enter number', text: 'How many pp\'s do you want to print?', value: '4', buttons: ['OK', 'Cancel'], focus: 'InputBox_Text' });
  await page.keyboard.press('Enter');
  assert.equal((await box(page)).text, 'First race?');
  await page.keyboard.press('Enter');
  assert.deepEqual(await box(page), { id: 'InputBox', title: 'Select', text: 'Last race?', value: '9', buttons: ['OK', 'Cancel'], focus: 'InputBox_Text' });
  await page.keyboard.press('Enter');
  assert.equal(await previewPdf(page, path.join(work, 'web-pps.pdf')), 'gulfstrm-races-1-9.pdf');
  report(['--pps', '4'], path.join(work, 'tool-pps.pdf'));
  assertSamePdf(path.join(work, 'web-pps.pdf'), path.join(work, 'tool-pps.pdf'));
  assert.equal((await shownState(page)).Label_Help, 'Select a race doing doubleclik over the grid row');

  // The horses of race 2 with its first horse scratched, without PPs.
  await row(page, 1).dblclick();
  await row(page, 1).click();
  await page.keyboard.press('s');
  await page.click('#Printd');
  await box(page);
  await answer(page, 'No');
  assert.equal(await previewPdf(page, path.join(work, 'web-race2.pdf')), 'gulfstrm-race-2.pdf');
  report(['--race', '2', '--scratch', '2:1'], path.join(work, 'tool-race2.pdf'));
  assertSamePdf(path.join(work, 'web-race2.pdf'), path.join(work, 'tool-race2.pdf'));

  // Not a number: said so, and nothing printed. The focus went back to Print, as on the desktop.
  assert.equal((await shownState(page)).focus, 'Printd');
  await page.focus('#MSF');
  await page.keyboard.press('Escape');
  await page.click('#Printd');
  await box(page);
  await answer(page, 'No');
  await box(page);
  await page.fill('#InputBox_Text', 'two');
  await page.keyboard.press('Enter');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'KEL Soft', text: '"two" is not a number', value: undefined, buttons: ['OK'], focus: 'OK' });
  await answer(page, 'OK');
  assert.equal(await page.isVisible('#Preview'), false);
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The page's folder picker answering with a folder of the page's own storage (origin-private),
// which holds the cards named, each a copy of a sample (or a file of the bytes given).
async function folderOfCards(page, cards) {
  await page.evaluate(async (cards) => {
    const root = await navigator.storage.getDirectory();
    await root.removeEntry('cards', { recursive: true }).catch(() => {});
    const folder = await root.getDirectoryHandle('cards', { create: true });
    for (const [file, bytes] of cards) {
      const parts = file.split('/');
      let at = folder;
      for (const sub of parts.slice(0, -1)) at = await at.getDirectoryHandle(sub, { create: true });
      const w = await (await at.getFileHandle(parts.at(-1), { create: true })).createWritable();
      await w.write(new Uint8Array(bytes));
      await w.close();
    }
    window.showDirectoryPicker = async () => folder;
  }, cards.map(([file, sample]) => [file, [...readFileSync(path.join(samples, sample))]]));
}

const listed = (page, id) => page.$$eval(`#${id} option, #${id} li`, (items) => items.map((i) => i.textContent));

test('opening: the folder picker, the file list\'s rule, its messages, and drops that keep the card', async () => {
  const page = await openPage({ picker: true });
  await folderOfCards(page, [['small.kel', 'small.kel'], ['Gulfstrm.KEL', 'gulfstrm.kel'], ['notes.txt', 'small.kel'],
    ['.hidden.kel', 'small.kel'], ['gulfstream2025.kel', 'small.kel'], ['old/bigfield.kel', 'bigfield.kel']]);
  await page.click('#File');
  await page.click('#File_Open');
  assert.deepEqual((await shownState(page)).shown.Fr_Open, true);
  assert.deepEqual(await listed(page, 'Dir1'), []);
  await page.click('#Dir1_Pick');
  await page.waitForFunction(() => document.getElementById('File1').options.length > 0);
  assert.deepEqual(await listed(page, 'Dir1'), ['cards', 'old']);
  assert.deepEqual(await listed(page, 'File1'), ['gulfstream2025.kel', 'Gulfstrm.KEL', 'small.kel']);
  // The name too long to open is greyed, with the reason.
  assert.deepEqual(await page.$$eval('#File1 option.unopenable', (o) => o.map((x) => [x.text, x.title.startsWith('Names over 14 characters')])),
    [['gulfstream2025.kel', true]]);

  // Nothing selected: the message, and the frame stays.
  await page.click('#BT_Open');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'Incomplete entry', text: 'Select a kel file in the lower window', value: undefined, buttons: ['OK'], focus: 'OK' });
  await answer(page, 'OK');
  await settled(page);
  assert.equal((await shownState(page)).shown.Fr_Open, true);

  // A name in another letter case opens; then one of 15 characters is refused with "error TX1",
  // which lets the card go: the grid frame shows the rows drawn before, and a race opened from
  // them has no horses.
  await page.dblclick('#File1 >> text=Gulfstrm.KEL');
  await page.waitForFunction(() => !document.getElementById('fr_dc').hidden);
  const opened = await shownState(page);
  assert.equal(opened.LabelCarreras, 'Gulfstrm.KEL');
  assert.equal(opened.cells.length, 9);
  await page.keyboard.press('Control+o');
  await page.selectOption('#File1', 'gulfstream2025.kel');
  await page.click('#BT_Open');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'KEL Soft', text: 'error TX1', value: undefined, buttons: ['OK'], focus: 'OK' });
  await answer(page, 'OK');
  await settled(page);
  const refused = await shownState(page);
  assert.deepEqual([refused.shown.fr_dc, refused.shown.Fr_Open, refused.cells], [true, false, opened.cells]);
  await row(page, 0).dblclick();
  assert.equal((await shownState(page)).cells.length, 1);

  // The subfolder, and back.
  await page.keyboard.press('Control+o');
  await page.dblclick('#Dir1 >> text=old');
  await page.waitForFunction(() => document.getElementById('File1').options[0]?.text === 'bigfield.kel');
  assert.deepEqual(await listed(page, 'Dir1'), ['cards', 'old']);
  await page.dblclick('#Dir1 >> text=cards');
  await page.waitForFunction(() => document.getElementById('File1').options.length === 3);

  // A card rewritten after it was selected, and read ahead, opens as it is now.
  await page.selectOption('#File1', 'small.kel');
  await page.waitForTimeout(300);
  await page.evaluate(async (bytes) => {
    const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('cards');
    const w = await (await folder.getFileHandle('small.kel')).createWritable();
    await w.write(new Uint8Array(bytes));
    await w.close();
  }, [...readFileSync(path.join(samples, 'gulfstrm.kel'))]);
  await page.click('#BT_Open');
  await page.waitForFunction(() => !document.getElementById('fr_dc').hidden);
  assert.deepEqual((await shownState(page)).cells, opened.cells);
  await page.keyboard.press('Control+o');

  // Cancel leaves the window empty; a card dropped on it opens.
  await page.click('#BT_Cancel');
  assert.deepEqual([(await shownState(page)).shown.fr_dc, (await shownState(page)).shown.Fr_Open], [false, false]);
  await drop(page, 'small.kel', readFileSync(path.join(samples, 'small.kel')));
  await page.waitForFunction(() => document.getElementById('LabelCarreras').textContent === 'small.kel');
  await row(page, 0).dblclick();
  const shown = await shownState(page);

  // Refused drops keep the card on show, on its page.
  for (const [name, message] of [['notes.txt', 'Cannot read notes.txt: the name does not end in .kel'],
    ['gulfstream2025.kel', 'error TX1']]) {
    await drop(page, name, readFileSync(path.join(samples, 'small.kel')));
    assert.deepEqual(await box(page), { id: 'MsgBox', title: 'KEL Soft', text: message, value: undefined, buttons: ['OK'], focus: 'OK' });
    await answer(page, 'OK');
    await settled(page);
    assert.deepEqual((await shownState(page)).cells, shown.cells, name);
  }
  // Two cards at once are not taken.
  await page.evaluate(() => {
    const dt = new DataTransfer();
    dt.items.add(new File(['x'], 'a.kel'));
    dt.items.add(new File(['y'], 'b.kel'));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
  });
  assert.deepEqual((await shownState(page)).cells, shown.cells);
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The rows of a race as kelsoft-report's CSV has them: record, labels and "% W" by horse number.
function toolRows(args) {
  const csv = execFileSync(path.join(nativeDir, 'cli', 'kelsoft-report'), [...args, path.join(samples, 'gulfstrm.kel')]).toString();
  return csv.trim().split('\n').slice(1).map((l) => l.split(',')).map((f) => [f[2], f[5], f[6], f[7], f[8], f[9]]);
}
const pageRows = async (page) => (await shownState(page)).cells.slice(1).map((c) => [c[0], c[3], c[4], c[5], c[6], c[7]]);

test('S, the Settings frame, a short date and Reset data with each of its answers', async () => {
  const page = await openPage();
  await openByFrame(page, samples, 'gulfstrm.kel');
  await row(page, 1).dblclick();
  await row(page, 1).click();
  await page.keyboard.press('S');
  const scratched = (await shownState(page)).cells[1];
  assert.deepEqual(scratched.slice(0, 11), ['1', ...Array(10).fill('-')]);
  await row(page, 1, 3).hover();
  assert.equal(await row(page, 1, 3).getAttribute('title'), 'Belle of Deauville');

  await page.click('#Recalculate');
  let s = await shownState(page);
  assert.deepEqual([s.shown.FrameRecalculate, s.focus], [true, 'Text_Date']);
  await page.keyboard.type('1/1/01');
  await page.click('#Command4');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'Check entry', text: 'Date must be in format mm/dd/yy', value: undefined, buttons: ['OK'], focus: 'OK' });
  await answer(page, 'OK');
  await settled(page);
  s = await shownState(page);
  assert.deepEqual([s.shown.FrameRecalculate, s.focus], [true, 'Command4']);
  await page.fill('#Text_Date', '06/01/24');
  await page.uncheck('#Check_Muddy');
  await page.click('#Command4');
  await page.waitForFunction(() => document.getElementById('FrameRecalculate').hidden);
  assert.equal((await shownState(page)).focus, 'MSF');
  const filtered = ['--race', '2', '--scratch', '2:1', '--filter', '--since', '06/01/24', '--no-muddy'];
  assert.deepEqual((await pageRows(page)).slice(1), toolRows(filtered).slice(1));
  assert.match((await shownState(page)).status[0],
    /^gulfstrm\.kel · Filter since 06\/01\/24, no muddy\/sloppy on race 2: \d+ PPs? left out · 1 scratched · Reset data clears them$/);

  // Reset data: Cancel changes nothing and leaves the focus on the button; Enter answers No,
  // which keeps the scratch; Yes clears every mark.
  await page.click('#ResetData');
  assert.deepEqual(await box(page), { id: 'MsgBox', title: 'Enter option', text: 'Do you want to reset the scratches too?', value: undefined, buttons: ['Yes', 'No', 'Cancel'], focus: 'No' });
  await answer(page, 'Cancel');
  await settled(page);
  assert.equal((await shownState(page)).focus, 'ResetData');
  assert.deepEqual((await pageRows(page)).slice(1), toolRows(filtered).slice(1));
  await page.click('#ResetData');
  await box(page);
  await page.keyboard.press('Enter');
  await settled(page);
  assert.equal((await shownState(page)).focus, 'MSF');
  assert.deepEqual((await shownState(page)).cells[1], scratched);
  assert.deepEqual((await pageRows(page)).slice(1), toolRows(['--race', '2', '--scratch', '2:1']).slice(1));
  await page.click('#ResetData');
  await box(page);
  await answer(page, 'Yes');
  await settled(page);
  assert.deepEqual(await pageRows(page), toolRows(['--race', '2']));

  // "Cancel" of the Settings frame applies nothing.
  await page.click('#Recalculate');
  await page.fill('#Text_Date', '12/31/30');
  await page.click('#Command6');
  assert.deepEqual([(await shownState(page)).shown.FrameRecalculate, (await shownState(page)).focus], [false, 'MSF']);
  assert.deepEqual(await pageRows(page), toolRows(['--race', '2']));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the keyboard alone: open, the pages, S, Go!, Print, ESC and the Help menu', async () => {
  const page = await openPage({ picker: true });
  await folderOfCards(page, [['gulfstrm.kel', 'gulfstrm.kel'], ['small.kel', 'small.kel']]);
  const key = async (...keys) => { for (const k of keys) await page.keyboard.press(k); };
  const focus = async () => (await shownState(page)).focus;
  await key('Control+o');
  assert.equal(await focus(), 'File1');
  await key('Tab', 'Tab', 'Tab');
  assert.equal(await focus(), 'Dir1_Pick');
  await key('Enter');
  await page.waitForFunction(() => document.getElementById('File1').options.length === 2);
  await key('Shift+Tab', 'Shift+Tab', 'Shift+Tab', 'ArrowDown', 'Enter');
  await page.waitForFunction(() => !document.getElementById('fr_dc').hidden);
  assert.equal(await focus(), 'MSF');
  assert.equal((await shownState(page)).LabelCarreras, 'gulfstrm.kel');
  // The race list ends on its last race; up to the second, then its horses.
  await key('Home', 'ArrowDown');
  assert.deepEqual((await shownState(page)).status, ['gulfstrm.kel · The card: every PP counts', 'Enter opens race 2']);
  await key('Enter');
  assert.match((await shownState(page)).LabelCarreras, /^2 GP/);
  await key('End');
  assert.match((await shownState(page)).status[1], /^S scratches: 5 Turf Whisper · /);
  await key('Home', 'ArrowDown', 's');
  assert.equal((await shownState(page)).cells[2][1], '-');
  await key('Enter');
  assert.equal((await shownState(page)).cells.length, 0);
  // Back from a horse's PPs, its number is bold until another race. ESC leaves the last row
  // current, as every build of a page does: the horse read is the one above it.
  await key('Escape', 'ArrowUp', 'Enter');
  assert.equal((await shownState(page)).cells[0][0], 'Date');
  await key('Escape');
  assert.deepEqual(await page.$$eval('#MSF .marked', (cells) => cells.map((c) => c.id)), ['MSF_4_0']);
  await key('Tab', 'Enter');
  assert.equal(await focus(), 'Text_Date');
  await page.keyboard.type('06/01/24');
  await key('Tab', 'Tab', 'Tab', 'Tab', 'Space');
  assert.equal(await page.isChecked('#Check_Muddy'), false);
  // Enter in a text box runs "Go!".
  await key('Tab');
  assert.equal(await focus(), 'Text_Purse1');
  await key('Enter');
  await page.waitForFunction(() => document.getElementById('FrameRecalculate').hidden);
  assert.equal(await focus(), 'MSF');
  await key('Tab', 'Tab', 'Tab');
  assert.equal(await focus(), 'Printd');
  await key('Enter');
  assert.equal((await box(page)).text, 'Print last pp\'s?');
  await key('Tab', 'Enter');
  await page.waitForSelector('#Preview[open]', { timeout: 60000 });
  await key('Escape');
  await settled(page);
  assert.equal(await focus(), 'Printd');
  await key('Shift+Tab', 'Shift+Tab', 'Shift+Tab', 'Escape');
  assert.equal((await shownState(page)).LabelCarreras.startsWith('2 GP'), false);
  await key('Escape');
  assert.deepEqual([(await shownState(page)).shown.fr_dc, await focus()], [false, 'KEL_Soft']);
  // ESC on the empty window: a tab cannot be closed by its page, so nothing happens.
  await key('Escape');
  assert.equal(page.isClosed(), false);
  await key('Alt+h', 'ArrowDown', 'Enter');
  const about = await box(page);
  assert.equal(about.title, 'About kelsoft');
  assert.match(about.text, /^kelsoft \d+\.\d+\.\d+\n/);
  await key('Enter');
  await settled(page);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('cut texts show whole as tooltips, and a dragged column keeps its width until the page is built again', async () => {
  const page = await openPage();
  await openByFrame(page, samples, 'gulfstrm.kel');
  await row(page, 1).dblclick();
  const jockey = row(page, 1, 9);
  await jockey.hover();
  assert.equal(await jockey.getAttribute('title'), await jockey.textContent());
  await row(page, 1, 1).hover();
  assert.equal(await row(page, 1, 1).getAttribute('title'), null);
  const edge = page.locator('#MSF_0_9 .edge');
  const at = await edge.boundingBox();
  await page.mouse.move(at.x + 3, at.y + 5);
  await page.mouse.down();
  await page.mouse.move(at.x + 103, at.y + 5, { steps: 4 });
  await page.mouse.up();
  const widths = () => page.$$eval('#MSF col', (cols) => cols.map((c) => c.style.width));
  assert.equal((await widths())[9], '143px');
  await jockey.hover();
  assert.equal(await jockey.getAttribute('title'), null);
  // The width is the grid's: a double-click on a horse and ESC back build the page again.
  await row(page, 1).dblclick();
  const header = page.locator('#MSF_0_3');
  await header.hover();
  assert.equal(await header.getAttribute('title'), 'Early KEL');
  await header.dblclick();
  assert.equal((await widths())[3], '367px');
  await page.keyboard.press('Escape');
  assert.equal((await widths())[9], '43px');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('installable, and after one visit the page works offline, printing included', async () => {
  const page = await openPage();
  const cdp = await context.newCDPSession(page);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  const manifest = JSON.parse(readFileSync(path.join(siteDir, 'manifest.webmanifest')));
  assert.deepEqual(manifest.file_handlers[0].accept, { 'application/x-kel': ['.kel'] });
  site.offline(true);
  try {
    await page.reload();
    await page.waitForSelector('#KEL_Soft[data-ready]');
    await drop(page, 'small.kel', readFileSync(path.join(samples, 'small.kel')));
    await page.waitForFunction(() => document.getElementById('LabelCarreras').textContent === 'small.kel');
    await page.click('#Printd');
    await box(page);
    await answer(page, 'No');
    for (let i = 0; i < 2; ++i) {
      await box(page);
      await page.keyboard.press('Enter');
    }
    await previewPdf(page, path.join(work, 'offline.pdf'));
    report([], path.join(work, 'tool-small.pdf'), 'small.kel');
    assertSamePdf(path.join(work, 'offline.pdf'), path.join(work, 'tool-small.pdf'));
  } finally {
    site.offline(false);
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});
