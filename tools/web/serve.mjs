// Serves the built page on 127.0.0.1 (gzip-compressed where the browser takes it) and prints
// its address. A rebuilt file is served as it is now: each request reads the file, and its
// compressed copy is kept only while the bytes stay the same. usage: node tools/web/serve.mjs
// PAGE_DIR [PORT] (PORT 0: any free port, the one taken is printed)
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import crypto from 'node:crypto';

const dir = path.resolve(process.argv[2] || 'build-web/page');
const port = Number(process.argv[3] ?? 8000);
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };
const packed = new Map(); // file -> { stamp, bytes }: gzip-compressed bytes of the content stamp

// The file's compressed bytes, compressed again when its content changed since the last time.
function compressed(file, body) {
  const stamp = crypto.createHash('sha256').update(body).digest('hex');
  const kept = packed.get(file);
  if (kept && kept.stamp === stamp) return kept.bytes;
  const bytes = zlib.gzipSync(body, { level: 9 });
  packed.set(file, { stamp, bytes });
  return bytes;
}

const server = http.createServer((req, res) => {
  const name = new URL(req.url, 'http://127.0.0.1').pathname;
  // Only files of the page folder itself and its icons, whatever the request says.
  const sub = name.startsWith('/icons/') ? 'icons' : '';
  const file = path.join(dir, sub, name === '/' ? 'index.html' : path.basename(name));
  fs.readFile(file, (err, body) => {
    if (err) { res.writeHead(404); res.end('not found'); return; }
    const headers = { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                      'Cache-Control': 'no-cache' };
    if (/\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
      body = compressed(file, body);
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    res.writeHead(200, headers);
    res.end(body);
  });
});
server.listen(port, '127.0.0.1', () =>
  console.log(`farwake plays at http://127.0.0.1:${server.address().port}/`));
