// The page's script, input: taps and keys queued for the program, the page's
// keys (F6 to its buttons and back, Escape out of a sheet), and input kept
// in the tab's storage while a new version loads. zarta-page.js holds this
// file at build time.

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
function wakeProgram() {
  if (wake) {
    const resume = wake;
    wake = null;
    resume();
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
  wakeProgram();
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
// The page's buttons (and the level's list) a keyboard reaches with F6, in their order on the page.
function pageButtons() {
  return Array.from(document.querySelectorAll('#new-game, #side button, #side select, #help'))
    .filter((button) => !button.hidden && !button.disabled && button.getClientRects().length > 0);
}
const browserKeys = new Set(['Tab', 'Enter', ' ', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight']);
window.addEventListener('keydown', (event) => {
  if (!rules.hidden || !history.hidden) {
    if (event.key === 'Escape')
      closeSheet();
    return;
  }
  const onList = event.target instanceof HTMLSelectElement;
  const onButton = onList || event.target instanceof HTMLButtonElement;
  if (event.key === 'F6' || (onButton && event.key === 'Escape')) {
    event.preventDefault();
    const buttons = pageButtons();
    if (onButton || buttons.length === 0)
      canvas.focus({preventScroll: true});
    else
      buttons[0].focus();
    return;
  }
  // On the page's buttons Tab, the arrows, Enter and Space are the browser's; on the list every key.
  if (onList || (onButton && browserKeys.has(event.key)))
    return;
  const code = keyCode(event);
  if (code === 0 || event.altKey || event.metaKey)
    return;
  event.preventDefault();
  if (!event.repeat)
    queueInput(inputKey, code, (event.ctrlKey ? modifierControl : 0) | (event.shiftKey ? modifierShift : 0), 0);
});
