// The page in headless Chromium: it loads with no console error, its title picture equals the
// headless runner's, a seeded key script gives the headless runner's state lines, a held key
// turns the ship, sound waits for a gesture (Escape is none), the game keeps 30 ms a frame with a
// picture at each animation callback, and Enter after the credits starts a new run at its title,
// whatever was pressed before it. Then the checks of static_checks.mjs (a replay's verdict in
// words, the icons), page_checks.mjs (start, sound, pause, fullscreen, layout, touch,
// controller), file_checks.mjs (downloads, failures, fetch errors, recordings, offline) and
// update_checks.mjs (a rebuilt page reaching a returning visitor), hall_checks.mjs (the runs
// kept, listed, watched, saved and linked).
// usage: node browser_test.mjs PAGE_DIR FARWAKE_HEADLESS DATA_DIR KEYS_DIR PUPPETEER_DIR
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { pageChecks } from './page_checks.mjs';
import { fileChecks, fileRoute, offlineCheck } from './file_checks.mjs';
import { hallChecks } from './hall_checks.mjs';
import { updateCheck } from './update_checks.mjs';
import { verdictChecks, iconChecks } from './static_checks.mjs';
import { readPng } from '../../tools/web/icons.mjs';

// Frame CRCs differ until every backend draws text from the same baked glyph table; with this
// switch on, the frame CRC is compared like every other field of the state lines.
const COMPARE_FRAME_CRC = true;
// The same holds for pictures that show text, such as the title's key card.
const SEED = 4242;
const SCRIPT_FRAMES = 3000;
const TITLE_READ = 20;

const [pageDir, headless, dataDir, keysDir, puppeteerDir] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(puppeteerDir, 'index.js'))('puppeteer-core');
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'farwake-web-'));
let passed = 0, failed = 0;
// FW_WEB_CHECKS=static,core,page,files,offline,update,hall runs only those groups (all when unset).
const part = (name) => !process.env.FW_WEB_CHECKS || process.env.FW_WEB_CHECKS.split(',').includes(name);

function check(name, ok, detail) {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} web.browser.${name}${detail ? ': ' + detail : ''}`);
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.keys': 'text/plain', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };
// The page and the key scripts, from 127.0.0.1 only.
function serve() {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    if (fileRoute(url, res, tmp)) return;
    let file = null;
    if (url.pathname.startsWith('/keys/')) file = path.join(keysDir, path.basename(url.pathname));
    else if (url.pathname.startsWith('/icons/')) file = path.join(pageDir, 'icons', path.basename(url.pathname));
    else file = path.join(pageDir, url.pathname === '/' ? 'index.html' : path.basename(url.pathname));
    fs.readFile(file, (err, body) => {
      if (err) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                           'Content-Length': body.length });
      res.end(body);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function runHeadless(args) {
  execFileSync(headless, ['--data', dataDir, '--seed', String(SEED), ...args], { stdio: 'inherit' });
}

// Opens url in a context of its own, so that no key pressed on an earlier page counts here.
async function openPage(browser, url, errors) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 800, height: 600 });
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('requestfailed', (r) => errors.push('failed: ' + r.url()));
  page.on('response', (r) => { if (r.status() >= 400) errors.push(`${r.status()}: ${r.url()}`); });
  await page.goto(url);
  return page;
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}/`;
const profiles = [];
// A browser of its own with a new empty profile: nothing pressed in another counts in it.
function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'farwake-chromium-'));
  profiles.push(profile);
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}
const browser = await launchBrowser();
let live = null;
try {
  if (part('static')) {
    verdictChecks(check, pageDir);
    iconChecks(check, pageDir, dataDir);
  }
  if (part('core')) {
    // 0. The whole download (HTML, JavaScript, WebAssembly, data) is under 2 MB gzip-compressed.
    {
      let total = 0;
      const files = (dir) => fs.readdirSync(dir, { withFileTypes: true })
        .flatMap((e) => (e.isDirectory() ? files(path.join(dir, e.name)) : [path.join(dir, e.name)]));
      for (const f of files(pageDir)) total += zlib.gzipSync(fs.readFileSync(f), { level: 9 }).length;
      check('page_under_2MB_gzip', total < 2 * 1024 * 1024, `${total} bytes`);
    }

    // 1. The page loads and shows the title, with no console error.
    {
      const errors = [];
      const page = await openPage(browser, base, errors);
      await page.waitForFunction('window.fwPresented > 10', { timeout: 30000 });
      const shown = await page.evaluate('window.fwFirstFrameMs');
      const size = await page.evaluate('[document.getElementById("screen").width, document.getElementById("screen").height]');
      check('loads_without_console_errors', errors.length === 0, errors.join(' | '));
      check('canvas_is_800x600', size[0] === 800 && size[1] === 600, String(size));
      console.log(`info web.browser: first picture ${Math.round(shown)} ms after the page opened`);
      await page.browserContext().close();
    }

    // 2. The title picture at read TITLE_READ equals the headless runner's, pixel for pixel.
    {
      const png = path.join(tmp, 'title.png');
      runHeadless(['--keys', path.join(keysDir, 'title.keys'), '--frames', String(TITLE_READ + 5),
                   '--shot', `${TITLE_READ}:${png}`]);
      const want = readPng(fs.readFileSync(png));
      const errors = [];
      const page = await openPage(browser, `${base}?seed=${SEED}&keys=/keys/title.keys&frames=${TITLE_READ + 5}&shot=${TITLE_READ}&fast=1`, errors);
      await page.waitForFunction('Module.picture !== undefined', { timeout: 60000 });
      const rgba = Buffer.from(await page.evaluate('Array.from(Module.picture)'));
      let differ = 0;
      for (let i = 0; i < want.width * want.height; i++)
        for (let c = 0; c < 3; c++) differ += rgba[4 * i + c] !== want.pixels[3 * i + c];
      check('title_picture_equals_headless', rgba.length === want.width * want.height * 4 && differ === 0,
            `${differ} channel values differ`);
      await page.browserContext().close();
    }

    // 3. A seeded key script: every state line equal to the headless runner's, every field.
    {
      const lines = path.join(tmp, 'state.jsonl');
      runHeadless(['--keys', path.join(keysDir, 'play.keys'), '--frames', String(SCRIPT_FRAMES), '--state', lines]);
      const want = fs.readFileSync(lines, 'utf8').split('\n').filter((l) => l);
      const errors = [];
      const page = await openPage(browser, `${base}?seed=${SEED}&keys=/keys/play.keys&frames=${SCRIPT_FRAMES}&state=1&fast=1`, errors);
      await page.waitForFunction('window.fwRunsEnded >= 1', { timeout: 600000, polling: 500 });
      const got = await page.evaluate('Module.stateLines');
      let first = -1, crcs = 0;
      for (let i = 0; i < Math.min(want.length, got.length); i++)
        crcs += JSON.parse(want[i]).frame_crc !== JSON.parse(got[i]).frame_crc;
      if (!COMPARE_FRAME_CRC) console.log(`info web.browser: frame CRC not compared; ${crcs} of ${got.length} differ`);
      for (let i = 0; i < Math.max(want.length, got.length) && first < 0; i++) {
        if (i >= want.length || i >= got.length) { first = i; break; }
        const a = JSON.parse(want[i]), b = JSON.parse(got[i]);
        if (!COMPARE_FRAME_CRC) { delete a.frame_crc; delete b.frame_crc; }
        if (JSON.stringify(a) !== JSON.stringify(b)) first = i;
      }
      check('script_state_lines_equal_headless', want.length > 2900 && first < 0,
            first < 0 ? `${got.length} lines` : `line ${first}: ${got[first]} vs ${want[first]}`);
      check('script_run_without_console_errors', errors.length === 0, errors.join(' | '));

      // After the credits the page says so, and Enter starts a new run at the title.
      const msg = await page.evaluate('document.getElementById("message").textContent');
      check('end_message_shown', /ended/.test(msg) && /Enter/.test(msg), msg);
      // An Escape pressed while that shows is not carried into the next run: it starts at its
      // title (where no game frame runs, so no state line comes), as the first run did.
      const linesBefore = await page.evaluate('Module.stateLines.length');
      await page.keyboard.press('Escape', { delay: 100 });
      const before = await page.evaluate('window.fwPresented');
      await page.keyboard.press('Enter', { delay: 100 });
      await page.waitForFunction(`window.fwPresented > ${before + 60}`, { timeout: 30000 }).catch(() => {});
      const after = await page.evaluate('window.fwPresented');
      const cleared = await page.evaluate('document.getElementById("message").textContent');
      check('enter_starts_a_new_run', after > before + 60 && cleared === '', `${after - before} frames`);
      const linesAfter = await page.evaluate('Module.stateLines.length');
      check('escape_before_enter_not_carried', linesAfter === linesBefore, `${linesAfter - linesBefore} game frames at the new run's start`);
      await page.browserContext().close();
    }

    // 4. Live keys and the pace: the game's own keyboard, at 30 ms a frame.
    {
      const errors = [];
      live = await launchBrowser();
      const context = await live.createBrowserContext();
      const page = await context.newPage();
      await page.setViewport({ width: 800, height: 600 });
      page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
      page.on('pageerror', (e) => errors.push(String(e)));
      // Puppeteer's own evaluations count as the user's gestures, which would let the sound
      // start unasked; until the first key this page is only watched through plain evaluations.
      await page.evaluateOnNewDocument(() => {
        window.fwPrevented = {};
        window.addEventListener('keydown', (e) => { window.fwPrevented[e.code] = e.defaultPrevented; });
      });
      const cdp = await page.createCDPSession();
      const watch = async (expr) => (await cdp.send('Runtime.evaluate', { expression: expr, returnByValue: true })).result.value;
      await page.goto(`${base}?seed=${SEED}&state=1`);
      for (let i = 0; i < 300 && !(await watch('window.fwPresented > 5 && !!Module.fwAudio')); i++)
        await new Promise((r) => setTimeout(r, 100));
      // Sound waits for the player, as browsers require: Escape, which browsers do not count as
      // a gesture, leaves the title silently with a hint; the next key starts the sound.
      const before = await watch('Module.fwAudio ? Module.fwAudio.ctx.state : "none"');
      const title = await watch('Module.stateLines.length ? JSON.parse(Module.stateLines[Module.stateLines.length - 1]).game_state : -1');
      await page.keyboard.press('Escape', { delay: 100 });
      await page.waitForFunction(`Module.stateLines.length > 10 && JSON.parse(Module.stateLines[Module.stateLines.length - 1]).game_state !== ${title}`, { timeout: 30000 });
      await new Promise((r) => setTimeout(r, 500));
      const silent = await watch('[Module.fwAudio.ctx.state, document.getElementById("start").hidden, !document.getElementById("sound-hint").hidden]');
      check('escape_starts_silently_with_a_hint', silent[0] === 'suspended' && silent[1] && silent[2], JSON.stringify(silent));
      const heading0 = await page.evaluate('JSON.parse(Module.stateLines[Module.stateLines.length - 1]).player.heading');
      await page.keyboard.down('ArrowRight');
      await new Promise((r) => setTimeout(r, 600));
      await page.keyboard.up('ArrowRight');
      const heading1 = await page.evaluate('JSON.parse(Module.stateLines[Module.stateLines.length - 1]).player.heading');
      const after = await page.evaluate('[Module.fwAudio.ctx.state, Module.fwAudioBlocks || 0, document.getElementById("sound-hint").hidden]');
      check('sound_starts_on_the_first_gesture', before === 'suspended' && after[0] === 'running' && after[1] > 0 && after[2],
            `${before} -> ${after[0]}, ${after[1]} blocks mixed, hint hidden ${after[2]}`);
      check('held_key_turns_the_ship', heading1 !== heading0, `heading ${heading0} -> ${heading1}`);
      for (const key of ['Tab', 'ArrowDown', 'F5', 'F10']) await page.keyboard.press(key);
      const prevented = await page.evaluate('window.fwPrevented');
      const scrolled = await page.evaluate('window.scrollY');
      check('game_keys_kept_from_the_browser',
            ['ArrowRight', 'Tab', 'ArrowDown', 'F5', 'F10'].every((k) => prevented[k] === true) && scrolled === 0,
            JSON.stringify(prevented));
      // Game frames (state lines) keep 30 ms each; the pictures come one per animation callback,
      // most of them drawn in between frames (the game's own would be one per frame, about
      // half as many as a 60 Hz page's callbacks).
      await page.evaluate('window.fwCallbacks = 0; (function count() { window.fwCallbacks++; requestAnimationFrame(count); })()');
      const sample = '[Module.stateLines.length, window.fwPresented, window.fwCallbacks, performance.now()]';
      const [f0, p0, c0, t0] = await page.evaluate(sample);
      await new Promise((r) => setTimeout(r, 3000));
      const [f1, p1, c1, t1] = await page.evaluate(sample);
      const expected = (t1 - t0) / 30;
      check('pace_is_30ms_a_frame', Math.abs((f1 - f0) - expected) <= 0.05 * expected,
            `${f1 - f0} frames in ${Math.round(t1 - t0)} ms (${expected.toFixed(1)} expected)`);
      const perCallback = (p1 - p0) / Math.max(1, c1 - c0);
      check('a_picture_each_animation_callback', perCallback >= 0.75 && perCallback <= 2,
            `${p1 - p0} pictures, ${f1 - f0} frames, ${c1 - c0} callbacks`);

      check('live_play_without_console_errors', errors.length === 0, errors.join(' | '));
      await page.browserContext().close();
    }
  }
  const shared = { check, launchBrowser, base, serve, headless, dataDir, keysDir, tmp, pageDir };
  if (part('page')) await pageChecks(shared);
  if (part('files')) await fileChecks(shared);
  if (part('offline')) await offlineCheck(shared);
  if (part('update')) await updateCheck(shared);
  if (part('hall')) await hallChecks(shared);
} catch (e) {
  check('ran_to_the_end', false, String(e && e.stack || e));
} finally {
  await browser.close();
  if (live) await live.close();
  server.close();
  for (const p of profiles) fs.rmSync(p, { recursive: true, force: true });
  fs.rmSync(tmp, { recursive: true, force: true });
}
console.log(`web: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
