#!/usr/bin/env node
// The page's memory while the music plays a 20-minute bgm.wav against a
// 10-second one (44.1 kHz stereo 16-bit, written here and removed after), in
// headless Chromium: the JS heap (Performance.getMetrics JSHeapUsedSize and
// Runtime.getHeapUsage), the wasm memory's size, and the renderer's resident
// memory from /proc, each the peak of samples taken while the music plays
// through its end and loops (a play from 5 s before the end), then the
// differences, measured in the same run. Also the engine's download, gzipped.
//
//   node bench/web/music-memory.mjs [--seconds S] ENGINE_FOLDER
//     ENGINE_FOLDER holds the built engine (pirokko.js, pirokko.wasm, index.html)

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {execFileSync} from 'node:child_process';
import {startBrowser} from '../../web/test/driver.mjs';
import {makeSite, openGame, quietly, until, waveHeader} from '../../web/test/music.mjs';

const args = process.argv.slice(2);
if (args.includes('--help')) {
  console.log('usage: node bench/web/music-memory.mjs [--seconds S] ENGINE_FOLDER');
  process.exit(0);
}
let seconds = 12;
const at = args.indexOf('--seconds');
if (at >= 0) {
  seconds = Number(args[at + 1]);
  args.splice(at, 2);
}
if (args.length !== 1 || !(seconds > 0) || !fs.existsSync(path.join(args[0], 'pirokko.wasm'))) {
  console.error('usage: node bench/web/music-memory.mjs [--seconds S] ENGINE_FOLDER');
  process.exit(2);
}
process.env.PIROKKO_WEB_SITE = path.resolve(args[0]);
const rate = 44100;

// A wave of `secs` seconds, written a megabyte at a time: a tone that never
// repeats exactly, so nothing downstream can fold it.
function writeWave(file, secs) {
  const frames = secs * rate, bytes = frames * 4;
  const fd = fs.openSync(file, 'w');
  fs.writeSync(fd, waveHeader(bytes, rate));
  const block = Buffer.alloc(1 << 20);
  for (let f = 0; f < frames;) {
    const n = Math.min(block.length / 4, frames - f);
    for (let i = 0; i < n; ++i, ++f) {
      const v = Math.round(12000 * Math.sin(f * 0.0627) + 3000 * Math.sin(f * 0.00071));
      block.writeInt16LE(v, i * 4);
      block.writeInt16LE(-v, i * 4 + 2);
    }
    fs.writeSync(fd, block, 0, n * 4);
  }
  fs.closeSync(fd);
}

function rssKiB(pid) {
  const m = /VmRSS:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'));
  return m ? Number(m[1]) : 0;
}

async function measure(dir, secs) {
  const browser = await startBrowser({root: dir, autoplay: true});
  try {
    const tab = await openGame(browser, 'index.html', {audio: true, recorder: false});
    await tab.cdp.send('Performance.enable');
    await until(tab, 'window.Module && Module._pk_media_command && document.querySelector(".pk-form")');
    // The end of the sound, then the loop back to its start.
    const from = (secs - 5) * 1000;
    await quietly(tab, `(() => {
      const bytes = new TextEncoder().encode('play MIDI from ${from}\\0');
      const at = _malloc(bytes.length);
      HEAPU8.set(bytes, at);
      const code = Module._pk_media_command(at, 0, 0);
      _free(at);
      return code;
    })()`);
    const pids = await browser.rendererPids();
    const peak = {jsHeap: 0, heapUsage: 0, wasm: 0, rss: 0};
    for (let i = 0; i < seconds * 2; ++i) {
      await new Promise((r) => setTimeout(r, 500));
      const metrics = (await tab.cdp.send('Performance.getMetrics')).metrics;
      const jsHeap = metrics.find((m) => m.name === 'JSHeapUsedSize').value;
      const {usedSize} = await tab.cdp.send('Runtime.getHeapUsage');
      const wasm = await quietly(tab, 'HEAPU8.buffer.byteLength');
      const rss = pids.reduce((s, pid) => s + rssKiB(pid), 0) * 1024;
      peak.jsHeap = Math.max(peak.jsHeap, jsHeap);
      peak.heapUsage = Math.max(peak.heapUsage, usedSize);
      peak.wasm = Math.max(peak.wasm, wasm);
      peak.rss = Math.max(peak.rss, rss);
    }
    peak.page = peak.jsHeap + peak.wasm;
    return peak;
  } finally {
    await browser.close();
  }
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-music-bench-'));
try {
  const results = {};
  for (const [name, secs] of [['10 s', 10], ['20 min', 1200]]) {
    const dir = makeSite(path.join(work, String(secs)), null);
    writeWave(path.join(dir, 'bgm.wav'), secs);
    results[name] = await measure(dir, secs);
    fs.rmSync(dir, {recursive: true, force: true});
  }
  const mb = (v) => (v / 1048576).toFixed(2).padStart(8);
  console.log(`memory of the page, peak over ${seconds} s of play through the end and the loop (MiB)`);
  console.log('bgm.wav     JS heap  (getHeapUsage)    wasm   JS+wasm  RSS of all renderers');
  for (const [name, r] of Object.entries(results)) {
    console.log(`${name.padEnd(8)} ${mb(r.jsHeap)} ${mb(r.heapUsage)}        ${mb(r.wasm)} ${mb(r.page)} ${mb(r.rss)}`);
  }
  const a = results['10 s'], b = results['20 min'];
  console.log(`20 min - 10 s: JS+wasm ${(b.page - a.page) / 1048576 >= 0 ? '+' : ''}${((b.page - a.page) / 1048576).toFixed(2)} MiB` +
              `, renderers' RSS ${((b.rss - a.rss) / 1048576).toFixed(2)} MiB (goal: within +8 MB)`);
  // gzip -9, as bench/web/decoder-sizes.sh counts.
  const gz = (f) => execFileSync('gzip', ['-9', '-c', path.join(process.env.PIROKKO_WEB_SITE, f)]).length;
  const js = gz('pirokko.js'), wasm = gz('pirokko.wasm');
  console.log(`engine download, gzipped: pirokko.js ${js} + pirokko.wasm ${wasm} = ${js + wasm} bytes (goal: <= 153600)`);
} finally {
  fs.rmSync(work, {recursive: true, force: true});
}
