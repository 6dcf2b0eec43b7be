// The built-in skin: the main dialog's interface when the installation brings no
// "skin.swf". It reads "skin.txt" for its texts and template lists, builds each
// template's editing form from the template's "NConfig.txt", keeps the variables the host
// sets and answers the host's reads from the form, and sends the interface movie's
// commands.
//
// A command's end is seen through the viewer: after each command that makes the host
// work, the skin sends "showViewer" (or "hideViewer" while no template is shown), which
// the host handles after the command and answers with "show" (or "hide"). Dialogs and
// message boxes the host asks for in between belong to that command: a message box means
// it did not go through.

import { faceFamily } from "./dialogs/font.js";
import { el, isDialogOpen } from "./dialogs/modal.js";
import { createMovie, cssColor, loadRuffle } from "./players.js";
import { fileName, formText, parseForm, parseSkinVariables, templateLists, variableKey } from "./skin-data.js";

const applyDelayMs = 600;
const busyDelayMs = 500;

const clock = () => new Date().toLocaleTimeString([], { hour: "2-digit", minute: "2-digit" });

export class BuiltInSkin {
  // send(command, args) hands a command to the host; fetchWork(name) resolves with the
  // bytes of a file of the working folder, or null; previewUrl() is the viewer's movie URL;
  // templateUrl(name) resolves with the address of a template movie on the templates'
  // server ("" when there is none).
  constructor({ send, fetchWork, previewUrl, templateUrl }) {
    this.send = send;
    this.fetchWork = fetchWork;
    this.previewUrl = previewUrl;
    this.templateUrl = templateUrl;
    this.variables = new Map();
    this.texts = new Map();
    this.pending = [];
    this.viewerShown = false;
    this.template = null;      // { file, title } of the template chosen
    this.formFile = null;      // the template whose form is shown
    this.controls = new Map(); // variable -> function that shows a new value
    this.choices = { font: new Map(), image: new Map(), mp3: new Map() };
    this.pushed = [];          // variables the host set since the last template was chosen
    this.applyTimer = 0;
    this.lists = [];
    this.element = this.build();
    this.started = this.start();
  }

  // -- the host's side --

  setVariable(name, value) {
    const key = variableKey(name);
    const text = String(value);
    this.variables.set(key, text);
    if (key === "editLoaded") {
      if (text === "1") this.showForm();
      return;
    }
    this.pushed.push(key);
    this.controls.get(key)?.(text);
  }

  getVariable(name) {
    return this.variables.get(variableKey(name)) ?? "";
  }

  // Every message of the host, as it comes; see the note at the top.
  observe(message) {
    if ((message.type === "show" || message.type === "hide") && message.player === "viewer") {
      this.viewerShown = message.type === "show";
      const done = this.pending.shift();
      if (done) this.finish(done);
    } else if (message.type === "messageBox" && this.pending.length > 0) {
      this.pending[0].failed = true;
    }
  }

  // A dialog the host asked for has been answered.
  answered(result) {
    const command = this.pending[0];
    if (!command) return;
    command.result = result;
    // A save works from the moment its file is chosen.
    if (command.kind === "save" && result) this.watchBusy(command);
  }

  // The colour and the face a dialog of the current command starts from.
  hint() {
    const command = this.pending[0];
    if (!command) return null;
    if (command.kind === "color") {
      const text = this.getVariable(command.key);
      return text === "" || !Number.isFinite(Number(text)) ? null : Number(text);
    }
    if (command.kind === "font") return this.choices.font.get(command.key) ?? null;
    return null;
  }

  // A new connection: the host sends everything again, commands in flight are gone.
  reset() {
    for (const command of this.pending) clearTimeout(command.busyTimer);
    this.pending = [];
    this.showBusy();
  }

  // -- the page --

  build() {
    const button = (className, onclick) => el("button", { type: "button", class: className, onclick });
    this.parts = {
      title: el("h1", { class: "skin-title" }),
      help: button("ghost", () => this.send("clicked", "help")),
      fullscreen: button("ghost needs-template", () => this.fullscreen()),
      quit: button("ghost", () => this.send("clicked", "quit")),
      intro: el("p", { class: "intro" }),
      lists: el("div", { class: "template-lists" }),
      form: el("form", { class: "form", onsubmit: (event) => event.preventDefault() }),
      formHint: el("p", { class: "form-hint" }),
      frameHint: el("p", { class: "frame-hint" }),
      apply: button("primary needs-template", () => this.apply()),
      save: button("needs-template", () => this.save()),
      exec: button("ghost", () => this.send("exec", this.text("exec", ""))),
      status: el("span", { class: "status-text" }),
      spinner: el("span", { class: "spinner", "aria-hidden": "true" }),
    };
    const p = this.parts;
    p.exec.hidden = true;
    const skin = el("div", { class: "skin", "data-template": "none" },
      el("header", { class: "region top" }, p.title, el("div", { class: "top-buttons" }, p.help, p.fullscreen, p.quit)),
      el("aside", { class: "region templates", "aria-label": "Templates" }, p.intro, p.lists),
      el("section", { class: "region form-region" }, el("div", { class: "form-scroll" }, p.form, p.formHint)),
      el("div", { class: "region frame", "aria-hidden": "true" }, p.frameHint),
      el("footer", { class: "region actions" }, p.apply, p.save, p.exec,
        el("div", { class: "status", role: "status", "aria-live": "polite" }, p.spinner, p.status)),
    );
    // The shortcuts work wherever the focus is, but not under a dialog or the fullscreen view.
    document.addEventListener("keydown", (event) => {
      if (!(event.ctrlKey || event.metaKey) || !this.formFile || isDialogOpen()) return;
      if (!document.getElementById("fullscreen")?.hidden) return;
      if (event.key === "s") {
        event.preventDefault();
        this.save();
      } else if (event.key === "Enter") {
        event.preventDefault();
        this.apply();
      }
    });
    return skin;
  }

  text(name, fallback) {
    return this.texts.get(name) || fallback;
  }

  async start() {
    const bytes = await this.fetchWork("skin.txt");
    this.texts = bytes ? parseSkinVariables(bytes) : new Map();
    const p = this.parts;
    p.title.textContent = this.text("title", "Tarvenox");
    p.intro.textContent = this.text("intro", "");
    p.help.textContent = this.text("button_help", "Help");
    p.fullscreen.textContent = this.text("button_fullscreen", "Fullscreen");
    p.quit.textContent = this.text("button_quit", "Quit");
    p.apply.textContent = this.text("button_apply", "Preview");
    p.save.textContent = this.text("button_save", "Save as...");
    p.exec.textContent = this.text("button_exec", "Run from CD");
    p.exec.hidden = this.text("exec", "") === "";
    p.formHint.textContent = "Choose a template to start.";
    p.frameHint.textContent = "The preview appears here.";
    const lists = templateLists(this.texts);
    this.lists = lists;
    p.lists.replaceChildren(...lists.map((list) => el("section", { class: "template-list" },
      el("h2", { text: list.name.charAt(0).toUpperCase() + list.name.slice(1) }),
      el("ul", {}, list.entries.map((entry) => el("li", {}, this.templateButton(entry)))))));
    if (lists.length === 0) p.lists.append(el("p", { class: "form-hint", text: "This installation has no templates." }));
    this.enableActions();
  }

  templateButton(entry) {
    const initial = entry.title.trim().charAt(0).toUpperCase();
    const thumb = el("span", { class: "thumb", "aria-hidden": "true", text: initial });
    const button = el("button", {
      type: "button", class: "template", "data-file": entry.file, "aria-pressed": "false",
      onclick: () => this.choose(entry),
    }, thumb, el("span", { class: "template-title", text: entry.title }));
    this.playThumbnail(entry, thumb);
    return button;
  }

  // The template itself, small, silent and out of the way of clicks and the keyboard:
  // the host copies each listed template into the working folder as "thumb-NAME.swf",
  // played from the templates' server like any template.
  async playThumbnail(entry, thumb) {
    const url = await this.templateUrl(`thumb-${fileName(entry.file)}.swf`);
    if (!url) return;
    const [ruffle, found] = await Promise.all([loadRuffle(), fetch(url, { method: "HEAD" }).then((r) => r.ok, () => false)]);
    if (!ruffle || !found) return;
    const movie = createMovie(ruffle, url, thumb, { className: "thumb-movie", scale: "noBorder", muted: true, template: true });
    movie.inert = true;
    movie.addEventListener("loadeddata", () => setTimeout(() => movie.classList.add("shown"), 100));
    movie.loading.catch(() => movie.remove());
  }

  adopt(url) {
    const name = decodeURIComponent(/\/([^/?#]+)\.swf([?#]|$)/.exec(String(url))?.[1] ?? "");
    const entry = this.lists.flatMap((list) => list.entries).find((candidate) => fileName(candidate.file) === name);
    if (!entry) return;
    this.markChosen(entry);
    // The same tab reloaded: what the user changed since the host last set the variables.
    const kept = this.kept();
    if (kept?.file !== entry.file) return;
    for (const [key, value] of kept.variables) this.variables.set(key, value);
    for (const kind of Object.keys(this.choices)) this.choices[kind] = new Map(kept.choices[kind]);
  }

  // The form's values and the names chosen, kept for a reload of this tab (the storage
  // is the tab's, the key this run's address).
  keep() {
    try {
      const choices = Object.fromEntries(Object.entries(this.choices).map(([kind, map]) => [kind, [...map]]));
      sessionStorage.setItem(`tarvenox:${location.pathname}`,
        JSON.stringify({ file: this.template?.file, variables: [...this.variables], choices }));
    } catch {
      // without storage a reload shows the host's values
    }
  }

  kept() {
    try {
      return JSON.parse(sessionStorage.getItem(`tarvenox:${location.pathname}`));
    } catch {
      return null;
    }
  }

  markChosen(entry) {
    this.template = entry;
    for (const button of this.parts.lists.querySelectorAll(".template")) {
      button.setAttribute("aria-pressed", button.dataset.file === entry.file ? "true" : "false");
    }
    this.parts.form.setAttribute("aria-label", entry.title);
  }

  choose(entry) {
    if (this.template?.file === entry.file && this.formFile === entry.file) return;
    clearTimeout(this.applyTimer);
    if (this.template?.file !== entry.file) {
      for (const map of Object.values(this.choices)) map.clear();
    }
    this.markChosen(entry);
    this.formFile = null;
    this.pushed = [];
    this.variables.set("editLoaded", "0");
    this.element.dataset.template = "loading";
    this.command("selectMovie", entry.file, "select");
  }

  // The host has placed the template and set its variables: the form is built from the
  // template's own "NConfig.txt", or from the variables set when it has none.
  async showForm() {
    await this.started;
    // A page that connects anew is told the host's state but not which template is
    // chosen: the preview's working copy, named after the template, tells.
    if (!this.template) this.adopt(this.previewUrl());
    const entry = this.template;
    if (!entry) return;
    const bytes = await this.fetchWork(`${fileName(entry.file)}Config.txt`);
    if (this.template !== entry) return;
    let rows = bytes ? parseForm(bytes) : [];
    if (!bytes) {
      const own = new Set(["backgroundColor", "widths", "skin_currentPath", "skin_cdpath"]);
      rows = [...new Set(this.pushed)].filter((key) => !own.has(key)).map((key) => ({ kind: "text", name: key, label: key }));
    }
    this.controls.clear();
    this.parts.form.replaceChildren(...rows.map((row, index) => this.field(row, index)));
    this.parts.formHint.textContent = rows.length === 0 ? "This template has nothing to change." : "";
    this.formFile = entry.file;
    this.element.dataset.template = entry.file;
    this.enableActions();
  }

  field(row, index) {
    const id = `field-${index}`;
    const key = variableKey(row.name);
    const value = () => this.getVariable(key);
    const title = el("span", { class: "field-label", text: row.label });
    switch (row.kind) {
      case "text":
      case "number":
      case "textarea": {
        const input = row.kind === "textarea"
          ? el("textarea", { id, rows: "2", spellcheck: "true" })
          : el("input", { id, type: "text", inputmode: row.kind === "number" ? "decimal" : undefined, spellcheck: row.kind === "text" ? "true" : "false" });
        const show = (text) => {
          if (document.activeElement !== input) input.value = formText(text);
        };
        show(value());
        this.controls.set(key, show);
        input.addEventListener("input", () => {
          let text = input.value;
          // A decimal comma, as many write it, is the movie's decimal point.
          if (row.kind === "number") {
            text = text.trim().replace(",", ".");
            input.setAttribute("aria-invalid", text === "" || Number.isFinite(Number(text)) ? "false" : "true");
          }
          this.variables.set(key, text);
          this.later();
        });
        return el("label", { class: `field ${row.kind === "number" ? "tile" : "wide"} kind-${row.kind}`, for: id }, title, input);
      }
      case "bool": {
        const input = el("input", { id, type: "checkbox", role: "switch" });
        const show = (text) => {
          input.checked = text === "true";
        };
        show(value());
        this.controls.set(key, show);
        input.addEventListener("change", () => {
          this.variables.set(key, input.checked ? "true" : "false");
          this.later();
        });
        return el("label", { class: "field tile kind-bool", for: id }, title, input, el("span", { class: "switch", "aria-hidden": "true" }));
      }
      case "color": {
        const swatch = el("span", { class: "swatch-view", "aria-hidden": "true" });
        const hex = el("span", { class: "choice" });
        const show = (text) => {
          const color = Number(text);
          const known = text !== "" && Number.isFinite(color);
          swatch.style.background = known ? cssColor(color) : "transparent";
          hex.textContent = known ? cssColor(color) : "—";
        };
        show(value());
        this.controls.set(key, show);
        return this.chooser(row, id, "selectColor", "color", swatch, hex);
      }
      default: {
        // font, image, mp3: what was chosen is shown by name; a font's name in itself.
        const icon = el("span", { class: `choice-icon icon-${row.kind}`, "aria-hidden": "true", text: { font: "Aa", image: "▣", mp3: "♪" }[row.kind] });
        const choice = el("span", { class: "choice" });
        const show = () => {
          const chosen = this.choices[row.kind].get(row.name);
          choice.textContent = chosen ?? "From the template";
          choice.classList.toggle("unchanged", chosen === undefined);
          if (row.kind === "font") choice.style.fontFamily = chosen ? faceFamily(chosen) : "";
        };
        show();
        row.show = show;
        const command = { font: "selectFont", image: "selectImage", mp3: "selectMp3" }[row.kind];
        return this.chooser(row, id, command, row.kind, icon, choice);
      }
    }
  }

  chooser(row, id, command, kind, icon, choice) {
    const button = el("button", {
      type: "button", id, class: `field tile chooser kind-${kind}`,
      onclick: () => this.command(command, row.name, kind, row),
    }, icon, el("span", { class: "chooser-text" }, el("span", { class: "field-label", text: row.label }), choice));
    return button;
  }

  // -- commands --

  command(command, args, kind, row = null) {
    this.send(command, args);
    const barrier = command === "selectMovie" || this.viewerShown ? "showViewer" : "hideViewer";
    const entry = { kind, key: args, row, failed: false, result: undefined, busyTimer: 0, busy: false };
    this.pending.push(entry);
    this.send(barrier, "");
    if (kind === "apply") this.watchBusy(entry);
    return entry;
  }

  // Applies a moment after the last change, so the preview follows the form.
  later() {
    this.keep();
    clearTimeout(this.applyTimer);
    this.applyTimer = setTimeout(() => this.apply(), applyDelayMs);
  }

  apply() {
    clearTimeout(this.applyTimer);
    this.applyTimer = 0;
    if (!this.formFile) return;
    this.command("apply", "", "apply");
  }

  save() {
    if (!this.formFile) return;
    // The save applies the form itself.
    clearTimeout(this.applyTimer);
    this.applyTimer = 0;
    this.command("clicked", "save", "save");
  }

  fullscreen() {
    if (!this.formFile) return;
    if (this.applyTimer) this.apply();
    this.send("clicked", "fullscreen");
  }

  watchBusy(entry) {
    clearTimeout(entry.busyTimer);
    entry.busyTimer = setTimeout(() => {
      entry.busy = true;
      this.showBusy();
    }, busyDelayMs);
  }

  showBusy() {
    const busy = this.pending.some((entry) => entry.busy);
    this.element.querySelector(".status").classList.toggle("busy", busy);
    this.element.setAttribute("aria-busy", busy ? "true" : "false");
  }

  finish(entry) {
    clearTimeout(entry.busyTimer);
    this.showBusy();
    const status = (text, tone = "") => {
      this.parts.status.textContent = text;
      this.parts.status.dataset.tone = tone;
    };
    const { kind, result, failed, row } = entry;
    if (kind === "apply") {
      status(failed ? "The preview could not be updated." : `Preview updated · ${clock()}`, failed ? "error" : "");
    } else if (kind === "save") {
      if (failed) status("Not saved.", "error");
      else if (result) status(`✓ Saved ${fileName(result)} · ${clock()}`, "ok");
    } else if (kind === "color") {
      if (result?.color !== null && result?.color !== undefined) this.later();
    } else if (row && result && !failed) {
      this.choices[kind].set(row.name, kind === "font" ? result.face : fileName(result));
      row.show();
      this.later();
    }
  }

  enableActions() {
    for (const button of this.element.querySelectorAll(".needs-template")) button.disabled = !this.formFile;
  }
}
