// The page's parts that need no browser: the channel's rules, what the built-in skin reads,
// how it follows its commands and the host's editor events, the dialogs' reckoning and the
// stage's map of the host's screen.
//   node --test tests/page/page_units.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { Channel, socketUrl } from "../../web/channel.js";
import { hsvToRgb, parseHex, rgbToHsv } from "../../web/dialogs/color.js";
import { filterForName, joinPath, splitPath, startingPlace, withDefaultExtension, withFilterExtension } from "../../web/dialogs/files.js";
import { escapeAnswer } from "../../web/dialogs/message.js";
import { label, useLabels } from "../../web/labels.js";
import { parseForm, parseSkinVariables, templateLists } from "../../web/skin-data.js";
import { Commands } from "../../web/skin/commands.js";
import { choiceOf, followsTemplate, needsApply, savingStatusOf, statusOf } from "../../web/skin/editor.js";
import { numberValue, partialNumber } from "../../web/skin/fields.js";
import { shortcut } from "../../web/skin/keys.js";
import { pageTexts } from "./catalogue.mjs";

// The page's words as the host serves them to a run in English.
useLabels(pageTexts("en"), "en");

class FakeSocket {
  static made = [];
  constructor(url) {
    this.url = url;
    this.readyState = 1;
    this.sent = [];
    FakeSocket.made.push(this);
  }
  send(text) { this.sent.push(JSON.parse(text)); }
  close() { this.readyState = 3; }
  hostSends(message) { this.onmessage({ data: typeof message === "string" ? message : JSON.stringify(message) }); }
}

function connectedChannel(handlers) {
  FakeSocket.made = [];
  const timers = [];
  const states = [];
  const channel = new Channel("ws://x/s/k/ws", { state: (name) => states.push(name), event() {}, ...handlers },
    { WebSocketClass: FakeSocket, setTimer: (run) => timers.push(run) });
  channel.connect();
  const socket = FakeSocket.made[0];
  socket.onopen();
  return { channel, socket, timers, states };
}

const settle = () => new Promise((resolve) => setImmediate(resolve));

test("channel: every host request gets one reply, null when the page has nothing better", async () => {
  const { socket } = connectedChannel({
    request: (m) => ({ screenSize: { width: 1280, height: 800 }, failing: () => { throw new Error("x"); } })[m.type],
  });
  socket.hostSends({ type: "screenSize", id: 1 });
  socket.hostSends({ type: "unknownRequest", id: 2 });
  socket.hostSends({ type: "getVariable", id: 3, player: "skin", name: "title" });
  socket.hostSends("not json");
  socket.hostSends({ type: "reply", id: "p99", result: 1 });
  await settle();
  assert.deepEqual(socket.sent, [
    { type: "reply", id: 1, result: { width: 1280, height: 800 } },
    { type: "reply", id: 2, result: null },
    { type: "reply", id: 3, result: null },
  ]);
  assert.equal(socketUrl("http://127.0.0.1:5/s/abc/?x#y"), "ws://127.0.0.1:5/s/abc/ws");
});

test("channel: the page's requests end with the reply, the error or the connection", async () => {
  const { channel, socket, timers } = connectedChannel({ request: () => null });
  const listed = channel.request({ type: "listFolder", path: "", patterns: [] });
  const refused = channel.request({ type: "listFolder", path: "/root", patterns: [] });
  const cut = channel.request({ type: "listFolder", path: "/tmp", patterns: [] });
  assert.deepEqual(socket.sent.map((m) => m.id), ["p1", "p2", "p3"]);
  socket.hostSends({ type: "reply", id: "p1", result: { path: "/home/a" } });
  socket.hostSends({ type: "reply", id: "p2", error: "Permission denied" });
  socket.onclose({ code: 1006 });
  assert.deepEqual(await listed, { path: "/home/a" });
  await assert.rejects(refused, /Permission denied/);
  await assert.rejects(cut, /closed/);
  assert.equal(timers.length, 1, "an unexpected close connects again");
});

test("channel: a page replaced (4001) or ended does not connect again", () => {
  const replaced = connectedChannel({ request: () => null });
  replaced.socket.onclose({ code: 4001 });
  assert.equal(replaced.timers.length, 0);
  assert.equal(replaced.states.at(-1), "replaced");

  const ended = connectedChannel({ request: () => null });
  ended.channel.end();
  ended.socket.onclose({ code: 1000 });
  assert.equal(ended.timers.length, 0);
  assert.equal(ended.states.at(-1), "ended");
});

test("skin.txt: Windows-1252 pairs with + for blanks, the template lists in file order", () => {
  const text = "movies_count=3&movies_text0=Caf\xe9+card&movies_path0=movies&movies_file0=cafe&" +
    "movies_text1=Broken&movies_file1=&movies_text2=A%26B&movies_file2=ab&" +
    "title=Tarvenox+%80+demo&button_save=Save+as...&skintxt_end=1";
  const variables = parseSkinVariables(Buffer.from(text, "latin1"));
  assert.equal(variables.get("title"), "Tarvenox € demo");
  assert.equal(variables.get("button_save"), "Save as...");
  assert.deepEqual(templateLists(variables), [{
    name: "movies",
    entries: [{ title: "Café card", file: "cafe" }, { title: "A&B", file: "ab" }],
  }]);
});

test("template form: the demo's rows in order; unknown kinds and nameless rows left out", () => {
  const demo = parseForm(readFileSync(new URL("../../demo/swf/greetingConfig.txt", import.meta.url)));
  assert.deepEqual(demo.map((row) => row.kind),
    ["text", "textarea", "text", "font", "font", "image", "mp3", "color"]);
  assert.deepEqual(demo[7], { kind: "color", name: "_root.backgroundColor", label: "Background colour" });
  assert.deepEqual(parseForm("kind\tname\tlabel\nslider\tx\tX\ntext\t\tNo name\nBool\tb\n"),
    [{ kind: "bool", name: "b", label: "b" }]);
});

test("dialogs: save names, paths, colours and what Escape answers", () => {
  assert.equal(withDefaultExtension("card", "swf"), "card.swf");
  assert.equal(withDefaultExtension("card.SWF", "swf"), "card.SWF");
  assert.equal(withDefaultExtension("v1.2/card", "swf"), "v1.2/card.swf");
  assert.equal(withDefaultExtension(".card", "swf"), ".card.swf");
  assert.equal(joinPath("/", "a.swf"), "/a.swf");
  assert.equal(joinPath("/home/a", "/tmp/b.swf"), "/tmp/b.swf");
  assert.deepEqual(splitPath("/a.swf"), { folder: "/", name: "a.swf" });
  // A save proposed as a full path starts in its folder; an open never takes a name.
  const places = [
    [{ name: "/home/u/films/banner-edited.swf", folder: "/tmp" }, true, { folder: "/home/u/films", name: "banner-edited.swf" }],
    [{ name: "Greeting card.swf", folder: "" }, true, { folder: "/last", name: "Greeting card.swf" }],
    [{ name: "/x/a.swf", folder: "/movies" }, false, { folder: "/movies", name: "" }],
  ];
  for (const [request, saving, place] of places) assert.deepEqual(startingPlace(request, saving, "/last"), place, JSON.stringify(request));

  // The save's file types: the start name picks its filter, and picking another filter
  // changes a known extension only.
  const save = [["*.SWF"], ["*.html"], ["*.mp4"], ["*.gif"]].map((patterns) => ({ description: patterns[0], patterns }));
  assert.deepEqual(["card.MP4", "card.webm", ""].map((name) => filterForName(save, name)), [save[2], save[0], save[0]]);
  const renamed = [
    ["Greeting card.swf", save[2], "Greeting card.mp4"],
    ["card.GIF", save[0], "card.swf"],
    ["v1.2/card", save[3], "v1.2/card"],
    ["card.tar.gz", save[2], "card.tar.gz"],
  ];
  for (const [name, filter, expected] of renamed) assert.equal(withFilterExtension(name, save, filter), expected, name);

  for (const color of [0x000000, 0xffffff, 0x5a189a, 0xff0000, 0x00ff80, 0x336699]) {
    assert.equal(hsvToRgb(rgbToHsv(color)), color);
  }
  assert.equal(parseHex("#5A189a"), 0x5a189a);
  assert.equal(parseHex("abc"), 0xaabbcc);
  assert.equal(parseHex("#12345g"), null);

  assert.deepEqual(["ok", "okCancel", "yesNo", "yesNoCancel", "retryCancel"].map(escapeAnswer),
    ["ok", "cancel", undefined, "cancel", "cancel"]);
});

// A skin's commands against a host that answers each barrier when told to.
function commandsWithHost() {
  const sent = [];
  const timers = new Map();
  let busy = false;
  const commands = new Commands({
    send: (command, args) => sent.push(args ? `${command} ${args}` : command),
    barrier: () => "showViewer",
    onBusy: (value) => { busy = value; },
    setTimer: (run) => { timers.set(timers.size + 1, run); return timers.size; },
    clearTimer: (id) => timers.delete(id),
  });
  commands.canApply = true;
  return { commands, sent, timers, busy: () => busy };
}

test("skin commands: typing applies at once, then once for all typed while one is in flight", () => {
  const { commands, sent } = commandsWithHost();
  commands.changed();
  assert.deepEqual(sent, ["apply", "showViewer"], "nothing in flight: no pause");
  for (let i = 0; i < 5; i++) commands.changed();
  assert.equal(sent.length, 2, "keys typed during the apply wait");
  commands.ended();
  assert.deepEqual(sent.slice(2), ["apply", "showViewer"], "one apply for the five keys");
  commands.ended();
  assert.equal(sent.length, 4, "nothing changed since: no more applies");

  // A chooser in flight holds the apply back until it ends; a flush sends it at once.
  commands.run("selectImage", "photo", "image");
  commands.changed();
  assert.equal(sent.at(-2), "selectImage photo");
  commands.flush();
  assert.deepEqual(sent.slice(-2), ["apply", "showViewer"]);
  commands.ended();
  commands.ended();
  assert.equal(commands.pending.length, 0);
  assert.equal(sent.filter((c) => c === "apply").length, 3, "the flushed apply is not sent twice");
});

test("skin commands: no apply without a form; the spinner after the delay, gone with the command", () => {
  const { commands, sent, timers, busy } = commandsWithHost();
  commands.canApply = false;
  commands.changed();
  assert.deepEqual(sent, []);

  commands.canApply = true;
  commands.run("clicked", "save", "save");
  assert.equal(timers.size, 0, "a save is not busy while its dialog is open");
  commands.answered("/home/a/card.swf");
  [...timers.values()].at(-1)();
  assert.equal(busy(), true);
  assert.equal(commands.has("save"), true);
  commands.ended();
  assert.equal(busy(), false);
  assert.equal(commands.has("save"), false);

  commands.run("apply", "", "apply");
  commands.reset();
  assert.deepEqual(commands.pending, []);
});

test("editor event: the status line says how the host's last command ended", () => {
  const cases = [
    [{ command: "apply", outcome: "done" }, label.previewUpdated("12:03"), ""],
    [{ command: "apply", outcome: "failed" }, label.previewFailed, "error"],
    [{ command: "save", outcome: "done", saved: "/home/u/cards/card.swf" }, label.saved("card.swf", "12:03"), "ok"],
    [{ command: "clicked", args: "save", outcome: "done", saved: "/tmp/x.swf" }, label.saved("x.swf", "12:03"), "ok"],
    [{ command: "save", outcome: "failed" }, label.notSaved, "error"],
    [{ command: "save", outcome: "cancelled" }, null],
    [{ command: "selectImage", args: "photo", outcome: "failed" }, label["notUsed.image"], "error"],
    [{ command: "selectImage", args: "photo", outcome: "done" }, null],
    [{ command: "selectImage", args: "photo", outcome: "cancelled" }, null],
    [{ command: "restoreMp3", args: "music", outcome: "done" }, label["ownAgain.mp3"]("12:03"), ""],
    [{ command: "undo", outcome: "done" }, label.undone("12:03"), ""],
    [{ command: "redo", outcome: "unchanged" }, label.nothingToRedo, ""],
    [{ command: "selectMovie", outcome: "failed" }, label.templateFailed, "error"],
    [{ command: "openMovie", args: "", outcome: "done" }, label.opened("banner.swf", "12:03"), "ok"],
    [{ command: "openMovie", args: "", outcome: "failed" }, label.movieFailed, "error"],
    [{ command: "openMovie", args: "", outcome: "cancelled" }, null],
    [undefined, null],
  ];
  for (const [last, text, tone] of cases) {
    assert.deepEqual(statusOf(last, "12:03", "banner.swf"), text === null ? null : { text, tone }, JSON.stringify(last));
  }
  // While a save renders a video, the line names it; a movie or page is written at once.
  assert.deepEqual(savingStatusOf("/home/u/card.MP4"), { text: label.savingVideo("card.MP4"), tone: "" });
  assert.deepEqual([savingStatusOf("/tmp/card.swf"), savingStatusOf("/tmp/gif"), savingStatusOf("ok")], [null, null, null]);
  // The preview shows a new choice by the next apply; undo rebuilds it itself.
  assert.deepEqual(["selectColor", "selectFont", "restoreImage", "fitImage", "undo", "apply"].map((command) => needsApply({ command, outcome: "done" })),
    [true, true, true, true, false, false]);
  assert.equal(needsApply({ command: "fitImage", outcome: "unchanged" }), false);
  assert.equal(needsApply({ command: "selectImage", outcome: "failed" }), false);
});

test("editor event: a slot's replacement, or the template's own with its thumbnail", () => {
  const choices = {
    font: { Headline: { face: "Liberation Serif" } },
    image: {
      photo: { file: "/home/u/garden.png", preview: "chosen-image-1.png" },
      logo: { file: "", preview: "" },
      wide: { file: "wide.jpg", preview: "chosen-image-2.jpg", fit: "contain" },
    },
    mp3: { music: { file: "song.mp3", preview: "" } },
  };
  assert.deepEqual(choiceOf(choices, "font", "Headline"), { label: "Liberation Serif", face: "Liberation Serif", preview: "" });
  // A picture without a fit (a host before fits) fills its slot, as the host's default.
  assert.deepEqual(choiceOf(choices, "image", "photo"), { label: "garden.png", preview: "chosen-image-1.png", fit: "cover" });
  assert.deepEqual(choiceOf(choices, "image", "wide"), { label: "wide.jpg", preview: "chosen-image-2.jpg", fit: "contain" });
  assert.deepEqual(choiceOf(choices, "mp3", "music"), { label: "song.mp3", preview: "" });
  for (const [kind, name] of [["image", "logo"], ["font", "Body"], ["mp3", "jingle"]]) assert.equal(choiceOf(choices, kind, name), null);
  assert.equal(choiceOf(undefined, "font", "Headline"), null);

  // The template's own picture shows its thumbnail until a replacement is chosen.
  const own = { image: { photo: "own-card-photo.png", 12: "own-card-12.png", broken: "" } };
  assert.deepEqual(choiceOf(choices, "image", "photo", own), { label: "garden.png", preview: "chosen-image-1.png", fit: "cover" });
  assert.deepEqual(choiceOf(choices, "image", "12", own), { label: null, preview: "own-card-12.png", own: true });
  assert.deepEqual(choiceOf(choices, "image", "logo", { image: { logo: "own-card-logo.png" } }),
    { label: null, preview: "own-card-logo.png", own: true }, "a replacement without a file is none");
  for (const name of ["broken", "missing"]) assert.equal(choiceOf(choices, "image", name, own), null, name);
  assert.equal(choiceOf(choices, "mp3", "photo", own), null, "thumbnails are the pictures'");
});

test("editor event: the template named is shown unless the user's own choice is still in flight", () => {
  const event = (command) => ({ seq: 3, template: "greeting", ...(command ? { last: { command, outcome: "done" } } : {}) });
  const cases = [
    [event(null), 0, true],          // a page that connects anew (a reload)
    [event("apply"), 0, true],
    [event("apply"), 1, false],      // an apply sent before the click on another template
    [event("selectMovie"), 1, true], // the answer to the choice, done or refused
    [event("selectMovie"), 2, false],
    [event(null), 1, false],
    [null, 0, false],
  ];
  for (const [message, selecting, follows] of cases) assert.equal(followsTemplate(message, selecting), follows, JSON.stringify([message?.last, selecting]));
});

test("number fields take digits with one point or comma; the shortcuts", () => {
  for (const text of ["", "-", "12", "12,", "12,5", "+3.25", ".5", " 7 "]) assert.equal(partialNumber(text), true, text);
  for (const text of ["a", "12a", "1,2,3", "1.2.3", "1e5", "--1", "1-"]) assert.equal(partialNumber(text), false, text);
  assert.equal(numberValue(" 19,99 "), "19.99");

  const keys = [
    [{ key: "z", ctrlKey: true }, "undo"],
    [{ key: "Z", ctrlKey: true, shiftKey: true }, "redo"],
    [{ key: "y", ctrlKey: true }, "redo"],
    [{ key: "z", metaKey: true }, "undo"],
    [{ key: "s", ctrlKey: true }, "save"],
    [{ key: "Enter", ctrlKey: true }, "apply"],
    [{ key: "z" }, null],
    [{ key: "z", ctrlKey: true, altKey: true }, null],
  ];
  for (const [event, action] of keys) assert.equal(shortcut(event), action, JSON.stringify(event));
});

test("the stage maps the screen the host laid the skin out for", async () => {
  const { ScreenMap } = await import("../../web/players.js");
  const map = new ScreenMap();
  map.width = 800;
  map.height = 600;
  // Only a rectangle from the origin is the skin over the whole screen; once one has
  // come, the page keeps to the host's layout (laidOut) even when it changed nothing.
  for (const [rectangle, changed, laidOut] of [
    [{ left: 10, top: 0, width: 1280, height: 800 }, false, false],
    [{ left: 0, top: 0, width: 0, height: 800 }, false, false],
    [{ left: 0, top: 0, width: 800, height: 600 }, false, true],
    [{ left: 0, top: 0, width: 1280, height: 800 }, true, true],
  ]) {
    assert.equal(map.fit(rectangle), changed, JSON.stringify(rectangle));
    assert.equal(map.laidOut, laidOut, JSON.stringify(rectangle));
  }
  assert.deepEqual(map.percentages({ left: 640, top: 400, width: 320, height: 200 }),
    { left: "50%", top: "50%", width: "25%", height: "25%" });
});

test("labels: every word the page uses is in both catalogues; values fill their places", () => {
  const english = pageTexts("en");
  const german = pageTexts("de");
  assert.deepEqual(Object.keys(german).sort(), Object.keys(english).sort());
  // label.name, and label[`prefix.${kind}`] for each kind of chooser.
  const used = new Set();
  const kinds = ["font", "image", "mp3"];
  for (const file of ["app.js", "skin.js", "fullscreen.js", "skin/choosers.js", "skin/editor.js", "dialogs/color.js",
    "dialogs/files.js", "dialogs/font.js", "dialogs/message.js", "dialogs/modal.js"]) {
    const source = readFileSync(new URL(`../../web/${file}`, import.meta.url), "utf8");
    for (const [, name] of source.matchAll(/\blabel\.(\w+)/g)) used.add(name);
    for (const [, prefix] of source.matchAll(/\blabel\[`(\w+)\.\$\{kind\}`\]/g)) kinds.forEach((kind) => used.add(`${prefix}.${kind}`));
  }
  assert.ok(used.size > 40, `only ${used.size} words found`);
  for (const name of used) assert.ok(name in english, `label.${name} is in no catalogue`);

  useLabels({ both: "{2} after {1}", missing: "{1} and {2}", plain: "100 {percent}" }, "de");
  assert.equal(label.both("a", "b"), "b after a");
  assert.equal(label.missing("a"), "a and ");
  assert.equal(label.plain, "100 {percent}");
  useLabels(english, "en");
});
