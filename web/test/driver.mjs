// Drives Debian's headless Chromium for the web edition's tests and benches:
// serves a folder on the loopback, opens pages in it, and acts on them as a
// person would, through real input events (CDP Input.dispatch*), reading what
// a screen reader gets (the accessibility tree), the text, and the pixels.
// puppeteer-core only starts the browser and carries the protocol.

import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import {byteRange, contentTypes} from '../../tools/web/serve.mjs';

export const chromiumPath = process.env.PIROKKO_CHROMIUM || '/usr/bin/chromium';

// Serves `root` on 127.0.0.1 at a free port, with no headers beyond the
// content type and, for a Range request, the part asked for, as a plain
// static host would (`ranges: false`: as one that ignores Range, answering
// with the whole file). With `validators`, as most hosts do, each answer
// also names its file's version (ETag, Last-Modified), and a request that
// names the version it holds is told 304 Not Modified, so that a browser's
// cache can keep what it was sent. With `fresh`, each answer is marked not
// to be stored (Cache-Control: no-store), so that every load of a page is a
// first visit's without the browser being told to leave its cache. Never
// serves outside `root`.
export async function serveFolder(root, {ranges = true, validators = false, fresh = false} = {}) {
  const base = fs.realpathSync(root);
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    const file = path.join(base, decodeURIComponent(url.pathname));
    let real;
    try {
      real = fs.realpathSync(file);
    } catch {
      real = null;
    }
    if (!real || (real !== base && !real.startsWith(base + path.sep)) || !fs.statSync(real).isFile()) {
      res.writeHead(404, {'Content-Type': 'text/plain'});
      res.end('not found\n');
      return;
    }
    const type = contentTypes[path.extname(real).toLowerCase()] || 'application/octet-stream';
    const {size, mtime} = fs.statSync(real);
    // What the answer tells a cache: to keep nothing, or which version it is.
    const caching = fresh ? {'Cache-Control': 'no-store'} : {};
    if (validators) {
      caching.ETag = `"${size}-${mtime.getTime()}"`;
      caching['Last-Modified'] = mtime.toUTCString();
      if (req.headers['if-none-match'] === caching.ETag) {
        res.writeHead(304, caching);
        res.end();
        return;
      }
    }
    const range = ranges ? byteRange(req.headers.range, size) : null;
    if (range === 'unsatisfiable') {
      res.writeHead(416, {'Content-Range': `bytes */${size}`});
      res.end();
      return;
    }
    if (range) {
      res.writeHead(206, {
        'Content-Type': type, 'Accept-Ranges': 'bytes', 'Content-Length': range.last - range.first + 1,
        'Content-Range': `bytes ${range.first}-${range.last}/${size}`, ...caching,
      });
      fs.createReadStream(real, {start: range.first, end: range.last}).pipe(res);
      return;
    }
    res.writeHead(200, {'Content-Type': type, 'Content-Length': size, ...(ranges ? {'Accept-Ranges': 'bytes'} : {}),
      ...caching});
    if (size === 0) {
      res.end();
      return;
    }
    // No byte past the length announced: a file that grows while it is sent
    // (a test replacing it) would otherwise put its new bytes on the
    // connection after this answer, where the next answer's should begin.
    fs.createReadStream(real, {start: 0, end: size - 1}).pipe(res);
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const {port} = server.address();
  return {
    url: `http://127.0.0.1:${port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// `root` served twice, by a host that honours byte ranges and by one that
// ignores them; close() stops both.
export async function serveRangedAndPlain(root) {
  const ranged = await serveFolder(root);
  const plain = await serveFolder(root, {ranges: false});
  return {ranged, plain, close: () => Promise.all([ranged.close(), plain.close()])};
}

// The flags every run uses: no sandbox (root), no network of its own, a
// profile of its own that is thrown away.
export function chromiumArgs({userDataDir, autoplay = false, extra = []}) {
  const args = [
    '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${userDataDir}`,
  ];
  if (autoplay) args.push('--autoplay-policy=no-user-gesture-required');
  return [...args, ...extra];
}

// A browser serving `root`. Options: autoplay (sound without a gesture),
// args (more flags), width/height of the window's viewport, ranges (false:
// the server ignores Range requests), validators and fresh (how the server
// speaks of versions; see serveFolder), network (false: the protocol's
// network agent stays off; puppeteer turns it on in every tab, and it then
// reports each request and each piece of a body received, on the page's own
// thread, a cost that no player's browser has).
export async function startBrowser({root, autoplay = false, args = [], width = 800, height = 600, ranges = true,
                                    validators = false, fresh = false, network = true} = {}) {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-chromium-'));
  const server = root ? await serveFolder(root, {ranges, validators, fresh}) : null;
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: chromiumPath,
      ignoreDefaultArgs: true,
      pipe: true,
      args: chromiumArgs({userDataDir, autoplay, extra: [...args, `--window-size=${width},${height}`, 'about:blank']}),
      defaultViewport: {width, height},
      networkEnabled: network,
    });
  } catch (error) {
    await server?.close();
    fs.rmSync(userDataDir, {recursive: true, force: true});
    throw error;
  }
  return new Browser(browser, server, userDataDir);
}

export class Browser {
  constructor(browser, server, userDataDir) {
    this.browser = browser;
    this.server = server;
    this.userDataDir = userDataDir;
  }

  // The URL of a file under the served folder.
  url(relative = '') {
    return new URL(relative, this.server.url).href;
  }

  // Opens `relative` (or a full URL) in a new tab and waits for its load event.
  async open(relative, {waitUntil = 'load'} = {}) {
    const page = await this.browser.newPage();
    const tab = new Tab(page, await page.createCDPSession());
    const target = /^[a-z]+:/.test(relative) ? relative : this.url(relative);
    await page.goto(target, {waitUntil});
    return tab;
  }

  // The renderer processes' ids, for what /proc tells of them.
  async rendererPids() {
    const {processInfo} = await this.browser.target().createCDPSession().then((s) => s.send('SystemInfo.getProcessInfo'));
    return processInfo.filter((p) => p.type === 'renderer').map((p) => p.id);
  }

  async close() {
    try {
      await this.browser.close();
    } finally {
      await this.server?.close();
      fs.rmSync(this.userDataDir, {recursive: true, force: true});
    }
  }
}

// Keys by the name a person would give them, as Chromium's own input expects
// them: key, code, Windows virtual key code, and the text a key types.
const keys = {
  Space: {key: ' ', code: 'Space', keyCode: 32, text: ' '},
  Enter: {key: 'Enter', code: 'Enter', keyCode: 13, text: '\r'},
  Tab: {key: 'Tab', code: 'Tab', keyCode: 9},
  Escape: {key: 'Escape', code: 'Escape', keyCode: 27},
  Backspace: {key: 'Backspace', code: 'Backspace', keyCode: 8},
  PageDown: {key: 'PageDown', code: 'PageDown', keyCode: 34},
  PageUp: {key: 'PageUp', code: 'PageUp', keyCode: 33},
  ArrowDown: {key: 'ArrowDown', code: 'ArrowDown', keyCode: 40},
  ArrowUp: {key: 'ArrowUp', code: 'ArrowUp', keyCode: 38},
  ArrowLeft: {key: 'ArrowLeft', code: 'ArrowLeft', keyCode: 37},
  ArrowRight: {key: 'ArrowRight', code: 'ArrowRight', keyCode: 39},
  Shift: {key: 'Shift', code: 'ShiftLeft', keyCode: 16},
};
const modifierBits = {Alt: 1, Control: 2, Meta: 4, Shift: 8};

function keyFor(name) {
  if (keys[name]) return keys[name];
  if (/^[a-z0-9]$/i.test(name)) {
    const upper = name.toUpperCase();
    const code = /\d/.test(name) ? `Digit${name}` : `Key${upper}`;
    return {key: name, code, keyCode: upper.charCodeAt(0), text: name};
  }
  throw new Error(`driver: no key named ${name}`);
}

// States that a screen reader is told, read from an AX node's properties.
const stateNames = new Set([
  'focusable', 'focused', 'checked', 'pressed', 'disabled', 'expanded', 'selected', 'hidden',
  'invalid', 'required', 'readonly', 'modal', 'busy', 'live', 'editable',
]);

export class Tab {
  constructor(page, cdp) {
    this.page = page;
    this.cdp = cdp;
  }

  // A press and a release of the left button at (x, y), CSS pixels of the
  // viewport, after the pointer has moved there.
  async click(x, y, {button = 'left', clickCount = 1} = {}) {
    await this.cdp.send('Input.dispatchMouseEvent', {type: 'mouseMoved', x, y});
    await this.cdp.send('Input.dispatchMouseEvent', {type: 'mousePressed', x, y, button, buttons: 1, clickCount});
    await this.cdp.send('Input.dispatchMouseEvent', {type: 'mouseReleased', x, y, button, buttons: 0, clickCount});
  }

  // Clicks the middle of the first element that `selector` finds.
  async clickOn(selector) {
    const box = await this.page.$eval(selector, (e) => {
      const r = e.getBoundingClientRect();
      return {x: r.left + r.width / 2, y: r.top + r.height / 2};
    });
    await this.click(box.x, box.y);
  }

  async wheel(x, y, deltaY) {
    await this.cdp.send('Input.dispatchMouseEvent', {type: 'mouseWheel', x, y, deltaX: 0, deltaY});
  }

  // Presses and releases a key: "Space", "Enter", "Tab", "a", or with
  // modifiers held, "Shift+Tab".
  async press(chord) {
    const parts = chord.split('+');
    const name = parts.pop();
    let modifiers = 0;
    for (const m of parts) {
      if (!(m in modifierBits)) throw new Error(`driver: no modifier named ${m}`);
      modifiers |= modifierBits[m];
    }
    const k = keyFor(name);
    const base = {key: k.key, code: k.code, windowsVirtualKeyCode: k.keyCode, nativeVirtualKeyCode: k.keyCode, modifiers};
    const typed = k.text && !(modifiers & (modifierBits.Control | modifierBits.Alt | modifierBits.Meta));
    await this.cdp.send('Input.dispatchKeyEvent', typed ? {...base, type: 'keyDown', text: k.text, unmodifiedText: k.text}
                                                        : {...base, type: 'rawKeyDown'});
    await this.cdp.send('Input.dispatchKeyEvent', {...base, type: 'keyUp'});
  }

  // Holds a key down: `count` keyDown events, all but the first marked as
  // the keyboard's auto-repeat, then one keyUp.
  async hold(name, count) {
    const k = keyFor(name);
    const base = {key: k.key, code: k.code, windowsVirtualKeyCode: k.keyCode, nativeVirtualKeyCode: k.keyCode};
    for (let i = 0; i < count; ++i) {
      await this.cdp.send('Input.dispatchKeyEvent', {
        ...base, type: k.text ? 'keyDown' : 'rawKeyDown', text: k.text, autoRepeat: i > 0,
      });
    }
    await this.cdp.send('Input.dispatchKeyEvent', {...base, type: 'keyUp'});
  }

  // The accessibility tree as a screen reader gets it: nodes that are not
  // ignored, each {role, name, states, children}, states holding only the
  // properties that are set (e.g. {focusable: true, checked: 'true'}).
  async accessibilityTree() {
    const {nodes} = await this.cdp.send('Accessibility.getFullAXTree');
    const byId = new Map(nodes.map((n) => [n.nodeId, n]));
    const build = (node) => {
      const children = (node.childIds || []).map((id) => byId.get(id)).filter(Boolean).flatMap(build);
      if (node.ignored) return children;
      const states = {};
      for (const p of node.properties || []) {
        if (stateNames.has(p.name) && p.value?.value !== false && p.value?.value !== 'false') {
          states[p.name] = p.value.value;
        }
      }
      return [{role: node.role?.value ?? '', name: node.name?.value ?? '', states, children}];
    };
    const root = nodes.find((n) => !n.parentId);
    return build(root)[0];
  }

  // Every node of the accessibility tree, depth first, without children.
  async accessibleNodes() {
    const out = [];
    const walk = (n) => {
      out.push({role: n.role, name: n.name, states: n.states});
      n.children.forEach(walk);
    };
    walk(await this.accessibilityTree());
    return out;
  }

  async innerText(selector = 'body') {
    return this.page.$eval(selector, (e) => e.innerText);
  }

  // A PNG of the viewport; written to `file` when given.
  async screenshot(file) {
    const {data} = await this.cdp.send('Page.captureScreenshot', {format: 'png'});
    const png = Buffer.from(data, 'base64');
    if (file) fs.writeFileSync(file, png);
    return png;
  }

  evaluate(fn, ...args) {
    return this.page.evaluate(fn, ...args);
  }

  // Waits for `fn` (run in the page) to return something truthy.
  waitFor(fn, {timeout = 10000, polling = 'raf'} = {}, ...args) {
    return this.page.waitForFunction(fn, {timeout, polling}, ...args);
  }

  close() {
    return this.page.close();
  }
}
