// The page's own script where it handles bytes, run under Node: the reader
// that every fetch of the engine goes through (index.html), and the pictures'
// pixels as the page takes them from the engine's memory (library.js).

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import vm from 'node:vm';
import {serveFolder, serveRangedAndPlain} from './driver.mjs';

const pageDir = new URL('../../src/platform/web/page/', import.meta.url);

// pirokkoRead as the page defines it, inline in its head.
const html = fs.readFileSync(new URL('index.html.in', pageDir), 'utf8');
const readSource = /\n( *)function pirokkoRead\(asked, limit\) \{[\s\S]*?\n\1\}\n/.exec(html);
assert.ok(readSource, 'index.html.in defines pirokkoRead');
const pirokkoRead = new Function(`${readSource[0]}; return pirokkoRead;`)();

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-page-script-'));
const body = Buffer.from(Array.from({length: 1000}, (_, i) => i % 251));
let hosts, ranged, plain;
before(async () => {
  fs.writeFileSync(path.join(dir, 'bgm.wav'), body);
  hosts = await serveRangedAndPlain(dir);
  ({ranged, plain} = hosts);
});
after(async () => {
  await hosts?.close();
  fs.rmSync(dir, {recursive: true, force: true});
});

test('the reader gives a whole body, or its head however the site answers a range', async () => {
  const head = (server, limit) =>
    pirokkoRead(fetch(server.url + 'bgm.wav', {headers: {Range: `bytes=0-${limit - 1}`}}), limit);
  const cases = [
    ['whole', () => pirokkoRead(fetch(ranged.url + 'bgm.wav')), 200, 1000, true],
    ['a range honoured', () => head(ranged, 100), 206, 100, false],
    // The site sends all 1000 bytes; only the head is kept.
    ['a range ignored', () => head(plain, 100), 200, 100, false],
    // All the site has is shorter than the head: it is all of it.
    ['a head longer than the file', () => head(plain, 4096), 200, 1000, true],
  ];
  for (const [name, read, status, length, whole] of cases) {
    const r = await read();
    assert.equal(r.response.status, status, name);
    assert.deepEqual(Buffer.from(r.data), body.subarray(0, length), name);
    assert.equal(r.whole, whole, name);
  }
  // Not ok: the answer, with no body read; no answer at all: null.
  const missing = await pirokkoRead(fetch(ranged.url + 'gone.wav'));
  assert.equal(missing.response.status, 404);
  assert.equal(missing.data, null);
  const closed = await serveFolder(dir);
  await closed.close();
  assert.equal(await pirokkoRead(fetch(closed.url + 'bgm.wav'), 100), null);
});

// library.js in a context of its own, with the engine's memory and the
// browser's ImageData stood in for, and anything else the case needs.
function loadLibrary(words, more = {}) {
  class ImageData {
    constructor(width, height) {
      Object.assign(this, {width, height, data: new Uint8ClampedArray(width * height * 4)});
    }
  }
  const context = vm.createContext({
    HEAPU32: words, ImageData, mergeInto() {}, LibraryManager: {library: {}}, ...more,
  });
  vm.runInContext(fs.readFileSync(new URL('library.js', pageDir), 'utf8'), context);
  context.PK = context.LibraryPirokko.$PK;
  return context;
}

test("a picture's pixels become the page's bytes, and outlive the engine's copy", () => {
  // The engine's words: 0xAARRGGBB with the colour premultiplied.
  const pixels = [
    0xFF112233,  // opaque: red and blue change places
    0x00000000,  // see-through
    0x80402010,  // half see-through: the colour divided out, rounded
    0x80FF8000,  // more colour than alpha allows: held at 255
  ];
  const shown = [
    [0x11, 0x22, 0x33, 0xFF], [0, 0, 0, 0], [0x80, 0x40, 0x20, 0x80], [0xFF, 0xFF, 0x00, 0x80],
  ];
  const words = new Uint32Array(16);
  words.set(pixels, 4);
  const lib = loadLibrary(words);
  const {PK} = lib;
  const bytes = (image) => Array.from({length: image.width * image.height},
    (_, i) => Array.from(image.data.subarray(i * 4, i * 4 + 4)));

  const handle = lib.LibraryPirokko.pk_picture(4 * 4, 2, 2);
  assert.deepEqual(bytes(PK.imageOf(PK.pictures[handle])), shown);

  // A box still to draw it when the engine lets its pixels go: they are read
  // then, before the engine's memory is used again.
  PK.els = [null, {pkPaints: [[handle, 0, 0, 2, 2, 0, 0, 2, 2]]}];
  lib.LibraryPirokko.pk_picture_free(handle);
  words.fill(0xFFFFFFFF);
  assert.deepEqual(bytes(PK.pictures[handle].pkImage), shown);

  // With no box to draw it, it is gone.
  const unused = lib.LibraryPirokko.pk_picture(4 * 4, 2, 2);
  lib.LibraryPirokko.pk_picture_free(unused);
  assert.equal(PK.pictures[unused], null);
});

test('the game\'s timers count from its first line, and one let go before it never runs', () => {
  // Intervals as the browser keeps them: each runs when the test says so.
  const intervals = new Map();
  let next = 1;
  const ticked = [];
  const lib = loadLibrary(new Uint32Array(1), {
    setInterval: (run, ms) => (intervals.set(next, {run, ms}), next++),
    clearInterval: (id) => intervals.delete(id),
    Module: {_pk_event_timer: (key) => ticked.push(key)},
  });
  const {PK, LibraryPirokko: page} = lib;
  const running = () => [...intervals.values()].map(({ms}) => ms).sort((a, b) => a - b);

  page.pk_timer_arm(1, 1100);
  page.pk_timer_arm(2, 1);
  page.pk_timer_disarm(2);  // let go before the line: never runs
  page.pk_timer_arm(3, 100);
  page.pk_timer_arm(3, 50);  // armed again: only the second interval
  assert.deepEqual(running(), []);

  PK.markPainted();
  assert.deepEqual(running(), [50, 1100]);
  for (const {run} of intervals.values()) run();
  assert.deepEqual(ticked.sort(), [1, 3]);

  // Once the line is there, a timer runs from the moment it is armed.
  page.pk_timer_arm(4, 10);
  assert.deepEqual(running(), [10, 50, 1100]);
  page.pk_timer_arm(4, 20);
  page.pk_timer_disarm(1);
  assert.deepEqual(running(), [20, 50]);

  // The game's end stops them all, and one still waiting for a line that
  // never came.
  const ended = loadLibrary(new Uint32Array(1), {
    setInterval: (run, ms) => (intervals.set(next, {run, ms}), next++),
    clearInterval: (id) => intervals.delete(id),
    document: {getElementById: () => null, body: {appendChild() {}}, createElement: () => ({setAttribute() {}})},
  });
  intervals.clear();
  ended.LibraryPirokko.pk_timer_arm(5, 1);
  ended.PK.text = () => '';
  ended.LibraryPirokko.pk_end(0, 0);
  ended.PK.markPainted();
  assert.deepEqual(running(), []);
});

test('the focus asked for before the first line is given in its frame, the last asked for', () => {
  const frames = [];
  const lib = loadLibrary(new Uint32Array(1), {requestAnimationFrame: (run) => frames.push(run)});
  const {PK, LibraryPirokko: page} = lib;
  const focused = [];
  const control = (tagName) => PK.els[PK.add({tagName, focus: () => focused.push(tagName)})];
  const text = control('DIV');
  const box = control('BUTTON');

  page.pk_focus(box.pkId);
  page.pk_focus(text.pkId);
  // Keys are judged by the control asked for at once, though its focus waits.
  assert.equal(PK.guard, null);
  assert.deepEqual(focused, []);
  assert.equal(frames.length, 1);
  frames.shift()();
  assert.deepEqual(focused, ['DIV']);

  // Once the line is there, at once.
  PK.markPainted();
  page.pk_focus(box.pkId);
  assert.deepEqual(focused, ['DIV', 'BUTTON']);
  assert.equal(PK.guard, box);
  assert.equal(frames.length, 0);
});
