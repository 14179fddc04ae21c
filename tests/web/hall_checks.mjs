// The page's hall of fame in headless Chromium: a game played in the page is kept in its own
// storage and listed (and still there after a reload), a second tab keeps its own session
// beside it, Watch replays it verified (a later game of a session from its first frame), Save downloads a file farwake-headless verifies, and Link
// makes an address that plays and verifies in a new browser profile; links that are damaged,
// unpack too far or would be too long each say so. Used by browser_test.mjs.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync } from 'node:child_process';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const LIMIT = 16 * 1024 * 1024; // the recording reader's limit, KEY_SCRIPT_MAX_BYTES
const LAST = 'JSON.parse(Module.stateLines[Module.stateLines.length - 1])';

async function until(page, expr, timeoutMs) {
  return page.waitForFunction(expr, { timeout: timeoutMs, polling: 100 }).then(() => true, () => false);
}

// Plays one short game live: Escape leaves the title, a burst of fire, then Escape until the
// session has ended (a game that asks before it quits takes a second one; the credits one more).
async function playOne(page) {
  await until(page, 'window.fwPresented > 5', 60000);
  const ended = await page.evaluate('window.fwRunsEnded');
  await page.keyboard.press('Escape', { delay: 50 });
  await until(page, 'Module.stateLines.length > 40', 30000);
  await page.keyboard.down('ControlLeft');
  await sleep(400);
  await page.keyboard.up('ControlLeft');
  const before = await page.evaluate(`[${LAST}.score, Module.stateLines.length]`);
  for (let i = 0; i < 8 && !(await page.evaluate(`window.fwRunsEnded > ${ended}`)); i++) {
    await page.keyboard.press('Escape', { delay: 50 });
    await sleep(600);
  }
  const score = await page.evaluate(`${LAST}.score`);
  const frames = await page.evaluate('Module.stateLines.length');
  return { score, frames, before };
}

// The panel's list once the page has kept its runs: window.fwRunsList after Best runs is shown.
async function listed(page, count) {
  // The control itself (the start overlay, until the first key, lies over the page's bar).
  if (await page.evaluate('document.getElementById("runs").hidden')) await page.$eval('#best', (b) => b.click());
  await until(page, `(window.fwRunsList || []).length >= ${count}`, 5000);
  return page.evaluate('window.fwRunsList || []');
}

export async function hallChecks({ check, launchBrowser, base, headless, dataDir, tmp }) {
  const browser = await launchBrowser();
  let fresh = null;
  try {
    const context = await browser.createBrowserContext();
    const second = await context.newPage(); // opened before the first game is kept
    await second.setViewport({ width: 800, height: 600 });
    await second.goto(`${base}?state=1`);
    await until(second, 'window.fwPresented > 5', 60000);

    const page = await context.newPage();
    await page.setViewport({ width: 800, height: 600 });
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(`${base}?state=1`);
    const game = await playOne(page);
    const list = await listed(page, 1);
    const e = list[0] || {};
    check('played_game_is_listed', list.length === 1 && e.score === game.score && e.frames === game.frames &&
          e.outcome === 'quit' && !e.practice, `${JSON.stringify(list)} after ${JSON.stringify(game)}`);
    check('panel_shows_the_row', await page.evaluate(`document.querySelectorAll("#runs tbody tr").length === 1 &&
          document.querySelector("#runs tbody tr td:nth-child(2)").textContent === "${game.score}"`), '');

    await page.evaluate('window.fwRuns.push()'); // after the one the session's end started
    await page.reload();
    await until(page, 'window.fwPresented > 5', 60000);
    const again = await listed(page, 1);
    check('kept_after_a_reload', again.length === 1 && again[0].file === e.file, JSON.stringify(again));

    // A tab that opened before the game was kept keeps its own session beside it, and drops none.
    await second.evaluate('window.fwRuns.push()');
    const its = await second.evaluate('FS.readdir("/runs").filter((n) => n.endsWith(".rec"))');
    await page.reload();
    await until(page, 'window.fwPresented > 5', 60000);
    const both = await listed(page, 1);
    const files = await page.evaluate('FS.readdir("/runs")');
    check('two_tabs_keep_both_runs', its.length === 1 && files.includes(its[0]) && both.some((x) => x.file === e.file),
          `${JSON.stringify(its)} in ${JSON.stringify(files)}`);
    await second.close();

    // Save downloads the run, which farwake-headless verifies.
    const saved = path.join(tmp, 'saved');
    fs.mkdirSync(saved, { recursive: true });
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: saved, browserContextId: context.id });
    await page.click('#runs tbody tr button:nth-of-type(2)');
    const file = path.join(saved, e.file || 'none');
    for (let i = 0; i < 50 && !fs.existsSync(file); i++) await sleep(100);
    let verdict = '';
    try {
      verdict = execFileSync(headless, ['--data', dataDir, '--replay', file], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
    } catch (err) {
      verdict = String(err.stderr || err);
    }
    check('saved_run_verifies_headless', /replay matches/.test(verdict), verdict.trim().split('\n').pop());

    // Link: an address with the run inside it that a new profile plays, verified.
    await page.click('#runs tbody tr button:nth-of-type(3)');
    await until(page, '!!window.fwRunLink', 5000);
    const link = await page.evaluate('window.fwRunLink || ""');
    const shown = await page.evaluate('!!document.querySelector("#status a[href*=\\"#\\"]")');
    check('link_made', /#(game=\d+&)?run=[A-Za-z0-9_-]+$/.test(link) && link.length < 32 * 1024 && shown, `${link.length} characters`);
    fresh = await launchBrowser();
    const away = await fresh.newPage();
    await away.goto(link.replace('/#', '/?fast=1#'));
    const played = await until(away, 'window.fwRunsEnded >= 1', 120000);
    const said = await away.evaluate('document.getElementById("status").textContent');
    check('link_plays_and_verifies_in_a_new_profile', played && /replay matches/.test(said), said);
    await fresh.close();
    fresh = null;

    // Watch replays the game in the page, verified as it plays.
    await page.click('#runs tbody tr button:nth-of-type(1)');
    await until(page, '/replay=runs/.test(location.search) && window.fwPresented > 5', 30000);
    const watched = await until(page, 'window.fwRunsEnded >= 1', 120000);
    const verdictShown = await page.evaluate('document.getElementById("status").textContent');
    check('watch_verifies', watched && /replay matches/.test(verdictShown), verdictShown);
    check('hall_without_page_errors', errors.length === 0, errors.join(' | '));

    // Watching the second game of a session made by farwake-headless --runs: the first runs
    // through unseen, the second is shown from its first frame, and the whole session verifies.
    {
      const runs = path.join(tmp, 'runs');
      const keys = path.join(tmp, 'three.keys');
      // Lost, Enter at read 320; lost again, Enter at 640; then quit at read 900.
      fs.writeFileSync(keys, '0 ESCAPE\n2-100 LCONTROL\n101-400 LMENU\n320 RETURN\n330-420 LCONTROL\n' +
                             '421-620 LMENU\n640 RETURN\n650-800 LCONTROL RIGHT\n');
      const states = path.join(tmp, 'three.jsonl');
      execFileSync(headless, ['--data', dataDir, '--seed', '1000', '--keys', keys, '--frames', '900',
                              '--runs', runs, '--state', states], { stdio: 'ignore' });
      const session = fs.readdirSync(runs)[0];
      fs.copyFileSync(path.join(runs, session), path.join(tmp, 'three.rec'));
      const before = fs.readFileSync(states, 'utf8').split('\n').filter((l) => l && JSON.parse(l).read < 320).length;
      const p = await context.newPage();
      await p.goto(`${base}?replay=/rec/three.rec&game=2&state=1`);
      const hidden = await until(p, 'window.fwWatchHidden === true', 30000);
      const done = await until(p, 'window.fwRunsEnded >= 1', 180000);
      const at = await p.evaluate('[window.fwWatchShownAt, document.getElementById("status").textContent]');
      check('watch_game_2_from_its_first_frame', hidden && done && at[0] === before && /replay matches/.test(at[1]),
            `shown at frame ${at[0]} (game 2 starts at frame ${before}): ${at[1]}`);
      await p.close();
    }

    // Links that cannot play say why in words, in the page's failure message; one too long to be a link is refused as made.
    const bomb = zlib.gzipSync(Buffer.alloc(LIMIT + 1024, 0x20)).toString('base64url');
    const bad = [
      ['link_not_base64', '#run=@@@', /damaged \(not base64url\)/],
      ['link_not_compressed', '#run=AAAAAAAA', /damaged \(its run does not unpack\)/],
      ['link_unpacks_too_far', `#run=${bomb}`, /unpacks to over \d+ bytes/],
      ['link_bad_game', '#game=x&run=AAAA', /damaged \(its game number\)/],
    ];
    for (const [name, hash, want] of bad) {
      const p = await context.newPage();
      await p.goto(`${base}${hash}`);
      const ok = await until(p, `${want}.test(document.getElementById("message").textContent)`, 30000);
      check(name, ok, await p.evaluate('document.getElementById("message").textContent'));
      await p.close();
    }
    const long = await page.evaluate(`(async () => {
      let s = ''; for (let i = 0; i < 60000; i++) s += String.fromCharCode(33 + Math.floor(Math.random() * 90));
      const r = await window.fwRuns.makeLink(s, 1);
      return r instanceof Error ? r.message : 'made ' + r.length;
    })()`);
    check('long_run_says_it_does_not_fit', /too long for a link/.test(long), long);

    // A game in progress is never lost to watching: with the list open as a game starts, its
    // Watch turns unavailable (Save and Link stay).
    {
      const p = await context.newPage();
      await p.setViewport({ width: 800, height: 600 });
      await p.goto(`${base}?state=1`);
      await until(p, 'window.fwPresented > 5', 60000);
      await listed(p, 1);
      const before = await p.evaluate('document.querySelector("#runs tbody tr button").disabled');
      await p.keyboard.press('Escape', { delay: 50 });
      await until(p, 'Module.stateLines.length > 10', 30000);
      const during = await p.evaluate('[...document.querySelectorAll("#runs tbody tr:first-child button")].map((b) => b.disabled)');
      check('watch_unavailable_while_a_game_runs', before === false && JSON.stringify(during) === '[true,false,false]',
            `on the title ${before ? 'disabled' : 'enabled'}; in the game Watch, Save, Link disabled: ${JSON.stringify(during)}`);
      await p.close();
    }
    await context.close();
  } finally {
    if (fresh) await fresh.close();
    await browser.close();
  }
}
