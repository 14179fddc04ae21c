// Serves the built page on 127.0.0.1 (gzip-compressed where the browser takes it) and prints
// its address. usage: node tools/web/serve.mjs PAGE_DIR [PORT]
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const dir = path.resolve(process.argv[2] || 'build-web/page');
const port = Number(process.argv[3] || 8000);
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.data': 'application/octet-stream', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };
const packed = new Map(); // file -> gzip-compressed bytes, made once

http.createServer((req, res) => {
  const name = new URL(req.url, 'http://127.0.0.1').pathname;
  // Only files of the page folder itself and its icons, whatever the request says.
  const sub = name.startsWith('/icons/') ? 'icons' : '';
  const file = path.join(dir, sub, name === '/' ? 'index.html' : path.basename(name));
  fs.readFile(file, (err, body) => {
    if (err) { res.writeHead(404); res.end('not found'); return; }
    const headers = { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                      'Cache-Control': 'no-cache' };
    if (/\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
      if (!packed.has(file)) packed.set(file, zlib.gzipSync(body, { level: 9 }));
      body = packed.get(file);
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    res.writeHead(200, headers);
    res.end(body);
  });
}).listen(port, '127.0.0.1', () => console.log(`farwake plays at http://127.0.0.1:${port}/`));
