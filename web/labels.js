// The page's own words (buttons, labels, hints and status lines), in the language the
// host chose: the host serves them from its catalogue as catalogue.js (docs/protocol.md).
// A text with {1}, {2}... becomes a function of the values to fill in.

export const label = {};
export let language = "en";

export function useLabels(texts, code = language) {
  language = code;
  for (const [key, text] of Object.entries(texts)) {
    label[key] = /\{\d\}/.test(text)
      ? (...values) => text.replace(/\{(\d)\}/g, (whole, n) => (Number(n) <= values.length ? String(values[n - 1]) : ""))
      : text;
  }
}

// Without the host (the page's unit tests) there is no catalogue: they give one to
// useLabels themselves.
try {
  const catalogue = await import("./catalogue.js");
  useLabels(catalogue.texts, catalogue.language);
} catch {
  // No catalogue: the words stay empty.
}
