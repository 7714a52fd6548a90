// The game's picture loader as the web edition builds it against the
// desktop's, file by file: every GIF we have (the conformance suite, the
// tests' own, the shipped pictures, and files that are no GIF at all) shows
// the same pixels or is refused with the same number and words, in English
// and in Japanese. The browser's build runs under Node, which runs the same
// wasm.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';

const env = (name) => {
  assert.ok(process.env[name], `${name} is set`);
  return process.env[name];
};

const files = env('PIROKKO_GIF_FOLDERS').split(':').filter((d) => fs.existsSync(d)).flatMap((d) =>
  fs.readdirSync(d).filter((f) => /\.(gif|png)$/.test(f)).sort().map((f) => path.join(d, f)));

function dump(command, args, language) {
  return execFileSync(command, [...args, ...files], {
    encoding: 'utf8', maxBuffer: 16 << 20, stdio: ['ignore', 'pipe', 'pipe'], env: {...process.env, LANGUAGE: language, QT_QPA_PLATFORM: 'offscreen'},
  }).trim().split('\n');
}

for (const language of ['en', 'ja']) {
  test(`every picture shows or is refused alike (${language})`, (t) => {
    const desktop = dump(env('PIROKKO_PICTURE_DUMP_NATIVE'), [], language);
    // The loader would fetch the .wasm by URL under Node 20's fetch.
    const web = dump(process.execPath, ['--no-experimental-fetch', env('PIROKKO_PICTURE_DUMP_WASM')], language);
    assert.equal(desktop.length, files.length);
    const refused = desktop.filter((l) => / refused /.test(l));
    t.diagnostic(`${files.length} files, ${refused.length} refused`);
    // Both kinds are there: a loader that refused everything alike would pass.
    assert.ok(refused.length >= 2 && refused.length < files.length - 9, desktop.join('\n'));
    if (language === 'ja') assert.ok(refused.every((l) => /[\u3040-\u30ff]/.test(l)), refused.join('\n'));
    for (let i = 0; i < files.length; ++i) assert.equal(web[i], desktop[i], files[i]);
  });
}
