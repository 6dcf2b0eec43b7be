// The form's own fields: one line of text, several lines, a number, a switch. Each
// shows the value the host set and reports what the user changes.

import { el } from "../dialogs/modal.js";
import { formText } from "../skin-data.js";

// Whether a number field may hold the text while it is typed: digits with one decimal
// point or comma and a sign in front; "", "-" and "3," are on the way to a number.
export const partialNumber = (text) => /^[+-]?\d*(?:[.,]\d*)?$/.test(text.trim());

// A number field's value for the movie: a decimal comma, as many write it, is a point.
export const numberValue = (text) => text.trim().replace(",", ".");

// row: { kind, name, label } of the template's form; value: the variable's text;
// changed(text): the user changed it. Returns { element, show(text, force) }; show leaves
// a field the user is typing in alone unless force says the host's value wins (undo).
export function formField(row, id, value, changed) {
  const title = el("span", { class: "field-label", text: row.label });
  if (row.kind === "bool") {
    const input = el("input", { id, type: "checkbox", role: "switch" });
    const show = (text) => {
      input.checked = text === "true";
    };
    show(value);
    input.addEventListener("change", () => changed(input.checked ? "true" : "false"));
    const element = el("label", { class: "field tile kind-bool", for: id }, title, input, el("span", { class: "switch", "aria-hidden": "true" }));
    return { element, show };
  }
  const number = row.kind === "number";
  const input = row.kind === "textarea"
    ? el("textarea", { id, rows: "2", spellcheck: "true" })
    : el("input", { id, type: "text", inputmode: number ? "decimal" : undefined, spellcheck: number ? "false" : "true" });
  let accepted = "";
  const show = (text, force = false) => {
    if (!force && document.activeElement === input) return;
    input.value = formText(text);
    accepted = input.value;
  };
  show(value);
  input.addEventListener("input", () => {
    if (number && !partialNumber(input.value)) {
      // A letter is refused as it is typed: the field keeps what it had, the caret where it was.
      const caret = Math.max(0, (input.selectionStart ?? 0) - (input.value.length - accepted.length));
      input.value = accepted;
      input.setSelectionRange(caret, caret);
      return;
    }
    accepted = input.value;
    changed(number ? numberValue(input.value) : input.value);
  });
  const element = el("label", { class: `field ${number ? "tile" : "wide"} kind-${row.kind}`, for: id }, title, input);
  return { element, show };
}
