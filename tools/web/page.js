// The page around the game: the query handed to it (seed, keys, frames, shot, state, fast,
// record, replay, runs), the start overlay and the gestures that start the sound, fullscreen, the
// touch controls, recordings to save and to open, the page's one-line status and its failures.
// The best runs are runs.js's. The game itself (keys, pause, controllers, sound) lives in
// the WebAssembly.
'use strict';
(function () {
  // Keys that browsers do not count as the player's gesture: they cannot start the sound.
  const NOT_GESTURES = new Set(['Escape', 'ControlLeft', 'ControlRight', 'AltLeft', 'AltRight',
                                'ShiftLeft', 'ShiftRight', 'MetaLeft', 'MetaRight']);
  // Where a dropped or picked recording waits for the page to open again with it.
  const DROPPED = 'farwake-dropped-recording';
  const $ = (id) => document.getElementById(id);
  const canvas = $('screen'), message = $('message'), status = $('status');
  const overlay = $('start'), hint = $('sound-hint'), progress = $('progress');
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
  // index.html lays the page out (the largest 4:3 picture, the controls beside or below it);
  // only fullscreen is the page's to ask for.
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
  });

  // ---- the start and the sound ----------------------------------------------------------
  // Browsers start sound only from a gesture of the player's: a key (not Escape or a modifier),
  // a click, or a tap once it ends (Chromium refuses it on a touch's pointerdown). The sound is
  // asked for at each such gesture until it plays, and the hint stays up until then.
  let swallowUp = null, failed = false;
  // The keys on the start overlay are the title's own card, which the game hands over as it
  // starts (Module.showKeyCard).
  overlay.hidden = scripted;

  // Plays: the page has asked at a gesture, and the browser has let the sound run.
  const soundPlays = () => !!(Module.fwSoundAllowed && Module.fwAudio && Module.fwAudio.played);
  function showHint() {
    hint.hidden = failed || !overlay.hidden || soundPlays();
  }
  function askForSound() {
    if (soundPlays()) return;
    Module.fwSoundAllowed = true;
    if (Module.fwAudio) Module.fwAudio.start();
  }
  function leaveOverlay() {
    overlay.hidden = true;
    showHint();
    canvas.focus();
  }

  // Ahead of the game's own listeners: the first key is the page's, F11 is fullscreen.
  window.addEventListener('keydown', (e) => {
    if (!e.isTrusted) return; // the touch controls' keys
    if (e.code === 'F11') {
      e.preventDefault();
      e.stopImmediatePropagation();
      if (!e.repeat) toggleFullscreen();
      askForSound();
      if (!overlay.hidden) leaveOverlay();
      return;
    }
    if (NOT_GESTURES.has(e.code)) {
      // Escape leaves the title whether or not the sound can start yet.
      if (!overlay.hidden && e.code === 'Escape') leaveOverlay();
      return;
    }
    askForSound();
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
  // The overlay goes at once; the sound follows at the end of the tap or click.
  overlay.addEventListener('pointerdown', (e) => {
    e.preventDefault();
    leaveOverlay();
  });
  window.addEventListener('pointerdown', (e) => { if (e.pointerType === 'mouse') askForSound(); }, true);
  for (const ends of ['pointerup', 'touchend', 'click'])
    window.addEventListener(ends, askForSound, { capture: true, passive: true });
  // A controller plays at once (the game reads it); its buttons are no gesture for the sound.
  window.addEventListener('gamepadconnected', () => { if (!overlay.hidden) leaveOverlay(); });

  // A failure takes the start overlay's place: there is nothing to start.
  function fail(text) {
    failed = true;
    overlay.hidden = true;
    progress.hidden = true;
    showHint();
    message.textContent = text;
    message.classList.add('failure');
  }

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
  // A touch screen shows them from the start (index.html); a page touched later shows them then.
  window.addEventListener('touchstart', () => document.documentElement.classList.add('touch'),
                          { passive: true, capture: true });

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
  window.fwPresented = 0;
  window.fwRunsEnded = 0;
  window.Module = {
    canvas,
    arguments: args,
    noInitialRun: true,
    stateLines: [],
    print: (t) => { printed.push(t); console.log(t); },
    printErr: (t) => { printed.push(t); console.error(t); },
    showMessage: (t) => { if (!failed) message.textContent = t; },
    onFailure: fail,
    onSoundState: showHint,
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
    onAbort: (what) => { fail('The browser refused the game\'s code: ' + what); },
    // An open list takes the game's start at once (nothing new is kept until the run ends): its
    // Watch is not offered meanwhile.
    onGamePlayed: () => {
      playing = true;
      if (hall.shown()) hall.redraw();
    },
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
        window.fwReplayVerdict = window.fwDescribeReplay(printed);
        setStatus(window.fwReplayVerdict);
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
      fail(String(e.message || e));
      return;
    }
    if (q.get('record') === '1') setStatus('Recording: the file is offered when the game ends');
    Module.callMain(args);
  }

  // Downloads the game with its progress, then starts it; or says why it cannot.
  async function load() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      fail('This browser cannot run WebAssembly, which farwake needs: ' +
           'use a current Chromium, Firefox or Safari with WebAssembly on.');
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
      fail(String(e.message || e));
      return;
    }
    progress.hidden = true;
    message.textContent = 'Starting...';
    Module.wasmBinary = files['farwake.wasm'];
    Module.getPreloadedPackage = () => files['farwake.data'];
    const s = document.createElement('script');
    s.src = 'farwake.js';
    s.onerror = () => { fail('cannot download farwake.js'); };
    document.body.appendChild(s);
  }

  canvas.focus();
  load();
  if ('serviceWorker' in navigator && window.isSecureContext)
    window.addEventListener('load', () => {
      // The worker's own script is always asked of the server, never taken from the HTTP cache.
      navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' }).catch((e) => console.warn('farwake: ' + e));
    });
})();
