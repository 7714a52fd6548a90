// The web edition plays as the desktop does. Chance and the clock differ
// between the two (the seed comes from the clock on both), so what is
// compared is what they decide alike: every text shown, in order, with its
// rows and marks; what the chooser offers after each step; the errors. The
// desktop's side comes from game_dump, which plays the same steps on the
// desktop backend under a clock of its own.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';
import {layOutSite, openGame, repo} from './game.mjs';

function desktop(folder, steps, language = 'en') {
  assert.ok(process.env.PIROKKO_GAME_DUMP, 'PIROKKO_GAME_DUMP is set');
  return execFileSync(process.env.PIROKKO_GAME_DUMP, [folder, ...steps], {
    encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'],
    env: {...process.env, LANGUAGE: language, QT_QPA_PLATFORM: 'offscreen'},
  }).trim().split('\n');
}

// The same steps in the browser, written as game_dump writes them.
async function web(game, steps) {
  const out = [];
  let seen = 0;
  const texts = async () => {
    const shown = await game.shown();
    for (const t of shown.slice(seen)) out.push(`text ${JSON.stringify(t)}`);
    seen = shown.length;
  };
  const chooser = async () => out.push(`chooser ${await game.chooser()}`);
  const error = async () => {
    const c = await game.controls();
    if (!c.dialog) return false;
    out.push(`error ${await game.page.evaluate(() => document.querySelector('dialog').innerText)}`);
    return true;
  };
  await game.playToChooser();
  await texts();
  await chooser();
  for (const step of steps) {
    const [kind, what] = step.split(':');
    if (kind === 'box') {
      await game.clickBox(what);
      await chooser();
      continue;
    }
    await game.clickSceneButton(what);
    if (await error()) break;
    await game.playToChooser();
    await texts();
    await chooser();
  }
  return out;
}

// A whole game of the shipped content: every pair of boxes and all three,
// each scene once, the last scene's button alone once 0 to 6 are played, and
// its scene's return to the title, after which the boxes are clear and a
// box reveals nothing.
const wholeGame = ['box:月', 'box:星', 'play:6', 'play:1', 'play:2', 'box:森', 'play:4', 'play:0',
  'box:月', 'play:5', 'play:3', 'box:月', 'play:7', 'box:森'];

test('a whole game shows the same texts and the same chooser as on the desktop', async (t) => {
  const expected = desktop(path.join(repo, 'game'), wholeGame);
  assert.ok(expected.includes('chooser boxes [月星森] buttons [7]'), expected.join('\n'));
  const site = layOutSite();
  const game = await openGame(site.root);
  try {
    const got = await web(game, wholeGame);
    t.diagnostic(`${got.length} lines`);
    for (let i = 0; i < Math.max(got.length, expected.length); ++i) {
      assert.equal(got[i], expected[i], `line ${i + 1} of the transcript`);
    }
  } finally {
    await game.close();
    site.remove();
  }
});

// A picture that is no GIF, for scene 3: the game plays on to the moment
// the scene is chosen, and stops there with the desktop's error.
test('a broken picture stops the game when its scene is chosen, as on the desktop', async () => {
  const broken = fs.mkdtempSync(path.join(process.env.TMPDIR || '/tmp', 'pirokko-broken-'));
  try {
    fs.cpSync(path.join(repo, 'game'), broken, {recursive: true});
    fs.writeFileSync(path.join(broken, 'img/3.gif'), 'GIF? no: plain text\n');
    const steps = ['box:星', 'box:森', 'play:3'];
    const expected = desktop(broken, steps);
    const last = expected.pop();
    const [, number, description, file] = last.match(/^error (\d+) (".*") GAME\/(.*)$/);
    const site = layOutSite({game: broken});
    const game = await openGame(site.root);
    try {
      const got = await web(game, steps);
      const said = got.pop();
      assert.deepEqual(got, expected);
      assert.match(said, /^error /);
      assert.ok(said.includes(number), said);
      assert.ok(said.includes(JSON.parse(description)), said);
      assert.ok(said.includes(file), said);
    } finally {
      await game.close();
      site.remove();
    }
  } finally {
    fs.rmSync(broken, {recursive: true, force: true});
  }
});
