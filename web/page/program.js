// The page's script, the program's side: the notice when the game has ended
// or cannot start, the calls the program makes into the page (those of the
// kept game in keeping.js), and the start once this tab holds the game's
// lock. zarta-page.js holds this file at build time.

// The notice over the whole page, with a button that loads it again.
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
    ...keptGameCalls,
    ...soundCalls,
    show(pixels, width, height) {
      frameContext.putImageData(new ImageData(pixels, width, height), 0, 0);
      frameShown = true;
      // Played again, the game shows only where it stands.
      if (!rebuild)
        drawScreen();
      if (page.firstFrameMs === null) {
        page.firstFrameMs = performance.now();
        setTimeout(registerWorker, 0);
      }
    },
    unitMilliseconds() {
      return rebuild ? 0 : pace;
    },
    levelPlayed(level) {
      page.computer = computerLevels[level];
      showNextGameChoices();
    },
    dealPlayed(deal) {
      page.deal = dealKinds[deal];
      showNextGameChoices();
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
    statusEnd(words, gameRunning, framed, framedWords, selected) {
      page.status = nextStatus;
      describeBoard(nextStatus, words, !!gameRunning);
      tellFrameAndSelection(nextStatus, framed, framedWords, selected);
      page.idleCount += 1;
      takeNewVersionIfSafe();
    },
    // The words of the board during a pause: whoever plays, nobody's turn.
    // A game rebuilt in a pause is known to run from here.
    pausing(words, gameRunning) {
      if (boardText.textContent !== words)
        boardText.textContent = words;
      if (gameRunning && !page.gameRunning) {
        page.gameRunning = true;
        newGameButton.hidden = true;
        offerGameButtons(true);
      }
    },
    news(line, eventJson) {
      keepNews(line);
      addNews(line, JSON.parse(eventJson));
    },
    ended(status) {
      if (rebuild) {
        rebuildFailed('the program ended');
        return;
      }
      if (gameEnded)
        forgetKeptGame();
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
  startRebuild();
  // What was tapped or pressed while this version loaded, carried out once the kept game stands again.
  for (const input of pendingInput(null))
    queueInput(...input);
  if (rebuild)
    wakeProgram();
  else if (page.status !== null)
    describeBoard(page.status, boardWords, page.gameRunning);
  takeNewVersionIfSafe();
});
