// The page around the game: one game per browser, the device screen on the
// canvas at a whole-number scale, pointer and key input queued for the
// program, and the notice when the game has ended.
'use strict';

(function () {
  const screenWidth = 240;
  const screenHeight = 320;
  const inputTap = 1;
  const inputKey = 2;
  const modifierControl = 1;

  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d', {alpha: false});
  const parameters = new URLSearchParams(location.search);

  // ---- Showing the screen ----------------------------------------------------

  // The largest whole factor of device pixels that fits, so every screen
  // pixel is a crisp square on phones too.
  function fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const factor = Math.max(1, Math.floor(Math.min(
      window.innerWidth * ratio / screenWidth, window.innerHeight * ratio / screenHeight)));
    canvas.style.width = (screenWidth * factor / ratio) + 'px';
    canvas.style.height = (screenHeight * factor / ratio) + 'px';
  }
  fitCanvas();
  window.addEventListener('resize', fitCanvas);

  // ---- Input ------------------------------------------------------------------

  const queue = [];
  let wake = null;
  let running = false;

  function queueInput(kind, a, b) {
    if (!running)
      return;
    queue.push([kind, a, b]);
    if (wake) {
      const resume = wake;
      wake = null;
      resume();
    }
  }

  // A press of the pen, a finger or the mouse's main button, at the device pixel under it.
  canvas.addEventListener('pointerdown', (event) => {
    if (!event.isPrimary || event.button !== 0)
      return;
    event.preventDefault();
    const box = canvas.getBoundingClientRect();
    const x = Math.floor((event.clientX - box.left) * screenWidth / box.width);
    const y = Math.floor((event.clientY - box.top) * screenHeight / box.height);
    if (x >= 0 && y >= 0 && x < screenWidth && y < screenHeight)
      queueInput(inputTap, x, y);
  });
  for (const type of ['contextmenu', 'dblclick', 'selectstart'])
    document.addEventListener(type, (event) => event.preventDefault());

  // The same key codes as the desktop program: Enter, Escape, the arrows and the letters.
  const namedKeys = {Enter: 13, Escape: 27, ArrowUp: 38, ArrowDown: 40};
  function keyCode(event) {
    if (event.key in namedKeys)
      return namedKeys[event.key];
    if (event.key.length === 1 && /[a-z]/i.test(event.key))
      return event.key.toUpperCase().charCodeAt(0);
    return 0;
  }
  window.addEventListener('keydown', (event) => {
    const code = keyCode(event);
    if (code === 0 || event.altKey || event.metaKey)
      return;
    event.preventDefault();
    if (!event.repeat)
      queueInput(inputKey, code, event.ctrlKey ? modifierControl : 0);
  });

  // ---- Notices ----------------------------------------------------------------

  function showNotice(text, buttonText) {
    document.getElementById('notice-text').textContent = text;
    const button = document.getElementById('notice-button');
    button.textContent = buttonText;
    button.onclick = () => location.reload();
    document.getElementById('notice').classList.add('shown');
  }

  // ---- The program's side -----------------------------------------------------

  // What tests read: how often the program waited for input, and what it showed then.
  const page = {idleCount: 0, status: null, firstFrameMs: null, ended: null, boxText: null};
  window.zartaPage = page;
  let nextStatus = null;
  let gameEnded = null;

  function spotKey(kind) {
    return ['controls', 'boxButtons', 'menuButton', 'popupItems'][kind];
  }

  window.Module = {
    zarta: {
      show(pixels, width, height) {
        context.putImageData(new ImageData(pixels, width, height), 0, 0);
        if (page.firstFrameMs === null)
          page.firstFrameMs = performance.now();
      },
      takeInput() {
        return queue.length > 0 ? queue.shift() : null;
      },
      inputArrived() {
        return new Promise((resolve) => { wake = resolve; });
      },
      unitMilliseconds() {
        const pace = parameters.get('pace');
        return pace !== null && /^\d+$/.test(pace) ? Number(pace) : -1;
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
      statusEnd() {
        page.status = nextStatus;
        page.idleCount += 1;
      },
      ended(status) {
        running = false;
        page.ended = status;
        showNotice('Zarta has ended', 'Play again');
        if (gameEnded)
          gameEnded();
      },
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  };

  function startGame() {
    running = true;
    const script = document.createElement('script');
    script.src = 'zarta.js';
    document.body.appendChild(script);
  }

  // One game per browser: the tab holding the lock plays until it closes or the game ends.
  if (navigator.locks) {
    navigator.locks.request('zarta-game', {ifAvailable: true}, (lock) => {
      if (!lock) {
        showNotice('Zarta is already open in another tab.', 'Try again');
        return undefined;
      }
      startGame();
      return new Promise((resolve) => { gameEnded = resolve; });
    });
  } else {
    startGame();
  }

  if ('serviceWorker' in navigator && parameters.get('offline') !== 'no')
    navigator.serviceWorker.register('sw.js').catch(() => {});
})();
