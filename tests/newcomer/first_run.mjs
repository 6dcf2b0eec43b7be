// The README's first command as a newcomer runs it on a fresh clone without a display:
// `bash scripts/run` installs, builds and starts the program on the demo installation and
// prints the page's address. This check waits for that address, fetches the page, opens it
// in headless Chromium until the page has played a template movie, presses Quit and expects
// the program to end with status 0 and its working folder gone. Then `bash scripts/run
// --batch` must write the customised greeting card and its screenshot.
//   node tests/newcomer/first_run.mjs [--work DIR] [--minutes N]
// N bounds the wait for the address (the first build included; 25 by default). Run from a
// clean clone it also proves that the program's build makes every file the program needs.
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { existsSync, mkdirSync, readFileSync, readdirSync, rmSync, statSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { parseArgs } from "node:util";

const root = resolve(dirname(fileURLToPath(import.meta.url)), "..", "..");
const { values: options } = parseArgs({
  options: { work: { type: "string", default: join(root, "build-newcomer") }, minutes: { type: "string", default: "25" } },
});
const work = resolve(options.work);
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
mkdirSync(temporary, { recursive: true });

// The newcomer's environment: no display, so the program prints its address instead of
// opening a browser; TMPDIR of our own, so the working folder can be found afterwards.
const env = { ...process.env, TMPDIR: temporary };
delete env.DISPLAY;
delete env.WAYLAND_DISPLAY;

const workingFolders = () => readdirSync(temporary).filter((name) => name.startsWith("tvtmpdir."));
const movieSignature = (bytes) => ["FWS", "CWS", "ZWS"].includes(bytes.subarray(0, 3).toString("latin1"));

// Runs a command with its output passed through; resolves with the exit and the output.
function run(args, onOutput = () => {}) {
  const child = spawn("bash", args, { cwd: root, env, stdio: ["ignore", "pipe", "inherit"] });
  let output = "";
  child.stdout.on("data", (chunk) => {
    process.stdout.write(chunk);
    output += chunk;
    onOutput(output);
  });
  const exited = new Promise((done) => child.on("exit", (code, signal) => done({ code, signal, output })));
  return { child, exited };
}

function fail(message) {
  console.error(`first run: ${message}`);
  process.exit(1);
}

// -- bash scripts/run --

console.log("first run: bash scripts/run, without a display");
const minutes = Number(options.minutes);
let addressFound;
const addressShown = new Promise((done) => { addressFound = done; });
let address = null;
const started = run(["scripts/run"], (output) => {
  address ??= /http:\/\/127\.0\.0\.1:\d+\/s\/[0-9a-f]{64}\//.exec(output)?.[0] ?? null;
  if (address) addressFound();
});
started.exited.then(({ code, signal }) => {
  if (!address) fail(`scripts/run ended (status ${code ?? signal}) before it printed the page's address`);
});
const limit = setTimeout(() => {
  started.child.kill("SIGTERM");
  fail(`scripts/run printed no address within ${minutes} minutes`);
}, minutes * 60000);
await addressShown;
clearTimeout(limit);
console.log(`first run: the program serves ${address}`);

try {
  const answer = await fetch(address);
  const html = await answer.text();
  assert.equal(answer.status, 200, "the page's address answers 200");
  assert.match(answer.headers.get("content-type") ?? "", /^text\/html/);
  assert.match(html, /<title>[^<]*Tarvenox/i, "the page is Tarvenox's");
  assert.equal(workingFolders().length, 1, "the program works in one folder of its own");

  // The page as a person sees it: the built-in skin lists the templates, each playing in
  // its card; whatever address the page loads them from, one of them must arrive whole.
  const { checkEnd, openTab, stepShots } = await import("../page/session.mjs");
  const { browser, tab, problems } = await openTab();
  try {
    const templateMovie = tab.waitForResponse((response) =>
      new URL(response.url()).pathname.endsWith(".swf") && response.status() === 200, { timeout: 60000 });
    await tab.goto(address);
    const movie = await templateMovie;
    // The movie's bytes fetched again from within the page, as its players fetch them.
    const signature = await tab.evaluate(async (url) => {
      const bytes = new Uint8Array(await (await fetch(url, { cache: "no-store" })).arrayBuffer());
      return String.fromCharCode(...bytes.subarray(0, 3));
    }, movie.url());
    assert.ok(movieSignature(Buffer.from(signature, "latin1")), `the page's template movie is a movie (it starts "${signature}")`);
    console.log(`first run: the page played ${new URL(movie.url()).pathname.split("/").pop()}`);
    mkdirSync(join(work, "screenshots"), { recursive: true });
    const shot = stepShots(tab, join(work, "screenshots"));
    await tab.waitForTimeout(1500); // the cards' movies drawn, for the screenshot
    await shot("page");
    const beforeQuit = problems.length;
    await tab.getByRole("button", { name: "Quit" }).click();
    const exited = started.exited.then(({ code, signal }) => ({ code, signal }));
    await checkEnd({ tab, exited, shot, workingFolders, problems, beforeQuit });
  } finally {
    await browser.close();
  }
} catch (error) {
  started.child.kill("SIGTERM");
  fail(error.message);
}
console.log("first run: Quit ended the program with status 0 and its working folder is gone");

// -- bash scripts/run --batch --

console.log("first run: bash scripts/run --batch");
const batch = await run(["scripts/run", "--batch"]).exited;
if (batch.code !== 0) fail(`scripts/run --batch ended with status ${batch.code ?? batch.signal}`);
const result = join(root, "build", "demo", "result");
const card = join(result, "greeting.swf");
if (!existsSync(card) || !movieSignature(readFileSync(card))) fail(`scripts/run --batch wrote no movie ${card}`);
if (!/Welcome home!/.test(batch.output)) fail("the batch result's description does not show the new title");
const screenshot = join(result, "greeting.png");
if (!existsSync(screenshot) || statSync(screenshot).size === 0) fail(`scripts/run --batch drew no screenshot ${screenshot}`);
console.log(`first run: scripts/run --batch wrote ${card} (${statSync(card).size} bytes) and its screenshot`);
