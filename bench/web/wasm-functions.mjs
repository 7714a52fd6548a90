// The functions of a wasm module as the browser numbers them: imported
// functions first, then each body of the code section, with its size in
// bytes and its name where the module keeps a name section (a link with
// --profiling-funcs). The browser's traces name a function by that number
// only, so this is what turns them back into code.

// Throws on a module cut short or not a module at all, naming what was read.
export function wasmFunctions(bytes) {
  const view = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes);
  let at = 0;
  const fail = (what) => {
    throw new Error(`not a wasm module this reads: ${what} at byte ${at}`);
  };
  const byte = () => {
    if (at >= view.length) fail('ends too soon');
    return view[at++];
  };
  const u32 = () => {
    let value = 0;
    for (let shift = 0; shift < 35; shift += 7) {
      const b = byte();
      value += (b & 0x7f) * 2 ** shift;
      if (!(b & 0x80)) return value;
    }
    return fail('a number runs on');
  };
  const skip = (n) => {
    if (at + n > view.length) fail('ends too soon');
    at += n;
  };
  const limits = () => {
    const flags = byte();
    u32();
    if (flags & 1) u32();
  };
  const name = () => {
    const n = u32();
    skip(n);
    return new TextDecoder().decode(view.subarray(at - n, at));
  };

  if (view.length < 8 || view[0] !== 0 || view[1] !== 0x61 || view[2] !== 0x73 || view[3] !== 0x6d) {
    fail('no "\\0asm" header');
  }
  at = 8;
  let imported = 0;
  const sizes = [];
  const names = new Map();
  while (at < view.length) {
    const id = byte();
    const length = u32();
    const end = at + length;
    if (end > view.length) fail('a section ends too soon');
    if (id === 2) {
      for (let n = u32(); n > 0; --n) {
        name();
        name();
        const kind = byte();
        if (kind === 0) {
          u32();
          ++imported;
        } else if (kind === 1) {
          byte();
          limits();
        } else if (kind === 2) {
          limits();
        } else if (kind === 3) {
          skip(2);
        } else if (kind === 4) {
          byte();
          u32();
        } else {
          fail(`an import of kind ${kind}`);
        }
      }
    } else if (id === 10) {
      for (let n = u32(); n > 0; --n) {
        const size = u32();
        sizes.push(size);
        skip(size);
      }
    } else if (id === 0 && name() === 'name') {
      while (at < end) {
        const kind = byte();
        const subEnd = u32() + at;
        if (kind === 1) {
          for (let n = u32(); n > 0; --n) {
            const index = u32();
            names.set(index, name());
          }
        }
        at = subEnd;
      }
    }
    at = end;
  }
  return {
    imported,
    // Indexed as the browser numbers them: imports have no body here.
    size: (index) => sizes[index - imported] ?? 0,
    name: (index) => names.get(index) ?? `function ${index}`,
    count: sizes.length,
    bytes: sizes.reduce((sum, s) => sum + s, 0),
  };
}
