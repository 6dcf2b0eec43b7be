// Message boxes: a caption, a text (line breaks kept), an icon and a row of buttons.

import { label } from "../labels.js";
import { buttonRow, el, showModal } from "./modal.js";

const buttonSets = {
  ok: ["ok"],
  okCancel: ["ok", "cancel"],
  yesNo: ["yes", "no"],
  yesNoCancel: ["yes", "no", "cancel"],
  retryCancel: ["retry", "cancel"],
};

// What Escape answers: Cancel where the box has one, OK where it has only OK, else
// nothing (a yes/no question must be answered).
export function escapeAnswer(buttons) {
  const set = buttonSets[buttons] ?? buttonSets.ok;
  if (set.includes("cancel")) return "cancel";
  return set.length === 1 ? "ok" : undefined;
}

const iconPaths = {
  error: '<circle cx="16" cy="16" r="14" fill="#d64545"/><path d="M11 11l10 10M21 11L11 21" stroke="#fff" stroke-width="3" stroke-linecap="round"/>',
  warning: '<path d="M16 3L30 28H2z" fill="#e8a317" stroke="#e8a317" stroke-width="2" stroke-linejoin="round"/><path d="M16 12v7" stroke="#1b1b1b" stroke-width="3" stroke-linecap="round"/><circle cx="16" cy="23.5" r="1.8" fill="#1b1b1b"/>',
  information: '<circle cx="16" cy="16" r="14" fill="#2f6fdb"/><circle cx="16" cy="10" r="2" fill="#fff"/><path d="M16 15v9" stroke="#fff" stroke-width="3" stroke-linecap="round"/>',
  question: '<circle cx="16" cy="16" r="14" fill="#2f6fdb"/><path d="M12 12.5a4 4 0 1 1 5.5 3.7c-1 .5-1.5 1.2-1.5 2.3v1" stroke="#fff" stroke-width="3" fill="none" stroke-linecap="round"/><circle cx="16" cy="23.5" r="1.8" fill="#fff"/>',
};

export function iconElement(icon) {
  const paths = iconPaths[icon];
  if (!paths) return null;
  const holder = el("div", { class: `message-icon icon-${icon}`, "aria-hidden": "true" });
  holder.innerHTML = `<svg viewBox="0 0 32 32" width="32" height="32">${paths}</svg>`;
  return holder;
}

export function messageBox({ caption, text, icon, buttons }) {
  const set = buttonSets[buttons] ?? buttonSets.ok;
  return showModal({
    title: caption || "Tarvenox",
    className: "message-box",
    escape: escapeAnswer(buttons),
    build(box, close) {
      box.setAttribute("role", icon === "error" || icon === "warning" ? "alertdialog" : "dialog");
      box.append(
        el("div", { class: "message-body" }, iconElement(icon), el("p", { class: "message-text", text: String(text ?? "") })),
        buttonRow(set.map((id, index) => ({ id, label: label[id], primary: index === 0, onclick: () => close(id) }))),
      );
    },
  });
}
