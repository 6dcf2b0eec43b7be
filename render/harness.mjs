// Plays SWF movies in Ruffle inside headless Debian Chromium and reads back what was drawn:
// the machinery of `tarvenox render` and of the checks in tests/player and tests/page.
// Ruffle is served from node_modules (or the folder given) by a small HTTP server on
// 127.0.0.1, so nothing is fetched from the network; every run uses a fresh browser profile.
import { createServer } from "node:http";
import { mkdtempSync, readFileSync, rmSync, existsSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, dirname, normalize, extname, sep } from "node:path";
import { fileURLToPath } from "node:url";
import { constants, inflateSync } from "node:zlib";
import { chromium } from "playwright-core";

const here = dirname(fileURLToPath(import.meta.url));
export const repositoryRoot = join(here, "..");
const defaultRuffleDir = join(repositoryRoot, "node_modules", "@ruffle-rs", "ruffle");
// Debian's Chromium; $TARVENOX_CHROMIUM names another build.
export const chromiumPath = process.env.TARVENOX_CHROMIUM || "/usr/bin/chromium";

export const chromiumFlags = [
  "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  // Movies with sound must start without a click, as they would in a page the user opened.
  "--autoplay-policy=no-user-gesture-required",
];

const contentTypes = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".wasm": "application/wasm",
  ".swf": "application/x-shockwave-flash",
  ".map": "application/json",
};

// The page: one Ruffle player sized to the stage in CSS pixels, so one stage pixel is one
// screenshot pixel. The movie's own background colour is kept, Ruffle's overlays are off.
const page = `<!doctype html>
<html><head><meta charset="utf-8"><style>
  html, body { margin: 0; padding: 0; background: #808080; }
  #stage { display: block; }
</style><script>
// What the player sends to the speakers: the loudest sample of every buffer it starts.
window.audioPeak = 0;
const startBuffer = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...args) {
  for (let channel = 0; this.buffer && channel < this.buffer.numberOfChannels; channel++) {
    for (const sample of this.buffer.getChannelData(channel)) {
      window.audioPeak = Math.max(window.audioPeak, Math.abs(sample));
    }
  }
  return startBuffer.apply(this, args);
};
</script><script>
// The virtual clock (the page's address ends in ?clock=virtual): the player advances by the
// timestamps of animation frames and reads performance.now and Date.now, so all three are
// the page's own time, moved on by stepClock alone. Each step runs the animation-frame
// callbacks due, so one step of one frame's length plays exactly one frame of the movie.
if (new URLSearchParams(location.search).get("clock") === "virtual") {
  let now = 0;
  let nextId = 1;
  let due = new Map();
  const epoch = Date.now();
  performance.now = () => now;
  Date.now = () => epoch + Math.floor(now);
  window.requestAnimationFrame = (callback) => {
    due.set(nextId, callback);
    return nextId++;
  };
  window.cancelAnimationFrame = (id) => due.delete(id);
  // The stage is read between animation frames, after the browser may have shown it: WebGL
  // canvases keep what was drawn until the next drawing.
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    const keeps = type === "webgl" || type === "webgl2" || type === "experimental-webgl";
    return getContext.call(this, type, keeps ? { ...attributes, preserveDrawingBuffer: true } : attributes);
  };
  // No sound: with none, the player's timeline never waits for the speakers.
  delete window.AudioContext;
  delete window.webkitAudioContext;
  window.clearClock = () => {
    due = new Map();
  };
  window.stepClock = (ms) => {
    now += ms;
    const callbacks = [...due.values()];
    due = new Map();
    for (const callback of callbacks) callback(now);
    return callbacks.length;
  };
}
</script><script src="/ruffle/ruffle.js"></script></head>
<body><div id="host"></div><script>
// Plays the movie at url in a new player, in place of the page's last one: a page plays
// movie after movie, with Ruffle's code fetched and compiled only for its first.
window.playMovie = (url, width, height) => new Promise((resolve) => {
  // Taking the player off the page ends it; its animation frames are not run again.
  document.getElementById("stage")?.remove();
  window.clearClock?.();
  window.movieMetadata = null;
  lastPixels = null;
  const player = window.RufflePlayer.newest().createPlayer();
  player.id = "stage";
  player.style.width = width + "px";
  player.style.height = height + "px";
  document.getElementById("host").appendChild(player);
  let settled = false;
  const finish = (result) => { if (!settled) { settled = true; resolve(result); } };
  player.addEventListener("loadedmetadata", () => {
    window.movieMetadata = player.ruffle ? player.ruffle().metadata : player.metadata;
  });
  player.addEventListener("loadeddata", () => finish({ loaded: true }));
  const api = player.ruffle ? player.ruffle() : player;
  api.load({
    url, autoplay: "on", unmuteOverlay: "hidden", splashScreen: false, letterbox: "off",
    contextMenu: "off", warnOnUnsupportedContent: false, allowScriptAccess: false,
    openUrlMode: "deny", backgroundColor: null, logLevel: "warn", scale: "exactfit",
  }).catch((error) => finish({ loaded: false, error: String(error) }));
});
// The stage as drawn by the last step: { width, height } and either rgba (RGBA rows as
// base64), png (a PNG file as base64) or same (the pixels of the last call, unchanged: a
// still stage is not sent again).
let lastPixels = null;
window.stagePixels = async (png) => {
  const player = document.getElementById("stage");
  const source = player.shadowRoot.querySelector("canvas");
  const copy = document.createElement("canvas");
  copy.width = source.width;
  copy.height = source.height;
  const context = copy.getContext("2d", { willReadFrequently: true });
  context.drawImage(source, 0, 0);
  const size = { width: copy.width, height: copy.height };
  if (png) return { ...size, png: copy.toDataURL("image/png").split(",")[1] };
  const rgba = context.getImageData(0, 0, copy.width, copy.height).data;
  const words = new Uint32Array(rgba.buffer);
  if (lastPixels && lastPixels.length === words.length && lastPixels.every((word, i) => word === words[i])) {
    return { ...size, same: true };
  }
  lastPixels = words;
  const url = await new Promise((resolve) => {
    const reader = new FileReader();
    reader.onload = () => resolve(reader.result);
    reader.readAsDataURL(new Blob([rgba]));
  });
  return { ...size, rgba: url.slice(url.indexOf(",") + 1) };
};
window.panicText = () => {
  const player = document.getElementById("stage");
  const panic = player && player.shadowRoot && player.shadowRoot.querySelector("#panic");
  return panic ? panic.textContent : null;
};
</script></body></html>`;

// Serves the page, Ruffle's files and the movies of this run (by index, from their paths).
function startServer(moviePaths, ruffleDir) {
  const server = createServer((request, response) => {
    const url = new URL(request.url, "http://127.0.0.1");
    let body = null;
    let type = "application/octet-stream";
    if (url.pathname === "/favicon.ico") {
      response.writeHead(204).end();
      return;
    }
    if (url.pathname === "/") {
      body = page;
      type = contentTypes[".html"];
    } else if (url.pathname.startsWith("/ruffle/")) {
      const file = normalize(join(ruffleDir, url.pathname.slice("/ruffle/".length)));
      if (file.startsWith(ruffleDir + sep) && existsSync(file) && statSync(file).isFile()) {
        body = readFileSync(file);
        type = contentTypes[extname(file)] ?? type;
      }
    } else {
      const match = /^\/movie\/(\d+)\.swf$/.exec(url.pathname);
      if (match && Number(match[1]) < moviePaths.length) {
        body = readFileSync(moviePaths[Number(match[1])]);
        type = contentTypes[".swf"];
      }
    }
    if (body === null) {
      response.writeHead(404).end();
      return;
    }
    // Ruffle's files are cached by the browser (its code cache spares compiling them for
    // every movie); movies never are, so a rewritten movie is always played anew.
    const caching = url.pathname.startsWith("/ruffle/") ? "max-age=3600" : "no-store";
    response.writeHead(200, { "Content-Type": type, "Cache-Control": caching }).end(body);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// An error the host can word in the user's language: its message is the English text, id
// names the host's text for it and values fill that text's {1}, {2}, ... in order.
export function wordedError(id, values, message) {
  return Object.assign(new Error(message), { id, values: values.map(String) });
}

// The stage size in pixels from the frame RECT of an SWF header, uncompressed (FWS) or
// zlib-compressed (CWS); node cannot inflate LZMA (ZWS), so those need their size given.
export function stageSize(swfPath) {
  let bytes = readFileSync(swfPath);
  const signature = bytes.toString("latin1", 0, 3);
  if (signature === "CWS") {
    bytes = Buffer.concat([bytes.subarray(0, 8), inflateSync(bytes.subarray(8), { finishFlush: constants.Z_SYNC_FLUSH })]);
  } else if (bytes.length < 9 || signature !== "FWS") {
    throw wordedError("render.stageUnknown", [swfPath], `${swfPath}: not an FWS or CWS movie; give its stage size`);
  }
  let bit = 64;
  const readBits = (count) => {
    let value = 0;
    for (let i = 0; i < count; i++, bit++) {
      value = value * 2 + ((bytes[bit >> 3] >> (7 - (bit & 7))) & 1);
    }
    return value;
  };
  const signed = (count) => {
    const value = readBits(count);
    return count > 0 && value >= 2 ** (count - 1) ? value - 2 ** count : value;
  };
  const nBits = readBits(5);
  const [xMin, xMax, yMin, yMax] = [signed(nBits), signed(nBits), signed(nBits), signed(nBits)];
  const width = Math.round((xMax - xMin) / 20);
  const height = Math.round((yMax - yMin) / 20);
  if (!(width > 0 && height > 0 && width <= 4000 && height <= 4000)) {
    throw wordedError("render.stageTooLarge", [swfPath, width, height], `${swfPath}: frame of ${width} x ${height} pixels cannot be shown`);
  }
  return { width, height };
}

// Debian's Chromium, headless, with its profile in the folder given.
const launchBrowser = (profile) =>
  chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: chromiumFlags,
    viewport: { width: 1024, height: 768 },
  });

// Opens the page (with the query given) and loads movie index at width x height in it:
// { loaded: true } or { loaded: false, error }, at the latest after limitS seconds.
async function loadMovie(tab, port, index, width, height, { query = "", limitS = 30 } = {}) {
  await tab.goto(`http://127.0.0.1:${port}/${query}`);
  return startMovie(tab, index, width, height, limitS);
}

// Loads movie index at width x height into the page already open, in place of its last.
async function startMovie(tab, index, width, height, limitS) {
  let timer;
  const outcome = await Promise.race([
    tab.evaluate(([url, w, h]) => window.playMovie(url, w, h), [`/movie/${index}.swf`, width, height]),
    new Promise((resolve) => {
      timer = setTimeout(() => resolve({ loaded: false, error: `not loaded after ${limitS} seconds`, limitS }), limitS * 1000);
    }),
  ]);
  clearTimeout(timer);
  return outcome;
}

// Plays each movie for settleMs after it has loaded and takes a screenshot of its stage.
// Returns, per movie: { path, width, height, metadata, png, pixels (RGBA rows), errors,
// warnings }. errors holds what the player reported: load failures, a panic, script errors
// and console errors; warnings the player's console warnings. images (paths of PNG or JPEG files) are decoded by the same browser:
// the result's images holds their pixels in the same order.
// stages maps a movie's path to its { width, height } where the header cannot be read here,
// or where it is to be drawn at another size; settles maps a path to its own settleMs.
// ruffleDir is the folder of the player's files (default: the npm package).
export async function playMovies(moviePaths, { settleMs = 1500, images = [], stages = {}, settles = {}, ruffleDir = defaultRuffleDir } = {}) {
  const server = await startServer(moviePaths, ruffleDir);
  const profile = mkdtempSync(join(tmpdir(), "tarvenox-chromium-"));
  let context = null;
  try {
    context = await launchBrowser(profile);
    const results = [];
    for (let index = 0; index < moviePaths.length; index++) {
      const path = moviePaths[index];
      const stage = stages[path] ?? stageSize(path);
      results.push(await playOne(context, server.address().port, index, path, stage, settles[path] ?? settleMs));
    }
    if (images.length > 0) {
      const tab = await context.newPage();
      results.images = [];
      for (const image of images) results.images.push(await decodeImage(tab, readFileSync(image), image));
      await tab.close();
    }
    return results;
  } finally {
    if (context) await context.close();
    server.closeAllConnections();
    server.close();
    rmSync(profile, { recursive: true, force: true });
  }
}

async function playOne(context, port, index, path, { width, height }, settleMs) {
  const tab = await context.newPage();
  const errors = [];
  tab.on("pageerror", (error) => errors.push(`page error: ${error.message}`));
  const warnings = [];
  tab.on("console", (message) => {
    if (message.type() === "error") errors.push(`console: ${message.text()}`);
    // The browser's own notes on its software WebGL are not the player's.
    if (message.type() === "warning" && !message.text().startsWith("[.WebGL-")) warnings.push(message.text());
  });
  try {
    const outcome = await loadMovie(tab, port, index, width, height);
    if (!outcome.loaded) errors.push(`${path}: ${outcome.error}`);
    await tab.waitForTimeout(settleMs);
    const panic = await tab.evaluate(() => window.panicText());
    if (panic) errors.push(`panic: ${panic.slice(0, 300)}`);
    const metadata = await tab.evaluate(() => window.movieMetadata ?? null);
    const audioPeak = await tab.evaluate(() => window.audioPeak);
    const png = await tab.locator("#stage").screenshot();
    const pixels = await decodeImage(tab, png, "screenshot.png");
    return { path, width, height, metadata, png, pixels, errors, warnings, audioPeak };
  } finally {
    await tab.close();
  }
}

// A browser with the page's server, kept for many movies: one start of Chromium for a whole
// run. openMovie loads one movie into a page; its close hands the page back for the next
// movie, so Ruffle is fetched and compiled once a page, not once a movie. A page whose movie
// failed is closed instead: what a panic leaves behind must not reach the next movie.
// close ends the browser.
export async function openBrowser({ ruffleDir = defaultRuffleDir } = {}) {
  const moviePaths = [];
  const server = await startServer(moviePaths, ruffleDir);
  const profile = mkdtempSync(join(tmpdir(), "tarvenox-chromium-"));
  let context = null;
  try {
    context = await launchBrowser(profile);
  } catch (error) {
    server.close();
    rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  const idle = [];
  return {
    openMovie: async (path, stage) => {
      // The movie's index is taken before waiting: pages open side by side.
      const index = moviePaths.push(path) - 1;
      const page = idle.pop() ?? (await openPlayerPage(context));
      return loadSteppedMovie(page, server.address().port, index, path, stage, (reusable) => {
        if (reusable) idle.push(page);
        else return page.tab.close();
      });
    },
    close: async () => {
      await context.close();
      server.closeAllConnections();
      server.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A page for stepped movies: its tab, and errors, where what the player reports goes (each
// movie gives the page an array of its own).
async function openPlayerPage(context) {
  const tab = await context.newPage();
  const page = { tab, errors: [], loaded: false };
  tab.on("pageerror", (error) => page.errors.push(`page error: ${error.message}`));
  tab.on("console", (message) => {
    if (message.type() === "error" && !message.text().includes("audio")) page.errors.push(`console: ${message.text()}`);
  });
  return page;
}

// A movie loaded on the virtual clock and stopped before its first frame. step(ms) moves
// the clock on and plays what falls due; pixels() reads the stage as then drawn; errors
// holds what the player reported. Sound is off: the player's timeline then never waits
// for the speakers, and a video's sound is made from the movie's data instead. release is
// called once, by close, with whether the page can play another movie.
async function loadSteppedMovie(page, port, index, path, { width, height }, release) {
  const { tab } = page;
  const errors = [];
  page.errors = errors;
  let lastPixels = null;
  let released = false;
  const close = async () => {
    if (released) return;
    released = true;
    await release(errors.length === 0);
  };
  let outcome;
  try {
    // Pages load side by side on a busy machine: each gets longer than one alone.
    outcome = page.loaded
      ? await startMovie(tab, index, width, height, 120)
      : await loadMovie(tab, port, index, width, height, { query: "?clock=virtual", limitS: 120 });
    page.loaded = true;
    if (!outcome.loaded) errors.push(`${path}: ${outcome.error}`);
  } catch (error) {
    errors.push(String(error));
    await close();
    throw error;
  }
  return {
    errors,
    // The seconds waited for a movie that did not load in time; null for any other.
    notLoadedAfter: outcome.limitS ?? null,
    metadata: () => tab.evaluate(() => window.movieMetadata ?? null),
    // Moves the clock on by ms and returns the stage as then drawn: its RGBA pixels, with
    // picture "png" the bytes of a PNG file of it, with picture null nothing.
    step: async (ms, { picture = "rgba" } = {}) => {
      const [data, panic] = await tab.evaluate(async ([ms, picture]) => {
        window.stepClock(ms);
        return [picture ? await window.stagePixels(picture === "png") : null, window.panicText()];
      }, [ms, picture]);
      if (panic) errors.push(`panic: ${panic.slice(0, 300)}`);
      if (!data) return null;
      if (picture === "png") return Buffer.from(data.png, "base64");
      if (!data.same) lastPixels = { width: data.width, height: data.height, rgba: Buffer.from(data.rgba, "base64") };
      return lastPixels;
    },
    close,
  };
}

// Decodes a PNG or JPEG with the browser's own decoder: RGBA bytes, row by row.
export async function decodeImage(tab, bytes, name) {
  const type = /\.jpe?g$/i.test(name) ? "image/jpeg" : "image/png";
  const data = await tab.evaluate(async ([base64, type]) => {
    const image = new Image();
    image.src = `data:${type};base64,` + base64;
    await image.decode();
    const canvas = document.createElement("canvas");
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0);
    const rgba = context.getImageData(0, 0, image.width, image.height).data;
    let text = "";
    for (let i = 0; i < rgba.length; i += 0x8000) text += String.fromCharCode(...rgba.subarray(i, i + 0x8000));
    return { width: image.width, height: image.height, rgba: btoa(text) };
  }, [bytes.toString("base64"), type]);
  return { width: data.width, height: data.height, rgba: Buffer.from(data.rgba, "base64") };
}

// The colour at (x, y) of decoded pixels as [r, g, b].
export function pixelAt(pixels, x, y) {
  const offset = (y * pixels.width + x) * 4;
  return [pixels.rgba[offset], pixels.rgba[offset + 1], pixels.rgba[offset + 2]];
}
