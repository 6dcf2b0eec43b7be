// The font dialog: the installed faces, each name drawn in its own face, a search field,
// bold and italic; the size is the one the host allows.

import { label } from "../labels.js";
import { buttonRow, el, showModal } from "./modal.js";

const faceFamilies = new Map();

// A CSS family that draws the installed face of this name: local() finds a face by its
// full name ("DejaVu Sans Bold") as well as by its family; the plain family name is the
// fallback.
export function faceFamily(face) {
  if (!faceFamilies.has(face)) {
    const family = `tarvenox-face-${faceFamilies.size}`;
    faceFamilies.set(face, family);
    const quoted = JSON.stringify(String(face));
    const style = document.createElement("style");
    style.textContent = `@font-face { font-family: "${family}"; src: local(${quoted}); }`;
    document.head.append(style);
  }
  return `"${faceFamilies.get(face)}", ${JSON.stringify(String(face))}, sans-serif`;
}

// The faces whose name holds every word of the search, in their order.
export function matchingFaces(faces, search) {
  const words = String(search).toLowerCase().split(/\s+/).filter(Boolean);
  return faces.filter((face) => words.every((word) => face.toLowerCase().includes(word)));
}

export function chooseFont({ faces = [], pointSize = 10 }, hint = null) {
  const allFaces = [...new Set(faces.map(String))];
  let selected = allFaces.includes(hint) ? hint : allFaces[0] ?? null;
  let shown = allFaces;
  let bold = false;
  let italic = false;
  const result = () => (selected === null ? null : { face: selected, bold, italic, pointTenths: pointSize * 10 });

  return showModal({
    title: label.chooseFont,
    className: "font-dialog",
    escape: null,
    initialFocus: ".font-search",
    onKey(event, close) {
      if (event.key === "Enter" && event.target.tagName !== "BUTTON" && event.target.type !== "checkbox") {
        if (selected !== null) close(result());
        return true;
      }
      return false;
    },
    build(box, close) {
      const search = el("input", { type: "search", class: "font-search", placeholder: label.search, "aria-label": label.search });
      const list = el("div", { class: "font-list", role: "listbox", tabindex: "0", "aria-label": label.font });
      const sample = el("div", { class: "font-sample", text: label.sample, "aria-hidden": "true" });
      const none = el("p", { class: "font-none", text: label.noFaces, hidden: true });

      function drawSample() {
        sample.style.fontFamily = selected === null ? "" : faceFamily(selected);
        sample.style.fontWeight = bold ? "700" : "400";
        sample.style.fontStyle = italic ? "italic" : "normal";
      }
      function select(face, { scroll = true } = {}) {
        selected = face;
        for (const option of list.children) {
          const on = option.dataset.face === face;
          option.setAttribute("aria-selected", on ? "true" : "false");
          if (on) {
            list.setAttribute("aria-activedescendant", option.id);
            if (scroll) option.scrollIntoView({ block: "nearest" });
          }
        }
        drawSample();
      }
      function drawList() {
        shown = matchingFaces(allFaces, search.value);
        list.replaceChildren(...shown.map((face, i) => el("div", {
          class: "font-option", role: "option", id: `font-option-${i}`, "data-face": face,
          style: `font-family:${faceFamily(face)}`, text: face,
          onclick: () => select(face, { scroll: false }),
          ondblclick: () => close(result()),
        })));
        none.hidden = shown.length > 0;
        if (!shown.includes(selected)) selected = shown[0] ?? null;
        select(selected);
      }
      const move = (event) => {
        const steps = { ArrowDown: 1, ArrowUp: -1, PageDown: 8, PageUp: -8 };
        if (!(event.key in steps) || shown.length === 0) return;
        event.preventDefault();
        const index = Math.max(0, Math.min(shown.length - 1, shown.indexOf(selected) + steps[event.key]));
        select(shown[index]);
      };
      search.addEventListener("input", drawList);
      search.addEventListener("keydown", move);
      list.addEventListener("keydown", move);

      const toggle = (text, set) => el("label", { class: "check" },
        el("input", { type: "checkbox", onchange: (event) => { set(event.target.checked); drawSample(); } }),
        el("span", { text }));
      box.append(
        search, list, none,
        el("div", { class: "font-options" },
          toggle(label.bold, (on) => { bold = on; }),
          toggle(label.italic, (on) => { italic = on; }),
          el("span", { class: "font-size", text: `${label.size}: ${pointSize} ${label.points}` })),
        sample,
        buttonRow([
          { id: "ok", label: label.ok, primary: true, onclick: () => selected !== null && close(result()) },
          { id: "cancel", label: label.cancel, onclick: () => close(null) },
        ]),
      );
      drawList();
    },
  });
}
