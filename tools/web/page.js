// The page around the game: the query handed to it (seed, keys, frames, shot, state, fast,
// record, replay, runs), the start overlay and the sound's first gesture, the 4:3 picture and
// fullscreen, the touch controls, recordings to save and to open, and the page's one-line
// status; the best runs are runs.js's. The game itself (keys, pause, controllers, sound) lives
// in the WebAssembly.
'use strict';
(function () {
  // Keys that browsers do not count as the player's gesture: they cannot start the sound.
  const NOT_GESTURES = new Set(['Escape', 'ControlLeft', 'ControlRight', 'AltLeft', 'AltRight',
                                'ShiftLeft', 'ShiftRight', 'MetaLeft', 'MetaRight']);
  // Where a dropped or picked recording waits for the page to open again with it.
  const DROPPED = 'farwake-dropped-recording';
  const $ = (id) => document.getElementById(id);
  const canvas = $('screen'), message = $('message'), status = $('status');
  const overlay = $('start'), hint = $('sound-hint'), touch = $('touch');
  const q = new URLSearchParams(window.location.search);
  const scripted = q.has('keys') || q.has('frames');
  // A run carried in the address (#run=, made by the Best runs panel's Link) plays as a replay.
  const linked = /(^#|&)run=/.test(window.location.hash);
  // The real game keeps every session it plays in the page's own storage, as the desktop keeps
  // its runs folder; scripts, replays and ?runs=0 keep none.
  let keepRuns = !scripted && !linked && !q.has('replay') && q.get('record') !== '1' && q.get('runs') !== '0';
  const RUNS = '/runs';

  function setStatus(text, link) {
    status.textContent = text;
    if (link) status.appendChild(link);
    status.hidden = !text && !link;
  }
  window.fwStatus = () => status.textContent;

  // ---- the picture ----------------------------------------------------------------------
  // The largest 4:3 rectangle the page holds (above the touch controls when upright), drawn
  // with square pixels and no smoothing; the rest is black.
  function fit() {
    const upright = document.body.classList.contains('touch') && window.innerHeight > window.innerWidth;
    document.body.classList.toggle('upright', upright);
    const w = window.innerWidth, h = upright ? Math.floor(window.innerHeight * 0.6) : window.innerHeight;
    let cw = w, ch = Math.floor(w * 3 / 4);
    if (ch > h) { ch = h; cw = Math.floor(h * 4 / 3); }
    canvas.style.width = cw + 'px';
    canvas.style.height = ch + 'px';
  }
  window.addEventListener('resize', fit);

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
      return;
    }
    const root = document.documentElement;
    if (!root.requestFullscreen) return;
    root.requestFullscreen({ navigationUI: 'hide' }).then(() => {
      // As the desktop grabs the keyboard in fullscreen: Escape reaches the game, and the
      // browser's "hold Escape to leave" applies.
      if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock().catch(() => {});
    }).catch(() => {});
  }
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && navigator.keyboard && navigator.keyboard.unlock)
      navigator.keyboard.unlock();
    fit();
  });

  // ---- the start and the sound ----------------------------------------------------------
  let gestured = false, swallowUp = null;
  // The keys on the start overlay are the title's own card, which the game hands over as it
  // starts (Module.showKeyCard).
  overlay.hidden = scripted;

  function unlockSound() {
    gestured = true;
    hint.hidden = true;
    Module.fwSoundAllowed = true;
    if (Module.fwAudio) Module.fwAudio.start();
  }
  function leaveOverlay() {
    overlay.hidden = true;
    if (!gestured) hint.hidden = false;
    canvas.focus();
  }

  // Ahead of the game's own listeners: the first gesture is the page's, F11 is fullscreen.
  window.addEventListener('keydown', (e) => {
    if (!e.isTrusted) return; // the touch controls' keys
    if (e.code === 'F11') {
      e.preventDefault();
      e.stopImmediatePropagation();
      if (!e.repeat) toggleFullscreen();
      if (!gestured) unlockSound();
      if (!overlay.hidden) leaveOverlay();
      return;
    }
    if (gestured || NOT_GESTURES.has(e.code)) {
      // Escape leaves the title whether or not the sound can start yet.
      if (!overlay.hidden && e.code === 'Escape') leaveOverlay();
      return;
    }
    unlockSound();
    if (!overlay.hidden) {
      leaveOverlay();
      e.preventDefault();
      e.stopImmediatePropagation();
      swallowUp = e.code;
    }
  }, true);
  window.addEventListener('keyup', (e) => {
    if (e.isTrusted && e.code === swallowUp) {
      swallowUp = null;
      e.stopImmediatePropagation();
    }
  }, true);
  overlay.addEventListener('pointerdown', (e) => {
    e.preventDefault();
    unlockSound();
    leaveOverlay();
  });
  window.addEventListener('pointerdown', () => { if (!gestured) unlockSound(); }, true);
  // A controller plays at once (the game reads it); its buttons are no gesture for the sound.
  window.addEventListener('gamepadconnected', () => { if (!overlay.hidden) leaveOverlay(); });

  // ---- the touch controls ---------------------------------------------------------------
  // Each control holds its key while a finger is on it; any number at once.
  function sendKey(code, down) {
    window.dispatchEvent(new KeyboardEvent(down ? 'keydown' : 'keyup', { code, bubbles: true }));
  }
  for (const b of document.querySelectorAll('[data-code]')) {
    const code = b.dataset.code;
    let fingers = 0;
    const press = (e) => {
      e.preventDefault();
      if (e.pointerId !== undefined && b.setPointerCapture) b.setPointerCapture(e.pointerId);
      if (fingers++ === 0) { b.classList.add('down'); sendKey(code, true); }
    };
    const release = (e) => {
      e.preventDefault();
      if (fingers === 0) return;
      if (--fingers === 0) { b.classList.remove('down'); sendKey(code, false); }
    };
    b.addEventListener('pointerdown', press);
    b.addEventListener('pointerup', release);
    b.addEventListener('pointercancel', release);
    b.addEventListener('contextmenu', (e) => e.preventDefault());
  }
  function showTouch() {
    if (document.body.classList.contains('touch')) return;
    document.body.classList.add('touch');
    touch.hidden = false;
    fit();
  }
  if (navigator.maxTouchPoints > 0 || window.matchMedia('(pointer: coarse)').matches) showTouch();
  window.addEventListener('touchstart', showTouch, { passive: true, capture: true });

  // ---- the toolbar ----------------------------------------------------------------------
  const toolButton = (id, act) => {
    const b = $(id);
    b.addEventListener('pointerdown', (e) => e.preventDefault()); // keeps the keyboard's focus
    b.addEventListener('click', (e) => { e.preventDefault(); act(); canvas.focus(); });
  };
  toolButton('fullscreen', toggleFullscreen);
  toolButton('record', () => {
    const next = new URLSearchParams(q);
    if (q.get('record') === '1') next.delete('record'); else next.set('record', '1');
    next.delete('replay');
    window.location.search = next.toString();
  });
  toolButton('open', () => $('picker').click());
  // A game in progress is never lost to watching: Watch is offered only when no game runs.
  let playing = false;
  const hall = window.fwRuns.attach({
    say: setStatus,
    playing: () => playing,
    watch: (e) => {
      const next = new URLSearchParams();
      next.set('replay', 'runs:' + e.file);
      if (e.game) next.set('game', String(e.game));
      window.location.search = next.toString();
    },
  });
  toolButton('best', () => hall.toggle());
  const keep = () => window.fwRuns.push().then((said) => { if (said) setStatus(said); });
  $('record').textContent = q.get('record') === '1' ? 'Stop recording' : 'Record';

  // A recording picked or dropped is kept for the page, which opens again to play it from
  // its first read with its own seed.
  function openRecordingFile(file) {
    const limit = Module.fwScriptLimit;
    if (limit && file.size > limit) {
      setStatus(`${file.name} is ${file.size} bytes, over the limit of ${limit} bytes`);
      return;
    }
    file.text().then((text) => {
      try {
        sessionStorage.setItem(DROPPED, text);
      } catch (e) {
        setStatus(`${file.name} is too large to pass to the page; serve it and open ?replay=URL`);
        return;
      }
      const next = new URLSearchParams();
      next.set('replay', 'dropped:' + file.name);
      window.location.search = next.toString();
    }, () => setStatus(`cannot read ${file.name}`));
  }
  $('picker').addEventListener('change', (e) => {
    if (e.target.files.length) openRecordingFile(e.target.files[0]);
  });
  window.addEventListener('dragover', (e) => e.preventDefault());
  window.addEventListener('drop', (e) => {
    e.preventDefault();
    if (e.dataTransfer.files.length) openRecordingFile(e.dataTransfer.files[0]);
  });

  // ---- the game -------------------------------------------------------------------------
  const args = [];
  if (q.has('seed')) args.push('--seed', q.get('seed'));
  if (q.has('frames')) args.push('--frames', q.get('frames'));
  if (q.has('keys')) args.push('--keys', '/keys.txt');
  if (q.has('replay') || linked) args.push('--replay', '/replay.txt');
  if (q.get('record') === '1') args.push('--record', '/recording.txt');
  if (q.has('shot')) args.push('--shot', q.get('shot'));
  if (q.get('state') === '1') args.push('--state');
  if (q.get('fast') === '1') args.push('--unpaced');

  // Lines the game printed in the current run: a replay's verdict is among them.
  let printed = [];
  const progress = $('progress');
  window.fwPresented = 0;
  window.fwRunsEnded = 0;
  window.Module = {
    canvas,
    arguments: args,
    noInitialRun: true,
    stateLines: [],
    print: (t) => { printed.push(t); console.log(t); },
    printErr: (t) => { printed.push(t); console.error(t); },
    showMessage: (t) => { message.textContent = t; },
    showKeyCard: (t) => { $('keycard').textContent = t; },
    toggleFullscreen,
    onPause: (on) => {
      document.body.classList.toggle('paused', !!on);
      $('pause').setAttribute('aria-pressed', on ? 'true' : 'false');
    },
    onFrame: () => {
      if (window.fwPresented++ === 0) {
        window.fwFirstFrameMs = performance.now();
        message.textContent = '';
      }
    },
    onAbort: (what) => {
      progress.hidden = true;
      message.textContent = 'The browser refused the game\'s code: ' + what;
    },
    onGamePlayed: () => { playing = true; },
    // Watching a later game of a session: the games before it run through unseen.
    onWatching: (shown) => {
      canvas.style.opacity = shown ? '' : '0';
      if (shown) window.fwWatchShownAt = Module.stateLines.length; else window.fwWatchHidden = true;
      message.textContent = shown ? '' : 'Going to the game to watch...';
    },
    onRunEnded: (code, replayed, record) => {
      playing = false;
      if (keepRuns) keep().then(() => { if (hall.shown()) hall.show(); });
      window.fwRunsEnded++;
      window.fwExitCode = code;
      if (replayed) {
        const verdict = printed.filter((l) => /replay|recorded|expected|actual/.test(l));
        window.fwReplayVerdict = verdict.join('\n');
        setStatus(verdict.length ? verdict.map((l) => l.trim()).join(' ') : 'replay ended');
      }
      if (record) {
        const text = FS.readFile(record, { encoding: 'utf8' });
        window.fwRecording = text;
        const a = document.createElement('a');
        a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
        a.download = 'farwake-' + new Date().toISOString().replace(/[:.]/g, '-') + '.txt';
        a.textContent = 'Save the recording';
        setStatus('The game was recorded: ', a);
      }
      printed = [];
    },
    onRuntimeInitialized: () => { startGame(); },
  };

  // Fetches the key script or recording the query names, then runs the game.
  async function startGame() {
    const limit = Module.fwScriptLimit = _web_script_limit();
    const { fetchLimited } = window.fwLoad;
    try {
      if (q.has('keys'))
        FS.writeFile('/keys.txt', await fetchLimited(q.get('keys'), 'key script', limit));
      if (keepRuns || (q.get('replay') || '').startsWith('runs:')) {
        try {
          await window.fwRuns.pull(RUNS);
        } catch (e) {
          keepRuns = false;
          setStatus(`cannot keep runs in this browser's storage (${e && e.message || e}): games are not kept`);
        }
      }
      if (keepRuns) {
        args.push('--runs', RUNS);
        // Kept as they go, so a closed or killed tab loses at most the last seconds.
        setInterval(keep, 10000);
        document.addEventListener('visibilitychange', () => { if (document.hidden) keep(); });
        window.addEventListener('pagehide', keep);
      }
      if (linked) {
        const run = await window.fwRuns.readLink(window.location.hash, limit);
        FS.writeFile('/replay.txt', run.text);
        if (run.game) args.push('--game', String(run.game));
        setStatus('Playing the run from the link' + (run.game ? `, game ${run.game}` : ''));
      } else if (q.has('replay')) {
        const src = q.get('replay');
        let text;
        if (src.startsWith('runs:')) {
          try {
            text = window.fwRuns.fileText(src.slice(5));
          } catch (e) {
            throw new window.fwLoad.LoadError('the run ' + src.slice(5) + ' is no longer kept in this browser');
          }
        } else if (src.startsWith('dropped:')) {
          text = sessionStorage.getItem(DROPPED);
          if (text === null) throw new window.fwLoad.LoadError('the recording ' + src.slice(8) +
                                                               ' is no longer here; open it again');
        } else {
          text = await fetchLimited(src, 'recording', limit);
        }
        FS.writeFile('/replay.txt', text);
        if (q.has('game')) args.push('--game', q.get('game'));
        setStatus('Playing the recording ' + src.replace(/^(dropped|runs):/, ''));
      }
    } catch (e) {
      message.textContent = '';
      setStatus(String(e.message || e));
      return;
    }
    if (q.get('record') === '1') setStatus('Recording: the file is offered when the game ends');
    Module.callMain(args);
  }

  // Downloads the game with its progress, then starts it; or says why it cannot.
  async function load() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      message.textContent = 'This browser cannot run WebAssembly, which farwake needs: ' +
                            'use a current Chromium, Firefox or Safari with WebAssembly on.';
      return;
    }
    const bar = $('bar'), text = $('progress-text');
    progress.hidden = false;
    message.textContent = 'Downloading...';
    let files;
    try {
      files = await window.fwLoad.fetchGameFiles(['farwake.wasm', 'farwake.data'], (got, total) => {
        const kib = (n) => Math.round(n / 1024) + ' KiB';
        text.textContent = total && got <= total ? `${kib(got)} of ${kib(total)}` : kib(got);
        bar.style.width = total ? Math.min(100, (100 * got) / total) + '%' : '50%';
      });
    } catch (e) {
      progress.hidden = true;
      message.textContent = String(e.message || e);
      return;
    }
    progress.hidden = true;
    message.textContent = 'Starting...';
    Module.wasmBinary = files['farwake.wasm'];
    Module.getPreloadedPackage = () => files['farwake.data'];
    const s = document.createElement('script');
    s.src = 'farwake.js';
    s.onerror = () => { message.textContent = 'cannot download farwake.js'; };
    document.body.appendChild(s);
  }

  fit();
  canvas.focus();
  load();
  if ('serviceWorker' in navigator && window.isSecureContext)
    window.addEventListener('load', () => {
      navigator.serviceWorker.register('sw.js').catch((e) => console.warn('farwake: ' + e));
    });
})();
