#!/usr/bin/env node
// Navigation to the opening's first line on the screen, in headless
// Chromium, against a baseline page: the median (and the mean of the middle
// 70 %) over --runs fresh tabs each, each load a first visit's: the server
// has the browser keep nothing. A page marks the moment with
// performance.mark("first-line") (its time, from the navigation's start, is
// what is measured); both the bare page and the game's mark the paint the
// browser reports for the line's element (Element Timing), so that each
// includes the frame that puts the line on the screen.
//
// The loads are watched no more than a player's are: the protocol's network
// agent, which reports every request and every piece of a body from the
// page's own thread, stays off (with it on, the game's page, with more files
// and more bytes, was slowed more than the bare page).
//
// With --page-flags, the second page's browser starts with those flags
// (words split at spaces) and the baseline's without: what a browser-side
// cost weighs, e.g. --page-flags --js-flags=--no-wasm-tier-up for the
// browser's recompiling of hot wasm functions.
//
// With --warm, the loads are a returning player's: the server names each
// file's version, as most hosts do, and the browser keeps its HTTP cache
// (and with it the code it compiled from the scripts and the wasm) from one
// load to the next; three loads of each page before counting fill it.
//
// The two pages take turns, a tab of one and then a tab of the other, so
// that a change in the machine's load falls on both alike; and each pair of
// loads gives a ratio of its own. On a shared machine the load drifts by
// more than the difference measured, from one run of the bench to the next
// as within one, so the figure is the median of the pairs' ratios, with
// the interval that holds 95 % of it when the pairs are drawn again.

import {interval95, layOut, loadToFirstLine, median, pageName, startBenchBrowser, trimmedMean, usage} from './serve-root.mjs';

const help = `usage: bench/web/first-line.mjs [--runs N] [--warm] [--page-flags FLAGS] BASELINE PAGE
  Each folder holds index.html; e.g. bench/web/first-line (the bare page)
  and build-web/site (the game). --warm: a returning player's loads, the
  browser's cache kept. --page-flags: Chromium flags for PAGE's browser only
`;
const options = {runs: 15, warm: false, 'page-flags': ''};
const {pages, runs, warm, 'page-flags': pageFlags} = usage(help, process.argv.slice(2), options, 2);

async function firstLine(browser) {
  const tab = await browser.open('about:blank');
  try {
    await loadToFirstLine(tab, browser.url('index.html'));
    return await tab.evaluate(() => performance.getEntriesByName('first-line')[0].startTime);
  } finally {
    await tab.close();
  }
}

const sites = pages.map((page) => ({page, ...layOut(page), times: []}));
try {
  for (const site of sites) {
    const args = site === sites[1] ? pageFlags.split(' ').filter((flag) => flag) : [];
    site.browser = await startBenchBrowser({root: site.root, warm, args});
    // One run before counting: the browser's own first start is not the
    // page's; three to fill the cache.
    for (let i = warm ? 3 : 1; i > 0; --i) await firstLine(site.browser);
  }
  for (let i = 0; i < runs; ++i) {
    for (const site of i % 2 ? [...sites].reverse() : sites) site.times.push(await firstLine(site.browser));
  }
} finally {
  for (const site of sites) {
    await site.browser?.close();
    site.remove();
  }
}
for (const {page, times} of sites) {
  console.log(`${pageName(page)}: navigation to first line ${median(times).toFixed(1)} ms ` +
              `(median of ${runs}; ${Math.min(...times).toFixed(1)}-${Math.max(...times).toFixed(1)}; ` +
              `mean of the middle 70 %: ${trimmedMean(times).toFixed(1)} ms)`);
}
const [bareMean, gameMean] = sites.map((s) => trimmedMean(s.times));
const ratios = sites[1].times.map((t, i) => t / sites[0].times[i]);
const [low, high] = interval95(ratios, median);
console.log(`First line${warm ? ', the cache kept' : ''}${pageFlags ? `, flags ${pageFlags}` : ''}, ` +
            `${pageName(pages[1])} against ${pageName(pages[0])}: ` +
            `${median(ratios).toFixed(2)}x, ` +
            `the median of ${runs} pairs' ratios (95 % interval ${low.toFixed(2)}-${high.toFixed(2)}x; ` +
            `of the means of the middle 70 %: ${(gameMean / bareMean).toFixed(2)}x)`);
