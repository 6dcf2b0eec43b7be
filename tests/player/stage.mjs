// Reading a screenshot of the stage as a person would: colours, pictures and text.
import { pixelAt } from "./harness.mjs";

export const rgb = (value) => [(value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff];

const distance = (a, b) => Math.max(...a.map((value, i) => Math.abs(value - b[i])));

export function near(a, b, tolerance = 6) {
  return distance(a, b) <= tolerance;
}

// Pixels of the rectangle that stand out from the background by more than threshold:
// strokes of text with the default, any drawing with a low one.
export function inkMask(pixels, rect, background, threshold = 60) {
  const mask = [];
  for (let y = rect.y; y < rect.y + rect.height; y++) {
    for (let x = rect.x; x < rect.x + rect.width; x++) {
      mask.push(distance(pixelAt(pixels, x, y), background) > threshold);
    }
  }
  return mask;
}

export const inkCount = (mask) => mask.filter(Boolean).length;

// The first and last columns of the rectangle that hold ink (see inkMask), in stage
// pixels; both -1 when there is none.
export function inkExtent(pixels, rect, background, threshold = 60) {
  const mask = inkMask(pixels, rect, background, threshold);
  let left = -1;
  let right = -1;
  for (let x = 0; x < rect.width; x++) {
    let inked = false;
    for (let y = 0; y < rect.height && !inked; y++) inked = mask[y * rect.width + x];
    if (inked) {
      if (left < 0) left = rect.x + x;
      right = rect.x + x;
    }
  }
  return { left, right };
}

// The share of pixels inked in one mask and not in the other, of all inked pixels.
export function inkDifference(a, b) {
  let differ = 0;
  let inked = 0;
  for (let i = 0; i < a.length; i++) {
    if (a[i] || b[i]) inked++;
    if (a[i] !== b[i]) differ++;
  }
  return inked === 0 ? 0 : differ / inked;
}

// Compares the picture shown in rect with the image scaled to it, on a grid of points
// whose neighbourhood in the image is of one colour (edges blur when scaled). Returns the
// points compared and those that differ.
export function comparePicture(pixels, rect, image, tolerance) {
  let compared = 0;
  const mismatches = [];
  for (let fy = 0.05; fy < 1; fy += 0.1) {
    for (let fx = 0.05; fx < 1; fx += 0.1) {
      const ix = Math.floor(fx * image.width);
      const iy = Math.floor(fy * image.height);
      const colour = pixelAt(image, ix, iy);
      const reach = Math.ceil(Math.max(image.width / rect.width, image.height / rect.height) * 3);
      let uniform = true;
      for (let dy = -reach; dy <= reach && uniform; dy++) {
        for (let dx = -reach; dx <= reach && uniform; dx++) {
          const x = Math.min(image.width - 1, Math.max(0, ix + dx));
          const y = Math.min(image.height - 1, Math.max(0, iy + dy));
          uniform = near(pixelAt(image, x, y), colour, tolerance);
        }
      }
      if (!uniform) continue;
      compared++;
      const sx = Math.floor(rect.x + fx * rect.width);
      const sy = Math.floor(rect.y + fy * rect.height);
      const shown = pixelAt(pixels, sx, sy);
      if (!near(shown, colour, tolerance)) mismatches.push({ at: [sx, sy], shown, expected: colour });
    }
  }
  return { compared, mismatches };
}

// Points just outside each side of rect, a few pixels away.
export function pointsAround(rect, gap = 3) {
  const cx = Math.floor(rect.x + rect.width / 2);
  const cy = Math.floor(rect.y + rect.height / 2);
  return [
    [rect.x - gap, cy],
    [rect.x + rect.width + gap, cy],
    [cx, rect.y - gap],
    [cx, rect.y + rect.height + gap],
  ];
}
