// Keeps the game playable with no network: the files the page needs are
// cached when the worker installs, and answered from the cache first. A new
// version's files come from the server, never from the browser's HTTP cache,
// which may hold an older build for as long as the server allowed; the new
// worker waits until the page says it may take over (web/page/updates.js).
const cacheName = 'zarta-@ZARTA_CACHE_VERSION@';
const cachedFiles = [@ZARTA_CACHED_FILES@];

// 'no-cache' asks the server every time: a file the page has just loaded comes
// back as a bodiless "not modified", anything else in full.
async function fetchFromServer(file) {
  const response = await fetch(new Request(file, {cache: 'no-cache'}));
  if (!response.ok)
    throw new Error(`${file}: ${response.status}`);
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) =>
    Promise.all(cachedFiles.map((file) => fetchFromServer(file).then((response) => cache.put(file, response))))));
});

self.addEventListener('message', (event) => {
  if (event.data === 'take-new-version')
    self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys()
      .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET')
    return;
  const url = new URL(event.request.url);
  // The page under either of its names.
  const request = url.pathname.endsWith('/index.html') ? new URL('./', url).href : event.request;
  event.respondWith(caches.open(cacheName).then((cache) =>
    cache.match(request, {ignoreSearch: true}).then((cached) => cached || fetch(event.request))));
});
