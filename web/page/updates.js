// The page's script, offline play and new versions: the service worker is
// registered after the first frame, and a new version takes over only at
// a moment that drops no input. zarta-page.js holds this file at build time.

// A new version's worker waits for a moment that drops no input: while the
// game is kept and no input waits for the program (the new version builds
// the game again), or with nothing kept, before the player has given any
// input or once a game has ended and nothing is open. Then it takes over
// and the page starts again on the new files; input given meanwhile is kept
// for the new page (queueInput). A first visit has no old version to leave.
let newVersion = null;
let reloadWhenSafe = false;
let inputGiven = false;
let gameOverSinceInput = false;
const hadVersion = 'serviceWorker' in navigator && navigator.serviceWorker.controller !== null;

function isSafePoint() {
  if (!running || page.updating || page.status === null || rebuild || queue.length > 0)
    return false;
  return (kept !== null && keeping) || ((!inputGiven || gameOverSinceInput) && !page.gameRunning &&
    !page.status.box && !page.status.dialog && !page.status.popup);
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
  const watch = () => {
    if (registration.installing)
      registration.installing.addEventListener('statechange', noteWaiting);
  };
  registration.addEventListener('updatefound', watch);
  // One may be installing already.
  watch();
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
