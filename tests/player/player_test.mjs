// What a person sees when the demo templates, as built and as customised in batch by
// `tarvenox save --template`, play in Ruffle in headless Chromium.
//   node tests/player/player_test.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
// Exits with 77 (skipped) when Chromium or the npm packages are missing outside CI.
import { test, before } from "node:test";
import assert from "node:assert/strict";
import { existsSync, mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { execFileSync } from "node:child_process";
import { join, resolve } from "node:path";
import { deflateSync } from "node:zlib";
import { parseArgs } from "node:util";
import { parseSwf } from "swf-parser";
import { TagType } from "swf-types";
import { exitUnlessBrowser, repositoryRoot, playMovies, pixelAt } from "./harness.mjs";
import { rgb, near, inkMask, inkCount, inkDifference, inkExtent, comparePicture, pointsAround } from "./stage.mjs";
import { strictWalk } from "./strict_walk.mjs";
import { inkWidth } from "./typeface.mjs";

const { values: options } = parseArgs({
  options: {
    tarvenox: { type: "string" },
    demo: { type: "string" },
    media: { type: "string" },
    work: { type: "string" },
  },
});

exitUnlessBrowser("player check");

const tarvenox = resolve(options.tarvenox);
const demo = resolve(options.demo);
const media = resolve(options.media);
const work = resolve(options.work);
mkdirSync(work, { recursive: true });
if (!existsSync(join(demo, "layout.json"))) {
  console.error(`player check: ${demo} holds no demo installation (build the target demo first)`);
  process.exit(1);
}
const layout = JSON.parse(readFileSync(join(demo, "layout.json"), "utf8"));
const templates = join(demo, "loose", "swf");

// The changes a user makes to each template. Variables not named keep the defaults of
// configs.txt (the greeting's sender), which also gives each variable its type. The
// greeting card is a movie of version 5 (texts in Windows-1252), the sale poster one of
// version 6 (texts in UTF-8): both get letters beyond ASCII.
const unicodeText = "Jörg €5 Ünïcödé";
const greetingChanges = {
  background: 0x5a189a,
  picture: { name: "photo", file: join(media, "garden.png"), tolerance: 8 },
  fonts: { Headline: "Liberation Serif", Body: "Liberation Mono" },
  mp3: { music: join(media, "song.mp3") },
  vars: { title: unicodeText, message: "See you soon,\rwe have missed you." },
};
const saleChanges = {
  background: 0xdff3e4,
  picture: { name: "product", file: join(media, "present.jpg"), tolerance: 24 },
  fonts: { Headline: "DejaVu Serif" },
  mp3: { jingle: join(media, "song.mp3") },
  vars: { headline: unicodeText, price: "9.5", year: "2027", showBadge: "false" },
};

// The save options of one set of changes, as a user would type them.
function saveArguments(changes) {
  const args = ["--background", "#" + changes.background.toString(16).padStart(6, "0")];
  args.push("--image", `${changes.picture.name}=${changes.picture.file}`);
  for (const [name, face] of Object.entries(changes.fonts)) args.push("--font", `${name}=${face}`);
  for (const [name, file] of Object.entries(changes.mp3)) args.push("--mp3", `${name}=${file}`);
  for (const [name, value] of Object.entries(changes.vars)) args.push("--var", `${name}=${value}`);
  return args;
}

// Saves the template of an installation in batch, once from the loose files and once from
// files.db; both give the same movie.
function customise(template, changes) {
  const outputs = ["loose", "packed"].map((installation) => {
    const output = join(work, `${template}-${installation}.swf`);
    const args = ["save", "--template", template, "--data", join(demo, installation), "-o", output];
    execFileSync(tarvenox, [...args, ...saveArguments(changes)], { cwd: work, stdio: ["ignore", "ignore", "inherit"] });
    return output;
  });
  const [loose, packed] = outputs.map((output) => readFileSync(output));
  assert.ok(loose.equals(packed), `${template}: the movie saved from files.db differs from the loose one`);
  return outputs[0];
}

const itemsOf = (template, kind) => layout[template].items.filter((item) => item.kind === kind);
const item = (template, name) => layout[template].items.find((entry) => entry.name === name);

// Compressed movies are changed and written back in their form: the greeting template
// compressed with zlib, and a movie of the third-party set beside the project that a
// Flash authoring tool wrote with LZMA.
const compressedChanges = { background: 0xffe8a3, picture: greetingChanges.picture };
const lzmaMovie = join(repositoryRoot, "..", "shared", "real-swf", "ruffle-0037.swf");
function saveCompressed() {
  const template = readFileSync(join(templates, "greeting.swf"));
  const cws = join(work, "greeting-cws.swf");
  writeFileSync(cws, Buffer.concat([Buffer.from("CWS"), template.subarray(3, 8), deflateSync(template.subarray(8))]));
  const background = ["--background", "#" + compressedChanges.background.toString(16).padStart(6, "0")];
  const outputs = { cws: join(work, "greeting-cws-custom.swf") };
  execFileSync(tarvenox, ["save", cws, "-o", outputs.cws, ...background,
    "--image", `${compressedChanges.picture.name}=${compressedChanges.picture.file}`]);
  if (existsSync(lzmaMovie)) {
    outputs.zws = join(work, "lzma-custom.swf");
    execFileSync(tarvenox, ["save", lzmaMovie, "-o", outputs.zws, ...background]);
  }
  return outputs;
}
function stageOf(movie) {
  const { frameSize } = JSON.parse(execFileSync(tarvenox, ["inspect", "--json", movie], { encoding: "utf8" })).header;
  return { width: frameSize.width / 20, height: frameSize.height / 20 };
}

let shots;
let movies;
let compressed;
before(async () => {
  compressed = saveCompressed();
  movies = [
    join(templates, "greeting.swf"),
    customise("greeting", greetingChanges),
    join(templates, "sale.swf"),
    customise("sale", saleChanges),
    compressed.cws,
  ];
  const stages = {};
  if (compressed.zws) {
    movies.push(lzmaMovie, compressed.zws);
    for (const movie of [lzmaMovie, compressed.zws]) stages[movie] = stageOf(movie);
  }
  const played = await playMovies(movies, { images: [greetingChanges.picture.file, saleChanges.picture.file], stages });
  shots = {
    greeting: played[0],
    greetingCustom: played[1],
    sale: played[2],
    saleCustom: played[3],
    greetingCws: played[4],
    lzma: played[5],
    lzmaCustom: played[6],
    garden: played.images[0],
    present: played.images[1],
  };
  for (const [name, shot] of Object.entries(shots)) {
    if (shot?.png) writeFileSync(join(work, `${name}.png`), shot.png);
  }
});

test("compressed movies keep their form and play with the changes", (t) => {
  assert.equal(readFileSync(compressed.cws).toString("latin1", 0, 3), "CWS");
  const shot = shots.greetingCws;
  assert.deepEqual(shot.errors, []);
  const background = rgb(compressedChanges.background);
  assert.ok(near(pixelAt(shot.pixels, 2, shot.height - 3), background), "zlib: new background");
  const place = item("greeting", compressedChanges.picture.name);
  const { mismatches } = comparePicture(shot.pixels, place, shots.garden, compressedChanges.picture.tolerance);
  assert.deepEqual(mismatches, [], "zlib: the new picture at the old place and size");
  if (!compressed.zws) {
    t.skip(`${lzmaMovie} is missing`);
    return;
  }
  assert.equal(readFileSync(compressed.zws).toString("latin1", 0, 3), "ZWS");
  for (const name of ["lzma", "lzmaCustom"]) assert.deepEqual(shots[name].errors, [], name);
  const lzma = shots.lzmaCustom;
  assert.ok(near(pixelAt(lzma.pixels, 2, lzma.height - 3), background), "LZMA: new background");
  // The movie's text field is drawn as before, on the new colour.
  const whole = { x: 0, y: 0, width: lzma.width, height: lzma.height };
  const before = inkCount(inkMask(shots.lzma.pixels, whole, rgb(0xffffff)));
  const after = inkCount(inkMask(lzma.pixels, whole, background));
  assert.ok(before > 40 && Math.abs(after - before) < before * 0.2, `LZMA: text ink ${before} before, ${after} after`);
});

test("every movie plays without a player error or warning", () => {
  for (const name of ["greeting", "greetingCustom", "sale", "saleCustom"]) {
    assert.deepEqual(shots[name].errors, [], name);
    assert.deepEqual(shots[name].warnings, [], name);
  }
});

test("an independent SWF parser reads every movie whole, every field of every tag", () => {
  for (const [index, template] of ["greeting", "greeting", "sale", "sale"].entries()) {
    assert.deepEqual(strictWalk(readFileSync(movies[index]), movies[index]).problems, []);
    const { tags } = parseSwf(readFileSync(movies[index]));
    const ofType = (type) => tags.filter((tag) => tag.type === type);
    assert.equal(ofType(TagType.DefineDynamicText).length, itemsOf(template, "text").length, movies[index]);
    for (const font of ofType(TagType.DefineFont)) assert.equal(font.glyphs.length, 224, movies[index]);
    const exported = ofType(TagType.ExportAssets).flatMap((tag) => tag.assets.map((asset) => asset.name));
    const expected = layout[template].items.filter((entry) => ["picture", "sound"].includes(entry.kind));
    assert.deepEqual(exported.sort(), expected.map((entry) => entry.name).sort(), movies[index]);
  }
});

test("the templates show their colour, picture and texts as built", () => {
  for (const template of ["greeting", "sale"]) {
    const shot = shots[template];
    const background = rgb(layout[template].background);
    assert.ok(near(pixelAt(shot.pixels, 2, shot.height - 3), background), `${template}: background`);
    for (const picture of itemsOf(template, "picture")) {
      for (const [x, y] of pointsAround(picture)) {
        assert.ok(near(pixelAt(shot.pixels, x, y), background), `${template}: ${picture.name} ends at its edge`);
      }
      const inside = inkCount(inkMask(shot.pixels, picture, background, 12));
      assert.ok(inside > picture.width * picture.height * 0.95, `${template}: ${picture.name} fills its place`);
    }
    for (const field of itemsOf(template, "text")) {
      assert.ok(inkCount(inkMask(shot.pixels, field, background)) > 40, `${template}: text of ${field.name}`);
    }
  }
});

test("the customised movies show the new background colour", () => {
  for (const [template, changes] of [
    ["greeting", greetingChanges],
    ["sale", saleChanges],
  ]) {
    const shot = shots[`${template}Custom`];
    assert.ok(near(pixelAt(shot.pixels, 2, shot.height - 3), rgb(changes.background)), `${template}: new background`);
  }
});

test("the customised movies show the new picture at the old place and size", () => {
  for (const [template, changes, image] of [
    ["greeting", greetingChanges, "garden"],
    ["sale", saleChanges, "present"],
  ]) {
    const shot = shots[`${template}Custom`];
    const background = rgb(changes.background);
    const place = item(template, changes.picture.name);
    const { compared, mismatches } = comparePicture(shot.pixels, place, shots[image], changes.picture.tolerance);
    assert.ok(compared >= 30, `${template}: ${compared} points of the picture compared`);
    assert.deepEqual(mismatches, [], `${template}: the new picture fills ${JSON.stringify(place)}`);
    for (const [x, y] of pointsAround(place)) {
      assert.ok(near(pixelAt(shot.pixels, x, y), background), `${template}: the picture ends at (${x}, ${y})`);
    }
  }
});

test("the customised movies draw their texts anew", () => {
  for (const [template, changes] of [
    ["greeting", greetingChanges],
    ["sale", saleChanges],
  ]) {
    const before = shots[template];
    const after = shots[`${template}Custom`];
    for (const field of itemsOf(template, "text")) {
      const old = inkMask(before.pixels, field, rgb(layout[template].background));
      const now = inkMask(after.pixels, field, rgb(changes.background));
      assert.ok(inkCount(now) > 40, `${template}: text of ${field.name} is drawn`);
      // New texts, and unchanged texts in a new font, put their strokes elsewhere.
      assert.ok(inkDifference(old, now) > 0.3, `${template}: ${field.name} looks different`);
    }
  }
});

// Every single-line text, in every movie, is drawn as wide as its face's advances and
// glyph boxes say, within 1.5% and two pixels: the width of the narrowest letter at these
// sizes is more than that, so a letter that is not shown (a character the movie's
// encoding lost) fails, and so do advances on a scale other than the glyphs'.
test("every letter of every text is drawn, as wide as the face says", () => {
  const cases = [
    ["greeting", "greeting", {}],
    ["greeting", "greetingCustom", greetingChanges],
    ["sale", "sale", {}],
    ["sale", "saleCustom", saleChanges],
  ];
  for (const [template, shotName, changes] of cases) {
    const shot = shots[shotName];
    const background = rgb(changes.background ?? layout[template].background);
    for (const field of itemsOf(template, "text").filter((entry) => !entry.multiline)) {
      const text = changes.vars?.[field.name] ?? layout[template].values[field.name] ?? field.name;
      const face = changes.fonts?.[field.font] ?? field.face;
      const expected = inkWidth(text, face, field.size);
      const { left, right } = inkExtent(shot.pixels, field, background);
      const drawn = right - left + 1;
      const what = `${shotName}: "${text}" in ${face} ${field.size}px drawn ${drawn} px wide, the face says ${expected.toFixed(1)}`;
      assert.ok(Math.abs(drawn - expected) <= 2 + 0.015 * expected, what);
    }
  }
});

test("the music is heard, the template's and then the quieter replacement", () => {
  for (const template of ["greeting", "sale"]) {
    const [before, after] = [shots[template].audioPeak, shots[`${template}Custom`].audioPeak];
    assert.ok(before > 0.45, `${template}: the template's music peaks at ${before}`);
    assert.ok(after > 0.1 && after < 0.4, `${template}: the replacement peaks at ${after}`);
  }
});

test("a switch set to false hides the sale badge", () => {
  const badge = item("sale", "badge");
  const centre = [badge.x + badge.width / 2, badge.y + badge.height / 2];
  assert.ok(!near(pixelAt(shots.sale.pixels, ...centre), rgb(layout.sale.background)), "badge shown");
  assert.ok(near(pixelAt(shots.saleCustom.pixels, ...centre), rgb(saleChanges.background)), "badge hidden");
});
