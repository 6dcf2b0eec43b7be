// What `tarvenox render` makes of 10 s of the demo's greeting card (550 x 400, 12 frames a
// second) and how long it takes: the frame count of the MP4, the PSNR of some of its frames
// against `render --frame k`, the sizes of the MP4 and the GIF beside their limits, and the
// render time against the 10 s the movie plays; and 50 rows of a sheet saved as 50 MP4s in
// one browser against separate `render` calls (--separate of them, the total scaled to 50).
//   node bench/video_render.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
//        [--frames 1,13,60,120] [--separate 5]
import { execFileSync, spawnSync } from "node:child_process";
import { mkdirSync, rmSync, statSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { parseArgs } from "node:util";
import { exitUnlessBrowser } from "../tests/player/harness.mjs";

const { values: options } = parseArgs({
  options: { tarvenox: { type: "string" }, demo: { type: "string" }, media: { type: "string" }, work: { type: "string" },
    frames: { type: "string", default: "1,13,60,120" }, separate: { type: "string", default: "5" } },
});
exitUnlessBrowser("video render");
const tarvenox = resolve(options.tarvenox);
const work = resolve(options.work);
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });

const card = join(work, "card.swf");
execFileSync(tarvenox, ["save", "--template", "greeting", "--data", join(resolve(options.demo), "packed"), "-o", card,
  "--image", `photo=${join(resolve(options.media), "garden.png")}`], { stdio: ["ignore", "ignore", "inherit"] });

const timed = (args) => {
  const start = process.hrtime.bigint();
  const run = spawnSync(tarvenox, args, { encoding: "utf8" });
  if (run.status !== 0) throw new Error(`tarvenox ${args.join(" ")}: ${run.stderr.trim()}`);
  return Number(process.hrtime.bigint() - start) / 1e9;
};
const row = (what, value, limit = "") => console.log(`${what.padEnd(40)} ${String(value).padStart(12)}  ${limit}`);
const mb = (path) => (statSync(path).size / 1e6).toFixed(3);

const mp4 = join(work, "card.mp4");
const gif = join(work, "card.gif");
const mp4Seconds = timed(["render", card, "-o", mp4, "--seconds", "10"]);
const gifSeconds = timed(["render", card, "-o", gif, "--seconds", "10"]);
const count = execFileSync("ffprobe", ["-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
  "stream=nb_read_frames", "-of", "csv=p=0", mp4], { encoding: "utf8" }).trim();
row("MP4 frames (10 s x 12 fps)", count, "exactly 120");
row("MP4 size (MB)", mb(mp4), "<= 1");
row("GIF size (MB)", mb(gif), "<= 2.5");
row("MP4 render time / movie time", (mp4Seconds / 10).toFixed(2), `<= 3 (${mp4Seconds.toFixed(1)} s)`);
row("GIF render time / movie time", (gifSeconds / 10).toFixed(2), `<= 3 (${gifSeconds.toFixed(1)} s)`);
for (const frame of options.frames.split(",").map(Number)) {
  const png = join(work, `frame-${frame}.png`);
  timed(["render", card, "-o", png, "--frame", String(frame)]);
  const report = spawnSync("ffmpeg", ["-v", "info", "-nostats", "-i", mp4, "-i", png, "-filter_complex",
    `[0:v]select=eq(n\\,${frame - 1}),format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr`, "-f", "null", "-"], { encoding: "utf8" }).stderr;
  const psnr = /average:([0-9.]+|inf)/.exec(report)?.[1] ?? "n/a";
  row(`PSNR of MP4 frame ${frame} (dB)`, psnr, ">= 38");
}

const rows = join(work, "rows");
mkdirSync(rows);
const sheet = join(rows, "sheet.csv");
writeFileSync(sheet, ["name", ...Array.from({ length: 50 }, (_, i) => `row${i + 1}`)].join("\r\n") + "\r\n");
const rowSeconds = timed(["save", "--template", "greeting", "--data", join(resolve(options.demo), "packed"),
  "--rows", sheet, "-o", join(rows, "{name}.mp4")]);
const separate = Number(options.separate);
let separateSeconds = 0;
for (let i = 0; i < separate; i++) separateSeconds += timed(["render", card, "-o", join(work, `separate-${i}.mp4`)]);
row("50 rows to 50 MP4s (s)", rowSeconds.toFixed(1));
row(`50 separate renders (s, ${separate} timed)`, ((separateSeconds * 50) / separate).toFixed(1));
