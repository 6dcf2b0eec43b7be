// Runs in the page before its own scripts (an init script of the page benchmark): every
// WebGL canvas keeps its drawing buffer, so it can be read after the player has drawn (a 2D
// canvas, Ruffle's renderer where WebGL is drawn in software, can always be read), and
// window.previewProbe records, a frame every 40 ms, what the preview's topmost visible player
// canvas shows, whenever that changes. Times are milliseconds since the epoch.
(() => {
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    const webgl = /webgl/.test(type);
    const context = getContext.call(this, type, webgl ? { ...attributes, preserveDrawingBuffer: true } : attributes);
    if ((webgl || type === "2d") && context) this.probeContext = context;
    return context;
  };

  // The canvas the user sees in the preview: the last visible player there.
  function shownCanvas() {
    const viewer = document.querySelector('[data-player="viewer"]');
    if (!viewer || !viewer.checkVisibility()) return null;
    let shown = null;
    for (const player of viewer.children) {
      const canvas = player.shadowRoot?.querySelector("canvas");
      if (canvas?.probeContext && player.checkVisibility({ opacityProperty: true, visibilityProperty: true })) shown = canvas;
    }
    return shown;
  }

  // The canvas's RGBA pixels; a WebGL canvas's come bottom row first.
  function readPixels(context, width, height) {
    if (context instanceof CanvasRenderingContext2D) return context.getImageData(0, 0, width, height).data;
    const gl = context;
    const pixels = new Uint8Array(width * height * 4);
    const bound = gl.getParameter(gl.FRAMEBUFFER_BINDING);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    gl.bindFramebuffer(gl.FRAMEBUFFER, bound);
    return pixels;
  }

  // Every second pixel of every second row (RGBA, bottom row first): enough to see a
  // changed letter.
  // What shows through a transparent movie is its player's background colour: the pixels
  // are taken as seen, laid over it.
  function sample(canvas, ground) {
    const { width, height } = canvas;
    const pixels = readPixels(canvas.probeContext, width, height);
    const small = new Uint8Array(Math.ceil(width / 2) * Math.ceil(height / 2) * 4);
    let i = 0;
    let hash = 2166136261;
    for (let y = 0; y < height; y += 2) {
      for (let x = 0; x < width; x += 2) {
        const at = 4 * (y * width + x);
        const alpha = pixels[at + 3] / 255;
        for (let c = 0; c < 4; c++) {
          const value = c === 3 ? 255 : Math.round(pixels[at + c] * alpha + ground[c] * (1 - alpha));
          small[i++] = value;
          hash = Math.imul(hash ^ value, 16777619);
        }
      }
    }
    return { width: Math.ceil(width / 2), height: Math.ceil(height / 2), small, hash };
  }

  // The RGB of the background of the player element the canvas's movie is in.
  function groundOf(canvas) {
    const player = canvas.getRootNode().host?.closest(".player");
    const match = /rgba?\((\d+), (\d+), (\d+)/.exec(player ? getComputedStyle(player).backgroundColor : "");
    return match ? [Number(match[1]), Number(match[2]), Number(match[3])] : [0, 0, 0];
  }

  // Looks every intervalMs (a read costs the page a few milliseconds of the frame).
  const intervalMs = 40;
  const probe = { takes: [], costs: [], running: false };
  window.previewProbe = probe;
  let last = null;
  function frame() {
    if (!probe.running) return;
    const started = performance.now();
    const canvas = shownCanvas();
    const at = performance.timeOrigin + started;
    if (canvas) {
      const take = sample(canvas, groundOf(canvas));
      if (!last || canvas !== last.canvas || take.hash !== last.hash) {
        probe.takes.push({ at, width: take.width, height: take.height, pixels: Array.from(take.small) });
        last = { canvas, hash: take.hash };
      }
    }
    probe.costs.push(performance.now() - started);
    setTimeout(() => requestAnimationFrame(frame), intervalMs);
  }
  // The preview has nothing still loading: its newest player is the one shown (and the
  // viewer says it plays, where it says so).
  probe.settled = () => {
    const viewer = document.querySelector('[data-player="viewer"]');
    const players = [...(viewer?.children ?? [])].filter((player) => player.shadowRoot?.querySelector("canvas"));
    const newest = players[players.length - 1];
    return Boolean(newest?.checkVisibility({ opacityProperty: true, visibilityProperty: true })) &&
      (viewer.dataset.state === undefined || viewer.dataset.state === "playing");
  };
  probe.start = () => {
    probe.takes = [];
    last = null;
    if (!probe.running) requestAnimationFrame(frame);
    probe.running = true;
  };
  probe.stop = () => {
    probe.running = false;
  };
})();
