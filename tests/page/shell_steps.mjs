// Steps of the page check about the page around the skin (the keyboard, the help, a tab
// of another size), run on the built-in skin with the greeting card chosen and settled.
// context: { browser, tab, address, shot, settled, problems }.
import assert from "node:assert/strict";
import { join } from "node:path";
import { parseArgs } from "node:util";

// The element with the focus, looked for through the players' shadow trees too.
const focused = (tab) => tab.evaluate(() => {
  let element = document.activeElement;
  while (element?.shadowRoot?.activeElement) element = element.shadowRoot.activeElement;
  const host = element?.getRootNode().host ?? element;
  return {
    text: element?.textContent?.trim() ?? "",
    className: String(element?.className ?? ""),
    inPreview: Boolean(host?.closest?.('[data-player="viewer"]')),
    ring: element ? getComputedStyle(element).boxShadow : "none",
  };
});

export async function shellSteps({ browser, tab, address, shot, settled, problems }) {
  await keyboardSteps(tab, shot, settled);
  await helpStep(tab, shot);
  await takeoverStep({ browser, tab, address, settled, problems });
}

// Tab and Shift+Tab pass the preview by and come back; the colour dialog's swatch grids
// are one stop each, their arrow keys moving within.
async function keyboardSteps(tab, shot, settled) {
  const save = tab.getByRole("button", { name: "Save as..." });
  await save.focus();
  const seen = [];
  for (let i = 0; i < 3; i++) {
    await tab.keyboard.press("Tab");
    seen.push(await focused(tab));
  }
  assert.ok(seen.every((stop) => !stop.inPreview), `Tab after "Save as..." goes on past the preview: ${JSON.stringify(seen)}`);
  const button = seen.find((stop) => stop.className.includes("template") || stop.className.includes("ghost"));
  assert.ok(button, `Tab reaches the skin's buttons again: ${JSON.stringify(seen)}`);
  assert.notEqual(button.ring, "none", "the focused button shows its ring");
  await shot("tab-past-preview");
  const back = [];
  while (back.length < 6 && back.at(-1)?.text !== "Save as...") {
    await tab.keyboard.press("Shift+Tab");
    back.push(await focused(tab));
  }
  assert.ok(back.every((stop) => !stop.inPreview) && back.at(-1).text === "Save as...",
    `Shift+Tab comes back to "Save as..." past the preview: ${JSON.stringify(back)}`);

  await tab.locator(".chooser.kind-color").click();
  await tab.locator(".hex-field").waitFor();
  await tab.keyboard.press("ArrowRight");
  assert.match((await focused(tab)).className, /swatch/, "an arrow key moves within the basic colours");
  let tabs = 0;
  while (!(await focused(tab)).className.includes("hex-field") && tabs < 10) {
    await tab.keyboard.press("Tab");
    tabs++;
  }
  // The basic colours, the custom ones, "add", the shade and the hue, then Hex.
  assert.ok(tabs <= 5, `Hex is ${tabs} Tab stops away`);
  await shot("colour-dialog-by-keyboard");
  await tab.keyboard.press("Escape");
  await settled();
}

// The help, the guide in the run's language, opens in a tab of its own without the page
// saying it did not.
async function helpStep(tab, shot) {
  const [help] = await Promise.all([
    tab.context().waitForEvent("page", { timeout: 10000 }),
    tab.getByRole("button", { name: "Help" }).click(),
  ]);
  await tab.waitForTimeout(300);
  assert.equal(await tab.evaluate(() => document.querySelector("#notice").hidden), true,
    `no notice over the page: ${await tab.locator("#notice").textContent()}`);
  assert.equal(await help.evaluate(() => window.opener), null, "the help's tab cannot reach this page");
  await help.waitForLoadState();
  assert.equal(await help.locator("h1").textContent(), "Tarvenox help");
  await shot("help-opened");
  await help.close();
}

// A tab of the other size takes the program over and lays the page out for its own
// window, also after it chose another template; the first tab then takes it back and
// the greeting card again.
async function takeoverStep({ browser, tab, address, settled, problems }) {
  const own = tab.viewportSize();
  const size = own.width === 1280 ? { width: 800, height: 600 } : { width: 1280, height: 800 };
  const other = await browser.newPage({ viewport: size, screen: size });
  other.on("pageerror", (error) => problems.push(`other tab: ${error.message}`));
  try {
    await other.goto(address);
    await other.locator('button.template[data-file="greeting"][aria-pressed="true"]').waitFor();
    // The host's state has come when the preview has its place.
    await other.waitForFunction(() => document.querySelector('[data-player="viewer"]').style.left !== "", null, { timeout: 40000 });
    await other.waitForTimeout(1000);
    const { values } = parseArgs({ options: { work: { type: "string" } }, strict: false });
    await other.screenshot({ path: join(values.work, "screenshots", `takeover-${size.width}x${size.height}.png`) });
    await inFrames(other, size, "after the takeover");
    // The host lays the preview out again for a template chosen in the new tab.
    const loads = await other.evaluate(() => window.tarvenox.players.viewer.loads);
    await other.locator('button.template[data-file="sale"]').click();
    await other.waitForFunction((before) => window.tarvenox.players.viewer.loads > before, loads, { timeout: 40000 });
    await inFrames(other, size, "after a template chosen in the new tab");
  } finally {
    await tab.reload();
    await other.close();
  }
  const greeting = tab.locator('button.template[data-file="greeting"]');
  await tab.locator('button.template[aria-pressed="true"]').waitFor();
  if (await greeting.getAttribute("aria-pressed") !== "true") await greeting.click();
  await tab.locator('button.template[data-file="greeting"][aria-pressed="true"]').waitFor();
  await settled();
}

// The skin fills the window and the preview is placed in the skin's frame for it, at
// (400, 212)-(701, 480) of the skin's 800 x 600 design (shown or not: showing it after a
// takeover is the skin's).
async function inFrames(tab, size, when) {
  const skin = await tab.locator('[data-player="skin"]').boundingBox();
  const viewer = await tab.evaluate(() => {
    const { left, top, width, height } = document.querySelector('[data-player="viewer"]').style;
    const [x, y, w, h] = [left, top, width, height].map((value) => parseFloat(value) / 100);
    return { x: x * innerWidth, y: y * innerHeight, width: w * innerWidth, height: h * innerHeight };
  });
  const near = (a, b) => Math.abs(a - b) <= 2;
  assert.ok(near(skin.x, 0) && near(skin.y, 0) && near(skin.width, size.width) && near(skin.height, size.height),
    `${when}: the skin fills the window: ${JSON.stringify(skin)}`);
  const x = (design) => (design * size.width) / 800;
  const y = (design) => (design * size.height) / 600;
  assert.ok(viewer.x >= x(400) - 2 && viewer.x + viewer.width <= x(701) + 2 && viewer.y >= y(212) - 2 && viewer.y + viewer.height <= y(480) + 2,
    `${when}: the preview is in its frame: ${JSON.stringify(viewer)}`);
}
