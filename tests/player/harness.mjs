// The player machinery lives with the program (render/), which renders movies with it too.
import { existsSync } from "node:fs";
import { join } from "node:path";
import { chromiumPath, repositoryRoot } from "../../render/harness.mjs";

export * from "../../render/harness.mjs";

// A check in Chromium cannot run without Chromium and the npm packages: outside CI it is
// skipped (exit 77, which CTest reports as skipped); in CI that is a failure.
export function exitUnlessBrowser(check) {
  const missing = [chromiumPath, join(repositoryRoot, "node_modules", "@ruffle-rs", "ruffle")].filter((p) => !existsSync(p));
  if (missing.length === 0) return;
  console.log(`${check}: ${missing.join(", ")} missing (scripts/setup installs them)${process.env.CI ? "" : ": skipped"}`);
  process.exit(process.env.CI ? 1 : 77);
}
