// The page played as a player would: the start overlay and the sound's first gesture (a key, a
// tap on a touch screen), the layout at several screen shapes, the pause (P, Pause, a hidden
// tab, the pause control), fullscreen, the touch controls on an emulated phone (upright and
// sideways) and a controller through the Gamepad API. Used by
// browser_test.mjs, which owns the browser and the server.
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Evaluates without counting as the player's gesture (Puppeteer's own evaluations do count).
async function watcher(page) {
  const cdp = await page.createCDPSession();
  return async (expr) =>
    (await cdp.send('Runtime.evaluate', { expression: expr, returnByValue: true })).result.value;
}

const LAST = 'JSON.parse(Module.stateLines[Module.stateLines.length - 1])';

// Waits until watch(expr) is true; false after timeoutMs.
async function until(watch, expr, timeoutMs) {
  for (let t = 0; t < timeoutMs; t += 100) {
    if (await watch(expr)) return true;
    await sleep(100);
  }
  return false;
}

async function newPage(browser, errors, setup) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 800, height: 600 });
  page.on('pageerror', (e) => errors.push(String(e)));
  if (setup) await setup(page);
  return page;
}

// Waits for the title to show. The title runs no game frame: a state line means the game left it.
async function titleShown(watch) {
  return until(watch, 'window.fwPresented > 5', 60000);
}
const LEFT_TITLE = 'Module.stateLines.length > 0';

// The page's shown controls and lines by name (a button's accessible name: its label, else its
// text), each with its box, and the picture's box; read without counting as a gesture.
const LAYOUT = `(() => {
  const box = (e) => { const r = e.getBoundingClientRect(); return { x: r.x, y: r.y, width: r.width, height: r.height }; };
  const shown = [...document.querySelectorAll('button, #status, #sound-hint')].filter((e) => e.getClientRects().length);
  const name = (e) => e.getAttribute('aria-label') || e.textContent.trim();
  return { picture: box(document.getElementById('screen')), view: [innerWidth, innerHeight],
           controls: shown.map((e) => ({ name: name(e), ...box(e) })) };
})()`;
const overlaps = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
const within = (a, [w, h]) => a.x >= 0 && a.y >= 0 && a.x + a.width <= w + 0.5 && a.y + a.height <= h + 0.5;
const named = (layout, n) => layout.controls.find((c) => c.name === n);

// Screen shapes: the picture's size each must give, worked out from index.html's rules (a
// desktop row of 36 px under it at 4:3; columns of 160 px beside it from 5:3; on a touch screen
// 210 px kept under it below 8:5).
const SHAPES = [
  ['desktop_4_3', { width: 800, height: 600 }, [752, 564]],
  ['desktop_wide', { width: 1920, height: 1080 }, [1440, 1080]],
  ['phone_portrait', { width: 390, height: 844, isMobile: true, hasTouch: true }, [390, 292.5]],
  ['tablet_landscape', { width: 1024, height: 768, isMobile: true, hasTouch: true, isLandscape: true }, [744, 558]],
];
// Devices whose first tap must start the sound under the browser's own autoplay rules.
const TAPPED = [
  ['phone', { width: 390, height: 844, isMobile: true, hasTouch: true }],
  ['tablet', { width: 1024, height: 768, isMobile: true, hasTouch: true, isLandscape: true }],
  ['desktop_touch_screen', { width: 1280, height: 800, hasTouch: true }],
];

export async function pageChecks({ check, launchBrowser, base }) {
  const browser = await launchBrowser();
  try {
    // The first tap on a touch screen leaves the overlay and starts the sound: the browser lets
    // it start only as the touch ends, and the page asks then.
    for (const [device, viewport] of TAPPED) {
      const errors = [];
      const page = await newPage(browser, errors, (p) => p.setViewport(viewport));
      const watch = await watcher(page);
      await page.goto(base);
      await until(watch, 'window.fwPresented > 5 && !!Module.fwAudio', 60000);
      const before = await watch('Module.fwAudio.ctx.state');
      await page.touchscreen.tap(viewport.width / 2, viewport.height / 2);
      const started = await until(watch, 'Module.fwAudio.ctx.state === "running" && Module.fwAudioBlocks > 2', 10000);
      const after = await watch('[Module.fwAudio.ctx.state, Module.fwAudioBlocks || 0, document.getElementById("start").hidden, document.getElementById("sound-hint").hidden]');
      check(`first_tap_starts_the_sound_${device}`, before === 'suspended' && started && after[2] && after[3],
            `${before} -> ${after[0]}, ${after[1]} blocks mixed, overlay gone ${after[2]}, hint gone ${after[3]}`);
      await page.browserContext().close();
    }

    // At each shape the picture is as large as the rules give, no control or line lies on it or
    // off the screen, and nothing moved as the page loaded. The sound's hint shows too (Escape,
    // no gesture, leaves the overlay).
    for (const [shape, viewport, [w, h]] of SHAPES) {
      const errors = [];
      const page = await newPage(browser, errors, async (p) => {
        await p.setViewport(viewport);
        await p.evaluateOnNewDocument(() => {
          window.fwShift = 0;
          window.fwShifted = [];
          new PerformanceObserver((list) => {
            for (const e of list.getEntries()) {
              if (e.hadRecentInput) continue;
              window.fwShift += e.value;
              for (const s of e.sources || []) window.fwShifted.push(s.node ? s.node.nodeName + '#' + s.node.id : '?');
            }
          }).observe({ type: 'layout-shift', buffered: true });
        });
      });
      const watch = await watcher(page);
      await page.goto(base);
      await titleShown(watch);
      await page.keyboard.press('Escape');
      await until(watch, '!document.getElementById("sound-hint").hidden', 5000);
      await sleep(300);
      const layout = await watch(LAYOUT);
      const [shift, shifted] = await watch('[window.fwShift, window.fwShifted]');
      const pic = layout.picture;
      const on = layout.controls.filter((c) => overlaps(c, pic)).map((c) => c.name);
      const off = layout.controls.filter((c) => !within(c, layout.view)).map((c) => c.name);
      const hint = named(layout, 'tap, click or press a key for sound');
      // The hint is read in full: at least its text's height and a few words' width.
      const readable = !!hint && hint.width >= 100 && hint.height >= 12;
      check(`layout_${shape}`, Math.abs(pic.width - w) <= 1 && Math.abs(pic.height - h) <= 1 && within(pic, layout.view) &&
            on.length === 0 && off.length === 0 && readable && shift < 0.01,
            `picture ${pic.width}x${pic.height} (${w}x${h} wanted); on it: ${on.join(', ') || 'nothing'}; ` +
            `off the screen: ${off.join(', ') || 'nothing'}; hint ${hint ? `${hint.width}x${hint.height}` : 'not shown'}; ` +
            `layout shift ${shift.toFixed(3)} ${shifted.join(' ')}`);
      if (viewport.hasTouch) {
        // Each control's accessible name (as the browser gives it) starts with the words it
        // shows, so that a spoken command finds it; the arrows show no words.
        const lost = [];
        let count = 0;
        for (const b of await page.$$('button')) {
          const node = await page.accessibility.snapshot({ root: b });
          const words = await b.evaluate((e) => e.textContent.trim());
          if (!node) continue;
          count++;
          if (/[a-z]/i.test(words) && !(node.name || '').toLowerCase().startsWith(words.toLowerCase())) lost.push(`${words} (${node.name})`);
        }
        check(`control_names_start_with_their_words_${shape}`, count >= 12 && lost.length === 0,
              `${count} named; words not at the start of their name: ${lost.join(', ') || 'none'}`);
      }
      await page.browserContext().close();
    }

    // The start overlay: its keys, and a first key that starts the sound without reaching the
    // game (P would have paused it).
    {
      const errors = [];
      const page = await newPage(browser, errors);
      const watch = await watcher(page);
      await page.goto(`${base}?state=1`);
      await until(watch, 'window.fwPresented > 5 && !!Module.fwAudio', 60000);
      const shown = await watch('[!document.getElementById("start").hidden, document.getElementById("keycard").textContent]');
      await titleShown(watch);
      await page.keyboard.press('KeyP', { delay: 50 });
      await until(watch, 'Module.fwAudio.ctx.state === "running" && Module.fwAudioBlocks > 0', 10000);
      await sleep(500);
      const after = await watch('[document.getElementById("start").hidden, document.body.classList.contains("paused"), Module.fwAudio.ctx.state, Module.stateLines.length]');
      check('start_overlay_shows_the_keys', shown[0] && /Esc {2}start/.test(shown[1]) && /Ctrl {2}fire/.test(shown[1]) && /F1 {2}settings/.test(shown[1]),
            JSON.stringify(shown));
      check('first_key_starts_sound_and_stays_the_pages', after[0] && !after[1] && after[2] === 'running' && after[3] === 0,
            JSON.stringify(after));
      await page.browserContext().close();
    }

    // P and Pause pause and resume; paused, no game frame runs and no keyboard is read, and
    // the sound is held. A hidden tab pauses, and the game stays paused when it comes back
    // until the pause control is tapped. Escape asks before it ends the game.
    {
      const errors = [];
      const page = await newPage(browser, errors);
      const watch = await watcher(page);
      await page.goto(`${base}?state=1`);
      await titleShown(watch);
      await page.keyboard.press('Escape', { delay: 50 });
      await until(watch, 'Module.stateLines.length > 10', 20000);
      await page.keyboard.press('KeyD', { delay: 50 }); // the first gesture: the sound starts
      await until(watch, 'Module.fwAudio && Module.fwAudio.ctx.state === "running"', 10000);
      for (const key of ['KeyP', 'Pause']) {
        await page.keyboard.press(key, { delay: 50 });
        const paused = await until(watch, 'document.body.classList.contains("paused")', 10000);
        await sleep(300);
        const n0 = await watch('Module.stateLines.length');
        const lastRead = await watch(`${LAST}.read`);
        await sleep(1500);
        const [n1, sound] = await watch('[Module.stateLines.length, Module.fwAudio.ctx.state]');
        await page.keyboard.press(key, { delay: 50 });
        const resumed = await until(watch, `Module.stateLines.length > ${n1 + 5}`, 20000);
        const nextRead = await watch(`JSON.parse(Module.stateLines[${n1}]).read`);
        check(`${key}_pauses_and_resumes`, paused && n1 === n0 && sound === 'suspended' && resumed && nextRead === lastRead + 1,
              `paused ${paused}, ${n1 - n0} frames while paused, sound ${sound}, resumed ${resumed}, read ${lastRead} then ${nextRead}`);
      }
      const other = await page.browserContext().newPage();
      await other.bringToFront();
      // Hidden, the page gets no animation callbacks: the game stops there and takes the
      // pause as soon as it is shown.
      const hidden = await until(watch, 'document.hidden', 10000);
      const h0 = await watch('Module.stateLines.length');
      await sleep(1000);
      const h1 = await watch('Module.stateLines.length');
      await page.bringToFront();
      await sleep(300);
      const n0 = await watch('Module.stateLines.length');
      await sleep(1500);
      const [n1, still, held] = await watch('[Module.stateLines.length, document.body.classList.contains("paused"), Module.fwAudio.ctx.state]');
      await page.click('#pause');
      const resumed = await until(watch, `Module.stateLines.length > ${n1 + 5}`, 20000);
      check('hidden_tab_pauses_until_the_pause_control', hidden && h1 === h0 && still && n1 === n0 && resumed,
            `hidden ${hidden}, ${h1 - h0} frames hidden, paused after ${still}, ${n1 - n0} frames after, resumed ${resumed}`);
      // The sound's state says what plays: held while the game stays paused, mixing again after.
      const b0 = await watch('Module.fwAudioBlocks');
      const mixing = await until(watch, `Module.fwAudio.ctx.state === "running" && Module.fwAudioBlocks > ${b0 + 2}`, 10000);
      check('hidden_tab_sound_state_is_what_plays', held === 'suspended' && mixing,
            `paused after the tab came back: ${held}; mixing after the pause control: ${mixing}`);
      await other.close();
      // Escape in a game asks first, paused: no frame runs, and another key plays on from the
      // next read, the game never having seen the Escape. Asked again, a second Escape ends the
      // game (no game frame after it), and one more skips the credits.
      const ended = await watch('window.fwRunsEnded');
      await page.keyboard.press('Escape', { delay: 50 });
      const asked = await until(watch, 'document.body.classList.contains("paused")', 10000);
      await sleep(300);
      const [q0, qRead] = await watch(`[Module.stateLines.length, ${LAST}.read]`);
      await sleep(1000);
      const q1 = await watch('Module.stateLines.length');
      await page.keyboard.press('KeyD', { delay: 50 });
      const playsOn = await until(watch, `Module.stateLines.length > ${q1 + 5}`, 20000);
      const qNext = await watch(`JSON.parse(Module.stateLines[${q1}]).read`);
      check('escape_asks_and_another_key_plays_on', asked && q1 === q0 && playsOn && qNext === qRead + 1,
            `asked ${asked}, ${q1 - q0} frames while asking, played on ${playsOn}, read ${qRead} then ${qNext}`);
      await page.keyboard.press('Escape', { delay: 50 });
      await until(watch, 'document.body.classList.contains("paused")', 10000);
      await page.keyboard.press('Escape', { delay: 50 });
      // No longer asking and no game frame: the credits, unless the held Escape skipped them.
      const answered = await until(watch, '!document.body.classList.contains("paused")', 10000);
      const e0 = await watch('Module.stateLines.length');
      await sleep(1000);
      const e1 = await watch('Module.stateLines.length');
      if (!(await watch(`window.fwRunsEnded > ${ended}`))) await page.keyboard.press('Escape', { delay: 50 });
      const runEnded = await until(watch, `window.fwRunsEnded > ${ended}`, 20000);
      check('second_escape_quits', e1 === e0 && answered && runEnded,
            `${e1 - e0} frames after it, question gone ${answered}, run ended ${runEnded}`);
      check('pause_without_page_errors', errors.length === 0, errors.join(' | '));
      await page.browserContext().close();
    }

    // F11 and the fullscreen control put the page fullscreen, the picture 4:3.
    {
      const errors = [];
      const page = await newPage(browser, errors);
      const watch = await watcher(page);
      await page.goto(`${base}?state=1`);
      await titleShown(watch);
      await page.keyboard.press('F11');
      const on = await until(watch, '!!document.fullscreenElement', 10000);
      await sleep(300);
      const size = await watch('[document.getElementById("screen").getBoundingClientRect().width, document.getElementById("screen").getBoundingClientRect().height]');
      await page.keyboard.press('F11');
      const off = await until(watch, '!document.fullscreenElement', 10000);
      await page.click('#fullscreen');
      const control = await until(watch, '!!document.fullscreenElement', 10000);
      check('f11_and_control_go_fullscreen', on && off && control && Math.abs(size[0] * 3 - size[1] * 4) <= 4,
            `F11 ${on}, F11 again leaves ${off}, control ${control}, picture ${size}`);
      await page.browserContext().close();
    }

    // A phone: every control named, below the picture upright and beside it sideways; a game
    // played with them alone, several held at once.
    {
      const errors = [];
      const page = await newPage(browser, errors, (p) => p.setViewport({ width: 393, height: 851, isMobile: true, hasTouch: true }));
      const watch = await watcher(page);
      await page.goto(`${base}?state=1`);
      await titleShown(watch);
      const labels = ['Turn left', 'Turn right', 'Thrust', 'Burn (afterburner)', 'Fire', 'Missile', 'Start', 'Restart', 'Pause'];
      const layout = await watch(LAYOUT);
      const boxes = {};
      for (const l of labels) boxes[l] = named(layout, l);
      const canvas = layout.picture;
      const pads = ['Turn left', 'Turn right', 'Thrust', 'Fire', 'Missile', 'Burn (afterburner)'];
      check('touch_controls_named_and_below_the_picture_upright',
            labels.every((l) => boxes[l]) && pads.every((l) => boxes[l].y >= canvas.y + canvas.height),
            labels.filter((l) => !boxes[l]).join(', ') || `picture ends at ${canvas.y + canvas.height}`);
      const centre = (b) => ({ x: b.x + b.width / 2, y: b.y + b.height / 2 });
      await page.touchscreen.tap(200, 400); // the overlay's tap, the page's own
      await sleep(300);
      const tap = async (l) => { const c = centre(boxes[l]); await page.touchscreen.tap(c.x, c.y); };
      await tap('Start');
      await until(watch, 'Module.stateLines.length > 10', 10000);
      const cdp = await page.createCDPSession();
      const n0 = await watch('Module.stateLines.length');
      const heading0 = await watch(`${LAST}.player.heading`);
      const points = ['Thrust', 'Fire', 'Turn left'].map((l, i) => ({ ...centre(boxes[l]), id: i + 1 }));
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: points });
      await sleep(1500);
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
      const lines = (await watch(`Module.stateLines.slice(${n0})`)).map((l) => JSON.parse(l));
      const thrust = lines.some((l) => l.engines_on && l.player.v > 0);
      const shots = lines.some((l) => l.bullets > 0);
      const turned = lines.some((l) => l.player.heading !== heading0);
      check('touch_plays_with_controls_held_together', thrust && shots && turned,
            `${lines.length} frames: thrust ${thrust}, shots ${shots}, turned ${turned}`);
      await page.setViewport({ width: 851, height: 393, isMobile: true, hasTouch: true, isLandscape: true });
      await sleep(500);
      const sideways = await watch(LAYOUT), c = sideways.picture, r = (l) => named(sideways, l);
      const side = { mid: c.x + c.width / 2, height: c.height, left: r('Turn left').x + r('Turn left').width,
                     right: r('Fire').x, bottom: r('Thrust').y + r('Thrust').height };
      check('touch_controls_beside_the_picture_sideways',
            side.left < side.mid && side.right > side.mid && side.height >= 390 && side.bottom <= 393, JSON.stringify(side));
      check('touch_without_page_errors', errors.length === 0, errors.join(' | '));
      await page.browserContext().close();
    }

    // A controller (a scripted Gamepad API): Back leaves the title, A fires, up thrusts, and Back
    // in the game asks before it quits.
    {
      const errors = [];
      const page = await newPage(browser, errors, (p) => p.evaluateOnNewDocument(() => {
        const pad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
                      buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
        window.fwPad = (b, on) => { pad.buttons[b].pressed = on; pad.buttons[b].value = on ? 1 : 0; };
        navigator.getGamepads = () => [pad];
      }));
      const watch = await watcher(page);
      await page.goto(`${base}?state=1`);
      await titleShown(watch);
      await watch('fwPad(8, true)');
      await sleep(300);
      await watch('fwPad(8, false)');
      const left = await until(watch, 'Module.stateLines.length > 10', 10000);
      const n0 = await watch('Module.stateLines.length');
      await watch('fwPad(0, true), fwPad(12, true)');
      await sleep(1500);
      await watch('fwPad(0, false), fwPad(12, false)');
      const lines = (await watch(`Module.stateLines.slice(${n0})`)).map((l) => JSON.parse(l));
      const thrust = lines.some((l) => l.engines_on && l.player.v > 0);
      const shots = lines.some((l) => l.bullets > 0);
      check('gamepad_plays', left && thrust && shots, `left the title ${left}, thrust ${thrust}, shots ${shots}`);
      // Back in the game asks as Escape does; A then plays on.
      const press = async (b) => { await watch(`fwPad(${b}, true)`); await sleep(200); await watch(`fwPad(${b}, false)`); };
      await press(8);
      const asks = await until(watch, 'document.body.classList.contains("paused")', 5000);
      await press(0);
      const playsOn = await until(watch, '!document.body.classList.contains("paused")', 5000);
      check('gamepad_back_asks_and_a_plays_on', asks && playsOn, `asked ${asks}, played on ${playsOn}`);
      await page.browserContext().close();
    }
  } finally {
    await browser.close();
  }
}
