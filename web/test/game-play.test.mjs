// The shipped game in the browser as a player and a screen reader's user
// find it: the whole game is one element named "Pirokko"; the text is one
// element that keeps the focus from page to page and renders exactly the
// page's rows; the boxes and scene buttons are real controls, each with a
// face of its own to click; a hidden control is not in the accessibility
// tree at all. And on a phone, a tap is a click and a double tap no zoom.

import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import {BOXES, END_MARK, layOutSite, openGame} from './game.mjs';

let site;
before(() => {
  site = layOutSite();
});
after(() => site?.remove());

// Where an element is on the screen, and whether it is what a click there
// reaches: the element itself (not a cover, not a neighbour) and painted.
async function ownFace(game, name) {
  return game.page.evaluate((n) => {
    const el = [...document.querySelectorAll('button,input,[role=checkbox],[role=switch]')]
      .find((e) => (e.getAttribute('aria-label') || e.textContent) === n);
    const r = el.getBoundingClientRect();
    const s = getComputedStyle(el);
    const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return {w: r.width, h: r.height, x: r.left, y: r.top, onTop: hit === el || el.contains(hit),
            seen: s.visibility === 'visible' && Number(s.opacity) > 0 && s.display !== 'none',
            inView: r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight};
  }, name);
}

test('the page, the text and the chooser as a player finds them', async () => {
  const game = await openGame(site.root);
  try {
    assert.equal(await game.page.title(), 'Pirokko');
    await game.waitForRest();
    let c = await game.controls();
    assert.ok(c.game, 'an element named Pirokko holds the game');
    const texts = c.nodes.filter((n) => /^Text/.test(n.name));
    assert.equal(texts.length, 1, 'one text');
    assert.match(texts[0].name, /^Text: /);

    // The text rests on its first page: a blank row, three rows of the
    // script, the mark after the last.
    const first = await game.text();
    assert.equal(first.split('\n').length, 4, JSON.stringify(first));
    assert.ok(first.startsWith('\nここは　ふかい　森の　はずれ。\n'), JSON.stringify(first));
    assert.ok(first.endsWith(END_MARK));
    // The start-up bench's mark: once, for the first line.
    assert.equal(await game.page.evaluate(() => performance.getEntriesByName('first-line').length), 1);

    // The opening's picture is on the screen, not another scene's.
    const opening = await game.pictureDistance('img/opn.gif');
    assert.ok(opening < 12, `opening picture off by ${opening}`);
    assert.ok(await game.pictureDistance('img/2.gif') > 3 * opening + 12);

    // A click beside the game takes the focus away; Tab brings it back.
    await game.tab.click(400, 580);
    assert.equal(await game.focused(), null);
    await game.tab.press('Tab');
    assert.match(await game.focused(), /^Text/);
    const text = await game.textHandle();

    await game.playToChooser();
    // The same element throughout, with the focus until the chooser took it.
    assert.ok(await game.page.evaluate((el) => el.isConnected, text), 'the text was replaced');
    for (const shown of await game.shown()) {
      // Spaces kept, rows one per line, a mark only after the last row.
      assert.ok(!/[\u25BC\u25BD]./s.test(shown), JSON.stringify(shown));
      assert.ok(!/\r/.test(shown));
    }
    assert.ok((await game.shown()).some((s) => /　/.test(s)), 'the script\'s spaces are kept');

    // The chooser: three boxes, unticked, each a real control with a face
    // of its own; eight scene buttons in the page, none in the tree.
    c = await game.controls();
    assert.deepEqual(Object.keys(c.boxes).sort(), [...BOXES].sort());
    for (const b of BOXES) {
      const node = c.boxes[b].node;
      assert.ok(node.role === 'checkbox' || ('pressed' in node.states || node.role === 'button'), node.role);
      assert.equal(c.boxes[b].ticked, false);
      const face = await ownFace(game, b);
      assert.ok(face.w >= 16 && face.h >= 12 && face.seen && face.onTop && face.inView, `${b}: ${JSON.stringify(face)}`);
    }
    assert.equal(await game.focused(), BOXES[0], 'the first box has the focus when the chooser opens');
    assert.deepEqual(Object.keys(c.buttons), [], 'hidden scene buttons are out of the tree');
    assert.equal(await game.page.evaluate(() => [...document.querySelectorAll('button')]
      .filter((b) => /^[0-7]$/.test(b.textContent)).length), 8, 'all eight are in the page');

    // Ticked boxes reveal their buttons; a ticked box says so as a toggle.
    await game.clickBox('月');
    await game.clickBox('星');
    c = await game.controls();
    assert.ok(c.boxes['月'].ticked && c.boxes['星'].ticked && !c.boxes['森'].ticked);
    assert.deepEqual(Object.keys(c.buttons).sort(), ['1', '2', '6']);
    for (const b of ['1', '2', '6']) assert.equal(c.buttons[b].disabled, false);

    // A played button is disabled, also to a screen reader.
    await game.clickSceneButton('2');
    await game.waitForRest();
    // The scene's picture took the opening's place, and stays when the
    // window changes size and the page draws it again.
    assert.ok(await game.pictureDistance('img/2.gif') < 12);
    await game.page.setViewport({width: 1000, height: 700});
    await game.page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    assert.ok(await game.pictureDistance('img/2.gif') < 12, 'the picture is gone after a resize');
    assert.ok(await game.page.evaluate((el) => el.isConnected, text), 'the text was replaced');
    assert.equal((await game.controls()).text.states.focused, true, 'the text has the focus in the new scene');
    await game.playToChooser();
    c = await game.controls();
    assert.equal(c.buttons['2'].disabled, true);
    assert.equal(c.buttons['1'].disabled, false);

    // A box unticked by a click hides what it revealed, out of the tree.
    await game.clickBox('星');
    assert.deepEqual(Object.keys((await game.controls()).buttons), []);
  } finally {
    await game.close();
  }
});

// Touch through Chromium's own touch input, on a phone-sized screen.
async function tap(game, x, y) {
  const point = [{x, y, radiusX: 4, radiusY: 4, force: 1, id: 1}];
  await game.tab.cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: point});
  await game.tab.cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
}

test('on a touch screen a tap is a click, and a double tap does not zoom', async () => {
  const game = await openGame(site.root, {width: 412, height: 800, touch: true});
  try {
    await game.waitForRest();
    const before = await game.text();
    const at = await game.centreOf(() => [...document.querySelectorAll('[aria-label]')]
      .find((e) => /^Text/.test(e.getAttribute('aria-label'))));
    await tap(game, at.x, at.y);
    await game.page.waitForFunction((b) => document.querySelector('[aria-label^=Text]').innerText !== b,
                                    {timeout: 3000}, before);
    // The page cannot be zoomed by a double tap: the viewport or the game's
    // touch-action says so. (Headless Chromium does not zoom on a double tap
    // whatever the page says, so what the page says is what is held.)
    const zoomable = await game.page.evaluate((x, y) => {
      const meta = document.querySelector('meta[name=viewport]')?.content || '';
      const fixed = /user-scalable\s*=\s*(no|0)|maximum-scale\s*=\s*1(\.0*)?\b/.test(meta);
      let el = document.elementFromPoint(x, y);
      const actions = [];
      for (; el; el = el.parentElement) actions.push(getComputedStyle(el).touchAction);
      return {fixed, actions};
    }, at.x, at.y);
    assert.ok(zoomable.fixed || zoomable.actions.some((a) => a === 'manipulation' || a === 'none' ||
                                                        (a.includes('pan') && !a.includes('zoom'))),
              JSON.stringify(zoomable));

    // A tap on a box ticks it.
    await game.playToChooser({advance: async () => tap(game, at.x, at.y)});
    const box = await ownFace(game, '森');
    await tap(game, box.x + box.w / 2, box.y + box.h / 2);
    assert.equal((await game.controls()).boxes['森'].ticked, true);
  } finally {
    await game.close();
  }
});
