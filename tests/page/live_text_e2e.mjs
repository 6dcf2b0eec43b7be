// A typed text shown by the movie already playing in the preview, before the rebuilt
// movie arrives: on the demo installation every movie request is held back, the text is
// typed, and the preview must show it all the same (the host sets it through the
// clip in the preview's copy); let through, the rebuilt movie must show the same picture.
// For the greeting card (a movie of version 5, texts in Windows-1252) and the sale poster
// (version 6, texts in UTF-8), with letters beyond ASCII.
//   node tests/page/live_text_e2e.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import assert from "node:assert/strict";
import { mkdirSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser } from "../player/harness.mjs";
import { changedShare, openTab, previewPixels, previewSettled, screenOption, startProgram, stepShots } from "./session.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" }, ...screenOption },
});
exitUnlessBrowser("live text check");

const work = resolve(options.work);
const temporary = join(work, "tmp");
rmSync(work, { recursive: true, force: true });
mkdirSync(temporary, { recursive: true });

const { program, address } = await startProgram(resolve(options.tarvenox), join(resolve(options.demo), "loose"),
  { HOME: work, TMPDIR: temporary });
const { browser, tab, problems } = await openTab(options.screen);
const shot = stepShots(tab, work);

const settled = () => previewSettled(tab);

// Waits until the preview differs from before; resolves with what it shows then. Within
// 2 s: the page gives up on the movie being replaced after 4 s and shows the held one.
async function previewChangedFrom(before, what) {
  const deadline = Date.now() + 2000;
  for (;;) {
    const now = await previewPixels(tab);
    if (changedShare(before, now) > 0.001) return now;
    if (Date.now() > deadline) throw new Error(`${what}: the preview did not change`);
    await tab.waitForTimeout(50);
  }
}

const cases = [
  { file: "greeting", label: "Title", text: "Grüße für €5!" },
  { file: "sale", label: "Headline", text: "Ärger-Preis: 9 €" },
];

try {
  await tab.goto(address);
  for (const { file, label, text } of cases) {
    await tab.locator(`button.template[data-file="${file}"]`).click();
    const field = tab.getByLabel(label, { exact: true });
    await field.waitFor({ timeout: 90000 });
    await settled();
    const before = await previewPixels(tab);

    // Every movie the page asks for from now on waits until let through.
    const held = [];
    let holding = true;
    const movies = (url) => url.pathname.endsWith(".swf");
    await tab.route(movies, (route) => (holding ? held.push(route) : route.continue()));
    await field.fill(text);
    const live = await previewChangedFrom(before, `${file}, the rebuilt movie held back`);
    await shot(`${file}-live`);
    // The rebuilt movie follows once typing pauses.
    for (let waited = 0; held.length === 0; waited += 50) {
      assert.ok(waited < 5000, `${file}: the rebuilt movie was asked for`);
      await tab.waitForTimeout(50);
    }
    holding = false;
    for (const route of held) await route.continue();
    await tab.unroute(movies);

    await settled();
    const rebuilt = await previewPixels(tab);
    await shot(`${file}-rebuilt`);
    assert.ok(changedShare(live, rebuilt) < 0.001,
      `${file}: the text set in the playing movie looks as the rebuilt movie shows it (${changedShare(live, rebuilt)} differs)`);
  }
  assert.deepEqual(problems, []);
} finally {
  await browser.close();
  program.kill();
}
