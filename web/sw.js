// Keeps the game playable with no network: everything the page needs is
// cached when the worker installs, and answered from the cache first.
const cacheName = 'zarta-@ZARTA_CACHE_VERSION@';
const cachedFiles = [@ZARTA_CACHED_FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(cachedFiles)).then(() => self.skipWaiting()));
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
  event.respondWith(caches.open(cacheName).then((cache) =>
    cache.match(event.request, {ignoreSearch: true}).then((cached) => cached || fetch(event.request))));
});
