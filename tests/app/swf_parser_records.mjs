// Lists the top-level tag records of a movie as the open-flash swf-parser reads them:
// node swf_parser_records.mjs MOVIE.swf [UNCOMPRESSED.swf]
// Prints {"version", "frameCount", "records": [{"type", "size"}]}, where size is the whole
// record (header and body). A zlib-compressed movie is inflated first; with a second
// argument the uncompressed movie is written there, for readers that take only that form.
import { readFileSync, writeFileSync } from "node:fs";
import { inflateSync } from "node:zlib";
import { ReadableStream } from "@open-flash/stream";
import { parseHeader, parseSwfSignature } from "swf-parser/parsers/header";
import { parseTag } from "swf-parser/parsers/tags";
import { TagType } from "swf-types";

let bytes = readFileSync(process.argv[2]);
if (bytes.subarray(0, 3).toString("latin1") === "CWS") {
  bytes = Buffer.concat([Buffer.from("FWS"), bytes.subarray(3, 8), inflateSync(bytes.subarray(8))]);
}
if (process.argv[3]) writeFileSync(process.argv[3], bytes);

const stream = new ReadableStream(bytes);
const signature = parseSwfSignature(stream);
const header = parseHeader(stream, signature.swfVersion);
const records = [];
while (stream.available() > 0) {
  const start = stream.bytePos;
  const tag = parseTag(stream, signature.swfVersion);
  if (tag === undefined) break;
  records.push({ type: TagType[tag.type], size: stream.bytePos - start });
}
console.log(JSON.stringify({ version: signature.swfVersion, frameCount: header.frameCount, records }));
