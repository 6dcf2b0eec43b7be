// What the page checks share: `tarvenox edit --no-browser` started on an installation (or
// a movie) with the address it prints, a headless Chromium tab that collects the page's
// errors, numbered screenshots of the steps, how much of the preview two takes of it
// differ in, and the program's end.
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { chromiumFlags, chromiumPath, decodeImage } from "../player/harness.mjs";

// Resolves with { program, exited, address }; exited resolves with { code, signal }.
export const startProgram = (tarvenox, installation, env, language = "en") =>
  startProgramWith(tarvenox, ["edit", "--no-browser", "--data", installation], env, language);

// The same with the program's arguments given, such as [MOVIE.swf, "--no-browser"]. The
// checks run in English (or the language given) whatever the machine's locale, and look
// texts up in po/LANG.po.
export async function startProgramWith(tarvenox, args, env, language = "en") {
  const program = spawn(tarvenox, [...args, "--lang", language], {
    env: { ...process.env, ...env },
    stdio: ["ignore", "pipe", "inherit"],
  });
  const exited = new Promise((done) => program.on("exit", (code, signal) => done({ code, signal })));
  const address = await new Promise((found, failed) => {
    let text = "";
    program.stdout.on("data", (chunk) => {
      text += chunk;
      const match = /http:\/\/127\.0\.0\.1:\d+\/s\/[0-9a-f]{64}\//.exec(text);
      if (match) found(match[0]);
    });
    exited.then(({ code }) => failed(new Error(`tarvenox ${args.join(" ")} ended (${code}) before it showed its address`)));
    setTimeout(() => failed(new Error("no address after 20 seconds")), 20000);
  });
  return { program, exited, address };
}

// After Quit: the program ends by itself with status 0 and the page says so (the last
// screenshot), no working folder is left behind and the page reported no error.
// beforeQuit: how many problems there were when Quit was pressed. After it, a request in
// flight as the servers went away failing is no problem: cut off ("net::ERR_..."), or a
// poll of a movie answered by the stopping server itself, without the page's origin.
export async function checkEnd({ tab, exited, shot, workingFolders, problems, beforeQuit = problems.length }) {
  const end = await Promise.race([exited, new Promise((done) => setTimeout(() => done(null), 10000))]);
  assert.deepEqual(end, { code: 0, signal: null }, "the program ends by itself after Quit");
  await tab.locator("#notice").waitFor();
  await shot("quit");
  assert.deepEqual(workingFolders(), [], "the working folder is gone");
  assert.deepEqual(problems.slice(0, beforeQuit), [], "no problem before Quit");
  const serverGone = /Failed to load resource: net::ERR_|^console: Access to fetch at '[^']*\/poll\/[^']*' from origin '[^']*' has been blocked by CORS policy/;
  assert.deepEqual(problems.slice(beforeQuit).filter((p) => !serverGone.test(p)), [], "no problem after Quit but requests cut off");
}

// The checks' option for the size of the screen and window they run at, as "WIDTHxHEIGHT".
export const screenOption = { screen: { type: "string", default: "1280x800" } };

// A browser with one tab filling a screen of the size given ("1280x800"); problems
// collects the page's errors.
export async function openTab(size = "1280x800") {
  const [width, height] = String(size).split("x").map(Number);
  if (!(width > 0 && height > 0)) throw new Error(`--screen ${size}: give it as WIDTHxHEIGHT`);
  const browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: chromiumFlags });
  const tab = await browser.newPage({ viewport: { width, height }, screen: { width, height } });
  const problems = [];
  tab.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
  tab.on("console", (message) => {
    // A resource's failure names its address only in the message's location.
    const where = message.location()?.url;
    if (message.type() === "error") problems.push(`console: ${message.text()}${where ? ` (${where})` : ""}`);
  });
  return { browser, tab, problems };
}

// shot(name) keeps a screenshot of the tab as folder/NN-name.png, numbered in order.
export function stepShots(tab, folder) {
  let step = 0;
  return (name) => tab.screenshot({ path: join(folder, `${String(++step).padStart(2, "0")}-${name}.png`) });
}

// Resolves once the skin has no command in flight and the preview shows a movie that has
// drawn, and a little after (a frame or two of it).
export async function previewSettled(tab) {
  await tab.waitForFunction(() => {
    const viewer = document.querySelector('[data-player="viewer"]');
    return window.tarvenox.skin?.pending.length === 0 && viewer.dataset.state === "playing" && !viewer.querySelector(".pending");
  }, null, { timeout: 20000 });
  await tab.waitForTimeout(600);
}

// The preview's pixels as the page shows them.
export const previewPixels = async (tab) => decodeImage(tab, await tab.locator('[data-player="viewer"]').screenshot(), "preview.png");

// The share of pixels that differ clearly between two takes of the same size.
export function changedShare(a, b) {
  let changed = 0;
  for (let i = 0; i < a.rgba.length; i += 4) {
    if (Math.max(...[0, 1, 2].map((c) => Math.abs(a.rgba[i + c] - b.rgba[i + c]))) > 48) changed++;
  }
  return changed / (a.width * a.height);
}

// Runs a check's steps; a failure keeps a last screenshot, and the browser and the
// program end whatever happened.
export async function runSteps({ browser, program, shot }, steps) {
  try {
    await steps();
  } catch (error) {
    await shot("failed").catch(() => {});
    throw error;
  } finally {
    await browser.close();
    program.kill();
  }
}
