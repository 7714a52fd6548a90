#!/usr/bin/env node
// The CPU a page's renderer uses while the page waits, in headless Chromium,
// against a baseline page: user + system time of the renderer processes from
// /proc over --seconds, as a percentage of one core, after --settle seconds.
//
// The load of a shared machine drifts by more than the difference measured,
// so the two pages are measured side by side, each in a fresh browser over
// the same seconds, in each of --rounds rounds, and the ratio is the median
// of each round's own ratio. As in a player's browser, nothing watches the
// pages' network (the game's music goes on fetching as it plays).

import fs from 'node:fs';
import {layOut, median, pageName, startBenchBrowser, usage} from './serve-root.mjs';

const help = `usage: bench/web/idle.mjs [--seconds S] [--settle S] [--rounds N] BASELINE PAGE
  Each folder holds index.html; e.g. bench/web/idle (a bare 4 ms timer) and
  build-web/site (the game, its music looping once it has gone round once
  after --settle 12)
`;
const {pages, seconds, settle, rounds} =
  usage(help, process.argv.slice(2), {seconds: 10, settle: 12, rounds: 5}, 2);
const ticksPerSecond = 100;  // USER_HZ on Linux

function cpuTicks(pid) {
  const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[11]) + Number(fields[12]);  // utime + stime
}

const sleep = (s) => new Promise((r) => setTimeout(r, s * 1000));

// Both pages' renderer CPU over the same `seconds`, in % of a core: each in
// a fresh browser, the two open at once, so that whatever else the machine
// is doing falls on both alike.
async function measureBoth() {
  const sites = pages.map((page) => layOut(page));
  const browsers = [];
  try {
    for (const {root} of sites) browsers.push(await startBenchBrowser({root, autoplay: true}));
    await Promise.all(browsers.map((b) => b.open('index.html')));
    await sleep(settle);
    const pids = await Promise.all(browsers.map((b) => b.rendererPids()));
    const t0 = process.hrtime.bigint();
    const before = pids.map((list) => list.map(cpuTicks));
    await sleep(seconds);
    const after = pids.map((list) => list.map(cpuTicks));
    const wall = Number(process.hrtime.bigint() - t0) / 1e9;
    return after.map((ticks, k) => {
      const used = ticks.reduce((sum, v, i) => sum + v - before[k][i], 0) / ticksPerSecond;
      return (100 * used) / wall;
    });
  } finally {
    for (const b of browsers) await b.close();
    for (const site of sites) site.remove();
  }
}

const figures = pages.map(() => []);
for (let round = 0; round < rounds; ++round) {
  const both = await measureBoth();
  both.forEach((v, i) => figures[i].push(v));
}
const ratios = figures[1].map((v, i) => v / figures[0][i]);
for (const [i, page] of pages.entries()) {
  console.log(`${pageName(page)}: renderer CPU ${median(figures[i]).toFixed(2)} % of a core ` +
              `(median of ${rounds} rounds of ${seconds} s after ${settle} s; ` +
              `${figures[i].map((v) => v.toFixed(2)).join(', ')})`);
}
console.log(`Idle CPU, ${pageName(pages[1])} against ${pageName(pages[0])}: ${median(ratios).toFixed(2)}x ` +
            `(median of the rounds' ratios; ${Math.min(...ratios).toFixed(2)}-${Math.max(...ratios).toFixed(2)})`);
