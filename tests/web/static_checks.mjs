// Checks of the built page that need no browser: a replay's verdict put in words (verdict.js,
// on lines as the game prints them), and the page's description, manifest and icons (every size
// an installed page needs, a maskable one, each compressed and the generator's own picture).
// Used by browser_test.mjs.
import fs from 'node:fs';
import path from 'node:path';
import { readPng } from '../../tools/web/icons.mjs';

const recorded = (read, expected, actual) =>
  [`farwake: replay differs at read ${read}`, `  expected: ${expected}`, `  actual:   ${actual}`];

// The lines a run printed, and what the page's status line must say of them.
const VERDICTS = [
  ['one field', recorded(120, '{"read":120,"score":99999,"player":{"x":5}}', '{"read":120,"score":150,"player":{"x":5}}'),
   'The replay differs at read 120: score is 99999 in the recording but 150 in this game.'],
  ['nested field, picture checksum left out', recorded(7, '{"player":{"x":5,"y":1},"frame_crc":"aa"}', '{"player":{"x":6,"y":1},"frame_crc":"bb"}'),
   'The replay differs at read 7: player.x is 5 in the recording but 6 in this game.'],
  ['picture checksum alone', recorded(8, '{"a":1,"frame_crc":"aa"}', '{"a":1,"frame_crc":"bb"}'),
   'The replay differs at read 8: frame_crc is "aa" in the recording but "bb" in this game.'],
  ['field missing', recorded(2, '{"a":1,"b":2}', '{"a":1}'),
   'The replay differs at read 2: b is 2 in the recording but missing in this game.'],
  ['five fields, three named', recorded(4, '{"a":1,"b":1,"c":1,"d":1,"e":1}', '{"a":2,"b":2,"c":2,"d":2,"e":2}'),
   'The replay differs at read 4: a is 1 in the recording but 2 in this game; b is 1 in the recording but 2 in this game; ' +
   'c is 1 in the recording but 2 in this game; and 2 more fields differ.'],
  ['checksum-only check', recorded(9, 'CRC 0000abcd', '{"a":1}'),
   'The replay differs at read 9: the recording keeps only a checksum of the state there (0000abcd), and this game\'s state does not match it.'],
  ['no game frame', recorded(3, '(a game frame)', '(no game frame at this read)'),
   'The replay differs at read 3: the recording has a game frame there, this game has none.'],
  ['matches', ['replay matches (12 checks)'], 'replay matches (12 checks)'],
  ['ended before a check', ['farwake: the replay ended after 50 reads, before the check at read 60'],
   'the replay ended after 50 reads, before the check at read 60'],
  ['nothing said', ['some other line'], 'replay ended'],
];

export function verdictChecks(check, pageDir) {
  const window = {};
  new Function('window', fs.readFileSync(path.join(pageDir, 'verdict.js'), 'utf8'))(window);
  for (const [name, lines, want] of VERDICTS) {
    const got = window.fwDescribeReplay(lines);
    check(`replay_verdict_${name.replace(/[^a-z]+/g, '_')}`, got === want, got);
  }
}

export function iconChecks(check, pageDir, dataDir) {
  const html = fs.readFileSync(path.join(pageDir, 'index.html'), 'utf8');
  const description = /<meta name="description" content="([^"]*)">/.exec(html);
  check('page_has_a_description', !!description && description[1].length >= 50, description ? description[1] : 'none');
  const manifest = JSON.parse(fs.readFileSync(path.join(pageDir, 'manifest.webmanifest'), 'utf8'));
  const icons = manifest.icons || [];
  const has = (size, purpose) => icons.some((i) => i.sizes === `${size}x${size}` && (i.purpose || 'any').split(' ').includes(purpose));
  check('manifest_has_id_and_install_icons', typeof manifest.id === 'string' && has(192, 'any') && has(512, 'any') &&
        icons.some((i) => (i.purpose || '').split(' ').includes('maskable')), JSON.stringify(icons.map((i) => [i.sizes, i.purpose])));
  for (const icon of icons) {
    const file = path.join(pageDir, icon.src);
    let detail = '', pass = false;
    try {
      const bytes = fs.readFileSync(file), png = readPng(bytes);
      const [w, h] = icon.sizes.split('x').map(Number);
      // Rows stored as they are take 4 bytes a pixel; deflated, these take well under 1.
      const small = bytes.length < w * h;
      let same = true;
      if (icon.purpose === 'maskable') {
        // Opaque to the edges, with the drawn icon whole in the middle.
        const drawn = readPng(fs.readFileSync(path.join(dataDir, 'icons', 'farwake-256.png')));
        const off = (w - drawn.width) >> 1, at = (x, y, p, width) => p.subarray(4 * (y * width + x), 4 * (y * width + x) + 4);
        for (let i = 3; i < png.pixels.length && same; i += 4) same = png.pixels[i] === 255;
        const mid = drawn.width >> 1;
        same = same && drawn.pixels[4 * (mid * drawn.width + mid) + 3] === 255 &&
               at(mid, mid, drawn.pixels, drawn.width).equals(at(mid + off, mid + off, png.pixels, w));
      } else {
        const drawn = readPng(fs.readFileSync(path.join(dataDir, 'icons', path.basename(icon.src))));
        same = drawn.pixels.equals(png.pixels);
      }
      pass = png.width === w && png.height === h && small && same;
      detail = `${png.width}x${png.height}, ${bytes.length} bytes, the drawn picture ${same}`;
    } catch (e) {
      detail = String(e.message || e);
    }
    check(`icon_${path.basename(icon.src, '.png')}_sized_compressed_and_drawn`, pass, detail);
  }
}
