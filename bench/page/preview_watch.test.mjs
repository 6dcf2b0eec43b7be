// The page benchmark's reading of the preview: PNG screenshots decoded in node, and the
// moment a run counts as shown.
//   node --test bench/page/
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { test } from "node:test";
import { decodePng, differingShare, firstShowing } from "./preview_watch.mjs";

test("a PNG's rows come back through every filter the encoder chose", () => {
  const garden = decodePng(readFileSync(new URL("../../demo/media/garden.png", import.meta.url)));
  const pixel = (x, y) => [...garden.rgba.subarray(4 * (y * garden.width + x), 4 * (y * garden.width + x) + 4)];
  assert.deepEqual([garden.width, garden.height], [240, 180]);
  // Four flat quadrants and a white disc in the middle.
  assert.deepEqual([pixel(10, 10), pixel(230, 10), pixel(10, 170), pixel(230, 170), pixel(120, 90)],
    [[42, 157, 143, 255], [233, 196, 106, 255], [231, 111, 81, 255], [38, 70, 83, 255], [255, 255, 255, 255]]);
});

// A 10 x 10 picture of one grey, with `marked` pixels white.
const picture = (grey, marked = 0) => {
  const rgba = new Uint8Array(400).fill(grey);
  for (let i = 0; i < marked; i++) rgba.fill(255, 4 * i, 4 * i + 3);
  return { width: 10, height: 10, rgba };
};

test("the time shown is the first take of the final picture that stays", () => {
  const old = picture(0);
  const fresh = picture(0, 5);
  const blank = picture(128);
  const takes = (...pictures) => pictures.map((pixels, i) => ({ at: 1000 + 100 * (i + 1), pixels }));
  const cases = [
    { name: "straight to the new picture", takes: takes(old, fresh, fresh), shown: 200 },
    // A blank moment while the movie reloads is not the result.
    { name: "the new picture, a blank, the new picture", takes: takes(fresh, blank, fresh), shown: 300 },
    { name: "back to the old picture", takes: takes(fresh, old), shown: null },
    { name: "no takes after the input", takes: [], shown: null },
    { name: "a stage of another size", takes: takes({ width: 5, height: 20, rgba: new Uint8Array(400) }), shown: 100 },
  ];
  for (const c of cases) assert.equal(firstShowing({ pixels: old }, c.takes, 1000), c.shown, c.name);
  // One pixel in a hundred is a change; none is not.
  assert.equal(differingShare(old, picture(0, 1)), 0.01);
  assert.equal(differingShare(old, picture(30)), 0);
});
