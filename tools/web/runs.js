// The page's hall of fame: the runs folder kept in the browser's own storage (IndexedDB, one
// record a file, merged rather than mirrored so two tabs keep each their own), the best-ten
// panel with Watch, Save and Link for each game, and the #run= links that carry a run inside
// them (compressed with CompressionStream, base64url). The game's own code writes, bounds and
// lists the runs; this file only moves them between its folder and the browser.
'use strict';
(function () {
  const DB = 'farwake', STORE = 'runs';
  // A link longer than this is refused by some browsers and servers, and is no way to share.
  const LINK_MAX = 32 * 1024;

  // ---- storage --------------------------------------------------------------------------
  const request = (r) => new Promise((resolve, reject) => {
    r.onsuccess = () => resolve(r.result);
    r.onerror = () => reject(r.error);
  });
  let db = null;
  function openDb() {
    if (db) return db;
    const r = indexedDB.open(DB, 1);
    r.onupgradeneeded = () => r.result.createObjectStore(STORE);
    db = request(r);
    db.catch(() => { db = null; });
    return db;
  }
  async function store(mode, act) {
    const tx = (await openDb()).transaction(STORE, mode);
    const result = act(tx.objectStore(STORE));
    await new Promise((resolve, reject) => {
      tx.oncomplete = resolve;
      tx.onerror = tx.onabort = () => reject(tx.error || new Error('the storage refused it'));
    });
    return result;
  }

  // A file name the folder can hold as it is: no path, nothing hidden.
  const plainName = (n) => typeof n === 'string' && /^[A-Za-z0-9][A-Za-z0-9._-]{0,127}$/.test(n);
  const stamp = (st) => `${st.size}:${st.mtime.getTime()}`;

  // Files of the folder as last written to or read from the storage, by name.
  const known = new Map();
  let dir = null, chain = Promise.resolve(), lastError = '';

  // Fills the folder from the storage: every run kept by this page, or another tab of it.
  async function pull(folder) {
    dir = folder;
    try { FS.mkdir(dir); } catch (e) { /* already there */ }
    // Names and files from one transaction, so that another tab's write cannot come between.
    const [keys, values] = await store('readonly', (s) => [s.getAllKeys(), s.getAll()]);
    const names = keys.result, files = values.result;
    names.forEach((name, i) => {
      const data = files[i] && files[i].data;
      if (!plainName(name) || !(data instanceof Uint8Array)) return; // not one of ours
      const path = `${dir}/${name}`;
      FS.writeFile(path, data);
      const when = new Date(files[i].mtime || Date.now());
      FS.utime(path, when.getTime(), when.getTime());
      known.set(name, stamp(FS.stat(path)));
    });
  }

  // Writes the files the game changed since the last push, and forgets those it removed;
  // files another tab added are left alone. One push at a time; '' or the storage's refusal.
  function push() {
    if (!dir) return Promise.resolve('');
    chain = chain.then(async () => {
      const here = new Set();
      const changed = [];
      for (const name of FS.readdir(dir)) {
        if (!plainName(name)) continue;
        const path = `${dir}/${name}`, st = FS.stat(path);
        if (!FS.isFile(st.mode)) continue;
        here.add(name);
        if (known.get(name) !== stamp(st)) changed.push([name, stamp(st), st.mtime.getTime()]);
      }
      const gone = [...known.keys()].filter((n) => !here.has(n));
      if (!changed.length && !gone.length) return '';
      await store('readwrite', (s) => {
        for (const [name, , mtime] of changed) s.put({ data: FS.readFile(`${dir}/${name}`), mtime }, name);
        for (const name of gone) s.delete(name);
      });
      for (const [name, st] of changed) known.set(name, st);
      for (const name of gone) known.delete(name);
      if (navigator.storage && navigator.storage.persist && changed.length) navigator.storage.persist().catch(() => {});
      lastError = '';
      return '';
    }).catch((e) => {
      const said = `cannot keep the runs in this browser's storage: ${e && e.message || e}`;
      const fresh = said !== lastError;
      lastError = said;
      return fresh ? said : '';
    });
    return chain;
  }

  // ---- links ----------------------------------------------------------------------------
  function toBase64Url(bytes) {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }
  function fromBase64Url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) throw new Error('the link is damaged (not base64url)');
    const s = atob(text.replace(/-/g, '+').replace(/_/g, '/') + '==='.slice((text.length + 3) % 4));
    const out = new Uint8Array(s.length);
    for (let i = 0; i < s.length; i++) out[i] = s.charCodeAt(i);
    return out;
  }
  async function squeeze(text) {
    const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }
  // Unpacks at most limit bytes: a link that unpacks to more is refused as soon as it does.
  async function unsqueeze(bytes, limit) {
    const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip')).getReader();
    const parts = [];
    let size = 0;
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        size += value.length;
        if (size > limit) {
          reader.cancel().catch(() => {});
          throw new Error(`the link's run unpacks to over ${limit} bytes, the limit of a recording`);
        }
        parts.push(value);
      }
    } catch (e) {
      if (/unpacks/.test(e.message)) throw e;
      throw new Error('the link is damaged (its run does not unpack)');
    }
    return new TextDecoder().decode(await new Blob(parts).arrayBuffer());
  }

  // The page's address with the run in its fragment, or an Error that says why it cannot be.
  async function makeLink(text, game) {
    const packed = toBase64Url(await squeeze(text));
    const base = location.origin + location.pathname;
    const link = `${base}#${game ? `game=${game}&` : ''}run=${packed}`;
    if (link.length > LINK_MAX)
      return new Error(`this run is too long for a link (${Math.ceil(link.length / 1024)} KB, a link holds ` +
                       `${LINK_MAX / 1024} KB): use Save and send the file`);
    return link;
  }
  // The run a link carries, {text, game}; null when the address holds none.
  async function readLink(hash, limit) {
    const h = new URLSearchParams(hash.replace(/^#/, ''));
    if (!h.has('run')) return null;
    const game = h.has('game') ? Number(h.get('game')) : 0;
    if (!Number.isInteger(game) || game < 0 || game > 100000) throw new Error('the link is damaged (its game number)');
    const bytes = fromBase64Url(h.get('run'));
    return { text: await unsqueeze(bytes, limit), game };
  }

  // ---- the list -------------------------------------------------------------------------
  const fileText = (name) => {
    if (!plainName(name)) throw new Error('not a run: ' + name);
    return FS.readFile(`${dir}/${name}`, { encoding: 'utf8' });
  };

  function download(name, text) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }

  // The games of the folder's runs as the game lists them: the best ten, then the best ten
  // practice games, each {file, game, row (the desktop's table row), score, outcome, frames,
  // practice}.
  function entries() {
    if (!dir) return [];
    const name = new TextEncoder().encode(dir + '\0');
    const at = Module._malloc(name.length);
    try {
      HEAPU8.set(name, at);
      return JSON.parse(UTF8ToString(Module._web_runs_list(at)));
    } finally {
      Module._free(at);
    }
  }

  // The panel: rank, score, outcome, length and date, and for each game Watch, Save and Link.
  // opts: say(text, node) for the page's status line, playing() while a game runs, watch(entry).
  function attach(opts) {
    const panel = document.getElementById('runs'), body = panel.querySelector('tbody');
    let last = [];
    // Draws the list anew from the page's storage, or as last read (list: that list).
    const show = (list = entries()) => {
      last = list;
      window.fwRunsList = list;
      body.textContent = '';
      panel.querySelector('.empty').hidden = list.length > 0;
      list.forEach((e) => {
        const row = document.createElement('tr');
        // rank, score, outcome, length, date and time, as the desktop's table has them
        const cells = [e.rank, e.score, e.outcome + (e.practice ? ' (practice)' : ''), e.length, e.date];
        for (const cell of cells) {
          const td = document.createElement('td');
          td.textContent = String(cell);
          row.appendChild(td);
        }
        const actions = document.createElement('td');
        const button = (label, act) => {
          const b = document.createElement('button');
          b.textContent = label;
          b.addEventListener('pointerdown', (ev) => ev.preventDefault());
          b.addEventListener('click', (ev) => { ev.preventDefault(); act(b); });
          actions.appendChild(b);
          return b;
        };
        const watch = button('Watch', () => opts.watch(e));
        if (opts.playing()) {
          watch.disabled = true;
          watch.title = 'A game is running: end it first (Escape, twice); it is kept';
        }
        button('Save', () => download(e.file, fileText(e.file)));
        button('Link', async () => {
          const link = await makeLink(fileText(e.file), e.game);
          if (link instanceof Error) { opts.say(link.message); return; }
          const a = document.createElement('a');
          a.href = a.textContent = link;
          window.fwRunLink = link;
          if (navigator.clipboard) navigator.clipboard.writeText(link).catch(() => {});
          opts.say(`The link to game ${e.game} of ${e.file}: `, a);
        });
        row.appendChild(actions);
        body.appendChild(row);
      });
    };
    const toggle = () => {
      panel.hidden = !panel.hidden;
      if (!panel.hidden) show();
    };
    return { show, redraw: () => show(last), toggle, shown: () => !panel.hidden };
  }

  window.fwRuns = { pull, push, makeLink, readLink, attach, fileText };
})();
