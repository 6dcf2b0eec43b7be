// What happens between the user's input and the changed preview, seen from outside the
// page: the messages on the page's WebSocket to the host and the movies the page loads,
// each with its time. Printed with --trace to tell the host's share from the player's.
import { performance } from "node:perf_hooks";

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
    this.events.push({ at: performance.now(), kind, what: what.slice(0, 80) });
  }

  // The events from `from` on, as lines "+123 ms kind what", with the preview's change.
  lines(from, shownAfter) {
    const rows = this.events.filter((event) => event.at >= from - 1).map((event) => ({ ms: event.at - from, text: `${event.kind} ${event.what}` }));
    if (shownAfter !== null) rows.push({ ms: shownAfter, text: "preview shows the change" });
    return rows.sort((a, b) => a.ms - b.ms).map(({ ms, text }) => `  +${String(Math.round(ms)).padStart(5)} ms  ${text}`);
  }
}
