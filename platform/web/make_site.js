// make_site.js: writes the site for a web server from the program's page, script and
// WebAssembly: the same three files, and what makes the site an app that installs from the
// browser and plays offline: a web app manifest, its icons drawn from the program's icon, and a
// service worker that keeps the site's files. The page is also the folder's index.html, so that
// the site opens from the folder's own address on any server; the worker answers that address
// with the page it keeps.
//
// The worker's cache is named by the version and by the files' contents, so that a new build
// replaces the cache at the next visit; the worker deletes only this site's older caches. The
// page registers the worker once it has loaded, so the first frame never waits for it; the
// one-file page (one_file.js) is written from the program's page, not this one, and registers
// none.
//
//   node make_site.js PROGRAM_PAGE SITE_DIR ICON.ico VERSION DESCRIPTION
'use strict';

const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');

const WORKER = 'vorek-sw.js';
// Every cache of the worker is named so; the rest of its name says which build and which site.
const CACHE_PREFIX = 'vorek ';
const MANIFEST = 'vorek.webmanifest';
const INDEX = 'index.html';
// Pixel-multiplied, as the desktop's icons. A maskable icon is cropped to the circle of 80 % of
// its width: the drawing stands in the square inside it, on the desktop's colour.
const ICONS = [
  { file: 'vorek-192.png', size: 192, factor: 6, purpose: 'any' },
  { file: 'vorek-512.png', size: 512, factor: 16, purpose: 'any' },
  { file: 'vorek-maskable-512.png', size: 512, factor: 9, purpose: 'maskable' },
];

// The first image of an .ico file (a bitmap with 4, 8, 24 or 32 bits a pixel, and its mask of
// transparent pixels) as RGBA rows, top first.
function decodeIcon(bytes) {
  if (bytes.readUInt16LE(0) !== 0 || bytes.readUInt16LE(2) !== 1 || bytes.readUInt16LE(4) < 1) {
    throw new Error('not an icon file');
  }
  const at = bytes.readUInt32LE(18);
  if (bytes.readUInt32LE(at) !== 40) throw new Error('only bitmap icons are read');
  const width = bytes.readInt32LE(at + 4);
  const height = bytes.readInt32LE(at + 8) / 2;  // the colours, then the mask
  const bits = bytes.readUInt16LE(at + 14);
  if (![4, 8, 24, 32].includes(bits)) throw new Error(`icons of ${bits} bits are not read`);
  const paletteSize = bits <= 8 ? (bytes.readUInt32LE(at + 32) || 1 << bits) : 0;
  const palette = at + 40;
  const colours = palette + paletteSize * 4;
  const stride = Math.ceil((width * bits) / 32) * 4;
  const mask = colours + stride * height;
  const maskStride = Math.ceil(width / 32) * 4;
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; y += 1) {
    const row = colours + (height - 1 - y) * stride;
    const maskRow = mask + (height - 1 - y) * maskStride;
    for (let x = 0; x < width; x += 1) {
      let blue;
      let green;
      let red;
      let alpha = 255;
      if (bits <= 8) {
        const index = bits === 8 ? bytes[row + x]
          : (bytes[row + (x >> 1)] >> (x & 1 ? 0 : 4)) & 0x0f;
        [blue, green, red] = bytes.subarray(palette + index * 4, palette + index * 4 + 3);
      } else {
        const pixel = row + x * (bits / 8);
        [blue, green, red] = bytes.subarray(pixel, pixel + 3);
        if (bits === 32) alpha = bytes[pixel + 3];
      }
      if (bits < 32 && (bytes[maskRow + (x >> 3)] >> (7 - (x & 7))) & 1) alpha = 0;
      rgba.set([red, green, blue, alpha], (y * width + x) * 4);
    }
  }
  return { width, height, rgba };
}

// The icon multiplied by `factor`, centred on a `size` square of `background` (transparent when
// none), as a PNG.
function drawIcon(icon, { size, factor }, background) {
  const { PNG } = require('pngjs');
  const png = new PNG({ width: size, height: size });
  const fill = background ? [...Buffer.from(background.slice(1), 'hex'), 255] : [0, 0, 0, 0];
  for (let i = 0; i < size * size; i += 1) png.data.set(fill, i * 4);
  const offset = (size - icon.width * factor) / 2;
  if (offset < 0 || !Number.isInteger(offset)) throw new Error(`the icon does not fit ${size}`);
  for (let y = 0; y < icon.height * factor; y += 1) {
    for (let x = 0; x < icon.width * factor; x += 1) {
      const from = (Math.floor(y / factor) * icon.width + Math.floor(x / factor)) * 4;
      if (icon.rgba[from + 3] === 0) continue;
      png.data.set(icon.rgba.subarray(from, from + 4), ((offset + y) * size + offset + x) * 4);
    }
  }
  return PNG.sync.write(png, { deflateLevel: 9 });
}

// The desktop's colour, from the page's own style sheet.
function desktopColour(page) {
  const found = page.match(/\bbody \{[^}]*\bbackground: (#[0-9a-f]{6})/);
  if (!found) throw new Error('the page gives no background colour to its body');
  return found[1];
}

function manifest({ title, description, colour }) {
  return JSON.stringify({
    name: title,
    short_name: title,
    description,
    lang: 'fr',
    dir: 'ltr',
    id: './',
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: colour,
    theme_color: colour,
    categories: ['games'],
    icons: ICONS.map(({ file, size, purpose }) => ({
      src: file, sizes: `${size}x${size}`, type: 'image/png', purpose })),
  }, null, 2) + '\n';
}

function worker(cacheName, files, page) {
  return `// ${WORKER}: keeps the site's files, so that the game plays offline after one visit.
'use strict';

// One cache a build, named for this site: the worker of a new build fills its own, then
// deletes this site's older ones and nothing else.
const SITE = self.registration.scope;
const CACHE = ${JSON.stringify(cacheName)} + ' ' + SITE;
const FILES = ${JSON.stringify(files)};
// The folder's address and its index.html are the page under another name.
const PAGE = new URL(${JSON.stringify(page)}, SITE).href;
const INDEXES = [SITE, new URL(${JSON.stringify(INDEX)}, SITE).href];

// Fetched past the browser's HTTP cache, which may still hold an older build's files.
self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name !== CACHE && name.startsWith(${JSON.stringify(CACHE_PREFIX)}) &&
                      name.endsWith(' ' + SITE))
    .map((name) => caches.delete(name)))).then(() => self.clients.claim()));
});

// The site's files from the cache, whatever the network does; anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const address = event.request.url.replace(/[?#].*$/, '');
  const asked = INDEXES.includes(address) ? PAGE : event.request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(asked, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
`;
}

// What the site's page has beyond the program's: its manifest and its worker.
function sitePage(page, colour) {
  const head = `<link rel="manifest" href="${MANIFEST}">
<meta name="theme-color" content="${colour}">
<script>
if ('serviceWorker' in navigator) {
  addEventListener('load', () => navigator.serviceWorker.register('${WORKER}').catch(() => {}));
}
</script>
</head>`;
  if (!page.includes('</head>')) throw new Error('the page has no head');
  return page.replace('</head>', () => head);
}

function main() {
  const [programPage, siteDir, iconFile, version, description] = process.argv.slice(2);
  const programDir = path.dirname(programPage);
  const name = path.basename(programPage, '.html');
  const page = fs.readFileSync(programPage, 'utf8');
  const title = page.match(/<title>([^<]*)<\/title>/)[1];
  const colour = desktopColour(page);
  const icon = decodeIcon(fs.readFileSync(iconFile));

  const written = new Map();
  written.set(`${name}.html`, Buffer.from(sitePage(page, colour)));
  for (const extension of ['.js', '.wasm'])
    written.set(name + extension, fs.readFileSync(path.join(programDir, name + extension)));
  for (const entry of ICONS) {
    written.set(entry.file,
      drawIcon(icon, entry, entry.purpose === 'maskable' ? colour : null));
  }
  written.set(MANIFEST, Buffer.from(manifest({ title, description, colour })));

  const hash = crypto.createHash('sha256');
  for (const [file, bytes] of written) hash.update(file).update(bytes);
  const cacheName = `${CACHE_PREFIX}${version} ${hash.digest('hex').slice(0, 12)}`;
  const kept = [...written.keys()];
  written.set(INDEX, written.get(`${name}.html`));
  written.set(WORKER, Buffer.from(worker(cacheName, kept, `${name}.html`)));

  fs.rmSync(siteDir, { recursive: true, force: true });
  fs.mkdirSync(siteDir, { recursive: true });
  for (const [file, bytes] of written) fs.writeFileSync(path.join(siteDir, file), bytes);
}

main();
