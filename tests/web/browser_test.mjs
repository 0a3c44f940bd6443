// The web build in Debian's headless chromium, played as a person plays it:
// real pointer events (touch on a phone, the mouse on a desktop) at the
// device pixels the game shows, real key presses.
//
// node browser_test.mjs --site DIR --frames FILE --script FILE [--shots DIR] [--figures FILE]
//   --frames  the native headless screens for --script (zarta-screens SCRIPT FILE)
//   --shots   where the phone and desktop screenshots go
//   --figures where the sizes and first-frame times are written (JSON)
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

const options = {};
for (let i = 2; i < process.argv.length; i += 2)
  options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (!options.site || !options.frames || !options.script) {
  console.error('usage: node browser_test.mjs --site DIR --frames FILE --script FILE [--shots DIR] [--figures FILE]');
  process.exit(2);
}

const screenWidth = 240;
const screenHeight = 320;
const ids = {table1: 11111, south1: 11114, stop: 11132, pass: 11133, newGame: 40005, about: 40003, exit: 40004};
const answers = {ok: 1, yes: 6, no: 7};
// Polled on a timer rather than on animation frames, which a browser may hold back for a tab it does not show.
const waiting = {timeout: 30000, polling: 10};

// ---- A local server for the site ---------------------------------------------

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml'};

function serve(root) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let file = path.join(root, decodeURIComponent(url.pathname));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    if (file.endsWith('/'))
      file += 'index.html';
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache'});
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- Driving the page ---------------------------------------------------------

const phone = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const desktop = {width: 1280, height: 800, deviceScaleFactor: 1, isMobile: false, hasTouch: false};

class Game {
  constructor(page, viewport) {
    this.page = page;
    this.viewport = viewport;
    this.problems = [];
    page.on('pageerror', (error) => this.problems.push(`page error: ${error.message}`));
    page.on('console', (message) => {
      if (message.type() === 'error' || message.type() === 'warn')
        this.problems.push(`console ${message.type()}: ${message.text()}`);
    });
    page.on('requestfailed', (request) => this.problems.push(`request failed: ${request.url()}`));
  }

  static async open(context, base, query, viewport) {
    const page = await context.newPage();
    await page.setViewport(viewport);
    const game = new Game(page, viewport);
    await page.goto(`${base}/${query}`, {waitUntil: 'load'});
    await game.waitIdle(0);
    return game;
  }

  async idleCount() {
    return this.page.evaluate(() => (window.zartaPage ? window.zartaPage.idleCount : 0));
  }

  // Waits until the program has waited for input more than `after` times; returns what it shows.
  async waitIdle(after) {
    await this.page.waitForFunction((count) => window.zartaPage && window.zartaPage.idleCount > count,
      waiting, after);
    return this.page.evaluate(() => window.zartaPage.status);
  }

  async status() {
    return this.page.evaluate(() => window.zartaPage.status);
  }

  // Where device pixel (x, y) lies on the page, in CSS pixels: the middle of the screen pixel.
  async pagePoint(x, y) {
    const box = await this.page.$eval('#screen', (canvas) => {
      const r = canvas.getBoundingClientRect();
      return {left: r.left, top: r.top, width: r.width, height: r.height};
    });
    return {x: box.left + (x + 0.5) * box.width / screenWidth, y: box.top + (y + 0.5) * box.height / screenHeight};
  }

  // One input that the program takes, then waits again.
  async act(doIt) {
    const before = await this.idleCount();
    await doIt();
    return this.waitIdle(before);
  }

  async tap(x, y) {
    const point = await this.pagePoint(x, y);
    if (this.viewport.hasTouch)
      await this.page.touchscreen.tap(point.x, point.y);
    else
      await this.page.mouse.click(point.x, point.y);
  }

  async tapAt(x, y) {
    return this.act(() => this.tap(x, y));
  }

  static middle(spot) {
    return [Math.floor((spot[0] + spot[2] - 1) / 2), Math.floor((spot[1] + spot[3] - 1) / 2)];
  }

  async tapSpot(spot) {
    return this.tapAt(...Game.middle(spot));
  }

  async tapControl(id) {
    const status = await this.status();
    if (!status.controls[id])
      throw new Error(`control ${id} is not shown`);
    return this.tapSpot(status.controls[id]);
  }

  // "Game", then the item; Exit ends the program, so nothing waits after it.
  async chooseMenu(command) {
    const status = await this.status();
    const opened = await this.tapSpot(status.menuButton[0]);
    if (!opened.popup || !opened.popupItems[command])
      throw new Error(`the menu did not open with item ${command}`);
    if (command === ids.exit)
      return this.tap(...Game.middle(opened.popupItems[command]));
    return this.tapSpot(opened.popupItems[command]);
  }

  async answerBox(answer) {
    const status = await this.status();
    if (!status.box || !status.boxButtons[answer])
      throw new Error(`no box with answer ${answer}`);
    return this.tapSpot(status.boxButtons[answer]);
  }

  async press(key, control = false) {
    return this.act(async () => {
      if (control)
        await this.page.keyboard.down('Control');
      await this.page.keyboard.press(key);
      if (control)
        await this.page.keyboard.up('Control');
    });
  }

  async canvasPixels() {
    // Read through a copy, so the page's own canvas keeps its fast path.
    return this.page.$eval('#screen', (canvas) => {
      const copy = document.createElement('canvas');
      copy.width = canvas.width;
      copy.height = canvas.height;
      const context = copy.getContext('2d', {willReadFrequently: true});
      context.drawImage(canvas, 0, 0);
      return Array.from(context.getImageData(0, 0, copy.width, copy.height).data);
    });
  }

  async notice() {
    return this.page.$eval('#notice', (element) =>
      (element.classList.contains('shown') ? element.querySelector('p').textContent : null));
  }

  async close() {
    await this.page.close();
    if (this.problems.length > 0)
      throw new Error(this.problems.join('\n'));
  }
}

// ---- The tests ----------------------------------------------------------------

const tests = [];
function test(name, body) {
  tests.push({name, body});
}

// The phone and the desktop show the screen at a whole number of device pixels per screen pixel.
async function checkWholeScale(game) {
  const scale = await game.page.$eval('#screen', (canvas) => {
    const r = canvas.getBoundingClientRect();
    return {x: r.width * devicePixelRatio / 240, y: r.height * devicePixelRatio / 320, left: r.left, top: r.top};
  });
  // Layout keeps sizes in 1/64 CSS pixel steps; the canvas lands on whole device pixels.
  scale.x = Math.round(scale.x * 100) / 100;
  scale.y = Math.round(scale.y * 100) / 100;
  if (!Number.isInteger(scale.x) || scale.x !== scale.y || scale.x < 1)
    throw new Error(`the screen is scaled by ${scale.x} x ${scale.y}`);
  return scale;
}

test('the page fills a phone at a whole scale with the board waiting', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0&seconds=33', phone);
  const scale = await checkWholeScale(game);
  if (scale.x !== 4)
    throw new Error(`a 390 x 844 phone at 3x should show the screen 4 times, not ${scale.x}`);
  const scrolls = await game.page.evaluate(() =>
    document.documentElement.scrollHeight > innerHeight || document.documentElement.scrollWidth > innerWidth);
  if (scrolls)
    throw new Error('the page scrolls');
  if (await game.page.title() !== 'Zarta')
    throw new Error(`title ${await game.page.title()}`);
  await game.chooseMenu(ids.newGame);
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  await game.tapControl(ids.south1 + 1);
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-phone.png')});
  await game.close();
});

test('the manifest installs a portrait standalone app whose icons exist at their sizes', async ({context, base}) => {
  const page = await context.newPage();
  await page.goto(`${base}/manifest.webmanifest`);
  const manifest = JSON.parse(await page.evaluate(() => document.body.innerText));
  if (manifest.name !== 'Zarta' || manifest.display !== 'standalone' || manifest.orientation !== 'portrait')
    throw new Error(`manifest ${JSON.stringify(manifest)}`);
  for (const icon of manifest.icons) {
    const file = fs.readFileSync(path.join(options.site, icon.src));
    if (icon.type === 'image/png') {
      // The PNG header's width and height, big-endian at bytes 16 and 20.
      const size = `${file.readUInt32BE(16)}x${file.readUInt32BE(20)}`;
      if (size !== icon.sizes)
        throw new Error(`${icon.src} is ${size}, the manifest says ${icon.sizes}`);
    } else if (!file.toString().includes('<svg')) {
      throw new Error(`${icon.src} is no SVG drawing`);
    }
  }
  if (!manifest.icons.some((icon) => icon.sizes === '512x512') || !manifest.icons.some((icon) => icon.sizes === '192x192'))
    throw new Error('an installed app needs a 192 and a 512 pixel icon');
});

test('a desktop window shows the screen centred at a whole scale', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&seconds=20&pace=0', desktop);
  const scale = await checkWholeScale(game);
  if (scale.x !== 2 || Math.abs(scale.left - (1280 - 480) / 2) > 0.5)
    throw new Error(`scale ${scale.x} at left ${scale.left}`);
  await game.chooseMenu(ids.newGame);
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-desktop.png')});
  await game.close();
});

test('the canvas shows the same pixels as the headless screen after every input', async ({context, base}) => {
  const frameSize = screenWidth * screenHeight * 3;
  const frames = fs.readFileSync(options.frames);
  const lines = fs.readFileSync(options.script, 'utf8').split('\n').map((line) => line.replace(/#.*/, '').trim())
    .filter((line) => line.length > 0);
  const seconds = lines.find((line) => line.startsWith('seconds')).split(/\s+/)[1];
  const steps = lines.filter((line) => !line.startsWith('seconds'));
  if (frames.length !== frameSize * (steps.length + 1))
    throw new Error(`${frames.length / frameSize} reference frames for ${steps.length} inputs`);
  const keyNames = {13: 'Enter', 27: 'Escape', 38: 'ArrowUp', 40: 'ArrowDown'};

  const game = await Game.open(context, base, `?offline=no&pace=0&seconds=${seconds}`, desktop);
  for (let step = 0; step <= steps.length; ++step) {
    const pixels = await game.canvasPixels();
    for (let i = 0; i < screenWidth * screenHeight; ++i) {
      const reference = frames.subarray(step * frameSize + i * 3, step * frameSize + i * 3 + 3);
      if (pixels[i * 4] !== reference[0] || pixels[i * 4 + 1] !== reference[1] || pixels[i * 4 + 2] !== reference[2]) {
        throw new Error(`after input ${step} (${steps[step - 1] || 'start-up'}): pixel (${i % screenWidth}, ` +
          `${Math.floor(i / screenWidth)}) is ${pixels.slice(i * 4, i * 4 + 3)}, headless ${Array.from(reference)}`);
      }
    }
    if (step === steps.length)
      break;
    const [kind, a, b] = steps[step].split(/\s+/);
    if (kind === 'tap')
      await game.tapAt(Number(a), Number(b));
    else
      await game.press(keyNames[a] || String.fromCharCode(Number(a)).toLowerCase(), b === 'ctrl');
  }
  await game.close();
});

test('a whole game with touch taps: New, the box, exchanges, Stop and Pass, to Game Over; About; Exit',
  async ({context, base}) => {
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=41', phone);
    await game.chooseMenu(ids.newGame);
    const seen = {exchange: 0, stop: 0, pass: 0, keepBox: 0};
    let gameOver = null;
    for (let input = 0; input < 3000 && !gameOver; ++input) {
      const status = await game.status();
      if (status.box) {
        const [text, caption] = status.boxText;
        if (caption === 'Game Over') {
          gameOver = text;
          await game.answerBox(answers.ok);
        } else if (text === 'Keep this cards?') {
          seen.keepBox += 1;
          await game.answerBox(seen.keepBox % 2 ? answers.yes : answers.no);
        } else {
          await game.answerBox(status.boxButtons[answers.ok] ? answers.ok : answers.yes);
        }
        continue;
      }
      // The human's turn: an exchange, a Pass and a Stop in turn, each when the board offers it.
      const turn = input % 3;
      if (turn === 2 && status.controls[ids.stop]) {
        seen.stop += 1;
        await game.tapControl(ids.stop);
      } else if (turn === 1 && status.controls[ids.pass]) {
        seen.pass += 1;
        await game.tapControl(ids.pass);
      } else {
        seen.exchange += 1;
        const hand = ids.south1 + (input % 3);
        await game.tapControl(hand);
        await game.tapControl(ids.table1 + ((input >> 2) % 3));
      }
    }
    if (!gameOver || !/^You (Win|Lose)\.\.\.$/.test(gameOver))
      throw new Error(`no game over (${JSON.stringify(seen)})`);
    if (!seen.exchange || !seen.stop || !seen.pass)
      throw new Error(`not every move was played: ${JSON.stringify(seen)}`);
    console.log(`  whole game: ${gameOver} after ${JSON.stringify(seen)}`);

    let status = await game.press('a', true);
    if (!status.dialog)
      throw new Error('Ctrl+A opened no About box');
    status = await game.press('Enter');
    if (status.dialog)
      throw new Error('Enter did not close the About box');

    await game.chooseMenu(ids.exit);
    await game.page.waitForFunction(() => window.zartaPage.ended !== null, waiting);
    if (await game.notice() !== 'Zarta has ended')
      throw new Error(`after Exit the page shows ${await game.notice()}`);
    // Starting again brings a fresh board.
    await game.page.click('#notice-button');
    await game.page.waitForFunction(() => window.zartaPage && window.zartaPage.idleCount > 0, waiting);
    if (await game.notice() !== null)
      throw new Error('the notice stayed after starting again');
    await game.close();
  });

test('Ctrl+Q ends the game through the close path', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0', desktop);
  await game.page.keyboard.down('Control');
  await game.page.keyboard.press('q');
  await game.page.keyboard.up('Control');
  await game.page.waitForFunction(() => window.zartaPage.ended !== null, waiting);
  const status = await game.page.evaluate(() => window.zartaPage.ended);
  if (status !== 0 || await game.notice() !== 'Zarta has ended')
    throw new Error(`ended with ${status}, notice ${await game.notice()}`);
  await game.close();
});

test('a second tab says that Zarta is already open and starts no game', async ({context, base}) => {
  const first = await Game.open(context, base, '?offline=no', desktop);
  const second = await context.newPage();
  await second.goto(`${base}/?offline=no`, {waitUntil: 'load'});
  await second.waitForFunction(() => document.getElementById('notice').classList.contains('shown'),
    waiting);
  const text = await second.$eval('#notice-text', (element) => element.textContent);
  const started = await second.evaluate(() => window.zartaPage.idleCount);
  if (text !== 'Zarta is already open in another tab.' || started !== 0)
    throw new Error(`second tab: "${text}", waited for input ${started} times`);
  await second.close();
  await first.close();
});

test('after the first visit the game plays with no network', async ({context, base}) => {
  const page = await context.newPage();
  await page.setViewport(phone);
  await page.goto(`${base}/`, {waitUntil: 'load'});
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, waiting);
  await page.setOfflineMode(true);
  await page.reload({waitUntil: 'load'});
  await page.waitForFunction(() => window.zartaPage && window.zartaPage.idleCount > 0, waiting);
  const frame = await page.evaluate(() => window.zartaPage.firstFrameMs);
  if (frame === null)
    throw new Error('no frame offline');
});

// ---- Figures: sizes and the first frame ------------------------------------------

async function measure(browser, base) {
  const gzip = (file) => zlib.gzipSync(fs.readFileSync(path.join(options.site, file)), {level: 9}).length;
  const figures = {wasmBytes: fs.statSync(path.join(options.site, 'zarta.wasm')).size,
    scriptBytes: fs.statSync(path.join(options.site, 'zarta.js')).size,
    wasmGzip: gzip('zarta.wasm'), scriptGzip: gzip('zarta.js'), pageGzip: gzip('index.html') + gzip('zarta-page.js'),
    firstFrameMs: [], startAfterLoadMs: []};
  for (let run = 0; run < 11; ++run) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(phone);
    await page.goto(`${base}/?offline=no`, {waitUntil: 'load'});
    await page.waitForFunction(() => window.zartaPage && window.zartaPage.firstFrameMs !== null, waiting);
    const times = await page.evaluate(() => ({
      first: window.zartaPage.firstFrameMs,
      loaded: Math.max(...performance.getEntriesByType('resource').filter((entry) => /zarta\.(js|wasm)$/.test(entry.name))
        .map((entry) => entry.responseEnd)),
    }));
    figures.firstFrameMs.push(times.first);
    figures.startAfterLoadMs.push(times.first - times.loaded);
    await context.close();
  }
  const sorted = [...figures.firstFrameMs].sort((a, b) => a - b);
  figures.firstFrameMedianMs = sorted[Math.floor(sorted.length / 2)];
  // From the script and the wasm having arrived to the first frame: compiling, instantiating, start-up.
  const starts = [...figures.startAfterLoadMs].sort((a, b) => a - b);
  figures.startAfterLoadMedianMs = starts[Math.floor(starts.length / 2)];
  return figures;
}

// ---- Running -------------------------------------------------------------------

const server = await serve(path.resolve(options.site));
const base = `http://127.0.0.1:${server.address().port}`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zarta-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
});
let passed = 0;
let failed = 0;
try {
  // Each test in a fresh context, so one tab's lock or cache never reaches the next test.
  for (const {name, body} of tests) {
    const context = await browser.createBrowserContext();
    try {
      await body({context, base});
      console.log(`ok: ${name}`);
      passed += 1;
    } catch (error) {
      console.log(`FAILED: ${name}\n  ${String(error.stack || error).split('\n').join('\n  ')}`);
      failed += 1;
    } finally {
      await context.close();
    }
  }
  if (options.figures) {
    const figures = await measure(browser, base);
    fs.writeFileSync(options.figures, JSON.stringify(figures, null, 2) + '\n');
    console.log(`figures: wasm ${figures.wasmGzip} B gzip, script ${figures.scriptGzip} B gzip, ` +
      `first frame ${figures.firstFrameMedianMs.toFixed(1)} ms (median of ${figures.firstFrameMs.length}), ` +
      `${figures.startAfterLoadMedianMs.toFixed(1)} ms of it after the files arrived`);
  }
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, {recursive: true, force: true});
}
console.log(`browser: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
