// The page's script, beside the board: the New game, Hint, Review and
// Record buttons, the computer's level and the deal, the rules and the
// history as sheets, the account with the fit of its newest lines, and the
// board in words with what a screen reader is told. zarta-page.js holds this
// file at build time.

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

// The review of the last round (of the game, once it is over) as R asks for it.
reviewButton.addEventListener('click', () => {
  // In a small window it sits in the rules sheet, which would hide the line it adds.
  rules.hidden = true;
  canvas.focus({preventScroll: true});
  queueInput(inputKey, reviewKey, 0, 0);
});

// The coach has nothing to say before a game, the review nothing before the
// first: both wait, visibly, until a game runs.
let gamePlayed = false;
function offerGameButtons(gameRunning) {
  gamePlayed = gamePlayed || gameRunning;
  hintButton.disabled = !gameRunning;
  reviewButton.disabled = !gamePlayed;
  showNextGameChoices();
}

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
    showNextGameChoices();
  });
}

// A choice changed during a game is not what the game plays: the panel says
// when it applies ("expert from the next game"), and the list keeps the choice.
function showNextGameChoices() {
  const waiting = [];
  if (page.gameRunning && page.computer !== null && computerChoice.value !== page.computer)
    waiting.push(computerChoice.value);
  if (page.gameRunning && page.deal !== null && dealChoice.value !== page.deal)
    waiting.push(`${dealChoice.value} deal`);
  const text = waiting.length > 0 ? `${waiting.join(' and ')} from the next game` : '';
  if (nextGameNote.textContent !== text) {
    nextGameNote.textContent = text;
    nextGameNote.hidden = text === '';
    fitAccount();
  }
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
// The history opens at the newest round's heading: read on, it goes oldest first to the newest line.
const openHistory = (event) => {
  openSheet(history, document.getElementById('history-close'), event);
  const headings = historyList.querySelectorAll('h3, h4');
  if (headings.length > 0)
    history.scrollTop = headings[headings.length - 1].offsetTop;
};
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
  // A new game starts the account afresh; the history keeps the games before.
  if (event.kind === 'dealerDraw')
    account.textContent = '';
  tellHistory(event.kind, line);
  const item = document.createElement('li');
  item.line = line;
  item.textContent = line;
  account.insertBefore(item, account.firstChild);
  while (account.children.length > accountLines)
    account.removeChild(account.lastChild);
  if (!rebuild)
    fitAccount();
  announce(line);
  turnAnnounced = false;
  selectionKnown = false;
}

// ---- The history sheet ----------------------------------------------------------

// A block for each of the last few games, "Game 2", and in it a heading for
// each round, "Round 1", the lines under it oldest first. The blocks before
// the running game's are kept with it (keeping.js), as [kind, line] pairs.
const historyGames = 3;
let historyBlocks = [];    // {number, told: [[kind, line]...], rounds, roundOver}, oldest first, as shown
let historyLines = null;   // the list the next line goes in
let firstHistoryGame = 1;  // the number of the first block, which a kept game carries
function tellHistory(kind, line) {
  let block = historyBlocks.at(-1);
  if (kind === 'dealerDraw' || !block) {
    block = {number: block ? block.number + 1 : firstHistoryGame, told: [], rounds: 0, roundOver: true};
    historyBlocks.push(block);
    const section = document.createElement('section');
    section.appendChild(document.createElement('h3')).textContent = `Game ${block.number}`;
    historyLines = section.appendChild(document.createElement('ol'));
    historyList.appendChild(section);
    while (historyBlocks.length > historyGames) {
      historyBlocks.shift();
      historyList.removeChild(historyList.firstChild);
    }
  }
  // A round starts with its deal's first line: the dealer's choice, or the
  // coach's at the keep question. One dealt again after four equal hands is
  // a round too, as the review counts them; a review looks back.
  if (block.roundOver && (kind === 'dealerChoice' || kind === 'dealt' || kind === 'hint')) {
    block.roundOver = false;
    block.rounds += 1;
    const section = historyList.lastChild;
    section.appendChild(document.createElement('h4')).textContent = `Round ${block.rounds}`;
    historyLines = section.appendChild(document.createElement('ol'));
  }
  block.roundOver = block.roundOver || kind === 'roundEnd' || kind === 'redeal';
  block.told.push([kind, line]);
  historyLines.appendChild(document.createElement('li')).textContent = line;
}

// The blocks of the games before the one starting, as a kept game carries them.
function historyBefore() {
  const before = historyBlocks.slice(1 - historyGames);
  return {firstGame: before.length > 0 ? before[0].number : 1, earlier: before.flatMap((block) => block.told)};
}

// ---- The account: the newest lines that fit ---------------------------------------

// Card names, and a hand told by its ranks in one suit ("the ten, jack and
// king of diamonds"), are never cut when a line is shortened.
const cardWords = /\b(?:(?:the|your) )?(?:(?:seven|eight|nine|ten|jack|queen|king|ace)(?:, | and ))*(?:seven|eight|nine|ten|jack|queen|king|ace) of (?:clubs|diamonds|hearts|spades)\b/g;
// Where a line may be cut: before each space that lies outside a card's name.
function cutPoints(line) {
  const bound = line.replace(cardWords, (name) => name.replace(/ /g, '\u00a0'));
  const points = [];
  for (let at = bound.indexOf(' '); at >= 0; at = bound.indexOf(' ', at + 1))
    points.push(at);
  return points;
}
function showWhole(item) {
  item.classList.remove('cut');
  if (item.firstElementChild)
    item.textContent = item.line;
}
// The line cut after its last whole word that fits, with an ellipsis; a
// screen reader reads it whole.
function showShortened(item, text) {
  const shown = document.createElement('span');
  shown.setAttribute('aria-hidden', 'true');
  shown.textContent = text;
  const whole = document.createElement('span');
  whole.className = 'unseen';
  whole.textContent = item.line;
  item.replaceChildren(shown, whole);
}
// Shortens `item` to at most `height` CSS pixels.
function shortenTo(item, height) {
  const points = cutPoints(item.line);
  const shortened = (count) => item.line.slice(0, points[count - 1]).replace(/[,;:]$/, '') + '\u2026';
  let fits = 0;
  for (let low = 1, high = points.length; low <= high;) {
    const middle = (low + high) >> 1;
    showShortened(item, shortened(middle));
    if (item.getBoundingClientRect().height <= height + 0.5) {
      fits = middle;
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  // Not even its first word fits a row: the row shows what it can.
  showShortened(item, fits > 0 ? shortened(fits) : item.line);
  item.classList.toggle('cut', fits === 0);
}

// The newest lines, newest first, none left out between two shown, each
// whole or shortened at a word to whole rows: the newest gets the rows it
// needs while each of the fewest lines wanted keeps one, and rows left over
// go to older lines, so the panel shows no cut row and no blank one.
function fitAccount() {
  const items = Array.from(account.children);
  for (const item of items) {
    item.hidden = false;
    showWhole(item);
  }
  const room = account.clientHeight;
  if (items.length === 0 || room <= 0)
    return;
  const mode = page.layout ? page.layout.mode : 'beside';
  const wanted = Math.min(items.length, mode === 'compact' ? 1 : room >= 150 ? 5 : 3);
  const style = getComputedStyle(items[0]);
  const padding = parseFloat(style.paddingTop) + parseFloat(style.paddingBottom);
  const row = parseFloat(style.lineHeight);
  const heights = items.map((item) => item.getBoundingClientRect().height);
  let used = 0;
  let full = false;
  items.forEach((item, i) => {
    const left = room - used - Math.max(0, wanted - i - 1) * (padding + row);
    const rows = Math.floor((left - padding + 0.5) / row);
    if (full || rows < 1) {
      full = true;
      item.hidden = true;
      return;
    }
    if (heights[i] > left + 0.5)
      shortenTo(item, padding + rows * row);
    used += item.getBoundingClientRect().height;
  });
}

// ---- The frame and the selection in words ----------------------------------------

// Said as they change, so that a player moving by keys hears one short line
// rather than the board again. After news the selection is taken as it
// stands: a move clears it without a card being put back. A game built
// again says neither: its board's words tell where the frame is.
let framedControl = 0;   // the control the frame was last said on; 0: no frame shown
let selection = [];      // the cards last said selected
let selectionKnown = false;
let keysToldAfter = 0;   // the rebuilt games before the last said
function tellFrameAndSelection(status, framed, framedWords, selected) {
  if (status.box || status.dialog || status.popup)
    return;
  const cards = selected === '' ? [] : selected.split('\n');
  if (page.rebuilt > keysToldAfter) {
    keysToldAfter = page.rebuilt;
    selectionKnown = false;
    framedControl = framed;
  }
  if (selectionKnown) {
    for (const card of selection.filter((card) => !cards.includes(card)))
      announce(`Put back: ${card}`);
    for (const card of cards.filter((card) => !selection.includes(card)))
      announce(`Selected: ${card}`);
  }
  selection = cards;
  selectionKnown = true;
  if (framed !== 0 && framed !== framedControl)
    announce(`Frame: ${framedWords}`);
  framedControl = framed;
}

// The board in words for those who cannot see it, and the way in when no game runs.
let boardWords = '';
let lastToldBox = null;
function describeBoard(status, words, gameRunning) {
  if (page.gameRunning && !gameRunning)
    gameOverSinceInput = true;
  page.gameRunning = gameRunning;
  boardWords = words;
  offerGameButtons(gameRunning);
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
