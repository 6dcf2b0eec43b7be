// What happens between the user's input and the changed preview, seen from outside the
// page: the messages on the page's WebSocket to the host and the movies the page loads,
// each with its time. Printed with --trace to tell the host's share from the player's.
import { readdirSync, readFileSync } from "node:fs";
import { performance } from "node:perf_hooks";

const epochNow = () => performance.timeOrigin + performance.now();

export class Timeline {
  constructor(tab) {
    this.events = [];
    tab.on("websocket", (socket) => {
      socket.on("framesent", ({ payload }) => this.note("page→host", payload));
      socket.on("framereceived", ({ payload }) => this.note("host→page", payload));
    });
    tab.on("request", (request) => {
      if (/\.swf(\?|$)/.test(request.url())) this.note("movie asked", new URL(request.url()).pathname.split("/").pop());
    });
    tab.on("requestfinished", (request) => {
      if (/\.swf(\?|$)/.test(request.url())) this.note("movie loaded", new URL(request.url()).pathname.split("/").pop());
    });
  }

  note(kind, payload) {
    let what = String(payload);
    try {
      const message = JSON.parse(what);
      what = [message.type ?? message.method ?? "", message.command ?? message.name ?? message.player ?? "",
        message.args ?? message.url ?? message.value ?? ""].filter((part) => part !== "").map(String).join(" ");
    } catch {
      // not JSON: kept as it came
    }
    this.events.push({ at: epochNow(), kind, what: what.slice(0, 80) });
  }

  // The events from `from` on, as lines "+123 ms kind what", with the preview's change.
  lines(from, shownAfter) {
    const rows = this.events.filter((event) => event.at >= from - 1).map((event) => ({ ms: event.at - from, text: `${event.kind} ${event.what}` }));
    if (shownAfter !== null) rows.push({ ms: shownAfter, text: "preview shows the change" });
    return rows.sort((a, b) => a.ms - b.ms).map(({ ms, text }) => `  +${String(Math.round(ms)).padStart(5)} ms  ${text}`);
  }
}

// CPU milliseconds (user and system, all threads) of a process and of all its descendants
// but one, from /proc: the host's and the browser's share of an action, whatever else
// the machine is doing.
function processTree() {
  const parents = new Map();
  for (const name of readdirSync("/proc")) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, "latin1");
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      parents.set(Number(name), { parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) });
    } catch {
      // the process ended while the tree was read
    }
  }
  return parents;
}

const tickMs = 1000 / 100;

export function cpuMs(root, except) {
  const tree = processTree();
  const ms = (pid) => (tree.get(pid)?.ticks ?? 0) * tickMs;
  let others = 0;
  const walk = (pid) => {
    for (const [child, { parent }] of tree) {
      if (parent !== pid || child === except) continue;
      others += ms(child);
      walk(child);
    }
  };
  walk(root);
  return { process: ms(except), descendants: others };
}
