#!/usr/bin/env node
// What the web edition's engine weighs on the wire: every file of the site
// that is not the game's own content (pirokko.js, pirokko.wasm and
// index.html, which holds the page's style), gzipped at level 9, against the
// goal; then what each part of the wasm code weighs, from the same engine
// linked again with its function names kept (--profiling-funcs), grouped by
// where the code comes from.
//
//   bench/web/engine-size.mjs [BUILD_WEB]     (default: build-web)

import {execFileSync, execSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {repo} from './serve-root.mjs';

const GOAL_KB = 150;
const argv = process.argv.slice(2);
const listNames = argv[0] === '--names';
const args = listNames ? argv.slice(1) : argv;
if (args[0] === '--help') {
  console.log('usage: bench/web/engine-size.mjs [--names] [BUILD_WEB]   (default: build-web)\n' +
              '  --names  also every function, its part and its raw size');
  process.exit(0);
}
if (args.length > 1) {
  console.error('usage: bench/web/engine-size.mjs [--names] [BUILD_WEB]');
  process.exit(2);
}
const build = path.resolve(args[0] || path.join(repo, 'build-web'));
const site = path.join(build, 'site');
if (!fs.existsSync(path.join(site, 'pirokko.wasm'))) {
  console.error(`${args[0] || 'build-web'}: no built engine in its site/ (the web build's folder, ` +
                'e.g. build-web)');
  process.exit(2);
}
const gz = (bytes) => zlib.gzipSync(bytes, {level: 9}).length;
const kb = (n) => (n / 1024).toFixed(1).padStart(7) + ' KB';

const files = ['pirokko.js', 'pirokko.wasm', 'index.html'];
let total = 0;
console.log('The engine\'s download (gzip -9):');
for (const f of files) {
  const bytes = fs.readFileSync(path.join(site, f));
  total += gz(bytes);
  console.log(`  ${f.padEnd(14)} ${kb(bytes.length)} raw ${kb(gz(bytes))} gzipped`);
}
console.log(`  ${'total'.padEnd(14)} ${' '.repeat(15)} ${kb(total)} gzipped ` +
            `(goal ${GOAL_KB} KB: ${(total / 1024 / GOAL_KB).toFixed(2)} of it)`);

// The engine linked once more, names kept, into a folder of its own.
const link = execSync(`ninja -C ${JSON.stringify(build)} -t commands pirokko_engine`, {encoding: 'utf8'})
  .trim().split('\n').pop().split(' && ').find((c) => c.includes(' -o site/pirokko.js'));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-size-'));
try {
  execSync(link.replace(/^:\s*/, '').replace(' -o site/pirokko.js', ` --profiling-funcs -o ${work}/pirokko.js`),
           {cwd: build, stdio: ['ignore', 'ignore', 'inherit'], env: {...process.env, NODE_PATH: '/usr/share/nodejs'}});
  breakdown(fs.readFileSync(path.join(work, 'pirokko.wasm')));
} finally {
  fs.rmSync(work, {recursive: true, force: true});
}

// The code section's function bodies, named from the name section, gzipped
// group by group (each group's bodies together), and the data section.
function breakdown(wasm) {
  let at = 8;
  const leb = () => {
    let result = 0, shift = 0, byte;
    do {
      byte = wasm[at++];
      result += (byte & 0x7f) * 2 ** shift;
      shift += 7;
    } while (byte & 0x80);
    return result;
  };
  let imports = 0;
  const bodies = [];
  const names = new Map();
  let data = Buffer.alloc(0);
  while (at < wasm.length) {
    const id = wasm[at++];
    const size = leb();
    const end = at + size;
    if (id === 2) {  // imports: functions come first in the index space
      const count = leb();
      const skip = () => {
        const n = leb();  // read before `at` is added to
        at += n;
      };
      for (let i = 0; i < count; ++i) {
        skip();
        skip();
        const kind = wasm[at++];
        if (kind === 0) {
          leb();
          ++imports;
        } else if (kind === 1) {
          at++;
          const flags = leb();
          leb();
          if (flags & 1) leb();
        } else if (kind === 2) {
          const flags = leb();
          leb();
          if (flags & 1) leb();
        } else if (kind === 3) {
          at += 2;
        } else if (kind === 4) {
          at++;
          leb();
        }
      }
    } else if (id === 10) {
      const count = leb();
      for (let i = 0; i < count; ++i) {
        const n = leb();
        bodies.push(wasm.subarray(at, at + n));
        at += n;
      }
    } else if (id === 11) {
      data = wasm.subarray(at, end);
    } else if (id === 0) {
      const nameLength = leb();
      const name = wasm.subarray(at, at + nameLength).toString();
      at += nameLength;
      if (name === 'name') {
        while (at < end) {
          const sub = wasm[at++];
          const subSize = leb();
          const subEnd = at + subSize;
          if (sub === 1) {
            const count = leb();
            for (let i = 0; i < count; ++i) {
              const index = leb();
              const length = leb();
              names.set(index, wasm.subarray(at, at + length).toString());
              at += length;
            }
          }
          at = subEnd;
        }
      }
    }
    at = end;
  }
  const demangled = demangle([...names.values()]);
  const groups = new Map();
  bodies.forEach((body, i) => {
    const name = names.get(imports + i) || '';
    const group = groupOf(demangled.get(name) || name);
    if (!groups.has(group)) groups.set(group, []);
    groups.get(group).push(body);
    if (listNames) console.log(`${String(body.length).padStart(7)}  ${group}  ${demangled.get(name) || name}`);
  });
  const rows = [...groups].map(([group, list]) => ({group, count: list.length, raw: list.reduce((s, b) => s + b.length, 0),
                                                     gz: gz(Buffer.concat(list))}));
  rows.push({group: 'data (strings, tables)', count: 0, raw: data.length, gz: gz(data)});
  rows.sort((a, b) => b.gz - a.gz);
  console.log('\nThe wasm by part (each part gzipped alone, so the parts add up to a little more than the whole):');
  for (const r of rows) {
    console.log(`  ${r.group.padEnd(44)} ${String(r.count || '').padStart(5)} ${kb(r.raw)} raw ${kb(r.gz)} gzipped`);
  }
}

function demangle(list) {
  const out = new Map();
  try {
    const text = execFileSync('c++filt', {input: list.join('\n'), encoding: 'utf8', maxBuffer: 64 << 20}).split('\n');
    list.forEach((n, i) => out.set(n, text[i] || n));
  } catch {
    // Without c++filt the mangled names still show most groups.
  }
  return out;
}

// A function is counted where its code was written: a library's template
// made for the game's own types (a std::function around one of the game's
// lambdas) counts as the game's.
function groupOf(name) {
  if (/\bFom\b|Preview|\bscene::|\bchooser::|共用関数|showGame|introduceGame|\(anonymous namespace\)::(makeOpt|windowIcon)|^main$/.test(name)) {
    return 'the game (app, scene, chooser, shared)';
  }
  if (/platform::(decodeFirstGifImage|DecodePicture|LoadPicture|Picture\b|GifPicture)|^(DGif|EGif|Gif|InternalRead)/.test(name)) {
    return 'pictures (giflib and the shared decoder)';
  }
  if (/(^|[<(,\s])platform::|^pk_|^(non-virtual thunk to )?platform::/.test(name)) return 'the platform (shared and web backend)';
  if (/^(std::|__cxxabiv1|__cxa_|__gxx_|_Unwind|operator new|operator delete|void std::|demangling_terminate_handler)/.test(name) ||
      /std::__2::|__cxxabiv1::|is_equal\(std::type_info|update_offset_to_base/.test(name)) return 'libc++ and libc++abi';
  if (/^(emscripten_|_emscripten|__emscripten|stackSave|stackRestore|stackAlloc|dynCall|__wasm)/.test(name)) return 'the Emscripten runtime';
  if (/^(dl|dispose_chunk|malloc|free|realloc|calloc|sbrk|mem|str|__|fopen|fwrite|fclose|fread|open|close|read|write|lseek|mkdir|stat|fstat|printf|fprintf|fiprintf|vf?i?printf|s?n?printf|vsnprintf|fmt_|pop_arg|pad|out|getint|wcrtomb|wctomb|frexp|isdigit|abort|fflush|fputs|fseek|ftell|errno|fmod|scalbn|scanexp|sn_write|\(anonymous namespace\)::(after|node_from_offset)|decfloat|hexfloat|strto|copysign|wmem|wcs)/.test(name)) {
    return 'libc (musl, malloc, stdio)';
  }
  if (!name) return '(no name)';
  return 'other';
}
