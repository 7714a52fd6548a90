// The benches' reader of a wasm module's functions, on a module made here
// that the engine of this Node also takes for valid: the numbers it gives
// must be the browser's, imports first, or a trace's function is misnamed.

import assert from 'node:assert/strict';
import {test} from 'node:test';
import {wasmFunctions} from '../../bench/web/wasm-functions.mjs';

const text = (s) => [s.length, ...Buffer.from(s)];
const section = (id, body) => [id, body.length, ...body];

// Imports of each kind, a function among them; two bodies of 2 and 4 bytes;
// names for the second import and both bodies.
const parts = [
  [0x00, 0x61, 0x73, 0x6d, 0x01, 0x00, 0x00, 0x00],
  section(1, [1, 0x60, 0, 0]),
  section(2, [5,
    ...text('m'), ...text('mem'), 2, 0x01, 1, 2,
    ...text('m'), ...text('f'), 0, 0,
    ...text('m'), ...text('g'), 3, 0x7f, 0,
    ...text('m'), ...text('t'), 1, 0x70, 0x00, 1,
    ...text('m'), ...text('h'), 0, 0]),
  section(3, [2, 0, 0]),
  section(10, [2, 2, 0, 0x0b, 4, 0, 0x01, 0x01, 0x0b]),
  section(0, [...text('name'), 1, 14, 3, 1, ...text('h'), 2, ...text('one'), 3, ...text('two')]),
];
const module = Uint8Array.from(parts.flat());
// Where one section ends and the next begins: a module cut there is whole.
const ends = parts.map((_, i) => parts.slice(0, i + 1).flat().length);

test('functions are numbered as the browser numbers them, imports first', () => {
  assert.ok(new WebAssembly.Module(module));
  const f = wasmFunctions(module);
  assert.equal(f.imported, 2);
  assert.equal(f.count, 2);
  assert.equal(f.bytes, 6);
  assert.deepEqual([0, 1, 2, 3, 4].map(f.size), [0, 0, 2, 4, 0]);
  assert.deepEqual([1, 2, 3].map(f.name), ['h', 'one', 'two']);
  assert.equal(f.name(0), 'function 0');
});

test('a module cut short or no module at all is refused, not read past its end', () => {
  for (let cut = 1; cut < module.length; ++cut) {
    if (ends.includes(cut)) continue;
    assert.throws(() => wasmFunctions(module.subarray(0, cut)), /ends too soon|header/, `cut at ${cut}`);
  }
  assert.throws(() => wasmFunctions(Buffer.from('<!doctype html>')), /header/);
  assert.throws(() => wasmFunctions(new Uint8Array(0)), /header/);
});
