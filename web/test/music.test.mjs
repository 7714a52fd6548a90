// The music of the web edition in headless Chromium, measured in what the
// page renders (the recorder under window.pirokkoAudioTap): the loop's seam,
// the start at the player's first gesture, the files that cannot play, and
// the encodings against what the desktop plays.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';
import {startBrowser} from './driver.mjs';
import {followSeams, makeSite, openGame, quietly, rampFrames, rampWave, recordedFrames, recording, until} from './music.mjs';

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-music-'));
after(() => fs.rmSync(work, {recursive: true, force: true}));

const env = (name) => {
  assert.ok(process.env[name], `${name} is set`);
  return process.env[name];
};

// The desktop's open code for `file`, and the frames it plays.
function desktop(file) {
  const out = path.join(work, 'desktop.f32');
  const [code, frames, channels, rate] = execFileSync(env('PIROKKO_WAVE_DUMP'), [file, out], {encoding: 'utf8'})
    .trim().split(' ').map(Number);
  if (code !== 0) return {code};
  const bytes = fs.readFileSync(out);
  return {code, frames, channels, rate, samples: new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4)};
}

// A command to the page's media layer, as the game sends them: its code
// (with `{reply: true}`, the code and the reply).
async function command(tab, text, {reply = false} = {}) {
  const answer = await quietly(tab, `(() => {
    const bytes = new TextEncoder().encode(${JSON.stringify(text)} + '\\0');
    const at = _malloc(bytes.length), reply = _malloc(64);
    HEAPU8.set(bytes, at);
    const code = Module._pk_media_command(at, reply, 64);
    const text = UTF8ToString(reply);
    _free(at);
    _free(reply);
    return {code, reply: text};
  })()`);
  return reply ? answer : answer.code;
}

const textShown = 'document.querySelector(".pk-form") && document.querySelector(".pk-form").innerText.trim().length > 0';

// Every frame the loop's, in order: no frame missing, none repeated, no
// silence but at a seam.
function assertFollows(t, result) {
  assert.equal(result.corruptAt, -1, 'no frame but the loop\'s');
  assert.deepEqual(result.skips, [], 'no frame skipped or silenced within a pass');
}

// What the page rendered once `frames` frames are in: `loopFrames` of the
// ramp from its very first frame, every frame in order.
async function playedFromStart(t, tab, loopFrames, frames) {
  await until(tab, `(${recordedFrames}) >= ${frames}`);
  const rec = await recording(tab);
  const loop = rampFrames(loopFrames);
  assert.deepEqual(Array.from(rec.frames.subarray(0, 8)), Array.from(loop.subarray(0, 8)), 'from the start of the sound');
  const result = followSeams(loop, rec.frames, rec.channels);
  assertFollows(t, result);
  return result;
}

describe('the loop', () => {
  // Whole in the fetched head (0.5 s); longer than that head, so that the
  // first pass streams (1.5 s), from a site that takes Range requests and
  // from one that ignores them; and too long to be kept whole (12.5 s,
  // 4.2 MiB decoded), so that every pass streams its end and goes back for it.
  const cases = [
    {name: 'a 0.5 s loop held whole', frames: 22050, passes: 7, ranges: true},
    {name: 'a 1.5 s loop streamed by range', frames: 66150, passes: 4, ranges: true},
    {name: 'a 1.5 s loop from a site that ignores ranges', frames: 66150, passes: 3, ranges: false},
    {name: 'a 12.5 s loop, too long to keep, streamed by range', frames: 551250, passes: 1, ranges: true,
     waitMs: 60000},
  ];
  for (const c of cases) {
    test(`${c.name} joins with 0 frames at every seam`, async (t) => {
      const dir = makeSite(path.join(work, `loop-${c.frames}-${c.ranges}`), rampWave(c.frames));
      const browser = await startBrowser({root: dir, autoplay: true, ranges: c.ranges});
      try {
        const tab = await openGame(browser, 'index.html');
        await until(tab, `(${recordedFrames}) >= ${c.frames * (c.passes + 1) + 4410}`, c.waitMs || 30000);
        const rec = await recording(tab);
        const result = followSeams(rampFrames(c.frames), rec.frames, rec.channels);
        t.diagnostic(`${result.passes} passes, seams ${JSON.stringify(result.seams)}, ${rec.starts} slices`);
        assertFollows(t, result);
        assert.ok(result.seams.length >= c.passes, `${result.seams.length} seams`);
        assert.deepEqual(result.seams, new Array(result.seams.length).fill(0), 'no silent frame at a seam');
        assert.deepEqual(tab.errors, []);
      } finally {
        await browser.close();
      }
    });
  }
});

test('the music waits for the first gesture, the text does not', async (t) => {
  const dir = makeSite(path.join(work, 'gesture'), rampWave(22050));
  const browser = await startBrowser({root: dir, autoplay: false});
  try {
    const tab = await openGame(browser, 'index.html');
    await until(tab, textShown);
    await until(tab, 'window.pirokkoAudioTap.ready && pirokkoAudioTap.starts.length > 0');
    // Queued, and standing still.
    assert.equal(await quietly(tab, 'pirokkoAudioTap.chunks.length'), 0);
    assert.equal(await quietly(tab, 'document.querySelector(".pk-form").innerText.trim().length > 0'), true);
    await tab.click(2, 2);
    const result = await playedFromStart(t, tab, 22050, 33075);
    assert.ok(result.passes >= 1);
    assert.deepEqual(tab.errors, []);
  } finally {
    await browser.close();
  }
});

test('the game does not wait for the music\'s file: its open does, and then plays it from the start', async (t) => {
  const dir = makeSite(path.join(work, 'late'), rampWave(22050));
  const browser = await startBrowser({root: dir, autoplay: true});
  try {
    // The site's answers for the music are held back until the text is
    // shown: a slow host, or a slow line.
    const tab = await browser.open('about:blank');
    await tab.page.evaluateOnNewDocument(() => { window.pirokkoAudioTap = {}; });
    const held = [];
    await tab.page.setRequestInterception(true);
    tab.page.on('request', (r) => (r.url().endsWith('/bgm.wav') ? held.push(r) : r.continue()));
    tab.errors = [];
    tab.page.on('pageerror', (e) => tab.errors.push(e.message));
    await tab.page.goto(browser.url('index.html'), {waitUntil: 'load'});
    await until(tab, textShown);
    // The game's timers are running by now; its device answers as the one
    // it will be.
    await until(tab, 'performance.getEntriesByName("first-line").length > 0');
    assert.ok(held.length >= 1, 'the music was asked for');
    assert.deepEqual(await command(tab, 'status MIDI mode', {reply: true}), {code: 0, reply: 'playing'});
    assert.equal(await quietly(tab, 'window.pirokkoAudioTap.starts === undefined'), true, 'nothing queued yet');
    // A device that waits answers each command as the open device will,
    // and one closed while it waits is gone.
    const answers = [];
    for (const c of ['open "/game/bgm.wav" alias T', 'open "/game/bgm.wav" alias t', 'status T mode',
                     'play T', 'status T mode', 'seek T to start', 'status T mode', 'close T', 'status T mode'])
      answers.push(await command(tab, c, {reply: true}));
    assert.deepEqual(answers.map((a) => a.code), [0, 289, 0, 0, 0, 0, 0, 0, 263]);
    assert.deepEqual([2, 4, 6].map((i) => answers[i].reply), ['stopped', 'playing', 'stopped']);
    // Every answer goes through from now on; then the held ones.
    tab.page.off('request');
    tab.page.on('request', (r) => r.continue());
    for (const r of held.splice(0)) await r.continue();
    const result = await playedFromStart(t, tab, 22050, 44100);
    assert.deepEqual(result.seams, new Array(result.seams.length).fill(0), 'no silent frame at a seam');
    assert.deepEqual(tab.errors, []);
  } finally {
    await browser.close();
  }
});

test('an error as the game starts ends its music before it opens', async () => {
  const dir = makeSite(path.join(work, 'fault'), rampWave(22050));
  fs.writeFileSync(path.join(dir, 'img/opn.gif'), Buffer.from('GIF89a, but no picture'));
  const browser = await startBrowser({root: dir, autoplay: true});
  try {
    const tab = await openGame(browser, 'index.html');
    await until(tab, 'document.querySelector("[role=alertdialog]") !== null');
    // Its open was waiting for the first line, which never came.
    assert.equal(await command(tab, 'status MIDI mode'), 263);
    assert.equal(await quietly(tab, 'window.pirokkoAudioTap.starts === undefined'), true, 'nothing played');
  } finally {
    await browser.close();
  }
});

describe('a page that cannot play the music plays silently', () => {
  let browser;
  const root = path.join(work, 'silent');
  const broken = Buffer.concat([Buffer.from('RIFF\x24\x00\x00\x00WAVEfmt '), Buffer.alloc(40, 0x55)]);
  before(async () => {
    makeSite(path.join(root, 'missing'), null);
    makeSite(path.join(root, 'broken'), broken);
    makeSite(path.join(root, 'empty'), Buffer.alloc(0));
    makeSite(path.join(root, 'mute'), rampWave(22050));
    fs.writeFileSync(path.join(work, 'broken.wav'), broken);
    fs.writeFileSync(path.join(work, 'empty.wav'), Buffer.alloc(0));
    browser = await startBrowser({root, autoplay: true});
  });
  after(() => browser?.close());

  for (const [site, file] of [['missing', 'no-such.wav'], ['broken', 'broken.wav'], ['empty', 'empty.wav']]) {
    test(`a ${site} bgm.wav: the desktop's code, and the game goes on`, async () => {
      const tab = await openGame(browser, `${site}/index.html`);
      await until(tab, textShown);
      const code = desktop(path.join(work, file)).code;
      assert.notEqual(code, 0);
      assert.equal(await command(tab, 'open "/game/bgm.wav" alias T'), code);
      // The game's own open failed the same way: it has no device.
      assert.equal(await command(tab, 'status MIDI mode'), 263);
      assert.equal(await quietly(tab, 'window.pirokkoAudioTap.starts === undefined'), true);
      await tab.press('Space');
      assert.deepEqual(tab.errors, []);
      await tab.close();
    });
  }

  test('no Web Audio at all: the device fails as with no sound card', async () => {
    const tab = await openGame(browser, 'mute/index.html', {audio: false});
    await until(tab, textShown);
    assert.equal(await command(tab, 'status MIDI mode'), 262);
    assert.equal(await command(tab, 'close MIDI'), 0);
    await tab.press('Space');
    assert.deepEqual(tab.errors, []);
    await tab.close();
  });
});

describe('every encoding plays the desktop\'s samples', () => {
  let browser;
  const root = path.join(work, 'encodings');
  const names = ['ima_adpcm.wav', 'float.wav', 'ms_adpcm.wav', 'pcm_16.rf64'];
  before(async () => {
    const waves = path.join(work, 'waves');
    fs.mkdirSync(waves);
    execFileSync(env('PIROKKO_MAKE_WAVES'), [waves]);
    for (const name of names) makeSite(path.join(root, name), fs.readFileSync(path.join(waves, name)));
    browser = await startBrowser({root, autoplay: true});
  });
  after(() => browser?.close());

  for (const name of names) {
    test(name, async (t) => {
      const expected = desktop(path.join(root, name, 'bgm.wav'));
      assert.equal(expected.code, 0);
      const tab = await openGame(browser, `${name}/index.html`);
      await until(tab, `(${recordedFrames}) >= ${expected.frames + 1}`);
      const rec = await recording(tab);
      assert.equal(rec.rate, expected.rate);
      assert.equal(rec.channels, expected.channels);
      assert.deepEqual(Array.from(rec.frames.subarray(0, 8)), Array.from(expected.samples.subarray(0, 8)));
      const result = followSeams(expected.samples, rec.frames, rec.channels);
      assertFollows(t, result);
      assert.ok(result.passes >= 1);
      await tab.close();
    });
  }
});
