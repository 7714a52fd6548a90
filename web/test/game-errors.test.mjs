// An error in the content, as the player meets it in the browser: a dialog
// of the page (never the browser's own alert) that holds the message and an
// OK button; after OK the game is gone and the page says it has ended. In a
// Japanese browser the words are Japanese.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, test} from 'node:test';
import {layOutSite, openGame} from './game.mjs';
import {rampWave} from './music.mjs';

// The shipped game without scene 5's script, and with music: nothing is
// wrong until scene 5 is chosen.
const site = layOutSite({change: (root) => {
  fs.rmSync(path.join(root, 'txt/5.txt'));
  fs.writeFileSync(path.join(root, 'bgm.wav'), rampWave(22050));
}});
after(() => site.remove());

async function toTheError(game) {
  const alerts = [];
  game.page.on('dialog', (d) => {
    alerts.push(d.message());
    d.dismiss();
  });
  await game.playToChooser();
  // The player's clicks have let the music sound.
  assert.equal(await game.page.evaluate(() => Object.keys(PKA.outputs).length), 1, 'the music\'s output');
  await game.clickBox('星');
  await game.clickBox('森');
  assert.equal((await game.controls()).dialog, null, 'no error before the scene is chosen');
  await game.clickSceneButton('5');
  await game.page.waitForFunction(() => document.querySelector('[role=alertdialog],[role=dialog],dialog'),
                                  {timeout: 5000});
  assert.deepEqual(alerts, [], 'the browser\'s own alert');
  const {dialog, nodes} = await game.controls();
  assert.ok(dialog, 'a dialog in the accessibility tree');
  const inside = await game.page.evaluate(() => {
    const d = document.querySelector('[role=alertdialog],[role=dialog],dialog');
    return {text: d.innerText, buttons: [...d.querySelectorAll('button')].map((b) => b.innerText),
            focusInside: d.contains(document.activeElement)};
  });
  assert.ok(inside.focusInside, 'the dialog has the focus');
  return {dialog, nodes, ...inside};
}

async function afterOk(game, ok, ended) {
  const at = await game.centreOf((name) => [...document.querySelectorAll('dialog button,[role$=dialog] button')]
    .find((b) => b.innerText === name), ok);
  await game.tab.click(at.x, at.y);
  const c = await game.controls();
  assert.equal(c.dialog, null, 'the dialog is gone after OK');
  assert.equal(c.text, null, 'the text is gone');
  assert.deepEqual(Object.keys(c.boxes), [], 'the boxes are gone');
  assert.deepEqual(Object.keys(c.buttons), [], 'the scene buttons are gone');
  assert.ok(c.nodes.some((n) => n.name === ended || (n.role === 'StaticText' && n.name === ended)),
            `the page says "${ended}"`);
  assert.equal(await game.page.evaluate(() => Object.keys(PKA.outputs).length), 0, 'the music ended with the game');
}

test('a missing script stops the game in a dialog of the page when its scene is chosen', async () => {
  const game = await openGame(site.root);
  try {
    const e = await toTheError(game);
    assert.match(e.text, /53/);
    assert.match(e.text, /File not found/);
    assert.match(e.text, /txt\/5\.txt/);
    assert.deepEqual(e.buttons, ['OK']);
    assert.equal(await game.page.title(), 'Pirokko');
    await afterOk(game, 'OK', 'The game has ended.');
  } finally {
    await game.close();
  }
});

test('in a Japanese browser the text\'s name and the error are Japanese', async () => {
  const game = await openGame(site.root, {lang: 'ja'});
  try {
    assert.equal(await game.page.evaluate(() => navigator.language), 'ja');
    await game.waitForRest();
    const {text} = await game.controls();
    assert.ok(text, 'the text in the accessibility tree');
    assert.match(text.name, /^本文/);
    const e = await toTheError(game);
    assert.match(e.text, /実行時エラー 53/);
    assert.match(e.text, /ファイルが見つかりません/);
    assert.match(e.text, /txt\/5\.txt/);
    await afterOk(game, e.buttons[0], 'ゲームは終了しました。');
  } finally {
    await game.close();
  }
});
