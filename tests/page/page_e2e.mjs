// The interactive program on the demo installation, used through its page in headless
// Chromium as a person would: pick the greeting card, change a text, the colour, a font,
// the picture and the music through the dialogs, see the preview change, save over a file
// (the overwrite question answered), look at the result with `tarvenox inspect`, reload the
// page and find the form as it was, open the fullscreen view and close it by its button and
// by Escape, quit and find the working folder gone. A screenshot of every step is kept in
// the work folder.
//   node tests/page/page_e2e.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser, pixelAt } from "../player/harness.mjs";
import { near, rgb } from "../player/stage.mjs";
import { shellSteps } from "./shell_steps.mjs";
import { changedShare, checkEnd, openTab, screenOption, previewPixels, startProgram, stepShots } from "./session.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" }, ...screenOption },
});
exitUnlessBrowser("page check");

const tarvenox = resolve(options.tarvenox);
const installation = join(resolve(options.demo), "loose");
const media = resolve(options.media);
const work = resolve(options.work);
const shots = join(work, "screenshots");
const home = join(work, "home");
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
for (const folder of [shots, join(home, "cards"), temporary]) mkdirSync(folder, { recursive: true });
// The file the save replaces.
const saved = join(home, "cards", "card.swf");
writeFileSync(saved, "an older card");

const change = {
  title: "Welcome home!",
  background: 0x5a189a,
  face: "Liberation Serif",
  picture: join(media, "garden.png"),
  music: join(media, "song.mp3"),
};
const workingFolders = () => readdirSync(temporary).filter((name) => name.startsWith("tvtmpdir."));

// -- the program --

const { program, exited, address } = await startProgram(tarvenox, installation, { HOME: home, TMPDIR: temporary });
const { browser: context, tab: browserPage, problems } = await openTab(options.screen);
const shot = stepShots(browserPage, shots);

// The skin has no command in flight and the preview shows a movie that has drawn.
async function settled() {
  await browserPage.waitForFunction(() => {
    const viewer = document.querySelector('[data-player="viewer"]');
    return window.tarvenox.skin?.pending.length === 0 && viewer.dataset.state === "playing" && !viewer.querySelector(".pending");
  }, null, { timeout: 20000 });
  await browserPage.waitForTimeout(600);
}

const preview = () => previewPixels(browserPage);

// Waits for the status line to report the next apply (or save).
async function statusAfter(action, pattern) {
  await browserPage.evaluate(() => { document.querySelector(".status-text").textContent = ""; });
  await action();
  await browserPage.waitForFunction((source) => new RegExp(source).test(document.querySelector(".status-text").textContent),
    pattern.source, { timeout: 20000 });
  await settled();
}

// Types a path into the open or save dialog's name field and confirms.
async function chooseByPath(path) {
  await browserPage.locator(".file-name").fill(path);
  await browserPage.keyboard.press("Enter");
}

try {
  assert.equal(workingFolders().length, 1, "the program works in one folder of its own");
  await browserPage.goto(address);
  await browserPage.locator("button.template").first().waitFor();
  await shot("start");

  await browserPage.locator('button.template[data-file="greeting"]').click();
  await browserPage.locator(".field.kind-text input").first().waitFor();
  await settled();
  await shot("template-chosen");
  const before = await preview();

  // A text: the preview follows by itself a moment after the typing stops.
  await statusAfter(() => browserPage.getByLabel("Title", { exact: true }).fill(change.title), /Preview updated/);
  const typed = await preview();
  assert.ok(changedShare(before, typed) > 0.005, "the preview shows the new title");
  await shot("text-typed");

  // The colour, kept among the custom colours too.
  await browserPage.locator(".chooser.kind-color").click();
  await browserPage.locator(".hex-field").fill("#5a189a");
  await browserPage.getByRole("button", { name: /custom colours$/ }).click();
  await shot("colour-dialog");
  await statusAfter(() => browserPage.locator(".hex-field").press("Enter"), /Preview updated/);
  const coloured = await preview();
  assert.ok(near(pixelAt(coloured, 3, 3), rgb(change.background), 10), `preview corner ${pixelAt(coloured, 3, 3)}`);
  await browserPage.locator(".chooser.kind-color").click();
  assert.match(await browserPage.locator(".swatches.custom .swatch").first().getAttribute("aria-label"), /#5a189a$/);
  await browserPage.keyboard.press("Escape");
  await settled();

  // A font, found by searching, its name then drawn in the face itself.
  await browserPage.getByRole("button", { name: /^Title font/ }).click();
  await browserPage.locator(".font-search").fill("liberation serif");
  await shot("font-dialog");
  await browserPage.keyboard.press("Enter");
  await settled();
  const fontChoice = browserPage.getByRole("button", { name: /^Title font/ }).locator(".choice");
  assert.equal(await fontChoice.textContent(), change.face);
  assert.match(await fontChoice.evaluate((node) => node.style.fontFamily), /Liberation Serif/);

  // The picture, browsed to; the music, typed as a path.
  await browserPage.locator(".chooser.kind-image").click();
  await browserPage.locator(".path-field").fill(media);
  await browserPage.locator(".path-field").press("Enter");
  await browserPage.locator('.file-entry[data-name="garden.png"]').click();
  assert.equal(await browserPage.locator('.file-entry[data-name="song.mp3"]').count(), 0, "the filter shows pictures only");
  await shot("open-dialog");
  await browserPage.getByRole("button", { name: "Open", exact: true }).click();
  await settled();
  await browserPage.locator(".chooser.kind-mp3").click();
  await chooseByPath(change.music);
  await settled();
  assert.equal(await browserPage.locator(".chooser.kind-image .choice").textContent(), "garden.png");
  assert.equal(await browserPage.locator(".chooser.kind-mp3 .choice").textContent(), "song.mp3");

  await statusAfter(() => browserPage.getByRole("button", { name: "Preview", exact: true }).click(), /Preview updated/);
  const applied = await preview();
  assert.ok(changedShare(coloured, applied) > 0.02, "the preview shows the new picture and font");
  await shot("applied");

  // Saved over an older file: the question is answered Yes.
  await browserPage.getByRole("button", { name: "Save as..." }).click();
  await chooseByPath(join(home, "cards", "card"));
  await browserPage.getByText("card.swf already exists. Do you want to replace it?").waitFor();
  await shot("overwrite-question");
  await statusAfter(() => browserPage.getByRole("button", { name: "Yes" }).click(), /Saved card\.swf/);
  await shot("saved");

  const inspected = JSON.parse(execFileSync(tarvenox, ["inspect", "--json", saved], { encoding: "utf8" }));
  assert.equal(inspected.backgroundColor, "#5a189a");
  const tagsOf = (name) => inspected.tags.filter((tag) => tag.name === name);
  assert.deepEqual(tagsOf("DefineBitsLossless").map((tag) => [tag.width, tag.height]), [[240, 180]]);
  assert.equal(tagsOf("DoAction")[0].variables.find((v) => v.name === "title").value, change.title);
  const batch = join(work, "batch.swf");
  execFileSync(tarvenox, ["save", "--template", "greeting", "--data", installation, "-o", batch, "--font", `Headline=${change.face}`]);
  const headline = (movie) => movie.tags.find((tag) => tag.fontName === "Headline").length;
  assert.equal(headline(inspected), headline(JSON.parse(execFileSync(tarvenox, ["inspect", "--json", batch], { encoding: "utf8" }))));
  assert.ok(readFileSync(saved).includes(readFileSync(change.music).subarray(2000, 2400)), "the saved movie plays the chosen music");

  // A reload takes the program over again with the template, the form and the choices.
  await browserPage.reload();
  await browserPage.locator('button.template[data-file="greeting"][aria-pressed="true"]').waitFor();
  await settled();
  assert.equal(await browserPage.getByLabel("Title", { exact: true }).inputValue(), change.title);
  assert.equal(await browserPage.locator(".chooser.kind-image .choice").textContent(), "garden.png");
  await shot("reloaded");

  await shellSteps({ browser: context, tab: browserPage, address, shot, settled, problems });

  // The fullscreen view, closed by its button and by Escape.
  const surface = browserPage.locator("#fullscreen");
  for (const close of ["button", "Escape"]) {
    await browserPage.getByRole("button", { name: "Fullscreen" }).click();
    await browserPage.waitForFunction(() => document.querySelector('[data-player="fullscreenMovie"]').dataset.state === "playing");
    await browserPage.waitForTimeout(500);
    if (close === "button") {
      await shot("fullscreen");
      await browserPage.locator(".round-close").click();
    } else {
      await browserPage.keyboard.press("Escape");
    }
    await surface.waitFor({ state: "hidden" });
    await settled();
    await shot(`fullscreen-closed-by-${close.toLowerCase()}`);
  }

  await browserPage.getByRole("button", { name: "Quit" }).click();
  await checkEnd({ tab: browserPage, exited, shot, workingFolders, problems });
  console.log(`page check: passed; screenshots in ${shots}`);
} catch (error) {
  await shot("failed").catch(() => {});
  throw error;
} finally {
  await context.close();
  program.kill();
}
