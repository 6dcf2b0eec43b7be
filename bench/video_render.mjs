// What `tarvenox render` makes of 10 s of the demo's greeting card (550 x 400, 12 frames a
// second) and how long it takes: the frame count of the MP4, the PSNR of every one of its
// frames against the exact pictures the renderer drew (the same run's frames kept losslessly,
// and a few of those checked against `render --frame k`), the sizes of the MP4 and the GIF
// beside their limits, and the render time against the 10 s the movie plays; where a sound
// starts in the MP4 against its frame (MP3 and ADPCM, the latter started in a sprite); and
// 50 rows of a sheet saved as 50 MP4s in one browser against separate `render` calls
// (--separate of them, the total scaled to 50).
//   node bench/video_render.mjs --tarvenox BIN --demo BUILD/demo --media demo/media --work DIR
//        [--frames 1,13,60,120] [--separate 5]
import { execFileSync, spawnSync } from "node:child_process";
import { mkdirSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { parseArgs } from "node:util";
import { exitUnlessBrowser } from "../tests/player/harness.mjs";
import { adpcmTone, countingMovie } from "../tests/player/counting_movie.mjs";
import { stageSize } from "../render/harness.mjs";

const root = join(dirname(fileURLToPath(import.meta.url)), "..");
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
const row = (what, value, limit = "") => console.log(`${what.padEnd(44)} ${String(value).padStart(12)}  ${limit}`);
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

// The exact frames: the renderer run as for the MP4, its pictures kept as raw RGB.
const { width, height } = stageSize(card);
const reference = join(work, "card.rgb");
const raw = ["-f", "rawvideo", "-pix_fmt", "rgb24", "-s", `${width}x${height}`, "-r", "12"];
const job = { movie: card, output: reference, width, height, rate: 12, video: { fps: 12, frames: 120,
  temporary: `${reference}.tmp`, ffmpeg: ["-hide_banner", "-loglevel", "error", "-nostdin", "-f", "rawvideo",
    "-pix_fmt", "rgba", "-s", `${width}x${height}`, "-r", "12", "-i", "pipe:0", "-f", "rawvideo", "-pix_fmt", "rgb24",
    "-y", `${reference}.tmp`] } };
execFileSync("node", [join(root, "render", "render.mjs"), "--", JSON.stringify(job)], { stdio: ["ignore", "ignore", "inherit"] });
// The PSNR of each frame of first against the raw reference (all frames, or frame k alone).
const psnrs = (first, k = 0) => {
  const select = k > 0 ? `select=eq(n\\,${k - 1}),` : "";
  const report = execFileSync("ffmpeg", ["-v", "error", "-i", first, ...raw, "-i", reference, "-filter_complex",
    `[1:v]${select}settb=1/12,setpts=N[b];[0:v]format=rgb24,settb=1/12,setpts=N[a];[a][b]psnr=stats_file=-:shortest=1`, "-f", "null", "-"], { encoding: "utf8" });
  return [...report.matchAll(/psnr_avg:([0-9.]+|inf)/g)].map((match) => Number(match[1] === "inf" ? Infinity : match[1]));
};
const frameScores = psnrs(mp4);
const finite = frameScores.filter(Number.isFinite);
row("MP4 frames compared with the exact frames", frameScores.length, "all 120");
row("PSNR of the worst MP4 frame (dB)", Math.min(...frameScores).toFixed(2), ">= 38");
row("PSNR of the MP4 frames, mean (dB)", (finite.reduce((a, b) => a + b, 0) / Math.max(1, finite.length)).toFixed(2));
row("MP4 frames under 38 dB", frameScores.filter((score) => score < 38).length, "0");
for (const frame of options.frames.split(",").map(Number)) {
  const png = join(work, `frame-${frame}.png`);
  timed(["render", card, "-o", png, "--frame", String(frame)]);
  const [score] = psnrs(png, frame);
  row(`render --frame ${frame} against its exact frame (dB)`, Number.isFinite(score) ? score.toFixed(2) : "inf", "inf: the same picture");
}

// Where the sound starts: a movie of 8 frames at 12 fps whose sound starts at frame 7 (500 ms).
const onset = (name, label, sound) => {
  const movie = join(work, `${name}.swf`);
  writeFileSync(movie, countingMovie({ sound: { ...sound, frame: 7 } }));
  const video = join(work, `${name}.mp4`);
  timed(["render", movie, "-o", video, "--seconds", "2"]);
  const pcm = execFileSync("ffmpeg", ["-v", "error", "-i", video, "-f", "s16le", "-ac", "1", "-ar", "48000", "-"]);
  const samples = new Int16Array(pcm.buffer, pcm.byteOffset, pcm.length / 2);
  const ms = samples.findIndex((sample) => Math.abs(sample) > 1000) / 48;
  row(`${label} starts at (ms; frame 7: 500)`, ms.toFixed(1), `within 83.3 (${((ms - 500) / (1000 / 12)).toFixed(2)} frames off)`);
};
onset("mp3", "MP3 sound", { mp3: readFileSync(join(root, "tests", "fixtures", "sound", "lame-vbr-mono-22050-id3v2.mp3")) });
onset("adpcm", "ADPCM sound in a sprite", { adpcm: adpcmTone(2), format: 0x16, inSprite: true });

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
