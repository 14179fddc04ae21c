// The page's icons from the ones the artwork generator drew: each written again with PNG's row
// filters and full deflate (the generator stores its rows uncompressed), and a maskable one, the
// 256-pixel icon on a backdrop of its own colours with room round it for a launcher's mask.
// usage: node tools/web/icons.mjs FROM_DIR TO_DIR
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

// The sizes drawn by the generator that the page offers.
export const SIZES = [128, 192, 256, 512];
// The maskable icon: the drawn icon takes the middle 80 %, the circle a mask always keeps.
export const MASKABLE = { from: 256, size: 320, name: 'farwake-maskable.png' };

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(buf) {
  let c = 0xffffffff;
  for (const b of buf) c = CRC_TABLE[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// What PNG's row filter f predicts for a byte from the ones left of it (a), above it (b) and
// above left (c); undefined for no such filter.
function predict(f, a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][f];
}

// Reads an 8-bit RGB or RGBA PNG (no interlace): { width, height, channels, pixels }, the
// pixels' bytes row after row. Throws on anything else.
export function readPng(buf) {
  if (buf.length < 8 || buf.toString('latin1', 1, 4) !== 'PNG') throw new Error('not a PNG');
  let pos = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (pos + 12 <= buf.length) {
    const len = buf.readUInt32BE(pos), type = buf.toString('latin1', pos + 4, pos + 8);
    if (pos + 12 + len > buf.length) throw new Error(`the ${type} chunk runs past the end`);
    const data = buf.subarray(pos + 8, pos + 8 + len);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0); height = data.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[data[9]] || 0;
      if (data[8] !== 8 || !channels || data[12] !== 0) throw new Error('not 8-bit RGB or RGBA without interlace');
    } else if (type === 'IDAT') idat.push(data);
    pos += 12 + len;
  }
  const n = channels, stride = width * n, raw = zlib.inflateSync(Buffer.concat(idat));
  if (!width || raw.length !== height * (stride + 1)) throw new Error('the picture data has the wrong size');
  const out = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const f = raw[y * (stride + 1)], row = y * (stride + 1) + 1, at = y * stride;
    for (let x = 0; x < stride; x++) {
      const a = x >= n ? out[at + x - n] : 0, b = y ? out[at - stride + x] : 0;
      const c = x >= n && y ? out[at - stride + x - n] : 0;
      const pred = predict(f, a, b, c);
      if (pred === undefined) throw new Error(`row ${y} has filter ${f}`);
      out[at + x] = (raw[row + x] + pred) & 255;
    }
  }
  return { width, height, channels, pixels: out };
}

// Writes RGBA pixels as a PNG, each row with the filter that leaves the smallest sum of
// differences (the usual rule of thumb for which one deflates best).
export function writePng(width, height, rgba) {
  const stride = width * 4, raw = Buffer.alloc(height * (stride + 1)), trial = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const at = y * stride;
    let bestSum = Infinity;
    for (let f = 0; f <= 4; f++) {
      let sum = 0;
      for (let x = 0; x < stride; x++) {
        const a = x >= 4 ? rgba[at + x - 4] : 0, b = y ? rgba[at - stride + x] : 0;
        const c = x >= 4 && y ? rgba[at - stride + x - 4] : 0;
        const v = (rgba[at + x] - predict(f, a, b, c)) & 255;
        trial[x] = v;
        sum += v < 128 ? v : 256 - v;
      }
      if (sum < bestSum) {
        bestSum = sum;
        raw[y * (stride + 1)] = f;
        trial.copy(raw, y * (stride + 1) + 1);
      }
    }
  }
  const chunk = (type, data) => {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length, 0);
    head.write(type, 4, 'latin1');
    const tail = Buffer.alloc(4);
    tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
    return Buffer.concat([head, data, tail]);
  };
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0); ihdr.writeUInt32BE(height, 4);
  ihdr.set([8, 6, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', ihdr),
                        chunk('IDAT', zlib.deflateSync(raw, { level: 9, memLevel: 9 })), chunk('IEND', Buffer.alloc(0))]);
}

// The icon centred on a size x size backdrop running from the icon's top colour to its bottom
// one, as its own box does.
export function maskable(icon, size) {
  const out = Buffer.alloc(size * size * 4), off = (size - icon.width) >> 1;
  const top = [14, 18, 52], bottom = [52, 16, 70];
  for (let y = 0; y < size; y++) {
    const t = y / (size - 1);
    for (let x = 0; x < size; x++) {
      const i = 4 * (y * size + x), ix = x - off, iy = y - off;
      const inside = ix >= 0 && iy >= 0 && ix < icon.width && iy < icon.height;
      const j = inside ? 4 * (iy * icon.width + ix) : 0, alpha = inside ? icon.pixels[j + 3] / 255 : 0;
      for (let c = 0; c < 3; c++) {
        const back = top[c] + (bottom[c] - top[c]) * t;
        out[i + c] = Math.round((inside ? icon.pixels[j + c] : 0) * alpha + back * (1 - alpha));
      }
      out[i + 3] = 255;
    }
  }
  return out;
}

if (process.argv[1] && path.resolve(process.argv[1]) === path.resolve(new URL(import.meta.url).pathname)) {
  const [from, to] = process.argv.slice(2);
  if (!from || !to) {
    console.error('usage: node icons.mjs FROM_DIR TO_DIR');
    process.exit(2);
  }
  fs.mkdirSync(to, { recursive: true });
  const read = (size) => readPng(fs.readFileSync(path.join(from, `farwake-${size}.png`)));
  for (const size of SIZES) {
    const icon = read(size);
    fs.writeFileSync(path.join(to, `farwake-${size}.png`), writePng(icon.width, icon.height, icon.pixels));
  }
  const m = MASKABLE;
  fs.writeFileSync(path.join(to, m.name), writePng(m.size, m.size, maskable(read(m.from), m.size)));
}
