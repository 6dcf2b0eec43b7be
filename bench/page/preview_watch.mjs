// Watches the preview as the user sees it: screenshots of the viewer's area, taken one
// after the other through the DevTools protocol at half size, each timestamped halfway
// between asking and answer, and compared afterwards. Each take makes the browser draw a
// frame (about 100 to 200 ms with software WebGL): that is the resolution of the times.
// A read of the player's canvas would be cheaper, but Ruffle's WebGL canvas keeps no
// drawing buffer to read.
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

export class PreviewWatch {
  // tab: the page; viewer: a locator of the preview's area.
  static async open(tab, viewer) {
    const watch = new PreviewWatch();
    watch.cdp = await tab.context().newCDPSession(tab);
    watch.viewer = viewer;
    watch.intervals = [];
    return watch;
  }

  async take() {
    const { data } = await this.cdp.send("Page.captureScreenshot", {
      format: "png", clip: { ...this.box, scale: 0.5 }, optimizeForSpeed: true, fromSurface: true,
    });
    return Buffer.from(data, "base64");
  }

  // Runs input() (which returns once the user's last input is given) and watches the
  // preview until it differs from before and has stayed still for quietMs, or until
  // timeoutMs.
  // Resolves with the milliseconds from the input to the first take that shows what the
  // preview finally shows, or null when the preview did not change.
  async measure(input, { quietMs = 1500, timeoutMs = 20000 } = {}) {
    this.box = await this.viewer.boundingBox();
    if (!this.box) throw new Error("the preview is not on screen");
    const baseline = await this.take();
    const takes = [];
    let inputAt = null;
    let stop = false;
    const before = decodePng(baseline);
    const watching = (async () => {
      let previous = baseline;
      let lastChange = 0;
      const begun = performance.now();
      while (!stop) {
        const asked = performance.now();
        const png = await this.take();
        // The frame was drawn somewhere between the asking and the answer.
        const at = (asked + performance.now()) / 2;
        takes.push({ at, png });
        this.intervals.push(performance.now() - asked);
        if (!png.equals(previous)) lastChange = at;
        previous = png;
        // Done once the preview differs from before the input (a dialog closing over it
        // does not count) and has stayed still.
        if (inputAt !== null && at - lastChange > quietMs && differingShare(before, decodePng(png)) >= sameShare) break;
        if (at - begun > timeoutMs) break;
      }
    })();
    try {
      inputAt = await input();
    } finally {
      if (inputAt === null) stop = true;
      await watching;
    }
    return this.firstShowing(baseline, takes.filter((take) => take.at > inputAt), inputAt);
  }

  // The first take, walking back from the last one, from which on every take shows the
  // final picture (so a blank moment while the movie reloads does not count as shown).
  firstShowing(baseline, takes, inputAt) {
    if (takes.length === 0) return null;
    const last = decodePng(takes[takes.length - 1].png);
    if (differingShare(decodePng(baseline), last) < sameShare) return null;
    let first = takes.length - 1;
    while (first > 0) {
      const earlier = takes[first - 1].png;
      if (!earlier.equals(takes[first].png) && differingShare(decodePng(earlier), last) >= sameShare) break;
      first--;
    }
    return takes[first].at - inputAt;
  }
}
