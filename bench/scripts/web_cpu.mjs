// The page's processor time while it plays a seeded key script at the game's pace in headless
// Chromium (the same game as a recording of that script): the renderer process's user and
// system time from the first picture to the run's end. Prints "seconds pictures".
// usage: node web_cpu.mjs PAGE_DIR KEYS SEED FRAMES PUPPETEER_DIR [QUERY]
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { createRequire } from 'node:module';

const [pageDir, keys, seed, frames, puppeteerDir, query = ''] = process.argv.slice(2);
const puppeteer = createRequire(path.resolve(puppeteerDir, 'index.js'))('puppeteer-core');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((req, res) => {
  const name = new URL(req.url, 'http://x').pathname;
  const file = name === '/keys' ? keys : path.join(pageDir, name === '/' ? 'index.html' : name);
  fs.readFile(file, (err, body) => {
    if (err) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    res.end(body);
  });
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));

// Processor seconds of the renderers under the browser's process.
function rendererSeconds(browserPid) {
  let ticks = 0;
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      if (!cmd.includes('--type=renderer')) continue;
      let parent = Number(pid), mine = false;
      for (let i = 0; i < 10 && parent > 1 && !mine; i++) {
        parent = Number(fs.readFileSync(`/proc/${parent}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
        mine = parent === browserPid;
      }
      if (!mine) continue;
      const f = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      ticks += Number(f[11]) + Number(f[12]);
    } catch (e) { /* gone */ }
  }
  return ticks / 100;
}

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required'] });
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600 });
  await page.goto(`http://127.0.0.1:${server.address().port}/?seed=${seed}&keys=/keys&frames=${frames}${query && '&' + query}`);
  await page.waitForFunction('window.fwPresented > 0', { timeout: 60000, polling: 20 });
  const t0 = rendererSeconds(browser.process().pid);
  const f0 = await page.evaluate('window.fwPresented');
  await page.mouse.click(400, 300); // the first gesture: the sound plays, as on the desktop
  await page.waitForFunction('window.fwRunsEnded >= 1', { timeout: 600000, polling: 1000 });
  const t1 = rendererSeconds(browser.process().pid);
  const f1 = await page.evaluate('window.fwPresented');
  console.log(`${(t1 - t0).toFixed(2)} ${f1 - f0}`);
} finally {
  await browser.close();
  server.close();
}
