// The colour dialog: basic colours, the 16 custom colours the host keeps, a hue and shade
// picker and a hex field.

import { label } from "../labels.js";
import { cssColor } from "../players.js";
import { buttonRow, el, roveGrid, showModal } from "./modal.js";

const basicColors = [
  0xff8080, 0xffff80, 0x80ff80, 0x00ff80, 0x80ffff, 0x0080ff, 0xff80c0, 0xff80ff,
  0xff0000, 0xffff00, 0x80ff00, 0x00ff40, 0x00ffff, 0x0080c0, 0x8080c0, 0xff00ff,
  0x804040, 0xff8040, 0x00ff00, 0x008080, 0x004080, 0x8080ff, 0x800040, 0xff0080,
  0x800000, 0xff8000, 0x008000, 0x008040, 0x0000ff, 0x0000a0, 0x800080, 0x8000ff,
  0x400000, 0x804000, 0x004000, 0x004040, 0x000080, 0x000040, 0x400040, 0x400080,
  0x000000, 0x808000, 0x808040, 0x808080, 0x408080, 0xc0c0c0, 0x400040, 0xffffff,
];

// Hue in degrees, saturation and value from 0 to 1.
export function rgbToHsv(color) {
  const r = ((color >> 16) & 0xff) / 255;
  const g = ((color >> 8) & 0xff) / 255;
  const b = (color & 0xff) / 255;
  const max = Math.max(r, g, b);
  const delta = max - Math.min(r, g, b);
  let h = 0;
  if (delta > 0) {
    if (max === r) h = ((g - b) / delta) % 6;
    else if (max === g) h = (b - r) / delta + 2;
    else h = (r - g) / delta + 4;
  }
  return { h: (h * 60 + 360) % 360, s: max === 0 ? 0 : delta / max, v: max };
}

export function hsvToRgb({ h, s, v }) {
  const channel = (n) => {
    const k = (n + h / 60) % 6;
    return Math.round(255 * (v - v * s * Math.max(0, Math.min(k, 4 - k, 1))));
  };
  return (channel(5) << 16) | (channel(3) << 8) | channel(1);
}

// "#5a189a", "5A189A" or "#abc" as a colour; null for anything else.
export function parseHex(text) {
  const match = /^#?([0-9a-f]{3}|[0-9a-f]{6})$/i.exec(String(text).trim());
  if (!match) return null;
  const digits = match[1].length === 3 ? [...match[1]].map((d) => d + d).join("") : match[1];
  return parseInt(digits, 16);
}

function swatch(color, { onclick, name, selected = false }) {
  return el("button", {
    type: "button", class: "swatch", onclick, "aria-label": `${name} ${cssColor(color)}`,
    "aria-pressed": selected ? "true" : "false", style: `background:${cssColor(color)}`,
  });
}

// Resolves with { color, customColors }: color null on Cancel; the custom colours as the
// user left them either way. hint is the colour to start from when none is given.
export async function chooseColor({ color, customColors }, hint = null) {
  const custom = Array.from({ length: 16 }, (_, i) => (Number.isInteger(customColors?.[i]) ? customColors[i] : 0xffffff));
  let current = Number.isInteger(color) ? color : Number.isInteger(hint) ? hint : 0xffffff;
  const chosen = await showModal({
    title: label.chooseColor,
    className: "color-dialog",
    escape: null,
    // Enter confirms, wherever the focus is but on a button (which presses itself).
    onKey(event, close) {
      if (event.key !== "Enter" || event.target.tagName === "BUTTON") return false;
      if (event.target.classList.contains("hex-field") && parseHex(event.target.value) === null) return true;
      close(current);
      return true;
    },
    build(box, close) {
      let hsv = rgbToHsv(current);
      let customSlot = -1;  // the custom colour chosen last, which "add" replaces
      let nextSlot = 0;

      const basicGrid = el("div", { class: "swatches basic", role: "group", "aria-label": label.basicColors });
      const customGrid = el("div", { class: "swatches custom", role: "group", "aria-label": label.customColors });
      const area = el("div", { class: "shade-area", tabindex: "0", role: "slider", "aria-label": label.shade });
      const knob = el("div", { class: "shade-knob" });
      area.append(knob);
      const hue = el("input", { type: "range", min: "0", max: "359", class: "hue-slider", "aria-label": label.hue });
      const hex = el("input", { type: "text", class: "hex-field", spellcheck: "false", maxlength: "7", "aria-label": label.hex });
      const preview = el("div", { class: "color-preview", "aria-hidden": "true" });

      function update({ fromHsv = false, keepHex = false } = {}) {
        if (fromHsv) {
          current = hsvToRgb(hsv);
        } else {
          // A grey has no hue of its own: the slider stays where it was.
          const next = rgbToHsv(current);
          if (next.s === 0 || next.v === 0) next.h = hsv.h;
          hsv = next;
        }
        area.style.setProperty("--hue", String(hsv.h));
        knob.style.left = `${hsv.s * 100}%`;
        knob.style.top = `${(1 - hsv.v) * 100}%`;
        area.setAttribute("aria-valuetext", cssColor(current));
        hue.value = String(Math.round(hsv.h));
        if (!keepHex) hex.value = cssColor(current);
        preview.style.background = cssColor(current);
      }
      const pick = (value) => {
        current = value;
        update();
      };

      basicColors.forEach((value, i) =>
        basicGrid.append(swatch(value, { name: `${label.basicColors} ${i + 1}`, onclick: () => pick(value) })));
      roveGrid(basicGrid, 8);
      function drawCustom() {
        customGrid.replaceChildren(...custom.map((value, i) => swatch(value, {
          name: `${label.customColors} ${i + 1}`,
          selected: i === customSlot,
          onclick: () => {
            customSlot = i;
            pick(value);
            drawCustom();
            customGrid.children[i].focus();
          },
        })));
        roveGrid(customGrid, 8);
      }
      drawCustom();

      const shadeAt = (event) => {
        const box = area.getBoundingClientRect();
        hsv.s = Math.min(1, Math.max(0, (event.clientX - box.left) / box.width));
        hsv.v = 1 - Math.min(1, Math.max(0, (event.clientY - box.top) / box.height));
        update({ fromHsv: true });
      };
      area.addEventListener("pointerdown", (event) => {
        area.setPointerCapture(event.pointerId);
        area.focus();
        shadeAt(event);
      });
      area.addEventListener("pointermove", (event) => {
        if (area.hasPointerCapture(event.pointerId)) shadeAt(event);
      });
      area.addEventListener("keydown", (event) => {
        const step = event.shiftKey ? 0.1 : 0.02;
        const moves = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, step], ArrowDown: [0, -step] };
        if (!moves[event.key]) return;
        event.preventDefault();
        hsv.s = Math.min(1, Math.max(0, hsv.s + moves[event.key][0]));
        hsv.v = Math.min(1, Math.max(0, hsv.v + moves[event.key][1]));
        update({ fromHsv: true });
      });
      hue.addEventListener("input", () => {
        hsv.h = Number(hue.value);
        update({ fromHsv: true });
      });
      hex.addEventListener("input", () => {
        const value = parseHex(hex.value);
        hex.setAttribute("aria-invalid", value === null ? "true" : "false");
        if (value !== null) {
          current = value;
          update({ keepHex: true });
        }
      });
      const addCustom = el("button", {
        type: "button", class: "add-custom", text: label.addCustom,
        onclick: () => {
          const slot = customSlot >= 0 ? customSlot : nextSlot;
          custom[slot] = current;
          if (customSlot < 0) nextSlot = (nextSlot + 1) % 16;
          drawCustom();
        },
      });

      box.append(
        el("div", { class: "color-layout" },
          el("div", { class: "color-lists" },
            el("h3", { text: label.basicColors }), basicGrid,
            el("h3", { text: label.customColors }), customGrid, addCustom),
          el("div", { class: "color-picker" },
            area, hue,
            el("label", { class: "hex-row" }, el("span", { text: label.hex }), hex, preview))),
        buttonRow([
          { id: "ok", label: label.ok, primary: true, onclick: () => close(current) },
          { id: "cancel", label: label.cancel, onclick: () => close(null) },
        ]),
      );
      update();
    },
  });
  return { color: chosen ?? null, customColors: custom };
}
