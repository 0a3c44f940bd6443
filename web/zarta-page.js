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
  const accountLines = 8;

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
  const boardText = document.getElementById('board-text');
  const parameters = new URLSearchParams(location.search);

  // What tests read: how often the program waited for input, and what it showed then.
  const page = {idleCount: 0, status: null, firstFrameMs: null, ended: null, boxText: null, events: [],
    layout: null, gameRunning: false};
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
  function layOut() {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const ratio = window.devicePixelRatio || 1;
    const scale = Math.min(width / screenWidth, height / screenHeight);
    let devicePixels = scale * ratio;
    if (Math.abs(devicePixels - Math.round(devicePixels)) < 0.01)
      devicePixels = Math.round(devicePixels);
    const boardWidth = Math.floor(screenWidth * devicePixels) / ratio;
    const boardHeight = Math.floor(screenHeight * devicePixels) / ratio;
    const snap = (value) => Math.round(value * ratio) / ratio;
    const roomBelow = height - boardHeight;
    const roomBeside = width - boardWidth;
    let mode = 'compact';
    if (roomBelow >= panelBelow)
      mode = 'below';
    else if (roomBeside >= panelBeside)
      mode = 'beside';
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
    side.classList.toggle('compact', mode === 'compact');
    helpButton.hidden = mode !== 'compact';
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

  function queueInput(kind, a, b, c) {
    if (!running)
      return;
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
    const box = canvas.getBoundingClientRect();
    const x = Math.floor((event.clientX - box.left) * screenWidth / box.width);
    const y = Math.floor((event.clientY - box.top) * screenHeight / box.height);
    const scale = Math.round(box.width * 1000 / screenWidth);
    if (x >= 0 && y >= 0 && x < screenWidth && y < screenHeight)
      queueInput(inputTap, x, y, scale);
  });
  for (const type of ['contextmenu', 'dblclick', 'selectstart']) {
    document.addEventListener(type, (event) => {
      if (!rules.contains(event.target))
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
  window.addEventListener('keydown', (event) => {
    if (!rules.hidden) {
      if (event.key === 'Escape')
        closeRules();
      return;
    }
    // Enter and Space on one of the page's buttons press that button.
    if (event.target instanceof HTMLButtonElement && (event.key === 'Enter' || event.key === ' '))
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
    newGameButton.blur();
    queueInput(inputCommand, commandNew, 0, 0);
  });

  let focusBeforeRules = null;
  function openRules() {
    focusBeforeRules = document.activeElement;
    rules.hidden = false;
    rules.scrollTop = 0;
    document.getElementById('rules-close').focus();
  }
  function closeRules() {
    rules.hidden = true;
    if (focusBeforeRules && focusBeforeRules.focus)
      focusBeforeRules.focus();
  }
  document.getElementById('rules-button').addEventListener('click', openRules);
  helpButton.addEventListener('click', openRules);
  document.getElementById('rules-close').addEventListener('click', closeRules);

  function addNews(line, event) {
    event.line = line;
    page.events.push(event);
    if (page.events.length > 5000)
      page.events.splice(0, 1000);
    const item = document.createElement('li');
    item.textContent = line;
    account.insertBefore(item, account.firstChild);
    while (account.children.length > accountLines)
      account.removeChild(account.lastChild);
    fitAccount();
  }

  // Only whole lines: the oldest that would be cut off by the panel's edge are left out.
  function fitAccount() {
    if (account.children.length === 0)
      return;
    for (const item of account.children)
      item.hidden = false;
    const bottom = account.getBoundingClientRect().bottom;
    for (const item of account.children)
      item.hidden = item.getBoundingClientRect().bottom > bottom + 0.5;
  }

  // The board in words for those who cannot see it, and the way in when no game runs.
  let boardWords = '';
  function describeBoard(status, words, gameRunning) {
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

  function spotKey(kind) {
    return ['controls', 'boxButtons', 'menuButton', 'popupItems'][kind];
  }

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
        nextStatus[spotKey(kind)][id] = [left, top, right, bottom];
      },
      statusEnd(words, gameRunning) {
        page.status = nextStatus;
        describeBoard(nextStatus, words, !!gameRunning);
        page.idleCount += 1;
        takeNewVersionIfSafe();
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
    if (page.status !== null)
      describeBoard(page.status, boardWords, page.gameRunning);
    takeNewVersionIfSafe();
  });

  // ---- Offline, and always the newest version --------------------------------

  // A new version's worker waits until no game runs; then it takes over and
  // the page starts again on the new files. A first visit has no old version
  // to leave.
  let newVersion = null;
  let reloadWhenSafe = false;
  const hadVersion = 'serviceWorker' in navigator && navigator.serviceWorker.controller !== null;

  function isSafePoint() {
    return running && !page.gameRunning && page.status !== null && !page.status.box && !page.status.dialog &&
      !page.status.popup;
  }

  function takeNewVersionIfSafe() {
    if (!isSafePoint())
      return;
    if (reloadWhenSafe) {
      reloadWhenSafe = false;
      location.reload();
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
