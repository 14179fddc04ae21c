// A returning visitor gets a rebuilt page whole: the page is served from a folder of its own,
// visited once (its service worker installed), rebuilt with a change in every file, and visited
// again; every file the page then runs with and every file the new worker keeps must be the new
// build's. Through tools/web/serve.mjs, and through a plain static host that lets the browser's
// HTTP cache keep each file for ten minutes. Used by browser_test.mjs.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import crypto from 'node:crypto';
import { spawn, execFileSync } from 'node:child_process';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const sha = (bytes) => crypto.createHash('sha256').update(bytes).digest('hex');
const BUILD = 'rebuilt';
// The scripts the page runs, each of which notes the build it came from.
const SCRIPTS = ['page.js', 'load.js', 'verdict.js', 'farwake.js'];
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// A plain static host: files as they are on disk, with validators, kept fresh for ten minutes.
function staticHost(dir) {
  const server = http.createServer((req, res) => {
    const name = new URL(req.url, 'http://127.0.0.1').pathname;
    const file = path.join(dir, name === '/' ? 'index.html' : path.normalize(name).replace(/^\/+/, ''));
    if (!file.startsWith(dir)) { res.writeHead(404); res.end(); return; }
    fs.readFile(file, (err, body) => {
      if (err) { res.writeHead(404); res.end(); return; }
      const tag = `"${sha(body).slice(0, 16)}"`;
      const headers = { 'Cache-Control': 'max-age=600', ETag: tag,
                        'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' };
      if (req.headers['if-none-match'] === tag) { res.writeHead(304, headers); res.end(); return; }
      res.writeHead(200, { ...headers, 'Content-Length': body.length });
      res.end(body);
    });
  });
  return new Promise((r) => server.listen(0, '127.0.0.1', () =>
    r({ url: `http://127.0.0.1:${server.address().port}/`, stop: () => { server.closeAllConnections(); server.close(); } })));
}

// tools/web/serve.mjs on a free port.
function serveMjs(source, dir) {
  const child = spawn(process.execPath, [path.join(source, 'tools/web/serve.mjs'), dir, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    child.stdout.on('data', (d) => {
      out += d;
      const m = /http:\/\/127\.0\.0\.1:\d+\//.exec(out);
      if (m) resolve({ url: m[0], stop: () => child.kill() });
    });
    child.on('exit', (code) => reject(new Error(`serve.mjs ended (${code}) before it served`)));
  });
}

// The page rebuilt with a change in every file: each script notes the new build, the HTML
// carries it, the code gets a custom section, the data and icons bytes past their ends; then
// the build's own stamp step writes sizes.js and the worker again.
function rebuild(source, dir) {
  for (const s of SCRIPTS)
    fs.appendFileSync(path.join(dir, s), `\n;(self.fwBuild = self.fwBuild || {})['${s}'] = '${BUILD}';\n`);
  const html = path.join(dir, 'index.html');
  fs.writeFileSync(html, fs.readFileSync(html, 'utf8').replace('</head>', `<meta name="fw-build" content="${BUILD}">\n</head>`));
  const manifest = path.join(dir, 'manifest.webmanifest');
  fs.writeFileSync(manifest, JSON.stringify({ ...JSON.parse(fs.readFileSync(manifest, 'utf8')), fw_build: BUILD }));
  const name = Buffer.from('fw-build'), payload = Buffer.from(BUILD);
  fs.appendFileSync(path.join(dir, 'farwake.wasm'), Buffer.concat([Buffer.from([0, 1 + name.length + payload.length, name.length]), name, payload]));
  fs.appendFileSync(path.join(dir, 'farwake.data'), Buffer.from(BUILD));
  for (const icon of fs.readdirSync(path.join(dir, 'icons'))) fs.appendFileSync(path.join(dir, 'icons', icon), Buffer.from(BUILD));
  execFileSync('cmake', [`-DPAGE=${dir}`, `-DTEMPLATE=${path.join(source, 'tools/web/sw.js.in')}`, '-P',
                         path.join(source, 'tools/web/stamp.cmake')], { stdio: 'inherit' });
}

// The worker's cache name and its files, from the worker as built.
function workerOf(dir) {
  const sw = fs.readFileSync(path.join(dir, 'sw.js'), 'utf8');
  const list = sw.slice(sw.indexOf('const FILES'), sw.indexOf('];', sw.indexOf('const FILES')));
  const files = [...list.matchAll(/'([^']+)'/g)].map((m) => m[1]).filter((f) => f !== './');
  return { cache: /const CACHE = '([^']+)'/.exec(sw)[1], files };
}

export async function updateCheck({ check, launchBrowser, pageDir, tmp, keysDir }) {
  const source = path.resolve(keysDir, '../..');
  for (const [host, start] of [['serve_mjs', (dir) => serveMjs(source, dir)], ['static_host', staticHost]]) {
    const dir = path.join(tmp, 'site-' + host);
    fs.cpSync(pageDir, dir, { recursive: true });
    const server = await start(dir);
    const browser = await launchBrowser();
    try {
      // What the page fetched for the game's code and data, as hashes.
      const setup = (page) => page.evaluateOnNewDocument(() => {
        window.fwFetched = {};
        const plain = window.fetch;
        window.fetch = async (...a) => {
          const r = await plain(...a);
          const url = String(a[0]);
          r.clone().arrayBuffer().then((b) => crypto.subtle.digest('SHA-256', b)).then((d) => {
            window.fwFetched[url] = [...new Uint8Array(d)].map((x) => x.toString(16).padStart(2, '0')).join('');
          });
          return r;
        };
      });
      const visit = async () => {
        const page = await browser.newPage();
        await setup(page);
        await page.goto(server.url);
        await page.waitForFunction('window.fwPresented > 5', { timeout: 60000 });
        return page;
      };
      const first = await visit();
      const controlled = await first.waitForFunction('navigator.serviceWorker.controller !== null', { timeout: 30000 }).then(() => true, () => false);
      await first.close();
      rebuild(source, dir);
      const worker = workerOf(dir);
      const page = await visit();
      await sleep(500);
      const seen = await page.evaluate((scripts) => ({
        scripts: scripts.filter((s) => !(self.fwBuild && self.fwBuild[s])),
        html: !!document.querySelector('meta[name="fw-build"]'),
        sizes: window.fwSizes,
        fetched: window.fwFetched,
      }), SCRIPTS);
      const want = (f) => sha(fs.readFileSync(path.join(dir, f)));
      const stale = [...seen.scripts];
      if (!seen.html) stale.push('index.html');
      for (const f of ['farwake.wasm', 'farwake.data']) {
        const got = Object.keys(seen.fetched).find((u) => new URL(u).pathname === '/' + f);
        if (!got || seen.fetched[got] !== want(f)) stale.push(f);
        if (!seen.sizes || seen.sizes[f] !== fs.statSync(path.join(dir, f)).size) stale.push('sizes.js');
      }
      // The new worker takes over and keeps only the new build, every file of it.
      const kept = await page.waitForFunction(`caches.keys().then((k) => k.length === 1 && k[0] === '${worker.cache}')`, { timeout: 60000, polling: 250 })
        .then(() => true, () => false);
      const cached = kept ? await page.evaluate(async (name, files) => {
        const c = await caches.open(name), out = {};
        for (const f of files) {
          const r = await c.match(f, { ignoreSearch: true });
          const d = r ? await crypto.subtle.digest('SHA-256', await r.arrayBuffer()) : null;
          out[f] = d ? [...new Uint8Array(d)].map((x) => x.toString(16).padStart(2, '0')).join('') : 'missing';
        }
        return out;
      }, worker.cache, worker.files) : {};
      const oldInCache = worker.files.filter((f) => cached[f] !== want(f));
      check(`rebuilt_page_reaches_a_returning_visitor_${host}`,
            controlled && stale.length === 0 && kept && oldInCache.length === 0,
            `worker ${controlled}, old files run: ${stale.join(', ') || 'none'}; new cache alone ${kept}, old or missing in it: ${oldInCache.join(', ') || 'none'}`);
      await page.close();
    } finally {
      await browser.close();
      server.stop();
    }
  }
}
