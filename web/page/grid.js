// The current cell is highlighted, or its row where a row is one race or one horse. A dragged
// header edge's width goes to the core's grid, where it lasts until a page is built again. Twips
// become pixels as the desktop turns them at 96 dpi. On the horses page the horse whose PPs ESC
// came back from has its number in bold.

const kDefaultRowHeight = 240; // twips
const kRightTop = 6;

const px = (twips) => Math.round(twips / 15);
const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

export class Grid {
  // on: setCell(row, col), moved() (the current cell moved without a command), open() (a
  // double-click on the current cell), headerOpen(col) (a double-click on a header), key(event),
  // colWidth(col, twips), ready() (false while a command runs, when nothing may reach the core).
  constructor(table, on) {
    this.table = table;
    this.box = table.parentElement;
    this.on = on;
    this.g = { rows: 0, cols: 0, fixedRows: 0, row: 0, col: 0, colWidths: [], cells: [] };
    this.page = 0;
    this.notes = [];
    this.header = 0;
    table.addEventListener('mousedown', (e) => this.pointed(e));
    table.addEventListener('dblclick', (e) => this.doubleClicked(e));
    table.addEventListener('keydown', (e) => this.keyed(e));
    table.addEventListener('mouseover', (e) => this.tip(e.target.closest('td, th')));
    table.addEventListener('pointerdown', (e) => this.drag(e));
  }

  // marked: the grid row whose number is drawn bold, or -1.
  draw(g, page, notes, marked = -1) {
    this.g = g;
    this.page = page;
    this.notes = notes;
    this.header = g.fixedRows >= 1 && g.rows >= 1 ? 1 : 0;
    const widths = g.colWidths.map(px);
    const cls = (c) => (widths[c] === 0 ? 'z' : '') + (g.colAlignments[c] === kRightTop ? ' r' : '');
    let cols = '';
    for (let c = 0; c < g.cols; ++c) cols += `<col style="width:${widths[c]}px">`;
    let head = '';
    if (this.header) {
      head = '<tr>';
      for (let c = 0; c < g.cols; ++c)
        head += `<th class="${cls(c)}" id="MSF_0_${c}" role="columnheader">${escape(g.cells[0][c])}<span class="edge"></span></th>`;
      head += '</tr>';
    }
    let body = '';
    for (let r = this.header; r < g.rows; ++r) {
      const height = g.rowHeights[r] === kDefaultRowHeight ? '' : ` style="height:${px(g.rowHeights[r])}px"`;
      body += `<tr${height}>`;
      const row = g.cells[r];
      for (let c = 0; c < g.cols; ++c) {
        const bold = r === marked && c === 0 ? ' marked' : '';
        body += `<td class="${cls(c)}${bold}" id="MSF_${r}_${c}">${escape(row[c])}</td>`;
      }
      body += '</tr>';
    }
    // The same grid again (a box over the page, a print) is left as it is drawn.
    const html = cols + head + body;
    if (html !== this.html) {
      this.html = html;
      this.table.style.width = `${widths.reduce((a, b) => a + b, 0)}px`;
      this.table.children[0].innerHTML = cols;
      this.table.tHead.innerHTML = head;
      this.table.tBodies[0].innerHTML = body;
      this.box.classList.toggle('headed', this.header === 1);
    }
    this.markCurrent(true);
  }

  rowElement(r) {
    return r >= this.header && r < this.g.rows ? this.table.tBodies[0].rows[r - this.header] : null;
  }

  markCurrent(scroll) {
    for (const el of this.table.querySelectorAll('.current')) el.classList.remove('current');
    const tr = this.rowElement(this.g.row);
    const td = tr && this.g.col >= 0 && this.g.col < this.g.cols ? tr.cells[this.g.col] : null;
    if (!td) {
      this.table.removeAttribute('aria-activedescendant');
      return;
    }
    (this.page === 3 ? td : tr).classList.add('current');
    this.table.setAttribute('aria-activedescendant', td.id);
    if (scroll) td.scrollIntoView({ block: 'nearest', inline: this.page === 3 ? 'nearest' : 'start' });
  }

  cellOf(td) {
    const tr = td.parentElement;
    return { row: tr.sectionRowIndex + (tr.parentElement === this.table.tHead ? 0 : this.header), col: td.cellIndex };
  }

  setCurrent(row, col, scroll = true) {
    this.g.row = row;
    this.g.col = col;
    this.on.setCell(row, col);
    this.markCurrent(scroll);
    this.on.moved();
  }

  pointed(e) {
    const td = e.target.closest('td');
    if (!td || !this.on.ready()) return;
    const { row, col } = this.cellOf(td);
    this.setCurrent(row, col, false);
  }

  doubleClicked(e) {
    if (e.target.classList.contains('edge')) return;
    const th = e.target.closest('th');
    if (th) {
      this.on.headerOpen(th.cellIndex);
      return;
    }
    const td = e.target.closest('td');
    if (td) {
      const { row, col } = this.cellOf(td);
      this.setCurrent(row, col, false);
      this.on.open();
    }
  }

  keyed(e) {
    const g = this.g;
    const last = g.rows - 1;
    const pageRows = Math.max(1, Math.floor(this.box.clientHeight / 16) - 1);
    let row = g.row;
    let col = g.col;
    const ctrl = e.ctrlKey || e.metaKey;
    switch (e.key) {
    case 'ArrowUp': row -= 1; break;
    case 'ArrowDown': row += 1; break;
    case 'PageUp': row -= pageRows; break;
    case 'PageDown': row += pageRows; break;
    case 'ArrowLeft': col -= 1; break;
    case 'ArrowRight': col += 1; break;
    // Where a row is the unit (the race list, the horses page), Home and End go to the first and
    // last row; on the PP page to the first and last cell of the row, with Ctrl to the rows.
    case 'Home': if (ctrl || this.page !== 3) row = this.header; else col = 0; break;
    case 'End': if (ctrl || this.page !== 3) row = last; else col = g.cols - 1; break;
    default:
      this.on.key(e);
      return;
    }
    e.preventDefault();
    if (g.rows <= this.header || !this.on.ready()) return;
    row = Math.max(this.header, Math.min(last, row));
    col = Math.max(0, Math.min(g.cols - 1, col));
    this.setCurrent(row, col);
  }

  tip(cell) {
    if (!cell) return;
    const { row } = this.cellOf(cell);
    const text = cell.textContent;
    const note = cell.tagName === 'TD' && text === '-' ? this.notes[row] : '';
    const cut = cell.scrollWidth > cell.clientWidth;
    if (note) cell.title = note;
    else if (cut) cell.title = text;
    else cell.removeAttribute('title');
  }

  // A double-click on a header's right edge fits the column to its texts.
  drag(e) {
    if (!e.target.classList.contains('edge') || e.button !== 0 || !this.on.ready()) return;
    e.preventDefault();
    const c = e.target.parentElement.cellIndex;
    const col = this.table.children[0].children[c];
    const start = e.clientX;
    const from = col.getBoundingClientRect().width;
    const table = this.table;
    const others = table.getBoundingClientRect().width - from;
    const edge = e.target;
    edge.setPointerCapture(e.pointerId);
    const move = (m) => {
      const w = Math.max(0, Math.round(from + m.clientX - start));
      col.style.width = `${w}px`;
      table.style.width = `${others + w}px`;
    };
    const up = (u) => {
      move(u);
      edge.removeEventListener('pointermove', move);
      edge.removeEventListener('pointerup', up);
      this.setWidth(c, parseFloat(col.style.width));
    };
    edge.addEventListener('pointermove', move);
    edge.addEventListener('pointerup', up);
    edge.ondblclick = () => this.fit(c);
  }

  fit(c) {
    let w = 0;
    for (const row of this.table.rows) w = Math.max(w, row.cells[c].scrollWidth);
    const col = this.table.children[0].children[c];
    const before = col.getBoundingClientRect().width;
    col.style.width = `${w}px`;
    this.table.style.width = `${this.table.getBoundingClientRect().width - before + w}px`;
    this.setWidth(c, w);
  }

  setWidth(c, pixels) {
    const twips = Math.round(pixels * 15);
    this.html = null; // drawn otherwise than the core's grid until the next command draws it
    this.g.colWidths[c] = twips;
    this.on.colWidth(c, twips);
  }
}
