// The form's choosers: a colour (swatch and hex), a font (the face's name drawn in it), a
// picture (a thumbnail and the file's name), music (the file's name and a play button).
// A replaced font, picture or music offers the template's own back; a replaced picture
// offers how it fills its slot.

import { faceFamily } from "../dialogs/font.js";
import { el } from "../dialogs/modal.js";
import { label } from "../labels.js";
import { cssColor } from "../players.js";

const icons = { font: "Aa", image: "▣", mp3: "♪" };
// How a chosen picture fills its slot, as the host names it (its words are short: the
// choice sits beside the picture in a half-width row; its title says more).
const fits = ["cover", "contain", "stretch"];

function chooserButton(row, id, kind, icon, choice, pick) {
  return el("button", { type: "button", id, class: `chooser kind-${kind}`, onclick: pick },
    icon, el("span", { class: "chooser-text" }, el("span", { class: "field-label", text: row.label }), choice));
}

// A colour variable: show(text) takes the variable's value (decimal 0xRRGGBB).
export function colorChooser(row, id, value, pick) {
  const swatch = el("span", { class: "swatch-view", "aria-hidden": "true" });
  const hex = el("span", { class: "choice" });
  const show = (text) => {
    const color = Number(text);
    const known = text !== "" && Number.isFinite(color);
    swatch.style.background = known ? cssColor(color) : "transparent";
    hex.textContent = known ? cssColor(color) : "—";
  };
  show(value);
  const element = el("div", { class: "field tile chooser-field kind-color" }, chooserButton(row, id, "color", swatch, hex, pick));
  return { element, show };
}

// A font, picture or sound of the template: show(choice) takes the replacement
// ({ label, face, preview, fit } with preview a file of the working folder), the
// template's own picture ({ own: true, preview }: its thumbnail) or null.
// workUrl(name) is the address of a file of the working folder; fit(name) tells a
// picture's new fit.
export function slotChooser(row, id, { pick, restore, fit, workUrl }) {
  const kind = row.kind;
  const icon = el("span", { class: `choice-icon icon-${kind}`, "aria-hidden": "true", text: icons[kind] });
  const choice = el("span", { class: "choice" });
  const restoreButton = el("button", {
    type: "button", class: "restore", text: "↺",
    title: label[`useOwn.${kind}`], "aria-label": label[`own.${kind}`](row.label),
    onclick: restore,
  });
  const player = kind === "mp3" ? soundButton(row.label) : null;
  const fitChoice = kind === "image" ? fitSelect(row.label, fit) : null;
  const element = el("div", { class: `field tile chooser-field kind-${kind}` },
    chooserButton(row, id, kind, icon, choice, pick), fitChoice, player?.button, restoreButton);

  const show = (shown) => {
    const chosen = shown?.own ? null : shown;
    choice.textContent = chosen?.label ?? label.fromTemplate;
    choice.classList.toggle("unchanged", !chosen);
    if (kind === "font") choice.style.fontFamily = chosen ? faceFamily(chosen.face) : "";
    restoreButton.hidden = !chosen;
    if (fitChoice) {
      // Only a chosen picture is fitted: the template's own keeps its place.
      fitChoice.hidden = !chosen;
      fitChoice.value = chosen?.fit ?? "cover";
    }
    const preview = shown?.preview ? workUrl(shown.preview) : "";
    if (kind === "image") {
      icon.replaceChildren(preview ? el("img", { class: "choice-thumb", src: preview, alt: "" }) : icons.image);
      icon.classList.toggle("has-thumb", Boolean(preview));
    }
    player?.setSource(preview);
  };
  show(null);
  return { element, show };
}

// The choice of a picture's fit; tell(name) hears a change.
function fitSelect(name, tell) {
  const select = el("select", { class: "fit", title: label.fitHint, "aria-label": label.fitOf(name), hidden: true },
    ...fits.map((value) => el("option", { value, text: label[`fit.${value}`] })));
  select.addEventListener("change", () => tell(select.value));
  return select;
}

// A play button for the chosen music; it stops at the end or when pressed again.
function soundButton(name) {
  let audio = null;
  const button = el("button", { type: "button", class: "play", text: "▶", hidden: true, "aria-label": label.play(name), "aria-pressed": "false" });
  const stopped = () => {
    button.textContent = "▶";
    button.setAttribute("aria-pressed", "false");
  };
  button.addEventListener("click", () => {
    if (!audio) return;
    if (audio.paused) {
      audio.currentTime = 0;
      audio.play().then(() => {
        button.textContent = "■";
        button.setAttribute("aria-pressed", "true");
      }, stopped);
    } else {
      audio.pause();
      stopped();
    }
  });
  const setSource = (url) => {
    if ((audio?.src ?? "") === (url ? new URL(url, location.href).href : "")) return;
    audio?.pause();
    stopped();
    audio = url ? new Audio(url) : null;
    audio?.addEventListener("ended", stopped);
    button.hidden = !audio;
  };
  return { button, setSource };
}
