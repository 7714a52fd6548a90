// The web edition as a player meets it, for the tests: a site laid out from
// the built engine and a game folder, opened in headless Chromium, and read
// only through what a person or a screen reader gets (the accessibility
// tree, the rendered text, the focus) and acted on with real input.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {startBrowser} from './driver.mjs';

export const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const siteDir = process.env.PIROKKO_WEB_SITE || path.join(repo, 'build-web/site');
export const MOON = '月';
export const STAR = '星';
export const FOREST = '森';
export const BOXES = [MOON, STAR, FOREST];
export const END_MARK = '\u25BC';

// A site folder: the engine's files and a game's txt/ and img/ (the shipped
// game unless `game` names another folder). `change(root)` may then add,
// replace or break files.
export function layOutSite({game = path.join(repo, 'game'), change} = {}) {
  if (!fs.existsSync(path.join(siteDir, 'pirokko.wasm'))) {
    throw new Error(`no built site at ${siteDir}: cmake --preset web && ninja -C build-web`);
  }
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-site-'));
  fs.cpSync(siteDir, root, {recursive: true});
  for (const part of ['txt', 'img']) {
    if (fs.existsSync(path.join(game, part))) fs.cpSync(path.join(game, part), path.join(root, part), {recursive: true});
  }
  change?.(root);
  return {root, remove: () => fs.rmSync(root, {recursive: true, force: true})};
}

// A script's bytes from lines of ASCII (the same in code page 932), each
// ended by CR LF as Windows saves them.
export function scriptBytes(lines) {
  const text = lines.map((l) => l + '\r\n').join('');
  if (/[^\x00-\x7f]/.test(text)) throw new Error('test scripts are ASCII');
  return Buffer.from(text, 'ascii');
}

// A browser with the game open. Options: the site's `root`, `lang` (the
// browser's language), width/height of the viewport, `touch` (a phone's
// screen: touch events and the mobile viewport).
export async function openGame(root, {lang, width = 800, height = 600, touch = false} = {}) {
  const args = lang ? [`--lang=${lang}`, `--accept-lang=${lang}`] : [];
  const browser = await startBrowser({root, args, width, height});
  try {
    const page = await browser.browser.newPage();
    const {Tab} = await import('./driver.mjs');
    const tab = new Tab(page, await page.createCDPSession());
    if (lang) {
      await page.setExtraHTTPHeaders({'Accept-Language': lang});
      await tab.cdp.send('Emulation.setLocaleOverride', {locale: lang}).catch(() => {});
    }
    if (touch) {
      await page.setViewport({width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2});
    }
    // Every text the page shows in its text element, in order, as a
    // screen reader's braille display would follow it: recorded once per
    // task, so each step of the game leaves one entry.
    await page.evaluateOnNewDocument(() => {
      window.pkShown = [];
      const record = () => {
        const el = [...document.querySelectorAll('[aria-label]')]
          .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label')));
        if (!el) return;
        const text = el.innerText;
        if (window.pkShown[window.pkShown.length - 1] !== text) window.pkShown.push(text);
      };
      new MutationObserver(record).observe(document, {subtree: true, childList: true, characterData: true});
    });
    await page.goto(browser.url('index.html'), {waitUntil: 'load'});
    return new Game(browser, tab);
  } catch (error) {
    await browser.close();
    throw error;
  }
}

export class Game {
  constructor(browser, tab) {
    this.browser = browser;
    this.tab = tab;
    this.page = tab.page;
  }

  close() {
    return this.browser.close();
  }

  // Nodes of the accessibility tree (not ignored), flattened.
  nodes() {
    return this.tab.accessibleNodes();
  }

  // The game's controls as a screen reader finds them: the text, the boxes
  // (by name, with their ticked state), the scene buttons (by name, with
  // their state), of those that are in the tree at all.
  async controls() {
    const nodes = await this.nodes();
    const out = {text: null, boxes: {}, buttons: {}, dialog: null, game: null, nodes};
    for (const n of nodes) {
      if (/^Text|^テキスト|^本文/.test(n.name) && !out.text) out.text = n;
      if (BOXES.includes(n.name) && (n.role === 'checkbox' || n.role === 'button' || n.role === 'switch')) {
        out.boxes[n.name] = {ticked: n.states.checked === 'true' || n.states.pressed === 'true', node: n};
      }
      if (/^[0-7]$/.test(n.name) && n.role === 'button') {
        out.buttons[n.name] = {disabled: !!n.states.disabled, node: n};
      }
      if ((n.role === 'dialog' || n.role === 'alertdialog') && !out.dialog) out.dialog = n;
      if (n.name === 'Pirokko' && !out.game && n.role !== 'RootWebArea') out.game = n;
    }
    return out;
  }

  // What the chooser offers, as one line: the boxes ticked, the buttons in
  // the tree with a played one marked "x" ("-" when the chooser is closed).
  async chooser() {
    const c = await this.controls();
    if (!Object.keys(c.boxes).length) return '-';
    const ticked = BOXES.filter((b) => c.boxes[b]?.ticked).join('');
    const buttons = Object.keys(c.buttons).sort().map((b) => b + (c.buttons[b].disabled ? 'x' : '')).join(' ');
    return `boxes [${ticked}] buttons [${buttons}]`;
  }

  // The text element, found as a player finds it: the element whose
  // accessible name starts with the text's name.
  textHandle() {
    return this.page.evaluateHandle(() => [...document.querySelectorAll('[aria-label]')]
      .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label'))) || null);
  }

  async text() {
    return this.page.evaluate(() => {
      const el = [...document.querySelectorAll('[aria-label]')]
        .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label')));
      return el ? el.innerText : null;
    });
  }

  // Every text shown since the page opened (see openGame).
  shown() {
    return this.page.evaluate(() => window.pkShown.slice());
  }

  // The middle of an element that the page finds by `find` (run in the page).
  async centreOf(find, ...args) {
    return this.page.evaluate((src, ...a) => {
      // eslint-disable-next-line no-new-func
      const el = new Function(`return (${src})`)()(...a);
      if (!el) return null;
      const r = el.getBoundingClientRect();
      return {x: r.left + r.width / 2, y: r.top + r.height / 2, w: r.width, h: r.height};
    }, find.toString(), ...args);
  }

  async clickText() {
    const at = await this.centreOf(() => [...document.querySelectorAll('[aria-label]')]
      .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label'))));
    await this.tab.click(at.x, at.y);
  }

  // A real click on a box, at the middle of its own visible face.
  async clickBox(name) {
    const at = await this.centreOf((n) => [...document.querySelectorAll('button,input')]
      .find((e) => (e.getAttribute('aria-label') || e.textContent) === n), name);
    await this.tab.click(at.x, at.y);
  }

  // A real click on a scene button that wanders: aimed just after a jump,
  // at a point where it is the element on top, so that neither the next
  // jump nor another button takes the click.
  async clickSceneButton(name) {
    for (let i = 0; i < 10; ++i) {
      const at = await this.page.evaluate((n) => new Promise((resolve) => {
        const el = [...document.querySelectorAll('button')].find((e) => e.textContent === n);
        const before = el.getBoundingClientRect();
        const watch = new MutationObserver(() => {
          const r = el.getBoundingClientRect();
          if (r.left === before.left && r.top === before.top) return;
          watch.disconnect();
          const x = r.left + r.width / 2, y = r.top + r.height / 2;
          resolve(document.elementFromPoint(x, y) === el ? {x, y} : null);
        });
        watch.observe(el, {attributes: true});
      }), name);
      if (at) {
        await this.tab.click(at.x, at.y);
        return;
      }
    }
    throw new Error(`scene button ${name} never stood clear of the others`);
  }

  // Waits until the text rests on a page: it ends with the page-end mark
  // and has not changed for longer than the lines take to roll in.
  async waitForRest({timeout = 15000} = {}) {
    await this.page.waitForFunction(() => {
      const el = [...document.querySelectorAll('[aria-label]')]
        .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label')));
      if (!el) return false;
      const text = el.innerText;
      const now = performance.now();
      if (text !== window.pkRestText) {
        window.pkRestText = text;
        window.pkRestSince = now;
        return false;
      }
      return text.endsWith('\u25BC') && now - window.pkRestSince > 300;
    }, {timeout, polling: 50});
  }

  async chooserOpen() {
    return Object.keys((await this.controls()).boxes).length === 3;
  }

  // Clicks the text at every resting page until the chooser opens; the
  // texts shown on the way are in shown().
  async playToChooser({advance} = {}) {
    for (let i = 0; i < 80; ++i) {
      await this.waitForRest();
      if (await this.chooserOpen()) return;
      await (advance ? advance() : this.clickText());
      // The click shows its next line at once, or opens the chooser.
      await this.page.waitForFunction((before) => {
        const el = [...document.querySelectorAll('[aria-label]')]
          .find((e) => /^(Text|テキスト|本文)/.test(e.getAttribute('aria-label')));
        return !el || el.innerText !== before || !!document.querySelector('button:not([hidden])');
      }, {timeout: 5000, polling: 20}, await this.text());
      if (await this.chooserOpen()) return;
    }
    throw new Error('the chooser never opened');
  }

  // How far the scene picture on the screen is from the site's picture
  // `file`, drawn by the browser's own decoder at the size it is shown: the
  // mean difference of a colour channel over the picture, 0 to 255. The
  // screen is read from a screenshot, as a player sees it.
  async pictureDistance(file) {
    const at = await this.page.evaluate(() => {
      const shown = [...document.querySelectorAll('canvas')].map((c) => c.getBoundingClientRect())
        .filter((r) => r.width > 0 && r.height > 0).sort((a, b) => b.width * b.height - a.width * a.height)[0];
      return shown && {x: shown.left, y: shown.top, width: shown.width, height: shown.height};
    });
    if (!at) return 255;
    // Inside the picture's edge, which scaling may blend with the border.
    const clip = {x: Math.ceil(at.x) + 1, y: Math.ceil(at.y) + 1,
                  width: Math.floor(at.width) - 2, height: Math.floor(at.height) - 2, scale: 1};
    const {data} = await this.tab.cdp.send('Page.captureScreenshot', {format: 'png', clip});
    return this.page.evaluate(async (png, src, w, h) => {
      const pixels = async (url, from) => {
        const image = new Image();
        image.src = url;
        await image.decode();
        const canvas = new OffscreenCanvas(w, h), g = canvas.getContext('2d');
        g.imageSmoothingQuality = 'high';
        if (from) g.drawImage(image, from.x, from.y, from.w, from.h, 0, 0, w, h);
        else g.drawImage(image, 0, 0);
        return g.getImageData(0, 0, w, h).data;
      };
      const seen = await pixels('data:image/png;base64,' + png);
      const probe = new Image();
      probe.src = src;
      await probe.decode();
      // The file stretched over the whole box, less the pixel cut at each edge.
      const sx = probe.naturalWidth / (w + 2), sy = probe.naturalHeight / (h + 2);
      const want = await pixels(src, {x: sx, y: sy, w: w * sx, h: h * sy});
      let sum = 0;
      for (let i = 0; i < seen.length; i += 4) {
        for (let k = 0; k < 3; ++k) sum += Math.abs(seen[i + k] - want[i + k]);
      }
      return sum / (seen.length / 4 * 3);
    }, data, file, clip.width, clip.height);
  }

  // The element that has the focus, as a screen reader names it.
  focused() {
    return this.page.evaluate(() => {
      const e = document.activeElement;
      if (!e || e === document.body) return null;
      return e.getAttribute('aria-label') || e.textContent;
    });
  }
}
