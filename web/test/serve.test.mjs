// tools/web/serve.mjs, the server scripts/web plays the game from: byte
// ranges as the music's streaming asks for them, its mounts, and nothing
// served from outside them.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';

import {byteRange, createServer, parseMounts} from '../../tools/web/serve.mjs';

async function serving(specs, body) {
  const server = createServer(parseMounts(specs));
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  try {
    await body(`http://127.0.0.1:${server.address().port}`);
  } finally {
    await new Promise((resolve) => server.close(resolve));
  }
}

function rawStatus(base, requestPath) {
  return new Promise((resolve, reject) => {
    http.get(`${base}/`, {path: requestPath}, (res) => {
      res.resume();
      resolve(res.statusCode);
    }).on('error', reject);
  });
}

test('a Range header is read as hosts read it', () => {
  assert.deepEqual(byteRange('bytes=0-9', 100), {first: 0, last: 9});
  assert.deepEqual(byteRange('bytes=90-', 100), {first: 90, last: 99});
  assert.deepEqual(byteRange('bytes=-10', 100), {first: 90, last: 99});
  assert.deepEqual(byteRange('bytes=-500', 100), {first: 0, last: 99});
  assert.deepEqual(byteRange('bytes=95-200', 100), {first: 95, last: 99});
  assert.equal(byteRange('bytes=100-', 100), 'unsatisfiable');
  assert.equal(byteRange('bytes=-0', 100), 'unsatisfiable');
  // Forms it does not narrow get the whole file, which a client must accept.
  assert.equal(byteRange(undefined, 100), null);
  assert.equal(byteRange('bytes=0-1,5-6', 100), null);
  assert.equal(byteRange('bytes=9-3', 100), null);
  assert.equal(byteRange('lines=1-2', 100), null);
});

test('serves mounted files and folders, whole and by range, and nothing outside them', async () => {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'serve-'));
  const site = path.join(root, 'site');
  fs.mkdirSync(path.join(site, 'txt'), {recursive: true});
  fs.writeFileSync(path.join(site, 'index.html'), '<p>page</p>');
  fs.writeFileSync(path.join(site, 'txt', 'opn.txt'), 'site opening');
  fs.mkdirSync(path.join(root, 'game'));
  fs.writeFileSync(path.join(root, 'game', 'opn.txt'), 'game opening');
  const music = Buffer.from(Array.from({length: 1000}, (_, i) => i % 251));
  fs.writeFileSync(path.join(root, 'music.wav'), music);
  fs.writeFileSync(path.join(root, 'secret'), 'private');
  try {
    await serving([`/=${site}`, `/txt/=${root}/game`, `/bgm.wav=${root}/music.wav`], async (base) => {
      let r = await fetch(`${base}/`);
      assert.equal(r.status, 200);
      assert.equal(r.headers.get('content-type'), 'text/html; charset=utf-8');
      assert.equal(await r.text(), '<p>page</p>');
      // The longer mount wins over the site's own txt/.
      assert.equal(await (await fetch(`${base}/txt/opn.txt`)).text(), 'game opening');

      r = await fetch(`${base}/bgm.wav`, {headers: {Range: 'bytes=100-199'}});
      assert.equal(r.status, 206);
      assert.equal(r.headers.get('content-range'), 'bytes 100-199/1000');
      assert.equal(r.headers.get('content-length'), '100');
      assert.deepEqual(Buffer.from(await r.arrayBuffer()), music.subarray(100, 200));
      r = await fetch(`${base}/bgm.wav`, {headers: {Range: 'bytes=-24'}});
      assert.deepEqual(Buffer.from(await r.arrayBuffer()), music.subarray(976));
      r = await fetch(`${base}/bgm.wav`, {headers: {Range: 'bytes=1000-'}});
      assert.equal(r.status, 416);
      assert.equal(r.headers.get('content-range'), 'bytes */1000');
      r = await fetch(`${base}/bgm.wav`, {method: 'HEAD'});
      assert.equal(r.headers.get('accept-ranges'), 'bytes');
      assert.equal(r.headers.get('content-length'), '1000');
      assert.equal(r.headers.get('cross-origin-opener-policy'), null);

      // Sent as written: fetch() would resolve the dots itself.
      for (const name of ['/../secret', '/..%2fsecret', '/txt/..%2f..%2fsecret', '/nothing.txt'])
        assert.equal(await rawStatus(base, name), 404, name);
      assert.equal((await fetch(`${base}/`, {method: 'POST'})).status, 405);
    });
  } finally {
    fs.rmSync(root, {recursive: true, force: true});
  }
});
