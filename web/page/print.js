// The core's recorded document replayed with pdf-lib in Liberation Sans, whose advances the core
// measured the report with, texts on the desktop printer's baseline (the top of the line plus the
// ascent). pdf-lib, fontkit and the fonts are fetched once a card is open.

const kPage = [612, 792]; // Letter, in points
const kMargin = 18; // points
const kRule = 0.5; // points
const kShowAfter = 500; // ms before the progress shows

let tools = null;

function script(src) {
  return new Promise((resolve, reject) => {
    const s = document.createElement('script');
    s.src = src;
    s.onload = resolve;
    s.onerror = () => reject(new Error(`${src} could not be loaded`));
    document.head.append(s);
  });
}

// Each character drawn as its own glyph, as the core measured the report: what fontkit's layout
// gives with no features on, without its shaping, which took most of a report's time.
function glyphByCharacter(font) {
  const glyphs = new Map();
  font.layout = (text) => ({
    glyphs: Array.from(text, (ch) => {
      const code = ch.codePointAt(0);
      let glyph = glyphs.get(code);
      if (!glyph) glyphs.set(code, (glyph = font.glyphForCodePoint(code)));
      return glyph;
    }),
  });
  return font;
}

// The faces are read by fontkit once: pdf-lib asks it to read a font file again for every report,
// and the tables then read again took a tenth of a report's time.
async function load() {
  tools ??= (async () => {
    await Promise.all([script('print/pdf-lib.min.js'), script('print/fontkit.umd.min.js')]);
    const face = async (name) => new Uint8Array(await (await fetch(`print/LiberationSans-${name}.ttf`)).arrayBuffer());
    const files = await Promise.all([face('Regular'), face('Bold')]);
    const fonts = new Map(files.map((file) => [file, glyphByCharacter(window.fontkit.create(file))]));
    const fontkit = { create: (file) => fonts.get(file) ?? window.fontkit.create(file) };
    const regular = fonts.get(files[0]);
    return { files, fontkit, ascent: regular.ascent / regular.unitsPerEm };
  })();
  try {
    return await tools;
  } catch (e) {
    tools = null;
    throw e;
  }
}

async function begin(title) {
  const { files, fontkit, ascent } = await load();
  const doc = await window.PDFLib.PDFDocument.create();
  doc.registerFontkit(fontkit);
  // Glyphs by their own advances, as the report was measured: no kerning, no ligatures.
  const features = { kern: false, liga: false, clig: false, calt: false };
  const fonts = [await doc.embedFont(files[0], { subset: true, features }),
    await doc.embedFont(files[1], { subset: true, features })];
  doc.setTitle(title, { showInWindowTitleBar: true });
  doc.setCreator('kelsoft');
  return { doc, fonts, ascent };
}

function drawPage({ doc, fonts, ascent }, events) {
  const { LineCapStyle, rgb } = window.PDFLib;
  const page = doc.addPage(kPage);
  const top = kPage[1] - kMargin;
  for (const e of events) {
    if (e.kind === 'line') {
      page.drawLine({
        start: { x: kMargin + e.x / 20, y: top - e.y / 20 },
        end: { x: kMargin + e.x2 / 20, y: top - e.y2 / 20 },
        thickness: kRule,
        color: rgb(((e.rgb >> 16) & 255) / 255, ((e.rgb >> 8) & 255) / 255, (e.rgb & 255) / 255),
        lineCap: LineCapStyle.Butt,
      });
      continue;
    }
    if (e.kind !== 'text') continue;
    // As the printer draws it: control characters take no room.
    const text = e.text.replace(/[\u0000-\u001f\u007f]/g, '');
    if (text)
      page.drawText(text, { x: kMargin + e.x / 20, y: top - e.y / 20 - e.size * ascent, size: e.size, font: fonts[e.bold ? 1 : 0] });
  }
}

// pdf-lib waits for a timer every 50 objects by default, which took most of a race's time.
const save = ({ doc }) => doc.save({ objectsPerTick: 5000 });

// Gives the event loop a turn, so that the progress shows and Cancel can be pressed.
const turn = () => new Promise((resolve) => {
  const channel = new MessageChannel();
  channel.port1.onmessage = resolve;
  channel.port2.postMessage(0);
});

// report: { pages, page(n) (its events), title }; progress(done, pages) answers false to stop.
// Resolves to the PDF's bytes, or null when stopped.
export async function writePdf(report, progress) {
  const job = await begin(report.title);
  let lastTurn = performance.now();
  for (let n = 1; n <= report.pages; ++n) {
    if (performance.now() - lastTurn > 30) {
      if (!progress(n - 1, report.pages)) return null;
      await turn();
      lastTurn = performance.now();
    }
    drawPage(job, report.page(n));
  }
  if (!progress(report.pages, report.pages)) return null;
  await turn();
  return save(job);
}

// The first report would take some 150 ms longer than the next: pdf-lib and fontkit loaded and
// compiled, their code not yet optimised. Once a card is open they write a sample page a few
// times in idle time, each step on its own so that none keeps the window from a click for long.
// A failure (no network before the site is kept) is left for "Print" to say.
const kWarmRuns = 6;
const kSampleText = ['Race 1  [A-1] [B-2] [C-3]  12.34  56.78%  0123456789',
  'ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz .,;:-/()'];
const kSample = Array.from({ length: 60 }, (_, i) => (i % 6 === 5
  ? { kind: 'line', x: 0, y: 200 * i, x2: 11000, y2: 200 * i, rgb: 0 }
  : { kind: 'text', x: 100, y: 200 * i, size: 10, bold: i % 2 === 0, text: kSampleText[i % 2] }));
let warming = null;

const idle = () => new Promise((resolve) => (window.requestIdleCallback ?? setTimeout)(resolve));

export function warmUp() {
  warming ??= (async () => {
    await idle();
    await load();
    for (let i = 0; i < kWarmRuns; ++i) {
      await idle();
      const job = await begin('kelsoft');
      await idle();
      drawPage(job, kSample);
      await idle();
      await job.doc.save({ objectsPerTick: 20 });
    }
  })().catch(() => { warming = null; });
}

export class Progress {
  constructor(what) {
    this.dialog = document.getElementById('Progress');
    this.text = document.getElementById('Progress_Text');
    this.bar = document.getElementById('Progress_Bar');
    this.what = what;
    this.start = performance.now();
    this.cancelled = false;
    document.getElementById('Progress_Cancel').onclick = () => { this.cancelled = true; };
    this.dialog.oncancel = (e) => {
      e.preventDefault();
      this.cancelled = true;
    };
  }

  update(done, pages) {
    if (!this.dialog.open && performance.now() - this.start >= kShowAfter) this.dialog.showModal();
    this.text.textContent = `${this.what}\npage ${Math.min(done + 1, pages)} of ${pages}`;
    this.bar.max = pages;
    this.bar.value = done;
    return !this.cancelled;
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }
}

// Shows the PDF in the browser's own viewer, from which it is printed or saved, until closed.
export function preview(bytes, fileName) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/pdf' }));
  const dialog = document.getElementById('Preview');
  const save = document.getElementById('Preview_Save');
  document.getElementById('Preview_Pdf').src = url;
  save.href = url;
  save.download = fileName;
  return new Promise((resolve) => {
    const done = () => {
      dialog.close();
      document.getElementById('Preview_Pdf').src = 'about:blank';
      URL.revokeObjectURL(url);
      resolve();
    };
    document.getElementById('Preview_Close').onclick = done;
    dialog.oncancel = (e) => {
      e.preventDefault();
      done();
    };
    dialog.showModal();
    document.getElementById('Preview_Close').focus();
  });
}
