// The browser build's page in headless Chromium, driven by Playwright:
//   node tests/web/page_test.mjs BUILD-WEB-FOLDER PICTURES-FOLDER OUT-FOLDER
// (PICTURES-FOLDER: the native runner's references, tests/data/pictures)
// - a browser without WebGL 2 is told so;
// - the page loads with no console errors, shows its start screen, and the
//   game starts on a key;
// - the title, held at the frame the native runner's reference shows,
//   matches it as the picture tests match (tests/pictures.py compare: at most
//   0.1 % of the pixels more than 3 levels off): in English for an English
//   browser, in Japanese for a Japanese one;
// - keys take the game from the title through the opening into stage 1, and
//   Alt+Enter takes the picture full screen and back;
// - a faked pad moves the title's cursor (its stick down to Credits, then A
//   opens them);
// - a volume changed on the options screen is still in the settings after
//   a reload (the page keeps the player's files in IndexedDB);
// - Escape on the title ends the game, and the page comes back to its start
//   screen, from which the game starts again.
// Software WebGL is slow, so nothing here is timed against a limit; the
// times to the start screen and to the first title picture are printed.
import { spawnSync } from "node:child_process";
import { createReadStream, existsSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join, resolve } from "node:path";
import { chromium } from "playwright-core";

const [site, pictures, out] = process.argv.slice(2).map((p) => resolve(p));
const kTitleFrame = 239;  // the frame of the references title.png and en_title.png
const failures = [];
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures.push(what);
}

// The folder served on 127.0.0.1, as `python3 -m http.server` would.
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".data": "application/octet-stream", ".png": "image/png", ".txt": "text/plain" };
const server = createServer((req, res) => {
  const path = join(site, decodeURIComponent(new URL(req.url, "http://x").pathname));
  const file = path.endsWith("/") ? join(path, "index.html") : path;
  if (!file.startsWith(site) || !existsSync(file) || !statSync(file).isFile()) {
    res.writeHead(404).end();
    return;
  }
  res.writeHead(200, { "Content-Type": types[extname(file)] || "application/octet-stream" });
  createReadStream(file).pipe(res);
});
await new Promise((ok) => server.listen(0, "127.0.0.1", ok));
const url = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--use-gl=angle", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--autoplay-policy=no-user-gesture-required"],
});
const context = await browser.newContext({ viewport: { width: 1280, height: 720 }, locale: "en-US" });
// A pad the page can be handed: navigator.getGamepads() answers with it once
// it is connected; the test presses its buttons.
await context.addInitScript(() => {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
  const pad = { id: "Test Pad", index: 0, connected: true, mapping: "standard",
                axes: [0, 0, 0, 0], buttons, timestamp: 0 };
  let connected = false;
  navigator.getGamepads = () => (connected ? [pad, null, null, null] : [null, null, null, null]);
  window.testPad = {
    connect() {
      connected = true;
      const e = new Event("gamepadconnected");
      e.gamepad = pad;
      window.dispatchEvent(e);
    },
    set(button, down) {
      pad.buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
      pad.timestamp = performance.now();
    },
    tilt(axis, value) {
      pad.axes[axis] = value;
      pad.timestamp = performance.now();
    },
    // Holds the stick or a button for a number of the game's frames, counted
    // at each display refresh (the game runs at most one frame a refresh),
    // so a slow machine holds it no longer.
    holdFor(frames, press, release) {
      return new Promise((done) => {
        press();
        const start = window.orvelune?.frame || 0;
        const tick = () => {
          if ((window.orvelune?.frame || 0) >= start + frames) {
            release();
            done();
          } else {
            requestAnimationFrame(tick);
          }
        };
        requestAnimationFrame(tick);
      });
    },
  };
});
const page = await context.newPage();
const errors = [];
page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
page.on("pageerror", (e) => errors.push(String(e)));

const game = () => page.evaluate(() => window.orvelune || {});
async function waitFor(what, test, seconds = 240) {
  const until = Date.now() + seconds * 1000;
  for (;;) {
    const state = await game();
    if (test(state)) return state;
    if (Date.now() > until) throw new Error(`timed out waiting for ${what}: ${JSON.stringify(state)}`);
    await page.waitForTimeout(100);
  }
}
// Waits for the game to run n more frames.
async function frames(n) {
  const at = (await game()).frame || 0;
  await waitFor(`${n} frames`, (s) => s.frame >= at + n);
}
// A key held for two frames, so the game's frame sees it down.
async function press(key) {
  await page.keyboard.down(key);
  await frames(2);
  await page.keyboard.up(key);
  await frames(2);
}
async function padPress(button) {
  await page.evaluate((b) => window.testPad.holdFor(3, () => window.testPad.set(b, true),
                                                   () => window.testPad.set(b, false)), button);
  await frames(3);
}
async function startScreen() {
  await page.waitForSelector("#start:not(.hidden)", { timeout: 240000 });
}
// Whether the canvas shows the native runner's reference picture NAME as the
// picture tests match (tests/pictures.py compare); the shot is kept in OUT.
async function looksLike(p, name) {
  const shot = join(out, `web_${name}.png`);
  await p.locator("#canvas").screenshot({ path: shot });
  const compared = spawnSync("python3", [join(import.meta.dirname, "..", "pictures.py"), "compare",
                                         shot, join(pictures, `${name}.png`)], { encoding: "utf8" });
  process.stdout.write(compared.stdout + compared.stderr);
  return compared.status === 0;
}
const settingsFile = "/home/web_user/.config/orvelune/settings.txt";
const readSettings = () => page.evaluate((f) => {
  try { return FS.readFile(f, { encoding: "utf8" }); } catch (e) { return null; }
}, settingsFile);

try {
  // 0. A browser without WebGL 2 is told so, and nothing is loaded.
  const noWebGl = await browser.newContext();
  await noWebGl.addInitScript(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return kind === "webgl2" ? null : getContext.call(this, kind, ...rest);
    };
  });
  const plain = await noWebGl.newPage();
  await plain.goto(url);
  await plain.waitForSelector("#problem:not(.hidden)", { timeout: 30000 });
  const told = await plain.textContent("#problemText");
  check(told.includes("WebGL 2") && (await plain.$("script[src='orvelune.js']")) === null,
        `a browser without WebGL 2 is told so ("${told}")`);
  await noWebGl.close();

  // 1. The page, its start screen, the title held at the reference's frame.
  const t0 = Date.now();
  await page.goto(`${url}?hold=${kTitleFrame}`);
  await startScreen();
  const tReady = Date.now() - t0;
  await page.keyboard.press("Space");
  await waitFor("the title's first frame", (s) => s.frame >= 1);
  const tFirst = Date.now() - t0;
  await waitFor(`frame ${kTitleFrame}`, (s) => s.frame >= kTitleFrame);
  const tHeld = Date.now() - t0;
  console.log(`start screen after ${tReady} ms, the title's first frame after ${tFirst} ms, ` +
              `frame ${kTitleFrame} after ${tHeld} ms`);
  check((await game()).scene === "title", "the game starts on its title");
  await page.waitForTimeout(300);  // the held frame is on the canvas
  check(await looksLike(page, "en_title"), "the title looks as the native runner draws it");
  check(errors.length === 0, `no console errors while loading (${errors.join(" | ")})`);

  // 1b. A Japanese browser gets the Japanese title (no settings say otherwise).
  const japanese = await browser.newContext({ viewport: { width: 1280, height: 720 },
                                              locale: "ja-JP" });
  const jaPage = await japanese.newPage();
  await jaPage.goto(`${url}?hold=${kTitleFrame}`);
  await jaPage.waitForSelector("#start:not(.hidden)", { timeout: 240000 });
  await jaPage.keyboard.press("Space");
  await jaPage.waitForFunction((f) => (window.orvelune?.frame || 0) >= f, kTitleFrame,
                               { timeout: 240000 });
  await jaPage.waitForTimeout(300);
  check(await looksLike(jaPage, "title"), "a Japanese browser shows the Japanese title");
  await japanese.close();

  // 2. Keys: the title's Start, through the opening, into stage 1.
  await page.goto(url);
  await startScreen();
  await page.keyboard.press("Space");
  await waitFor("the title's menu", (s) => s.scene === "title" && s.frame >= 120);
  await press("Enter");
  await waitFor("the opening", (s) => s.scene === "opening");
  for (let i = 0; i < 200 && (await game()).scene === "opening"; ++i) await press("Enter");
  await waitFor("stage 1", (s) => s.scene === "game", 60);
  await frames(30);
  await page.locator("#canvas").screenshot({ path: join(out, "web_stage1.png") });
  check((await game()).scene === "game", "keys take the game from the title into stage 1");
  // Alt+Enter takes the picture full screen and back (the game asks the page),
  // and so does the page's button.
  const fullScreen = () => page.evaluate(() => document.fullscreenElement?.id || "");
  await page.keyboard.press("Alt+Enter");
  await frames(3);
  await page.waitForTimeout(300);
  const full = await fullScreen();
  await page.keyboard.press("Alt+Enter");
  await frames(3);
  await page.waitForTimeout(300);
  const back = await fullScreen();
  check(full === "stage" && back === "", `Alt+Enter goes full screen and back ("${full}", "${back}")`);
  await page.mouse.move(100, 100);
  await page.click("#full");
  await page.waitForTimeout(300);
  const byButton = await fullScreen();
  await page.mouse.move(120, 100);
  await page.click("#full");
  await page.waitForTimeout(300);
  check(byButton === "stage" && (await fullScreen()) === "", "the page's button goes full screen and back");

  // 3. A faked pad: down moves the cursor from Start to Credits, A opens them.
  await page.goto(url);
  await startScreen();
  await page.keyboard.press("Space");
  await waitFor("the title's menu", (s) => s.scene === "title" && s.frame >= 120);
  await page.evaluate(() => window.testPad.connect());
  await frames(5);
  // The title's cursor follows the left stick (the browser's axis 1 points down).
  // One step: held for fewer frames than the menu's repeat (8).
  await page.evaluate(() => window.testPad.holdFor(3, () => window.testPad.tilt(1, 1),
                                                   () => window.testPad.tilt(1, 0)));
  await frames(3);
  await padPress(0);  // A
  await waitFor("the credits", (s) => s.scene === "credits", 60).catch(() => {});
  check((await game()).scene === "credits", "the pad moves the title's cursor to Credits and opens them");

  // 4. A setting kept across a reload: the music one step quieter.
  await page.goto(url);
  await startScreen();
  await page.keyboard.press("Space");
  await waitFor("the title's menu", (s) => s.scene === "title" && s.frame >= 120);
  const before = await readSettings();
  await press("Tab");
  await press("ArrowLeft");
  await press("Backspace");
  await frames(10);
  const changed = await readSettings();
  check(changed !== null && changed !== before, "leaving the options screen writes the settings");
  await page.waitForTimeout(2500);  // the page writes the player's files back each second
  await page.reload();
  await startScreen();
  check((await readSettings()) === changed, "the changed setting is there after a reload");

  // 5. Escape on the title ends the game; the page starts again.
  await page.keyboard.press("Space");
  await waitFor("the title's menu", (s) => s.scene === "title" && s.frame >= 120);
  await page.keyboard.press("Escape");
  await page.waitForEvent("load", { timeout: 60000 });
  await startScreen();
  await page.keyboard.press("Space");
  await waitFor("the title again", (s) => s.scene === "title" && s.frame >= 30);
  check(true, "after Escape the page shows its start screen and the game starts again");
  check(errors.length === 0, `no console errors in all (${errors.join(" | ")})`);
} catch (e) {
  check(false, String(e));
  await page.screenshot({ path: join(out, "web_failure.png") }).catch(() => {});
} finally {
  await browser.close();
  server.close();
}
if (failures.length) {
  console.log(`${failures.length} check(s) failed`);
  process.exit(1);
}
console.log("the page passed every check");
