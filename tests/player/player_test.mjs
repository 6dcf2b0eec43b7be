// What a person sees when Tarvenox's movies play in Ruffle: the player check.
//   node tests/player/player_test.mjs --tarvenox BIN --sample BIN --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import { test } from "node:test";
import assert from "node:assert/strict";
import { existsSync, mkdirSync } from "node:fs";
import { execFileSync } from "node:child_process";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { chromiumPath, repositoryRoot, playMovies, pixelAt } from "./harness.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, sample: { type: "string" }, work: { type: "string" } },
});

const missing = [chromiumPath, join(repositoryRoot, "node_modules", "@ruffle-rs", "ruffle")].filter((p) => !existsSync(p));
if (missing.length > 0) {
  const message = `player check: ${missing.join(", ")} missing (scripts/setup installs them)`;
  if (process.env.CI) {
    console.error(message);
    process.exit(1);
  }
  console.log(`${message}: skipped`);
  process.exit(77);
}

const work = resolve(options.work ?? "player-check");
mkdirSync(work, { recursive: true });
const run = (program, args) => execFileSync(resolve(program), args, { cwd: work, encoding: "utf8" });

// Colours equal within what anti-aliasing and colour management leave.
function assertColour(actual, expected, what) {
  const close = actual.every((value, i) => Math.abs(value - expected[i]) <= 6);
  assert.ok(close, `${what}: got rgb(${actual}), expected rgb(${expected})`);
}

const rgb = (hex) => [(hex >> 16) & 0xff, (hex >> 8) & 0xff, hex & 0xff];

test("the sample movie plays with its colour and its picture", async () => {
  const original = join(work, "sample.swf");
  const recoloured = join(work, "sample-red.swf");
  run(options.sample, [original]);
  run(options.tarvenox, ["save", original, "-o", recoloured, "--background", "#cc2200"]);
  const [before, after] = await playMovies([original, recoloured]);
  for (const shot of [before, after]) assert.deepEqual(shot.errors, []);
  assertColour(pixelAt(before.pixels, 400, 300), rgb(0x336699), "background before");
  assertColour(pixelAt(after.pixels, 400, 300), rgb(0xcc2200), "background after");
  // The bitmap fills the square of 100 x 100 pixels at the top left in both.
  for (const shot of [before, after]) {
    assert.notDeepEqual(pixelAt(shot.pixels, 50, 50), pixelAt(shot.pixels, 150, 50));
  }
  assertColour(pixelAt(after.pixels, 50, 50), pixelAt(before.pixels, 50, 50), "picture");
});
