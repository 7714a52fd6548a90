// What the benches' loads are: each a first visit's, fetched whole again
// however often the page is loaded, unless the bench asks for a returning
// player's (--warm), whose browser keeps what it was sent. The benches no
// longer tell the browser to leave its cache; the server does it, and a
// cold figure that quietly became a warm one would be much too good.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';
import {loadToFirstLine, startBenchBrowser} from '../../bench/web/serve-root.mjs';

// A page that reads a file far larger than an answer's headers, so that a
// body sent again is told apart from a copy kept or confirmed (304).
const root = fs.mkdtempSync(path.join(os.tmpdir(), 'pirokko-bench-loads-'));
fs.writeFileSync(path.join(root, 'opn.txt'), 'x'.repeat(20000));
fs.writeFileSync(path.join(root, 'index.html'), `<!doctype html><title>Loads</title>
<script>fetch('opn.txt').then((r) => r.text()).then(() => performance.mark('first-line'));</script>`);
test.after(() => fs.rmSync(root, {recursive: true, force: true}));

// What each of `loads` loads of the page moved over the wire for opn.txt.
async function transfers(browser, loads) {
  const sizes = [];
  for (let i = 0; i < loads; ++i) {
    const tab = await browser.open('about:blank');
    try {
      await loadToFirstLine(tab, browser.url('index.html'));
      sizes.push(await tab.evaluate(() => performance.getEntriesByType('resource')
        .find((e) => e.name.endsWith('/opn.txt')).transferSize));
    } finally {
      await tab.close();
    }
  }
  return sizes;
}

test("a bench's loads are first visits, and --warm's a returning player's", async () => {
  for (const warm of [false, true]) {
    const browser = await startBenchBrowser({root, warm});
    try {
      const [first, ...later] = await transfers(browser, 3);
      assert.ok(first > 20000, `the first load fetches the file (${first} bytes)`);
      for (const size of later) {
        if (warm) assert.ok(size < 20000, `a returning player's load keeps it (${size} bytes)`);
        else assert.ok(size > 20000, `every cold load fetches it again (${size} bytes)`);
      }
    } finally {
      await browser.close();
    }
  }
});
