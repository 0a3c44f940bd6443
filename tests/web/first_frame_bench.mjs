// The page's first frame and sizes, measured in the browser test's chromium
// against its own server: browser_test.mjs runs this with --figures (after
// its tests, tests/web/run.sh) or --figures-only (bench/web-first-frame.sh),
// and writes and prints what measure() returns. How the figures are read:
// docs/performance.md, "The browser build".
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

// What the first frame is measured against: a page that puts one screen on a
// canvas, served by the browser test as /bare-canvas.html.
export const bareCanvasPage = `<!DOCTYPE html><html><body><canvas id="screen" width="240" height="320"></canvas><script>
const context = document.getElementById('screen').getContext('2d', {alpha: false});
context.putImageData(new ImageData(new Uint8ClampedArray(240 * 320 * 4).fill(255), 240, 320), 0, 0);
window.zartaPage = {firstFrameMs: performance.now()};
</script></body></html>`;

// Processor time (clock ticks) of the browser and every process it started.
function browserTicks(browser) {
  const processes = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    } catch {
      continue;  // ended meanwhile
    }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    // Its own time and its reaped children's, so a process that ends moves
    // its time to its parent and the sum never falls.
    const ticks = Number(fields[11]) + Number(fields[12]) + Number(fields[13]) + Number(fields[14]);
    processes.set(Number(pid), {parent: Number(fields[1]), ticks});
  }
  const root = browser.process().pid;
  const inBrowser = (pid) => {
    // Bounded: the table is read a process at a time, and a reused id could make a loop.
    for (let at = pid, steps = 0; at > 1 && steps < processes.size; at = processes.get(at)?.parent ?? 0, ++steps) {
      if (at === root)
        return true;
    }
    return false;
  };
  let ticks = 0;
  for (const [pid, entry] of processes) {
    if (inBrowser(pid))
      ticks += entry.ticks;
  }
  return ticks;
}

// A new window keeps the browser busy for most of a second (its own address
// bar is a page of its own), which a player's open browser has long done.
// Waits until the browser has used at most one tick in each of four 50 ms
// spells in a row, or 5 s (counted in the figures); returns the wait in ms.
const settleLimitMs = 5000;
async function browserQuiet(browser) {
  const start = performance.now();
  let last = browserTicks(browser);
  for (let calm = 0; calm < 4 && performance.now() - start < settleLimitMs;) {
    await new Promise((resolve) => setTimeout(resolve, 50));
    const now = browserTicks(browser);
    calm = now - last <= 1 ? calm + 1 : 0;
    last = now;
  }
  return performance.now() - start;
}

// A load in a fresh context (no cache, no worker), navigated once the new
// window has settled, as a player types the address into an open browser
// (or at once with --settle no).
async function firstFrame(browser, url, how) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(how.viewport);
  const settleMs = how.settle ? await browserQuiet(browser) : 0;
  await page.goto(url, {waitUntil: 'load'});
  await page.waitForFunction(() => window.zartaPage && window.zartaPage.firstFrameMs !== null, how.waiting);
  const times = await page.evaluate(() => ({
    first: window.zartaPage.firstFrameMs,
    loaded: Math.max(0, ...performance.getEntriesByType('resource').filter((entry) => /zarta\.wasm$/.test(entry.name))
      .map((entry) => entry.responseEnd)),
  }));
  await context.close();
  return {...times, settleMs};
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Sizes, the first visit's transfer, and the first frame of the page and of a
// bare canvas page, loaded in turn in one run. `how` holds the site's folder
// (site), whether each load waits for a settled window (settle), the
// viewport, the browser test's polling (waiting) and its measure of a first
// visit (firstVisitTransfer), which the figures share with its test.
export async function measure(browser, siteServer, how) {
  const {base} = siteServer;
  const gzip = (file) => zlib.gzipSync(fs.readFileSync(path.join(how.site, file)), {level: 9}).length;
  // The page holds its own script and the program's loader.
  const figures = {wasmBytes: fs.statSync(path.join(how.site, 'zarta.wasm')).size,
    pageBytes: fs.statSync(path.join(how.site, 'index.html')).size,
    wasmGzip: gzip('zarta.wasm'), pageGzip: gzip('index.html'),
    workerGzip: gzip('sw.js'), firstFrameMs: [], startAfterLoadMs: [], bareCanvasMs: [], settled: how.settle,
    settleMs: []};
  figures.firstVisit = await how.firstVisitTransfer(browser, siteServer);
  for (let run = 0; run < 11; ++run) {
    const times = await firstFrame(browser, `${base}/?offline=no`, how);
    figures.firstFrameMs.push(times.first);
    figures.startAfterLoadMs.push(times.first - times.loaded);
    const bare = await firstFrame(browser, `${base}/bare-canvas.html`, how);
    figures.bareCanvasMs.push(bare.first);
    figures.settleMs.push(Math.round(times.settleMs), Math.round(bare.settleMs));
  }
  figures.firstFrameMedianMs = median(figures.firstFrameMs);
  figures.firstFrameWorstMs = Math.max(...figures.firstFrameMs);
  figures.startAfterLoadMedianMs = median(figures.startAfterLoadMs);
  figures.bareCanvasMedianMs = median(figures.bareCanvasMs);
  figures.bareCanvasWorstMs = Math.max(...figures.bareCanvasMs);
  figures.settleGaveUp = figures.settleMs.filter((wait) => wait >= settleLimitMs).length;
  return figures;
}

// The figures in one line, as a run prints them.
export function summary(figures) {
  return `figures: wasm ${figures.wasmGzip} B gzip, the page with its scripts ${figures.pageGzip} B gzip, ` +
    `first visit ${figures.firstVisit.gzipBytes} B gzip, ` +
    `first frame ${figures.firstFrameMedianMs.toFixed(1)} ms (median of ${figures.firstFrameMs.length}, worst ` +
    `${figures.firstFrameWorstMs.toFixed(1)}), ${figures.startAfterLoadMedianMs.toFixed(1)} ms of it after the ` +
    `wasm arrived; a bare canvas page ${figures.bareCanvasMedianMs.toFixed(1)} ms (worst ` +
    `${figures.bareCanvasWorstMs.toFixed(1)}); ` +
    (figures.settled ? `each load once the new window had settled (median wait ${median(figures.settleMs)} ms, ` +
      `${figures.settleGaveUp} gave up waiting after ${settleLimitMs / 1000} s)` : 'each load at once in its new window');
}
