// The site's service worker: it keeps this build's page, script, WebAssembly, manifest and
// icons in a cache named after the build, so the game starts with no network. With the
// network up the server's files come first, so a new build is played on the next visit;
// the worker that build brings keeps its own files and removes every older cache.
var CACHE = 'ravela-@RAVELA_BUILD@';
var FILES = ['./', 'index.html', 'ravela.js', 'ravela.wasm', 'manifest.json', 'icons/180x180/apps/ravela.png',
             'icons/192x192/apps/ravela.png', 'icons/512x512/apps/ravela.png'];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    return cache.addAll(FILES.map(function (file) { return new Request(file, { cache: 'reload' }); }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) { return name.indexOf('ravela-') === 0 && name !== CACHE; })
      .map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') return;
  event.respondWith(fetch(event.request).catch(function () {
    return caches.open(CACHE).then(function (cache) {
      return cache.match(event.request, { ignoreSearch: true });
    }).then(function (kept) { return kept || Response.error(); });
  }));
});
