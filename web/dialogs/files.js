// The open and save dialogs: the host's folders, listed by the host (listFolder), with a
// path field, parent and home buttons, the filters the host gives, a file name field and
// on save the question before a file is replaced.

import { label } from "../labels.js";
import { messageBox } from "./message.js";
import { el, showModal } from "./modal.js";

// The folder the last dialog ended in: "" (the home folder) until one has.
let lastFolder = "";

export function joinPath(folder, name) {
  if (name.startsWith("/")) return name;
  return folder.endsWith("/") ? folder + name : `${folder}/${name}`;
}

export function splitPath(path) {
  const cut = path.lastIndexOf("/");
  return { folder: cut <= 0 ? "/" : path.slice(0, cut), name: path.slice(cut + 1) };
}

// The name a save takes: the default extension appended when the name has none.
export function withDefaultExtension(name, extension) {
  const base = name.slice(name.lastIndexOf("/") + 1);
  if (!extension || base.lastIndexOf(".") > 0) return name;
  return `${name}.${extension}`;
}

// The extension a filter gives a name without one, from its first pattern ("*.html"
// gives "html"), lower case; undefined for a filter without one ("*").
export function filterExtension(filter) {
  return /^\*\.([A-Za-z0-9]+)$/.exec(filter?.patterns?.[0] ?? "")?.[1]?.toLowerCase();
}

// The filter a dialog starts with: the one for the start name's extension (a save
// proposed as "card.mp4" shows the videos), else the first.
export function filterForName(filters, name) {
  const extension = /\.([A-Za-z0-9]+)$/.exec(name)?.[1]?.toLowerCase();
  return filters.find((filter) => extension !== undefined && filterExtension(filter) === extension) ?? filters[0];
}

// The save's name once the user picks another filter: a name ending in the extension of
// one of the dialog's filters takes the new filter's ("card.swf" becomes "card.mp4"),
// so the file type chosen is the one written; any other name stays as typed.
export function withFilterExtension(name, filters, filter) {
  const next = filterExtension(filter);
  const parts = /^(.*[^/])\.([A-Za-z0-9]+)$/.exec(name);
  if (!next || !parts) return name;
  const known = filters.some((other) => filterExtension(other) === parts[2].toLowerCase());
  return known ? `${parts[1]}.${next}` : name;
}

// Where a dialog starts: the folder the host names, else the last dialog's; a save's
// start name given as an absolute path ("/home/u/banner-edited.swf") starts in its folder
// with its last part in the name field.
export function startingPlace(request, saving, previousFolder) {
  const name = saving ? String(request.name ?? "") : "";
  if (name.startsWith("/")) return splitPath(name);
  return { folder: String(request.folder || previousFolder), name };
}

export function formatSize(bytes) {
  if (bytes < 1024) return `${bytes} B`;
  if (bytes < 1024 * 1024) return `${Math.round(bytes / 1024)} KB`;
  return `${(bytes / (1024 * 1024)).toFixed(1)} MB`;
}

const folderIcon = '<svg viewBox="0 0 20 20" width="18" height="18" aria-hidden="true"><path d="M2 5a1 1 0 0 1 1-1h5l2 2h7a1 1 0 0 1 1 1v8a1 1 0 0 1-1 1H3a1 1 0 0 1-1-1z" fill="currentColor"/></svg>';
const fileIcon = '<svg viewBox="0 0 20 20" width="18" height="18" aria-hidden="true"><path d="M5 2h7l4 4v11a1 1 0 0 1-1 1H5a1 1 0 0 1-1-1V3a1 1 0 0 1 1-1z" fill="none" stroke="currentColor" stroke-width="1.5"/></svg>';

// kind "open" or "save". list(path, patterns) answers as the host's listFolder does.
// Resolves with the chosen file's full path, or null.
export async function chooseFile(kind, request, list) {
  const saving = kind === "save";
  const filters = Array.isArray(request.filters) && request.filters.length > 0
    ? request.filters : [{ description: "*", patterns: [] }];
  const start = startingPlace(request, saving, lastFolder);
  let filter = filterForName(filters, start.name);
  let listing = null;
  const result = await showModal({
    title: request.title || (saving ? label.save : label.open),
    className: "file-dialog",
    escape: null,
    initialFocus: ".file-name",
    build(box, close) {
      const pathField = el("input", { type: "text", class: "path-field", spellcheck: "false", "aria-label": label.path });
      const up = el("button", { type: "button", class: "icon-button", title: label.parent, "aria-label": label.parent, text: "↑" });
      const home = el("button", { type: "button", class: "icon-button", title: label.home, "aria-label": label.home, text: "⌂" });
      const entries = el("div", { class: "file-list", role: "listbox", tabindex: "0", "aria-label": label.path });
      const problem = el("p", { class: "file-problem", role: "alert", hidden: true });
      const nameField = el("input", { type: "text", class: "file-name", spellcheck: "false", "aria-label": label.fileName });
      const filterSelect = el("select", { class: "file-filter", "aria-label": label.fileType },
        filters.map((f, i) => el("option", { value: String(i), text: f.description })));
      const confirm = el("button", { type: "button", class: "primary", "data-button": "ok", text: saving ? label.save : label.open });
      filterSelect.value = String(filters.indexOf(filter));
      nameField.value = start.name;
      let active = -1;  // the entry with the keyboard's focus
      let turns = 0;    // the listings asked for: only the latest one is shown

      // False when the folder cannot be listed. A listing overtaken by a later one is
      // dropped. The folder listed is written into the path field only when the user is not
      // at work there: after Enter in it, or while the focus is elsewhere; a path typed
      // while a folder is listed is kept (text typed into a field that had just been
      // written over would land behind the folder's path).
      async function show(path, { fromField = false } = {}) {
        const turn = ++turns;
        const before = pathField.value;
        const keepTyped = () => pathField.value !== before || (!fromField && document.activeElement === pathField);
        let answer;
        try {
          answer = await list(path, filter.patterns);
          if (turn !== turns) return true;
        } catch (error) {
          if (turn !== turns) return true;
          problem.textContent = `${label.unreadable} ${error.message}`;
          problem.hidden = false;
          if (!keepTyped()) pathField.value = listing?.path ?? path;
          return false;
        }
        problem.hidden = true;
        listing = answer;
        if (!keepTyped()) pathField.value = answer.path;
        up.disabled = answer.parent === null;
        active = -1;
        const rows = [
          ...answer.folders.map((name) => ({ name, folder: true })),
          ...answer.files.map(({ name, size }) => ({ name, size, folder: false })),
        ];
        entries.replaceChildren(...rows.map((row, i) => {
          const item = el("div", {
            class: `file-entry ${row.folder ? "is-folder" : "is-file"}`, role: "option", id: `file-entry-${i}`,
            "data-name": row.name, "aria-selected": "false",
            onclick: () => pickRow(i, false), ondblclick: () => pickRow(i, true),
          });
          item.innerHTML = row.folder ? folderIcon : fileIcon;
          item.append(el("span", { class: "entry-name", text: row.name }),
            el("span", { class: "entry-size", text: row.folder ? "" : formatSize(row.size) }));
          item.row = row;
          return item;
        }));
        if (rows.length === 0) entries.append(el("p", { class: "file-empty", text: label.emptyFolder }));
        return true;
      }

      function mark(index) {
        const items = entries.querySelectorAll(".file-entry");
        active = Math.max(0, Math.min(items.length - 1, index));
        items.forEach((item, i) => item.setAttribute("aria-selected", i === active ? "true" : "false"));
        if (items[active]) {
          entries.setAttribute("aria-activedescendant", items[active].id);
          items[active].scrollIntoView({ block: "nearest" });
        }
      }

      // A click marks an entry and takes a file's name; a double click (or Enter) opens
      // a folder or chooses a file.
      function pickRow(index, open) {
        const item = entries.querySelectorAll(".file-entry")[index];
        if (!item) return;
        mark(index);
        if (!item.row.folder) nameField.value = item.row.name;
        if (open) {
          if (item.row.folder) show(joinPath(listing.path, item.row.name));
          else accept();
        }
      }

      // What the name field says: a folder to go to, or the file to answer with.
      async function accept() {
        // A name typed and confirmed before the first listing came waits for it.
        await ready;
        if (!listing) return;
        let typed = nameField.value.trim();
        if (typed === "") return;
        if (typed === "~" || typed.startsWith("~/")) typed = joinPath(listing.home, typed.slice(2));
        const target = joinPath(listing.path, typed);
        if (typed.endsWith("/") || listing.folders.includes(typed)) {
          if (await show(target)) nameField.value = "";
          return;
        }
        // A name without an extension takes the chosen filter's ("*.html" gives ".html"),
        // else the dialog's default.
        const extension = filterExtension(filter) ?? request.defaultExtension;
        const path = saving ? withDefaultExtension(target, extension) : target;
        const { folder, name } = splitPath(path);
        // The file's own folder, listed whole: the overwrite question and the open's
        // check look at every file, not only those the filter shows.
        let there;
        try {
          there = await list(folder, []);
        } catch (error) {
          problem.textContent = `${label.unreadable} ${error.message}`;
          problem.hidden = false;
          return;
        }
        if (there.folders.includes(name)) {
          if (await show(joinPath(there.path, name))) nameField.value = "";
          return;
        }
        const exists = there.files.some((file) => file.name === name);
        const full = joinPath(there.path, name);
        if (!saving && !exists) {
          problem.textContent = label.notFound(name);
          problem.hidden = false;
          return;
        }
        if (saving && exists && request.overwritePrompt) {
          const answer = await messageBox({ caption: request.title, text: label.replace(name), icon: "warning", buttons: "yesNo" });
          if (answer !== "yes") {
            nameField.focus();
            return;
          }
        }
        lastFolder = there.path;
        close(full);
      }

      up.addEventListener("click", () => listing?.parent && show(listing.parent));
      home.addEventListener("click", () => show(listing?.home ?? ""));
      pathField.addEventListener("keydown", (event) => {
        if (event.key !== "Enter") return;
        event.preventDefault();
        event.stopPropagation();
        show(pathField.value.trim(), { fromField: true });
      });
      nameField.addEventListener("keydown", (event) => {
        if (event.key !== "Enter") return;
        event.preventDefault();
        event.stopPropagation();
        accept();
      });
      entries.addEventListener("keydown", (event) => {
        const count = entries.querySelectorAll(".file-entry").length;
        const steps = { ArrowDown: 1, ArrowUp: -1, PageDown: 8, PageUp: -8, Home: -count, End: count };
        if (event.key in steps && !(event.altKey && event.key === "ArrowUp")) {
          event.preventDefault();
          pickRow(Math.max(0, active) + (active < 0 ? 0 : steps[event.key]), false);
        } else if (event.key === "Enter" && active >= 0) {
          event.preventDefault();
          event.stopPropagation();
          pickRow(active, true);
        } else if (event.key === "Backspace" || (event.altKey && event.key === "ArrowUp")) {
          event.preventDefault();
          if (listing?.parent) show(listing.parent);
        }
      });
      filterSelect.addEventListener("change", () => {
        filter = filters[Number(filterSelect.value)];
        if (saving) nameField.value = withFilterExtension(nameField.value, filters, filter);
        if (listing) show(listing.path);
      });
      confirm.addEventListener("click", accept);

      box.append(
        el("div", { class: "file-path" }, up, home, pathField),
        entries, problem,
        el("div", { class: "file-fields" },
          el("label", {}, el("span", { text: label.fileName }), nameField),
          el("label", {}, el("span", { text: label.fileType }), filterSelect)),
        el("div", { class: "dialog-buttons" }, confirm,
          el("button", { type: "button", "data-button": "cancel", text: label.cancel, onclick: () => close(null) })),
      );
      const ready = show(start.folder).then((shown) => {
        if (!shown && start.folder) return show("");
        return shown;
      });
    },
  });
  return result ?? null;
}
