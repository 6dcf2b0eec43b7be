// Plays one movie in Ruffle and writes a screenshot of its stage:
//   node tests/player/play.mjs MOVIE.swf SCREENSHOT.png
// Prints what the player reported; exits with 1 when it reported an error.
import { writeFileSync } from "node:fs";
import { playMovies } from "./harness.mjs";

const [moviePath, screenshotPath] = process.argv.slice(2);
if (!moviePath || !screenshotPath) {
  console.error("usage: node tests/player/play.mjs MOVIE.swf SCREENSHOT.png");
  process.exit(2);
}
const [result] = await playMovies([moviePath]);
writeFileSync(screenshotPath, result.png);
console.log(`${moviePath}: stage ${result.width} x ${result.height}, screenshot ${screenshotPath}`);
console.log(`loudest sample played: ${result.audioPeak.toFixed(3)}`);
if (result.metadata) console.log(`metadata: ${JSON.stringify(result.metadata)}`);
for (const warning of result.warnings) console.log(`player warning: ${warning}`);
for (const error of result.errors) console.log(`player error: ${error}`);
process.exit(result.errors.length === 0 ? 0 : 1);
