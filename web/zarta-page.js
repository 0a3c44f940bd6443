// The page around the game: one game per browser, the device screen on the
// canvas as large as fits, pointer and key input queued for the program, the
// panel beside the board (a way in, the rules, what happened), and the
// notice when the game has ended.
'use strict';

(function () {
  // The screen size, the kinds of input, the "New" command, the modifiers and
  // the key codes (namedKeys: Enter, Escape, Tab, Space, the arrows, F1 and
  // F2, as the desktop program reads them), written in at build time from
  // the program's own definitions (web/PageConstants.cpp).
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
  const rules = document.getElementById('rules');
  const account = document.getElementById('account');
  const history = document.getElementById('history');
  const historyList = document.getElementById('history-list');
  const historyButton = document.getElementById('history-button');
  const announcements = document.getElementById('announce');
  const updatingBanner = document.getElementById('updating');
  const boardText = document.getElementById('board-text');
  const parameters = new URLSearchParams(location.search);

  // What tests read: how often the program waited for input, and what it showed then.
  const page = {idleCount: 0, status: null, firstFrameMs: null, ended: null, boxText: null, events: [],
    layout: null, gameRunning: false, updating: false};
  window.zartaPage = page;

  // ---- Showing the screen ----------------------------------------------------

  // The screen as large as the window allows. A whole number of device pixels
  // per screen pixel is drawn exactly; any other size is drawn at the next
  // whole factor and scaled down smoothly by the browser, which keeps every
  // edge within a device pixel of where it belongs.
  let factor = 1;
  let frameShown = false;
  function drawScreen() {
    // Until the program shows its first frame the canvas stays as it starts, black.
    if (!frameShown)
      return;
    // Sized here, not before: a large blank canvas would cost the first paint for nothing.
    if (canvas.width !== screenWidth * factor) {
      canvas.width = screenWidth * factor;
      canvas.height = screenHeight * factor;
    }
    context.imageSmoothingEnabled = false;
    context.drawImage(frame, 0, 0, canvas.width, canvas.height);
  }

  const panelBelow = 150;   // CSS pixels of room under the board that make a panel
  const panelBeside = 220;  // and beside it
  const keptShare = 0.8;    // of the board's width, given up for a panel at a whole factor
  function layOut() {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const ratio = window.devicePixelRatio || 1;
    const scale = Math.min(width / screenWidth, height / screenHeight);
    let devicePixels = scale * ratio;
    if (Math.abs(devicePixels - Math.round(devicePixels)) < 0.01)
      devicePixels = Math.round(devicePixels);
    const modeAt = (pixels) => {
      const roomBelow = height - Math.floor(screenHeight * pixels) / ratio;
      const roomBeside = width - Math.floor(screenWidth * pixels) / ratio;
      return roomBelow >= panelBelow ? 'below' : roomBeside >= panelBeside ? 'beside' : 'compact';
    };
    let mode = modeAt(devicePixels);
    // A board that fills the window all but a little (a tablet) gives up that
    // little for the account: drawn at the whole factor below, crisp.
    const lowerWhole = Math.floor(devicePixels - 0.01);
    if (mode === 'compact' && lowerWhole >= 1 && lowerWhole / devicePixels >= keptShare &&
        modeAt(lowerWhole) !== 'compact') {
      devicePixels = lowerWhole;
      mode = modeAt(lowerWhole);
    }
    const boardWidth = Math.floor(screenWidth * devicePixels) / ratio;
    const boardHeight = Math.floor(screenHeight * devicePixels) / ratio;
    const snap = (value) => Math.round(value * ratio) / ratio;
    const roomBelow = height - boardHeight;
    const roomBeside = width - boardWidth;
    let left = snap((width - boardWidth) / 2);
    let top = snap((height - boardHeight) / 2);
    if (mode === 'below') {
      top = 0;
      Object.assign(side.style, {left: '0px', top: boardHeight + 'px', width: width + 'px', height: roomBelow + 'px'});
    } else if (mode === 'beside') {
      const panelWidth = Math.min(roomBeside, 480);
      left = snap((width - boardWidth - panelWidth) / 2);
      Object.assign(side.style, {left: (left + boardWidth) + 'px', top: '0px', width: panelWidth + 'px',
        height: height + 'px'});
    }
    for (const name of ['compact', 'below', 'beside'])
      side.classList.toggle(name, mode === name);
    helpButton.hidden = mode !== 'compact';
    historyButton.textContent = mode === 'compact' ? '\u2630' : 'What happened';
    if (mode === 'compact') {
      // Over the board's title bar, between its left edge and the "?".
      Object.assign(side.style, {left: (left + 4) + 'px', top: (top + 4) + 'px', width: (boardWidth - 64) + 'px',
        height: '44px'});
    }
    Object.assign(canvas.style, {left: left + 'px', top: top + 'px', width: boardWidth + 'px', height: boardHeight + 'px'});
    const whole = Number.isInteger(devicePixels);
    factor = Math.max(1, Math.ceil(devicePixels));
    canvas.classList.toggle('whole', whole);
    drawScreen();
    if (mode === 'compact') {
      newGameButton.classList.add('over-board');
      document.body.appendChild(newGameButton);
      Object.assign(newGameButton.style, {left: (left + boardWidth / 2) + 'px', top: (top + boardHeight * 0.4) + 'px',
        transform: 'translateX(-50%)'});
    } else {
      newGameButton.classList.remove('over-board');
      newGameButton.style.cssText = '';
      side.insertBefore(newGameButton, side.firstChild);
    }
    page.layout = {mode, devicePixels, factor, whole};
    fitAccount();
  }
  layOut();
  window.addEventListener('resize', layOut);

  // ---- Input ------------------------------------------------------------------

  const queue = [];
  let wake = null;
  let running = false;

  // Input given while a new version loads waits in the tab's storage for it;
  // storage that is refused or unreadable keeps nothing, and says so.
  const pendingKey = 'zarta-pending-input';
  function pendingInput(add) {
    let stored = null;
    try {
      stored = sessionStorage.getItem(pendingKey);
      const pending = stored === null ? [] : JSON.parse(stored);
      if (!Array.isArray(pending))
        throw new Error('not a list');
      if (add)
        sessionStorage.setItem(pendingKey, JSON.stringify([...pending, add]));
      else if (stored !== null)
        sessionStorage.removeItem(pendingKey);
      const sound = pending.filter((input) => Array.isArray(input) && input.length === 4 && input.every(Number.isInteger));
      if (sound.length < pending.length)
        console.warn(`${pending.length - sound.length} malformed inputs kept for the new version are left out`);
      return sound;
    } catch (error) {
      // A page without storage has nothing kept, and nothing to say until input is given.
      if (add || stored !== null)
        console.warn(`input kept for the new version is lost: ${error}`);
      try {
        sessionStorage.removeItem(pendingKey);
      } catch {
        // no storage at all
      }
      return [];
    }
  }
  function queueInput(kind, a, b, c) {
    if (page.updating) {
      pendingInput([kind, a, b, c]);
      return;
    }
    if (!running)
      return;
    inputGiven = true;
    queue.push([kind, a, b, c]);
    if (wake) {
      const resume = wake;
      wake = null;
      resume();
    }
  }

  // A press of the pen, a finger or the mouse's main button, at the device
  // pixel under it, with the shown scale (thousandths of a CSS pixel per
  // screen pixel), from which the program knows how far a finger may miss.
  canvas.addEventListener('pointerdown', (event) => {
    if (!event.isPrimary || event.button !== 0)
      return;
    event.preventDefault();
    // The board's keys are the game's again after a tap on it.
    canvas.focus({preventScroll: true});
    const box = canvas.getBoundingClientRect();
    const x = Math.floor((event.clientX - box.left) * screenWidth / box.width);
    const y = Math.floor((event.clientY - box.top) * screenHeight / box.height);
    const scale = Math.round(box.width * 1000 / screenWidth);
    if (x >= 0 && y >= 0 && x < screenWidth && y < screenHeight)
      queueInput(inputTap, x, y, scale);
  });
  for (const type of ['contextmenu', 'dblclick', 'selectstart']) {
    document.addEventListener(type, (event) => {
      if (!rules.contains(event.target) && !history.contains(event.target))
        event.preventDefault();
    });
  }

  // The key codes of the desktop program: the named keys, and the letters.
  function keyCode(event) {
    if (event.key in namedKeys)
      return namedKeys[event.key];
    if (event.key.length === 1 && /[a-z]/i.test(event.key))
      return event.key.toUpperCase().charCodeAt(0);
    return 0;
  }
  // The page's buttons a keyboard reaches with F6, in their order on the page.
  function pageButtons() {
    return Array.from(document.querySelectorAll('#new-game, #side button, #help'))
      .filter((button) => !button.hidden && button.getClientRects().length > 0);
  }
  const browserKeys = new Set(['Tab', 'Enter', ' ', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight']);
  window.addEventListener('keydown', (event) => {
    if (!rules.hidden || !history.hidden) {
      if (event.key === 'Escape')
        closeSheet();
      return;
    }
    const onButton = event.target instanceof HTMLButtonElement;
    if (event.key === 'F6' || (onButton && event.key === 'Escape')) {
      event.preventDefault();
      const buttons = pageButtons();
      if (onButton || buttons.length === 0)
        canvas.focus({preventScroll: true});
      else
        buttons[0].focus();
      return;
    }
    // On the page's buttons Tab, the arrows, Enter and Space are the browser's.
    if (onButton && browserKeys.has(event.key))
      return;
    const code = keyCode(event);
    if (code === 0 || event.altKey || event.metaKey)
      return;
    event.preventDefault();
    if (!event.repeat)
      queueInput(inputKey, code, (event.ctrlKey ? modifierControl : 0) | (event.shiftKey ? modifierShift : 0), 0);
  });

  // ---- Beside the board: a way in, the rules, what happened ---------------------

  newGameButton.addEventListener('click', () => {
    newGameButton.hidden = true;
    canvas.focus({preventScroll: true});
    queueInput(inputCommand, commandNew, 0, 0);
  });

  // The rules and the game's history open as sheets over everything. Closing
  // one gives the keys back to the button that opened it from the keyboard,
  // or to the board after a tap or a click, so that Enter then answers the
  // game's box rather than pressing the button again.
  let focusBeforeSheet = null;
  function openSheet(sheet, closeButton, event) {
    focusBeforeSheet = event.detail === 0 ? document.activeElement : canvas;
    sheet.hidden = false;
    sheet.scrollTop = 0;
    closeButton.focus();
  }
  function closeSheet() {
    rules.hidden = true;
    history.hidden = true;
    if (focusBeforeSheet && focusBeforeSheet.focus)
      focusBeforeSheet.focus();
  }
  const openRules = (event) => openSheet(rules, document.getElementById('rules-close'), event);
  document.getElementById('rules-button').addEventListener('click', openRules);
  helpButton.addEventListener('click', openRules);
  document.getElementById('rules-close').addEventListener('click', closeSheet);
  const openHistory = (event) => openSheet(history, document.getElementById('history-close'), event);
  historyButton.addEventListener('click', openHistory);
  account.addEventListener('click', openHistory);
  document.getElementById('history-close').addEventListener('click', closeSheet);

  // Said to a screen reader as it happens; in the accessibility tree whatever the layout shows.
  function announce(text) {
    const said = document.createElement('p');
    said.textContent = text;
    announcements.appendChild(said);
    // The oldest go in batches, not one per line said.
    if (announcements.children.length > 60) {
      while (announcements.children.length > 20)
        announcements.removeChild(announcements.firstChild);
    }
  }

  let turnAnnounced = false;
  function addNews(line, event) {
    event.line = line;
    page.events.push(event);
    if (page.events.length > 5000)
      page.events.splice(0, 1000);
    // A game's history starts with its dealer draw.
    if (event.kind === 'dealerDraw')
      historyList.textContent = '';
    for (const list of [account, historyList]) {
      const item = document.createElement('li');
      item.textContent = line;
      list.insertBefore(item, list.firstChild);
    }
    while (account.children.length > accountLines)
      account.removeChild(account.lastChild);
    fitAccount();
    announce(line);
    turnAnnounced = false;
  }

  // The newest lines, newest first, none left out between two shown: all
  // from the first that would be cut off by the panel's edge are hidden.
  // Where whole lines leave too few, older lines keep one row each, then all.
  function fitAccount() {
    const items = Array.from(account.children);
    if (items.length === 0)
      return;
    const mode = page.layout ? page.layout.mode : 'beside';
    const wanted = Math.min(items.length, mode === 'compact' ? 1 : account.clientHeight >= 200 ? 5 : 3);
    for (const style of ['', 'older-clamped', 'clamped']) {
      account.className = style;
      for (const item of items)
        item.hidden = false;
      const bottom = account.getBoundingClientRect().bottom;
      let fits = items.findIndex((item) => item.getBoundingClientRect().bottom > bottom + 0.5);
      if (fits < 0)
        fits = items.length;
      items.forEach((item, i) => { item.hidden = i >= fits; });
      if (fits >= wanted)
        return;
    }
  }

  // The board in words for those who cannot see it, and the way in when no game runs.
  let boardWords = '';
  let lastToldBox = null;
  function describeBoard(status, words, gameRunning) {
    if (page.gameRunning && !gameRunning)
      gameOverSinceInput = true;
    page.gameRunning = gameRunning;
    boardWords = words;
    const hideButton = gameRunning || status.box || status.dialog || status.popup || !running;
    if (newGameButton.hidden !== hideButton) {
      newGameButton.hidden = hideButton;
      fitAccount();
    }
    // An open box comes in the program's own words, with the keys it reads.
    let text = words;
    if (!status.box && status.dialog)
      text = 'The About box is open; Enter closes it.';
    else if (!status.box && status.popup)
      text = 'The Game menu is open; Escape closes it.';
    if (boardText.textContent !== text)
      boardText.textContent = text;
    // A box, a menu or the About box is announced once as it opens; the
    // player's turn once, with what they may do.
    const box = status.box || status.dialog || status.popup ? text : null;
    if (box !== null && box !== lastToldBox)
      announce(box);
    lastToldBox = box;
    const turn = box === null && /Your turn: [^.]*\./.exec(words);
    if (turn && !turnAnnounced) {
      announce(turn[0]);
      turnAnnounced = true;
    }
  }

  // ---- Notices ----------------------------------------------------------------

  function showNotice(text, buttonText) {
    document.getElementById('notice-text').textContent = text;
    const button = document.getElementById('notice-button');
    button.textContent = buttonText;
    button.onclick = () => location.reload();
    document.getElementById('notice').classList.add('shown');
    newGameButton.hidden = true;
  }

  // ---- The program's side -----------------------------------------------------

  let nextStatus = null;
  let gameEnded = null;
  let startFailed = false;  // the code could not be fetched or compiled: no input is queued

  // A pause unit in milliseconds from ?pace=: 10 to 200 as on the desktop, or
  // 0 (no pauses, for tests); -1 for the default.
  function paceFromAddress() {
    const pace = parameters.get('pace');
    if (pace === null)
      return -1;
    const value = /^\d{1,3}$/.test(pace) ? Number(pace) : NaN;
    if (value === 0 || (value >= 10 && value <= 200))
      return value;
    console.warn(`?pace=${pace} is not a pause unit (10 to 200 ms, or 0); the default is used`);
    return -1;
  }
  const pace = paceFromAddress();

  window.Module = {
    zarta: {
      show(pixels, width, height) {
        frameContext.putImageData(new ImageData(pixels, width, height), 0, 0);
        frameShown = true;
        drawScreen();
        if (page.firstFrameMs === null) {
          page.firstFrameMs = performance.now();
          setTimeout(registerWorker, 0);
        }
      },
      takeInput() {
        return queue.length > 0 ? queue.shift() : null;
      },
      inputArrived() {
        return new Promise((resolve) => { wake = resolve; });
      },
      unitMilliseconds() {
        return pace;
      },
      pinnedSeconds() {
        const seconds = parameters.get('seconds');
        return seconds !== null && /^\d+$/.test(seconds) && Number(seconds) < 60 ? Number(seconds) : -1;
      },
      setTitle(title) {
        document.title = title;
      },
      boxOpened(text, caption) {
        page.boxText = [text, caption];
      },
      statusBegin(box, popup, dialog) {
        nextStatus = {box: !!box, popup: !!popup, dialog: !!dialog, boxText: box ? page.boxText : null,
          controls: {}, boxButtons: {}, menuButton: {}, popupItems: {}};
      },
      statusSpot(kind, id, left, top, right, bottom) {
        nextStatus[spotKeys[kind]][id] = [left, top, right, bottom];
      },
      statusEnd(words, gameRunning) {
        page.status = nextStatus;
        describeBoard(nextStatus, words, !!gameRunning);
        page.idleCount += 1;
        takeNewVersionIfSafe();
      },
      // The words of the board during a pause: whoever plays, nobody's turn.
      pausing(words) {
        if (boardText.textContent !== words)
          boardText.textContent = words;
      },
      news(line, eventJson) {
        addNews(line, JSON.parse(eventJson));
      },
      ended(status) {
        running = false;
        page.ended = status;
        showNotice('Zarta has ended', 'Play again');
        if (gameEnded)
          gameEnded();
      },
    },
    // The code compiled while the page loaded (index.html). The program
    // starts at once; it takes input only once this tab holds the game's lock.
    instantiateWasm(imports, receiveInstance) {
      window.zartaStart.code.then((code) => WebAssembly.instantiate(code, imports))
        .then((instance) => receiveInstance(instance))
        .catch((error) => {
          console.warn(`Zarta could not start: ${error}`);
          startFailed = true;
          running = false;
          showNotice('Zarta could not start.', 'Try again');
        });
      return {};
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  };

  // One game per browser: the tab holding the game's lock (asked for in
  // index.html) plays until it closes or the game ends. Another tab's program
  // shows its board under the notice and is given no input.
  window.zartaStart.tab.then((release) => {
    if (!release) {
      showNotice('Zarta is already open in another tab.', 'Try again');
      registerWorker();
      return;
    }
    gameEnded = release;
    if (startFailed)
      return;
    running = true;
    // What was tapped or pressed while this version loaded.
    for (const input of pendingInput(null))
      queueInput(...input);
    if (page.status !== null)
      describeBoard(page.status, boardWords, page.gameRunning);
    takeNewVersionIfSafe();
  });

  // ---- Offline, and always the newest version --------------------------------

  // A new version's worker waits for a moment that drops no input: before
  // the player has given any, or once a game has ended and nothing is open.
  // Then it takes over and the page starts again on the new files; input
  // given meanwhile is kept for the new page (queueInput). A first visit has
  // no old version to leave.
  let newVersion = null;
  let reloadWhenSafe = false;
  let inputGiven = false;
  let gameOverSinceInput = false;
  const hadVersion = 'serviceWorker' in navigator && navigator.serviceWorker.controller !== null;

  function isSafePoint() {
    return running && !page.updating && (!inputGiven || gameOverSinceInput) && !page.gameRunning &&
      page.status !== null && !page.status.box && !page.status.dialog && !page.status.popup;
  }

  // Shown for a moment before the reload, so the player sees why the page blinks.
  const updateNoticeMs = 400;
  function takeNewVersionIfSafe() {
    if (!isSafePoint())
      return;
    if (reloadWhenSafe) {
      reloadWhenSafe = false;
      page.updating = true;
      updatingBanner.hidden = false;
      setTimeout(() => location.reload(), updateNoticeMs);
    } else if (newVersion) {
      newVersion.postMessage('take-new-version');
      newVersion = null;
    }
  }

  function watchForNewVersion(registration) {
    const noteWaiting = () => {
      if (registration.waiting && hadVersion) {
        newVersion = registration.waiting;
        takeNewVersionIfSafe();
      }
    };
    registration.addEventListener('updatefound', () => {
      const worker = registration.installing;
      if (worker)
        worker.addEventListener('statechange', noteWaiting);
    });
    noteWaiting();
  }

  // After the first frame, so the worker's requests meet files the page has
  // already loaded and the first visit fetches each file once.
  let workerRegistered = false;
  function registerWorker() {
    if (workerRegistered || !('serviceWorker' in navigator) || parameters.get('offline') === 'no')
      return;
    workerRegistered = true;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (hadVersion) {
        reloadWhenSafe = true;
        takeNewVersionIfSafe();
      }
    });
    navigator.serviceWorker.register('sw.js').then(watchForNewVersion).catch(() => {});
  }
})();
