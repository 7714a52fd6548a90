// What the music tests share: sites of the web edition with a bgm.wav of
// their own, the page's recorder of what it renders (window.pirokkoAudioTap,
// see the pk_audio block of library.js), and the seam analysis the desktop's
// disk-driver test makes, over floats.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// A 16-bit stereo wave whose every frame differs from its neighbours and is
// never silent: a ramp up on the left, down on the right, so a gap, a repeat
// or a jump shows at the frame where it happens.
export function rampWave(frames, rate = 44100) {
  const data = Buffer.alloc(frames * 4);
  for (let i = 0; i < frames; ++i) {
    const v = ((i * 3) % 65000) - 32500 + ((i * 3) % 65000 === 32500 ? 1 : 0);
    data.writeInt16LE(v, i * 4);
    data.writeInt16LE(-v - 1, i * 4 + 2);
  }
  return Buffer.concat([waveHeader(data.length, rate), data]);
}

// The 44-byte header of a 16-bit stereo PCM wave file holding `bytes` of
// sample data at `rate` frames a second.
export function waveHeader(bytes, rate) {
  const head = Buffer.alloc(44);
  head.write('RIFF', 0);
  head.writeUInt32LE(36 + bytes, 4);
  head.write('WAVEfmt ', 8);
  head.writeUInt32LE(16, 16);
  head.writeUInt16LE(1, 20);
  head.writeUInt16LE(2, 22);
  head.writeUInt32LE(rate, 24);
  head.writeUInt32LE(rate * 4, 28);
  head.writeUInt16LE(4, 32);
  head.writeUInt16LE(16, 34);
  head.write('data', 36);
  head.writeUInt32LE(bytes, 40);
  return head;
}

// The frames of rampWave as the output gets them, interleaved.
export function rampFrames(frames) {
  const out = new Float32Array(frames * 2);
  const wave = rampWave(frames);
  for (let i = 0; i < frames * 2; ++i) out[i] = wave.readInt16LE(44 + i * 2) / 32768;
  return out;
}

// Lays out the web edition in `dir`: the engine (PIROKKO_WEB_SITE), the
// game's scripts and pictures, and `bgm` (bytes, or null for none).
export function makeSite(dir, bgm) {
  const engine = process.env.PIROKKO_WEB_SITE;
  assert.ok(engine && fs.existsSync(path.join(engine, 'pirokko.wasm')), 'PIROKKO_WEB_SITE holds the built engine');
  fs.mkdirSync(dir, {recursive: true});
  fs.cpSync(engine, dir, {recursive: true});
  fs.cpSync(path.join(repo, 'game/txt'), path.join(dir, 'txt'), {recursive: true});
  fs.cpSync(path.join(repo, 'game/img'), path.join(dir, 'img'), {recursive: true});
  if (bgm) fs.writeFileSync(path.join(dir, 'bgm.wav'), bgm);
  return dir;
}

// Opens the game at `page` with the recorder on (or off: `recorder:
// false`), or with no Web Audio at all (`audio: false`).
export async function openGame(browser, page, {audio = true, recorder = true} = {}) {
  const tab = await browser.open('about:blank');
  if (!audio) await tab.page.evaluateOnNewDocument(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  else if (recorder) await tab.page.evaluateOnNewDocument(() => { window.pirokkoAudioTap = {}; });
  tab.errors = [];
  tab.page.on('pageerror', (e) => tab.errors.push(e.message));
  await tab.page.goto(browser.url(page), {waitUntil: 'load'});
  return tab;
}

// Runs `expression` in the page as script, not as the player: unlike the
// driver's evaluate it gives the page no user activation.
export async function quietly(tab, expression) {
  const {result, exceptionDetails} = await tab.cdp.send('Runtime.evaluate', {
    expression, returnByValue: true, awaitPromise: true, userGesture: false,
  });
  if (exceptionDetails) throw new Error(exceptionDetails.exception?.description || exceptionDetails.text);
  return result.value;
}

// Waits in the page, checking every 20 ms, until `condition` (an expression)
// holds; its value is returned.
export function until(tab, condition, timeoutMs = 20000) {
  return quietly(tab, `new Promise((resolve, reject) => {
    const started = performance.now();
    const check = () => {
      let value;
      try { value = (${condition}); } catch (e) { value = undefined; }
      if (value) return resolve(value);
      if (performance.now() - started > ${timeoutMs}) return reject(new Error('timed out: ' + ${JSON.stringify(condition)}));
      setTimeout(check, 20);
    };
    check();
  })`);
}

// The frames the recorder holds after the first slice's start.
export const recordedFrames = 'pirokkoAudioTap.chunks.reduce((n, c) => Math.max(n, c[0] + c[1][0].length), 0)' +
  ' - (pirokkoAudioTap.starts.length ? pirokkoAudioTap.starts[0] : Infinity)';

// What the page rendered from the first slice's start on, interleaved.
export async function recording(tab) {
  const b64 = await quietly(tab, `(() => {
    const t = window.pirokkoAudioTap, from = t.starts[0];
    const end = t.chunks.reduce((n, c) => Math.max(n, c[0] + c[1][0].length), from);
    const channels = t.chunks[0][1].length, out = new Float32Array((end - from) * channels);
    for (const [frame, data] of t.chunks) {
      for (let c = 0; c < channels; ++c) {
        for (let i = 0; i < data[c].length; ++i) {
          const k = frame + i - from;
          if (k >= 0) out[k * channels + c] = data[c][i];
        }
      }
    }
    const bytes = new Uint8Array(out.buffer);
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return {channels, data: btoa(s), starts: t.starts.length, rate: t.rate};
  })()`);
  const bytes = Buffer.from(b64.data, 'base64');
  return {...b64, frames: new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4)};
}

// How far a rendered sample may lie from the sound's: Chromium starts a
// slice at the frame nearest its time, and interpolates by what the time in
// seconds misses that frame by (about 1e-12 of a frame), which moves a
// sample by about 1e-15. A 16-bit step is 3e-5: a gap, a repeat or a jump
// of even one frame is far beyond this.
export const tolerance = 1e-9;

// The passes of `loop` (interleaved, `channels` wide) in `rendered`: how many
// are whole, the silent frames at each seam, and the first frame that is
// neither silence nor the loop's.
export function analyse(loop, rendered, channels) {
  const n = loop.length / channels;
  const total = Math.floor(rendered.length / channels);
  const silent = (f) => {
    for (let c = 0; c < channels; ++c) if (rendered[f * channels + c] !== 0) return false;
    return true;
  };
  const r = {wholePasses: 0, gaps: [], corruptAt: -1};
  let f = 0;
  while (f < total && silent(f)) ++f;
  r.leadingSilence = f;
  while (f < total) {
    const k = Math.min(n, total - f);
    for (let i = 0; i < k * channels; ++i) {
      if (Math.abs(rendered[f * channels + i] - loop[i]) > tolerance) {
        r.corruptAt = f + Math.floor(i / channels);
        return r;
      }
    }
    if (k < n) return r;
    f += n;
    ++r.wholePasses;
    let gap = 0;
    while (f < total && silent(f)) {
      ++gap;
      ++f;
    }
    if (f < total) r.gaps.push(gap);
  }
  return r;
}

// The seams of `loop` in `rendered`, following the loop through whatever
// else happens: the silent frames at each seam (where the loop's last frame
// meets its first), and the skips elsewhere, each the frames it jumped by
// and where. A frame that is neither the loop's next one, nor silence, nor
// the loop's a few render quanta on, ends the walk as corrupt.
export function followSeams(loop, rendered, channels) {
  const n = loop.length / channels;
  const total = Math.floor(rendered.length / channels);
  const is = (f, e) => {
    for (let c = 0; c < channels; ++c) {
      if (Math.abs(rendered[f * channels + c] - loop[(e % n) * channels + c]) > tolerance) return false;
    }
    return true;
  };
  const silent = (f) => {
    for (let c = 0; c < channels; ++c) if (rendered[f * channels + c] !== 0) return false;
    return true;
  };
  const r = {seams: [], skips: [], corruptAt: -1, passes: 0};
  let e = 0, gap = 0;
  for (let f = 0; f < total; ++f) {
    if (is(f, e)) {
      if (e % n === 0 && f > 0) r.seams.push(gap);
      gap = 0;
      e = (e % n) + 1;
      if (e === n) ++r.passes;
      continue;
    }
    if (silent(f)) {
      if (e % n === 0) {
        ++gap;
      } else {
        const last = r.skips[r.skips.length - 1];
        if (last && last.silent && last.at + last.frames === f) ++last.frames;
        else r.skips.push({at: f, frames: 1, silent: true});
      }
      continue;
    }
    let skip = 0;
    for (let s = 1; s <= 1024 && !skip; ++s) if (is(f, e + s)) skip = s;
    if (!skip) {
      r.corruptAt = f;
      return r;
    }
    r.skips.push({at: f, frames: skip, seam: (e % n) + skip >= n});
    e = ((e + skip) % n) + 1;
  }
  return r;
}
