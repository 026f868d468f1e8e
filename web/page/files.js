// The file frame's lists over the folder the user lets the page read, as the desktop's. The folder
// comes from showDirectoryPicker where the browser has it (read again each time the frame is
// shown), else from the folder input inside Fr_Open (read once, as picked).

const collator = new Intl.Collator(undefined, { sensitivity: 'accent', numeric: false });
const byName = (a, b) => collator.compare(a.name, b.name) || (a.name < b.name ? -1 : a.name > b.name ? 1 : 0);
const hidden = (name) => name.startsWith('.');

// A folder given by a handle of the File System Access API.
class HandleFolder {
  constructor(handle, parent) {
    this.handle = handle;
    this.name = handle.name;
    this.parent = parent;
  }
  async read(isCard) {
    const folders = [];
    const cards = [];
    for await (const entry of this.handle.values()) {
      if (hidden(entry.name)) continue;
      if (entry.kind === 'directory') folders.push(new HandleFolder(entry, this));
      else if (isCard(entry.name)) cards.push({ name: entry.name, file: () => entry.getFile() });
    }
    return { folders: folders.sort(byName), cards: cards.sort(byName) };
  }
}

// A folder of the files a folder input gave, by their relative paths.
class ListedFolder {
  constructor(name, parent) {
    this.name = name;
    this.parent = parent;
    this.sub = new Map();
    this.files = new Map();
  }
  static of(fileList) {
    let root = null;
    for (const file of fileList) {
      const parts = (file.webkitRelativePath || file.name).split('/');
      root ??= new ListedFolder(parts.length > 1 ? parts[0] : '', null);
      let at = root;
      for (const part of parts.slice(1, -1)) {
        if (!at.sub.has(part)) at.sub.set(part, new ListedFolder(part, at));
        at = at.sub.get(part);
      }
      at.files.set(parts.at(-1), file);
    }
    return root;
  }
  async read(isCard) {
    const folders = [...this.sub.values()].filter((f) => !hidden(f.name)).sort(byName);
    const cards = [...this.files.values()]
      .filter((f) => !hidden(f.name) && isCard(f.name))
      .map((f) => ({ name: f.name, file: async () => f }))
      .sort(byName);
    return { folders, cards };
  }
}

export class FileFrame {
  // dir: the tree Dir1; files: the list File1; pick: the "Choose folder…" button; input: the
  // folder input; isCard(name): the card-name rule; note(name): why a card listed cannot be
  // opened ('' when it can; such a card is greyed, and opening it says why); open(): what
  // double-click and Enter in File1 run; failed(message): tells the user a folder could not be read.
  constructor({ dir, files, pick, input, isCard, note, open, failed }) {
    Object.assign(this, { dir, files, input, isCard, note, failed });
    this.folder = null;
    this.entries = [];
    this.cards = [];
    this.cursor = -1;
    pick.addEventListener('click', () => this.choose());
    input.addEventListener('change', () => {
      if (input.files.length) this.navigate(ListedFolder.of(input.files));
    });
    dir.addEventListener('click', (e) => this.point(e.target.closest('li')));
    dir.addEventListener('dblclick', (e) => this.enter(e.target.closest('li')));
    dir.addEventListener('keydown', (e) => this.dirKey(e));
    files.addEventListener('dblclick', (e) => {
      if (e.target.closest('option')) open();
    });
    files.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        open();
      }
    });
  }

  async choose() {
    if (!window.showDirectoryPicker) {
      this.input.click();
      return;
    }
    try {
      this.navigate(new HandleFolder(await window.showDirectoryPicker({ id: 'kelsoft-cards' }), null));
    } catch (e) {
      if (e.name !== 'AbortError') this.failed(`Cannot read the folder: ${e.message}`);
    }
  }

  async navigate(folder) {
    this.folder = folder;
    await this.refresh();
  }

  // Reads the current folder again, keeping the selected card when it is still there.
  async refresh() {
    if (!this.folder) return;
    const keep = this.selected()?.name;
    let listed;
    try {
      listed = await this.folder.read(this.isCard);
    } catch (e) {
      this.failed(`Cannot read the folder ${this.folder.name}: ${e.message}`);
      listed = { folders: [], cards: [] };
    }
    const chain = [];
    for (let f = this.folder; f; f = f.parent) chain.unshift(f);
    this.entries = [...chain.map((f, i) => ({ folder: f, level: i, open: true })),
      ...listed.folders.map((f) => ({ folder: f, level: chain.length, open: false }))];
    this.cursor = chain.length - 1;
    this.dir.replaceChildren(...this.entries.map((e, i) => {
      const li = document.createElement('li');
      li.setAttribute('role', 'treeitem');
      li.id = `Dir1_${i}`;
      li.setAttribute('aria-level', String(e.level + 1));
      li.style.setProperty('--level', e.level);
      if (e.open) li.setAttribute('aria-expanded', 'true');
      li.textContent = e.folder.name || '/';
      return li;
    }));
    this.point(this.dir.children[this.cursor]);
    this.cards = listed.cards;
    this.files.replaceChildren(...this.cards.map((c) => {
      const option = new Option(c.name, c.name);
      const note = this.note(c.name);
      if (note) {
        option.className = 'unopenable';
        option.title = note;
      }
      return option;
    }));
    this.files.selectedIndex = keep === undefined ? -1 : this.cards.findIndex((c) => c.name === keep);
  }

  // The card selected in File1: its name and how to read it; null when none is.
  selected() {
    const i = this.files.selectedIndex;
    return i >= 0 && i < this.cards.length ? this.cards[i] : null;
  }

  point(li) {
    if (!li) return;
    this.cursor = [...this.dir.children].indexOf(li);
    for (const item of this.dir.children) item.setAttribute('aria-selected', String(item === li));
    this.dir.setAttribute('aria-activedescendant', li.id);
    li.scrollIntoView({ block: 'nearest' });
  }

  enter(li) {
    const e = li && this.entries[[...this.dir.children].indexOf(li)];
    if (e && e.folder !== this.folder) this.navigate(e.folder);
  }

  dirKey(e) {
    const items = this.dir.children;
    const move = { ArrowUp: -1, ArrowDown: 1, Home: -items.length, End: items.length }[e.key];
    if (move !== undefined) {
      this.point(items[Math.max(0, Math.min(items.length - 1, this.cursor + move))]);
    } else if (e.key === 'Enter') {
      this.enter(items[this.cursor]);
    } else {
      return;
    }
    e.preventDefault();
  }
}
