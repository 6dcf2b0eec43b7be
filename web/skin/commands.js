// The skin's commands in flight, and when the form's changes go to the preview.
//
// After each command that makes the host work the skin sends "showViewer" (or
// "hideViewer" while no template is chosen); the host handles the page's messages in
// order and answers it with "show" (or "hide") for the viewer once the command is done,
// so each of those answers ends the oldest command in flight. What the command came to
// the host says in its "editor" event.
//
// A change of the form is applied at once when nothing is in flight; changes made while
// a command runs are applied once, as one, when the last one ends. So the preview
// follows typing as fast as the host rebuilds it, and never more than one apply waits.

export class Commands {
  // send(command, args) hands a command to the host; barrier() names the command that
  // marks the end ("showViewer" or "hideViewer"); onBusy(busy) shows whether a command
  // has run longer than busyDelayMs.
  constructor({ send, barrier, onBusy = () => {}, busyDelayMs = 500, setTimer = (run, ms) => setTimeout(run, ms), clearTimer = (id) => clearTimeout(id) }) {
    Object.assign(this, { send, barrier, onBusy, busyDelayMs, setTimer, clearTimer });
    this.pending = [];
    this.dirty = false;      // the form changed since its last apply
    this.canApply = false;   // a form is shown
  }

  run(command, args, kind) {
    this.send(command, args);
    const entry = this.awaitBarrier(kind, command, args);
    if (kind === "apply") this.watchBusy(entry);
    return entry;
  }

  // Sends the barrier alone (the preview shown for a template the host chose by itself);
  // its answer ends it like a command's.
  awaitBarrier(kind, command = "", args = "") {
    const entry = { command, args, kind, busyTimer: 0, busy: false };
    this.pending.push(entry);
    this.send(this.barrier(command), "");
    return entry;
  }

  has(kind) {
    return this.pending.some((entry) => entry.kind === kind);
  }

  get first() {
    return this.pending[0] ?? null;
  }

  // The host answered the oldest command's barrier.
  ended() {
    const entry = this.pending.shift();
    if (!entry) return;
    this.clearTimer(entry.busyTimer);
    this.showBusy();
    if (this.pending.length === 0) this.applyIfChanged();
  }

  // The form changed: apply now, or when what is in flight has ended.
  changed() {
    this.dirty = true;
    if (this.pending.length === 0) this.applyIfChanged();
  }

  // Applies what is typed before a command that must see it (undo, redo, fullscreen).
  flush() {
    this.applyIfChanged();
  }

  apply() {
    if (!this.canApply) return;
    this.dirty = false;
    this.run("apply", "", "apply");
  }

  applyIfChanged() {
    if (this.dirty) this.apply();
  }

  // A dialog of the command in flight was answered: a save works from the moment its
  // file is chosen.
  answered(result) {
    const entry = this.first;
    if (entry?.kind === "save" && result) this.watchBusy(entry);
  }

  watchBusy(entry) {
    this.clearTimer(entry.busyTimer);
    entry.busyTimer = this.setTimer(() => {
      entry.busy = true;
      this.showBusy();
    }, this.busyDelayMs);
  }

  showBusy() {
    this.onBusy(this.pending.some((entry) => entry.busy));
  }

  // A new connection: the host sends everything again, commands in flight are gone.
  reset() {
    for (const entry of this.pending) this.clearTimer(entry.busyTimer);
    this.pending = [];
    this.showBusy();
  }
}
