// The built-in skin: the main dialog's interface when the installation brings no
// "skin.swf". It reads "skin.txt" for its texts and template lists, builds each
// template's editing form from the template's "NConfig.txt", keeps the variables the host
// sets and answers the host's reads from the form, and sends the interface movie's
// commands. The host owns the editor's state: which template is chosen, its
// replacements, what was saved, the undo history; its "editor" event says so after each
// command, and the skin shows what it says.

import { el, isDialogOpen } from "./dialogs/modal.js";
import { label } from "./labels.js";
import { createMovie, loadRuffle } from "./players.js";
import { colorChooser, slotChooser } from "./skin/choosers.js";
import { Commands } from "./skin/commands.js";
import { choiceOf, followsTemplate, needsApply, savingStatusOf, statusOf } from "./skin/editor.js";
import { formField } from "./skin/fields.js";
import { listenForShortcuts } from "./skin/keys.js";
import { fileName, parseForm, parseSkinVariables, templateLists, variableKey } from "./skin-data.js";

const clock = () => new Date().toLocaleTimeString([], { hour: "2-digit", minute: "2-digit" });
const selectCommand = { font: "selectFont", image: "selectImage", mp3: "selectMp3" };
const restoreCommand = { font: "restoreFont", image: "restoreImage", mp3: "restoreMp3" };
// Variables the host sets for the interface itself, not for a template's form.
const ownVariables = new Set(["backgroundColor", "widths", "skin_currentPath", "skin_cdpath"]);

export class BuiltInSkin {
  // send(command, args) hands a command to the host; fetchWork(name) resolves with the
  // bytes of a file of the working folder, or null; templateUrl(name) resolves with the
  // address of a template movie on the templates' server ("" when there is none).
  constructor({ send, fetchWork, templateUrl }) {
    this.send = send;
    this.fetchWork = fetchWork;
    this.templateUrl = templateUrl;
    this.variables = new Map();
    this.texts = new Map();
    this.template = null;      // { file, title } of the template chosen
    this.formFile = null;      // the template whose form is shown
    this.controls = new Map(); // variable -> function that shows a new value
    this.slots = [];           // { kind, name, show } of the form's font, picture and music choosers
    this.editor = null;        // the host's last "editor" event
    this.pushed = [];          // variables the host set since the last template was chosen
    this.viewerShown = false;  // whether the host last showed the preview
    this.lists = [];
    this.commands = new Commands({
      send,
      barrier: (command) => (command === "selectMovie" || this.template ? "showViewer" : "hideViewer"),
      onBusy: (busy) => {
        this.element.querySelector(".status").classList.toggle("busy", busy);
        this.element.setAttribute("aria-busy", busy ? "true" : "false");
      },
    });
    this.element = this.build();
    this.started = this.start();
  }

  // For the page's checks: the commands in flight.
  get pending() {
    return this.commands.pending;
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
    // Values the host sets back (undo, redo, a template chosen again) win over the focus.
    const force = ["undo", "redo", "select"].some((kind) => this.commands.has(kind));
    this.controls.get(key)?.(text, force);
  }

  getVariable(name) {
    return this.variables.get(variableKey(name)) ?? "";
  }

  // Every message of the host, as it comes.
  observe(message) {
    if ((message.type === "show" || message.type === "hide") && message.player === "viewer") {
      this.viewerShown = message.type === "show";
      this.commands.ended();
      this.enableActions();
    } else if (message.type === "editor") {
      this.showEditor(message);
    }
  }

  // A dialog the host asked for has been answered.
  answered(result) {
    const saving = this.commands.first?.kind === "save" ? savingStatusOf(result) : null;
    if (saving) this.showStatus(saving);
    this.commands.answered(result);
  }

  // The colour and the face a dialog of the current command starts from.
  hint() {
    const command = this.commands.first;
    if (command?.kind === "color") {
      const text = this.getVariable(command.args);
      return text === "" || !Number.isFinite(Number(text)) ? null : Number(text);
    }
    if (command?.kind === "font") return choiceOf(this.editor?.choices, "font", command.args)?.face ?? null;
    return null;
  }

  // A new connection: the host sends everything again, commands in flight are gone.
  reset() {
    this.commands.reset();
    this.enableActions();
  }

  // The host loaded the skin anew (another movie opened): this one is put away for good.
  dispose() {
    this.disposed = true;
    this.commands.reset();
    this.stopShortcuts();
    this.resized.disconnect();
  }

  // -- the page --

  build() {
    const button = (className, onclick, props = {}) => el("button", { type: "button", class: className, onclick, ...props });
    this.parts = {
      title: el("h1", { class: "skin-title" }),
      open: button("ghost", () => this.openMovie()),
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
      undo: button("ghost history needs-template", () => this.history("undo"), { text: "↶", title: label.undoHint, "aria-label": label.undo }),
      redo: button("ghost history needs-template", () => this.history("redo"), { text: "↷", title: label.redoHint, "aria-label": label.redo }),
      exec: button("ghost", () => this.send("exec", this.text("exec", ""))),
      status: el("span", { class: "status-text" }),
      spinner: el("span", { class: "spinner", "aria-hidden": "true" }),
    };
    const p = this.parts;
    p.exec.hidden = true;
    p.scroll = el("div", { class: "form-scroll" }, p.form, p.formHint);
    const skin = el("div", { class: "skin", "data-template": "none" },
      el("header", { class: "region top" }, p.title, el("div", { class: "top-buttons" }, p.open, p.help, p.fullscreen, p.quit)),
      el("aside", { class: "region templates", "aria-label": label.templates }, p.intro, p.lists),
      el("section", { class: "region form-region" }, p.scroll),
      el("div", { class: "region frame", "aria-hidden": "true" }, p.frameHint),
      el("footer", { class: "region actions" }, p.apply, p.save, p.undo, p.redo, p.exec,
        el("div", { class: "status", role: "status", "aria-live": "polite" }, p.spinner, p.status)),
    );
    // A form taller than its region says so: a shadow at the edge with more below.
    p.scroll.addEventListener("scroll", () => this.showOverflow());
    this.resized = new ResizeObserver(() => this.showOverflow());
    this.resized.observe(p.scroll);
    // The shortcuts work wherever the focus is, but not under a dialog or the fullscreen view.
    this.stopShortcuts = listenForShortcuts((action) => {
      if (action === "save") this.save();
      else if (action === "apply") this.apply();
      else this.history(action);
    }, () => this.ready && !isDialogOpen() && (document.getElementById("fullscreen")?.hidden ?? true));
    return skin;
  }

  showOverflow() {
    const { scroll } = this.parts;
    scroll.parentElement?.classList.toggle("more-below", scroll.scrollTop + scroll.clientHeight < scroll.scrollHeight - 1);
    if (scroll.parentElement) scroll.parentElement.dataset.moreBelow = label.moreBelow;
  }

  text(name, fallback) {
    return this.texts.get(name) || fallback;
  }

  async start() {
    const bytes = await this.fetchWork("skin.txt");
    this.texts = bytes ? parseSkinVariables(bytes) : new Map();
    const p = this.parts;
    p.title.textContent = this.text("title", "Tarvenox");
    p.open.textContent = this.text("button_open", label.openMovie);
    p.intro.textContent = this.text("intro", "");
    p.help.textContent = this.text("button_help", label.help);
    p.fullscreen.textContent = this.text("button_fullscreen", label.fullscreen);
    p.quit.textContent = this.text("button_quit", label.quit);
    p.apply.textContent = this.text("button_apply", label.apply);
    p.save.textContent = this.text("button_save", label.saveAs);
    p.exec.textContent = this.text("button_exec", label.exec);
    p.exec.hidden = this.text("exec", "") === "";
    p.formHint.textContent = label.chooseTemplate;
    p.frameHint.textContent = label.previewHere;
    const lists = templateLists(this.texts);
    this.lists = lists;
    p.lists.replaceChildren(...lists.map((list) => el("section", { class: "template-list" },
      el("h2", { text: list.name.charAt(0).toUpperCase() + list.name.slice(1) }),
      el("ul", {}, list.entries.map((entry) => el("li", {}, this.templateButton(entry)))))));
    if (lists.length === 0) p.lists.append(el("p", { class: "form-hint", text: label.noTemplates }));
    // An event that came before the lists were read names its template now.
    this.adoptTemplate();
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
    if (!ruffle || !found || this.disposed) return;
    const movie = createMovie(ruffle, url, thumb, { className: "thumb-movie", scale: "noBorder", muted: true, template: true });
    movie.inert = true;
    movie.addEventListener("loadeddata", () => setTimeout(() => movie.classList.add("shown"), 100));
    movie.loading.catch(() => movie.remove());
  }

  markChosen(entry) {
    this.template = entry;
    for (const button of this.parts.lists.querySelectorAll(".template")) {
      button.setAttribute("aria-pressed", button.dataset.file === entry?.file ? "true" : "false");
    }
    this.parts.form.setAttribute("aria-label", entry?.title ?? "");
  }

  // Whether a template's form is shown and takes edits (not while another is chosen).
  get ready() {
    return Boolean(this.formFile) && this.commands.canApply;
  }

  choose(entry) {
    if (this.template?.file === entry.file && (this.commands.has("select") || this.formFile === entry.file)) return;
    // What was typed goes to the template it was typed for before the switch.
    if (this.ready) this.commands.flush();
    this.markChosen(entry);
    this.commands.canApply = false;
    this.commands.dirty = false;
    this.pushed = [];
    this.variables.set("editLoaded", "0");
    this.element.dataset.template = "loading";
    this.commands.run("selectMovie", entry.file, "select");
    this.enableActions();
  }

  // The host's state of the editor: the template chosen, its replacements, the undo
  // history, how the last command ended.
  showEditor(message) {
    if (this.editor && message.seq < this.editor.seq && message.last) return;
    this.editor = message;
    this.adoptTemplate();
    this.showSlots();
    this.element.dataset.unsaved = message.unsaved ? "true" : "false";
    const status = statusOf(message.last, clock(), String(message.title ?? ""));
    if (status) this.showStatus(status);
    if (needsApply(message.last)) this.commands.changed();
    this.enableActions();
  }

  showStatus({ text, tone }) {
    this.parts.status.textContent = text;
    this.parts.status.dataset.tone = tone;
  }

  // The template the host names is the one shown, unless the user has just chosen another.
  adoptTemplate() {
    const selecting = this.commands.pending.filter((entry) => entry.kind === "select").length;
    if (this.lists.length === 0 || !followsTemplate(this.editor, selecting)) return;
    const file = String(this.editor.template ?? "");
    if (file !== (this.template?.file ?? "")) {
      const entry = this.lists.flatMap((list) => list.entries).find((candidate) => candidate.file === file) ??
        (file ? { file, title: String(this.editor.title ?? file) } : null);
      this.markChosen(entry);
    }
    if (!this.template) {
      this.clearForm();
    } else if (this.template.file === this.formFile) {
      // The template chosen could not be opened: the form before it stays.
      this.commands.canApply = true;
      this.element.dataset.template = this.formFile;
    } else if (this.getVariable("editLoaded") === "1") {
      this.showForm();
    }
  }

  showSlots() {
    for (const slot of this.slots) slot.show(choiceOf(this.editor?.choices, slot.kind, slot.name, this.editor?.own));
  }

  clearForm() {
    this.formFile = null;
    this.commands.canApply = false;
    this.controls.clear();
    this.slots = [];
    this.parts.form.replaceChildren();
    this.parts.formHint.textContent = label.chooseTemplate;
    this.element.dataset.template = "none";
  }

  // The host has placed the template and set its variables: the form is built from the
  // template's own "NConfig.txt", or from the variables set when it has none. The
  // template is the one the user chose, or after a reload the one the host names.
  async showForm() {
    await this.started;
    const entry = this.template;
    if (!entry || this.getVariable("editLoaded") !== "1") return;
    const bytes = await this.fetchWork(`${fileName(entry.file)}Config.txt`);
    if (this.template !== entry || (this.formFile === entry.file && this.commands.canApply)) return;
    let rows = bytes ? parseForm(bytes) : [];
    if (!bytes) rows = [...new Set(this.pushed)].filter((key) => !ownVariables.has(key)).map((key) => ({ kind: "text", name: key, label: key }));
    this.controls.clear();
    this.slots = [];
    this.parts.form.replaceChildren(...rows.map((row, index) => this.field(row, `field-${index}`)));
    this.parts.formHint.textContent = rows.length === 0 ? label.nothingToChange : "";
    this.showSlots();
    this.formFile = entry.file;
    this.commands.canApply = true;
    this.element.dataset.template = entry.file;
    // A template the host chose by itself (the program started on a movie) came without a
    // command of the skin, whose barrier would have shown its preview.
    if (!this.viewerShown && this.commands.pending.length === 0) this.commands.awaitBarrier("show");
    // A new template's form starts at its top.
    this.parts.scroll.scrollTop = 0;
    this.showOverflow();
    this.enableActions();
  }

  field(row, id) {
    const key = variableKey(row.name);
    const value = this.getVariable(key);
    let made;
    if (row.kind === "color") {
      made = colorChooser(row, id, value, () => this.commands.run("selectColor", row.name, "color"));
    } else if (row.kind in selectCommand) {
      made = slotChooser(row, id, {
        pick: () => this.commands.run(selectCommand[row.kind], row.name, row.kind),
        restore: () => this.commands.run(restoreCommand[row.kind], row.name, "restore"),
        // The fit's name first: it holds no ":", a picture's name may.
        fit: (fit) => this.commands.run("fitImage", `${fit}:${row.name}`, "fit"),
        workUrl: (name) => `work/${encodeURIComponent(name)}`,
      });
      this.slots.push({ kind: row.kind, name: row.name, show: made.show });
      return made.element;
    } else {
      made = formField(row, id, value, (text) => {
        this.variables.set(key, text);
        this.commands.changed();
      });
    }
    this.controls.set(key, made.show);
    return made.element;
  }

  // -- commands --

  apply() {
    if (this.ready) this.commands.apply();
  }

  // One save at a time: a second click while the first is in flight (a double click)
  // does nothing. The save reads the form itself.
  save() {
    if (!this.ready || this.commands.has("save")) return;
    this.commands.run("clicked", "save", "save");
    this.enableActions();
  }

  // Undo or redo in the host's history, after what was just typed is in it.
  history(command) {
    if (!this.ready) return;
    this.commands.flush();
    this.commands.run(command, "", command);
  }

  // Another movie instead of this installation: the host asks about unsaved edits, shows
  // the open dialog and loads the skin anew for the movie (a new skin follows), so what
  // was typed goes to the host first.
  openMovie() {
    if (this.opening) return;
    if (this.ready) this.commands.flush();
    this.commands.run("openMovie", "", "open");
    this.enableActions();
  }

  // A movie being opened, a save or a template being chosen holds "Open a movie…" back.
  get opening() {
    return ["open", "save", "select"].some((kind) => this.commands.has(kind));
  }

  fullscreen() {
    if (!this.ready) return;
    this.commands.flush();
    this.send("clicked", "fullscreen");
  }

  enableActions() {
    for (const button of this.element.querySelectorAll(".needs-template")) button.disabled = !this.ready;
    const p = this.parts;
    if (this.commands.has("save")) p.save.disabled = true;
    p.open.disabled = this.opening;
    if (!this.editor?.canUndo) p.undo.disabled = true;
    if (!this.editor?.canRedo) p.redo.disabled = true;
  }
}
