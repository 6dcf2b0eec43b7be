// Publishing for the web: the demo card saved with `--html` plays from a folder served over
// HTTP with every request kept on this machine, and `tarvenox render` draws what the
// player check sees.
//   node tests/player/publish_test.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import { test } from "node:test";
import assert from "node:assert/strict";
import { createServer } from "node:http";
import { existsSync, mkdirSync, readFileSync, readdirSync, rmSync, statSync } from "node:fs";
import { execFileSync } from "node:child_process";
import { extname, join, normalize, resolve, sep } from "node:path";
import { parseArgs } from "node:util";
import { chromium } from "playwright-core";
import { chromiumFlags, chromiumPath, decodeImage, exitUnlessBrowser, playMovies } from "./harness.mjs";
import { comparePicture, near } from "./stage.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" } },
});
exitUnlessBrowser("publish check");

const work = resolve(options.work);
const site = join(work, "site");
rmSync(site, { recursive: true, force: true });
mkdirSync(site, { recursive: true });
const demo = resolve(options.demo);
const garden = join(resolve(options.media), "garden.png");
const photo = JSON.parse(readFileSync(join(demo, "layout.json"), "utf8")).greeting.items.find((item) => item.name === "photo");
const card = join(site, "card.swf");
execFileSync(options.tarvenox, ["save", "--template", "greeting", "--data", join(demo, "packed"), "-o", card,
  "--html", "--image", `photo=${garden}`], { stdio: ["ignore", "ignore", "inherit"] });

// A plain static server of the folder, as a web host would serve it.
const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm", ".swf": "application/x-shockwave-flash" };
const server = createServer((request, response) => {
  const file = normalize(join(site, decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname)));
  if (!file.startsWith(site + sep) || !existsSync(file) || !statSync(file).isFile()) return response.writeHead(404).end();
  response.writeHead(200, { "Content-Type": types[extname(file)] ?? "application/octet-stream" }).end(readFileSync(file));
});
await new Promise((done) => server.listen(0, "127.0.0.1", done));
const origin = `http://127.0.0.1:${server.address().port}/`;

test("the saved page plays the card from its own folder only", async () => {
  const profile = join(work, "profile");
  rmSync(profile, { recursive: true, force: true });
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath, headless: true, args: chromiumFlags, viewport: { width: 550, height: 400 },
  });
  try {
    const tab = await context.newPage();
    const requests = [];
    tab.on("request", (request) => requests.push(request.url()));
    await tab.goto(origin + "card.html");
    await tab.waitForFunction(() => document.querySelector("#movie > *")?.ruffle?.().metadata != null, null, { timeout: 30000 });
    await tab.waitForTimeout(1500);
    const shot = await decodeImage(tab, await tab.screenshot(), "page.png");
    const picture = await decodeImage(tab, readFileSync(garden), garden);
    assert.deepEqual(requests.filter((url) => !url.startsWith(origin) && !url.startsWith("data:") && !url.startsWith("blob:")), []);
    assert.ok(requests.some((url) => url.endsWith(".wasm")), "the player's WebAssembly came from the folder");
    const { compared, mismatches } = comparePicture(shot, photo, picture, 8);
    assert.ok(compared > 20 && mismatches.length === 0, JSON.stringify(mismatches.slice(0, 3)));
  } finally {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
  }
});

test("render draws what the player check sees", async () => {
  const png = join(work, "card-render.png");
  rmSync(png, { force: true });
  execFileSync(options.tarvenox, ["render", card, "-o", png], { stdio: ["ignore", "ignore", "inherit"] });
  const [played] = await playMovies([card]);
  const rendered = (await playMovies([], { images: [png] })).images[0];
  assert.deepEqual([rendered.width, rendered.height], [played.width, played.height]);
  let differing = 0;
  for (let i = 0; i < played.pixels.rgba.length; i += 4) {
    const a = [...played.pixels.rgba.subarray(i, i + 3)];
    if (!near(a, [...rendered.rgba.subarray(i, i + 3)], 16)) differing++;
  }
  assert.ok(differing < played.width * played.height * 0.005, `${differing} pixels differ`);
});

test("templates --thumbnails draws each template and leaves no file behind", async () => {
  const shots = join(work, "thumbnails");
  const temporary = join(work, "tmp");
  for (const folder of [shots, temporary]) {
    rmSync(folder, { recursive: true, force: true });
    mkdirSync(folder, { recursive: true });
  }
  execFileSync(options.tarvenox, ["templates", "--data", join(demo, "packed"), "--thumbnails", shots],
    { stdio: ["ignore", "ignore", "inherit"], env: { ...process.env, TMPDIR: temporary } });
  assert.deepEqual(readdirSync(temporary), []);
  const pictures = (await playMovies([], { images: ["greeting", "sale"].map((name) => join(shots, `${name}.png`)) })).images;
  // Each is its own template's picture: the card's and the poster's backgrounds differ.
  const corner = (image) => [...image.rgba.subarray(0, 3)];
  assert.ok(pictures.every((image) => image.width > 0 && image.height > 0));
  assert.ok(!near(corner(pictures[0]), corner(pictures[1]), 16), "the two thumbnails are alike");
});

test.after(() => server.close());
