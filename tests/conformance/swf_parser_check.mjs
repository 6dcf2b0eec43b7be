// Walks pairs of movies with the open-flash swf-parser and reports every changed movie
// that it reads worse than its original: node swf_parser_check.mjs PAIRS.json
// PAIRS.json is [[original, changed], ...] (FWS or CWS files). A tag the parser cannot
// make sense of becomes a Raw or RawBody tag, and a tag the strict walk finds ending
// early or late (see tests/player/strict_walk.mjs) counts as one too; the changed movie
// may hold no more of those, per tag code, than the original, and must parse wherever
// the original does.
// Prints {"checked": N, "unreadableOriginals": N, "failures": [{"file", "problem"}]}.
import { readFileSync } from "node:fs";
import { parseSwf } from "swf-parser";
import { TagType } from "swf-types";
import { strictWalk } from "../player/strict_walk.mjs";

// Counts of unreadable tags per code, sprites' tags included.
function rawTags(tags, counts = new Map()) {
  for (const tag of tags) {
    if (tag.type === TagType.Raw || tag.type === TagType.RawBody) {
      const key = tag.type === TagType.Raw ? "cut" : String(tag.code);
      counts.set(key, (counts.get(key) ?? 0) + 1);
    } else if (tag.type === TagType.DefineSprite) {
      rawTags(tag.tags, counts);
    }
  }
  return counts;
}

function read(path) {
  try {
    const bytes = readFileSync(path);
    const counts = rawTags(parseSwf(bytes).tags);
    for (const code of strictWalk(bytes, path).codes) {
      const key = code < 0 ? "cut" : String(code);
      counts.set(key, (counts.get(key) ?? 0) + 1);
    }
    return { counts };
  } catch (e) {
    return { error: String(e.message ?? e) };
  }
}

const pairs = JSON.parse(readFileSync(process.argv[2], "utf8"));
const failures = [];
let unreadableOriginals = 0;
for (const [original, changed] of pairs) {
  const before = read(original);
  const after = read(changed);
  if (after.error !== undefined) {
    if (before.error === undefined) failures.push({ file: changed, problem: after.error });
    continue;
  }
  if (before.error !== undefined) {
    ++unreadableOriginals;
    continue;
  }
  for (const [code, count] of after.counts) {
    if (count > (before.counts.get(code) ?? 0)) {
      failures.push({ file: changed, problem: `${count} unreadable tags of code ${code}, the original has ${before.counts.get(code) ?? 0}` });
    }
  }
}
console.log(JSON.stringify({ checked: pairs.length, unreadableOriginals, failures }));
