// Keys and the wheel in the browser, as on the desktop: Space, Enter, Page
// Down and Down on the focused text each go on once, a held key's repeat
// does not, one notch of the wheel turned down goes on. In the chooser, Tab
// goes round the boxes, the visible scene buttons and the text; a button the
// program focused does not act on Space or Enter until the player has moved
// the focus.

import assert from 'node:assert/strict';
import {after, test} from 'node:test';
import {END_MARK, layOutSite, openGame} from './game.mjs';

const site = layOutSite();
after(() => site.remove());

// The pages that rest, in order, since the page opened.
async function restingPages(game) {
  return (await game.shown()).filter((t) => t.endsWith(END_MARK));
}

// Acts, then waits for the next page to rest; returns how many pages
// rested in between (1 when the act went on exactly once).
async function pagesAfter(game, act) {
  const before = (await restingPages(game)).length;
  await act();
  await game.waitForRest();
  return (await restingPages(game)).length - before;
}

test('keys on the text and the wheel go on once each; a held key once', async () => {
  const game = await openGame(site.root);
  try {
    await game.waitForRest();
    assert.match(await game.focused(), /^Text/);
    // Six key-downs, all but the first the keyboard's repeat: one page on.
    assert.equal(await pagesAfter(game, () => game.tab.hold('Space', 6)), 1);
    const at = await game.centreOf(() => document.querySelector('[aria-label^=Text]'));
    assert.equal(await pagesAfter(game, () => game.tab.wheel(at.x, at.y, 100)), 1);
    assert.equal(await pagesAfter(game, () => game.tab.press('ArrowDown')), 1);
    // The opening's last page: Enter opens the chooser.
    await game.tab.press('Enter');
    assert.ok(await game.chooserOpen());
    // A wheel turned up does nothing.
    const shown = (await game.shown()).length;
    await game.tab.wheel(at.x, at.y, -300);
    assert.equal((await game.shown()).length, shown);

    // The first box has the focus, but keys do not tick it: they may have
    // been meant for the text.
    assert.equal(await game.focused(), '月');
    await game.tab.press('Space');
    await game.tab.press('Enter');
    assert.equal((await game.controls()).boxes['月'].ticked, false);
    // Once the player moves the focus, they do.
    await game.tab.press('Tab');
    assert.notEqual(await game.focused(), '月');
    await game.tab.press('Shift+Tab');
    assert.equal(await game.focused(), '月');
    await game.tab.press('Space');
    assert.equal((await game.controls()).boxes['月'].ticked, true);
    await game.tab.press('Tab');
    assert.equal(await game.focused(), '星');
    await game.tab.press('Enter');
    assert.deepEqual(Object.keys((await game.controls()).buttons).sort(), ['1', '2', '6']);

    // Tab goes round: the boxes, the shown buttons and the text, each once,
    // nothing hidden.
    const round = [];
    for (let i = 0; i < 16 && round.filter((f) => f === '星').length < 2; ++i) {
      await game.tab.press('Tab');
      const f = await game.focused();
      if (f) round.push(f.startsWith('Text') ? 'Text' : f);
    }
    const once = round.slice(0, round.indexOf('星') + 1);
    assert.deepEqual([...once].sort(), ['1', '2', '6', 'Text', '星', '森', '月'].sort(), round.join(' '));

    // Enter plays a button the player reached; the scene's text takes the
    // focus and Page Down goes on in it.
    while (await game.focused() !== '6') await game.tab.press('Tab');
    await game.tab.press('Enter');
    await game.waitForRest();
    assert.match(await game.focused(), /^Text/);
    assert.equal(await pagesAfter(game, () => game.tab.press('PageDown')), 1);
    // A played button is passed over by Tab.
    await game.playToChooser({advance: () => game.tab.press('Space')});
    const seen = new Set();
    for (let i = 0; i < 10; ++i) {
      await game.tab.press('Tab');
      seen.add(await game.focused());
    }
    assert.ok(!seen.has('6') && seen.has('1') && seen.has('2'), [...seen].join(' '));
  } finally {
    await game.close();
  }
});
