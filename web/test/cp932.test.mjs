// The browser's code page 932 decoder against the desktop's, over every
// single byte, every two bytes, and every two bytes followed by 0x40: the
// desktop's output comes from its own decoder (PIROKKO_CP932_DUMP, the
// cp932_dump program), the browser's from headless Chromium.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {startBrowser} from './driver.mjs';

const web = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const dump = process.env.PIROKKO_CP932_DUMP;

let desktop;
let browser;
let tab;
let results;

before(async () => {
  assert.ok(dump, 'PIROKKO_CP932_DUMP names the desktop decoder\'s dump program');
  desktop = JSON.parse(execFileSync(dump, {maxBuffer: 64 << 20, encoding: 'utf8'}));
  browser = await startBrowser({root: web});
  tab = await browser.open('test/pages/cp932.html');
  await tab.waitFor(() => window.cp932Results);
  results = await tab.evaluate(() => window.cp932Results);
});
after(() => browser?.close());

const hex = (s) => [...s].map((c) => c.charCodeAt(0).toString(16).padStart(4, '0')).join(' ');
const bytesOf = (kind, i) =>
  kind === 'singles' ? [i] : kind === 'pairs' ? [i >> 8, i & 0xff] : [i >> 8, i & 0xff, 0x40];

function differences(kind, which) {
  const got = results[kind][which];
  const want = desktop[kind];
  assert.equal(got.length, want.length);
  const out = [];
  for (let i = 0; i < want.length; ++i) {
    if (got[i] !== want[i]) out.push(i);
  }
  return out;
}

for (const kind of ['singles', 'pairs', 'triples']) {
  test(`every one of the ${kind} decodes as on the desktop`, (t) => {
    const before = differences(kind, 'plain');
    const mended = differences(kind, 'own');
    t.diagnostic(`${kind}: TextDecoder("shift_jis") alone differs on ${before.length} of ${desktop[kind].length}, ` +
                 `the mended decoder on ${mended.length}`);
    const shown = mended.slice(0, 10).map((i) =>
      `${bytesOf(kind, i).map((b) => b.toString(16).padStart(2, '0')).join(' ')}: ` +
      `desktop [${hex(desktop[kind][i])}] browser [${hex(results[kind].own[i])}]`);
    assert.deepEqual(shown, []);
  });
}

test('undecodable sequences are counted and the first is placed', async () => {
  const report = await tab.evaluate(async () => {
    const {decodeCp932} = await import('/cp932.mjs');
    const r = {};
    // あ, then 0x80 (never a character), a lead byte before a space, ①,
    // and a lead byte cut off by the end.
    const text = decodeCp932(new Uint8Array([0x82, 0xa0, 0x80, 0x81, 0x20, 0x87, 0x40, 0x81]), r);
    const clean = {};
    decodeCp932(new Uint8Array([0x41]), clean);
    return {text, r, clean};
  });
  assert.equal(report.text, 'あ\ufffd\ufffd ①\ufffd');
  assert.deepEqual(report.r, {invalidCount: 3, firstInvalidOffset: 2});
  assert.deepEqual(report.clean, {invalidCount: 0, firstInvalidOffset: 0});
});
