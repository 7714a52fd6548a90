#!/usr/bin/env node
// A static web server for trying the web edition on this machine: like any
// plain host it sends files with their content type and no other headers,
// and it answers byte ranges (the music streams by Range requests). It
// listens on 127.0.0.1 only.
//
//   node tools/web/serve.mjs [--port N] URL=PATH ...
//
// Each URL=PATH serves a file (URL a path) or a folder (URL ending in "/")
// at URL; the longest URL that matches a request wins. "/=OUT" serves an
// exported folder as a host would.

import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {pathToFileURL} from 'node:url';

export const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.gif': 'image/gif',
  '.png': 'image/png',
  '.txt': 'text/plain',
  '.json': 'application/json',
  '.wav': 'audio/wav',
};

// The first and last byte a Range header asks for, null to send the whole
// file (no header, or a form this server does not narrow: several ranges),
// or 'unsatisfiable'.
export function byteRange(header, size) {
  if (!header) return null;
  const m = /^bytes=(\d*)-(\d*)$/.exec(header.trim());
  if (!m || (m[1] === '' && m[2] === '')) return null;
  let first;
  let last;
  if (m[1] === '') {
    // The last N bytes.
    const n = Number(m[2]);
    if (n === 0) return 'unsatisfiable';
    first = Math.max(0, size - n);
    last = size - 1;
  } else {
    first = Number(m[1]);
    last = m[2] === '' ? size - 1 : Math.min(Number(m[2]), size - 1);
    if (m[2] !== '' && Number(m[2]) < first) return null;
  }
  if (first >= size) return 'unsatisfiable';
  return {first, last};
}

// The file a request names, or null: never anything outside a mount.
function resolve(mounts, pathname) {
  try {
    return find(mounts, pathname);
  } catch {
    return null;  // a mount that is not there, a file that went away
  }
}

function find(mounts, pathname) {
  for (const {url, target} of mounts) {
    if (url.endsWith('/')) {
      if (!pathname.startsWith(url)) continue;
      const base = fs.realpathSync(target);
      let real = fs.realpathSync(path.join(base, pathname.slice(url.length)));
      if (real !== base && !real.startsWith(base + path.sep)) return null;
      if (fs.statSync(real).isDirectory()) real = path.join(real, 'index.html');
      return fs.existsSync(real) && fs.statSync(real).isFile() ? real : null;
    }
    if (pathname === url) return fs.existsSync(target) && fs.statSync(target).isFile() ? target : null;
  }
  return null;
}

export function parseMounts(pairs) {
  const mounts = pairs.map((pair) => {
    const at = pair.indexOf('=');
    if (at <= 0 || !pair.startsWith('/')) throw new Error(`not URL=PATH: ${pair}`);
    return {url: pair.slice(0, at), target: path.resolve(pair.slice(at + 1))};
  });
  return mounts.sort((a, b) => b.url.length - a.url.length);
}

export function createServer(mounts) {
  return http.createServer((req, res) => {
    let pathname;
    try {
      pathname = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    } catch {
      pathname = '';
    }
    const file = req.method === 'GET' || req.method === 'HEAD' ? resolve(mounts, pathname) : null;
    if (!file) {
      res.writeHead(req.method === 'GET' || req.method === 'HEAD' ? 404 : 405, {'Content-Type': 'text/plain'});
      res.end('not found\n');
      return;
    }
    const size = fs.statSync(file).size;
    const headers = {
      'Content-Type': contentTypes[path.extname(file).toLowerCase()] || 'application/octet-stream',
      'Accept-Ranges': 'bytes',
      // Authors replace files and reload: never a stale copy.
      'Cache-Control': 'no-cache',
    };
    const range = byteRange(req.headers.range, size);
    if (range === 'unsatisfiable') {
      res.writeHead(416, {...headers, 'Content-Range': `bytes */${size}`});
      res.end();
      return;
    }
    const {first, last} = range || {first: 0, last: size - 1};
    if (range) headers['Content-Range'] = `bytes ${first}-${last}/${size}`;
    headers['Content-Length'] = size === 0 ? 0 : last - first + 1;
    res.writeHead(range ? 206 : 200, headers);
    if (req.method === 'HEAD' || size === 0) {
      res.end();
      return;
    }
    fs.createReadStream(file, {start: first, end: last}).pipe(res);
  });
}

async function main(argv) {
  let port = 8000;
  const specs = [];
  for (let i = 0; i < argv.length; ++i) {
    if (argv[i] === '--port') port = Number(argv[++i]);
    else specs.push(argv[i]);
  }
  if (!specs.length || !Number.isInteger(port)) {
    process.stderr.write('usage: node tools/web/serve.mjs [--port N] URL=PATH ...\n');
    process.exit(2);
  }
  const server = createServer(parseMounts(specs));
  server.on('error', (e) => {
    process.stderr.write(`serve.mjs: cannot listen on 127.0.0.1:${port}: ${e.message}\n`);
    process.exit(1);
  });
  server.listen(port, '127.0.0.1', () => {
    process.stdout.write(`Serving on http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)\n`);
  });
}

if (import.meta.url === pathToFileURL(process.argv[1] || '').href) main(process.argv.slice(2));
