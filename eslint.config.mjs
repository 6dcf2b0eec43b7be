// The lint check of the JavaScript: the page (web/), the movie renderer (render/) and the
// node scripts of the tests and benchmarks. scripts/test runs it without --fix.
import js from "@eslint/js";
import globals from "globals";

export default [
  { ignores: ["build*/", "node_modules/"] },
  {
    files: ["web/**/*.js", "render/**/*.mjs", "tests/**/*.mjs", "bench/**/*.mjs", "bench/**/*.js", "eslint.config.mjs"],
    ...js.configs.recommended,
    languageOptions: {
      ecmaVersion: "latest",
      sourceType: "module",
      globals: { ...globals.browser },
    },
  },
  {
    // Node scripts; some of their functions run in the browser page they drive.
    files: ["render/**/*.mjs", "tests/**/*.mjs", "bench/**/*.mjs", "eslint.config.mjs"],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
