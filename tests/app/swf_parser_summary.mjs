// Reads a movie with the open-flash swf-parser, an SWF parser independent of ours, and
// prints what it found as one line of JSON: node swf_parser_summary.mjs MOVIE.swf
import { readFileSync } from "node:fs";
import { parseSwf } from "swf-parser";
import { TagType } from "swf-types";

const movie = parseSwf(readFileSync(process.argv[2]));
const tags = movie.tags.map((tag) => {
  const out = { type: TagType[tag.type] };
  switch (tag.type) {
    case TagType.SetBackgroundColor:
      out.color = tag.color;
      break;
    case TagType.DefineFont:
      Object.assign(out, { id: tag.id, fontName: tag.fontName, glyphs: tag.glyphs?.length ?? 0 });
      break;
    case TagType.DefineBitmap:
      Object.assign(out, { id: tag.id, width: tag.width, height: tag.height, mediaType: tag.mediaType });
      break;
    case TagType.DefineSound:
      Object.assign(out, {
        id: tag.id, format: tag.format, soundRate: tag.soundRate, soundSize: tag.soundSize,
        soundType: tag.soundType, sampleCount: tag.sampleCount, bytes: tag.data.length,
      });
      break;
    case TagType.DoAction:
      out.bytes = tag.actions.length;
      break;
  }
  return out;
});
console.log(JSON.stringify({ frameCount: movie.header.frameCount, tags }));
