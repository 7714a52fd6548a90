#!/usr/bin/env node
// The CPU a page's renderer uses while the page waits, in headless Chromium:
// user + system time of the renderer process from /proc over --seconds, as a
// percentage of one core, and the main thread's task time that Chromium
// itself reports (Performance.getMetrics TaskDuration) over the same span.

import fs from 'node:fs';
import path from 'node:path';
import {startBrowser} from '../../web/test/driver.mjs';
import {layOut, repo, usage} from './serve-root.mjs';

const help = `usage: bench/web/idle.mjs [--seconds S] [--settle S] PAGE_FOLDER
  PAGE_FOLDER holds index.html; e.g. bench/web/idle (a bare 4 ms timer)
`;
const {page, seconds, settle} = usage(help, process.argv.slice(2), {seconds: 10, settle: 2});
const ticksPerSecond = 100;  // USER_HZ on Linux

function cpuTicks(pid) {
  const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[11]) + Number(fields[12]);  // utime + stime
}

const {root, remove} = layOut(page);
const browser = await startBrowser({root, autoplay: true});
try {
  const tab = await browser.open('index.html');
  await tab.cdp.send('Performance.enable');
  await new Promise((r) => setTimeout(r, settle * 1000));
  const pids = await browser.rendererPids();
  const taskDuration = async () =>
    (await tab.cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const t0 = process.hrtime.bigint();
  const before = pids.map(cpuTicks);
  const task0 = await taskDuration();
  await new Promise((r) => setTimeout(r, seconds * 1000));
  const task1 = await taskDuration();
  const after = pids.map(cpuTicks);
  const wall = Number(process.hrtime.bigint() - t0) / 1e9;
  const each = after.map((v, i) => (v - before[i]) / ticksPerSecond);
  const used = each.reduce((s, v) => s + v, 0);
  const name = path.relative(repo, path.resolve(page)) || page;
  console.log(`${name}: renderer CPU ${(100 * used / wall).toFixed(2)} % of a core over ${wall.toFixed(1)} s ` +
              `(${pids.length} renderer processes, the busiest ${(100 * Math.max(...each) / wall).toFixed(2)} %); ` +
              `main-thread tasks ${(100 * (task1 - task0) / wall).toFixed(2)} %`);
} finally {
  await browser.close();
  remove();
}
