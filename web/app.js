// The page: the players on the stage, the fullscreen view and the dialogs, driven by the
// host's messages over the channel; what the user does goes back as events.

import { Channel, socketUrl } from "./channel.js";
import { chooseColor } from "./dialogs/color.js";
import { chooseFile } from "./dialogs/files.js";
import { chooseFont } from "./dialogs/font.js";
import { messageBox } from "./dialogs/message.js";
import { closeAllDialogs, isDialogOpen } from "./dialogs/modal.js";
import { FullscreenView, roundCloseButton } from "./fullscreen.js";
import { label, language } from "./labels.js";
import { Player, ScreenMap, flashVersion32, loadRuffle } from "./players.js";
import { BuiltInSkin } from "./skin.js";

const screenMap = new ScreenMap();
// The page speaks the host's language, so the browser reads it (and offers to translate) as such.
document.documentElement.lang = language;
const stage = document.getElementById("stage");
const surface = document.getElementById("fullscreen");
const notice = document.getElementById("notice");

let skin = null;
// The templates' server ("http://127.0.0.1:PORT/s/KEY/"), where the thumbnails play
// from, as the host tells it once asked; "" when it cannot be had.
let templateOrigin = null;
const templateAddress = () => (templateOrigin ??= channel.request({ type: "templateOrigin" }).then((url) => String(url ?? ""), () => {
  templateOrigin = null;
  return "";
}));
const sendCommand = (player, command, args) => channel.send({ type: "fsCommand", player, command, args });

const players = {
  skin: new Player("skin", stage, screenMap, {
    onCommand: sendCommand,
    trusted: true,
    builtIn: () => {
      skin = new BuiltInSkin({
        send: (command, args) => sendCommand("skin", command, args),
        fetchWork: async (name) => {
          const answer = await fetch(`work/${encodeURIComponent(name)}`, { cache: "no-store" }).catch(() => null);
          return answer?.ok ? new Uint8Array(await answer.arrayBuffer()) : null;
        },
        templateUrl: async (name) => {
          const base = await templateAddress();
          return base ? new URL(encodeURIComponent(name), base).href : "";
        },
      });
      return skin;
    },
  }),
  viewer: new Player("viewer", stage, screenMap, { onCommand: sendCommand, template: true }),
  fullscreenMovie: new Player("fullscreenMovie", surface, screenMap, { onCommand: sendCommand, template: true }),
  fullscreenButton: new Player("fullscreenButton", surface, screenMap, {
    onCommand: sendCommand,
    trusted: true,
    builtIn: () => roundCloseButton(() => sendCommand("fullscreenButton", "close", "")),
  }),
};
players.viewer.hide();

const fullscreen = new FullscreenView(surface, () => channel.send({ type: "escape", window: "fullscreen" }));

const playerOf = (message) => players[message.player] ?? null;
const listFolder = (path, patterns) => channel.request({ type: "listFolder", path, patterns });

// The skin sees every message first (it follows its commands through them); the
// dialogs it opened tell it what was chosen.
async function dialog(run) {
  const result = await run(skin?.hint() ?? null);
  skin?.answered(result);
  return result;
}

const requests = {
  // Once the host has laid out the skin, it is told the screen of that layout: a tab of
  // another size that took over shows the same layout stretched to its window, where a
  // preview placed for its own screen would land beside the skin's frame.
  screenSize: () => {
    if (!screenMap.laidOut) {
      screenMap.width = screen.width;
      screenMap.height = screen.height;
    }
    return { width: screenMap.width, height: screenMap.height };
  },
  getVariable: (m) => playerOf(m)?.getVariable(String(m.name)) ?? "",
  getVariables: (m) => (Array.isArray(m.names) ? m.names : []).map((name) => playerOf(m)?.getVariable(String(name)) ?? ""),
  flashVersion: async () => ((await loadRuffle()) ? flashVersion32 : 0),
  messageBox: (m) => messageBox(m),
  chooseColor: (m) => dialog((hint) => chooseColor(m, hint)),
  chooseFont: (m) => dialog((hint) => chooseFont(m, hint)),
  openFile: (m) => dialog(() => chooseFile("open", m, listFolder)),
  saveFile: (m) => dialog(() => chooseFile("save", m, listFolder)),
};

const events = {
  title: (m) => {
    document.title = String(m.text);
  },
  movie: (m) => playerOf(m)?.load(String(m.url ?? "")),
  backgroundColor: (m) => playerOf(m)?.setBackground(m.color),
  scale: (m) => playerOf(m)?.setScale(m.mode),
  setVariable: (m) => playerOf(m)?.setVariable(String(m.name), String(m.value ?? "")),
  // The host lays the skin over the whole screen it laid out for: that rectangle, not this
  // window's screen, is what the stage maps (a tab of another size that took over).
  place: (m) => {
    if (m.player === "skin" && screenMap.fit(m)) for (const player of Object.values(players)) player.replace();
    playerOf(m)?.place(m);
  },
  show: (m) => playerOf(m)?.show(),
  hide: (m) => playerOf(m)?.hide(),
  openFullscreen: (m) => fullscreen.open(m.background, [players.fullscreenMovie, players.fullscreenButton]),
  closeFullscreen: () => fullscreen.close(),
  minimize: () => {},
  // The help is the installation's; a browser that refuses the new tab (no click just
  // before) gets a link to it in the notice. "noopener" would make window.open answer
  // null even when the tab opens, so the new tab is cut off from this page afterwards.
  openHelp: (m) => {
    const url = String(m.url ?? "");
    const help = url === "" ? null : window.open(url, "_blank");
    if (help) help.opener = null;
    else showNotice(url === "" ? label.noHelp : label.helpBlocked, url === "" ? 6000 : 8000, url);
  },
  quit: () => channel.end(),
};

let noticeTimer = 0;
// A line over the page; with a time it goes by itself, with a link it offers one.
function showNotice(text, forMs = 0, link = "") {
  clearTimeout(noticeTimer);
  notice.replaceChildren(text);
  if (link) {
    const anchor = Object.assign(document.createElement("a"), { href: link, target: "_blank", rel: "noopener", textContent: label.openHelp });
    notice.append(" ", anchor);
  }
  notice.hidden = !text;
  if (forMs > 0) noticeTimer = setTimeout(() => showNotice(""), forMs);
}

const channel = new Channel(socketUrl(location.href), {
  request(message) {
    skin?.observe(message);
    return requests[message.type]?.(message) ?? null;
  },
  event(message) {
    skin?.observe(message);
    events[message.type]?.(message);
  },
  state(name, connections) {
    document.body.dataset.connection = name;
    if (name === "connected") {
      showNotice("");
      // The host sends its whole state to a page that connects: what this page still
      // shows from before is put away first.
      if (connections > 1) {
        closeAllDialogs();
        fullscreen.close();
        skin?.reset();
      }
    } else if (name === "connecting") {
      if (channel.connections > 0) showNotice(label.connecting);
    } else {
      closeAllDialogs();
      fullscreen.close();
      for (const player of Object.values(players)) player.freeze();
      showNotice(name === "replaced" ? label.replaced : label.ended);
    }
  },
});

// Escape outside a dialog is the user's, for the host (it closes the fullscreen view).
// Undo and redo go to the host for an interface movie, which has no such keys of its own
// (the built-in skin handles them itself).
window.addEventListener("keydown", (event) => {
  if (isDialogOpen()) return;
  if (event.key === "Escape") {
    if (fullscreen.isOpen) fullscreen.escape();
    else channel.send({ type: "escape", window: "main" });
    return;
  }
  const step = historyKey(event);
  if (step && players.skin.url !== "" && !fullscreen.isOpen) {
    event.preventDefault();
    sendCommand("skin", step, "");
  }
}, true);

// "undo" for Ctrl+Z, "redo" for Ctrl+Shift+Z and Ctrl+Y, else null.
function historyKey(event) {
  if (!(event.ctrlKey || event.metaKey) || event.altKey) return null;
  const key = event.key.toLowerCase();
  if (key === "z") return event.shiftKey ? "redo" : "undo";
  return key === "y" && !event.shiftKey ? "redo" : null;
}

loadRuffle();
channel.connect();

// For the tests and for looking into a running page from the browser's console.
window.tarvenox = { players, channel, fullscreen, get skin() { return skin; } };
