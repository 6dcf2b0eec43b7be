// Screenshots of the page's dialogs in each language: the program on the demo
// installation (the German one with --lang de), run with --lang de and --lang en, each
// dialog opened in turn and taken as
// OUT/LANG-NN-NAME.png: the page without its script, the colour, font, open and save
// dialogs, the save's overwrite question, the host's message boxes, a picture's fit
// choice, the help, the open-a-movie dialog with its question about unsaved changes, the
// fullscreen view and the quit question. For looking at, not a check: nothing is compared.
//   node tests/page/dialog_screenshots.mjs --tarvenox build/tarvenox --demo build/demo --out /tmp/shots
import { copyFileSync, mkdirSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { parseArgs } from "node:util";
import { pageTexts, readCatalogue } from "./catalogue.mjs";
import { openTab, previewSettled, screenOption, startProgram } from "./session.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, out: { type: "string" }, ...screenOption },
});
if (!options.tarvenox || !options.demo || !options.out) {
  console.error("usage: dialog_screenshots.mjs --tarvenox PROGRAM --demo BUILD/demo --out FOLDER [--screen WxH]");
  process.exit(2);
}
const out = resolve(options.out);
mkdirSync(out, { recursive: true });

async function takeShots(language) {
  const words = pageTexts(language);
  const host = readCatalogue(language);
  const work = mkdtempSync(join(tmpdir(), "tarvenox-shots-"));
  const notPicture = join(work, "notes.png");
  writeFileSync(notPicture, "Not a picture at all.\n");
  const picture = join(work, "garden.png");
  copyFileSync(fileURLToPath(new URL("../fixtures/fuzz/png_image/rgb16-filters-5x5.png", import.meta.url)), picture);
  const existing = join(work, "card.swf");
  writeFileSync(existing, "");
  const { program, exited, address } = await startProgram(resolve(options.tarvenox), join(resolve(options.demo), language === "de" ? "de/loose" : "loose"),
    { HOME: work, TMPDIR: work }, language);
  const { browser, tab } = await openTab(options.screen);
  let step = 0;
  const shot = (name, where = tab) =>
    where.screenshot({ path: join(out, `${language}-${String(++step).padStart(2, "0")}-${name}.png`) });
  const dialog = () => tab.locator(".dialog").last();
  const close = async () => {
    await tab.keyboard.press("Escape");
    await tab.locator(".dialog").waitFor({ state: "detached" });
    await previewSettled(tab);
  };
  const button = (name) => tab.getByRole("button", { name, exact: true });
  const chooseFile = async (path) => {
    await tab.locator(".file-name").fill(path);
    await tab.keyboard.press("Enter");
  };
  try {
    // The page as a browser without JavaScript shows it.
    const bare = await tab.context().browser().newPage({ javaScriptEnabled: false });
    await bare.goto(address);
    await shot("no-script", bare);
    await bare.close();

    await tab.goto(address);
    await tab.locator("button.template").first().waitFor();
    await shot("start");
    await tab.locator("button.template").first().click();
    await tab.locator(".skin[data-template] .form .field").first().waitFor();
    await previewSettled(tab);
    await shot("form");
    for (const [name, open] of [
      ["colour", () => tab.locator(".chooser.kind-color").first().click()],
      ["font", () => tab.locator(".chooser.kind-font").first().click()],
      ["picture", () => tab.locator(".chooser.kind-image").first().click()],
      ["music", () => tab.locator(".chooser.kind-mp3").first().click()],
      ["save", () => tab.evaluate(() => window.tarvenox.skin.parts.save.click())],
    ]) {
      await open();
      await dialog().waitFor();
      await tab.waitForTimeout(300);
      await shot(name);
      await close();
    }
    // Saving over a file that is there: the question before it is replaced; No keeps it.
    await tab.evaluate(() => window.tarvenox.skin.parts.save.click());
    await chooseFile(existing);
    await button(words.no).waitFor();
    await shot("save-replace-asked");
    await button(words.no).click();
    await close();
    // A file that is no picture: the host's message box.
    await tab.locator(".chooser.kind-image").first().click();
    await chooseFile(notPicture);
    await button(words.ok).waitFor();
    await shot("picture-refused");
    await button(words.ok).click();
    await previewSettled(tab);
    // A picture taken: its fit, chosen beside it.
    await tab.locator(".chooser.kind-image").first().click();
    await chooseFile(picture);
    await tab.locator("select.fit").first().waitFor();
    await previewSettled(tab);
    await tab.locator("select.fit").first().focus();
    await shot("picture-fit");
    // The help, a page of its own in the run's language.
    const [help] = await Promise.all([
      tab.context().waitForEvent("page"),
      tab.evaluate(() => window.tarvenox.skin.parts.help.click()),
    ]);
    await help.waitForLoadState();
    await help.setViewportSize(tab.viewportSize());
    await shot("help", help);
    await help.close();
    // The fullscreen view.
    await tab.evaluate(() => window.tarvenox.skin.parts.fullscreen.click());
    await tab.locator("#fullscreen").waitFor();
    await tab.waitForTimeout(1000);
    await shot("fullscreen");
    await tab.keyboard.press("Escape");
    await tab.locator("#fullscreen").waitFor({ state: "hidden" });
    await previewSettled(tab);
    // Another movie after edits: the question first, then the open dialog.
    await tab.locator(".form input[type=text]").first().fill("Tarvenox");
    await previewSettled(tab);
    await tab.evaluate(() => window.tarvenox.skin.parts.open.click());
    await tab.getByText(host["message.unsavedOpen"]).waitFor();
    await shot("open-asked");
    await button(words.ok).click();
    await dialog().waitFor();
    await tab.waitForTimeout(300);
    await shot("open-movie");
    await close();
    // Quit: the question about unsaved changes; Yes ends the program.
    await tab.evaluate(() => window.tarvenox.skin.parts.quit.click());
    await tab.getByText(host["message.unsavedQuit"]).waitFor();
    await shot("quit-asked");
    await button(words.yes).click();
    await exited;
    await tab.locator("#notice").waitFor();
    await shot("ended");
  } finally {
    await browser.close();
    program.kill();
    rmSync(work, { recursive: true, force: true });
  }
}

for (const language of ["de", "en"]) await takeShots(language);
console.log(`dialog screenshots: ${out}`);
