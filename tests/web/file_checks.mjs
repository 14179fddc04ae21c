// The page's files: the download's progress (through a server that compresses too) and its
// failures in the start overlay's place (no WebAssembly, a missing or refused file), URLs that
// fail each their own way, recordings made in the page and replayed by farwake-headless and the other way round, and
// a second visit with the network gone. Used by browser_test.mjs, which owns the browser and the
// main server.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync } from 'node:child_process';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const LIMIT = 16 * 1024 * 1024; // the key-script reader's limit, KEY_SCRIPT_MAX_BYTES
export const streamed = { bytes: 0 };

// Routes of the main server for these checks: files under /rec/ from dir, and URLs that fail.
export function fileRoute(url, res, dir) {
  if (url.pathname.startsWith('/rec/')) {
    fs.readFile(path.join(dir, path.basename(url.pathname)), (err, body) => {
      if (err) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { 'Content-Type': 'text/plain' });
      res.end(body);
    });
    return true;
  }
  if (url.pathname === '/silent') return true; // never answers
  if (url.pathname === '/declared') {
    res.writeHead(200, { 'Content-Length': String(700 * 1024 * 1024), 'Content-Type': 'text/plain' });
    res.write('0 UP\n'); // and nothing more
    return true;
  }
  if (url.pathname === '/stream') {
    streamed.bytes = 0;
    res.writeHead(200, { 'Content-Type': 'text/plain' });
    const line = Buffer.from('# a very long comment line of a key script that goes on and on\n'.repeat(1024));
    const more = () => {
      while (streamed.bytes < 200 * 1024 * 1024) {
        streamed.bytes += line.length;
        if (!res.write(line)) { res.once('drain', more); return; }
      }
      res.end();
    };
    res.on('close', () => res.removeAllListeners('drain'));
    more();
    return true;
  }
  return false;
}

async function openAndWait(browser, url, expr, timeoutMs, setup) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 800, height: 600 });
  if (setup) await setup(page);
  await page.goto(url);
  const ok = await page.waitForFunction(expr, { timeout: timeoutMs, polling: 200 }).then(() => true, () => false);
  return { page, ok };
}

const text = (id) => `document.getElementById("${id}").textContent`;

export async function fileChecks({ check, launchBrowser, base, headless, dataDir, keysDir, tmp, pageDir }) {
  const browser = await launchBrowser();
  // A server on another port is another origin, one that allows no other site to read it.
  const foreign = http.createServer((req, res) => { res.writeHead(200); res.end('0 UP\n'); });
  await new Promise((r) => foreign.listen(0, '127.0.0.1', r));
  try {
    // The download's progress: bytes of the total, on a slow line.
    {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      const cdp = await page.createCDPSession();
      await cdp.send('Network.enable');
      await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 20, downloadThroughput: 400 * 1024, uploadThroughput: -1 });
      await page.goto(base);
      const seen = await page.waitForFunction(`/\\d+ KiB of \\d+ KiB/.test(${text('progress-text')})`, { timeout: 30000, polling: 50 })
        .then(() => page.evaluate(text('progress-text')), () => '');
      check('download_shows_bytes_of_total', seen !== '', seen || 'no progress seen');
      await context.close();
    }

    // Through a server that compresses, which declares the compressed size (the code) or no size
    // (the data, sent in chunks): the bar still shows a fraction of the whole, uncompressed.
    {
      const size = (n) => fs.statSync(path.join(pageDir, n)).size;
      const whole = Math.round((size('farwake.wasm') + size('farwake.data')) / 1024);
      const gzipped = http.createServer((req, res) => {
        const name = new URL(req.url, 'http://127.0.0.1').pathname;
        const file = path.join(pageDir, name === '/' ? 'index.html' : path.basename(name));
        fs.readFile(file, (err, body) => {
          if (err) { res.writeHead(404); res.end(); return; }
          const packed = zlib.gzipSync(body);
          const headers = { 'Content-Encoding': 'gzip', 'Cache-Control': 'no-store',
                            'Content-Type': name.endsWith('.wasm') ? 'application/wasm' : name.endsWith('.js') ? 'text/javascript' : 'text/html' };
          if (!name.endsWith('.data')) headers['Content-Length'] = packed.length;
          res.writeHead(200, headers);
          res.end(packed);
        });
      });
      await new Promise((r) => gzipped.listen(0, '127.0.0.1', r));
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      const cdp = await page.createCDPSession();
      await cdp.send('Network.enable');
      await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 20, downloadThroughput: 200 * 1024, uploadThroughput: -1 });
      await page.goto(`http://127.0.0.1:${gzipped.address().port}/`);
      const shown = `[${text('progress-text')}, document.getElementById("bar").style.width]`;
      const seen = await page.waitForFunction(`/^\\d+ KiB of ${whole} KiB$/.test(${text('progress-text')}) && parseFloat(document.getElementById("bar").style.width) > 0`, { timeout: 30000, polling: 50 })
        .then(() => page.evaluate(shown), () => page.evaluate(shown));
      const pass = new RegExp(`^\\d+ KiB of ${whole} KiB$`).test(seen[0]) && parseFloat(seen[1]) > 0 && parseFloat(seen[1]) < 100;
      check('compressed_download_shows_fraction_of_total', pass, `${seen[0]}, bar ${seen[1]} (${whole} KiB built)`);
      await context.close();
      gzipped.close();
    }

    // A page without WebAssembly, a missing file and a refused one each say so, in the start
    // overlay's place: the overlay is gone and nothing lies over the message.
    const replaced = `[document.getElementById("start").hidden, (() => {
      const m = document.getElementById("message"), r = m.getBoundingClientRect();
      return m.contains(document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2));
    })()]`;
    const failures = [
      ['no_webassembly_said', /cannot run WebAssembly/, (p) => p.evaluateOnNewDocument(() => { delete window.WebAssembly; })],
      ['missing_file_said', /cannot download farwake\.wasm.*HTTP 404/, async (p) => {
        await p.setRequestInterception(true);
        p.on('request', (r) => (r.url().endsWith('.wasm') ? r.respond({ status: 404, body: '' }) : r.continue()));
      }],
      ['refused_file_said', /refused the game's code/, async (p) => {
        await p.setRequestInterception(true);
        p.on('request', (r) => (r.url().endsWith('.wasm') ? r.respond({ status: 200, contentType: 'application/wasm', body: 'not a program' }) : r.continue()));
      }],
    ];
    for (const [name, want, setup] of failures) {
      const { page } = await openAndWait(browser, base, 'true', 1000, setup);
      const said = await page.waitForFunction(`${want}.test(${text('message')})`, { timeout: 30000, polling: 200 })
        .then(() => true, () => false);
      await sleep(300);
      const [gone, uncovered] = await page.evaluate(replaced);
      check(name, said && gone && uncovered, `${await page.evaluate(text('message'))} (overlay gone ${gone}, message uncovered ${uncovered})`);
      await page.browserContext().close();
    }

    // Key-script and recording URLs that fail, each with its own one-line message in the
    // overlay's place (a recording's page shows the overlay until then).
    const foreignUrl = `http://localhost:${foreign.address().port}/script.keys`;
    const cases = [
      ['fetch_http_status', `${base}nope.keys`, /HTTP 404/],
      ['fetch_cors_named', foreignUrl, /refused by CORS/],
      ['fetch_file_url', 'file:///etc/hostname', /cannot read file:\/\/ URLs/],
      ['fetch_declared_size_over_limit', `${base}declared`, new RegExp(`is ${700 * 1024 * 1024} bytes, over the limit of ${LIMIT} bytes`)],
      ['fetch_streamed_size_stopped_at_limit', `${base}stream`, /over the limit .*stopped after/],
      ['fetch_timeout', `${base}silent`, /no answer from .* within 10 s/],
      ['fetch_recording_http_status', `${base}rec/nope.rec`, /recording: .*HTTP 404/, 'replay'],
    ];
    for (const [name, url, want, what = 'keys'] of cases) {
      const { page, ok } = await openAndWait(browser, `${base}?${what}=${encodeURIComponent(url)}`,
        `${want}.test(${text('message')})`, 40000);
      const said = await page.evaluate(text('message'));
      const [gone, uncovered] = await page.evaluate(replaced);
      let detail = `${said} (overlay gone ${gone}, message uncovered ${uncovered})`;
      let pass = ok && !/\n/.test(said) && gone && uncovered;
      if (name === 'fetch_streamed_size_stopped_at_limit') {
        await sleep(500);
        pass = pass && streamed.bytes < 3 * LIMIT;
        detail += ` (server sent ${streamed.bytes} bytes)`;
      }
      check(name, pass, detail);
      await page.browserContext().close();
    }

    // A recording made in the page replays in farwake-headless.
    {
      const { page, ok } = await openAndWait(browser, `${base}?seed=777&keys=/keys/play.keys&frames=700&record=1&fast=1`,
        'window.fwRunsEnded >= 1 && !!window.fwRecording', 300000);
      const recording = ok ? await page.evaluate('window.fwRecording') : '';
      const file = path.join(tmp, 'page.rec');
      fs.writeFileSync(file, recording);
      let out = '', pass = false;
      try {
        out = execFileSync(headless, ['--data', dataDir, '--replay', file], { encoding: 'utf8' });
        pass = /replay matches \(\d+ checks\)/.test(out) && /^# seed 777$/m.test(recording);
      } catch (e) {
        out = String(e.stderr || e);
      }
      const link = await page.evaluate('!!document.querySelector("#status a[download]")');
      check('page_recording_replays_headless', ok && pass && link, out.trim().split('\n').pop());
      await page.browserContext().close();
    }

    // A headless recording plays in the page with its seed, its checks matching; a recording
    // whose check was altered is caught at that read.
    {
      const file = path.join(tmp, 'headless.rec');
      execFileSync(headless, ['--data', dataDir, '--seed', '31337', '--keys', path.join(keysDir, 'play.keys'),
                              '--frames', '700', '--record', file], { stdio: 'ignore' });
      const good = fs.readFileSync(file, 'utf8');
      const lines = good.split('\n');
      const at = lines.findIndex((l, i) => i > 5 && l.startsWith('# check '));
      // The line and its CRC both altered, as a recording of another game would have them.
      const fields = lines[at].split(' ');
      const state = fields.slice(4).join(' ').replace(/"score":\d+/, '"score":99999');
      lines[at] = ['#', 'check', fields[2], zlib.crc32(state).toString(16).padStart(8, '0'), state].join(' ');
      fs.writeFileSync(path.join(tmp, 'altered.rec'), lines.join('\n'));
      const read = lines[at].split(' ')[2];
      // The difference said in words: the read, the field and its two values.
      const inWords = new RegExp(`^The replay differs at read ${read}: score is 99999 in the recording but \\d+ in this game\\.$`);
      for (const [name, rec, want] of [['headless_recording_plays_in_page', 'headless.rec', /replay matches \(\d+ checks\)/],
                                       ['altered_recording_caught_in_words', 'altered.rec', inWords]]) {
        const { page, ok } = await openAndWait(browser, `${base}?replay=/rec/${rec}&fast=1`, 'window.fwRunsEnded >= 1', 300000);
        const said = await page.evaluate(text('status'));
        check(name, ok && want.test(said), said);
        await page.browserContext().close();
      }
    }
  } finally {
    foreign.close();
    await browser.close();
  }
}

// The second visit plays with the network gone, from the service worker's cache; the page
// offers itself for installing.
export async function offlineCheck({ check, launchBrowser, serve }) {
  const server = await serve();
  const base = `http://127.0.0.1:${server.address().port}/`;
  const browser = await launchBrowser();
  try {
    // The browser's own profile (a private context is never offered an install).
    const page = await browser.newPage();
    await page.goto(base);
    await page.waitForFunction('window.fwPresented > 5', { timeout: 60000 });
    const controlled = await page.waitForFunction('navigator.serviceWorker.controller !== null', { timeout: 30000 })
      .then(() => true, () => false);
    const cdp = await page.createCDPSession();
    const install = await cdp.send('Page.getInstallabilityErrors').catch((e) => ({ error: String(e) }));
    server.closeAllConnections();
    await new Promise((r) => server.close(r));
    await page.reload();
    const played = await page.waitForFunction('window.fwPresented > 5', { timeout: 60000 }).then(() => true, () => false);
    check('second_visit_offline', controlled && played, `controlled ${controlled}, played ${played}`);
    const errs = install.installabilityErrors || [];
    check('installable', !install.error && errs.length === 0, JSON.stringify(install));
    await page.close();
  } finally {
    await browser.close();
  }
}
