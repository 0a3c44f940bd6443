// The page's script, the kept game: the running game kept in the browser's
// storage as the program plays it, so that the page opened again (or a new
// version taking over) builds it again exactly and goes on from there. What
// is kept starts afresh at each New: what the program carried into the game,
// then in order each input it took, with the take it came in, and each value
// it read from outside (s the clock's seconds, r a random word, l and d the
// level and deal chosen, x the answer to Exit's question), and where the
// page stood: waiting for input, or in a pause, counted from the New; with
// it, the history's blocks of the games before, as [kind, line] pairs, and
// the number of the first. It is written whenever the program gives the
// browser its turn, which is the only time the page can be left.
// zarta-page.js holds this file at build time.

const keptKey = 'zarta-game';
const lostNoteKey = 'zarta-game-lost';
let kept = null;       // {carried, earlier, firstGame, steps, stand}: the game since its New, or null
let keeping = true;    // false once the browser has refused to store it
let rebuild = null;    // while the kept game is played again: {game, at, phase, failed}
let takes = 0;         // the program's takes of input since the game's New
let pauses = 0;        // and the pauses it has started
let told = 0;          // a hash of the account's lines since the New: a game played again must tell the same
const isWhole = Number.isInteger;

// A kept game as this page writes it: inputs as [take, kind, a, b, c] in
// the order of their takes, values as [letter, number], and the stand. Its
// history may hold plain lines, as a version before the history's blocks
// kept the account's: those are left out.
const keptHistoryLines = 5000;
const isToldLine = (told) => Array.isArray(told) && told.length === 2 && told.every((text) => typeof text === 'string');
function soundKeptGame(game) {
  if (!game || typeof game.carried !== 'string' || !/^[A-Za-z0-9+/]+={0,2}$/.test(game.carried) ||
      !Array.isArray(game.steps) || !game.stand || !Array.isArray(game.earlier) ||
      game.earlier.length > keptHistoryLines || !game.earlier.every((told) => typeof told === 'string' || isToldLine(told)) ||
      !(game.firstGame === undefined || (isWhole(game.firstGame) && game.firstGame >= 1)))
    return false;
  const {stand} = game;
  if (![stand.pauses, stand.take].every((n) => isWhole(n) && n >= 0) || !isWhole(stand.told) ||
      typeof stand.wait !== 'boolean')
    return false;
  let take = 0;
  return game.steps.every((step) => {
    if (!Array.isArray(step))
      return false;
    if (step.length === 2)
      return typeof step[0] === 'string' && /^[srldx]$/.test(step[0]) && isWhole(step[1]);
    const sound = step.length === 5 && step.every(isWhole) && step[0] >= take && step[0] <= stand.take &&
      [inputTap, inputKey, inputCommand].includes(step[1]);
    take = step[0];
    return sound;
  });
}

function forgetKeptGame() {
  kept = null;
  try {
    localStorage.removeItem(keptKey);
  } catch {
    // nothing can have been kept
  }
}

// Said on the page and in the console: the game could not be brought back.
function noteLostGame() {
  noteBanner.textContent = 'Your last game could not be brought back. A new game can start.';
  noteBanner.hidden = false;
}
function loseKeptGame(why) {
  console.warn(`The kept game is left out: ${why}`);
  forgetKeptGame();
}

// Once this tab holds the game's lock: the kept game, if there is one the
// page can read, to be played again from the program's first wait.
function startRebuild() {
  try {
    if (sessionStorage.getItem(lostNoteKey) !== null) {
      sessionStorage.removeItem(lostNoteKey);
      noteLostGame();
    }
  } catch {
    // no note to give
  }
  let text = null;
  try {
    text = localStorage.getItem(keptKey);
  } catch {
    keeping = false;
    return;
  }
  if (text === null)
    return;
  let game = null;
  try {
    game = JSON.parse(text);
  } catch (error) {
    game = error;
  }
  if (!soundKeptGame(game)) {
    loseKeptGame(game instanceof Error ? `it is not JSON (${game.message})` : 'it is not a game this page keeps');
    noteLostGame();
    return;
  }
  rebuild = {game, at: 0, phase: 'start', failed: false};
  page.rebuilding = true;
  firstHistoryGame = game.firstGame || 1;
  for (const [kind, line] of game.earlier.filter(isToldLine))
    tellHistory(kind, line);
}

// Played again, the game went where the kept one did not: the page starts
// afresh, and the note waits for it in the tab's storage.
function rebuildFailed(why) {
  if (rebuild.failed)
    return;
  rebuild.failed = true;
  running = false;
  loseKeptGame(`it could not be played again (${why})`);
  try {
    sessionStorage.setItem(lostNoteKey, '1');
  } catch {
    // the new page starts without the note
  }
  location.reload();
}

// False when the game played again is not the one kept.
function finishRebuild() {
  if (told !== rebuild.game.stand.told) {
    rebuildFailed('it tells another game');
    return false;
  }
  kept = rebuild.game;
  rebuild = null;
  page.rebuilding = false;
  page.rebuilt += 1;
  drawScreen();
  fitAccount();
  announce('Your game is back as you left it.');
  return true;
}

function keepNews(line) {
  for (let i = 0; i < line.length; ++i)
    told = Math.imul(told ^ line.charCodeAt(i), 16777619);
}

function keepStep(step) {
  if (kept)
    kept.steps.push(step);
}

function storeKeptGame(wait) {
  if (!kept || !keeping || rebuild)
    return;
  kept.stand = {pauses, take: takes, wait, told};
  try {
    localStorage.setItem(keptKey, JSON.stringify(kept));
  } catch (error) {
    keeping = false;
    loseKeptGame(`the browser would not store it (${error})`);
  }
}

// The next input of the kept game at this take, or null when it has none.
// At the take the page was left waiting in, the game is live again.
function rebuiltInput(take) {
  if (rebuild.failed)
    return null;
  if (rebuild.phase === 'start') {
    if (!running)
      return null;
    rebuild.phase = 'new';
    return [inputCommand, commandNew, 0, 0];
  }
  if (rebuild.phase === 'new')
    return null;
  const {steps, stand} = rebuild.game;
  const step = steps[rebuild.at];
  if (take > stand.take)
    return rebuildFailed(`take ${take} lies past the stand`);
  if (step && isWhole(step[0])) {
    if (step[0] < take)
      return rebuildFailed(`input of take ${step[0]} was not taken`);
    if (step[0] > take)
      return null;
    rebuild.at += 1;
    return step.slice(1);
  }
  if (take < stand.take || !stand.wait)
    return null;
  if (step)
    return rebuildFailed(`${steps.length - rebuild.at} steps were left at the stand`);
  return finishRebuild() ? liveInput(take) : null;
}

function liveInput(take) {
  if (queue.length === 0)
    return null;
  const input = queue.shift();
  keepStep([take, ...input]);
  return input;
}

// A value from outside: kept as it is read, or read from the kept game.
function keptValue(letter, read) {
  if (!rebuild) {
    const value = read();
    keepStep([letter, value]);
    return value;
  }
  const step = rebuild.game.steps[rebuild.at];
  if (rebuild.failed || rebuild.phase !== 'steps' || !step || step[0] !== letter) {
    rebuildFailed(`the program read ${letter} where the kept game holds ${step ? step[0] : 'nothing'}`);
    return 0;
  }
  rebuild.at += 1;
  return step[1];
}

// The program's calls for the kept game, gathered into Module.zarta by program.js.
const keptGameCalls = {
  takeInput(take) {
    takes = take;
    return rebuild ? rebuiltInput(take) : liveInput(take);
  },
  inputArrived() {
    if (rebuild && rebuild.phase !== 'start')
      rebuildFailed('the program waited where the kept game gave input');
    storeKeptGame(true);
    return new Promise((resolve) => { wake = resolve; });
  },
  pauseStarted(units) {
    pauses += 1;
    if (rebuild && !rebuild.failed && rebuild.phase === 'steps') {
      const {steps, stand} = rebuild.game;
      if (pauses > stand.pauses)
        rebuildFailed(`pause ${pauses} lies past the stand`);
      else if (pauses === stand.pauses && !stand.wait && rebuild.at < steps.length)
        rebuildFailed(`${steps.length - rebuild.at} steps were left at the stand`);
      else if (pauses === stand.pauses && !stand.wait)
        finishRebuild();
    }
    if (units > 0 && pace !== 0)
      storeKeptGame(false);
  },
  // True when this New is the one the kept game starts from.
  gameStarting() {
    takes = 0;
    pauses = 0;
    told = 0;
    if (rebuild && rebuild.phase === 'new') {
      rebuild.phase = 'steps';
      return true;
    }
    if (rebuild)
      rebuildFailed('a second New');
    return false;
  },
  keepGame(bytes) {
    noteBanner.hidden = true;
    if (keeping && !rebuild)
      kept = {carried: btoa(String.fromCharCode(...bytes)), ...historyBefore(), steps: [], stand: null};
  },
  kept() {
    return Uint8Array.from(atob(rebuild.game.carried), (c) => c.charCodeAt(0));
  },
  keptUnreadable(why) {
    rebuildFailed(why);
  },
  seconds() {
    return keptValue('s', () => {
      const pinned = parameters.get('seconds');
      return pinned !== null && /^\d+$/.test(pinned) && Number(pinned) < 60 ? Number(pinned) : new Date().getSeconds();
    });
  },
  randomWord() {
    return keptValue('r', () => crypto.getRandomValues(new Int32Array(1))[0]);
  },
  chosenLevel() {
    return keptValue('l', () => computerChoice.selectedIndex);
  },
  chosenDeal() {
    return keptValue('d', () => dealChoice.selectedIndex);
  },
  confirmLeaving() {
    return keptValue('x', () => (confirm('Leave Zarta? The game you are playing ends here.') ? 1 : 0)) === 1;
  },
  // The player's own data, beside the game: never written while a game is played again.
  playerData(name) {
    try {
      const text = localStorage.getItem(`zarta-${name}`);
      return text === null ? -1 : text;
    } catch {
      return -2;
    }
  },
  writePlayerData(name, text) {
    if (rebuild)
      return true;
    try {
      localStorage.setItem(`zarta-${name}`, text);
      return true;
    } catch {
      return false;
    }
  },
};
