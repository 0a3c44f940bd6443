// The web build in Debian's headless chromium, played as a person plays it:
// real pointer events (touch on a phone, the mouse on a desktop) at the
// device pixels the game shows, real key presses.
//
// node browser_test.mjs --site DIR --frames FILE --script FILE [--shots DIR] [--figures FILE] [--only REGEX]
// node browser_test.mjs --site DIR --figures-only FILE [--settle no]
//   --frames  the native headless screens for --script (zarta-screens SCRIPT FILE)
//   --shots   where the phone and desktop screenshots go
//   --figures where the sizes and first-frame times are written (JSON)
//   --only    runs only the tests whose names match, and writes no figures
//   --figures-only  writes the figures and runs no test (--only is ignored)
//   --settle no     navigates at once in each new window instead of waiting for the browser to settle
import crypto from 'node:crypto';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

import {bareCanvasPage, measure, summary} from './first_frame_bench.mjs';

const options = {};
for (let i = 2; i < process.argv.length; i += 2)
  options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (options['figures-only']) {
  options.figures = options['figures-only'];
  options.only = null;
}
if (!options.site || (!options['figures-only'] && (!options.frames || !options.script))) {
  console.error('usage: node browser_test.mjs --site DIR --frames FILE --script FILE [--shots DIR] [--figures FILE] ' +
    '[--only REGEX]\n       node browser_test.mjs --site DIR --figures-only FILE [--settle no]');
  process.exit(2);
}

const screenWidth = 240;
const screenHeight = 320;
const ids = {table1: 11111, south1: 11114, stop: 11132, pass: 11133, newGame: 40005, about: 40003, exit: 40004};
const answers = {ok: 1, yes: 6, no: 7};
// Polled on a timer rather than on animation frames, which a browser may hold back for a tab it does not show.
const waiting = {timeout: 30000, polling: 10};
// Every other call into the browser (a page's script, a close) gives up after
// this; above `waiting`, whose polls are such calls.
const protocolTimeout = 60000;
// The whole run, figures included, takes under a minute on a quiet machine;
// past this bound a fault has the page waiting forever, and the run stops.
const runLimitSeconds = 300;

// ---- A local server for the site ---------------------------------------------

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml'};

const servers = new Set();  // all that serve() started, for the run's time limit

// Serves `site.root` with validators (ETag, Last-Modified) and answers a
// matching conditional request with 304, as a real server does; `site.headers`
// adds headers (a version's age, max-age); every answer is logged.
function serve(site) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    const root = path.resolve(site.root);
    let file = path.join(root, decodeURIComponent(url.pathname));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    if (file.endsWith('/'))
      file += 'index.html';
    if (url.pathname === '/bare-canvas.html') {
      response.writeHead(200, {'Content-Type': 'text/html', 'Cache-Control': 'no-cache'});
      response.end(bareCanvasPage);
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        site.log.push({path: url.pathname, status: 404, file: null});
        response.writeHead(404).end();
        return;
      }
      const tag = `"${crypto.createHash('sha1').update(data).digest('hex').slice(0, 16)}"`;
      const headers = {'Content-Type': types[path.extname(file)] || 'application/octet-stream', ETag: tag,
        'Cache-Control': 'no-cache', ...site.headers};
      for (const name of Object.keys(headers)) {
        if (headers[name] === undefined)
          delete headers[name];
      }
      if (request.headers['if-none-match'] === tag) {
        site.log.push({path: url.pathname, status: 304, file});
        response.writeHead(304, headers).end();
        return;
      }
      site.log.push({path: url.pathname, status: 200, file});
      response.writeHead(200, headers);
      response.end(data);
    });
  });
  servers.add(server);
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Closes the server and every connection the browser keeps open to it, so its port refuses connections.
function stopServer(server) {
  server.closeAllConnections();
  return new Promise((resolve) => server.close(() => resolve()));
}

// The page's service worker has installed and taken charge of its scope.
function workerActive(page) {
  return page.waitForFunction(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    return registration && registration.active && registration.active.state === 'activated';
  }, waiting);
}

// ---- Driving the page ---------------------------------------------------------

const phone = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const phoneOnItsSide = {width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: true};
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

  // A new page, with no kept game (another test's game in this context is
  // not its own) unless `kept` gives the one the browser holds; `before`
  // runs in the page before its own script.
  static async open(context, base, query, viewport, {kept = null, before = null} = {}) {
    const page = await context.newPage();
    await page.setViewport(viewport);
    const game = new Game(page, viewport);
    // Once: the page may load again on its own.
    const {identifier} = await page.evaluateOnNewDocument((stored, script) => {
      if (sessionStorage.getItem('test-opened') !== null)
        return;
      sessionStorage.setItem('test-opened', '1');
      if (stored === null)
        localStorage.removeItem('zarta-game');
      else
        localStorage.setItem('zarta-game', stored);
      if (script)
        eval(`(${script})`)();
    }, kept, before);
    await page.goto(`${base}/${query}`, {waitUntil: 'load'});
    await page.removeScriptToEvaluateOnNewDocument(identifier);
    // A kept game that cannot be rebuilt loads the page again: the caller waits for what it expects.
    if (kept === null)
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

  // The device screen as the shown canvas holds it: the middle of each screen
  // pixel's block of canvas pixels, every block checked to be of one colour.
  async canvasPixels() {
    return this.page.$eval('#screen', (canvas) => {
      const copy = document.createElement('canvas');
      copy.width = canvas.width;
      copy.height = canvas.height;
      const context = copy.getContext('2d', {willReadFrequently: true});
      context.drawImage(canvas, 0, 0);
      const data = context.getImageData(0, 0, copy.width, copy.height).data;
      const factor = canvas.width / 240;
      if (!Number.isInteger(factor) || canvas.height !== 320 * factor)
        return `the canvas is ${canvas.width} x ${canvas.height}`;
      const pixels = new Array(240 * 320 * 4);
      for (let y = 0; y < 320; ++y) {
        for (let x = 0; x < 240; ++x) {
          const at = ((y * factor + (factor >> 1)) * canvas.width + x * factor + (factor >> 1)) * 4;
          for (let dy = 0; dy < factor; ++dy) {
            for (let dx = 0; dx < factor; ++dx) {
              const other = ((y * factor + dy) * canvas.width + x * factor + dx) * 4;
              if (data[other] !== data[at] || data[other + 1] !== data[at + 1] || data[other + 2] !== data[at + 2])
                return `screen pixel (${x}, ${y}) is not one colour on the canvas`;
            }
          }
          for (let c = 0; c < 4; ++c)
            pixels[(y * 240 + x) * 4 + c] = data[at + c];
        }
      }
      return pixels;
    });
  }

  // Read from the accessibility tree only: the board in words, what the live
  // region has said (oldest first), the focused element, and any open dialog.
  async accessibleText() {
    const tree = await this.page.accessibility.snapshot({interestingOnly: false});
    const found = {board: null, said: null, focused: null, dialog: null};
    const text = (node) => (node.role === 'StaticText' ? node.name : (node.children || []).map(text).join(''));
    const walk = (node) => {
      if ((node.role === 'image' || node.role === 'img') && node.name === 'The card table')
        found.board = node.description || null;
      if (node.role === 'log' && node.name === 'Announcements')
        found.said = (node.children || []).map(text);
      if (node.focused)
        found.focused = `${node.role} ${node.name}`;
      if (node.role === 'dialog')
        found.dialog = node.name;
      for (const child of node.children || [])
        walk(child);
    };
    walk(tree);
    return found;
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

// How the board fills the window: its share of the width and height, device
// pixels per screen pixel, and where the panel went.
async function boardFill(game) {
  return game.page.evaluate(() => {
    const r = document.getElementById('screen').getBoundingClientRect();
    const canvas = document.getElementById('screen');
    return {width: r.width / innerWidth, height: r.height / innerHeight, left: r.left, top: r.top,
      devicePixels: r.width * devicePixelRatio / 240, aspect: r.width / r.height, canvasWidth: canvas.width,
      whole: canvas.classList.contains('whole'), layout: window.zartaPage.layout,
      scrolls: document.documentElement.scrollHeight > innerHeight || document.documentElement.scrollWidth > innerWidth};
  });
}

function checkFill(fill, what) {
  if (Math.abs(fill.aspect - 0.75) > 0.01 || fill.scrolls)
    throw new Error(`${what}: the board is ${JSON.stringify(fill)}`);
  // Drawn at the next whole factor of device pixels and scaled down to fit.
  if (fill.canvasWidth !== 240 * Math.ceil(fill.devicePixels - 0.01))
    throw new Error(`${what}: a canvas of ${fill.canvasWidth} pixels for ${fill.devicePixels} device pixels per screen pixel`);
}

// Taps through whatever the game shows until the game-over box (or `rounds`
// rounds' ends), with an exchange, a Pass and a Stop in turn, calling
// `atPause` each time the program waits; the New game button starts it.
async function playWholeGame(game, {rounds = Infinity, atPause = null, started = false} = {}) {
  if (!started)
    await startWithButton(game);
  const seen = {exchange: 0, stop: 0, pass: 0, keepBox: 0};
  let gameOver = null;
  const roundsEnded = () => game.page.evaluate(() => window.zartaPage.events.filter((e) => e.kind === 'roundEnd').length);
  for (let input = 0; input < 3000 && !gameOver; ++input) {
    const status = await game.status();
    if (atPause)
      await atPause(status);
    if (rounds !== Infinity && await roundsEnded() >= rounds)
      return {gameOver: null, seen};
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
    const turn = input % 3;
    if (turn === 2 && status.controls[ids.stop]) {
      seen.stop += 1;
      await game.tapControl(ids.stop);
    } else if (turn === 1 && status.controls[ids.pass]) {
      seen.pass += 1;
      await game.tapControl(ids.pass);
    } else {
      seen.exchange += 1;
      await game.tapControl(ids.south1 + (input % 3));
      await game.tapControl(ids.table1 + ((input >> 2) % 3));
    }
  }
  if (!gameOver || !/^You (Win|Lose)\.\.\.$/.test(gameOver))
    throw new Error(`no game over (${JSON.stringify(seen)})`);
  if (!started && (!seen.exchange || !seen.stop || !seen.pass))
    throw new Error(`not every move was played: ${JSON.stringify(seen)}`);
  return {gameOver, seen};
}

async function newGameShown(game) {
  return game.page.$eval('#new-game', (button) => !button.hidden && button.getBoundingClientRect().height >= 44);
}

// The "New game" button is there while no game runs, starts one, and goes.
async function startWithButton(game) {
  if (!await newGameShown(game))
    throw new Error('no New game button while no game runs');
  const box = await game.page.$eval('#new-game', (button) => {
    const r = button.getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2};
  });
  await game.act(() => (game.viewport.hasTouch ? game.page.touchscreen.tap(box.x, box.y) : game.page.mouse.click(box.x, box.y)));
  await game.page.waitForFunction(() => window.zartaPage.gameRunning, waiting);
  if (await newGameShown(game))
    throw new Error('the New game button stays while a game runs');
}

// The account against the game's own events: newest first, each event's line
// (as a screen reader reads it, however it is shortened on the screen), cards
// taken were open on the table before and cards left lie there after, and no
// card is named that no player could see.
async function checkAccount(game) {
  const {events, shown} = await game.page.evaluate(() => ({events: window.zartaPage.events,
    shown: Array.from(document.querySelectorAll('#account li')).map((item) =>
      (item.querySelector('.unseen') || item).textContent)}));
  const newest = events.slice(-shown.length).reverse().map((event) => event.line);
  if (JSON.stringify(newest) !== JSON.stringify(shown))
    throw new Error(`the account shows ${JSON.stringify(shown)}, the events say ${JSON.stringify(newest)}`);
  const rank = {7: 'seven', 8: 'eight', 9: 'nine', T: 'ten', J: 'jack', Q: 'queen', K: 'king', A: 'ace'};
  const suit = {c: 'clubs', d: 'diamonds', h: 'hearts', s: 'spades'};
  const name = (code) => `the ${rank[code[0]]} of ${suit[code[1]]}`;
  const allNames = Object.keys(rank).flatMap((r) => Object.keys(suit).map((s) => name(r + s)));
  let table = [];
  const kinds = {};
  for (const event of events) {
    kinds[event.kind] = (kinds[event.kind] || 0) + 1;
    const open = new Set([...table, ...(event.table || [])].map(name));
    if (event.kind === 'exchange') {
      if (!event.took.every((code) => table.includes(code)) || !event.left.every((code) => event.table.includes(code)))
        throw new Error(`"${event.line}": took ${event.took} from ${table}, left ${event.left} on ${event.table}`);
      if (!event.line.includes(name(event.took[0])) || !event.line.includes(name(event.left[0])))
        throw new Error(`"${event.line}" does not name the cards of ${JSON.stringify(event)}`);
    }
    if (event.kind === 'dealerDraw')
      event.drawn.forEach((code) => open.add(name(code)));
    // At the round's end every hand lies open; its line names its three cards by rank.
    if (event.kind === 'shows') {
      event.cards.forEach((code) => open.add(name(code)));
      if (!event.cards.every((code) => event.line.includes(rank[code[0]])))
        throw new Error(`"${event.line}" does not name the cards of ${JSON.stringify(event)}`);
    }
    for (const card of allNames) {
      if (new RegExp(`${card}\\b`).test(event.line) && !open.has(card) && event.seat !== 1)
        throw new Error(`"${event.line}" names ${card}, which lay on no table`);
    }
    if (event.table)
      table = event.table;
  }
  for (const kind of ['dealerDraw', 'dealerChoice', 'dealt', 'exchange', 'pass', 'stop', 'shows', 'roundEnd']) {
    if (!kinds[kind])
      throw new Error(`no ${kind} event in a whole game: ${JSON.stringify(kinds)}`);
  }
  const last = events[events.length - 1];
  if (last.kind !== 'roundEnd' || !last.gameOver)
    throw new Error(`the last event is ${JSON.stringify(last)}`);
  return kinds;
}

// A card's name, or a hand told by its ranks in one suit, as the account words them.
const rankWords = 'seven|eight|nine|ten|jack|queen|king|ace';
const cardName = new RegExp(String.raw`\b(?:(?:the|your) )?(?:(?:${rankWords}), |(?:${rankWords}) and )*` +
  String.raw`(?:${rankWords}) of (?:clubs|diamonds|hearts|spades)\b`, 'g');
// Why `shown` is no fair shortening of `line`: "" when it is the line, or
// the line cut after a whole word (its comma or colon dropped) outside any
// card's name, with an ellipsis.
function unfairCut(shown, line) {
  if (shown === line)
    return '';
  if (!shown.endsWith('\u2026'))
    return 'changed without an ellipsis';
  const kept = shown.slice(0, -1);
  if (!line.startsWith(kept) || kept.length === 0)
    return 'not the start of the line';
  const rest = line.slice(kept.length);
  if (!/^[,;:]? /.test(rest))
    return 'cut inside a word';
  const at = kept.length;
  for (const name of line.matchAll(cardName)) {
    if (at > name.index && at < name.index + name[0].length)
      return `cut inside "${name[0]}"`;
  }
  return '';
}

// What the account shows at a pause: the lines seen whole or shortened,
// each inside the list's box, with the words a screen reader reads for each
// and why any is unfairly shortened; whether a hidden line lies between shown
// ones, or more than a row stays blank below the last while older lines are
// hidden; the live region; and any overlap of the account or the page's
// buttons with a control the board shows.
async function shownAccount(game, status) {
  const spots = [...Object.values(status.controls), ...Object.values(status.menuButton)];
  return game.page.evaluate((spots) => {
    const list = document.getElementById('account');
    const box = list.getBoundingClientRect();
    const items = Array.from(list.children);
    const seen = items.map((item) => {
      const r = item.getBoundingClientRect();
      return !item.hidden && r.height > 0 && r.top >= box.top - 0.5 && r.bottom <= box.bottom + 0.5 &&
        getComputedStyle(list).visibility !== 'hidden' && box.height > 0;
    });
    const screen = document.getElementById('screen').getBoundingClientRect();
    const toPage = ([left, top, right, bottom]) => ({left: screen.left + left * screen.width / 240,
      top: screen.top + top * screen.height / 320, right: screen.left + right * screen.width / 240,
      bottom: screen.top + bottom * screen.height / 320});
    const meets = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    const covering = Array.from(document.querySelectorAll('#side, #side button, #help, #account'))
      .filter((element) => element.getClientRects().length > 0 && !element.hidden)
      .map((element) => element.getBoundingClientRect());
    const live = document.getElementById('announce');
    const shown = items.filter((item, i) => seen[i]);
    const visible = (item) => (item.querySelector('[aria-hidden="true"]') || item).textContent;
    const last = shown.at(-1);
    const rowOf = (style) => parseFloat(style.lineHeight) + parseFloat(style.paddingTop) + parseFloat(style.paddingBottom);
    const row = shown.length > 0 ? rowOf(getComputedStyle(last)) : 0;
    return {lines: shown.map((item) => (item.querySelector('.unseen') || item).textContent),
      texts: shown.map(visible),
      // Cut by the browser at the right edge, mid-word.
      clipped: shown.filter((item) => item.scrollWidth > item.clientWidth + 1).map(visible),
      blank: shown.length < items.length && last ?
        box.bottom - parseFloat(getComputedStyle(list).paddingBottom) - last.getBoundingClientRect().bottom - row : -1,
      gap: seen.some((shown, i) => !shown && seen.slice(i + 1).some(Boolean)),
      live: live !== null && live.getAttribute('role') === 'log' && getComputedStyle(live).display !== 'none' &&
        !live.closest('[hidden], [aria-hidden="true"]'),
      covers: spots.map(toPage).filter((spot) => covering.some((r) => meets(r, spot))).length,
      events: window.zartaPage.events.map((event) => event.line)};
  }, spots);
}

// The five windows a player brings, with the panel each gets and the fewest
// account lines it must show.
const smallPhone = {width: 360, height: 640, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const tablet = {width: 820, height: 1180, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const desktopBrowser = {width: 1366, height: 768, deviceScaleFactor: 1, isMobile: false, hasTouch: false};
const windows = [
  {name: 'phone upright', viewport: phone, mode: 'below', lines: 5, shot: 'web-phone.png', seconds: 33},
  {name: 'phone on its side', viewport: phoneOnItsSide, mode: 'beside', lines: 5, shot: 'web-phone-side.png', seconds: 41},
  {name: 'small phone', viewport: smallPhone, mode: 'below', lines: 3, shot: 'web-small-phone.png', seconds: 17},
  {name: 'tablet', viewport: tablet, mode: 'below', lines: 3, shot: 'web-tablet.png', seconds: 20},
  {name: 'desktop browser', viewport: desktopBrowser, mode: 'beside', lines: 5, shot: 'web-desktop.png', seconds: 29},
  // No room for a panel: the strip over the board's title bar.
  {name: 'small window', viewport: {width: 360, height: 480, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
    mode: 'compact', lines: 1, shot: null, seconds: 17},
];

test('in every window the account shows the newest lines, in order, none skipped, and covers no control',
  async ({context, base}) => {
    for (const size of windows) {
      const game = await Game.open(context, base, `?offline=no&pace=0&seconds=${size.seconds}`, size.viewport);
      const fill = await boardFill(game);
      if (fill.layout.mode !== size.mode)
        throw new Error(`${size.name}: the panel goes ${fill.layout.mode}`);
      let pauses = 0;
      let fewest = Infinity;
      let shot = false;
      let shortened = 0;
      await playWholeGame(game, {rounds: 4, atPause: async (status) => {
        const shown = await shownAccount(game, status);
        const newest = shown.events.slice(-shown.lines.length).reverse();
        const wanted = Math.min(size.lines, shown.events.length);
        const unfair = shown.texts.map((text, i) => unfairCut(text, shown.lines[i])).filter(Boolean);
        if (JSON.stringify(newest) !== JSON.stringify(shown.lines) || shown.gap || shown.lines.length < wanted ||
            !shown.live || shown.covers > 0 || unfair.length > 0 || shown.clipped.length > 0 || shown.blank >= 0)
          throw new Error(`${size.name}, pause ${pauses}: ${JSON.stringify({...shown, events: newest, unfair})}`);
        shortened += shown.texts.filter((text, i) => text !== shown.lines[i]).length;
        pauses += 1;
        if (shown.events.length >= size.lines)
          fewest = Math.min(fewest, shown.lines.length);
        // A picture for the manual: the player to move, a round already told.
        if (options.shots && size.shot && !shot && status.controls[ids.pass] && !status.box &&
            shown.events.some((line) => line.startsWith('Round over'))) {
          shot = true;
          await game.page.screenshot({path: path.join(options.shots, size.shot)});
        }
      }});
      console.log(`  ${size.name}: ${pauses} pauses, at least ${fewest} lines shown, ${shortened} shortened`);
      await game.close();
    }
  });

test('a phone upright: the board fills the width, crisply, with the panel below', async ({context, base}) => {
  // Real pauses here (10 ms a unit): the deal's animation and the computer seats sleep through Asyncify.
  const game = await Game.open(context, base, '?offline=no&pace=10&seconds=33', phone);
  const fill = await boardFill(game);
  checkFill(fill, 'upright phone');
  if (fill.width < 0.9 || fill.layout.mode !== 'below' || fill.devicePixels !== 4.875)
    throw new Error(`the board takes ${fill.width} of the width at ${fill.devicePixels} (${fill.layout.mode})`);
  if (await game.page.title() !== 'Zarta')
    throw new Error(`title ${await game.page.title()}`);
  await startWithButton(game);
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  // While the computer seats play, the board's words say so and offer no turn.
  await game.page.evaluate(() => {
    window.boardWords = [];
    new MutationObserver(() => window.boardWords.push([window.zartaPage.idleCount,
      document.getElementById('board-text').textContent])).observe(document.getElementById('board-text'),
      {childList: true, characterData: true, subtree: true});
  });
  const before = await game.idleCount();
  await game.tapControl(ids.pass);
  const during = (await game.page.evaluate(() => window.boardWords)).filter(([idle]) => idle === before)
    .map(([, words]) => words);
  if (during.some((words) => words.includes('Your turn')) || !during.some((words) => / is playing\.$/.test(words)))
    throw new Error(`the board's words while the computer played: ${JSON.stringify(during)}`);
  status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  await game.tapControl(ids.south1 + 1);
  // Turned on its side mid-game: the same picture, drawn again at the new size.
  const picture = await game.canvasPixels();
  await game.page.setViewport(phoneOnItsSide);
  await game.page.waitForFunction(() => window.zartaPage.layout.mode === 'beside', waiting);
  checkFill(await boardFill(game), 'phone turned on its side');
  if (JSON.stringify(await game.canvasPixels()) !== JSON.stringify(picture))
    throw new Error('turning the phone changed the picture');
  await game.close();
});

test('a phone on its side: the board fills the height with the panel beside it; a whole game by touch', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0&seconds=41', phoneOnItsSide);
  const fill = await boardFill(game);
  checkFill(fill, 'phone on its side');
  if (fill.height < 0.999 || fill.layout.mode !== 'beside')
    throw new Error(`the board takes ${fill.height} of the height (${fill.layout.mode})`);
  const result = await playWholeGame(game);
  console.log(`  whole game on its side: ${result.gameOver} after ${JSON.stringify(result.seen)}`);
  await checkAccount(game);
  if (!await newGameShown(game))
    throw new Error('no New game button after the game-over box');
  await game.close();
});

test('whole factors stay exact, and a window with no room beside the board gets a "?"', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0', {width: 360, height: 480, deviceScaleFactor: 2,
    isMobile: true, hasTouch: true});
  const fill = await boardFill(game);
  checkFill(fill, 'small window');
  if (fill.devicePixels !== 3 || !fill.whole || fill.layout.mode !== 'compact')
    throw new Error(`a 360 x 480 window at 2x: ${JSON.stringify(fill)}`);
  const help = await game.page.$eval('#help', (button) => !button.hidden && button.getBoundingClientRect().width >= 44);
  if (!help)
    throw new Error('no "?" where the panel has no room');
  await game.page.tap('#help');
  const shown = await game.page.$eval('#rules', (sheet) => !sheet.hidden);
  if (!shown)
    throw new Error('"?" opened no rules');
  await game.page.tap('#rules-close');
  await startWithButton(game);
  await game.close();
});

// The keys the desktop's F1 pages list on their last page (app/KeyboardPlay.cpp,
// HowToPlayPages): each "KEYS: what they do", "In a box, KEYS: ...".
function desktopRuleKeys() {
  const source = fs.readFileSync(new URL('../../app/KeyboardPlay.cpp', import.meta.url), 'utf8');
  const array = source.slice(source.indexOf('HowToPlayPages['));
  const pages = array.slice(array.indexOf('{') + 1, array.indexOf('};')).split(/",\s*"/);
  const text = pages.at(-1).replace(/"\s+"/g, '').replace(/\\n/g, '\n').replace(/\\"/g, '"').replace(/^\s*"|"\s*,?\s*$/g, '');
  return text.split(/[.;]\s+|\n/).filter((clause) => clause.includes(':')).flatMap((clause) =>
    clause.split(':')[0].replace(/^In a box,\s*/, '').split(/,\s*|\s+or\s+/)).map((key) => key.trim()).filter(Boolean);
}
// The desktop's side panel has keys of its own; the page's account is beside the board always.
const desktopOnlyKeys = ['W', 'Page Up', 'Page Down', 'Home', 'End'];

test('the rules sheet: real text, every rule a new player needs and every key the desktop\'s F1 lists, opened and ' +
  'closed by touch and keys', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0', phone);
  await game.page.tap('#rules-button');
  const sheet = await game.page.$eval('#rules', (element) => ({shown: !element.hidden, text: element.innerText,
    fontSize: parseFloat(getComputedStyle(element.querySelector('p')).fontSize),
    keys: Array.from(element.querySelectorAll('h3')).find((h) => h.textContent === 'Keys').nextElementSibling.innerText}));
  if (!sheet.shown || sheet.fontSize < 14)
    throw new Error(`rules sheet ${JSON.stringify({shown: sheet.shown, fontSize: sheet.fontSize})}`);
  for (const fact of ['31', 'three aces', 'ace 11', 'Keep this cards?', 'whole hand', 'first turn', 'Stop',
    'one last turn', 'four lives', 'Zarta', 'lightning', 'carried out', 'F1', 'F2', 'F3', 'Tab', 'Space', 'shuffled'])
    if (!sheet.text.includes(fact))
      throw new Error(`the rules do not mention "${fact}"`);
  // The first turn as it is played: the player may not stop, the computer seats may.
  if (!/first turn[^.]*may not say Stop\. The computer seats may/.test(sheet.text))
    throw new Error('the rules do not say who may stop on the round\'s first turn');
  const keys = desktopRuleKeys();
  const missing = keys.filter((key) => !desktopOnlyKeys.includes(key) &&
    !new RegExp(`(^|[\\s(])${key.replace(/[+]/g, '\\+')}(?=[\\s,.):;])`).test(sheet.keys));
  if (keys.length < 15 || missing.length > 0)
    throw new Error(`the desktop's F1 lists ${JSON.stringify(keys)}; the page's keys leave out ${JSON.stringify(missing)}`);
  // Keys on the open sheet are the sheet's: Escape closes it and reaches no game.
  const before = await game.idleCount();
  await game.page.keyboard.press('Escape');
  if (await game.page.$eval('#rules', (element) => !element.hidden))
    throw new Error('Escape left the rules open');
  if (await game.idleCount() !== before)
    throw new Error('a key for the rules reached the game');
  await game.close();
});

test('taps in the gaps and just beside a control reach it; taps far away stay board taps', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0&seconds=17', phone);
  await startWithButton(game);
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  const first = status.controls[ids.south1];
  const second = status.controls[ids.south1 + 1];
  if (second[0] - first[2] < 1)
    throw new Error(`no gap between the hand's cards: ${first} ${second}`);
  // The gap between the first two cards of the hand selects one of them.
  await game.tapAt(first[2], Game.middle(first)[1]);
  let words = await game.page.$eval('#board-text', (element) => element.textContent);
  if (!/Your cards: [^.]*\(selected\)/.test(words))
    throw new Error(`a tap in the gap selected nothing: ${words}`);
  await game.tapAt(first[2], Game.middle(first)[1]);
  // Twelve CSS pixels below the Pass button, past a finger's reach, a tap is
  // the board's and does nothing; four CSS pixels below press it.
  status = await game.status();
  const pass = status.controls[ids.pass];
  const point = await game.pagePoint(Game.middle(pass)[0], pass[3] - 1);
  for (const [below, told] of [[12, undefined], [4, 'You pass.']]) {
    const before = await game.page.evaluate(() => window.zartaPage.events.length);
    await game.act(() => game.page.touchscreen.tap(point.x, point.y + below));
    const line = await game.page.evaluate((count) => window.zartaPage.events.slice(count).map((e) => e.line), before);
    if (line[0] !== told)
      throw new Error(`a tap ${below} CSS pixels below Pass told ${JSON.stringify(line)}`);
  }
  await game.close();
});

test('the canvas shows the same pixels as the headless screen after every input, on a desktop and a phone', async ({context, base}) => {
  await checkPixelIdentity(context, base, desktop);
  await checkPixelIdentity(context, base, phone);
});

test('a desktop window: the board as tall as the window, the panel beside it; a whole game by the mouse', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&seconds=20&pace=0', desktop);
  const fill = await boardFill(game);
  checkFill(fill, 'desktop');
  if (fill.height < 0.999 || fill.layout.mode !== 'beside')
    throw new Error(`desktop: ${JSON.stringify(fill)}`);
  const result = await playWholeGame(game);
  console.log(`  whole game on a desktop: ${result.gameOver}`);
  await checkAccount(game);
  await game.close();
});

test('a whole game with touch taps on an upright phone, the account checked against the events; About; Exit',
  async ({context, base}) => {
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=41', phone);
    const result = await playWholeGame(game);
    console.log(`  whole game: ${result.gameOver} after ${JSON.stringify(result.seen)}`);
    console.log(`  events: ${JSON.stringify(await checkAccount(game))}`);
    // "What happened" reads back every line of the game, oldest first, under its game's and its rounds' headings.
    await game.page.tap('#history-button');
    const history = await historyBlocks(game);
    const expected = expectedBlocks(await game.page.evaluate(() => window.zartaPage.events));
    if (!history.shown || JSON.stringify(history.blocks) !== JSON.stringify(expected) || roundsUnsound(expected))
      throw new Error(`the history holds ${JSON.stringify(history.blocks)}, the events say ${JSON.stringify(expected)}; ` +
        roundsUnsound(expected));
    if (options.shots)
      await game.page.screenshot({path: path.join(options.shots, 'web-history-phone.png')});
    await game.page.tap('#history-close');

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
    await game.page.click('#notice-button');
    await game.page.waitForFunction(() => window.zartaPage && window.zartaPage.idleCount > 0, waiting);
    if (await game.notice() !== null)
      throw new Error('the notice stayed after starting again');
    await game.close();
  });

// The history sheet as read: its headings and lines in order, as blocks
// {game: "Game 1", rounds: [{round: null, lines}, {round: "Round 1", lines}...]}.
async function historyBlocks(game) {
  return game.page.evaluate(() => ({shown: !document.getElementById('history').hidden,
    blocks: Array.from(document.querySelectorAll('#history-list section'), (section) => {
      const block = {game: null, rounds: []};
      for (const element of section.children) {
        if (element.tagName === 'H3') {
          block.game = element.textContent;
          block.rounds.push({round: null, lines: []});
        } else if (element.tagName === 'H4') {
          block.rounds.push({round: element.textContent, lines: []});
        } else {
          block.rounds.at(-1).lines.push(...Array.from(element.children, (item) => item.textContent));
        }
      }
      return block;
    })}));
}

// The same blocks from the game's own events, oldest first: a game at each
// dealer draw, a round at the first line of each deal (the dealer's choice,
// or a hint at the keep question), the last line of a round its end.
function expectedBlocks(events, firstGame = 1) {
  const blocks = [];
  let between = true;
  for (const event of events) {
    if (event.kind === 'dealerDraw' || blocks.length === 0) {
      blocks.push({game: `Game ${firstGame + blocks.length}`, rounds: [{round: null, lines: []}]});
      between = true;
    }
    const {rounds} = blocks.at(-1);
    if (between && ['dealerChoice', 'dealt', 'hint'].includes(event.kind)) {
      rounds.push({round: `Round ${rounds.length}`, lines: []});
      between = false;
    }
    rounds.at(-1).lines.push(event.line);
    between = between || event.kind === 'roundEnd' || event.kind === 'redeal';
  }
  return blocks;
}

// What the board's words say the frame is on, as the page says it when the
// frame moves: "your queen of hearts", "table card 2, the nine of spades", "Stop".
function framedInWords(board) {
  const framed = /The frame is on (.*?)\.(?: |$)/.exec(board);
  if (!framed)
    return null;
  const positions = {first: 1, second: 2, third: 3};
  let match = /^your (first|second|third) card, the (.*)$/.exec(framed[1]);
  if (match)
    return `your ${match[2]}`;
  match = /^the (first|second|third) table card, (.*)$/.exec(framed[1]);
  if (match)
    return `table card ${positions[match[1]]}, ${match[2]}`;
  match = /^the (Stop|Pass) button$/.exec(framed[1]);
  return match ? match[1] : framed[1];
}

// What every round's block must hold, whatever starts it: one deal shown,
// and one end, but for the round in play.
function roundsUnsound(blocks) {
  for (const block of blocks) {
    for (const [i, {round, lines}] of block.rounds.entries()) {
      const deals = lines.filter((line) => line.startsWith('The table shows ')).length;
      const ends = lines.filter((line) => /^(Round over: |All four hands are equal)/.test(line)).length;
      const last = block === blocks.at(-1) && i === block.rounds.length - 1;
      if (round === null ? deals + ends > 0 : deals !== 1 || ends > 1 || (ends === 0 && !last))
        return `${block.game}, ${round}: ${JSON.stringify(lines)}`;
    }
  }
  return '';
}

// The lines of `now` added since `before`, the region having dropped its oldest meanwhile.
function newLines(before, now) {
  for (let dropped = 0; dropped <= before.length; ++dropped) {
    const kept = before.slice(dropped);
    if (kept.every((line, i) => now[i] === line))
      return now.slice(kept.length);
  }
  return now;
}

test('a whole game by keys with a screen reader: only the accessibility tree, every announcement, the page\'s buttons',
  async ({context, base}) => {
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=29', desktop);
    let outcome = null;
    let turns = 0;
    const moves = {exchange: 0, pass: 0, stop: 0};
    const heard = {turn: 0, keep: 0, round: 0, frame: 0, selected: 0, putBack: 0};
    let saidBefore = [];  // the live region's lines at the last check
    // Each key that moves the frame or selects a card is said in one short
    // line, the frame named as the board's words name it, and nothing more.
    const keySaid = async (key) => {
      const before = (await game.accessibleText()).said;
      await game.press(key);
      const after = await game.accessibleText();
      return {board: after.board, fresh: newLines(before, after.said), framed: framedInWords(after.board)};
    };
    const tabTo = async (words) => {
      for (let i = 0; i < 20; ++i) {
        const {board, fresh, framed} = await keySaid('Tab');
        if (fresh.length !== 1 || fresh[0] !== `Frame: ${framed}`)
          throw new Error(`Tab to "${framed}" was said as ${JSON.stringify(fresh)}`);
        heard.frame += 1;
        if (board.includes(`The frame is on ${words}`))
          return framed;
      }
      throw new Error(`Tab never framed ${words}`);
    };
    // F6 to the page's buttons, Tab to the one named, Enter presses it.
    const pressPageButton = async (name) => {
      await game.page.keyboard.press('F6');
      for (let i = 0; i < 5 && (await game.accessibleText()).focused !== `button ${name}`; ++i)
        await game.page.keyboard.press('Tab');
      if ((await game.accessibleText()).focused !== `button ${name}`)
        throw new Error(`the keyboard never reached ${name}: ${(await game.accessibleText()).focused}`);
      await game.page.keyboard.press('Enter');
    };
    for (let step = 0; step < 2000 && !outcome; ++step) {
      const {board, said} = await game.accessibleText();
      if (board === null || said === null)
        throw new Error(`the board's text or the live region is missing: ${board} ${said}`);
      const fresh = newLines(saidBefore, said);
      saidBefore = said;
      if (fresh.some((line) => /^Round over: /.test(line))) {
        heard.round += 1;
        if (!fresh.some((line) => / shows? the .*: [0-9a-z. ]+\.$/.test(line)))
          throw new Error(`a round's end without the hands shown: ${JSON.stringify(fresh)}`);
      }
      if (board.startsWith('No game is running')) {
        if (step > 0)
          throw new Error(`the game stopped: ${said.at(-1)}`);
        await game.act(() => pressPageButton('New game'));
      } else if (board.startsWith('A box "Game Over"')) {
        outcome = said.find((line) => /You (win|lose) the game/.test(line));
        await game.press('Enter');
      } else if (board.startsWith('A box "Player choice:"')) {
        // The keep question is said with the three cards it asks about.
        const told = fresh.find((line) => line.includes('Keep this cards?')) || '';
        if (!/Your cards: the \w+ of \w+, the \w+ of \w+ and the \w+ of \w+\./.test(told))
          throw new Error(`the keep question was said as "${told}"`);
        heard.keep += 1;
        await game.press(step % 2 ? 'y' : 'n');
      } else if (board.startsWith('A box')) {
        await game.press('Enter');
      } else if (board.includes('Your turn:')) {
        turns += 1;
        const turnSaid = fresh.filter((line) => /^Your turn: exchange a card with the table/.test(line));
        if (turnSaid.length !== 1)
          throw new Error(`turn ${turns} was said ${turnSaid.length} times: ${JSON.stringify(fresh)}`);
        heard.turn += 1;
        if (turns === 2) {
          // The rules by keyboard, and back to the board with its own keys.
          await pressPageButton('How to play');
          if ((await game.accessibleText()).dialog !== 'How to play')
            throw new Error('Enter on How to play opened no rules');
          await game.page.keyboard.press('Escape');
          await game.page.keyboard.press('Escape');
          const back = await game.accessibleText();
          if (back.dialog !== null || !/The card table/.test(back.focused || ''))
            throw new Error(`after the rules: dialog ${back.dialog}, focus on ${back.focused}`);
        }
        if (turns % 3 === 1 && board.includes('Stop (S)')) {
          moves.stop += 1;
          await game.press('s');
        } else if (turns % 3 === 2 && board.includes('Pass (P)')) {
          moves.pass += 1;
          await game.press('p');
        } else {
          moves.exchange += 1;
          const card = await tabTo('your second card');
          let {fresh} = await keySaid(' ');
          if (JSON.stringify(fresh) !== JSON.stringify([`Selected: ${card}`]))
            throw new Error(`Space on ${card} was said as ${JSON.stringify(fresh)}`);
          heard.selected += 1;
          // Once a game: put back with a second Space, and selected again.
          if (moves.exchange === 1) {
            ({fresh} = await keySaid(' '));
            if (JSON.stringify(fresh) !== JSON.stringify([`Put back: ${card}`]))
              throw new Error(`a second Space on ${card} was said as ${JSON.stringify(fresh)}`);
            heard.putBack += 1;
            await keySaid(' ');
          }
          await tabTo('the first table card');
          // The exchange is told as news; the selection it clears is not put back.
          ({fresh} = await keySaid(' '));
          if (!fresh.some((line) => line.startsWith('You take ')) || fresh.some((line) => /^(Put back|Selected):/.test(line)))
            throw new Error(`the exchange was said as ${JSON.stringify(fresh)}`);
        }
      } else {
        throw new Error(`the program waits on: ${board}`);
      }
    }
    if (!outcome || !moves.exchange || !moves.pass || !moves.stop || !heard.keep || !heard.round || !heard.putBack)
      throw new Error(`no whole game by keys: ${outcome} ${JSON.stringify({moves, heard})}`);
    const after = await game.accessibleText();
    if (!after.board.startsWith('No game is running'))
      throw new Error(`after the game: ${after.board}`);
    console.log(`  by keys: "${outcome}" after ${JSON.stringify(moves)}, heard ${JSON.stringify(heard)}`);
    await game.close();
  });

// What the panel says of choices that wait for the next game, when it shows.
async function nextGameNote(game) {
  return game.page.$eval('#next-game', (note) => (note.hidden || note.getClientRects().length === 0 ? null :
    note.textContent));
}

// The coach by the Hint button and by H: each says a "Hint: " line to a screen
// reader and the keys go back to the board.
async function checkHints(game, pressHint) {
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  for (const [how, ask] of [['the Hint button', pressHint], ['H', () => game.page.keyboard.press('h')]]) {
    const before = (await game.accessibleText()).said;
    await game.act(ask);
    const heard = await game.accessibleText();
    const hints = newLines(before, heard.said).filter((line) => /^Hint: \S/.test(line));
    if (hints.length !== 1 || !/The card table/.test(heard.focused || ''))
      throw new Error(`${how} at the player's turn: ${JSON.stringify(hints)}, focus on ${heard.focused}`);
  }
}

test('the coach: Hint and H give a hint; the computer\'s level reaches the program at New, is remembered, ' +
  'and the address overrides it', async ({context, base}) => {
  // Touch on a phone, where the level sits beside Hint below the board.
  let game = await Game.open(context, base, '?offline=no&pace=0&seconds=33&computer=expert', phone);
  if (await game.page.$eval('#computer', (list) => list.value) !== 'expert')
    throw new Error('?computer=expert is not shown');
  await startWithButton(game);
  await checkHints(game, () => game.page.tap('#hint'));
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-hint-phone.png')});
  const played = (await game.page.evaluate(() => window.zartaPage.computer));
  await game.close();
  if (played !== 'expert')
    throw new Error(`?computer=expert plays ${played}`);

  // By the mouse on a desktop: chosen there, remembered across a reload; a
  // change during a game applies from the next.
  const visit = async (query, shown) => {
    game = await Game.open(context, base, `?offline=no&pace=0&seconds=29${query}`, desktop);
    const level = await game.page.$eval('#computer', (list) => list.value);
    if (level !== shown)
      throw new Error(`${query || 'no ?computer='}: the page shows ${level}, not ${shown}`);
  };
  const playing = () => game.page.evaluate(() => window.zartaPage.computer);
  await visit('', 'classic');
  await startWithButton(game);
  await game.page.select('#computer', 'expert');
  // The panel says when the change applies, not as if the game played it.
  if (await nextGameNote(game) !== 'expert from the next game')
    throw new Error(`a level changed in a game shows "${await nextGameNote(game)}"`);
  await checkHints(game, () => game.page.click('#hint'));
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-hint-desktop.png')});
  if (await playing() !== 'classic')
    throw new Error(`a change during a game reached it: ${await playing()}`);
  await game.press('F2');
  if (await playing() !== 'expert' || await nextGameNote(game) !== null)
    throw new Error(`the next game plays ${await playing()}, the panel says "${await nextGameNote(game)}"`);
  // Changed and changed back: nothing waits for the next game.
  await game.page.select('#computer', 'classic');
  await game.page.select('#computer', 'expert');
  if (await nextGameNote(game) !== null)
    throw new Error(`a level changed back shows "${await nextGameNote(game)}"`);
  await game.close();
  await visit('', 'expert');
  await game.close();
  await visit('&computer=classic', 'classic');
  await startWithButton(game);
  if (await playing() !== 'classic')
    throw new Error(`?computer=classic over a remembered expert plays ${await playing()}`);
  await game.close();
  // A level the page does not know is left out with a warning: the remembered one plays.
  await visit('&computer=grandmaster', 'expert');
  const refused = (problem) => /\?computer=grandmaster is not a level/.test(problem);
  if (!game.problems.some(refused))
    throw new Error('?computer=grandmaster was taken without a word');
  game.problems = game.problems.filter((problem) => !refused(problem));
  await startWithButton(game);
  if (await playing() !== 'expert')
    throw new Error(`?computer=grandmaster plays ${await playing()}`);
  await game.close();
});

// Hint and Review as a player finds them: disabled (and shown so) or not.
async function gameButtons(game) {
  const tree = await game.page.accessibility.snapshot();
  const found = {};
  const walk = (node) => {
    if (node.role === 'button' && (node.name === 'Hint' || node.name === 'Review'))
      found[node.name] = !node.disabled;
    (node.children || []).forEach(walk);
  };
  walk(tree);
  const faded = await game.page.$$eval('#hint, #review', (buttons) =>
    buttons.map((button) => Number(getComputedStyle(button).opacity) < 0.6));
  return {hint: found.Hint, review: found.Review, faded};
}

test('Hint and Review wait for a game; Review tells the last round and then the game; the history in blocks ' +
  'for each game and round, oldest first; a new game starts the account afresh', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0&seconds=29', desktop);
  let buttons = await gameButtons(game);
  if (buttons.hint !== false || buttons.review !== false || !buttons.faded.every(Boolean))
    throw new Error(`before a game: ${JSON.stringify(buttons)}`);
  // A click on the disabled Hint reaches no program.
  const idle = await game.idleCount();
  await game.page.click('#hint');
  await game.page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 200)));
  if (await game.idleCount() !== idle)
    throw new Error('the disabled Hint gave the program a key');
  await startWithButton(game);
  buttons = await gameButtons(game);
  if (buttons.hint !== true || buttons.review !== true || buttons.faded.some(Boolean))
    throw new Error(`in a game: ${JSON.stringify(buttons)}`);

  const newestLine = () => game.page.evaluate(() => window.zartaPage.events.at(-1));
  await playWholeGame(game, {rounds: 1, started: true});
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  await game.act(() => game.page.click('#review'));
  let told = await newestLine();
  if (told.kind !== 'review' || !/^Review of round 1: (you .*; the coach .*\. You lose a life .*|every move .*)$/.test(told.line))
    throw new Error(`Review after round 1 told ${JSON.stringify(told)}`);
  const focused = (await game.accessibleText()).focused;
  if (!/The card table/.test(focused || ''))
    throw new Error(`after Review the keys are on ${focused}`);

  // Over, the game is reviewed as a whole; Hint waits for the next one.
  const {gameOver} = await playWholeGame(game, {started: true});
  buttons = await gameButtons(game);
  if (buttons.hint !== false || buttons.review !== true)
    throw new Error(`after "${gameOver}": ${JSON.stringify(buttons)}`);
  await game.act(() => game.page.click('#review'));
  told = await newestLine();
  if (told.kind !== 'review' || !/^Review of the game: it mattered most in round \d+: /.test(told.line))
    throw new Error(`Review after the game told ${JSON.stringify(told)}`);

  // The next game: its own block in the history, and the account holds its lines alone.
  await startWithButton(game);
  const roundsBefore = await game.page.evaluate(() => window.zartaPage.events.filter((e) => e.kind === 'roundEnd').length);
  await playWholeGame(game, {rounds: roundsBefore + 2, started: true});
  const events = await game.page.evaluate(() => window.zartaPage.events);
  const account = await game.page.$$eval('#account li', (items) => items.map((item) => item.line));
  const thisGame = events.slice(events.findLastIndex((event) => event.kind === 'dealerDraw')).map((event) => event.line);
  if (account.length === 0 || !account.every((line) => thisGame.includes(line)))
    throw new Error(`the second game's account shows ${JSON.stringify(account)}`);
  await game.page.click('#history-button');
  const history = await historyBlocks(game);
  const expected = expectedBlocks(events);
  if (JSON.stringify(history.blocks) !== JSON.stringify(expected) || expected.length !== 2 ||
      expected[1].rounds.length < 3 || roundsUnsound(expected))
    throw new Error(`the history after two games holds ${JSON.stringify(history.blocks)}; ${roundsUnsound(expected)}`);
  // Opened, it shows the newest round's heading at its top.
  const top = await game.page.evaluate(() => {
    const headings = document.querySelectorAll('#history-list h4');
    const heading = headings[headings.length - 1].getBoundingClientRect();
    return heading.top >= 0 && heading.bottom <= innerHeight ? headings[headings.length - 1].textContent : null;
  });
  if (top !== expected[1].rounds.at(-1).round)
    throw new Error(`the history opens at ${top}`);
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-history-desktop.png')});
  await game.page.keyboard.press('Escape');
  await game.close();
});

test('the history\'s button says its word in every window, and names itself by it', async ({context, base}) => {
  for (const [name, viewport, word] of [['phone', phone, 'What happened'], ['small phone', smallPhone, 'History'],
    ['small window', {width: 360, height: 480, deviceScaleFactor: 2, isMobile: true, hasTouch: true}, 'History'],
    ['desktop', desktop, 'What happened']]) {
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=17', viewport);
    await startWithButton(game);
    const shown = await game.page.$eval('#history-button', (button) => ({text: button.innerText,
      width: button.getBoundingClientRect().width, clipped: button.scrollWidth > button.clientWidth + 1}));
    let named = null;
    const walk = (node) => {
      if (node.role === 'button' && /What happened|History/.test(node.name))
        named = node.name;
      (node.children || []).forEach(walk);
    };
    walk(await game.page.accessibility.snapshot());
    if (!shown.text.includes(word) || shown.clipped || named !== word)
      throw new Error(`${name}: the button shows ${JSON.stringify(shown)} and is named "${named}"`);
    // Every button of the panel keeps its word whole, Review beside Hint where there is a row for it.
    const cut = await game.page.$$eval('#side button', (all) => all.filter((button) => button.getClientRects().length > 0 &&
      (button.scrollWidth > button.clientWidth + 1 || button.scrollHeight > button.clientHeight + 1)).map((button) => button.id));
    if (cut.length > 0)
      throw new Error(`${name}: buttons whose words do not fit: ${cut}`);
    if (options.shots && name === 'small phone')
      await game.page.screenshot({path: path.join(options.shots, 'web-small-phone-buttons.png')});
    await game.close();
  }
});

// ---- The kept game --------------------------------------------------------------

// What the page shows of the game, as a player and a screen reader take it:
// the board in words, the account and the whole game so far, the open box,
// the controls offered, and the picture (a hash of the canvas). Run in the page.
function pageView() {
  const lines = (selector) => Array.from(document.querySelectorAll(selector)).map((item) => item.textContent);
  const canvas = document.getElementById('screen');
  const copy = document.createElement('canvas');
  copy.width = canvas.width;
  copy.height = canvas.height;
  const context = copy.getContext('2d', {willReadFrequently: true});
  context.drawImage(canvas, 0, 0);
  const data = context.getImageData(0, 0, copy.width, copy.height).data;
  let hash = 2166136261;
  for (let i = 0; i < data.length; i += 4)
    hash = Math.imul(hash ^ (data[i] | data[i + 1] << 8 | data[i + 2] << 16), 16777619);
  const {status} = window.zartaPage;
  return {words: document.getElementById('board-text').textContent, account: lines('#account li'),
    history: lines('#history-list li'), headings: lines('#history-list h3, #history-list h4'), box: status && status.box ? status.boxText : null,
    controls: status ? Object.keys(status.controls).sort() : null, running: window.zartaPage.gameRunning,
    pixels: hash >>> 0};
}

// The page's view where the program stands now, with the kept game as the browser holds it then.
async function viewAndKept(game) {
  return game.page.evaluate((source) => ({view: eval(`(${source})`)(), kept: localStorage.getItem('zarta-game')}),
    pageView.toString());
}

// Run in the page before its script: keeps its view the moment a rebuilt
// game stands, before it goes on (there it first gives the browser its turn).
const watchRebuild = `() => {
  const view = ${pageView};
  document.addEventListener('DOMContentLoaded', () => {
    const said = document.getElementById('announce');
    new MutationObserver((records, observer) => {
      if (said.textContent.includes('Your game is back as you left it.')) {
        window.rebuiltView = view();
        observer.disconnect();
      }
    }).observe(said, {childList: true});
  });
}`;

// Reloads `game`, or opens the page with `kept` in the browser's storage,
// and returns the rebuilt game's view where it stands.
async function rebuild({context, base, query, viewport, kept = null, game = null}) {
  if (game) {
    const {identifier} = await game.page.evaluateOnNewDocument((script) => eval(`(${script})`)(), watchRebuild);
    await game.page.reload({waitUntil: 'load'});
    await game.page.removeScriptToEvaluateOnNewDocument(identifier);
  } else {
    game = await Game.open(context, base, query, viewport, {kept, before: watchRebuild});
  }
  const started = Date.now();
  await game.page.waitForFunction(() => window.rebuiltView, waiting).catch(async (error) => {
    throw new Error(`no game rebuilt: ${error.message}; ${JSON.stringify(game.problems)}, note ` +
      `"${await game.page.$eval('#note', (note) => note.textContent)}"`);
  });
  return {game, view: await game.page.evaluate(() => window.rebuiltView), took: Date.now() - started};
}

function sameView(before, after, what, {waiting: atWait = true} = {}) {
  const keys = atWait ? Object.keys(before) : ['words', 'account', 'history', 'headings', 'running', 'pixels'];
  const differ = keys.filter((key) => JSON.stringify(before[key]) !== JSON.stringify(after[key]));
  if (differ.length > 0)
    throw new Error(`${what}: the rebuilt game differs in ${differ.join(', ')}:\n  before ${JSON.stringify(before)}\n` +
      `  after  ${JSON.stringify(after)}`);
}

test('a kept game: reloaded at the keep question, in the dealer\'s second hand moving, in a computer\'s pause, ' +
  'it stands as it stood, says so once, and plays on to its end', async ({context, base}) => {
  // Seconds 41 make the player the first dealer: the keep question comes at once.
  let game = await Game.open(context, base, '?offline=no&pace=0&seconds=41', phone);
  await startWithButton(game);
  let {view} = await viewAndKept(game);
  if (!view.box || view.box[0] !== 'Keep this cards?')
    throw new Error(`no keep question after New: ${JSON.stringify(view)}`);
  // A reload with the box open: the same box, board, account and picture, and a
  // screen reader hears that the game is back and the question, not the game again.
  const saidBefore = (await game.accessibleText()).said;
  let rebuilt = await rebuild({game});
  sameView(view, rebuilt.view, 'reloaded at the keep question');
  const said = newLines(saidBefore, (await game.accessibleText()).said);
  if (said.length > 3 || !said.includes('Your game is back as you left it.') ||
      !said.some((line) => line.includes('Keep this cards?')))
    throw new Error(`after the reload a screen reader heard ${JSON.stringify(said)}`);
  console.log(`  rebuilt at the keep question in ${rebuilt.took} ms`);

  // At 200 ms a unit: No, and the kept game taken in the middle of the dealer's second hand moving.
  let {kept} = await viewAndKept(game);
  await game.close();
  rebuilt = await rebuild({context, base, query: '?offline=no&pace=200', viewport: phone, kept});
  game = rebuilt.game;
  sameView(view, rebuilt.view, 'opened again at the keep question');
  await game.page.keyboard.press('n');
  await game.page.waitForFunction(() => JSON.parse(localStorage.getItem('zarta-game')).stand.wait === false, waiting);
  ({view, kept} = await viewAndKept(game));
  if (JSON.parse(kept).stand.wait || view.history.some((line) => / and take/.test(line)))
    throw new Error(`not in the second hand's move: ${JSON.stringify(view)}`);
  await game.close();
  rebuilt = await rebuild({context, base, query: '?offline=no&pace=200', viewport: phone, kept});
  game = rebuilt.game;
  sameView(view, rebuilt.view, 'opened in the second hand\'s move', {waiting: false});

  // In a computer seat's pause: its move shown, the board's words saying who plays.
  await game.page.waitForFunction(() => / is playing\.$/.test(document.getElementById('board-text').textContent) &&
    !JSON.parse(localStorage.getItem('zarta-game')).stand.wait, waiting);
  ({view, kept} = await viewAndKept(game));
  await game.close();
  rebuilt = await rebuild({context, base, query: '?offline=no&pace=200', viewport: phone, kept});
  game = rebuilt.game;
  sameView(view, rebuilt.view, 'opened in a computer\'s pause', {waiting: false});
  if (!/ is playing\.$/.test(rebuilt.view.words))
    throw new Error(`in a computer's pause the board says "${rebuilt.view.words}"`);

  // Reloaded at pace 0, the game goes on to its end, its account whole.
  await game.page.goto(`${base}/?offline=no&pace=0`, {waitUntil: 'load'});
  await game.page.waitForFunction(() => window.zartaPage.rebuilt === 1 && window.zartaPage.idleCount > 0, waiting);
  const result = await playWholeGame(game, {started: true});
  await checkAccount(game);
  console.log(`  the rebuilt game played on: ${result.gameOver}`);
  await game.close();
});

test('a game after another is rebuilt from what the first carried into it: the passes and the rounds dealt',
  async ({context, base}) => {
    // The expert seeds its choices from the rounds dealt and the passes since the program started.
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=20&computer=expert', desktop);
    await playWholeGame(game, {rounds: 2});
    let status = await game.status();
    while (status.box)
      status = await game.answerBox(answers.yes);
    await game.press('F2');
    const roundsBefore = await game.page.evaluate(() => window.zartaPage.events.filter((e) => e.kind === 'roundEnd').length);
    await playWholeGame(game, {rounds: roundsBefore + 1, started: true});
    const {view} = await viewAndKept(game);
    const rebuilt = await rebuild({game});
    sameView(view, rebuilt.view, 'the second game reloaded');
    // Played again, the game says nothing of its past; the player hears that it is back, and their turn or the box.
    const {said} = await game.accessibleText();
    if (said.length > 2 || said[0] !== 'Your game is back as you left it.' || !/^(Your turn: |A box )/.test(said[1]))
      throw new Error(`after the reload a screen reader heard ${JSON.stringify(said)}`);
    console.log(`  a second game rebuilt in ${rebuilt.took} ms`);
    await game.close();
  });

test('keys given ahead: Y in the dealer draw answers the keep question; F2 then N in a computer\'s pause, and the N ' +
  'that waits is kept with the new game',
  async ({context, base}) => {
    // At 100 ms a unit the keys wait in the page's queue and reach the program together.
    const game = await Game.open(context, base, '?offline=no&pace=100&seconds=41', desktop);
    // Y in the dealer draw reaches the program as the keep question opens, and answers it.
    const idle = await game.idleCount();
    await game.page.click('#new-game');
    await game.page.waitForFunction(() => window.zartaPage.events.length === 1, waiting);
    await game.page.keyboard.press('y');
    await game.waitIdle(idle);
    if (!await game.page.evaluate(() => window.zartaPage.events.some((e) => e.kind === 'dealerChoice')))
      throw new Error('the Y given in the dealer draw did not answer the keep question');
    await game.page.keyboard.press('p');
    await game.page.waitForFunction(() => / is playing\.$/.test(document.getElementById('board-text').textContent), waiting);
    await game.page.keyboard.press('F2');
    await game.page.keyboard.press('n');
    // The new game's keep question is answered by the N that waited behind F2.
    await game.page.waitForFunction(() => window.zartaPage.events.filter((e) => e.kind === 'dealerDraw').length === 2 &&
      window.zartaPage.events.at(-1).kind !== 'dealerDraw' && !JSON.parse(localStorage.getItem('zarta-game')).stand.wait,
    waiting);
    const {view, kept} = await viewAndKept(game);
    await game.close();
    if (!/^You deal and take/.test(view.history.at(-2)))
      throw new Error(`the new game began ${JSON.stringify(view.history)}`);
    const rebuilt = await rebuild({context, base, query: '?offline=no&pace=100', viewport: desktop, kept});
    sameView(view, rebuilt.view, 'rebuilt after F2 and N together', {waiting: false});
    await rebuilt.game.close();
  });

test('a kept game that is damaged, or does not play again as kept, gives a note and a fresh game', async ({context, base}) => {
  // A real kept game to damage: the keep question of seconds 41.
  const source = await Game.open(context, base, '?offline=no&pace=0&seconds=41', phone);
  await startWithButton(source);
  const sound = JSON.parse((await viewAndKept(source)).kept);
  await source.close();
  const drop = (letter) => ({...sound, steps: sound.steps.filter((step) => step[0] !== letter)});
  const cases = [
    ['not JSON', '{"carried":'],
    ['not a kept game', JSON.stringify({carried: 'AAAA', earlier: [], steps: [['q', 1]], stand: {pauses: 0, take: 0, wait: true}})],
    ['carrying too little', JSON.stringify({...sound, carried: 'AAAAAAAAAAAAAAAA'})],
    ['without its seconds', JSON.stringify(drop('s'))],
    ['standing past its end', JSON.stringify({...sound, stand: {...sound.stand, take: sound.stand.take + 3}})],
  ];
  for (const [what, kept] of cases) {
    const game = await Game.open(context, base, '?offline=no&pace=0', phone, {kept});
    await game.page.waitForFunction(() => !document.getElementById('note').hidden && window.zartaPage.idleCount > 0 &&
      !window.zartaPage.rebuilding, waiting);
    const state = await game.page.evaluate(() => ({note: document.getElementById('note').hidden ? null :
      document.getElementById('note').textContent, running: window.zartaPage.gameRunning,
      kept: localStorage.getItem('zarta-game')}));
    const warned = game.problems.filter((problem) => /The kept game is left out/.test(problem));
    game.problems = game.problems.filter((problem) => !warned.includes(problem));
    if (!/could not be brought back/.test(state.note || '') || state.running || state.kept !== null ||
        warned.length !== 1 || !await newGameShown(game))
      throw new Error(`a kept game ${what}: ${JSON.stringify({...state, warned})}`);
    if (options.shots && what === 'not JSON')
      await game.page.screenshot({path: path.join(options.shots, 'web-kept-lost.png')});
    // The fresh page plays, and the note goes with the new game.
    await startWithButton(game);
    if (await game.page.$eval('#note', (note) => !note.hidden))
      throw new Error(`a kept game ${what}: the note stays in the new game`);
    await game.close();
  }
});

test('the deal: ?deal=shuffled is played and told at New, remembered, changed from the next game; ' +
  'an unknown deal is left out with a warning', async ({context, base}) => {
  // The clock's seconds pinned: the described deal deals each New alike, the shuffled one never.
  const draws = async (query) => {
    const game = await Game.open(context, base, `?offline=no&pace=0&seconds=41${query}`, desktop);
    const dealt = [];
    for (let i = 0; i < 2; ++i) {
      let status = await game.status();
      while (status.box)
        status = await game.answerBox(answers.yes);
      await (i === 0 ? startWithButton(game) : game.press('F2'));
      dealt.push(await game.page.evaluate(() => ({deal: window.zartaPage.deal,
        drawn: window.zartaPage.events.findLast((event) => event.kind === 'dealerDraw').drawn.join(' ')})));
    }
    return {game, dealt};
  };
  let {game, dealt} = await draws('&deal=described');
  await game.close();
  if (dealt.some((d) => d.deal !== 'described') || dealt[0].drawn !== dealt[1].drawn)
    throw new Error(`?deal=described played ${JSON.stringify(dealt)}`);
  ({game, dealt} = await draws('&deal=shuffled'));
  if (dealt.some((d) => d.deal !== 'shuffled') || dealt[0].drawn === dealt[1].drawn)
    throw new Error(`?deal=shuffled played ${JSON.stringify(dealt)}`);
  // Changed in a game: said, and played from the next.
  const before = (await game.accessibleText()).said;
  await game.page.select('#deal', 'described');
  const said = newLines(before, (await game.accessibleText()).said);
  if (!said.includes('The cards are dealt described from the next game.') ||
      await game.page.evaluate(() => window.zartaPage.deal) !== 'shuffled')
    throw new Error(`a change in a game: said ${JSON.stringify(said)}`);
  await game.page.select('#computer', 'expert');
  if (await nextGameNote(game) !== 'expert and described deal from the next game')
    throw new Error(`a level and a deal changed in a game show "${await nextGameNote(game)}"`);
  if (options.shots)
    await game.page.screenshot({path: path.join(options.shots, 'web-next-game-desktop.png')});
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  await game.press('F2');
  if (await game.page.evaluate(() => window.zartaPage.deal) !== 'described')
    throw new Error('the next game is not dealt as chosen');
  await game.close();
  // Remembered by the browser; a deal it does not know is left out with a warning.
  game = await Game.open(context, base, '?offline=no&pace=0&deal=fair', desktop);
  const refused = (problem) => /\?deal=fair is not a deal \(described or shuffled\)/.test(problem);
  const shown = await game.page.$eval('#deal', (list) => list.value);
  if (!game.problems.some(refused) || shown !== 'described')
    throw new Error(`?deal=fair: the page shows ${shown}, console ${JSON.stringify(game.problems)}`);
  game.problems = game.problems.filter((problem) => !refused(problem));
  await game.close();
});

// The program's box of the record of play, opened by the Record button, and closed with No.
async function recordBox(game) {
  let status = await game.act(() => game.page.click('#record'));
  if (!status.box || status.boxText[1] !== 'Your record of play')
    throw new Error(`Record opened ${JSON.stringify(status.boxText)}`);
  const [text] = status.boxText;
  status = await game.answerBox(answers.no);
  if (status.box)
    throw new Error('the record\'s box stays after No');
  return text;
}

test('Record shows the record of play in the program\'s box; a finished game counts once, reloads and all; ' +
  'the reset asks first', async ({context, base}) => {
  const game = await Game.open(context, base, '?offline=no&pace=0&seconds=20', desktop);
  // By keys as by the pointer: F6 to the page's buttons, Tab to Record, Enter.
  await game.page.keyboard.press('F6');
  for (let i = 0; i < 6 && (await game.accessibleText()).focused !== 'button Record of play'; ++i)
    await game.page.keyboard.press('Tab');
  let status = await game.act(() => game.page.keyboard.press('Enter'));
  if (!status.box || status.boxText[1] !== 'Your record of play')
    throw new Error(`Enter on Record opened ${JSON.stringify(status.boxText)}`);
  await game.answerBox(answers.no);
  let text = await recordBox(game);
  if (!/^No game finished yet\.\n\nKept in this browser's storage for this site\.\n\nReset it to nothing\?$/.test(text))
    throw new Error(`before any game the record says ${JSON.stringify(text)}`);
  const {gameOver} = await playWholeGame(game);
  const counted = (record) => /Classic computer, described deal: 1 game finished, [01] won/.test(record) &&
    record.includes(gameOver.startsWith('You Win') ? '1 won' : '1 lost');
  if (options.shots)
    await game.act(() => game.page.click('#record')).then(() => game.page.screenshot({path: path.join(options.shots, 'web-record.png')}))
      .then(() => game.answerBox(answers.no));
  text = await recordBox(game);
  if (!counted(text))
    throw new Error(`after "${gameOver}" the record says ${JSON.stringify(text)}`);
  // The finished game rebuilt after a reload is not counted again.
  const keptBytes = (await viewAndKept(game)).kept.length;
  const {took} = await rebuild({game});
  console.log(`  a whole game rebuilt from ${keptBytes} bytes in ${took} ms after the page loaded`);
  if (!counted(await recordBox(game)))
    throw new Error('a rebuilt game was counted again');
  // F3 asks too; Yes, then Yes to the question, resets it.
  await game.press('F3');
  status = await game.answerBox(answers.yes);
  if (!status.box || status.boxText[1] !== 'Reset the record')
    throw new Error(`Yes to reset asked ${JSON.stringify(status.boxText)}`);
  await game.answerBox(answers.yes);
  if (!/^No game finished yet\./.test(await recordBox(game)))
    throw new Error('the reset left a record');
  await game.close();
});

test('Exit asks before ending a running game: No plays on, and is kept; Yes ends it and keeps nothing',
  async ({context, base}) => {
    const game = await Game.open(context, base, '?offline=no&pace=0&seconds=33', phone);
    const asked = [];
    let answer = false;
    game.page.on('dialog', (dialog) => {
      asked.push(dialog.message());
      answer ? dialog.accept() : dialog.dismiss();
    });
    await startWithButton(game);
    let status = await game.status();
    while (status.box)
      status = await game.answerBox(answers.yes);
    const exit = async () => {
      const menu = await game.tapSpot((await game.status()).menuButton[0]);
      return game.tapSpot(menu.popupItems[ids.exit]);
    };
    await exit();
    if (asked.length !== 1 || !/^Leave Zarta\?/.test(asked[0]) || !await game.page.evaluate(() => window.zartaPage.gameRunning))
      throw new Error(`Exit in a game asked ${JSON.stringify(asked)}`);
    // Rebuilt, the answer is the kept one: nothing is asked again.
    const before = await viewAndKept(game);
    const rebuilt = await rebuild({game});
    sameView(before.view, rebuilt.view, 'rebuilt after No to Exit');
    if (asked.length !== 1)
      throw new Error(`the rebuilt game asked again: ${JSON.stringify(asked)}`);
    answer = true;
    await game.chooseMenu(ids.exit);
    await game.page.waitForFunction(() => window.zartaPage.ended !== null, waiting);
    const kept = await game.page.evaluate(() => localStorage.getItem('zarta-game'));
    if (asked.length !== 2 || await game.notice() !== 'Zarta has ended' || kept !== null)
      throw new Error(`Yes to Exit: asked ${asked.length} times, notice ${await game.notice()}, kept ${kept}`);
    await game.close();
  });

test('?pace= takes 10 to 200 and 0; anything else is refused with a warning', async ({context, base}) => {
  const page = await context.newPage();
  const warnings = [];
  page.on('console', (message) => {
    if (message.type() === 'warn' || message.type() === 'warning')
      warnings.push(message.text());
  });
  for (const [pace, unit, warned] of [['40', 40, false], ['10', 10, false], ['200', 200, false], ['0', 0, false],
    ['9', -1, true], ['201', -1, true], ['4294967336', -1, true], ['-40', -1, true], ['4e1', -1, true], ['', -1, true]]) {
    warnings.length = 0;
    // No game needed: the page answers the program's question on its own.
    await page.goto(`${base}/?offline=no&pace=${pace}`, {waitUntil: 'load'});
    const answer = await page.evaluate(() => window.Module.zarta.unitMilliseconds());
    if (answer !== unit || (warnings.length > 0) !== warned)
      throw new Error(`?pace=${pace}: unit ${answer}, warnings ${JSON.stringify(warnings)}`);
  }
  await page.close();
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

async function checkPixelIdentity(context, base, viewport) {
  const frameSize = screenWidth * screenHeight * 3;
  const frames = fs.readFileSync(options.frames);
  const lines = fs.readFileSync(options.script, 'utf8').split('\n').map((line) => line.replace(/#.*/, '').trim())
    .filter((line) => line.length > 0);
  const seconds = lines.find((line) => line.startsWith('seconds')).split(/\s+/)[1];
  const steps = lines.filter((line) => !line.startsWith('seconds'));
  if (frames.length !== frameSize * (steps.length + 1))
    throw new Error(`${frames.length / frameSize} reference frames for ${steps.length} inputs`);
  const keyNames = {13: 'Enter', 27: 'Escape', 38: 'ArrowUp', 40: 'ArrowDown'};

  const game = await Game.open(context, base, `?offline=no&pace=0&seconds=${seconds}`, viewport);
  for (let step = 0; step <= steps.length; ++step) {
    const pixels = await game.canvasPixels();
    if (typeof pixels === 'string')
      throw new Error(`after input ${step}: ${pixels}`);
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
}

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
  // Its program shows the empty board under the notice and is given no input:
  // F2 (a new game) changes nothing.
  await second.waitForFunction(() => window.zartaPage.idleCount > 0, waiting);
  const before = await second.evaluate(() => window.zartaPage.idleCount);
  await second.keyboard.press('F2');
  await second.evaluate(() => new Promise((resolve) => setTimeout(resolve, 300)));
  const after = await second.evaluate(() => ({idle: window.zartaPage.idleCount, running: window.zartaPage.gameRunning}));
  if (text !== 'Zarta is already open in another tab.' || after.running || after.idle !== before)
    throw new Error(`second tab: "${text}", ${JSON.stringify(after)} after F2, ${before} waits before`);
  await second.close();
  await first.close();
});

// A copy of the site as its next version: the page's script says so, and the
// service worker's cache has a new name, as a real build's would.
function nextVersion(root) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'zarta-site-2-'));
  fs.cpSync(root, copy, {recursive: true});
  const index = path.join(copy, 'index.html');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace('</body>', '<script>window.zartaSiteVersion = 2;</script>\n</body>'));
  const worker = path.join(copy, 'sw.js');
  fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(/zarta-[0-9a-f]{16}/, 'zarta-version-two'));
  return copy;
}

async function visit(context, base) {
  const page = await context.newPage();
  await page.setViewport(phone);
  await page.goto(`${base}/`, {waitUntil: 'load'});
  await page.waitForFunction(() => window.zartaPage && window.zartaPage.idleCount > 0, waiting);
  await workerActive(page);
  return page;
}

test('a new version reaches a returning player by the second visit after it, whatever the HTTP cache holds',
  async ({browser, base, siteServer}) => {
    const {site} = siteServer;
    const monthAgo = new Date(Date.now() - 30 * 24 * 3600 * 1000).toUTCString();
    const second = nextVersion(options.site);
    try {
      for (const headers of [{'Last-Modified': monthAgo, 'Cache-Control': ''}, {'Cache-Control': 'max-age=600'}]) {
        const context = await browser.createBrowserContext();
        try {
          site.root = options.site;
          site.headers = Object.fromEntries(Object.entries(headers).filter(([, value]) => value !== ''));
          if (headers['Cache-Control'] === '')
            site.headers['Cache-Control'] = undefined;
          let page = await visit(context, base);
          await page.waitForFunction(() => navigator.serviceWorker.controller !== null, waiting);
          await page.close();
          site.root = second;
          page = await visit(context, base);
          // The new worker installs while this visit plays on; no game runs, so it may take over at once.
          await page.waitForFunction(async () => {
            const registration = await navigator.serviceWorker.getRegistration();
            return registration && !registration.installing &&
              (registration.waiting !== null || window.zartaSiteVersion === 2);
          }, waiting).catch(() => {});
          await page.close();
          page = await visit(context, base);
          const version = await page.evaluate(() => window.zartaSiteVersion || 1);
          await page.close();
          if (version !== 2)
            throw new Error(`with ${JSON.stringify(headers)} the second visit after the deploy runs version ${version}`);
        } finally {
          await context.close();
        }
      }
    } finally {
      site.root = options.site;
      site.headers = {};
      fs.rmSync(second, {recursive: true, force: true});
    }
  });

test('a new version takes over before any input, and a key pressed as it loads starts the game it asked for',
  async ({context, base, siteServer}) => {
    const {site} = siteServer;
    const second = nextVersion(options.site);
    try {
      let page = await visit(context, base);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null, waiting);
      await page.close();
      site.root = second;
      page = await context.newPage();
      await page.setViewport(phone);
      await page.goto(`${base}/`, {waitUntil: 'load'});
      await page.waitForFunction(() => window.zartaPage && window.zartaPage.updating, waiting);
      const banner = await page.$eval('#updating', (element) => !element.hidden && element.textContent);
      await Promise.all([page.waitForNavigation({waitUntil: 'load'}), page.keyboard.press('F2')]);
      await page.waitForFunction(() => window.zartaSiteVersion === 2 && window.zartaPage.gameRunning, waiting)
        .catch(async () => {
          throw new Error(`after the reload: ${JSON.stringify(await page.evaluate(() => ({version: window.zartaSiteVersion,
            running: window.zartaPage.gameRunning})))}`);
        });
      if (!banner)
        throw new Error('no word that a new version is starting');
      await page.close();
    } finally {
      site.root = options.site;
      fs.rmSync(second, {recursive: true, force: true});
    }
  });

test('a new version takes over a running game at the player\'s turn and builds it again as it stood',
  async ({context, base, siteServer}) => {
    const {site} = siteServer;
    const second = nextVersion(options.site);
    try {
      let page = await visit(context, base);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null, waiting);
      await page.close();
      // A returning player, in a game when the new version arrives.
      page = await visit(context, base);
      const game = new Game(page, phone);
      await startWithButton(game);
      let status = await game.status();
      while (status.box)
        status = await game.answerBox(answers.yes);
      const {view} = await viewAndKept(game);
      site.root = second;
      await Promise.all([page.waitForNavigation({waitUntil: 'load'}),
        page.evaluate(() => navigator.serviceWorker.getRegistration().then((registration) => registration.update()))]);
      await page.waitForFunction(() => window.zartaSiteVersion === 2 && window.zartaPage.rebuilt === 1 &&
        window.zartaPage.idleCount > 0, waiting);
      sameView(view, await page.evaluate(pageView), 'taken over by the new version');
      await game.close();
    } finally {
      site.root = options.site;
      fs.rmSync(second, {recursive: true, force: true});
    }
  });

test('input kept for a new version that is unreadable or malformed is left out with a warning, never a crash',
  async ({context, base}) => {
    for (const [kept, warned, runs] of [['{broken', /is lost/, false], ['{"a":1}', /is lost/, false],
      ['[["x",1,2,3],[3,40005,0,0]]', /1 malformed inputs/, true], ['[]', null, false]]) {
      const page = await context.newPage();
      const warnings = [];
      page.on('console', (message) => warnings.push(message.text()));
      await page.evaluateOnNewDocument((text) => {
        sessionStorage.setItem('zarta-pending-input', text);
        localStorage.removeItem('zarta-game');
      }, kept);
      await page.goto(`${base}/?offline=no&pace=0`, {waitUntil: 'load'});
      // The one well-formed input, New game, is carried out.
      await page.waitForFunction((game) => window.zartaPage.idleCount > 0 && window.zartaPage.gameRunning === game,
        waiting, runs).catch(() => {});
      const running = await page.evaluate(() => window.zartaPage.gameRunning);
      if (warnings.some((text) => warned && warned.test(text)) !== (warned !== null) || running !== runs)
        throw new Error(`kept ${kept}: game running ${running}, console ${JSON.stringify(warnings)}`);
      await page.close();
    }
  });

// Everything a first visit transfers, the service worker's caching included.
async function firstVisitTransfer(browser, siteServer) {
  const {site, base} = siteServer;
  const context = await browser.createBrowserContext();
  site.log = [];
  const page = await context.newPage();
  await page.setViewport(phone);
  await page.goto(`${base}/`, {waitUntil: 'load'});
  await workerActive(page);
  await page.close();
  await context.close();
  const gzip = (file) => zlib.gzipSync(fs.readFileSync(file), {level: 9}).length;
  const full = site.log.filter((entry) => entry.status === 200);
  const files = full.map((entry) => entry.file);
  return {requests: site.log.map((entry) => `${entry.status} ${entry.path}`), gzipBytes: full.reduce((sum, entry) => sum + gzip(entry.file), 0),
    fetchedTwice: files.filter((file, i) => files.indexOf(file) !== i)};
}

// The budget grew from 80,000 with the kept game, the record of play, the
// deal, the review and the coach's words, then the sound, the words for the
// frame and the history's rounds (docs/performance.md).
test('a first visit fetches each file once, within 106,000 bytes gzip, the worker\'s caching included', async ({browser, siteServer}) => {
  const transfer = await firstVisitTransfer(browser, siteServer);
  if (transfer.fetchedTwice.length > 0 || transfer.gzipBytes > 106000)
    throw new Error(`first visit: ${JSON.stringify(transfer)}`);
  console.log(`  first visit: ${transfer.gzipBytes} B gzip in ${transfer.requests.join(', ')}`);
});

test('a site whose code is missing says that Zarta could not start, and takes no input', async ({context, siteServer}) => {
  const {site, base} = siteServer;
  const broken = fs.mkdtempSync(path.join(os.tmpdir(), 'zarta-site-broken-'));
  fs.cpSync(options.site, broken, {recursive: true});
  fs.rmSync(path.join(broken, 'zarta.wasm'));
  try {
    site.root = broken;
    const page = await context.newPage();
    const warnings = [];
    page.on('console', (message) => warnings.push(message.text()));
    await page.goto(`${base}/?offline=no`, {waitUntil: 'load'});
    await page.waitForFunction(() => document.getElementById('notice').classList.contains('shown'), waiting);
    const notice = await page.$eval('#notice-text', (element) => element.textContent);
    await page.keyboard.press('F2');
    const state = await page.evaluate(() => ({idle: window.zartaPage.idleCount, frame: window.zartaPage.firstFrameMs}));
    if (notice !== 'Zarta could not start.' || state.idle !== 0 || state.frame !== null ||
        !warnings.some((text) => /zarta\.wasm: 404/.test(text)))
      throw new Error(`notice "${notice}", ${JSON.stringify(state)}, console ${JSON.stringify(warnings)}`);
  } finally {
    site.root = options.site;
    fs.rmSync(broken, {recursive: true, force: true});
  }
});

// What the worker must cache, by address, with each file's size: the whole
// site but the worker itself and the PNG icons (for installing, which is online).
function filesToCache() {
  const wanted = {};
  for (const file of fs.readdirSync(options.site, {recursive: true})) {
    const full = path.join(options.site, file);
    if (file !== 'sw.js' && !file.endsWith('.png') && fs.statSync(full).isFile())
      wanted[file === 'index.html' ? '/' : `/${file}`] = fs.statSync(full).size;
  }
  return wanted;
}

test('after the first visit the game plays with the server gone, every file it needs in the worker\'s cache',
  async ({context}) => {
    // A server of its own, stopped for real: the worker's fetches fail as the page's do.
    const server = await serve({root: options.site, headers: {}, log: []});
    const base = `http://127.0.0.1:${server.address().port}`;
    const page = await context.newPage();
    await page.setViewport(phone);
    await page.goto(`${base}/`, {waitUntil: 'load'});
    await workerActive(page);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, waiting);
    await stopServer(server);
    const answer = await new Promise((resolve) =>
      http.get(base, () => resolve('an answer')).on('error', (error) => resolve(error.code)));
    if (answer !== 'ECONNREFUSED')
      throw new Error(`the stopped server's port gives ${answer}`);

    const cached = await page.evaluate(async () => {
      const found = {};
      for (const name of await caches.keys()) {
        const cache = await caches.open(name);
        for (const request of await cache.keys()) {
          const response = await cache.match(request);
          found[new URL(request.url).pathname] = response.ok ? (await response.arrayBuffer()).byteLength : -response.status;
        }
      }
      return found;
    });
    const wanted = filesToCache();
    const wrong = Object.keys(wanted).filter((file) => cached[file] !== wanted[file]);
    if (wrong.length > 0)
      throw new Error(`the worker's cache holds ${JSON.stringify(cached)}; the site has ${JSON.stringify(wanted)}`);

    await page.reload({waitUntil: 'load'});
    await page.waitForFunction(() => window.zartaPage && window.zartaPage.firstFrameMs !== null, waiting)
      .catch(async () => {
        throw new Error(`with the server gone the page shows no game: "${await page.evaluate(() => document.body.innerText.slice(0, 200))}"`);
      });
    await page.close();
    // A new visit, played: a game started and a move that the game takes.
    const game = await Game.open(context, base, '?pace=0&seconds=17', phone);
    await startWithButton(game);
    let status = await game.status();
    while (status.box)
      status = await game.answerBox(answers.yes);
    const before = await game.page.evaluate(() => window.zartaPage.events.length);
    await game.tapControl(ids.pass);
    const told = await game.page.evaluate((count) => window.zartaPage.events[count]?.line, before);
    if (told !== 'You pass.')
      throw new Error(`offline, a tap on Pass told "${told}"`);
    await game.close();
  });

// ---- Sound ---------------------------------------------------------------------

// The page's sound as the tests read it (sound.js), and the events told so far.
async function soundHeard(game) {
  return game.page.evaluate(() => ({...window.zartaPage.sound, cues: [...window.zartaPage.sound.cues],
    events: window.zartaPage.events.map((event) => event.kind), chosen: localStorage.getItem('zarta-sound')}));
}

// The human's move at its turn, whichever of Pass and Stop is offered.
async function passOrStop(game) {
  let status = await game.status();
  while (status.box)
    status = await game.answerBox(answers.yes);
  return game.tapControl(status.controls[ids.pass] ? ids.pass : ids.stop);
}

test('sound starts with the first input and plays a cue for each move, round and end told; M turns it off and on, ' +
  'is said and kept, and never reaches the program; a game built again plays nothing', async ({context, base}) => {
  let game = await Game.open(context, base, '?offline=no&pace=0&seconds=20', desktop);
  let heard = await soundHeard(game);
  if (!heard.on || heard.started || heard.cues.length > 0)
    throw new Error(`before any input: ${JSON.stringify(heard)}`);
  await playWholeGame(game);
  heard = await soundHeard(game);
  const count = (list, name) => list.filter((each) => each === name).length;
  const expected = {pass: 'pass', stop: 'stop', exchange: 'cardLaid', roundEnd: 'roundResult'};
  for (const [event, cue] of Object.entries(expected)) {
    if (count(heard.events, event) !== count(heard.cues, cue))
      throw new Error(`${count(heard.events, event)} ${event} told, ${count(heard.cues, cue)} ${cue} cues`);
  }
  const last = heard.cues[heard.cues.length - 1];
  if (!heard.started || heard.played !== heard.cues.length || !['gameWon', 'gameLost'].includes(last) ||
      count(heard.cues, 'yourTurn') === 0)
    throw new Error(`a whole game sounded ${JSON.stringify({...heard, events: undefined})}`);

  // M: said, kept, and no input of the program's; the game's cues still come but are not played.
  const idle = await game.idleCount();
  await game.page.keyboard.press('m');
  heard = await soundHeard(game);
  const {said} = await game.accessibleText();
  if (heard.on || heard.chosen !== 'off' || said[said.length - 1] !== 'Sound off')
    throw new Error(`after M: ${JSON.stringify({on: heard.on, chosen: heard.chosen, said: said.slice(-2)})}`);
  await game.press('F2');
  if (await game.idleCount() !== idle + 1)
    throw new Error('M reached the program');
  await passOrStop(game);
  const silent = await soundHeard(game);
  if (silent.cues.length <= heard.cues.length || silent.played !== heard.played)
    throw new Error(`with sound off: ${silent.cues.length - heard.cues.length} cues, ${silent.played - heard.played} played`);
  // A kept input is [take, kind, a, b, c]; kind 2 is a key, and 77 is M's code.
  const steps = JSON.parse(await game.page.evaluate(() => localStorage.getItem('zarta-game'))).steps;
  if (steps.some((step) => step.length === 5 && step[1] === 2 && step[2] === 77))
    throw new Error('the kept game holds the M key');

  // Opened again: the choice holds, and the game built again sounds nothing until it is live and M turns sound on.
  const {game: rebuilt} = await rebuild({game});
  game = rebuilt;
  heard = await soundHeard(game);
  if (heard.on || heard.played !== 0 || heard.cues.length === 0)
    throw new Error(`the game built again: ${JSON.stringify({on: heard.on, played: heard.played, cues: heard.cues.length})}`);
  await game.page.keyboard.press('m');
  await passOrStop(game);
  heard = await soundHeard(game);
  if (!heard.on || heard.chosen !== 'on' || !heard.started || heard.played === 0)
    throw new Error(`M again: ${JSON.stringify({on: heard.on, chosen: heard.chosen, started: heard.started, played: heard.played})}`);
  await game.close();
});

// ---- Running -------------------------------------------------------------------

const site = {root: options.site, headers: {}, log: []};
const server = await serve(site);
const base = `http://127.0.0.1:${server.address().port}`;
const siteServer = {server, site, base};
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zarta-chromium-'));
let browser = null;
let running = 'starting chromium';
// Kills chromium's whole process group (puppeteer starts it as a group of its
// own), as a hung page would never let it close.
setTimeout(() => {
  console.log(`FAILED: the run took over ${runLimitSeconds} s, in "${running}"; chromium and the server are stopped`);
  const pid = browser?.process()?.pid;
  try {
    if (pid)
      process.kill(-pid, 'SIGKILL');
  } catch {
    browser.process().kill('SIGKILL');
  }
  for (const open of servers) {
    open.closeAllConnections();
    open.close();
  }
  fs.rmSync(profile, {recursive: true, force: true});
  process.exit(1);
}, runLimitSeconds * 1000).unref();
browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  protocolTimeout,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
});
let passed = 0;
let failed = 0;
try {
  // Each test in a fresh context, so one tab's lock or cache never reaches the next test.
  const chosen = options['figures-only'] ? [] :
    tests.filter((entry) => !options.only || new RegExp(options.only).test(entry.name));
  for (const {name, body} of chosen) {
    running = name;
    const context = await browser.createBrowserContext();
    try {
      await body({context, base, siteServer, browser});
      console.log(`ok: ${name}`);
      passed += 1;
    } catch (error) {
      console.log(`FAILED: ${name}\n  ${String(error.stack || error).split('\n').join('\n  ')}`);
      failed += 1;
    } finally {
      await context.close();
    }
  }
  if (options.figures && !options.only) {
    running = 'the figures';
    const figures = await measure(browser, siteServer,
      {site: options.site, settle: options.settle !== 'no', viewport: phone, waiting, firstVisitTransfer});
    fs.writeFileSync(options.figures, JSON.stringify(figures, null, 2) + '\n');
    console.log(summary(figures));
  }
} finally {
  running = 'closing chromium';
  await browser.close();
  server.close();
  fs.rmSync(profile, {recursive: true, force: true});
}
if (!options['figures-only'])
  console.log(`browser: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
