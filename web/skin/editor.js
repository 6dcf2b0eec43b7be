// What the host's "editor" event tells the skin: the template chosen, the replacements
// of its fonts, pictures and sounds, whether it can undo, and how the last command ended.

import { label } from "../labels.js";
import { fileName } from "../skin-data.js";

const kindOf = { selectFont: "font", selectImage: "image", selectMp3: "mp3", restoreFont: "font", restoreImage: "image", restoreMp3: "mp3", fitImage: "image" };

// The replacement of a slot ({ label, preview, face }, and a picture's fit), or null for
// the template's own.
// own (the event's "own") names the thumbnails of the template's own pictures: a slot
// without a replacement that has one is { label: null, preview, own: true }.
export function choiceOf(choices, kind, name, own = undefined) {
  const chosen = choices?.[kind]?.[name];
  if (kind === "font" && chosen?.face) return { label: String(chosen.face), face: String(chosen.face), preview: "" };
  if (kind === "image" && chosen?.file) return { label: fileName(chosen.file), preview: String(chosen.preview ?? ""), fit: String(chosen.fit ?? "cover") };
  if (kind !== "font" && chosen?.file) return { label: fileName(chosen.file), preview: String(chosen.preview ?? "") };
  const thumbnail = own?.[kind]?.[name];
  return typeof thumbnail === "string" && thumbnail !== "" ? { label: null, preview: thumbnail, own: true } : null;
}

// The status line for the command an event answers: { text, tone }, or null to leave it
// as it is. time is the clock's "12:03"; title the chosen template's (a movie opened).
export function statusOf(last, time, title = "") {
  if (!last) return null;
  const { command, outcome } = last;
  const failed = outcome === "failed";
  if (command === "apply") {
    return failed ? { text: label.previewFailed, tone: "error" } : { text: label.previewUpdated(time), tone: "" };
  }
  if (command === "save" || (command === "clicked" && last.args === "save")) {
    if (outcome === "done") return { text: label.saved(fileName(last.saved ?? ""), time), tone: "ok" };
    return failed ? { text: label.notSaved, tone: "error" } : null;
  }
  if (command === "undo" || command === "redo") {
    if (outcome === "unchanged") return { text: command === "undo" ? label.nothingToUndo : label.nothingToRedo, tone: "" };
    return failed ? null : { text: (command === "undo" ? label.undone : label.redone)(time), tone: "" };
  }
  const kind = kindOf[command];
  if (kind && failed) return { text: label[`notUsed.${kind}`], tone: "error" };
  if (kind && outcome === "done" && command.startsWith("restore")) {
    return { text: label[`ownAgain.${kind}`](time), tone: "" };
  }
  if (command === "selectMovie" && failed) return { text: label.templateFailed, tone: "error" };
  if (command === "openMovie") {
    if (outcome === "done") return { text: label.opened(title || label.theMovie, time), tone: "ok" };
    return failed ? { text: label.movieFailed, tone: "error" } : null;
  }
  return null;
}

// The status line while a save writes the file the user chose (the save dialog's
// answer): a video takes seconds to a minute, so it says which one is being made; null
// for a movie or a page, which are written at once.
export function savingStatusOf(chosen) {
  if (typeof chosen !== "string" || !/\.(mp4|gif)$/i.test(chosen)) return null;
  return { text: label.savingVideo(fileName(chosen)), tone: "" };
}

// Whether the preview needs the form applied after the command: a new font, picture,
// sound, picture's fit or colour is shown by the next apply (undo and redo rebuild it themselves).
export function needsApply(last) {
  if (!last || last.outcome !== "done") return false;
  return last.command === "selectColor" || last.command in kindOf;
}

// Whether the skin shows the template an event names. While the user's choice of a
// template is in flight, an event answering an earlier command still names the one
// before: only the answer to that choice counts. selecting: template choices in flight.
export function followsTemplate(event, selecting) {
  if (!event || selecting > 1) return false;
  return selecting === 0 || event.last?.command === "selectMovie";
}
