// The browser page (the site scripts/web.sh writes) in Debian's chromium, against the native
// build: the window's flows as a user takes them (the folder picker and its fallback, a drop, the
// pages by double-click and ESC, S, the Settings frame, Reset data, Print), each page's grid,
// captions and visibility compared with the native core's window for the same card and actions
// (kel-walk), the PDF read back word by word against kelsoft-report's, the keyboard alone, and
// the site offline after one visit.
//   KEL_SITE_DIR: the site; KEL_NATIVE_DIR: the native build (kel-walk, kelsoft-report).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { launch, serve } from './site.mjs';

const siteDir = process.env.KEL_SITE_DIR;
const nativeDir = process.env.KEL_NATIVE_DIR;
const samples = path.resolve(import.meta.dirname, '../../../samples');
const work = mkdtempSync(path.join(tmpdir(), 'kel-page-'));

let site;
let browser;
before(async () => {
  site = await serve(siteDir);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  site?.server.close();
});

// A fresh profile with the page open and its module ready; the folder picker is the file input
// unless the test gives the page one of its own.
async function openPage({ picker = false } = {}) {
  const context = await browser.newContext({ viewport: { width: 800, height: 520 } });
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
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

test('every page of the sample cards shows what the native window shows, by double-click, ESC, S and Go!', async () => {
  const page = await openPage();
  for (const name of ['small.kel', 'gulfstrm.kel', 'bigfield.kel']) {
    const steps = nativeWalk(path.join(samples, name));
    let at = 0;
    const expect = async (what) => {
      assert.equal(steps[at][0], what);
      assertShows(await shownState(page), steps[at][1], `${name}, ${what}`);
      ++at;
    };
    await openByFrame(page, samples, name);
    await expect(`open ${name}`);
    const races = steps[0][1].grid.rows;
    const horsesOf = (race) => steps.find(([w]) => w === `race ${race}`)[1].grid.rows - 1;
    let largest = 1;
    for (let race = 1; race <= races; ++race) {
      if (horsesOf(race) > horsesOf(largest)) largest = race;
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
  await page.context().close();
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

const report = (args, file) => execFileSync(path.join(nativeDir, 'cli', 'kelsoft-report'), [...args, '--pdf', file, path.join(samples, 'gulfstrm.kel')]);

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
  await page.context().close();
});
