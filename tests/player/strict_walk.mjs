// A strict structure walk of a movie with the open-flash swf-parser, a parser
// independent of ours: every tag whose body it knows how to read is read field by field,
// and it must end exactly at the end of the body. A field written in the wrong form (a
// RECT not starting on a byte boundary, a table shorter or longer than its count) makes
// the parser stop early, run past the body, or fail.
//   node strict_walk.mjs MOVIE.swf...   (prints the problems, exits 1 when there are any)
import { readFileSync } from "node:fs";
import { inflateSync } from "node:zlib";
import { ReadableStream } from "@open-flash/stream";
import * as parsers from "swf-parser/parsers/tags";

// The tag codes walked strictly, with their parsers (the second argument, the SWF
// version, is taken by those that need it).
const strictParsers = new Map([
  [2, parsers.parseDefineShape],
  [9, parsers.parseSetBackgroundColor],
  [11, parsers.parseDefineText],
  [14, parsers.parseDefineSound],
  [15, parsers.parseStartSound],
  [20, parsers.parseDefineBitsLossless],
  [21, parsers.parseDefineBitsJpeg2],
  [22, parsers.parseDefineShape2],
  [26, parsers.parsePlaceObject2],
  [32, parsers.parseDefineShape3],
  [33, parsers.parseDefineText2],
  [36, parsers.parseDefineBitsLossless2],
  [37, parsers.parseDefineEditText],
  [48, parsers.parseDefineFont2],
  [56, parsers.parseExportAssets],
  [75, parsers.parseDefineFont3],
  [76, parsers.parseSymbolClass],
  [83, parsers.parseDefineShape4],
]);

// The uncompressed bytes of the movie after its 8-byte header (CWS is inflated).
function movieBody(bytes) {
  const signature = bytes.subarray(0, 3).toString("latin1");
  if (signature === "FWS") return bytes.subarray(8);
  if (signature === "CWS") return inflateSync(bytes.subarray(8));
  throw new Error(`signature ${JSON.stringify(signature)} is not walked`);
}

function walkTags(bytes, start, version, where, problems, codes) {
  let pos = start;
  let count = 0;
  while (pos + 2 <= bytes.length) {
    const at = pos;
    const codeAndLength = bytes.readUInt16LE(pos);
    pos += 2;
    const code = codeAndLength >>> 6;
    let length = codeAndLength & 0x3f;
    if (length === 0x3f) {
      if (pos + 4 > bytes.length) {
        problems.push(`${where}: tag header at ${at} cut short`);
        return count;
      }
      length = bytes.readUInt32LE(pos);
      pos += 4;
    }
    if (code === 0) return count;
    if (pos + length > bytes.length) {
      problems.push(`${where}: tag ${code} at ${at} runs past the end`);
      return count;
    }
    const body = bytes.subarray(pos, pos + length);
    pos += length;
    count++;
    if (code === 39) {
      // DefineSprite: id and frame count, then tags of its own.
      count += walkTags(body, 4, version, `${where} sprite at ${at}`, problems, codes);
      continue;
    }
    const parse = strictParsers.get(code);
    if (parse === undefined) continue;
    const stream = new ReadableStream(body);
    try {
      parse(stream, version);
      if (stream.available() !== 0) {
        problems.push(`${where}: tag ${code} at ${at}: read ${length - stream.available()} of ${length} bytes`);
        codes.push(code);
      }
    } catch (error) {
      problems.push(`${where}: tag ${code} at ${at}: ${error.message}`);
      codes.push(code);
    }
  }
  return count;
}

// The problems the walk found in the movie (none for a well-formed one), the tag code of
// each (-1 when the movie as a whole could not be walked), and the number of tags walked.
export function strictWalk(bytes, name = "movie") {
  const problems = [];
  const codes = [];
  let body;
  try {
    body = movieBody(bytes);
  } catch (error) {
    return { tags: 0, problems: [`${name}: ${error.message}`], codes: [-1] };
  }
  const nBits = body[0] >>> 3;
  const rectBytes = Math.ceil((5 + 4 * nBits) / 8);
  const tags = walkTags(body, rectBytes + 4, bytes[3], name, problems, codes);
  return { tags, problems, codes };
}

if (import.meta.url === `file://${process.argv[1]}`) {
  let failed = false;
  for (const path of process.argv.slice(2)) {
    const { problems } = strictWalk(readFileSync(path), path);
    for (const problem of problems) console.log(problem);
    failed ||= problems.length > 0;
  }
  process.exit(failed ? 1 : 0);
}
