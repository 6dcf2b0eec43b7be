// The player machinery lives with the program (render/), which renders movies with it too.
export * from "../../render/harness.mjs";
