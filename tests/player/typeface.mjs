// How wide a face says a line of text is, read from the installed font file with
// opentype.js, independently of the program's own font conversion.
import { execFileSync } from "node:child_process";
import opentype from "opentype.js";

const fonts = new Map();

// The font file fontconfig picks for the face, loaded once.
function fontOf(face) {
  if (!fonts.has(face)) {
    const file = execFileSync("fc-match", ["--format=%{file}", face], { encoding: "utf8" });
    fonts.set(face, opentype.loadSync(file));
  }
  return fonts.get(face);
}

// The horizontal extent of the ink of text set in the face at sizePx, in pixels: from the
// left edge of the first inked glyph to the right edge of the last, each glyph placed at
// the sum of the advances before it (no kerning, as a DefineFont2 without kerning pairs
// is drawn).
export function inkWidth(text, face, sizePx) {
  const font = fontOf(face);
  let pen = 0;
  let left = Infinity;
  let right = -Infinity;
  for (const character of text) {
    const glyph = font.charToGlyph(character);
    const box = glyph.getBoundingBox();
    if (box.x2 > box.x1) {
      left = Math.min(left, pen + box.x1);
      right = Math.max(right, pen + box.x2);
    }
    pen += glyph.advanceWidth;
  }
  return right > left ? ((right - left) * sizePx) / font.unitsPerEm : 0;
}
