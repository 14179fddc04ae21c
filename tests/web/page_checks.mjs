// The page played as a player would: the start overlay and the sound's first gesture, the pause
// (P, Pause, a hidden tab, the pause control), fullscreen, the touch controls on an emulated
// phone (upright and sideways) and a controller through the Gamepad API. Used by
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

export async function pageChecks({ check, launchBrowser, base }) {
  const browser = await launchBrowser();
  try {
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
    // until the pause control is tapped.
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
      const [n1, still] = await watch('[Module.stateLines.length, document.body.classList.contains("paused")]');
      await page.click('#pause');
      const resumed = await until(watch, `Module.stateLines.length > ${n1 + 5}`, 20000);
      check('hidden_tab_pauses_until_the_pause_control', hidden && h1 === h0 && still && n1 === n0 && resumed,
            `hidden ${hidden}, ${h1 - h0} frames hidden, paused after ${still}, ${n1 - n0} frames after, resumed ${resumed}`);
      await other.close();
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
      const size = await watch('[parseInt(document.getElementById("screen").style.width), parseInt(document.getElementById("screen").style.height)]');
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
      const labels = ['Turn left', 'Turn right', 'Thrust', 'Afterburner', 'Fire', 'Missile', 'Start', 'Restart', 'Pause'];
      const boxes = {};
      for (const l of labels) boxes[l] = await (await page.$(`[aria-label="${l}"]`))?.boundingBox();
      const canvas = await (await page.$('#screen')).boundingBox();
      const pads = ['Turn left', 'Turn right', 'Thrust', 'Fire', 'Missile', 'Afterburner'];
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
      const side = await page.evaluate(() => {
        const c = document.getElementById('screen').getBoundingClientRect();
        const r = (l) => document.querySelector(`[aria-label="${l}"]`).getBoundingClientRect();
        return { mid: c.left + c.width / 2, height: c.height, left: r('Turn left').right, right: r('Fire').left, bottom: r('Thrust').bottom };
      });
      check('touch_controls_beside_the_picture_sideways',
            side.left < side.mid && side.right > side.mid && side.height >= 390 && side.bottom <= 393, JSON.stringify(side));
      check('touch_without_page_errors', errors.length === 0, errors.join(' | '));
      await page.browserContext().close();
    }

    // A controller (a scripted Gamepad API): Back leaves the title, A fires, up thrusts.
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
      await page.browserContext().close();
    }
  } finally {
    await browser.close();
  }
}
