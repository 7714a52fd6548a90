// Lays out a page folder for a bench: the page's own files, with the game's
// txt/, img/ and bgm.wav and the decoder module beside them where the page
// has none. The music is the release build's (ninja -C build bgm_wav), or
// $PIROKKO_BGM_WAV.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {startBrowser} from '../../web/test/driver.mjs';

export const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

export function layOut(pageDir) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-bench-'));
  fs.cpSync(pageDir, root, {recursive: true});
  const music = process.env.PIROKKO_BGM_WAV || path.join(repo, 'build/bgm.wav');
  for (const [name, from] of [['txt', 'game/txt'], ['img', 'game/img'], ['bgm.wav', music],
                              ['cp932.mjs', 'web/cp932.mjs']]) {
    if (fs.existsSync(path.join(root, name))) continue;
    const source = path.resolve(repo, from);
    if (!fs.existsSync(source)) {
      fs.rmSync(root, {recursive: true, force: true});
      throw new Error(`${source} is missing` + (name === 'bgm.wav' ? ': ninja -C build bgm_wav writes it' : ''));
    }
    fs.cpSync(source, path.join(root, name), {recursive: true});
  }
  return {root, remove: () => fs.rmSync(root, {recursive: true, force: true})};
}

// A browser for a bench's loads of the page folder laid out at `root`, with
// none of the driver's watching of the network on the page's thread. Each
// load is a first visit's, its server telling the browser to keep nothing;
// with `warm`, a returning player's: the server names each file's version,
// as most hosts do, and the browser keeps what it was sent. `autoplay`: the
// music plays without a gesture (the idle bench).
export function startBenchBrowser({root, warm = false, args = [], autoplay = false}) {
  return startBrowser({root, args, autoplay, network: false, validators: warm, fresh: !warm});
}

// A load of `url` in `tab`, up to the page's "first-line" mark.
export async function loadToFirstLine(tab, url) {
  await tab.page.goto(url);
  await tab.waitFor(() => performance.getEntriesByName('first-line').length > 0, {polling: 10});
}

// A page folder as the benches print it: from the repository where it lies
// in it.
export function pageName(page) {
  return path.relative(repo, path.resolve(page)) || page;
}

export function median(values) {
  const s = [...values].sort((a, b) => a - b);
  const m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
}

// The mean of the middle values, the highest and lowest `cut` of them left
// out: finer than the median where the browser rounds what it reports (a
// paint's time, to 4 ms), and as deaf to a stray slow load.
export function trimmedMean(values, cut = 0.15) {
  const s = [...values].sort((a, b) => a - b);
  const k = Math.floor(s.length * cut);
  const kept = s.slice(k, s.length - k);
  return kept.reduce((sum, v) => sum + v, 0) / kept.length;
}

// Where `statistic` of `values` lies, 95 times in 100, were the values drawn
// again: the middle 95 % of it over resamples of them (the bootstrap), drawn
// by a fixed sequence so that the same values give the same interval.
export function interval95(values, statistic, rounds = 2000) {
  let seed = 12345;
  const next = () => (seed = (Math.imul(seed, 1103515245) + 12345) >>> 0) / 2 ** 32;
  const figures = [];
  for (let r = 0; r < rounds; ++r) {
    figures.push(statistic(values.map(() => values[Math.floor(next() * values.length)])));
  }
  figures.sort((a, b) => a - b);
  return [figures[Math.floor(rounds * 0.025)], figures[Math.ceil(rounds * 0.975) - 1]];
}

// The options of a bench's command line (each --name N, defaults in
// `options`; a name whose default is `false` is a switch, given alone, and
// one whose default is a string takes any word) and its `pages` page
// folders, each holding an index.html.
export function usage(text, argv, options, pages = 1) {
  const args = {};
  const rest = [];
  for (let i = 0; i < argv.length; ++i) {
    const a = argv[i];
    if (a === '--help') {
      process.stdout.write(text);
      process.exit(0);
    }
    if (a.startsWith('--')) {
      const name = a.slice(2);
      if (options[name] === false) {
        args[name] = true;
        continue;
      }
      if (typeof options[name] === 'string' && i + 1 < argv.length) {
        args[name] = argv[++i];
        continue;
      }
      if (!(name in options) || i + 1 >= argv.length || !/^\d+$/.test(argv[i + 1])) {
        process.stderr.write(text);
        process.exit(2);
      }
      args[name] = Number(argv[++i]);
    } else {
      rest.push(a);
    }
  }
  if (rest.length !== pages) {
    process.stderr.write(text);
    process.exit(2);
  }
  for (const page of rest) {
    if (!fs.existsSync(path.join(page, 'index.html'))) {
      process.stderr.write(`${page}: no index.html in this folder\n`);
      process.exit(2);
    }
  }
  return {...options, ...args, page: rest[0], pages: rest};
}
