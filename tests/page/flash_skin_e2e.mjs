// The interactive program on the demo installation with a Flash skin (BUILD/demo/flash-skin),
// used in headless Chromium only through its interface movie as Ruffle plays it: mouse
// clicks at the places demo_skin laid out (BUILD/demo/skin-layout.json) and typing into the
// movie's input field. It picks the greeting card from the list the skin made of skin.txt
// with one click, waits for the skin's light that the host has loaded the card and sees the
// skin's controls uncovered, types a title, chooses a background colour and the title's
// font in the page's dialogs, applies and sees the preview change, finds the colour dialog
// starting at that colour, saves through the save dialog and checks the file with
// `tarvenox inspect`, saves again while two busy processes load the machine and finds the
// new title in that file, opens the fullscreen view and closes it with the installation's
// round button (button.swf), quits and sees the program end with 0. A screenshot of every
// step is kept in the work folder.
//   node tests/page/flash_skin_e2e.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { existsSync, mkdirSync, readdirSync, readFileSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { decodeImage, exitUnlessBrowser, pixelAt } from "../player/harness.mjs";
import { near, rgb } from "../player/stage.mjs";
import { changedShare, checkEnd, openTab, runSteps, screenOption, previewPixels, startProgram, stepShots } from "./session.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" }, ...screenOption },
});
exitUnlessBrowser("Flash skin check");

const tarvenox = resolve(options.tarvenox);
const installation = join(resolve(options.demo), "flash-skin");
const layout = JSON.parse(readFileSync(join(resolve(options.demo), "skin-layout.json"), "utf8"));
const work = resolve(options.work);
const shots = join(work, "screenshots");
const home = join(work, "home");
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
for (const folder of [shots, home, temporary]) mkdirSync(folder, { recursive: true });
const saved = join(home, "card.swf");
const change = { title: "Welcome to Flash!", background: 0x5a189a, face: "Liberation Serif" };
const workingFolders = () => readdirSync(temporary).filter((name) => name.startsWith("tvtmpdir."));

// The skin lists the templates of the "movies" list in the order of selectLists.txt.
const movies = readFileSync(join(installation, "selectLists.txt"), "latin1").split(/\r?\n/).slice(1)
  .map((line) => line.split("\t")).filter((cells) => cells[1] === "movies").map((cells) => cells[2]);
const greeting = layout.entries[movies.indexOf("greeting")];
assert.ok(greeting, `the skin has a place for the greeting card in its list (${movies})`);

const { program, exited, address } = await startProgram(tarvenox, installation, { HOME: home, TMPDIR: temporary });
const { browser, tab, problems } = await openTab(options.screen);
const shot = stepShots(tab, shots);

// -- the skin's stage, stretched over the page as the host places it --

async function skinPoint(x, y) {
  const box = await tab.locator('[data-player="skin"]').boundingBox();
  return [box.x + (x * box.width) / layout.width, box.y + (y * box.height) / layout.height];
}

const centreOf = (rect) => skinPoint(rect.x + rect.width / 2, rect.y + rect.height / 2);

async function click(rect) {
  await tab.mouse.click(...(await centreOf(rect)));
}

// Waits until the page shows the colour at a point of the skin's stage. The whole tab is
// taken, as the window shows it: Chromium draws a capture of a small clip anew, without
// the compositing faults of the whole picture.
async function waitForColour(x, y, colour, what) {
  const deadline = Date.now() + 15000;
  for (;;) {
    const [px, py] = await skinPoint(x, y);
    const seen = pixelAt(await decodeImage(tab, await tab.screenshot(), "tab.png"), Math.round(px), Math.round(py));
    if (near(seen, rgb(colour), 12)) return;
    if (Date.now() > deadline) throw new Error(`${what}: the skin shows ${seen} at (${x}, ${y}), not ${rgb(colour)}`);
    await tab.waitForTimeout(250);
  }
}

// -- the preview --

const previewPlays = (timeout = 20000) => tab.waitForFunction(() => {
  const viewer = document.querySelector('[data-player="viewer"]');
  return !viewer.hidden && viewer.dataset.state === "playing" && !viewer.querySelector(".pending");
}, null, { timeout });

// Runs the action and waits until the preview has loaded its movie anew.
async function reloadsPreview(action) {
  const loads = await tab.evaluate(() => window.tarvenox.players.viewer.loads);
  await action();
  await tab.waitForFunction((before) => window.tarvenox.players.viewer.loads > before, loads, { timeout: 20000 });
  await previewPlays();
  await tab.waitForTimeout(600);
}

const preview = () => previewPixels(tab);

// Waits until the page's dialog has come and gone.
async function dialogDone(selector, answer) {
  await tab.locator(selector).waitFor();
  await answer(tab.locator(selector));
  await tab.locator(selector).waitFor({ state: "detached" });
}

await runSteps({ browser, program, shot }, async () => {
    assert.equal(workingFolders().length, 1, "the program works in one folder of its own");
    await tab.goto(address);
    await tab.waitForFunction(() => document.querySelector('[data-player="skin"]').dataset.state === "playing", null, { timeout: 20000 });
    // The list appears once the skin has read skin.txt.
    await waitForColour(greeting.x + 4, greeting.y + 4, layout.entryColor, "the template list");
    await shot("templates-listed");

    // One click on the template is enough: the preview comes within a few seconds.
    await click(greeting);
    await previewPlays(4000);
    // Needs the host's variables in the movie: the light follows "_root.editLoaded".
    const light = layout.fields.ready;
    await waitForColour(light.x + light.width / 2, light.y + light.height / 2, layout.readyColor, "the light for editLoaded");
    await shot("template-chosen");
    // The skin's own ground between its controls and the preview's frame, not a block of
    // the player's background over them.
    await waitForColour(600, 195, layout.background, "the ground below the skin's controls");
    const before = await preview();

    // The title, typed into the movie's input field over the template's own.
    await click(layout.controls.title);
    await tab.keyboard.press("Control+A");
    await tab.keyboard.press("Backspace");
    await tab.keyboard.type(change.title);
    await shot("title-typed");

    // The colour and the title's font in the page's dialogs.
    await click(layout.controls.selectColor);
    await dialogDone(".hex-field", async (field) => {
      await field.fill("#5a189a");
      await shot("colour-dialog");
      await field.press("Enter");
    });
    await click(layout.controls.selectFont);
    await dialogDone(".font-search", async (field) => {
      await field.fill("liberation serif");
      await shot("font-dialog");
      await field.press("Enter");
    });

    await reloadsPreview(() => click(layout.controls.apply));
    const applied = await preview();
    assert.ok(changedShare(before, applied) > 0.3, "the preview shows the new colour");
    assert.ok(near(pixelAt(applied, 3, 3), rgb(change.background), 10), `preview corner ${pixelAt(applied, 3, 3)}`);
    await shot("applied");

    // The colour dialog starts at the colour chosen before. Needs the host to send it.
    await click(layout.controls.selectColor);
    await dialogDone(".hex-field", async (field) => {
      await shot("colour-dialog-again");
      assert.equal(await field.inputValue(), "#5a189a", "the colour dialog starts at the current colour");
      await field.press("Escape");
    });

    await click(layout.controls.save);
    await dialogDone(".file-name", async (field) => {
      await field.fill(join(home, "card"));
      await shot("save-dialog");
      await field.press("Enter");
    });
    for (let waited = 0; !existsSync(saved) && waited < 20000; waited += 250) await tab.waitForTimeout(250);
    assert.ok(existsSync(saved), "the movie is saved under the name given");
    await previewPlays();
    await shot("saved");

    const inspect = (path) => JSON.parse(execFileSync(tarvenox, ["inspect", "--json", path], { encoding: "utf8" }));
    const inspected = inspect(saved);
    assert.equal(inspected.backgroundColor, "#5a189a");
    const fontLength = (movie) => movie.tags.find((tag) => tag.fontName === layout.templateFont).length;
    const batch = join(work, "batch.swf");
    execFileSync(tarvenox, ["save", "--template", "greeting", "--data", installation, "-o", batch, "--font", `${layout.templateFont}=${change.face}`]);
    assert.equal(fontLength(inspected), fontLength(inspect(batch)), "the title's font is the face chosen");
    // Needs the host to read the variable from the movie.
    const title = inspected.tags.find((tag) => tag.name === "DoAction").variables.find((v) => v.name === "title");
    assert.equal(title.value, change.title, "the saved card has the title typed into the skin");

    // A save while the machine is busy keeps the texts typed. Needs the host to wait for
    // the movie's answers.
    const underLoad = { title: "Saved while busy", file: join(home, "busy.swf") };
    const busy = [0, 1].map(() => spawn(process.execPath, ["-e", "for (;;) {}"], { stdio: "ignore" }));
    try {
      await click(layout.controls.title);
      await tab.keyboard.press("Control+A");
      await tab.keyboard.press("Backspace");
      await tab.keyboard.type(underLoad.title);
      await click(layout.controls.save);
      await dialogDone(".file-name", async (field) => {
        await field.fill(underLoad.file);
        await field.press("Enter");
      });
      for (let waited = 0; !existsSync(underLoad.file) && waited < 30000; waited += 250) await tab.waitForTimeout(250);
      await shot("saved-while-busy");
    } finally {
      for (const worker of busy) worker.kill();
    }
    assert.ok(existsSync(underLoad.file), "the movie is saved while the machine is busy");
    const busyTitle = inspect(underLoad.file).tags.find((tag) => tag.name === "DoAction").variables.find((v) => v.name === "title");
    assert.equal(busyTitle.value, underLoad.title, "the card saved while the machine was busy has the title typed");
    await previewPlays();

    // The fullscreen view, closed by the installation's own button.
    await click(layout.controls.fullscreen);
    await tab.waitForFunction(() => ["fullscreenMovie", "fullscreenButton"].every(
      (name) => document.querySelector(`[data-player="${name}"]`).dataset.state === "playing"), null, { timeout: 20000 });
    await tab.waitForTimeout(500);
    await shot("fullscreen");
    const button = await tab.locator('[data-player="fullscreenButton"]').boundingBox();
    await tab.mouse.click(button.x + button.width / 2, button.y + button.height / 2);
    await tab.locator("#fullscreen").waitFor({ state: "hidden" });
    await previewPlays();
    await shot("fullscreen-closed");

    const beforeQuit = problems.length;
    await click(layout.controls.quit);
    await checkEnd({ tab, exited, shot, workingFolders, problems, beforeQuit });
    console.log(`Flash skin check: passed; screenshots in ${shots}`);
});
