// The page's downloads: the game's code and data with a progress bar (bytes of the total), and
// the key scripts and recordings named by URL, each stopped at its size limit and after 10 s
// without an answer, every failure said in one line that names its cause.
'use strict';

// Seconds a download may wait for an answer, or for its next piece, before it is given up.
const FETCH_TIMEOUT_S = 10;

// A failure whose text is meant for the player.
class LoadError extends Error {}

function describeUrl(url) {
  return url.length > 80 ? url.slice(0, 77) + '...' : url;
}

// Fetches url into bytes, calling onBytes(received, declared) as pieces come; what names the
// file in messages. limit: most bytes taken (0: none); over it the download stops at once.
async function fetchLimited(url, what, limit, onBytes) {
  let abs;
  try {
    abs = new URL(url, window.location.href);
  } catch (e) {
    throw new LoadError(`${what}: "${describeUrl(url)}" is not a URL`);
  }
  if (abs.protocol === 'file:')
    throw new LoadError(`${what}: a web page cannot read file:// URLs; ` +
                        'open the file with the page\'s "Open recording" or drop it on the page');
  if (abs.protocol !== 'http:' && abs.protocol !== 'https:')
    throw new LoadError(`${what}: only http and https URLs can be read (${describeUrl(url)})`);
  const shown = describeUrl(abs.href);
  const control = new AbortController();
  let timedOut = false, timer = 0;
  const arm = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { timedOut = true; control.abort(); }, FETCH_TIMEOUT_S * 1000);
  };
  arm();
  let response;
  try {
    response = await fetch(abs.href, { signal: control.signal, credentials: 'omit' });
  } catch (e) {
    clearTimeout(timer);
    if (timedOut) throw new LoadError(`${what}: no answer from ${shown} within ${FETCH_TIMEOUT_S} s`);
    // A fetch that fails while one the server answers without asking succeeds is a refusal
    // by cross-origin rules, not a network fault.
    if (abs.origin !== window.location.origin && await answersWithoutCors(abs.href))
      throw new LoadError(`${what}: ${shown} refused by CORS (its server does not let other ` +
                          'sites read it; it must send Access-Control-Allow-Origin)');
    throw new LoadError(`${what}: cannot reach ${shown} (network error)`);
  }
  if (!response.ok) {
    clearTimeout(timer);
    control.abort();
    throw new LoadError(`${what}: ${shown}: HTTP ${response.status} ${response.statusText}`.trim());
  }
  const declared = Number(response.headers.get('Content-Length')) || 0;
  if (limit && declared > limit) {
    clearTimeout(timer);
    control.abort();
    throw new LoadError(`${what}: ${shown} is ${declared} bytes, over the limit of ${limit} bytes`);
  }
  const reader = response.body.getReader();
  const pieces = [];
  let received = 0;
  try {
    for (;;) {
      arm();
      const { done, value } = await reader.read();
      if (done) break;
      received += value.length;
      if (limit && received > limit) {
        control.abort();
        throw new LoadError(`${what}: ${shown} is over the limit of ${limit} bytes ` +
                            `(stopped after ${received} bytes)`);
      }
      pieces.push(value);
      if (onBytes) onBytes(received, declared);
    }
  } catch (e) {
    if (e instanceof LoadError) throw e;
    if (timedOut) throw new LoadError(`${what}: ${shown} stopped sending for ${FETCH_TIMEOUT_S} s`);
    throw new LoadError(`${what}: the download of ${shown} broke off (network error)`);
  } finally {
    clearTimeout(timer);
  }
  const bytes = new Uint8Array(received);
  let at = 0;
  for (const p of pieces) { bytes.set(p, at); at += p.length; }
  return bytes;
}

// Whether the server answers url at all when no reading is asked for (an opaque answer).
async function answersWithoutCors(url) {
  const control = new AbortController();
  const timer = setTimeout(() => control.abort(), FETCH_TIMEOUT_S * 1000);
  try {
    await fetch(url, { mode: 'no-cors', signal: control.signal, credentials: 'omit' });
    return true;
  } catch (e) {
    return false;
  } finally {
    clearTimeout(timer);
  }
}

// Downloads the game's files together, showing the bytes received of their total. The total
// is the size each file was built with (window.fwSizes, from the build), as a server that
// compresses declares only the compressed size or none, while the bytes counted are the
// uncompressed ones; the declared size where the build's is unknown. Resolves to
// { name: ArrayBuffer }.
async function fetchGameFiles(names, progress) {
  const got = {}, total = {}, built = window.fwSizes || {};
  const show = () => {
    let sum = 0, whole = 0, known = true;
    for (const n of names) {
      sum += got[n] || 0;
      if (total[n]) whole += total[n]; else known = false;
    }
    progress(sum, known ? whole : 0);
  };
  const files = await Promise.all(names.map((n) => fetchLimited(n, 'cannot download ' + n, 0,
    (received, declared) => { got[n] = received; total[n] = built[n] || declared; show(); })));
  const out = {};
  names.forEach((n, i) => { out[n] = files[i].buffer; });
  return out;
}

window.fwLoad = { fetchLimited, fetchGameFiles, LoadError, FETCH_TIMEOUT_S };
