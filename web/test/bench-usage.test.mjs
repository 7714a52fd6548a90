// The web benches' command lines: a mistyped one is told so on stderr with
// status 2, naming the folder at fault, before any browser starts; a flag's
// value is never taken for a page folder.

import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';
import {fileURLToPath} from 'node:url';

const bench = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../bench/web');
const run = (script, ...args) =>
  spawnSync(process.execPath, [path.join(bench, script), ...args], {encoding: 'utf8', timeout: 30000});

// A folder with an index.html, and one without.
const page = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-bench-page-'));
fs.writeFileSync(path.join(page, 'index.html'), '<!doctype html>');
const bare = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-bench-bare-'));
test.after(() => {
  for (const dir of [page, bare]) fs.rmSync(dir, {recursive: true, force: true});
});

test('each bench answers --help with its usage, status 0', () => {
  for (const script of ['first-line.mjs', 'idle.mjs', 'timeline.mjs', 'start-compile.mjs', 'engine-size.mjs']) {
    const r = run(script, '--help');
    assert.equal(r.status, 0, script);
    assert.match(r.stdout, /^usage: bench\/web\//, script);
  }
});

test('a mistyped command line is a usage error, status 2, with nothing run', () => {
  const cases = [
    ['first-line.mjs', page],  // one page of two
    ['first-line.mjs', '--runs', 'many', page, page],
    ['first-line.mjs', '--bogus', '1', page, page],
    ['first-line.mjs', page, page, '--page-flags'],  // a flag with no value
    ['timeline.mjs', page, page],
    ['engine-size.mjs', page, page],
  ];
  for (const [script, ...args] of cases) {
    const r = run(script, ...args);
    assert.equal(r.status, 2, `${script} ${args.join(' ')}`);
    assert.match(r.stderr, /^usage: /, `${script} ${args.join(' ')}`);
    assert.equal(r.stdout, '');
  }
});

test('a folder without what the bench needs is named, status 2', () => {
  const r = run('first-line.mjs', page, bare);
  assert.equal(r.status, 2);
  assert.equal(r.stderr, `${bare}: no index.html in this folder\n`);

  const size = run('engine-size.mjs', bare);
  assert.equal(size.status, 2);
  assert.ok(size.stderr.startsWith(`${bare}: no built engine`), size.stderr);
});

test("the game's browser flags are a word of their own, whatever they begin with", () => {
  // Were the flags taken for a folder, or the folder for the flags, the
  // complaint would be about the count of pages or about another folder.
  const r = run('first-line.mjs', '--page-flags', '--js-flags=--no-wasm-tier-up', bare, page);
  assert.equal(r.status, 2);
  assert.equal(r.stderr, `${bare}: no index.html in this folder\n`);
});
