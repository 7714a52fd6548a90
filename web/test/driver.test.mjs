// The driver itself, on a page of a few controls: what it sends must arrive
// as a person's input, and what it reads must be what a screen reader reads.

import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {serveFolder, startBrowser} from './driver.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
let browser;
let tab;

before(async () => {
  browser = await startBrowser({root: here});
  tab = await browser.open('pages/hello.html');
});
after(() => browser?.close());

test('a click and keys reach the page as trusted input', async () => {
  await tab.clickOn('#go');
  assert.equal(await tab.innerText('#said'), 'Clicked 1 (trusted)');
  // The click left the focus on the button: Space presses it as a person's key would.
  await tab.press('Space');
  assert.equal(await tab.innerText('#said'), 'Clicked 2 (trusted)');
  await tab.press('Tab');
  await tab.press('Space');
  assert.equal(await tab.evaluate(() => document.getElementById('moon').checked), true);
  await tab.press('Shift+Tab');
  assert.equal(await tab.evaluate(() => document.activeElement.id), 'go');
  await tab.press('PageDown');
  assert.equal(await tab.innerText('#said'), 'Key PageDown (trusted)');
});

test('the accessibility tree gives roles, names and states', async () => {
  const nodes = await tab.accessibleNodes();
  const box = nodes.find((n) => n.role === 'checkbox');
  assert.equal(box.name, 'Moon');
  assert.equal(box.states.checked, 'true');
  const button = nodes.find((n) => n.role === 'button');
  assert.equal(button.name, 'Go on');
  assert.ok(nodes.some((n) => n.role === 'StaticText' && n.name === 'Key PageDown (trusted)'));
  assert.equal((await tab.accessibilityTree()).name, 'Driver check');
});

test('a screenshot is a PNG of the viewport', async () => {
  const png = await tab.screenshot();
  assert.equal(png.subarray(1, 4).toString(), 'PNG');
  assert.equal(png.readUInt32BE(16), 800);
  assert.equal(png.readUInt32BE(20), 600);
});

test('the server serves only its folder', async () => {
  const server = await serveFolder(path.join(here, 'pages'));
  try {
    assert.equal((await fetch(server.url + 'hello.html')).status, 200);
    assert.equal((await fetch(server.url + '..%2Fdriver.mjs')).status, 404);
    assert.equal((await fetch(server.url + 'missing.html')).status, 404);
  } finally {
    await server.close();
  }
});

test('a server that names versions answers a cached copy with 304 until the file changes', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-driver-'));
  const file = path.join(dir, 'opn.txt');
  fs.writeFileSync(file, 'one');
  const server = await serveFolder(dir, {validators: true});
  const plain = await serveFolder(dir);
  try {
    const first = await fetch(server.url + 'opn.txt');
    const tag = first.headers.get('ETag');
    assert.ok(tag && first.headers.get('Last-Modified'));
    assert.equal(await first.text(), 'one');
    const kept = await fetch(server.url + 'opn.txt', {headers: {'If-None-Match': tag}});
    assert.equal(kept.status, 304);
    assert.equal(await kept.text(), '');
    // A file replaced is a new version, sent whole.
    fs.writeFileSync(file, 'two!');
    fs.utimesSync(file, new Date(), new Date(Date.now() + 5000));
    const changed = await fetch(server.url + 'opn.txt', {headers: {'If-None-Match': tag}});
    assert.equal(changed.status, 200);
    assert.equal(await changed.text(), 'two!');
    assert.notEqual(changed.headers.get('ETag'), tag);
    // By default, as the tests' plain host: no version named.
    assert.equal((await fetch(plain.url + 'opn.txt')).headers.get('ETag'), null);
  } finally {
    await server.close();
    await plain.close();
    fs.rmSync(dir, {recursive: true, force: true});
  }
});
