// The page's players: an area placed in screen coordinates that shows a movie in Ruffle
// (or, for the skin and the close button, a built-in stand-in when the host has no movie
// for it), with a background colour, a scale mode and FSCommand forwarding.

export const flashVersion32 = 32 << 16;

let rufflePromise = null;

// True when the browser draws WebGL in software (no graphics card, a virtual machine, a
// remote desktop, a headless browser).
export function softwareWebGl(canvas = document.createElement("canvas")) {
  const gl = canvas.getContext("webgl");
  if (!gl) return false;
  const info = gl.getExtension("WEBGL_debug_renderer_info");
  const renderer = String(gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
  gl.getExtension("WEBGL_lose_context")?.loseContext();
  return /SwiftShader|llvmpipe|softpipe|software/i.test(renderer);
}

// Loads Ruffle's script once; resolves to its source object, or null when the player's
// files cannot be had (the host then hears version 0).
// Every change of the preview loads its movie into a new Ruffle instance. Where WebGL is
// drawn in software, building one of Ruffle's GPU renderers takes 0.4 to 1 s (its shaders
// are compiled on the processor) and its canvas renderer 0.1 to 0.2 s: the page takes the
// canvas renderer there. It lacks only what movies of version 8 and later add (filters,
// blend modes).
export function loadRuffle(src = "ruffle/ruffle.js") {
  rufflePromise ??= new Promise((resolve) => {
    window.RufflePlayer = window.RufflePlayer ?? {};
    // The page places its players itself: Ruffle must not replace embeds of its own.
    window.RufflePlayer.config = {
      polyfills: false,
      ...(softwareWebGl() ? { preferredRenderer: "canvas" } : {}),
      ...window.RufflePlayer.config,
    };
    const script = document.createElement("script");
    script.src = src;
    script.onload = () => resolve(window.RufflePlayer?.newest?.() ?? null);
    script.onerror = () => resolve(null);
    document.head.appendChild(script);
  });
  return rufflePromise;
}

// A Ruffle player element in parent, loading the movie at url; fsCommand(command, args)
// hears its FSCommands, which Ruffle passes on only to a movie allowed to reach the page
// (scriptAccess); a muted movie is silent from its first frame. Ruffle's advice to turn
// on the graphics card (shown when the mouse first passes over a movie drawn without
// one) would cover the preview in the middle of the user's work: the page leaves it out.
// scale is Ruffle's; the page's players stretch the element itself ("exactfit").
// A template (from the templates' server) may not open or navigate to any address; what
// it loads can only come from the two servers of this program, as the page's
// Content-Security-Policy allows no other host.
// A transparent movie leaves its stage's colour out: the player's own background is seen
// there, so a new colour shows at once, before the movie rebuilt with it has loaded.
export function createMovie(ruffle, url, parent, { className, scale = "exactfit", fsCommand = null, muted = false, scriptAccess = false, template = false, transparent = false } = {}) {
  const movie = ruffle.createPlayer();
  movie.className = className;
  const style = document.createElement("style");
  style.textContent = "#hardware-acceleration-modal { display: none !important; }";
  movie.shadowRoot?.append(style);
  parent.append(movie);
  const api = movie.ruffle();
  if (fsCommand) api.addFSCommandHandler(fsCommand);
  movie.loading = api.load({
    url,
    // A movie's relative URLs (an interface movie's loadVariables("skin.txt")) name files
    // beside it in the working folder, as they did when the player loaded it from a file;
    // the browser's rule would take them from beside the page. A template's are on the
    // templates' server.
    base: new URL(".", new URL(url, document.baseURI)).href,
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    letterbox: "off",
    scale,
    forceScale: true,
    backgroundColor: null,
    wmode: transparent ? "transparent" : "window",
    contextMenu: "off",
    allowScriptAccess: scriptAccess,
    allowNetworking: template ? "internal" : "all",
    openUrlMode: "deny",
    warnOnUnsupportedContent: false,
    logLevel: "error",
  });
  // Ruffle takes a volume only once its instance is built, which the load has done when
  // it resolves, before the movie's first frame has run.
  if (muted) movie.loading.then(() => { api.volume = 0; }, () => {});
  return movie;
}

// "#rrggbb" of a colour 0xRRGGBB.
export function cssColor(color) {
  return "#" + ((Number(color) >>> 0) & 0xffffff).toString(16).padStart(6, "0");
}

// The screen the host lays out for, mapped onto the stage (the whole window) with x and
// y scaled separately: rectangles become percentages of the stage.
export class ScreenMap {
  constructor() {
    this.width = globalThis.screen?.width || 1280;
    this.height = globalThis.screen?.height || 800;
    this.laidOut = false;  // whether the host has laid the skin out for a screen
  }

  // Takes the screen from the rectangle the host gave the skin, which covers the whole
  // screen the host laid out for; true when that changed the map.
  fit({ left, top, width, height }) {
    if (left !== 0 || top !== 0 || !(width > 0 && height > 0)) return false;
    this.laidOut = true;
    if (width === this.width && height === this.height) return false;
    this.width = width;
    this.height = height;
    return true;
  }

  percentages({ left, top, width, height }) {
    return {
      left: (100 * left) / this.width + "%",
      top: (100 * top) / this.height + "%",
      width: (100 * width) / this.width + "%",
      height: (100 * height) / this.height + "%",
    };
  }
}

// How long a movie being replaced stays on screen at most while its successor loads.
const staleMovieMs = 4000;
// The new movie is revealed this long after its first frame was ready, so that frame
// has been drawn; Ruffle draws the first frame only after one frame's time, which a
// slide show at 0.25 frames a second makes 4 s: the reveal waits for it too.
const revealDelayMs = 60;
export const revealAfterMs = (frameRate) => revealDelayMs + (frameRate > 0 ? Math.min(1000 / frameRate, staleMovieMs) : 0);

let frontLayer = 10;

export class Player {
  // name: the protocol's player name; parent: the element it is placed in; builtIn: a
  // function that makes the stand-in shown when the movie url is "" (none for the
  // preview and the fullscreen movie); onCommand(player, command, args) is called for
  // every FSCommand of its movie. Only the installation's own movies (the interface
  // movie, the close button) are trusted with the page, and so with their FSCommands;
  // a template, which may come from anywhere, never reaches the page's scripts, and
  // plays from the templates' server (template).
  constructor(name, parent, screenMap, { builtIn = null, onCommand = () => {}, trusted = false, template = false } = {}) {
    this.name = name;
    this.trusted = trusted;
    this.template = template;
    this.screenMap = screenMap;
    this.makeBuiltIn = builtIn;
    this.onCommand = onCommand;
    this.element = document.createElement("div");
    this.element.className = "player";
    this.element.dataset.player = name;
    this.element.dataset.scale = "ShowAll";
    this.element.dataset.state = "empty";
    parent.appendChild(this.element);
    this.movie = null;     // the current movie element
    this.builtIn = null;   // the stand-in, once made
    this.variables = new Map();
    this.url = "";
    this.loads = 0;
    this.rectangle = null;  // the host's last place, in its screen's pixels
    // A template offers the keyboard nothing: Tab and Shift+Tab always go on to the page.
    // Its movie is drawn without its stage colour over the player's background, which the
    // host sets to that colour (white, the players' own, until it does).
    if (template) {
      this.element.addEventListener("keydown", (event) => leaveOnTab(this.element, event), true);
      this.setBackground(0xffffff);
    }
  }

  place({ left, top, width, height, shape = "rectangle" }) {
    this.rectangle = { left, top, width, height };
    Object.assign(this.element.style, this.screenMap.percentages(this.rectangle));
    this.element.dataset.shape = shape;
  }

  // Placed again where it was, after the screen map changed.
  replace() {
    if (this.rectangle) Object.assign(this.element.style, this.screenMap.percentages(this.rectangle));
  }

  // The colour is a shade short of opaque. Chromium's compositor skips what lies below an
  // opaque player in the wrong place when the player holds a movie's canvas: the player's
  // box mirrored top to bottom in the window (for the preview, a black block over the skin
  // above it). A ground that is not opaque hides nothing from it.
  setBackground(color) {
    this.element.style.backgroundColor = cssColor(color) + "fe";
  }

  setScale(mode) {
    this.element.dataset.scale = ["ExactFit", "NoBorder", "ShowAll"].includes(mode) ? mode : "ShowAll";
  }

  show() {
    this.element.hidden = false;
    this.element.style.zIndex = String(++frontLayer);
  }

  hide() {
    this.element.hidden = true;
  }

  // The variables of the stand-in are its own; Ruffle offers no way to reach a movie's
  // variables, so for a movie the page keeps what the host set and reads that back.
  setVariable(name, value) {
    const builtIn = this.activeBuiltIn();
    if (builtIn?.setVariable) builtIn.setVariable(name, value);
    else this.variables.set(name, value);
  }

  getVariable(name) {
    const builtIn = this.activeBuiltIn();
    if (builtIn?.getVariable) return builtIn.getVariable(name);
    return this.variables.get(name) ?? "";
  }

  activeBuiltIn() {
    return this.url === "" ? this.builtIn : null;
  }

  async load(url) {
    this.url = url;
    const load = ++this.loads;
    if (this.movie) this.retire(this.movie);
    this.movie = null;
    if (url === "") {
      // The host loads the skin again for another installation (a movie opened): the
      // stand-in made for the one before goes, and a new one reads the new one's texts.
      if (this.builtIn) this.dropBuiltIn();
      this.showBuiltIn(true);
      this.element.dataset.state = this.builtIn ? "builtIn" : "empty";
      return;
    }
    this.element.dataset.state = "loading";
    const ruffle = await loadRuffle();
    if (load !== this.loads) return;
    if (!ruffle) {
      this.element.dataset.state = "error";
      return;
    }
    const movie = createMovie(ruffle, url, this.element, {
      className: "movie pending",
      fsCommand: (command, args) => this.onCommand(this.name, String(command), String(args ?? "")),
      scriptAccess: this.trusted,
      template: this.template,
      transparent: this.template,
    });
    // Ruffle's hidden input for the on-screen keyboard would be a Tab stop of its own.
    if (this.template) movie.shadowRoot?.getElementById("virtual-keyboard")?.setAttribute("tabindex", "-1");
    this.movie = movie;
    const api = movie.ruffle();
    let frameRate = 0;
    movie.addEventListener("loadedmetadata", () => {
      const { width, height } = api.metadata ?? {};
      if (width > 0 && height > 0) movie.style.setProperty("--ratio", String(width / height));
      frameRate = Number(api.metadata?.frameRate) || 0;
    });
    movie.addEventListener("loadeddata", () => {
      setTimeout(() => {
        if (this.movie !== movie) return;
        movie.classList.remove("pending");
        this.showBuiltIn(false);
        for (const old of this.element.querySelectorAll(".movie.stale")) old.remove();
        this.element.dataset.state = "playing";
      }, revealAfterMs(frameRate));
    });
    movie.loading.catch((error) => {
      if (this.movie !== movie) return;
      console.error(`${this.name}: ${url}:`, error);
      this.element.dataset.state = "error";
    });
  }

  // A movie being replaced keeps its last frame, silent, until the next one is ready
  // (the frame keeps its look while the preview reloads) or a while has passed.
  retire(movie) {
    movie.classList.add("stale");
    try {
      movie.ruffle().volume = 0;
    } catch {
      // a movie that never started has no sound to silence
    }
    setTimeout(() => movie.remove(), staleMovieMs);
  }

  showBuiltIn(visible) {
    if (visible && !this.builtIn && this.makeBuiltIn) {
      this.builtIn = this.makeBuiltIn(this);
      this.element.appendChild(this.builtIn.element);
      // What the host set before the stand-in was there.
      for (const [name, value] of this.variables) this.builtIn.setVariable?.(name, value);
    }
    if (this.builtIn) this.builtIn.element.hidden = !visible;
  }

  dropBuiltIn() {
    this.builtIn.dispose?.();
    this.builtIn.element.remove();
    this.builtIn = null;
  }

  // The program has ended, or another page took it over: every movie of the player keeps
  // its last frame, silent and still (an interface movie stops polling the host).
  freeze() {
    for (const movie of this.element.querySelectorAll(".movie")) {
      try {
        movie.ruffle().pause();
        movie.ruffle().volume = 0;
      } catch {
        // a movie that never started has nothing to stop
      }
    }
  }

  // Nothing playing and nothing placed: a fresh player, as after the fullscreen view.
  unload() {
    this.load("");
  }
}

const tabbableSelector = 'button, input, select, textarea, a[href], [tabindex]';

// Moves the focus from inside element to the page's next (or, with Shift, previous) Tab
// stop outside it, round to the other end when there is none.
function leaveOnTab(element, event) {
  if (event.key !== "Tab" || event.ctrlKey || event.altKey || event.metaKey) return;
  event.preventDefault();
  event.stopPropagation();
  const stops = [...document.querySelectorAll(tabbableSelector)].filter((stop) =>
    !element.contains(stop) && stop.tabIndex >= 0 && !stop.disabled && stop.getClientRects().length > 0);
  const after = (stop) => element.compareDocumentPosition(stop) & Node.DOCUMENT_POSITION_FOLLOWING;
  const next = event.shiftKey
    ? stops.findLast((stop) => !after(stop)) ?? stops.at(-1)
    : stops.find(after) ?? stops[0];
  if (next) next.focus();
  else document.activeElement?.blur();
}
