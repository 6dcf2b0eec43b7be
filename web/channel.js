// The page's end of the WebSocket to the host: events both ways, the host's requests
// answered (always, with null when nothing better), the page's own requests with their
// replies, and the rules for connecting again.

export const replacedCloseCode = 4001;
const reconnectDelayMs = 1000;

// The socket's address: "ws" beside the page, so the secret in the path comes along.
export function socketUrl(pageUrl) {
  const url = new URL("ws", pageUrl);
  url.protocol = url.protocol === "https:" ? "wss:" : "ws:";
  url.search = "";
  url.hash = "";
  return url.href;
}

export class Channel {
  // handlers: { request(message) -> value or promise (the reply's result),
  //             event(message), state(name) with name "connected", "connecting",
  //             "replaced" or "ended" }.
  constructor(url, handlers, { WebSocketClass = globalThis.WebSocket, setTimer = setTimeout } = {}) {
    this.url = url;
    this.handlers = handlers;
    this.WebSocketClass = WebSocketClass;
    this.setTimer = setTimer;
    this.socket = null;
    this.finished = false;  // replaced or ended: no more connecting
    this.nextRequest = 1;
    this.pending = new Map();  // the page's request id -> { resolve, reject }
    this.connections = 0;
  }

  connect() {
    if (this.finished) return;
    this.handlers.state?.("connecting");
    const socket = new this.WebSocketClass(this.url);
    this.socket = socket;
    socket.onopen = () => {
      this.connections += 1;
      this.handlers.state?.("connected", this.connections);
    };
    socket.onmessage = (frame) => this.receive(socket, frame.data);
    socket.onclose = (close) => this.closed(socket, close.code);
  }

  // Sends an event (no id). False when there is no open connection.
  send(message) {
    if (!this.socket || this.socket.readyState !== 1) return false;
    this.socket.send(JSON.stringify(message));
    return true;
  }

  // The page's own request (a folder listing): resolves with the result, rejects with
  // the host's error text or when the connection goes first.
  request(message) {
    const id = "p" + this.nextRequest++;
    return new Promise((resolve, reject) => {
      if (!this.send({ ...message, id })) {
        reject(new Error("not connected"));
        return;
      }
      this.pending.set(id, { resolve, reject });
    });
  }

  // The host has ended the program: no more connecting.
  end() {
    this.finish("ended");
    this.socket?.close(1000);
  }

  finish(state) {
    if (this.finished) return;
    this.finished = true;
    this.handlers.state?.(state);
  }

  receive(socket, text) {
    if (socket !== this.socket) return;
    let message;
    try {
      message = JSON.parse(text);
    } catch {
      return;
    }
    if (message === null || typeof message !== "object" || typeof message.type !== "string") return;
    if (message.type === "reply") {
      const waiting = this.pending.get(message.id);
      if (!waiting) return;
      this.pending.delete(message.id);
      if ("error" in message) waiting.reject(new Error(String(message.error)));
      else waiting.resolve(message.result ?? null);
      return;
    }
    if (message.id !== undefined) {
      this.answer(socket, message);
      return;
    }
    this.handlers.event(message);
  }

  // Every host request gets exactly one reply on the connection it came by; a handler
  // that fails or knows nothing better answers null.
  async answer(socket, message) {
    let result = null;
    try {
      result = (await this.handlers.request(message)) ?? null;
    } catch (error) {
      console.error(`${message.type}:`, error);
    }
    if (socket === this.socket && socket.readyState === 1) {
      socket.send(JSON.stringify({ type: "reply", id: message.id, result }));
    }
  }

  closed(socket, code) {
    if (socket !== this.socket) return;
    this.socket = null;
    for (const { reject } of this.pending.values()) reject(new Error("connection closed"));
    this.pending.clear();
    // A newer page took over: connecting again would take the program back from it.
    if (code === replacedCloseCode) this.finish("replaced");
    if (this.finished) return;
    this.setTimer(() => this.connect(), reconnectDelayMs);
  }
}
