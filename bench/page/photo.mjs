// Pictures for the page benchmark, made from fixed seeds by the browser's own encoders
// (a baseline JPEG, as cameras write them), so no picture is kept in the repository.
import { writeFileSync } from "node:fs";

// Writes a width x height picture to path with the tab's canvas, a JPEG or a PNG by the
// name's ending: smooth light over several scales with a little seeded noise, which
// compresses about as a camera's pictures do.
export async function writePicture(tab, path, { width, height, seed }) {
  const type = /\.png$/i.test(path) ? "image/png" : "image/jpeg";
  const dataUrl = await tab.evaluate(({ width, height, seed, type }) => {
    let state = seed >>> 0;
    const random = () => {
      state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
      return state / 4294967296;
    };
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d");
    const pixels = context.createImageData(width, height);
    const waves = Array.from({ length: 6 }, (_, i) => ({
      fx: (random() + 0.2) * 2 ** i / width * 6, fy: (random() + 0.2) * 2 ** i / height * 6, phase: random() * 6.28,
    }));
    for (let y = 0; y < height; y++) {
      for (let x = 0; x < width; x++) {
        let light = 0;
        for (const w of waves) light += Math.sin(x * w.fx + y * w.fy + w.phase);
        const base = 128 + 16 * light;
        const i = 4 * (y * width + x);
        pixels.data[i] = base + 40 * Math.sin(x / 400) + 12 * random();
        pixels.data[i + 1] = base + 12 * random();
        pixels.data[i + 2] = base + 40 * Math.cos(y / 300) + 12 * random();
        pixels.data[i + 3] = 255;
      }
    }
    context.putImageData(pixels, 0, 0);
    return canvas.toDataURL(type, 0.9);
  }, { width, height, seed, type });
  writeFileSync(path, Buffer.from(dataUrl.slice(dataUrl.indexOf(",") + 1), "base64"));
}
