// The core's recorded document replayed with pdf-lib in Liberation Sans, whose advances the core
// measured the report with, texts on the desktop printer's baseline (the top of the line plus the
// ascent). pdf-lib, fontkit and the fonts are fetched on the first report.

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

async function load() {
  tools ??= (async () => {
    await Promise.all([script('print/pdf-lib.min.js'), script('print/fontkit.umd.min.js')]);
    const face = async (name) => new Uint8Array(await (await fetch(`print/LiberationSans-${name}.ttf`)).arrayBuffer());
    const [regular, bold] = await Promise.all([face('Regular'), face('Bold')]);
    const font = window.fontkit.create(regular);
    return { regular, bold, ascent: font.ascent / font.unitsPerEm };
  })();
  try {
    return await tools;
  } catch (e) {
    tools = null;
    throw e;
  }
}

// Each character drawn as its own glyph, as the core measured the report: what fontkit's layout
// gives with no features on, without its shaping, which took most of a report's time.
function glyphByCharacter(pdfFont) {
  const font = pdfFont.embedder.font;
  const glyphs = new Map();
  font.layout = (text) => ({
    glyphs: Array.from(text, (ch) => {
      const code = ch.codePointAt(0);
      let glyph = glyphs.get(code);
      if (!glyph) glyphs.set(code, (glyph = font.glyphForCodePoint(code)));
      return glyph;
    }),
  });
}

// Gives the event loop a turn, so that the progress shows and Cancel can be pressed.
const turn = () => new Promise((resolve) => {
  const channel = new MessageChannel();
  channel.port1.onmessage = resolve;
  channel.port2.postMessage(0);
});

// report: { pages, page(n) (its events), title }; progress(done, pages) answers false to stop.
// Resolves to the PDF's bytes, or null when stopped.
export async function writePdf(report, progress) {
  const { regular, bold, ascent } = await load();
  const { PDFDocument, LineCapStyle, rgb } = window.PDFLib;
  const doc = await PDFDocument.create();
  doc.registerFontkit(window.fontkit);
  // Glyphs by their own advances, as the report was measured: no kerning, no ligatures.
  const features = { kern: false, liga: false, clig: false, calt: false };
  const fonts = [await doc.embedFont(regular, { subset: true, features }),
    await doc.embedFont(bold, { subset: true, features })];
  for (const f of fonts) glyphByCharacter(f);
  doc.setTitle(report.title, { showInWindowTitleBar: true });
  doc.setCreator('kelsoft');

  let lastTurn = performance.now();
  for (let n = 1; n <= report.pages; ++n) {
    if (performance.now() - lastTurn > 30) {
      if (!progress(n - 1, report.pages)) return null;
      await turn();
      lastTurn = performance.now();
    }
    const page = doc.addPage(kPage);
    const top = kPage[1] - kMargin;
    for (const e of report.page(n)) {
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
  if (!progress(report.pages, report.pages)) return null;
  await turn();
  // pdf-lib waits for a timer every 50 objects by default, which took most of a race's time.
  return doc.save({ objectsPerTick: 5000 });
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
