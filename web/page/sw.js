// Every file of the site is kept at the first visit and served from there; a new build has a new
// version, whose worker keeps its own files and drops the old ones.
const kVersion = 'kelsoft-@VERSION@';
const kFiles = "@FILES@";

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(kVersion);
    // Past the browser's HTTP cache, which may hold files of an older build.
    await cache.addAll(kFiles.map((f) => new Request(f, { cache: 'reload' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const key of await caches.keys())
      if (key !== kVersion) await caches.delete(key);
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET' || new URL(event.request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(kVersion);
    return (await cache.match(event.request, { ignoreSearch: true })) ?? fetch(event.request);
  })());
});
