// The page's script, beside the board: the New game, Hint and Record
// buttons, the computer's level and the deal, the rules and the history as
// sheets, the account with the fit of its newest lines, and the board in
// words with what a screen reader is told. zarta-page.js holds this file at
// build time.

newGameButton.addEventListener('click', () => {
  newGameButton.hidden = true;
  canvas.focus({preventScroll: true});
  queueInput(inputCommand, commandNew, 0, 0);
});

// The coach's hint as the H key asks for it; the keys go back to the board,
// where Enter taps what the hint framed.
hintButton.addEventListener('click', () => {
  canvas.focus({preventScroll: true});
  queueInput(inputKey, hintKey, 0, 0);
});

// The player's record of play, in the program's own box (as F3 asks for it).
recordButton.addEventListener('click', () => {
  // On a small screen it sits in the rules sheet, which would hide the box.
  rules.hidden = true;
  canvas.focus({preventScroll: true});
  queueInput(inputKey, namedKeys.F3, 0, 0);
});

// The computer seats' level and the deal: ?computer= and ?deal= over the
// choices this browser remembers. The program reads them as each game
// starts, so a change during a game applies from the next.
function setUpChoice(list, key, names, parameter, noun, told) {
  for (const name of names)
    list.add(new Option(name));
  let remembered = null;
  try {
    remembered = localStorage.getItem(key);
  } catch {
    // no storage: the default
  }
  const addressed = parameters.get(parameter);
  if (addressed !== null && !names.includes(addressed))
    console.warn(`?${parameter}=${addressed} is not ${noun} (${names.join(' or ')}); it is left out`);
  list.value = [addressed, remembered, names[0]].find((name) => names.includes(name));
  list.addEventListener('change', () => {
    try {
      localStorage.setItem(key, list.value);
    } catch {
      // kept for this visit only
    }
    if (page.gameRunning)
      announce(`${told(list.value)} from the next game.`);
  });
}
setUpChoice(computerChoice, 'zarta-computer', computerLevels, 'computer', 'a level',
  (level) => `The computer plays ${level}`);
setUpChoice(dealChoice, 'zarta-deal', dealKinds, 'deal', 'a deal', (deal) => `The cards are dealt ${deal}`);

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

// Said to a screen reader as it happens; in the accessibility tree whatever
// the layout shows. A game played again says only that it is back.
function announce(text) {
  if (rebuild)
    return;
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
  if (!rebuild)
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
  const wanted = Math.min(items.length, mode === 'compact' ? 1 : account.clientHeight >= 150 ? 5 : 3);
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
