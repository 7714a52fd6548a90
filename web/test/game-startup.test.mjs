// The order in which the page starts the game, as the browser records it:
// what the first line waits for, and what waits for the first line. Each of
// these, done the other way, once cost the opening's first line tens of
// milliseconds without changing what the player sees after it.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {startBrowser} from './driver.mjs';
import {makeSite, rampWave} from './music.mjs';

let dir, browser;
before(async () => {
  dir = makeSite(fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-startup-')), rampWave(44100));
  browser = await startBrowser({root: dir});
});
after(async () => {
  await browser?.close();
  if (dir) fs.rmSync(dir, {recursive: true, force: true});
});

// A fresh load, with the moment the page made its AudioContext recorded.
// With `lateMusic`, the music's head is held back for half a second, long
// after the opening's files are in, as on a site that serves the big file
// slowly.
async function load({lateMusic = false} = {}) {
  const tab = await browser.open('about:blank');
  await tab.cdp.send('Network.enable');
  await tab.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
  if (lateMusic) {
    tab.cdp.on('Fetch.requestPaused', ({requestId}) => setTimeout(() =>
      tab.cdp.send('Fetch.continueRequest', {requestId}).catch(() => {}), 500));
    await tab.cdp.send('Fetch.enable', {patterns: [{urlPattern: '*bgm.wav*', requestStage: 'Request'}]});
  }
  await tab.page.evaluateOnNewDocument(() => {
    const Context = window.AudioContext;
    window.AudioContext = function(options) {
      window.pkContextMadeAt = performance.now();
      return new Context(options);
    };
    // The first tick of a timer of the engine's, other than the music's
    // pump (the test's own polling uses intervals too).
    const every = window.setInterval;
    window.setInterval = (run, ms, ...rest) => {
      const engines = /pirokko\.js/.test(new Error().stack) && ms < 250;
      return every(() => {
        if (engines) window.pkFirstTickAt ??= performance.now();
        run();
      }, ms, ...rest);
    };
    const draw = CanvasRenderingContext2D.prototype.drawImage;
    CanvasRenderingContext2D.prototype.drawImage = function(...args) {
      window.pkFirstDrawnAt ??= performance.now();
      return draw.apply(this, args);
    };
  });
  await tab.page.goto(browser.url('index.html'));
  await tab.waitFor(() => performance.getEntriesByName('first-line').length > 0, {polling: 10});
  // The other scenes' files, and the music's output, come after.
  await tab.waitFor(() => window.pkContextMadeAt !== undefined && window.pkFirstDrawnAt !== undefined &&
    window.pkFirstTickAt !== undefined &&
    performance.getEntriesByType('resource').filter((e) => /\/(txt|img)\/[0-7]\./.test(e.name)).length === 16,
  {polling: 50});
  const seen = await tab.evaluate(async () => ({
    firstLine: performance.getEntriesByName('first-line')[0].startTime,
    // The text's font, and the font the page looked up before the engine
    // came: that element's style set on one of this page's.
    fonts: await (async () => {
      const font = (el) => `${getComputedStyle(el).fontSize} ${getComputedStyle(el).fontFamily}`;
      const page = new DOMParser().parseFromString(await (await fetch('index.html')).text(), 'text/html');
      const probe = document.body.appendChild(document.createElement('div'));
      probe.setAttribute('style', page.querySelector('.pk-faces')?.getAttribute('style') ?? '');
      const early = font(probe);
      probe.remove();
      return {text: font(document.querySelector('.pk-label')), early};
    })(),
    earlyLeft: document.querySelectorAll('.pk-faces').length,
    // The window is no layer of its own: one kept is not drawn again at a
    // new scale, and a resize would blur its text.
    formWillChange: getComputedStyle(document.querySelector('.pk-form')).willChange,
    contextMadeAt: window.pkContextMadeAt,
    firstTickAt: window.pkFirstTickAt,
    firstDrawnAt: window.pkFirstDrawnAt,
    requests: performance.getEntriesByType('resource').map((e) => ({
      name: new URL(e.name).pathname.slice(1), start: e.startTime})),
  }));
  await tab.close();
  return seen;
}

test('the first line waits for the engine and the opening alone', async () => {
  for (const lateMusic of [false, false, true]) {
    const {firstLine, contextMadeAt, firstTickAt, firstDrawnAt, requests, fonts, earlyLeft, formWillChange} =
      await load({lateMusic});
    const asked = (name) => requests.filter((r) => r.name === name);

    // Asked for once each: the page's script takes what its head preloaded.
    for (const name of ['pirokko.wasm', 'pirokko.js', 'txt/opn.txt', 'img/opn.gif']) {
      assert.equal(asked(name).length, 1, `${name} asked for ${asked(name).length} times`);
    }
    // The music's head, once, before the game starts.
    assert.equal(asked('bgm.wav').filter((r) => r.start < firstLine).length, 1);

    // Every other scene's script and picture is asked for, after the line.
    for (let scene = 0; scene < 8; ++scene) {
      for (const name of [`txt/${scene}.txt`, `img/${scene}.gif`]) {
        assert.equal(asked(name).length, 1, name);
        assert.ok(asked(name)[0].start > firstLine,
          `${name} asked for at ${asked(name)[0].start} ms, before the first line at ${firstLine} ms`);
      }
    }
    // The opening's picture is drawn after its text is on the screen, and
    // its canvas made then: the line's own frame has no picture to draw.
    assert.ok(firstDrawnAt > firstLine, `picture drawn at ${firstDrawnAt} ms, first line at ${firstLine} ms`);
    // Nothing sounds before the player's first gesture: the output is made
    // once the line is there.
    assert.ok(contextMadeAt > firstLine, `AudioContext made at ${contextMadeAt} ms, first line at ${firstLine} ms`);
    // The game's timers run once the line is there: the music's poll,
    // every millisecond, would hold up the frame that shows it.
    assert.ok(firstTickAt > firstLine, `a timer ran at ${firstTickAt} ms, first line at ${firstLine} ms`);
    // The faces the page looks up early are the text's own, and the
    // element that looked them up is gone with the window made.
    assert.equal(fonts.early, fonts.text);
    assert.equal(earlyLeft, 0);
    assert.equal(formWillChange, 'auto');
  }
});

test('a host that does not name the engine as wasm still starts the game', async () => {
  const tab = await browser.open('about:blank');
  await tab.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
  tab.cdp.on('Fetch.requestPaused', ({requestId, responseHeaders}) => {
    const headers = responseHeaders.filter((h) => h.name.toLowerCase() !== 'content-type');
    tab.cdp.send('Fetch.continueResponse', {requestId, responseCode: 200,
      responseHeaders: [...headers, {name: 'Content-Type', value: 'application/octet-stream'}]}).catch(() => {});
  });
  await tab.cdp.send('Fetch.enable', {patterns: [{urlPattern: '*pirokko.wasm', requestStage: 'Response'}]});
  await tab.page.goto(browser.url('index.html'));
  await tab.waitFor(() => performance.getEntriesByName('first-line').length > 0, {polling: 10});
  assert.equal(await tab.evaluate(() => document.querySelector('.pk-label').innerText.trim().length > 0), true);
  await tab.close();
});

// Where the browser never says the line is painted, the other scenes' files
// and the music's output still come: with the next frame where it reports no
// paints at all, and at once in a page that is in the background, which
// draws no frame.
test('a page that reports no paint, or draws none, still fetches the rest', async () => {
  const cases = {
    'reports no paints': () => {
      Object.defineProperty(PerformanceObserver, 'supportedEntryTypes', {value: ['mark', 'resource']});
    },
    'in the background': () => {
      Object.defineProperty(Document.prototype, 'hidden', {get: () => true});
      Object.defineProperty(Document.prototype, 'visibilityState', {get: () => 'hidden'});
      window.requestAnimationFrame = () => 0;
      window.PerformanceObserver = class {
        static supportedEntryTypes = ['element'];
        observe() {}
        disconnect() {}
      };
    },
  };
  for (const [name, pretend] of Object.entries(cases)) {
    const tab = await browser.open('about:blank');
    await tab.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    await tab.page.evaluateOnNewDocument(pretend);
    await tab.page.goto(browser.url('index.html'));
    // Well before the two seconds that a text which paints nothing is given.
    await tab.waitFor(() => performance.getEntriesByType('resource')
      .filter((e) => /\/(txt|img)\/[0-7]\./.test(e.name)).length === 16, {timeout: 1200, polling: 20})
      .catch(() => assert.fail(`${name}: the other scenes' files were not asked for`));
    await tab.close();
  }
});
