// The skin's keyboard shortcuts: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, Ctrl+S
// saves, Ctrl+Enter applies (Cmd for Ctrl on a Mac keyboard).

// The action a key press asks for, or null.
export function shortcut({ key, ctrlKey = false, metaKey = false, shiftKey = false, altKey = false }) {
  if (!(ctrlKey || metaKey) || altKey) return null;
  const lower = String(key).toLowerCase();
  if (lower === "z") return shiftKey ? "redo" : "undo";
  if (lower === "y" && !shiftKey) return "redo";
  if (lower === "s" && !shiftKey) return "save";
  if (key === "Enter") return "apply";
  return null;
}

// Calls run(action) for the shortcuts pressed anywhere on the page while active() says
// they apply (not under a dialog or the fullscreen view). Returns what stops listening.
export function listenForShortcuts(run, active) {
  const listener = (event) => {
    const action = shortcut(event);
    if (!action || !active()) return;
    event.preventDefault();
    run(action);
  };
  document.addEventListener("keydown", listener);
  return () => document.removeEventListener("keydown", listener);
}
