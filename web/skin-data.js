// What the built-in skin reads: "skin.txt" (the installation's texts and template lists
// as name=value pairs) and a template's form ("NConfig.txt"), both Windows-1252 as the
// installation ships them.

// Windows-1252: Latin-1 but for 0x80-0x9F, which hold the euro sign, quotes and dashes
// (the five bytes it leaves undefined stay the control characters of their value).
const high = "\u20ac\x81\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\x8d\u017d\x8f" +
  "\x90\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\x9d\u017e\u0178";

export function decodeCp1252(bytes) {
  let text = "";
  for (const byte of bytes) text += byte >= 0x80 && byte < 0xa0 ? high[byte - 0x80] : String.fromCharCode(byte);
  return text;
}

// The variables of "skin.txt": pairs separated by "&", the name before the first "=";
// "+" stands for a blank and "%XX" for a byte, as in a URL's query.
export function parseSkinVariables(bytes) {
  const variables = new Map();
  const data = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes);
  let start = 0;
  for (let i = 0; i <= data.length; i++) {
    if (i < data.length && data[i] !== 0x26) continue;
    const pair = data.subarray(start, i);
    start = i + 1;
    const equals = pair.indexOf(0x3d);
    if (equals <= 0) continue;
    variables.set(unescapeBytes(pair.subarray(0, equals)), unescapeBytes(pair.subarray(equals + 1)));
  }
  return variables;
}

const hexValue = (byte) =>
  byte >= 0x30 && byte <= 0x39 ? byte - 0x30 : (byte | 0x20) >= 0x61 && (byte | 0x20) <= 0x66 ? (byte | 0x20) - 0x57 : -1;

function unescapeBytes(bytes) {
  const out = [];
  for (let i = 0; i < bytes.length; i++) {
    const byte = bytes[i];
    if (byte === 0x2b) {
      out.push(0x20);
    } else if (byte === 0x25 && i + 2 < bytes.length && hexValue(bytes[i + 1]) >= 0 && hexValue(bytes[i + 2]) >= 0) {
      out.push(hexValue(bytes[i + 1]) * 16 + hexValue(bytes[i + 2]));
      i += 2;
    } else {
      out.push(byte);
    }
  }
  return decodeCp1252(out);
}

// The template lists of "skin.txt": LIST_count entries of LIST_textN (the title),
// LIST_pathN and LIST_fileN (the template's name), in the order the file has them.
export function templateLists(variables) {
  const lists = [];
  for (const [name, value] of variables) {
    const match = /^(.+)_count$/.exec(name);
    if (!match || !/^\d+$/.test(value)) continue;
    const list = match[1];
    const entries = [];
    for (let i = 0; i < Number(value); i++) {
      const file = variables.get(`${list}_file${i}`);
      if (file === undefined || file === "") continue;
      entries.push({ title: variables.get(`${list}_text${i}`) || file, file });
    }
    if (entries.length > 0) lists.push({ name: list, entries });
  }
  return lists;
}

export const formKinds = ["text", "textarea", "number", "bool", "color", "font", "image", "mp3"];

// A template's form: a header line, then one row per field with its kind, its name (a
// variable, or the font, picture or sound the movie exports) and its label, separated by
// tabs. Rows of another kind or without a name are left out.
export function parseForm(bytes) {
  const text = typeof bytes === "string" ? bytes : decodeCp1252(new Uint8Array(bytes));
  const rows = [];
  for (const line of text.split(/\r\n|\r|\n/).slice(1)) {
    const [kind = "", name = "", label = ""] = line.split("\t").map((cell) => cell.trim());
    if (!formKinds.includes(kind.toLowerCase()) || name === "") continue;
    rows.push({ kind: kind.toLowerCase(), name, label: label || name });
  }
  return rows;
}

// A variable's name as the skin keeps it: "_root.title" and "title" are the same.
export function variableKey(name) {
  return String(name).replace(/^(_root|_level0)\./, "");
}

// A movie's text as a form shows it: each carriage return, with or without a line feed
// after it, as one line break.
export function formText(value) {
  return String(value).replace(/\r\n?/g, "\n");
}

// The last part of a path, for showing a chosen file.
export function fileName(path) {
  return String(path).split(/[\\/]/).pop();
}
