// Every user event runs the core handler of the same name, then the page draws the core's form and
// grid and puts the focus where the desktop does. A handler that asks a question waits for the
// page's box; meanwhile nothing else reaches the module.
import { Buttons, inputBox, msgBox } from './dialogs.js';
import { FileFrame } from './files.js';
import { Grid } from './grid.js';
import { Progress, preview, warmUp, writePdf } from './print.js';

const $ = (id) => document.getElementById(id);
const kEsc = 27;
const kAppTitle = 'KEL Soft';

let k = null; // the module
let w = null; // its window
let busy = false; // a command runs (or waits for a box)
let state = null;
// The horse whose PPs ESC came back from, marked on its race's horses page until another race.
let viewed = { race: 0, horse: 0 };
let keyFromPPs = false; // the command running is a key on the PP page

const grid = new Grid($('MSF'), {
  ready: () => w !== null && !busy,
  setCell: (row, col) => w.setCell(row, col),
  moved: () => showStatus(false),
  open: () => command(() => w.doubleClick()),
  headerOpen: (col) => {
    // Elsewhere it would open whatever row is current, which nobody means.
    if (state?.viewPage === 3) command(() => { w.setCell(state.grid.row, col); return w.doubleClick(); });
  },
  key: (e) => gridKey(e),
  colWidth: (col, twips) => { if (w && !busy) w.setColWidth(col, twips); },
});

const files = new FileFrame({
  dir: $('Dir1'),
  files: $('File1'),
  pick: $('Dir1_Pick'),
  input: $('Dir1_Files'),
  isCard: (name) => k?.isListedCardName(name) ?? false,
  note: (name) => (k?.isTooLongCardName(name) ? k.longCardNameNote() : ''),
  open: () => openFromFrame(),
  failed: (message) => msgBox(message, kAppTitle, Buttons.Ok),
});

function render() {
  state = JSON.parse(k.pageState(w));
  for (const [name, c] of Object.entries(state.controls)) {
    const el = $(name);
    if (!el) continue;
    const shownAs = el.type === 'checkbox' ? el.parentElement : el;
    shownAs.hidden = !c.visible;
    if (el.tagName === 'FIELDSET') {
      const legend = el.querySelector(':scope > legend');
      if (legend && legend.textContent !== c.caption) legend.textContent = c.caption;
    } else if ((el.tagName === 'DIV' || el.tagName === 'BUTTON') && el.textContent !== c.caption) {
      el.textContent = c.caption;
    }
  }
  if (keyFromPPs && state.viewPage === 2) viewed = { race: state.currentRace, horse: state.currentHorse };
  keyFromPPs = false;
  if (state.viewPage === 1 || (state.viewPage === 2 && state.currentRace !== viewed.race)) viewed = { race: 0, horse: 0 };
  const marked = state.viewPage === 2 && viewed.race !== 0 ? viewed.horse : -1;
  grid.draw(state.grid, state.viewPage, state.viewPage === 2 ? JSON.parse(k.rowNotes(w)) : [], marked);
  showStatus(true);
}

// The marks after a command, the current row after every move; a line cut shows whole as a tooltip.
function showStatus(marksToo) {
  const put = (el, text) => {
    if (el.textContent !== text) el.textContent = text;
    if (el.scrollWidth > el.clientWidth) el.title = text;
    else el.removeAttribute('title');
  };
  if (marksToo) put($('StatusMarks'), k.statusMarks(w));
  put($('StatusCurrent'), k.statusCurrent(w));
}

// What the user typed and ticked in the Settings frame, as the core reads it.
function syncSettings() {
  for (const el of $('FrameRecalculate').querySelectorAll('input')) {
    if (el.type === 'checkbox') w.setValue(el.id, el.checked ? 1 : 0);
    else w.setText(el.id, el.value);
  }
}

const shown = (el) => el && el.checkVisibility?.() !== false && el.getClientRects().length > 0;

function restoreFocus(before) {
  const asked = state.focus ? $(state.focus) : null;
  let want = asked ?? before;
  if (!shown(want) || want.disabled) {
    if (!$('fr_dc').hidden) want = $('MSF');
    else if (!$('Fr_Open').hidden) want = $('File1');
    else want = $('KEL_Soft');
  }
  want.focus();
  if (asked && want === asked && want.type === 'text') want.select();
}

async function command(handler) {
  if (busy) return;
  busy = true;
  $('KEL_Soft').setAttribute('aria-busy', 'true');
  const before = document.activeElement;
  try {
    await ready;
    syncSettings();
    k.forgetFocus(w);
    await handler();
  } catch (e) {
    await failed(e);
  } finally {
    if (w) {
      render();
      restoreFocus(before);
      if (!$('fr_dc').hidden) warmUp();
    }
    busy = false;
    $('KEL_Soft').removeAttribute('aria-busy');
  }
}

async function failed(e) {
  // A C++ exception reaches the page as a number; the one a command can raise is running out of
  // memory, after which the command stops where it was, as on the desktop.
  if (typeof e === 'number') {
    await msgBox('Not enough memory to finish the command', kAppTitle, Buttons.Ok);
    return;
  }
  console.error(e);
  await msgBox(`The page stopped working (${e?.message ?? e}). Reload it to go on; the card is still where it was.`,
    kAppTitle, Buttons.Ok);
}

function gridKey(e) {
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  if (e.key === 'Enter') {
    e.preventDefault();
    // Enter acts as a double-click on the current cell, when there is one.
    if (grid.rowElement(state.grid.row)) command(() => w.doubleClick());
    return;
  }
  const code = keyCode(e);
  if (code < 0 || code === 9) return;
  e.preventDefault();
  keyFromPPs = state.viewPage === 3;
  command(() => w.gridKey(code));
}

// The character code of a key in the Windows code page, or -1 for keys that carry no character.
function keyCode(e) {
  if (e.key === 'Escape') return kEsc;
  if (e.key.length !== 1) return -1;
  const code = e.key.charCodeAt(0);
  return code < 256 ? code : -1;
}

// A card's file and, when it is not too large to open, its bytes.
async function readCard(card) {
  const file = await card.file();
  return { file, bytes: file.size <= k.maxCardBytes ? new Uint8Array(await file.arrayBuffer()) : null };
}

// The card selected in File1 is read from the moment it is selected, then loaded and rated in the
// module, so that "Open" only puts it on show: a browser takes some 100 ms to hand over a full
// card's 12 MB, and the module 20 ms to load and rate it.
let readAhead = null;
let prepared = null; // the read whose card the module holds prepared
function readSelected() {
  const card = files.selected();
  const ahead = card && k ? { card, read: readCard(card) } : null;
  readAhead = ahead;
  forgetPrepared();
  // What fails is read again by Open, and said then.
  ahead?.read.then((got) => prepare(ahead, got), () => {});
}

// Not while a box waits in the module: a modal box leaves File1 out of reach, and "Open" takes
// what is prepared before it asks anything.
function forgetPrepared() {
  if (prepared) k.dropPrepared(w);
  prepared = null;
}

// Not while a command owns the module: one that has started reads the card itself.
function prepare(ahead, got) {
  if (readAhead !== ahead || busy || !w || !got.bytes) return;
  try {
    if (k.prepareBytes(w, got.bytes)) prepared = got;
  } catch {
    // Open reads it again, and says what fails.
  }
}

// The bytes read ahead when the card is the one selected and its file has not changed since.
async function bytesOf(card) {
  const ahead = readAhead?.card === card ? readAhead.read : null;
  readAhead = null;
  const file = await card.file();
  const got = await ahead?.catch(() => null);
  if (got && got.file.size === file.size && got.file.lastModified === file.lastModified) return got;
  return readCard(card);
}

// Its bytes to the desktop's open command (none selected: it says so); one too large or unreadable
// goes through the module's folder, where the open command refuses it as such a file.
function openFromFrame() {
  return command(async () => {
    const card = files.selected();
    const ready = prepared;
    prepared = null;
    let read = null;
    try {
      if (card) read = await bytesOf(card);
      if (read && !read.bytes) await writeCard(card.name, read.file);
    } catch {
      // Not written: the open command says the card cannot be read.
    }
    if (ready && read === ready) return k.openSelectedPrepared(w, card.name);
    if (ready) k.dropPrepared(w);
    if (!card) return k.openSelected(w, '');
    if (read?.bytes) return k.openSelectedBytes(w, card.name, read.bytes);
    try {
      return await k.openSelected(w, card.name);
    } finally {
      dropCard(card.name);
    }
  });
}

// A card dropped on the page or opened with it by the system: refused, it keeps the card on show.
function openNamed(file) {
  return command(async () => {
    forgetPrepared();
    await writeCard(file.name, file);
    try {
      return await k.openNamed(w, file.name);
    } finally {
      dropCard(file.name);
    }
  });
}

// The card's bytes as a file of the module, for the open command to read. One larger than a card
// can be is written as large as the open command refuses, not whole.
async function writeCard(name, file) {
  const bytes = file.size > k.maxCardBytes ? new Uint8Array(k.maxCardBytes + 1) : new Uint8Array(await file.arrayBuffer());
  k.FS.writeFile(name, bytes);
}

function dropCard(name) {
  try {
    k.FS.unlink(name);
  } catch {
    // Never written.
  }
}

async function print() {
  await command(async () => {
    const pages = await k.print(w);
    if (pages === 0) return;
    render();
    const progress = new Progress('Preparing the preview');
    let bytes;
    try {
      bytes = await writePdf({ pages, page: (n) => JSON.parse(k.reportPage(n)), title: k.reportTitle() },
        (done, all) => progress.update(done, all));
    } finally {
      progress.close();
    }
    if (bytes) await preview(bytes, k.reportFileName());
  });
}

function about() {
  const text = `kelsoft ${$('KEL_Soft').dataset.version}\n\nRates the horses of a race card from their past performances, for handicappers.`
    + '\n\nCopyright (c) 2026 kelsoft contributors. MIT License.';
  if (!busy) msgBox(text, 'About kelsoft', Buttons.Ok);
}

function userGuide() {
  window.open('guide/', 'kelsoft-guide');
}

function fileOpen() {
  command(async () => {
    await w.fileOpen();
    await files.refresh();
  }).then(() => $('File1').focus());
}

// The menu bar: a click or Alt+letter opens a menu, arrows move in it, ESC closes it.
function menus() {
  const bar = $('menubar');
  const tops = [...bar.querySelectorAll(':scope > .menu > button')];
  const close = () => {
    for (const t of tops) {
      t.setAttribute('aria-expanded', 'false');
      $(t.getAttribute('aria-controls')).hidden = true;
    }
  };
  const open = (t, focusFirst) => {
    close();
    t.setAttribute('aria-expanded', 'true');
    const menu = $(t.getAttribute('aria-controls'));
    menu.hidden = false;
    if (focusFirst) menu.querySelector('button').focus();
  };
  for (const t of tops) {
    t.addEventListener('click', () => (t.getAttribute('aria-expanded') === 'true' ? close() : open(t, false)));
    t.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        open(t, true);
      }
    });
  }
  bar.addEventListener('keydown', (e) => {
    const items = [...bar.querySelectorAll('[role="menu"]:not([hidden]) > button')];
    const at = items.indexOf(document.activeElement);
    if (e.key === 'Escape') {
      const top = tops.find((t) => t.getAttribute('aria-expanded') === 'true');
      close();
      top?.focus();
      e.stopPropagation();
    } else if (at >= 0 && (e.key === 'ArrowDown' || e.key === 'ArrowUp')) {
      e.preventDefault();
      items[(at + (e.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length].focus();
    } else if (e.key === 'ArrowLeft' || e.key === 'ArrowRight') {
      const top = tops.findIndex((t) => t.getAttribute('aria-expanded') === 'true' || t === document.activeElement);
      if (top >= 0) open(tops[(top + (e.key === 'ArrowRight' ? 1 : tops.length - 1)) % tops.length], at >= 0);
    }
  });
  document.addEventListener('pointerdown', (e) => {
    if (!bar.contains(e.target)) close();
  });
  const item = (id, run) => $(id).addEventListener('click', () => {
    close();
    run();
  });
  item('File_Open', fileOpen);
  item('Help_UserGuide', userGuide);
  item('Help_About', about);
  document.addEventListener('keydown', (e) => {
    if (e.altKey && !e.ctrlKey && (e.key === 'f' || e.key === 'h')) {
      e.preventDefault();
      open(tops[e.key === 'f' ? 0 : 1], true);
    } else if ((e.ctrlKey || e.metaKey) && !e.altKey && e.key.toLowerCase() === 'o') {
      e.preventDefault();
      fileOpen();
    } else if (e.key === 'F1') {
      e.preventDefault();
      userGuide();
    }
  });
}

function controls() {
  const click = (id, handler) => $(id).addEventListener('click', handler);
  click('BT_Open', openFromFrame);
  $('File1').addEventListener('change', readSelected);
  click('BT_Cancel', () => command(() => w.cancelOpen()));
  click('Recalculate', () => command(() => w.recalculate()));
  click('ResetData', () => command(() => w.resetData()));
  click('Printd', print);
  click('Command4', () => command(() => w.go()));
  click('Command6', () => command(() => w.cancelSettings()));
  click('Speed', () => command(() => w.earlySpeed()));
  click('LateSpeed', () => command(() => w.lateSpeed()));
  // Enter in a text box of the Settings frame runs "Go!", nine Tabs away otherwise.
  for (const box of $('FrameRecalculate').querySelectorAll('input[type="text"]')) {
    box.addEventListener('keydown', (e) => {
      if (e.key !== 'Enter' || e.ctrlKey || e.altKey || e.metaKey) return;
      e.preventDefault();
      command(() => w.go());
    });
  }

  // A key reaches the window itself only when no frame is shown: ESC then closes it when the
  // page is an installed app in a window of its own. A tab is the browser's: ESC leaves it open.
  document.addEventListener('keydown', (e) => {
    if (e.defaultPrevented || !w || busy || !$('fr_dc').hidden || !$('Fr_Open').hidden) return;
    if (document.querySelector('dialog[open]') || e.target.closest?.('#menubar')) return;
    const code = keyCode(e);
    if (code < 0) return;
    command(() => w.formKey(code)).then(() => {
      if (k.closed(w) && !matchMedia('(display-mode: browser)').matches) window.close();
    });
  });

  document.addEventListener('dragover', (e) => {
    if (e.dataTransfer.types.includes('Files')) {
      e.preventDefault();
      e.dataTransfer.dropEffect = 'copy';
    }
  });
  document.addEventListener('drop', (e) => {
    if (!e.dataTransfer.types.includes('Files')) return;
    e.preventDefault();
    const dropped = e.dataTransfer.files;
    if (dropped.length === 1) openNamed(dropped[0]);
  });
  // "Open with" from the system, for the installed app (the File Handling API).
  if ('launchQueue' in window) {
    window.launchQueue.setConsumer(async (params) => {
      if (params.files.length === 1) openNamed(await params.files[0].getFile());
    });
  }
}

const ready = (async () => {
  k = await window.createKelsoftPage();
  k.pageDialogs = {
    // A box opens over the page the handler has built so far.
    msgBox: (prompt, title, buttons) => {
      render();
      return msgBox(prompt, title, buttons);
    },
    inputBox: (prompt, title, text) => {
      render();
      return inputBox(prompt, title, text);
    },
  };
  k.FS.mkdir('/cards');
  k.FS.chdir('/cards');
  w = k.PageWindow();
  render();
  // For whoever waits for the window to take commands: a user's own script, a test.
  $('KEL_Soft').dataset.ready = '';
  warmOpen().catch((e) => console.warn('the sample open failed', e));
})();

// The browser's first open of a session would run the loader, the ratings and the grid's drawing
// before the browser has optimised them, twice as slow as the next. A sample card opened a few
// times in idle time, on a window of its own and a grid that is never shown, readies them.
const kWarmOpens = 10;
const idle = () => new Promise((resolve) => (window.requestIdleCallback ?? setTimeout)(resolve));
async function warmOpen() {
  await idle();
  const response = await fetch('sample.kel');
  if (!response.ok) throw new Error(`sample.kel: ${response.status}`);
  const bytes = await response.arrayBuffer();
  const spare = k.SpareWindow();
  const table = document.createElement('table');
  table.innerHTML = '<colgroup></colgroup><thead></thead><tbody></tbody>';
  document.createElement('div').append(table);
  const drawn = new Grid(table, {});
  try {
    for (let i = 0; i < kWarmOpens;) {
      await idle();
      if (busy) continue; // the user's command owns the module until it ends
      k.prepareBytes(spare, new Uint8Array(bytes));
      k.openSelectedPrepared(spare, 'sample.kel');
      const s = JSON.parse(k.pageState(spare));
      drawn.draw(s.grid, s.viewPage, []);
      ++i;
    }
  } finally {
    spare.delete();
  }
}

menus();
controls();
ready.catch(failed);

if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
}

