// The interactive program on the demo installation, used through its page in headless
// Chromium as a person would: pick the greeting card and find its whole form in reach,
// type letters into a number field, double-click Save, change a text (sent at once), undo
// and redo it, the colour, a font, the picture and the music through the dialogs, refuse a
// broken picture and a text file, see the preview change, save over a file (the overwrite
// question answered), look at the result with `tarvenox inspect`, save it as a GIF, switch
// templates and back, fit a square picture inside its place and save it, go back to the
// template's own picture, reload the page and find the form and the preview as they were,
// open the fullscreen view and close it by its button and by Escape, quit and find the
// working folder gone. A screenshot of every step is kept in the work folder.
//   node tests/page/page_e2e.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { readCatalogue } from "./catalogue.mjs";
import { exitUnlessBrowser, pixelAt } from "../player/harness.mjs";
import { near, rgb } from "../player/stage.mjs";
import { shellSteps } from "./shell_steps.mjs";
import { changedShare, checkEnd, openTab, screenOption, previewPixels, previewSettled, runSteps, startProgram, stepShots } from "./session.mjs";

// The texts of the host, which the checks run in English.
const english = readCatalogue("en");
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
// Files a picture chooser must refuse, each with one message box.
const refused = [
  { name: "truncated.png", bytes: readFileSync(change.picture).subarray(0, 120) },
  { name: "notes.txt", bytes: Buffer.from("Not a picture at all.\n") },
];
for (const file of refused) writeFileSync(join(work, file.name), file.bytes);

// -- the program --

const { program, exited, address } = await startProgram(tarvenox, installation, { HOME: home, TMPDIR: temporary });
const { browser: context, tab: browserPage, problems } = await openTab(options.screen);
const shot = stepShots(browserPage, shots);

const settled = () => previewSettled(browserPage);

const preview = () => previewPixels(browserPage);

// Waits for the status line to report the next apply (or save). Every text the line shows
// meanwhile counts: a command's own report may give way to the apply that follows it
// before the next animation frame.
async function statusAfter(action, pattern, timeout = 20000) {
  await browserPage.evaluate(() => {
    const line = document.querySelector(".status-text");
    line.textContent = "";
    window.statusSeen = [];
    window.statusWatch?.disconnect();
    window.statusWatch = new MutationObserver(() => window.statusSeen.push(line.textContent));
    window.statusWatch.observe(line, { childList: true, characterData: true, subtree: true });
  });
  await action();
  try {
    await browserPage.waitForFunction((source) => window.statusSeen.some((text) => new RegExp(source).test(text)),
      pattern.source, { timeout });
  } catch (error) {
    const seen = await browserPage.evaluate(() => window.statusSeen);
    throw new Error(`the status line never matched ${pattern}; it showed ${JSON.stringify(seen)}`, { cause: error });
  }
  await settled();
}

// Types a path into the open or save dialog's name field and confirms.
async function chooseByPath(path) {
  await browserPage.locator(".file-name").fill(path);
  await browserPage.keyboard.press("Enter");
}

// An entry of the open dialog, once listed; a listing that does not come fails with what
// the dialog shows instead.
async function fileEntry(name) {
  const entry = browserPage.locator(`.file-entry[data-name="${name}"]`);
  try {
    await entry.waitFor({ timeout: 20000 });
  } catch (error) {
    const shown = await browserPage.locator(".file-dialog").evaluate((box) => ({
      path: box.querySelector(".path-field")?.value,
      problem: box.querySelector(".file-problem")?.hidden ? "" : box.querySelector(".file-problem")?.textContent,
      entries: [...box.querySelectorAll(".file-entry")].map((item) => item.dataset.name).slice(0, 10),
    })).catch(() => "no open dialog");
    throw new Error(`${name} is not listed: the dialog shows ${JSON.stringify(shown)}`, { cause: error });
  }
  return entry;
}

const field = (label) => browserPage.getByLabel(label, { exact: true });
const choiceOf = (kind) => browserPage.locator(`.chooser.kind-${kind} .choice`).textContent();
const dialogs = () => browserPage.locator(".dialog").count();
const variable = (name) => browserPage.evaluate((key) => window.tarvenox.skin.getVariable(key), name);

// Picks a template and waits for its form and preview.
async function pickTemplate(file) {
  await browserPage.locator(`button.template[data-file="${file}"]`).click();
  await browserPage.locator(`.skin[data-template="${file}"] .form .field`).first().waitFor();
  // The skin's command is answered apart from the preview's messages: the preview may
  // still show the template before until the host's load of this one arrives. Leaving a
  // template before its preview came, or before its movie was fetched, would make the page
  // fetch a movie the host has already deleted.
  await browserPage.waitForFunction((name) => new URL(window.tarvenox.players.viewer.url, document.baseURI).pathname.endsWith(`/${name}.swf`), file, { timeout: 20000 });
  await browserPage.waitForFunction(() => document.querySelector('[data-player="viewer"]').dataset.state !== "loading", null, { timeout: 20000 });
  await settled();
}

// Every field of the form is in sight, or the form says more waits below and scrolling
// brings each field fully into its region.
async function checkFormInReach() {
  const boxes = await browserPage.evaluate(() => {
    const scroll = document.querySelector(".form-scroll");
    const region = scroll.getBoundingClientRect();
    return {
      more: getComputedStyle(scroll.parentElement, "::after").content.includes("more"),
      scrollable: getComputedStyle(scroll).overflowY === "auto" && scroll.scrollHeight > scroll.clientHeight,
      hidden: [...scroll.querySelectorAll(".form > .field")].filter((node) => {
        const box = node.getBoundingClientRect();
        return box.top < region.top - 1 || box.bottom > region.bottom + 1;
      }).length,
    };
  });
  if (boxes.hidden > 0) assert.ok(boxes.more && boxes.scrollable, `${boxes.hidden} fields out of sight without a word`);
  const last = browserPage.locator(".form > .field").last();
  await last.scrollIntoViewIfNeeded();
  const [box, region] = await Promise.all([last.boundingBox(), browserPage.locator(".form-scroll").boundingBox()]);
  assert.ok(box.y >= region.y - 1 && box.y + box.height <= region.y + region.height + 1, "the last field scrolls fully into sight");
}

// Opens the picture chooser, gives it a path and answers the message box it shows with
// OK; the chooser shows what it showed before and the status line says why.
async function refusePicture(path) {
  const before = await choiceOf("image");
  await browserPage.locator(".chooser.kind-image").click();
  await chooseByPath(path);
  const box = browserPage.locator(".dialog").filter({ has: browserPage.getByRole("button", { name: "OK" }) });
  await box.waitFor();
  await shot(`refused-${path.split("/").pop().replace(".", "-")}`);
  await box.getByRole("button", { name: "OK" }).click();
  await settled();
  assert.equal(await choiceOf("image"), before, "the chooser is as it was");
  assert.match(await browserPage.locator(".status-text").textContent(), /not used/);
}

await runSteps({ browser: context, program, shot }, async () => {
    assert.equal(workingFolders().length, 1, "the program works in one folder of its own");
    await browserPage.goto(address);
    await browserPage.locator("button.template").first().waitFor();
    await shot("start");

    // The whole form is in reach; a template chosen next starts at its top.
    await pickTemplate("greeting");
    await checkFormInReach();
    await shot("form-scrolled");
    await pickTemplate("sale");
    assert.equal(await browserPage.locator(".form-scroll").evaluate((node) => node.scrollTop), 0, "a new form starts at its top");
    await checkFormInReach();

    // A number field refuses letters as they are typed; a decimal comma is a point.
    await field("Price").fill("");
    await field("Price").pressSequentially("1a9,x5");
    assert.equal(await field("Price").inputValue(), "19,5");
    assert.equal(await variable("price"), "19.5");
    await settled();
    await shot("number-typed");

    await pickTemplate("greeting");
    await shot("template-chosen");
    const before = await preview();

    // A double click on Save as... opens one dialog, and after it is cancelled no other.
    await browserPage.getByRole("button", { name: "Save as..." }).dblclick();
    await browserPage.locator(".file-name").waitFor();
    assert.equal(await dialogs(), 1);
    await browserPage.keyboard.press("Escape");
    await settled();
    await browserPage.waitForTimeout(1000);
    assert.equal(await dialogs(), 0, "no second save dialog");

    // A text goes to the host at once, not after a pause, and the preview follows. The apply
    // is counted as it is sent: a quick host may have answered it before the check could look.
    await browserPage.evaluate(() => {
      const commands = window.tarvenox.skin.commands;
      const run = commands.run;
      window.appliesSent = 0;
      commands.run = function (command, args, kind) {
        if (kind === "apply") window.appliesSent += 1;
        return run.call(this, command, args, kind);
      };
    });
    await statusAfter(async () => {
      await field("Title").fill(change.title);
      assert.ok(await browserPage.evaluate(() => window.appliesSent > 0), "applied as typed");
    }, /Preview updated/);
    await browserPage.evaluate(() => delete window.tarvenox.skin.commands.run);
    const typed = await preview();
    assert.ok(changedShare(before, typed) > 0.005, "the preview shows the new title");
    await shot("text-typed");

    // Undo and redo from the keyboard, in the field being typed in.
    await field("Title").focus();
    await statusAfter(() => browserPage.keyboard.press("Control+z"), /Undone/);
    assert.equal(await field("Title").inputValue(), "Happy Birthday!");
    await shot("undone");
    await statusAfter(() => browserPage.keyboard.press("Control+Shift+z"), /Redone/);
    assert.equal(await field("Title").inputValue(), change.title);
    assert.ok(changedShare(before, await preview()) > 0.005, "the preview shows the title again");

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
    await (await fileEntry("garden.png")).click();
    assert.equal(await browserPage.locator('.file-entry[data-name="song.mp3"]').count(), 0, "the filter shows pictures only");
    await shot("open-dialog");
    await browserPage.getByRole("button", { name: "Open", exact: true }).click();
    await settled();
    await browserPage.locator(".chooser.kind-mp3").click();
    await chooseByPath(change.music);
    await settled();
    assert.equal(await choiceOf("image"), "garden.png");
    assert.equal(await choiceOf("mp3"), "song.mp3");
    assert.ok(await browserPage.locator(".chooser.kind-image img.choice-thumb").evaluate((img) => img.decode().then(() => img.naturalWidth > 0)),
      "the picture's thumbnail");
    await browserPage.getByRole("button", { name: "Play Music" }).waitFor();

    // A broken picture and a text file are refused once each; typing brings no box back.
    for (const file of refused) await refusePicture(join(work, file.name));
    await statusAfter(() => field("Signed by").fill("Jörg und Anna"), /Preview updated/);
    assert.equal(await dialogs(), 0, "no message box after the refusal");

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

    // The same card as an animated GIF: the file type gives the name its extension, the
    // status line names the video while it is made, then says it is saved.
    await browserPage.getByRole("button", { name: "Save as..." }).click();
    await browserPage.locator(".file-filter").selectOption({ label: english["dialog.save.gifFilter"] });
    const gifName = await browserPage.locator(".file-name").inputValue();
    assert.match(gifName, /\.gif$/);
    await statusAfter(() => browserPage.keyboard.press("Enter"), /Saved .*\.gif/, 120000);
    assert.ok((await browserPage.evaluate(() => window.statusSeen)).includes(english["page.savingVideo"].replace("{1}", gifName)));
    assert.equal(readFileSync(join(home, "cards", gifName)).subarray(0, 6).toString("latin1"), "GIF89a");
    await shot("saved-gif");

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

    // A square picture in the card's wider place: fitted inside instead of cropped, the
    // preview changes at once and the saved movie holds it framed (a JPEG with an alpha
    // channel, of the place's proportions); two undos bring the garden back.
    await browserPage.locator(".chooser.kind-image").click();
    await statusAfter(() => chooseByPath(join(media, "present.jpg")), /Preview updated/);
    const fitChoice = browserPage.getByLabel("How Picture fills its place");
    assert.equal(await fitChoice.inputValue(), "cover");
    const covered = await preview();
    await statusAfter(() => fitChoice.selectOption("contain"), /Preview updated/);
    assert.equal(await fitChoice.inputValue(), "contain");
    assert.ok(changedShare(covered, await preview()) > 0.005, "the preview shows the picture fitted inside");
    await shot("picture-contained");
    await browserPage.getByRole("button", { name: "Save as..." }).click();
    await statusAfter(() => chooseByPath(join(home, "cards", "fitted")), /Saved fitted\.swf/);
    const fitted = JSON.parse(execFileSync(tarvenox, ["inspect", "--json", join(home, "cards", "fitted.swf")], { encoding: "utf8" }));
    const framed = fitted.tags.filter((tag) => tag.name === "DefineBitsJPEG3");
    assert.equal(framed.length, 1, "the square picture framed, with transparent margins");
    assert.ok(Math.abs(framed[0].width / framed[0].height - 240 / 180) < 0.02, `the frame has the place's proportions: ${framed[0].width} x ${framed[0].height}`);
    for (let step = 0; step < 2; step++) await statusAfter(() => browserPage.getByRole("button", { name: "Undo" }).click(), /Undone/);
    assert.equal(await choiceOf("image"), "garden.png");
    assert.equal(await fitChoice.inputValue(), "cover");

    // Another template and back: the edits are kept.
    await pickTemplate("sale");
    await pickTemplate("greeting");
    assert.equal(await field("Title").inputValue(), change.title);
    assert.equal(await choiceOf("image"), "garden.png");
    await shot("switched-back");

    // The template's own picture back, and the replacement again by undo.
    const own = await preview();
    await statusAfter(() => browserPage.getByRole("button", { name: "The template's own picture: Picture" }).click(), /own picture/);
    assert.equal(await choiceOf("image"), "From the template");
    assert.ok(changedShare(own, await preview()) > 0.01, "the preview shows the template's picture");
    await shot("template-picture");
    await statusAfter(() => browserPage.getByRole("button", { name: "Undo" }).click(), /Undone/);
    assert.equal(await choiceOf("image"), "garden.png");

    // A reload takes the program over again with the template, the form, the choices and
    // a preview that goes on following the form.
    const reloadedFrom = await preview();
    await browserPage.reload();
    await browserPage.locator('button.template[data-file="greeting"][aria-pressed="true"]').waitFor();
    await browserPage.locator('.skin[data-template="greeting"]').waitFor();
    await settled();
    assert.equal(await field("Title").inputValue(), change.title);
    assert.equal(await choiceOf("image"), "garden.png");
    assert.ok(changedShare(reloadedFrom, await preview()) < 0.01, "the same preview after the reload");
    await shot("reloaded");
    await statusAfter(() => field("Title").fill("After the reload"), /Preview updated/);
    assert.ok(await browserPage.locator('[data-player="viewer"]').isVisible(), "the preview stays in sight");
    assert.ok(changedShare(reloadedFrom, await preview()) > 0.005, "the preview shows the typed title");
    await shot("typed-after-reload");

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

    // Edits made since the save: Quit asks once; No keeps the program, Yes ends it.
    const quitQuestion = browserPage.getByText(english["message.unsavedQuit"]);
    await browserPage.getByRole("button", { name: "Quit" }).click();
    await quitQuestion.waitFor();
    await shot("quit-asked");
    await browserPage.getByRole("button", { name: "No", exact: true }).click();
    await quitQuestion.waitFor({ state: "hidden" });
    await settled();
    assert.equal(await browserPage.locator("#notice").isHidden(), true, "No keeps the program running");
    await browserPage.getByRole("button", { name: "Quit" }).click();
    const beforeQuit = problems.length;
    await browserPage.getByRole("button", { name: "Yes", exact: true }).click();
    await checkEnd({ tab: browserPage, exited, shot, workingFolders, problems, beforeQuit });
    console.log(`page check: passed; screenshots in ${shots}`);
});
