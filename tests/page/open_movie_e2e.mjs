// The interactive program started on a plain movie, used through its page in headless
// Chromium: `tarvenox MOVIE.swf --no-browser` on a real movie of ../shared/real-swf with
// bitmaps and static texts shows them in the form (each picture with the movie's own
// thumbnail; a text in a character Windows-1252 lacks left out); a picture made here and a
// new static text change the preview; Save as... proposes a new name beside the movie and
// the saved file holds both changes (read back with `tarvenox templates --json`); "Open a
// movie…" then switches the page to a second movie's form; Quit ends it all.
//   node tests/page/open_movie_e2e.mjs --tarvenox BIN --work DIR
// Exits with 77 (skipped) when Chromium, the npm packages or the real movies are missing.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { parseArgs } from "node:util";
import { readCatalogue } from "./catalogue.mjs";
import { exitUnlessBrowser } from "../player/harness.mjs";
import { changedShare, checkEnd, openTab, previewPixels, previewSettled, runSteps, screenOption, startProgramWith, stepShots } from "./session.mjs";

// The texts of the host, which the checks run in English.
const english = readCatalogue("en");
const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, work: { type: "string" }, ...screenOption },
  strict: false,
});
exitUnlessBrowser("open movie check");

// The real movies lie beside the project, as the conformance test finds them.
const corpus = fileURLToPath(new URL("../../../shared/real-swf/", import.meta.url));
// A slide with four pictures and 19 static texts (its fonts have no names; nine texts are
// one arrow of the private use area); a racing game with text fields, variables, sounds
// and named fonts.
const first = { file: "shumway-0268.swf", name: "shumway-0268", text: 38, oldText: "Movilidad", newText: "¿Bicicletas?", picture: 5, arrow: 8 };
const second = { file: "shumway-0036.swf", name: "shumway-0036", field: "Text 24", variable: "totalLaps" };
if (![first, second].every((movie) => existsSync(join(corpus, movie.file)))) {
  console.log(`open movie check: ${corpus} does not hold ${first.file} and ${second.file}: skipped`);
  process.exit(77);
}

const tarvenox = resolve(options.tarvenox);
const work = resolve(options.work);
const shots = join(work, "screenshots");
const home = join(work, "home");
const movies = join(home, "movies");
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
for (const folder of [shots, movies, temporary]) mkdirSync(folder, { recursive: true });
for (const movie of [first, second]) copyFileSync(join(corpus, movie.file), join(movies, movie.file));
const opened = join(movies, first.file);
const original = readFileSync(opened);
const describe = (path) => JSON.parse(execFileSync(tarvenox, ["templates", path, "--json"], { encoding: "utf8" }));

const { program, exited, address } = await startProgramWith(tarvenox, [opened, "--no-browser"], { HOME: home, TMPDIR: temporary });
const { browser, tab, problems } = await openTab(options.screen);
const shot = stepShots(tab, shots);
const settled = () => previewSettled(tab);
const preview = () => previewPixels(tab);
const field = (label) => tab.getByLabel(label, { exact: true });
const picture = (id) => tab.locator(".chooser.kind-image", { hasText: `Picture ${id} (` });

// A picture of stripes in two colours that the movie's own does not hold, as a PNG.
async function stripes(width, height) {
  const bytes = await tab.evaluate(async ([w, h]) => {
    const canvas = new OffscreenCanvas(w, h);
    const context = canvas.getContext("2d");
    for (let x = 0; x < w; x += 8) {
      context.fillStyle = (x / 8) % 2 ? "#10c040" : "#2040ff";
      context.fillRect(x, 0, 8, h);
    }
    return [...new Uint8Array(await (await canvas.convertToBlob({ type: "image/png" })).arrayBuffer())];
  }, [width, height]);
  return Buffer.from(bytes);
}

// Runs action and waits until the status line shows a text matching pattern since.
async function statusAfter(action, pattern) {
  await tab.evaluate(() => {
    document.querySelector(".status-text").textContent = "";
  });
  await action();
  await tab.waitForFunction((source) => new RegExp(source).test(document.querySelector(".status-text").textContent),
    pattern.source, { timeout: 30000 });
  await settled();
}

// Waits for the form of the template named, as the host chose it (no click).
async function formOf(name) {
  await tab.locator(`.skin[data-template="${name}"] .form .field`).first().waitFor({ timeout: 60000 });
  await settled();
}

await runSteps({ browser, program, shot }, async () => {
    await tab.goto(address);
    await formOf(first.name);
    await shot("movie-opened");

    // The static texts are fields with the movie's strings; the arrows are not there.
    assert.equal(await field(`Text ${first.text}`).inputValue(), first.oldText);
    assert.equal(await field(`Text ${first.arrow}`).count(), 0, "a text Windows-1252 cannot hold is left out");
    // Each picture shows the movie's own thumbnail, no replacement offered back.
    const own = picture(first.picture);
    assert.equal(await own.locator(".choice").textContent(), "From the template");
    assert.ok(await own.locator("img.choice-thumb").evaluate((img) => img.decode().then(() => img.naturalWidth > 0 && img.naturalWidth <= 160)),
      "the picture's own thumbnail");
    const before = await preview();

    // A picture made here replaces the movie's own.
    const png = join(work, "stripes.png");
    writeFileSync(png, await stripes(96, 64));
    await own.click();
    await tab.locator(".file-name").fill(png);
    await statusAfter(() => tab.keyboard.press("Enter"), /^Preview updated/);
    assert.equal(await own.locator(".choice").textContent(), "stripes.png");
    const replaced = await preview();
    assert.ok(changedShare(before, replaced) > 0.01, `the preview shows the new picture (${changedShare(before, replaced)} changed)`);

    // A new static text, letters beyond ASCII among them.
    await statusAfter(() => field(`Text ${first.text}`).fill(first.newText), /^Preview updated/);
    const retitled = await preview();
    assert.ok(changedShare(replaced, retitled) > 0.002, `the preview shows the new text (${changedShare(replaced, retitled)} changed)`);
    await shot("picture-and-text-changed");

    // Save as... proposes a new name beside the movie; the movie itself stays as it was.
    await tab.getByRole("button", { name: "Save as..." }).click();
    const name = tab.locator(".file-name");
    await name.waitFor();
    await tab.waitForFunction((folder) => document.querySelector(".path-field").value === folder, movies, { timeout: 20000 });
    const proposed = await name.inputValue();
    assert.equal(proposed, `${first.name}-edited.swf`);
    await shot("save-proposed");
    await statusAfter(() => tab.keyboard.press("Enter"), /Saved/);
    assert.deepEqual(readFileSync(opened), original, "the opened movie is not written");
    const saved = describe(join(movies, proposed));
    assert.equal(saved.staticTexts.find((text) => text.id === first.text).text, first.newText);
    const savedPicture = saved.pictures.find((p) => p.id === first.picture);
    // Cut to the slot's proportions (the default fit), the new picture keeps its own rows.
    const slot = describe(opened).pictures.find((p) => p.id === first.picture);
    assert.equal(savedPicture.height, 64, "the saved movie holds the new picture");
    assert.ok(Math.abs(savedPicture.width / savedPicture.height - slot.width / slot.height) < 0.03,
      `the new picture ${savedPicture.width} x ${savedPicture.height} has the slot's proportions`);
    await shot("saved");

    // Another movie through "Open a movie…": its form replaces the first one's.
    await tab.getByRole("button", { name: "Open a movie…" }).click();
    await tab.locator(".file-name").waitFor();
    await tab.getByRole("dialog", { name: "Open a movie" }).waitFor();
    await tab.locator(".file-name").fill(join(movies, second.file));
    await statusAfter(() => tab.keyboard.press("Enter"), new RegExp(`^Opened ${second.file}`));
    await formOf(second.name);
    assert.equal(await field("Text 10").count(), 0, "the first movie's form is gone");
    assert.equal(await field(second.field).count(), 1, "the second movie's static text");
    assert.equal(await field(second.variable).inputValue(), "10");
    await shot("second-movie");

    // Nothing was changed in the movie just opened: Quit does not ask.
    const beforeQuit = problems.length;
    await tab.getByRole("button", { name: "Quit" }).click();
    const asked = await tab.getByText(english["message.unsavedQuit"]).waitFor({ timeout: 3000 }).then(() => true, () => false);
    assert.equal(asked, false, "Quit asks about unsaved changes right after a movie was opened");
    const workingFolders = () => readdirSync(temporary);
    await checkEnd({ tab, exited, shot, workingFolders, problems, beforeQuit });
    console.log(`open movie check: passed; screenshots in ${shots}`);
});
