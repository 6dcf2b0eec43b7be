// The fullscreen view: a surface of the movie's background colour over everything,
// holding the fullscreen movie and its close button. The browser's own fullscreen is
// asked for too; leaving it (the browser takes Escape for that) closes the view.

import { cssColor } from "./players.js";
import { el } from "./dialogs/modal.js";
import { label } from "./labels.js";

export class FullscreenView {
  // onEscape() tells the host the user wants the view closed.
  constructor(surface, onEscape) {
    this.surface = surface;
    this.onEscape = onEscape;
    this.isOpen = false;
    this.escapeSent = false;
    this.ownsBrowserFullscreen = false;
    document.addEventListener("fullscreenchange", () => {
      if (!document.fullscreenElement && this.ownsBrowserFullscreen) {
        this.ownsBrowserFullscreen = false;
        if (this.isOpen) this.escape();
      }
    });
  }

  open(background, players) {
    this.isOpen = true;
    this.escapeSent = false;
    this.players = players;
    this.surface.style.backgroundColor = cssColor(background);
    this.surface.hidden = false;
    const root = document.documentElement;
    if (!document.fullscreenElement && root.requestFullscreen) {
      root.requestFullscreen({ navigationUI: "hide" }).then(() => {
        this.ownsBrowserFullscreen = true;
        if (!this.isOpen) this.leaveBrowserFullscreen();
      }, () => {
        // Without a recent click the browser refuses: the view fills the window instead.
      });
    }
  }

  close() {
    if (!this.isOpen) return;
    this.isOpen = false;
    this.surface.hidden = true;
    for (const player of this.players ?? []) player.unload();
    this.leaveBrowserFullscreen();
  }

  leaveBrowserFullscreen() {
    if (this.ownsBrowserFullscreen && document.fullscreenElement) {
      this.ownsBrowserFullscreen = false;
      document.exitFullscreen().catch(() => {});
    }
  }

  // Escape once per opening: the key and the browser leaving fullscreen may both come.
  escape() {
    if (!this.isOpen || this.escapeSent) return;
    this.escapeSent = true;
    this.onEscape();
  }
}

// The close button shown when the installation has no "button.swf": a round button
// filling the ellipse the host clips the player to.
export function roundCloseButton(onClose) {
  const button = el("button", { type: "button", class: "round-close", "aria-label": label.close, title: label.close, onclick: onClose });
  button.innerHTML = '<svg viewBox="0 0 40 40" aria-hidden="true"><path d="M13 13l14 14M27 13L13 27" stroke="currentColor" stroke-width="3.5" stroke-linecap="round"/></svg>';
  return { element: el("div", { class: "built-in-button" }, button) };
}
