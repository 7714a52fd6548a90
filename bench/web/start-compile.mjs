#!/usr/bin/env node
// How much of the engine's wasm the browser compiles before the opening's
// first line: it compiles each function on the page's own thread at its
// first call, so the code the game's start runs is compiled on the path to
// the line. Unlike a time, the functions and bytes are the same from one
// load to the next whatever the machine's load, which makes this the
// figure to weigh a change of the start's code by; the time is as traced
// (tracing slows it), for scale only.
//
//   bench/web/start-compile.mjs [--runs N] [--top N] PAGE_FOLDER
//
// Functions are named where the wasm keeps their names (linked with
// --profiling-funcs), else by number.

import fs from 'node:fs';
import path from 'node:path';
import {layOut, loadToFirstLine, median, pageName, startBenchBrowser, usage} from './serve-root.mjs';
import {wasmFunctions} from './wasm-functions.mjs';

const help = `usage: bench/web/start-compile.mjs [--runs N] [--top N] PAGE_FOLDER
  PAGE_FOLDER holds index.html and pirokko.wasm, e.g. build-web/site
`;
const {page, runs, top} = usage(help, process.argv.slice(2), {runs: 3, top: 10});
const wasmPath = path.join(page, 'pirokko.wasm');
if (!fs.existsSync(wasmPath)) {
  process.stderr.write(`${wasmPath}: no such file\n`);
  process.exit(2);
}
const module = wasmFunctions(fs.readFileSync(wasmPath));

async function compiledBeforeLine(browser) {
  const tab = await browser.open('about:blank');
  try {
    await tab.page.tracing.start({categories: ['v8.wasm', 'blink.user_timing']});
    await loadToFirstLine(tab, browser.url('index.html'));
    const events = JSON.parse(Buffer.from(await tab.page.tracing.stop()).toString()).traceEvents;
    const line = events.find((e) => e.name === 'first-line');
    if (!line) throw new Error('the trace holds no first-line mark');
    return events.filter((e) => e.name === 'wasm.CompileLazy' && e.pid === line.pid && e.ts < line.ts);
  } finally {
    await tab.close();
  }
}

const {root, remove} = layOut(page);
const browser = await startBenchBrowser({root});
const loads = [];
try {
  await compiledBeforeLine(browser);  // the browser's own first start is not the page's
  for (let i = 0; i < runs; ++i) loads.push(await compiledBeforeLine(browser));
} finally {
  await browser.close();
  remove();
}

// Each load's functions (a function is compiled once), and what they weigh.
const figures = loads.map((compiled) => {
  const functions = [...new Set(compiled.map((e) => e.args.func_index))];
  return {
    functions,
    bytes: functions.reduce((sum, i) => sum + module.size(i), 0),
    ms: compiled.reduce((sum, e) => sum + e.dur, 0) / 1000,
  };
});
const bytes = median(figures.map((f) => f.bytes));
console.log(`${pageName(page)}: compiled before the first line, median of ${runs} loads:`);
console.log(`  ${median(figures.map((f) => f.functions.length))} of ${module.count} functions, ` +
            `${(bytes / 1024).toFixed(1)} of ${(module.bytes / 1024).toFixed(1)} KiB of code ` +
            `(${((100 * bytes) / module.bytes).toFixed(0)} %), ` +
            `${median(figures.map((f) => f.ms)).toFixed(1)} ms as traced`);
const largest = figures.at(-1).functions.sort((a, b) => module.size(b) - module.size(a));
console.log(`  the largest, in bytes:`);
for (const index of largest.slice(0, top)) console.log(`  ${String(module.size(index)).padStart(7)}  ${module.name(index)}`);
