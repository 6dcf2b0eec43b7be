// How long the editor's page takes from the user's input to the preview's changed
// pixels, on the demo installation in headless Chromium: a typed text (from the last
// key), the Preview button, a colour (dialog OK), a PNG, a JPEG, a font, a template
// switch; and the save of a large photograph against `tarvenox save` of the same on the
// command line. Each is measured --runs times (alternating between two values, so every
// run changes the preview); the table shows median, min and max beside the goal. A
// measurement that cannot be made (the page changed, the preview did not) prints "n/a".
//   node bench/page_latency.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
//        [--runs 7] [--only text,colour,...] [--trace] [--screen 1280x800]
// --trace prints for every run the messages between page and host and the movies loaded,
// timed from the input, and the CPU time the host and the browser spent on it.
import { spawnSync } from "node:child_process";
import { existsSync, mkdirSync, readdirSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser } from "../tests/player/harness.mjs";
import { openTab, screenOption, startProgram } from "../tests/page/session.mjs";
import { writePicture } from "./page/photo.mjs";
import { PreviewWatch, epochNow } from "./page/preview_watch.mjs";
import { Timeline, cpuMs } from "./page/timeline.mjs";

const { values: options } = parseArgs({
  options: {
    tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" },
    runs: { type: "string", default: "7" }, only: { type: "string", default: "" }, trace: { type: "boolean", default: false },
    ...screenOption,
  },
});
exitUnlessBrowser("page latency");
const tarvenox = resolve(options.tarvenox);
const installation = join(resolve(options.demo), "loose");
const media = resolve(options.media);
const work = resolve(options.work);
const runs = Math.max(1, Number(options.runs));
const only = new Set(options.only.split(",").filter(Boolean));

// The pictures come from fixed seeds, made once into the work folder (the photograph
// takes the browser a few seconds).
const inputs = join(work, "inputs");
const home = join(work, "home");
const temporary = join(work, "tmp");
rmSync(home, { recursive: true, force: true });
rmSync(temporary, { recursive: true, force: true });
for (const folder of [inputs, join(home, "cards"), temporary]) mkdirSync(folder, { recursive: true });
const pictures = {
  png: [join(media, "garden.png"), join(inputs, "second.png")],
  jpeg: [join(media, "present.jpg"), join(inputs, "second.jpg")],
  photo: join(inputs, "photo-4000.jpg"),
};

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
const now = epochNow;

const { program, address } = await startProgram(tarvenox, installation, { HOME: home, TMPDIR: temporary });
const { browser, tab } = await openTab(options.screen);
const results = [];
const timeline = options.trace ? new Timeline(tab) : null;

// From now to when the returned function is called: the CPU time the host and the browser
// used (the browser's includes the screenshots of the watch).
function cpuUse() {
  const before = cpuMs(process.pid, program.pid);
  return () => {
    const after = cpuMs(process.pid, program.pid);
    return `CPU: host ${after.process - before.process} ms, browser ${Math.round(after.descendants - before.descendants)} ms`;
  };
}

// Fills the open file dialog's name field and confirms; resolves with the time of the Enter.
async function confirmFile(path) {
  const name = tab.getByRole("dialog").getByLabel("File name");
  await name.fill(path);
  await name.press("Enter");
  return now();
}

// The status line's text once it matches pattern.
async function statusMatching(pattern, timeout = 60000) {
  await tab.getByRole("status").filter({ hasText: pattern }).waitFor({ timeout });
}

// Waits until the page has no dialog open and the preview has stopped changing.
async function calm(watch) {
  await tab.getByRole("dialog").waitFor({ state: "detached", timeout: 20000 }).catch(() => {});
  await watch.measure(async () => now(), { quietMs: 800, timeoutMs: 3000 }).catch(() => {});
}

// Each action: its name, its goal in ms (null: compared in its own row), and the input of
// run i, which resolves with the time of the user's last input.
const chooser = (label) => tab.getByRole("button", { name: label });
const actions = [
  { name: "text", goal: 150, async input(i) {
    const field = tab.getByLabel("Title", { exact: true });
    await field.click();
    await field.press("ControlOrMeta+a");
    // Timed from the moment the last key goes down: the preview may show the text before
    // the key's round trip through the browser ends. The texts end in a wide letter, so
    // the last key alone changes the preview clearly (the rest may show before it).
    const text = i % 2 ? "See you soon, Sam" : "Welcome home, Tom";
    await tab.keyboard.type(text.slice(0, -1));
    const lastKey = now();
    await tab.keyboard.press(text.slice(-1));
    return lastKey;
  } },
  { name: "preview button", goal: 150, async input(i) {
    // A change the preview has not had yet (the button comes before the automatic apply).
    await tab.getByLabel("Message", { exact: true }).fill(i % 2 ? "Short." : "A longer message,\nover two lines.");
    await tab.getByRole("button", { name: "Preview", exact: true }).click();
    return now();
  } },
  { name: "colour", goal: 300, async input(i) {
    await chooser(/^Background/).click();
    const dialog = tab.getByRole("dialog");
    await dialog.getByLabel("Hex").fill(i % 2 ? "#1b6b3a" : "#5a189a");
    await dialog.getByRole("button", { name: "OK", exact: true }).click();
    return now();
  } },
  { name: "PNG", goal: 800, async input(i) {
    await chooser(/^Picture/).click();
    return confirmFile(pictures.png[i % 2]);
  } },
  { name: "JPEG", goal: 800, async input(i) {
    await chooser(/^Picture/).click();
    return confirmFile(pictures.jpeg[i % 2]);
  } },
  { name: "font", goal: 800, async input(i) {
    await chooser(/^Title font/).click();
    const dialog = tab.getByRole("dialog");
    await dialog.getByRole("searchbox").fill(i % 2 ? "DejaVu Serif" : "Liberation Serif");
    await dialog.getByRole("searchbox").press("Enter");
    return now();
  } },
  { name: "template switch", goal: 800, async input(i) {
    const file = i % 2 ? "greeting" : "sale";
    await tab.locator(`button.template[data-file="${file}"]`).click();
    return now();
  } },
];

async function measureAction(watch, action) {
  const times = [];
  let problem = "";
  for (let i = 0; i < runs; i++) {
    try {
      let inputAt = 0;
      const cpu = cpuUse();
      const ms = await watch.measure(async () => (inputAt = await action.input(i)));
      if (ms === null) problem = "the preview did not change";
      else times.push(ms);
      if (timeline) console.log(`${action.name}, run ${i + 1}: ${cpu()}\n${timeline.lines(inputAt, ms).join("\n")}`);
    } catch (error) {
      problem = String(error.message).split("\n")[0];
    }
    await calm(watch);
  }
  results.push({ name: action.name, goal: `${action.goal} ms`, times, problem });
}

// The save of a 4000 x 4000 photograph as the picture, from the save dialog's Enter to
// the status that says it is saved, against the same save on the command line.
async function measurePhotoSave(watch) {
  const times = [];
  let problem = "";
  try {
    await chooser(/^Picture/).click();
    await confirmFile(pictures.photo);
    await calm(watch);
    await statusMatching(/Preview updated/);
    for (let i = 0; i < runs; i++) {
      await tab.getByRole("button", { name: /^Save as/ }).click();
      const cpu = cpuUse();
      const started = await confirmFile(join(home, "cards", `photo-${i}.swf`));
      await statusMatching(new RegExp(`Saved photo-${i}\\.swf`));
      times.push(now() - started);
      if (timeline) console.log(`photo save, run ${i + 1}: ${cpu()}\n${timeline.lines(started, null).join("\n")}`);
      await calm(watch);
    }
  } catch (error) {
    problem = String(error.message).split("\n")[0];
  }
  const line = [];
  for (let i = 0; i < runs; i++) {
    const started = now();
    const run = spawnSync(tarvenox, ["save", "--template", "greeting", "--data", installation, "-o", join(work, "photo-line.swf"),
      "--image", `photo=${pictures.photo}`, "--var", "title=Welcome home!"], { stdio: "ignore" });
    if (run.status === 0) line.push(now() - started);
  }
  results.push({ name: "photo save (page)", goal: `<= command line`, times, problem });
  results.push({ name: "photo save (command line)", goal: "", times: line, problem: line.length ? "" : "tarvenox save failed" });
}

function printTable(watch) {
  const cell = (ms) => `${Math.round(ms)} ms`;
  const rows = results.map(({ name, goal, times, problem }) => times.length === 0
    ? [name, "n/a", "", "", goal, problem]
    : [name, cell(median(times)), cell(Math.min(...times)), cell(Math.max(...times)), goal,
       problem ? `${runs - times.length} of ${runs} runs n/a: ${problem}` : ""]);
  const header = ["action", "median", "min", "max", "goal", "note"];
  console.log(`| ${header.join(" | ")} |\n|${header.map((_, i) => (i >= 1 && i <= 3 ? "---:" : "---")).join("|")}|`);
  for (const row of rows) console.log(`| ${row.join(" | ")} |`);
  if (watch?.costs.length) {
    console.log(`\nThe preview was watched by ${watch.method === "canvas" ? "reading its canvas every 40 ms" : "screenshots"}; a look cost the page ${median(watch.costs).toFixed(1)} ms (median).`);
  }
}

let watch = null;
try {
  if (!existsSync(pictures.png[1])) await writePicture(tab, pictures.png[1], { width: 240, height: 180, seed: 7 });
  if (!existsSync(pictures.jpeg[1])) await writePicture(tab, pictures.jpeg[1], { width: 640, height: 480, seed: 11 });
  if (!existsSync(pictures.photo)) await writePicture(tab, pictures.photo, { width: 4000, height: 4000, seed: 25 });
  watch = await PreviewWatch.open(tab, tab.locator('[data-player="viewer"]'));
  await tab.goto(address);
  await tab.locator('button.template[data-file="greeting"]').click();
  await tab.getByLabel("Title", { exact: true }).waitFor({ timeout: 90000 });
  await calm(watch);
  for (const action of actions) {
    if (only.size && !only.has(action.name)) continue;
    await measureAction(watch, action);
    // Every action starts from the greeting card.
    if (action.name === "template switch" && runs % 2 === 1) {
      await tab.locator('button.template[data-file="greeting"]').click();
      await calm(watch);
    }
  }
  if (!only.size || only.has("photo save")) await measurePhotoSave(watch);
} finally {
  printTable(watch);
  await browser.close();
  program.kill();
  const left = readdirSync(temporary).filter((name) => name.startsWith("tvtmpdir."));
  for (const folder of left) rmSync(join(temporary, folder), { recursive: true, force: true });
}
