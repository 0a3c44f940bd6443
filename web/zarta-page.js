// The page around the game: one game per browser, the device screen on the
// canvas as large as fits, pointer and key input queued for the program, the
// panel beside the board (a way in, the rules, what happened), and the
// notice when the game has ended. This file holds the names the whole
// script shares; the rest lives in web/page/, each file put in place of its
// line below at build time (web/minify.js), so that all of it runs in this
// one function:
// - screen.js: the frames on the canvas, and where the board and panel go;
// - input.js: taps and keys for the program, and input kept across a reload;
// - panel.js: the New game, Hint, Review and Record buttons, the computer's
//   level and the deal, the sheets, the account and the board in words;
// - keeping.js: the running game kept in the browser's storage and built
//   again when the page opens;
// - sound.js: the program's cues through Web Audio, and M, which turns them
//   off and on;
// - program.js: the notices, the program's calls into the page, and the start;
// - updates.js: the service worker, offline play and new versions.
'use strict';

(function () {
  // The screen size, the kinds of input, the "New" command, the modifiers,
  // the key codes (namedKeys: Enter, Escape, Tab, Space, the arrows, F1 to
  // F3, as the desktop program reads them), H and R, the computer's levels
  // and the deals, M and the cues' names, written in at build time from the
  // program's own definitions (web/PageConstants.cpp).
  /* PAGE CONSTANTS */
  const accountLines = 12;

  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d', {alpha: false});
  // The device screen at one canvas pixel per screen pixel; the shown canvas is drawn from it.
  const frame = document.createElement('canvas');
  frame.width = screenWidth;
  frame.height = screenHeight;
  const frameContext = frame.getContext('2d', {alpha: false});
  const side = document.getElementById('side');
  const newGameButton = document.getElementById('new-game');
  const helpButton = document.getElementById('help');
  const playRow = document.getElementById('play');
  const hintButton = document.getElementById('hint');
  const reviewButton = document.getElementById('review');
  const recordButton = document.getElementById('record');
  const choices = document.getElementById('choices');
  const computerChoice = document.getElementById('computer');
  const dealChoice = document.getElementById('deal');
  const nextGameNote = document.getElementById('next-game');
  const rulesTitle = document.getElementById('rules-title');
  const rules = document.getElementById('rules');
  const account = document.getElementById('account');
  const history = document.getElementById('history');
  const historyList = document.getElementById('history-list');
  const historyButton = document.getElementById('history-button');
  const announcements = document.getElementById('announce');
  const updatingBanner = document.getElementById('updating');
  const noteBanner = document.getElementById('note');
  const boardText = document.getElementById('board-text');
  const parameters = new URLSearchParams(location.search);

  // What tests read: how often the program waited for input, and what it
  // showed then; whether a kept game is being built again, and how often one was.
  const page = {idleCount: 0, status: null, firstFrameMs: null, ended: null, boxText: null, events: [],
    layout: null, gameRunning: false, updating: false, computer: null, deal: null, rebuilding: false, rebuilt: 0};
  window.zartaPage = page;

  /* INCLUDE screen.js */

  /* INCLUDE input.js */

  /* INCLUDE panel.js */

  /* INCLUDE keeping.js */

  /* INCLUDE sound.js */

  /* INCLUDE program.js */

  /* INCLUDE updates.js */
})();
