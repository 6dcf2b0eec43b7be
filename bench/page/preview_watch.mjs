// Watches the preview as the user sees it: what its visible player canvas shows, read in
// the page every 40 ms (canvas_probe.js), or, where the page has no such canvas,
// screenshots of the viewer's area; each take timestamped and compared afterwards.
import { fileURLToPath } from "node:url";
import { performance } from "node:perf_hooks";
import { inflateSync } from "node:zlib";

// RGBA pixels of an 8-bit RGB or RGBA PNG, as Chromium writes its screenshots.
export function decodePng(png) {
  const width = png.readUInt32BE(16);
  const height = png.readUInt32BE(20);
  const [depth, colourType, , , interlace] = png.subarray(24, 29);
  if (depth !== 8 || (colourType !== 2 && colourType !== 6) || interlace !== 0) {
    throw new Error(`screenshot PNG of depth ${depth}, colour type ${colourType}, interlace ${interlace}`);
  }
  const chunks = [];
  for (let p = 8; p < png.length; ) {
    const length = png.readUInt32BE(p);
    if (png.toString("latin1", p + 4, p + 8) === "IDAT") chunks.push(png.subarray(p + 8, p + 8 + length));
    p += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(chunks));
  const channels = colourType === 6 ? 4 : 3;
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? rows[y * stride + x - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const [pa, pb, pc] = [Math.abs(p - a), Math.abs(p - b), Math.abs(p - c)];
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + x] = (line[x] + predictor) & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 255);
  for (let i = 0; i < width * height; i++) rows.copy(rgba, i * 4, i * channels, i * channels + 3);
  return { width, height, rgba };
}

// The share of pixels that differ clearly between two takes of the same size.
export function differingShare(a, b) {
  if (a.width !== b.width || a.height !== b.height) return 1;
  let differing = 0;
  for (let i = 0; i < a.rgba.length; i += 4) {
    const d = Math.max(Math.abs(a.rgba[i] - b.rgba[i]), Math.abs(a.rgba[i + 1] - b.rgba[i + 1]), Math.abs(a.rgba[i + 2] - b.rgba[i + 2]));
    if (d > 48) differing++;
  }
  return differing / (a.width * a.height);
}

// Takes whose differing share is below this show the same picture (a title's letters
// change about 1% of the preview).
const sameShare = 0.0005;

const epochNow = () => performance.timeOrigin + performance.now();

// The page's probe of the preview's canvas (canvas_probe.js, installed by open()), read
// from node: each take the canvas at a moment it showed something new.
class CanvasSource {
  constructor(tab) {
    this.tab = tab;
  }

  async start() {
    this.takes = [];
    await this.tab.evaluate(() => window.previewProbe.start());
    // The first frame's take is what the preview showed before the input.
    for (let i = 0; i < 100 && this.takes.length === 0; i++) {
      await this.collect();
      if (this.takes.length === 0) await new Promise((done) => setTimeout(done, 50));
    }
    if (this.takes.length === 0) throw new Error("the preview shows no player canvas");
  }

  async collect() {
    const { fresh, settled } = await this.tab.evaluate((from) => ({ fresh: window.previewProbe.takes.slice(from), settled: window.previewProbe.settled() }), this.takes.length);
    this.settled = settled;
    for (const take of fresh) this.takes.push({ at: take.at, key: take.pixels.join(), pixels: { width: take.width, height: take.height, rgba: take.pixels } });
    return epochNow();
  }

  async stop() {
    const costs = await this.tab.evaluate(() => {
      window.previewProbe.stop();
      return window.previewProbe.costs.splice(0);
    });
    return costs;
  }
}

// Screenshots of the viewer's area through the DevTools protocol, for a page whose
// preview has no canvas to read. Each take makes the browser draw a frame (about 100 ms
// of CPU with software WebGL), so the watching slows the page it watches.
class ScreenshotSource {
  constructor(tab, viewer) {
    this.tab = tab;
    this.viewer = viewer;
  }

  async start() {
    this.cdp ??= await this.tab.context().newCDPSession(this.tab);
    this.box = await this.viewer.boundingBox();
    if (!this.box) throw new Error("the preview is not on screen");
    this.takes = [];
    this.costs = [];
    await this.collect();
  }

  async collect() {
    this.settled = true;
    const asked = epochNow();
    const { data } = await this.cdp.send("Page.captureScreenshot", {
      format: "png", clip: { ...this.box, scale: 0.5 }, optimizeForSpeed: true, fromSurface: true,
    });
    const answered = epochNow();
    this.costs.push(answered - asked);
    const png = Buffer.from(data, "base64");
    // The frame was drawn somewhere between the asking and the answer.
    const previous = this.takes[this.takes.length - 1];
    if (!previous || !png.equals(previous.png)) this.takes.push({ at: (asked + answered) / 2, png, get pixels() { return decodePng(png); } });
    return answered;
  }

  async stop() {
    return this.costs;
  }
}

export class PreviewWatch {
  // tab: the page; viewer: a locator of the preview's area. Call before the page loads:
  // the canvas probe must be in place before the player makes its canvas.
  static async open(tab, viewer) {
    const watch = new PreviewWatch();
    await tab.addInitScript({ path: fileURLToPath(new URL("canvas_probe.js", import.meta.url)) });
    watch.canvas = new CanvasSource(tab);
    watch.screenshots = new ScreenshotSource(tab, viewer);
    watch.costs = [];
    watch.method = "";
    return watch;
  }

  // Runs input() (which resolves with the epoch time of the user's last input) and
  // watches the preview until it differs from before and has stayed still for quietMs,
  // or until timeoutMs. Resolves with the milliseconds from the input to the first take
  // that shows what the preview finally shows, or null when the preview did not change.
  // The page's canvas is read where it can be, else the screen.
  async measure(input, { quietMs = 1500, timeoutMs = 20000 } = {}) {
    let source = this.canvas;
    try {
      await source.start();
    } catch {
      source = this.screenshots;
      await source.start();
    }
    this.method = source === this.canvas ? "canvas" : "screenshots";
    const before = source.takes[source.takes.length - 1];
    let inputAt = null;
    let stop = false;
    const watching = (async () => {
      const begun = epochNow();
      while (!stop) {
        const at = await source.collect();
        if (source === this.canvas) await new Promise((done) => setTimeout(done, 100));
        const last = source.takes[source.takes.length - 1];
        // Done once the preview differs from before the input (a dialog closing over it
        // does not count), loads nothing more and has stayed still.
        if (inputAt !== null && source.settled && at - last.at > quietMs && last !== before && differingShare(before.pixels, last.pixels) >= sameShare) break;
        if (at - begun > timeoutMs) break;
      }
    })();
    try {
      inputAt = await input();
    } finally {
      if (inputAt === null) stop = true;
      await watching;
      this.costs.push(...(await source.stop()));
    }
    const after = source.takes.filter((take) => take.at > inputAt);
    return firstShowing(before, after, inputAt);
  }
}

// The first take, walking back from the last one, from which on every take shows the
// final picture (so a blank moment while the movie reloads does not count as shown).
export function firstShowing(before, takes, inputAt) {
  if (takes.length === 0) return null;
  const last = takes[takes.length - 1].pixels;
  if (differingShare(before.pixels, last) < sameShare) return null;
  let first = takes.length - 1;
  while (first > 0 && differingShare(takes[first - 1].pixels, last) < sameShare) first--;
  return takes[first].at - inputAt;
}

export { epochNow };
