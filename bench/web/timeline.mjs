#!/usr/bin/env node
// Where the time to the first line goes: each resource's fetch and the
// page's own marks, for a few fresh loads of a page (no cache).
//
//   bench/web/timeline.mjs [--runs N] PAGE_FOLDER

import {layOut, loadToFirstLine, startBenchBrowser, usage} from './serve-root.mjs';

const help = `usage: bench/web/timeline.mjs [--runs N] PAGE_FOLDER\n`;
const {page, runs} = usage(help, process.argv.slice(2), {runs: 3});
const {root, remove} = layOut(page);
const browser = await startBenchBrowser({root});
try {
  for (let i = 0; i < runs; ++i) {
    const tab = await browser.open('about:blank');
    await loadToFirstLine(tab, browser.url('index.html'));
    const lines = await tab.evaluate(() => {
      const at = (t) => t.toFixed(0).padStart(5);
      const out = [];
      for (const e of performance.getEntriesByType('resource'))
        out.push(`${at(e.startTime)} ${at(e.responseEnd)}  ${e.name.split('/').slice(-2).join('/')}`);
      for (const m of performance.getEntriesByType('mark')) out.push(`${at(m.startTime)}        mark ${m.name}`);
      return out.sort();
    });
    console.log(`load ${i + 1}:\n  ` + lines.join('\n  '));
    await tab.close();
  }
} finally {
  await browser.close();
  remove();
}
