// Plays movies in Ruffle in headless Chromium, frame by frame on a virtual clock, and writes
// a PNG of one frame or a video of many; run by `tarvenox render`, `tarvenox templates
// --thumbnails` and `tarvenox save --rows` with a video output:
//   node render.mjs [--ruffle DIR] [--pages N] [--progress-fd FD] JOB...
// Each JOB is one JSON object: { movie, output, width, height, rate } and either
//   frame: N           a PNG of frame N (the first is 1) of a movie playing at rate frames a second;
//   video: { fps, frames, temporary, ffmpeg }
//                      frames pictures, one every 1/fps s from frame 1 on, piped as raw RGBA
//                      to ffmpeg run with the arguments ffmpeg (which write temporary).
// The stage is drawn at width x height pixels. Every job's file is written under a temporary
// name and renamed when whole, so a failure leaves none half-written; then its line on
// standard output is {"job": INDEX, "done": true}, and a job the host has no such line or
// failure for was not written. A job that fails ends only itself: it is one line on
// standard output, {"job": INDEX, "error": TEXT}, the other jobs go on, and at the end the
// first failure is the last line on standard error and the status is 1. A failure of the
// whole run (no browser, no time left) is the last line on standard error and, where the
// host has words for it, one line on standard output, {"error": TEXT} without a job. Where
// the host has words for a failure, its line also holds "id" and "values", so the host can
// say it in the user's language; TEXT is the English. With --progress-fd, a progress line
// for a terminal goes there.
// Movies are played by N pages of one browser side by side (default 1); a page plays one
// movie after another.
import { spawn } from "node:child_process";
import { existsSync, renameSync, rmSync, writeFileSync, writeSync } from "node:fs";
import { parseArgs } from "node:util";
import { chromiumPath, openBrowser, wordedError } from "./harness.mjs";

const firstLine = (error) => String(error.message ?? error).split("\n")[0];
// A failure's line for the host: its English, and its id and values where it has them.
const failureLine = (fields, error) =>
  JSON.stringify({ ...fields, error: firstLine(error), ...(error.id ? { id: error.id, values: error.values } : {}) });

// Ends the run with a failure: a text, or a worded error.
const fail = (error) => {
  if (error.id) process.stdout.write(failureLine({}, error) + "\n");
  process.stderr.write(firstLine(error) + "\n");
  process.exit(1);
};

const { values: options, positionals } = parseArgs({
  options: { ruffle: { type: "string" }, pages: { type: "string" }, "progress-fd": { type: "string" } },
  allowPositionals: true,
});
if (positionals.length === 0) fail("render.mjs: give a job for each movie");
if (!existsSync(chromiumPath)) {
  fail(wordedError("render.noChromium", [chromiumPath], `no Chromium at ${chromiumPath} (install Debian's chromium)`));
}
let jobs;
try {
  jobs = positionals.map((text) => JSON.parse(text));
} catch (error) {
  fail(`render.mjs: a job is not JSON: ${error.message}`);
}
const temporaries = new Set();
const encoders = new Set();
const cleanUp = () => {
  encoders.forEach((encoder) => encoder.kill("SIGKILL"));
  temporaries.forEach((path) => rmSync(path, { force: true }));
};
process.on("exit", cleanUp);
for (const signal of ["SIGINT", "SIGTERM", "SIGHUP"]) process.on(signal, () => process.exit(1));

const pictureCount = (job) => (job.video ? job.video.frames : 1);
const total = jobs.reduce((sum, job) => sum + pictureCount(job), 0);
// A browser that never starts, or a movie that never loads, must not hold the caller.
const limitMs = 120000 + jobs.length * 30000 + total * 2000;
const limitS = Math.round(limitMs / 1000);
setTimeout(() => fail(wordedError("render.playerTimeout", [limitS], `the player did not finish within ${limitS} seconds`)), limitMs).unref();

const progressFd = options["progress-fd"] === undefined ? null : Number(options["progress-fd"]);
let drawn = 0;
// Counts count pictures of job as drawn.
const progress = (job, count = 1) => {
  job.drawn = (job.drawn ?? 0) + count;
  drawn += count;
  if (progressFd === null || total < 2) return;
  const line = `\rrender: ${drawn} of ${total} frames (${Math.floor((drawn * 100) / total)}%)`;
  try {
    writeSync(progressFd, drawn === total ? line + "\n" : line);
  } catch {
    // a terminal that went away does not stop the render
  }
};

// What the player reported first, as the failure of job.
const reported = (job, movie) => {
  const detail = movie.errors[0].split("\n")[0];
  const english = `${job.movie}: the player reported ${detail}`;
  if (movie.notLoadedAfter !== null && detail === `${job.movie}: not loaded after ${movie.notLoadedAfter} seconds`) {
    return wordedError("render.notLoaded", [job.movie, movie.notLoadedAfter], english);
  }
  return wordedError("render.playerReported", [job.movie, detail], english);
};

// A little past each frame's time, so the rounding of the player's clock never leaves a
// frame one step behind.
const lead = 0.01;

// The picture of the stage at each clock time of times (ms from frame 1 on, ascending), to
// visit. The player plays a few frames at most in one animation frame, so the clock moves
// on by one frame's time at most a step, and the stage is read only at the times asked.
async function playAlong(movie, job, times, visit, { picture = "rgba" } = {}) {
  const frameMs = 1000 / job.rate;
  await movie.step(0, { picture: null });  // the player's first animation frame only sets its starting time
  let clock = 0;
  for (const time of times) {
    const target = frameMs + time + lead;
    while (target - clock > frameMs) {
      await movie.step(frameMs, { picture: null });
      clock += frameMs;
    }
    const shown = await movie.step(target - clock, { picture });
    clock = target;
    if (movie.errors.length > 0) throw reported(job, movie);
    await visit(shown);
  }
}

async function writePicture(movie, job) {
  const temporary = `${job.output}.${process.pid}.tmp`;
  await playAlong(movie, job, [((job.frame - 1) * 1000) / job.rate], async (png) => {
    temporaries.add(temporary);
    writeFileSync(temporary, png);
  }, { picture: "png" });
  renameSync(temporary, job.output);
  temporaries.delete(temporary);
  progress(job);
}

async function writeVideo(movie, job) {
  const { fps, frames, temporary, ffmpeg } = job.video;
  temporaries.add(temporary);
  const encoder = spawn("ffmpeg", ffmpeg, { stdio: ["pipe", "ignore", "pipe"] });
  encoders.add(encoder);
  let said = "";
  encoder.stderr.on("data", (chunk) => {
    said = (said + chunk).slice(-4000);
  });
  const ended = new Promise((resolve) => {
    encoder.on("error", (error) => {
      resolve(wordedError("render.ffmpegNotRun", [job.output, error.message], `${job.output}: cannot run ffmpeg: ${error.message}`));
    });
    encoder.on("close", (status) => {
      if (!encoders.delete(encoder)) return;
      const line = said.trim().split("\n").pop();
      resolve(status === 0 ? null : wordedError("render.ffmpegFailed", [job.output, line], `${job.output}: ffmpeg: ${line}`));
    });
  });
  encoder.stdin.on("error", () => {});  // an encoder that stopped tells why when it ends
  try {
    const times = Array.from({ length: frames }, (_, k) => (k * 1000) / fps);
    await playAlong(movie, job, times, async (pixels) => {
      if (pixels.width !== job.width || pixels.height !== job.height) {
        const values = [job.movie, pixels.width, pixels.height, job.width, job.height];
        throw wordedError("render.playerDrewSize", values, `${job.movie}: the player drew ${pixels.width} x ${pixels.height}, not ${job.width} x ${job.height}`);
      }
      if (!encoder.stdin.write(pixels.rgba)) {
        await Promise.race([new Promise((resolve) => encoder.stdin.once("drain", resolve)), ended]);
      }
      progress(job);
    });
    encoder.stdin.end();
    const problem = await ended;
    if (problem) throw problem;
    renameSync(temporary, job.output);
  } finally {
    if (encoders.delete(encoder)) encoder.kill("SIGKILL");
    rmSync(temporary, { force: true });
    temporaries.delete(temporary);
  }
}

let browser;
try {
  browser = await openBrowser(options.ruffle ? { ruffleDir: options.ruffle } : {});
} catch (error) {
  const detail = firstLine(error);
  fail(wordedError("render.playerNotRunning", [detail], `the player could not run: ${detail}`));
}
let next = 0;
let firstFailure = null;
const worker = async () => {
  while (next < jobs.length) {
    const index = next++;
    const job = jobs[index];
    let movie = null;
    try {
      movie = await browser.openMovie(job.movie, { width: job.width, height: job.height });
      if (movie.errors.length > 0) throw reported(job, movie);
      await (job.video ? writeVideo(movie, job) : writePicture(movie, job));
      process.stdout.write(JSON.stringify({ job: index, done: true }) + "\n");
    } catch (error) {
      // A failed job's frames count as drawn, so the progress line still ends at its total.
      firstFailure ??= firstLine(error);
      progress(job, pictureCount(job) - (job.drawn ?? 0));
      process.stdout.write(failureLine({ job: index }, error) + "\n");
    } finally {
      await movie?.close();
    }
  }
};
const pages = Math.max(1, Math.min(Number(options.pages ?? 1) || 1, jobs.length));
await Promise.all(Array.from({ length: pages }, worker));
await browser.close();
if (firstFailure !== null) fail(firstFailure);
process.exit(0);
