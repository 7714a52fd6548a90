// giflib and libsndfile built for the browser against Debian's builds of the
// same releases: every GIF of the given folders and a wave file in each
// encoding the game plays must give the same figures and digests from both.
// The browser's build runs under Node, which runs the same wasm.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';

const env = (name) => {
  assert.ok(process.env[name], `${name} is set`);
  return process.env[name];
};

function probeBoth(kind, files) {
  const run = (command, args) => execFileSync(command, args, {encoding: 'utf8', maxBuffer: 16 << 20}).trim().split('\n');
  const desktop = run(env('PIROKKO_PROBE_NATIVE'), [kind, ...files]);
  // The loader would fetch the .wasm by URL under Node 20's fetch.
  const browser = run(process.execPath, ['--no-experimental-fetch', env('PIROKKO_PROBE_WASM'), kind, ...files]);
  assert.equal(desktop.length, files.length);
  assert.equal(browser.length, files.length);
  return {desktop, browser};
}

test('every GIF decodes to the same picture', (t) => {
  const files = env('PIROKKO_GIF_FOLDERS').split(':').filter((d) => fs.existsSync(d)).flatMap((d) =>
    fs.readdirSync(d).filter((f) => f.endsWith('.gif')).map((f) => path.join(d, f)));
  assert.ok(files.length >= 9, 'the game\'s own pictures at least');
  const {desktop, browser} = probeBoth('gif', files);
  t.diagnostic(`${files.length} GIF files`);
  assert.deepEqual(browser, desktop);
});

test('every wave encoding decodes to the same samples', (t) => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-waves-'));
  try {
    execFileSync(env('PIROKKO_MAKE_WAVES'), [dir]);
    const files = fs.readdirSync(dir).sort().map((f) => path.join(dir, f));
    assert.ok(files.length >= 10);
    const {desktop, browser} = probeBoth('wav', files);
    // Each opened: a file the browser's build refuses would otherwise pass
    // as long as the desktop refused it too.
    for (const line of desktop) assert.match(line, / 00000001 /, line);
    t.diagnostic(`${files.length} wave files`);
    assert.deepEqual(browser, desktop);
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});
