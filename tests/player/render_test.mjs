// `tarvenox render` on its virtual clock: a PNG of frame N shows frame N, and a video holds
// exactly the frames asked for, each the frame due at its time, with the movie's sound at
// its place; without ffmpeg, or for a broken movie, one line and no file.
//   node tests/player/render_test.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { existsSync, mkdirSync, readFileSync, readdirSync, rmSync, symlinkSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser, playMovies } from "./harness.mjs";
import { adpcmTone, countingMovie, shownFrame } from "./counting_movie.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" } },
});
exitUnlessBrowser("render check");
const work = resolve(options.work);
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });
const hasFfmpeg = spawnSync("ffmpeg", ["-version"]).status === 0;

// The counting movie at 12 frames a second, with a tone started at frame 4 (0.25 s in).
const mp3 = readFileSync(new URL("../fixtures/sound/lame-vbr-mono-22050-id3v2.mp3", import.meta.url));
const movie = join(work, "counting.swf");
writeFileSync(movie, countingMovie({ sound: { mp3, frame: 4 } }));
const render = (args, env = process.env) => spawnSync(options.tarvenox, ["render", movie, ...args], { encoding: "utf8", env });

// Decodes a video's pictures with ffmpeg: which frame of the counting movie each shows.
const shownFrames = (video) => {
  const raw = execFileSync("ffmpeg", ["-v", "error", "-i", video, "-f", "rawvideo", "-pix_fmt", "rgba", "-"], { maxBuffer: 1 << 26 });
  const size = 160 * 20 * 4;
  return Array.from({ length: raw.length / size }, (_, i) => shownFrame({ width: 160, height: 20, rgba: raw.subarray(i * size, (i + 1) * size) }));
};

test("a PNG of frame N shows frame N", async () => {
  for (const frame of [1, 6]) {
    const png = join(work, `frame-${frame}.png`);
    const run = render(["-o", png, "--frame", String(frame)]);
    assert.equal(run.status, 0, run.stderr);
    const pixels = (await playMovies([], { images: [png] })).images[0];
    assert.equal(shownFrame(pixels), frame);
  }
});

test("videos hold the frames due at their times", { skip: !hasFfmpeg && "no ffmpeg" }, () => {
  const cases = [
    // default: one pass of the main timeline at the movie's rate
    { name: "pass.mp4", args: [], frames: [1, 2, 3, 4, 5, 6, 7, 8] },
    // twice the movie's rate: each frame twice; the timeline loops after frame 8
    { name: "double.webm", args: ["--frames", "5", "--fps", "24"], frames: [1, 1, 2, 2, 3] },
    { name: "loop.gif", args: ["--seconds", "0.75"], frames: [1, 2, 3, 4, 5, 6, 7, 8, 1] },
  ];
  for (const { name, args, frames } of cases) {
    const output = join(work, name);
    const run = render(["-o", output, ...args]);
    assert.equal(run.status, 0, run.stderr);
    assert.deepEqual(shownFrames(output), frames, name);
  }
  const webp = join(work, "still.webp");
  assert.equal(render(["-o", webp, "--frames", "2"]).status, 0);
  assert.equal(readFileSync(webp).toString("latin1", 8, 12), "WEBP");
});

// The milliseconds of a video's sound from its first loud sample to its last.
const loudSpan = (video) => {
  const pcm = execFileSync("ffmpeg", ["-v", "error", "-i", video, "-f", "s16le", "-ac", "1", "-ar", "8000", "-"]);
  const samples = new Int16Array(pcm.buffer, pcm.byteOffset, pcm.length / 2);
  const loud = (sample) => Math.abs(sample) > 1000;
  return [samples.findIndex(loud) / 8, samples.findLastIndex(loud) / 8];
};

test("the sound starts at its frame", { skip: !hasFfmpeg && "no ffmpeg" }, () => {
  const [first] = loudSpan(join(work, "pass.mp4"));
  assert.ok(first >= 0, "no sound in the video");
  // frame 4 starts 250 ms in; within one frame (83 ms), the encoder's own start included
  assert.ok(Math.abs(first - 250) < 84, `the sound starts at ${first} ms`);
});

test("an ADPCM sound started in a sprite is carried whole", { skip: !hasFfmpeg && "no ffmpeg" }, () => {
  // three packets of 4096 samples at 11 kHz (16 bits, mono): 1115 ms from frame 4 (250 ms) on
  const sprited = join(work, "adpcm.swf");
  writeFileSync(sprited, countingMovie({ sound: { adpcm: adpcmTone(3), format: 0x16, frame: 4, inSprite: true } }));
  const output = join(work, "adpcm.mp4");
  const run = spawnSync(options.tarvenox, ["render", sprited, "-o", output, "--seconds", "2"], { encoding: "utf8" });
  assert.equal(run.status, 0, run.stderr);
  const probe = JSON.parse(execFileSync("ffprobe", ["-v", "error", "-show_entries", "stream=codec_type,duration",
    "-of", "json", output], { encoding: "utf8" }));
  const audio = probe.streams.find((stream) => stream.codec_type === "audio");
  assert.ok(audio, "no audio stream");
  assert.ok(Math.abs(Number(audio.duration) - 1.365) < 0.05, `audio of ${audio.duration} s`);
  const [first, last] = loudSpan(output);
  assert.ok(Math.abs(first - 250) < 84 && Math.abs(last - 1365) < 84, `the sound plays from ${first} to ${last} ms`);
});

test("rows of a sheet saved as videos, and a save to a video", { skip: !hasFfmpeg && "no ffmpeg" }, () => {
  const rows = join(work, "rows");
  mkdirSync(rows, { recursive: true });
  writeFileSync(join(rows, "sheet.csv"), "name\r\nfirst\r\nsecond\r\n");
  const data = join(resolve(options.demo), "packed");
  const saved = spawnSync(options.tarvenox, ["save", "--template", "greeting", "--data", data, "--rows",
    join(rows, "sheet.csv"), "-o", join(rows, "{name}.mp4")], { encoding: "utf8" });
  assert.equal(saved.status, 0, saved.stderr);
  const single = spawnSync(options.tarvenox, ["save", "--template", "greeting", "--data", data, "-o", join(rows, "one.gif")], { encoding: "utf8" });
  assert.equal(single.status, 0, single.stderr);
  // the videos alone: the movies they were played from are gone
  assert.deepEqual(readdirSync(rows).sort(), ["first.mp4", "one.gif", "second.mp4", "sheet.csv"]);
  assert.equal(readFileSync(join(rows, "one.gif")).toString("latin1", 0, 3), "GIF");

  // a row whose video cannot be written (a folder holds its name) fails alone
  const mixed = join(work, "mixed");
  mkdirSync(join(mixed, "blocked.mp4"), { recursive: true });
  writeFileSync(join(mixed, "blocked.mp4", "keep"), "");
  writeFileSync(join(mixed, "sheet.csv"), "name\r\nfirst\r\nblocked\r\nthird\r\n");
  const failing = spawnSync(options.tarvenox, ["save", "--template", "greeting", "--data", data, "--rows",
    join(mixed, "sheet.csv"), "-o", join(mixed, "{name}.mp4")], { encoding: "utf8" });
  assert.equal(failing.status, 1, failing.stderr);
  assert.match(failing.stderr, /\b2\b.*blocked\.mp4/);
  assert.equal(failing.stderr.trim().split("\n").length, 1, failing.stderr);
  assert.deepEqual(readdirSync(mixed).sort(), ["blocked.mp4", "first.mp4", "sheet.csv", "third.mp4"]);
  assert.deepEqual(readdirSync(join(mixed, "blocked.mp4")), ["keep"]);
});

test("without ffmpeg, or for a broken movie, one line and no file", () => {
  const bin = join(work, "bin");
  mkdirSync(bin, { recursive: true });
  symlinkSync(process.execPath, join(bin, "node"));
  const output = join(work, "none.mp4");
  const missing = render(["-o", output], { ...process.env, PATH: bin });
  assert.equal(missing.status, 1);
  assert.match(missing.stderr, /ffmpeg/);
  assert.equal(missing.stderr.trim().split("\n").length, 1);
  const broken = join(work, "broken.swf");
  writeFileSync(broken, "FWS not a movie");
  const refused = spawnSync(options.tarvenox, ["render", broken, "-o", output], { encoding: "utf8" });
  assert.equal(refused.status, 1);
  assert.equal(refused.stderr.trim().split("\n").length, 1);
  assert.ok(!existsSync(output));
  assert.deepEqual(readdirSync(work).filter((name) => name.endsWith(".tmp")), []);
});
