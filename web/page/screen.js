// The page's script, the device screen: the program's frames on the canvas
// as large as the window allows, and where the board and the panel beside
// it go as the window changes. zarta-page.js holds this file at build time.

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
const twoRowsBelow = 180; // and that hold two rows of buttons above three lines of the account
const panelBeside = 220;  // and beside it
const keptShare = 0.8;    // of the board's width, given up for a panel at a whole factor
// The history's mark beside its word where buttons are few; the word is its name.
const historyMark = document.createElement('span');
historyMark.setAttribute('aria-hidden', 'true');
historyMark.textContent = '\u2630 ';
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
  // With room for one row of buttons, Hint and Review join it, and Record,
  // the level and the deal wait in the rules sheet; over the board's title
  // bar Review waits there too. The history's button keeps a word.
  const narrow = mode === 'compact' || (mode === 'below' && roomBelow < twoRowsBelow);
  side.classList.toggle('narrow', narrow);
  if (narrow)
    historyButton.replaceChildren(historyMark, 'History');
  else
    historyButton.replaceChildren('What happened');
  playRow.hidden = narrow;
  if (!narrow) {
    playRow.append(hintButton, reviewButton, recordButton, choices);
  } else if (mode === 'compact') {
    historyButton.after(hintButton);
    rulesTitle.after(reviewButton, recordButton, choices);
  } else {
    historyButton.after(hintButton, reviewButton);
    rulesTitle.after(recordButton, choices);
  }
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
