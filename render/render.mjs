// Plays movies in Ruffle in headless Chromium and writes a PNG of each stage; run by
// `tarvenox render` and `tarvenox templates --thumbnails`:
//   node render.mjs [--ruffle DIR] MOVIE PNG WIDTH HEIGHT SETTLE_MS [MOVIE PNG WIDTH HEIGHT SETTLE_MS]...
// The stage is drawn at WIDTH x HEIGHT pixels, SETTLE_MS after the movie has loaded. A
// failure is one line on standard error and status 1; no PNG is left half-written.
import { existsSync, renameSync, rmSync, writeFileSync } from "node:fs";
import { parseArgs } from "node:util";
import { chromiumPath, playMovies } from "./harness.mjs";

const fail = (message) => {
  process.stderr.write(message + "\n");
  process.exit(1);
};

const { values: options, positionals } = parseArgs({ options: { ruffle: { type: "string" } }, allowPositionals: true });
if (positionals.length === 0 || positionals.length % 5 !== 0) fail("render.mjs: give MOVIE PNG WIDTH HEIGHT SETTLE_MS per movie");
if (!existsSync(chromiumPath)) fail(`no Chromium at ${chromiumPath} (install Debian's chromium)`);

const jobs = [];
for (let i = 0; i < positionals.length; i += 5) {
  const [movie, png, width, height, settle] = positionals.slice(i, i + 5);
  jobs.push({ movie, png, width: Number(width), height: Number(height), settle: Number(settle) });
}
// A browser that never starts, or a movie that never settles, must not hold the caller.
const limitMs = 60000 + jobs.reduce((sum, job) => sum + job.settle + 30000, 0);
setTimeout(() => fail(`the player did not finish within ${Math.round(limitMs / 1000)} seconds`), limitMs).unref();

let results;
try {
  results = await playMovies(jobs.map((job) => job.movie), {
    stages: Object.fromEntries(jobs.map((job) => [job.movie, { width: job.width, height: job.height }])),
    settles: Object.fromEntries(jobs.map((job) => [job.movie, job.settle])),
    ...(options.ruffle ? { ruffleDir: options.ruffle } : {}),
  });
} catch (error) {
  fail(`the player could not run: ${String(error.message ?? error).split("\n")[0]}`);
}
const failed = results.find((result) => result.errors.length > 0);
if (failed) fail(`${failed.path}: the player reported ${failed.errors[0].split("\n")[0]}`);
results.forEach((result, index) => {
  const temporary = `${jobs[index].png}.${process.pid}.tmp`;
  try {
    writeFileSync(temporary, result.png);
    renameSync(temporary, jobs[index].png);
  } catch (error) {
    rmSync(temporary, { force: true });
    fail(`${jobs[index].png}: ${error.message}`);
  }
});
process.exit(0);
