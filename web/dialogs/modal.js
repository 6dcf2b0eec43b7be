// Modal dialogs over the dimmed page: a stack of boxes, focus kept inside the top one,
// Escape and Enter handled as the dialog says, focus given back when it closes.

const layer = () => document.getElementById("dialogs");
const open = [];

const focusableSelector =
  'button:not([disabled]), input:not([disabled]), select:not([disabled]), textarea:not([disabled]), [tabindex]:not([tabindex="-1"])';

// Makes an element with a class and children (elements or texts).
export function el(tag, props = {}, ...children) {
  const element = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (value === undefined || value === null || value === false) continue;
    if (key === "class") element.className = value;
    else if (key === "text") element.textContent = value;
    else if (key.startsWith("on")) element.addEventListener(key.slice(2), value);
    else if (key in element && typeof value !== "string") element[key] = value;
    else element.setAttribute(key, value === true ? "" : value);
  }
  for (const child of children.flat()) {
    if (child !== null && child !== undefined && child !== false) element.append(child);
  }
  return element;
}

export const isDialogOpen = () => open.length > 0;

// Opens a dialog and resolves with what close() was given. build(box, close) fills the
// box; onKey(event, close) sees the keys first and returns true when it took one; escape
// is the value Escape closes with (undefined: Escape does nothing).
export function showModal({ title, className = "", build, escape, onKey, initialFocus }) {
  return new Promise((resolve) => {
    const previousFocus = document.activeElement;
    const titleId = `dialog-title-${Math.random().toString(36).slice(2)}`;
    const box = el("div", { class: `dialog ${className}`, role: "dialog", "aria-modal": "true", "aria-labelledby": titleId },
      el("h2", { class: "dialog-title", id: titleId, text: title }));
    const backdrop = el("div", { class: "backdrop" }, box);
    let closed = false;
    const entry = { backdrop, close: (value) => close(value) };
    function close(value) {
      if (closed) return;
      closed = true;
      backdrop.remove();
      open.splice(open.indexOf(entry), 1);
      layer().hidden = open.length === 0;
      if (previousFocus?.isConnected) previousFocus.focus();
      resolve(value);
    }
    entry.handleKey = (event) => {
      if (onKey?.(event, close)) {
        event.preventDefault();
        event.stopPropagation();
        return;
      }
      if (event.key === "Escape") {
        event.preventDefault();
        event.stopPropagation();
        if (escape !== undefined) close(escape);
      } else if (event.key === "Tab") {
        trapFocus(box, event);
      }
    };
    // A click on the dimmed page leaves the focus in the dialog.
    backdrop.addEventListener("mousedown", (event) => {
      if (event.target === backdrop) event.preventDefault();
    });
    build(box, close);
    open.push(entry);
    layer().append(backdrop);
    layer().hidden = false;
    const first = (initialFocus && box.querySelector(initialFocus)) || [...box.querySelectorAll(focusableSelector)].find((item) => item.tabIndex >= 0);
    (first ?? box).focus();
  });
}

// The keys go to the top dialog wherever the focus is.
globalThis.document?.addEventListener("keydown", (event) => open.at(-1)?.handleKey(event));

function trapFocus(box, event) {
  const items = [...box.querySelectorAll(focusableSelector)].filter((item) => item.tabIndex >= 0 && item.offsetParent !== null);
  if (items.length === 0) return;
  const first = items[0];
  const last = items[items.length - 1];
  if (!box.contains(document.activeElement)) {
    event.preventDefault();
    (event.shiftKey ? last : first).focus();
  } else if (event.shiftKey && document.activeElement === first) {
    event.preventDefault();
    last.focus();
  } else if (!event.shiftKey && document.activeElement === last) {
    event.preventDefault();
    first.focus();
  }
}

// Closes every dialog with null: the connection they answered on has gone.
export function closeAllDialogs() {
  for (const entry of [...open].reverse()) entry.close(null);
}

// Makes a grid of buttons one Tab stop, its arrow keys (and Home, End) moving the focus
// within it ("roving tabindex"): the stop is the button focused last, else the pressed
// one, else the first. Call again after the grid's buttons were replaced.
export function roveGrid(grid, columns) {
  const cells = () => [...grid.children];
  const mark = (stop) => cells().forEach((cell) => { cell.tabIndex = cell === stop ? 0 : -1; });
  if (!grid.dataset.roving) {
    grid.dataset.roving = "true";
    grid.addEventListener("focusin", (event) => mark(event.target));
    grid.addEventListener("keydown", (event) => {
      const all = cells();
      const at = all.indexOf(event.target);
      const moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -columns, ArrowDown: columns, Home: -at, End: all.length - 1 - at };
      if (at < 0 || !(event.key in moves)) return;
      event.preventDefault();
      all[Math.min(all.length - 1, Math.max(0, at + moves[event.key]))].focus();
    });
  }
  const all = cells();
  mark(all.find((cell) => cell === document.activeElement) ?? all.find((cell) => cell.getAttribute("aria-pressed") === "true") ?? all[0]);
}

// A row of buttons; the first is the default one.
export function buttonRow(buttons) {
  return el("div", { class: "dialog-buttons" },
    buttons.map(({ label, onclick, primary = false, id }) =>
      el("button", { type: "button", class: primary ? "primary" : "", onclick, "data-button": id, text: label })));
}
