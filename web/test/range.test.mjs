// The test server's byte ranges, which the music's streaming relies on: the
// part asked for with its Content-Range, 416 past the end, the whole file for
// what it does not take, and the whole file always when told to ignore them.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {serveRangedAndPlain} from './driver.mjs';

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-range-'));
const body = Buffer.from(Array.from({length: 1000}, (_, i) => i % 251));
let server;
let plain;
let hosts;

before(async () => {
  const site = path.join(dir, 'site');
  fs.mkdirSync(site);
  fs.writeFileSync(path.join(site, 'data.wav'), body);
  fs.writeFileSync(path.join(site, 'empty.wav'), Buffer.alloc(0));
  fs.writeFileSync(path.join(dir, 'secret.wav'), body);
  hosts = await serveRangedAndPlain(site);
  ({ranged: server, plain} = hosts);
});
after(async () => {
  await hosts?.close();
  fs.rmSync(dir, {recursive: true, force: true});
});

async function get(base, file, range) {
  const response = await fetch(base + file, {headers: range ? {Range: range} : {}});
  return {status: response.status, headers: response.headers, bytes: Buffer.from(await response.arrayBuffer())};
}

test('a range gives its bytes and where they lie', async () => {
  for (const [range, start, end] of [['bytes=10-19', 10, 19], ['bytes=990-', 990, 999], ['bytes=-5', 995, 999],
    ['bytes=900-5000', 900, 999], ['bytes=0-0', 0, 0]]) {
    const r = await get(server.url, 'data.wav', range);
    assert.equal(r.status, 206, range);
    assert.equal(r.headers.get('content-range'), `bytes ${start}-${end}/1000`, range);
    assert.deepEqual(r.bytes, body.subarray(start, end + 1), range);
  }
});

test('past the end, or of an empty file, nothing can be given', async () => {
  for (const [file, range, size] of [['data.wav', 'bytes=1000-', 1000], ['empty.wav', 'bytes=0-65535', 0], ['data.wav', 'bytes=-0', 1000]]) {
    const r = await get(server.url, file, range);
    assert.equal(r.status, 416, range);
    assert.equal(r.headers.get('content-range'), `bytes */${size}`);
  }
});

test('no range, or one it does not take, gives the whole file', async () => {
  for (const range of [undefined, 'bytes=5-2', 'bytes=1-2,5-6', 'items=1-2', 'bytes=-']) {
    const r = await get(server.url, 'data.wav', range);
    assert.equal(r.status, 200, String(range));
    assert.deepEqual(r.bytes, body);
  }
  assert.equal((await get(server.url, 'data.wav')).headers.get('accept-ranges'), 'bytes');
});

test('a server told to ignore ranges answers as a plain host', async () => {
  const r = await get(plain.url, 'data.wav', 'bytes=10-19');
  assert.equal(r.status, 200);
  assert.equal(r.headers.get('accept-ranges'), null);
  assert.deepEqual(r.bytes, body);
});

test('a range never reaches outside the folder', async () => {
  assert.equal((await get(server.url, '..%2Fsecret.wav', 'bytes=0-9')).status, 404);
  assert.equal((await get(server.url, 'missing.wav', 'bytes=0-9')).status, 404);
});
