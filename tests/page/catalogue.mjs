// The texts of a language's catalogue (po/LANG.po), by message id, for checks that look a
// text up instead of repeating it: the page's checks run the program with --lang en.
import { readFileSync } from "node:fs";

// Every entry is one msgid line and one msgstr line, both C-escaped strings as JSON reads them.
export function readCatalogue(language) {
  const source = readFileSync(new URL(`../../po/${language}.po`, import.meta.url), "utf8");
  const texts = {};
  for (const [, id, text] of source.matchAll(/^msgid (".*")\nmsgstr (".*")$/gm)) texts[JSON.parse(id)] = JSON.parse(text);
  delete texts[""];
  return texts;
}

// The page's own words ("page." ids, without the prefix), as the host serves them.
export function pageTexts(language) {
  return Object.fromEntries(Object.entries(readCatalogue(language))
    .filter(([id]) => id.startsWith("page."))
    .map(([id, text]) => [id.slice("page.".length), text]));
}
