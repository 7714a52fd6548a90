#!/usr/bin/env node
// Navigation to the opening's first line on the screen, in headless
// Chromium: the median over --runs fresh tabs, with the HTTP cache off. The
// page marks the moment with performance.mark("first-line") (its time, from
// the navigation's start, is what is measured).

import path from 'node:path';
import {startBrowser} from '../../web/test/driver.mjs';
import {layOut, median, repo, usage} from './serve-root.mjs';

const help = `usage: bench/web/first-line.mjs [--runs N] PAGE_FOLDER
  PAGE_FOLDER holds index.html; e.g. bench/web/first-line (the bare page)
`;
const {page, runs} = usage(help, process.argv.slice(2), {runs: 15});
const {root, remove} = layOut(page);
const browser = await startBrowser({root});
const times = [];
try {
  // One run before counting: the browser's own first start is not the page's.
  for (let i = 0; i < runs + 1; ++i) {
    const tab = await browser.open('about:blank');
    await tab.cdp.send('Network.enable');
    await tab.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    await tab.page.goto(browser.url('index.html'));
    await tab.waitFor(() => performance.getEntriesByName('first-line').length > 0, {polling: 10});
    const ms = await tab.evaluate(() => performance.getEntriesByName('first-line')[0].startTime);
    if (i > 0) times.push(ms);
    await tab.close();
  }
} finally {
  await browser.close();
  remove();
}
const name = path.relative(repo, path.resolve(page)) || page;
console.log(`${name}: navigation to first line ${median(times).toFixed(1)} ms ` +
            `(median of ${runs}; ${Math.min(...times).toFixed(1)}-${Math.max(...times).toFixed(1)})`);
