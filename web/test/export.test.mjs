// What `pirokko --export-web` writes, served as a plain static host serves
// it (no headers beyond the content type, so no cross-origin isolation):
// the game plays, and a script replaced in the export is what the page
// reads next, with no export in between.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {startBrowser} from './driver.mjs';

const program = process.env.PIROKKO_PROGRAM;
let scratch;
let site;
let browser;

before(async () => {
  assert.ok(program, 'PIROKKO_PROGRAM names the built pirokko');
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-export-'));
  site = path.join(scratch, 'site');
  // The game the build plays by default, with the engine of the web build.
  execFileSync(program, ['--export-web', site], {stdio: ['ignore', 'pipe', 'inherit']});
  browser = await startBrowser({root: site});
});
after(async () => {
  await browser?.close();
  if (scratch) fs.rmSync(scratch, {recursive: true, force: true});
});

const labelText = () => document.querySelector('.pk-label')?.innerText ?? '';

test('the export plays from a plain static host and reads its files as they are now', async () => {
  let tab = await browser.open('index.html');
  await tab.waitFor(() => (document.querySelector('.pk-label')?.innerText ?? '').includes('▼'));
  assert.match(await tab.evaluate(labelText), /ここは　ふかい　森の　はずれ。/);
  assert.equal(await tab.evaluate(() => globalThis.crossOriginIsolated), false);
  await tab.close();

  // Plain ASCII is code page 932 as it stands.
  fs.writeFileSync(path.join(site, 'txt', 'opn.txt'), 'Another opening\r\ntugi\r\n');
  tab = await browser.open('index.html');
  await tab.waitFor(() => (document.querySelector('.pk-label')?.innerText ?? '').includes('Another opening'));
  assert.doesNotMatch(await tab.evaluate(labelText), /ふかい/);
  await tab.close();
});
