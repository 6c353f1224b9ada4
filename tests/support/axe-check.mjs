// Runs axe-core on a page in headless Chromium, driven over its DevTools pipe (no package but
// axe-core itself), and prints one JSON object: axe-core's version, its violations, the
// requests that failed or were answered 400 and above, the console's errors, and the page's
// icons as the browser fetches them.
// Usage: node axe-check.mjs CHROMIUM URL AXE_MIN_JS WIDTH HEIGHT
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const [chromium, url, axePath, width, height] = process.argv.slice(2);
const profile = mkdtempSync(join(tmpdir(), "velmora-axe-"));
const browser = spawn(chromium, [
  "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
  `--user-data-dir=${profile}`, `--window-size=${width},${height}`, "--remote-debugging-pipe",
  "about:blank",
], { stdio: ["ignore", "ignore", "ignore", "pipe", "pipe"] });

let finished = false;
function finish(code, text) {
  if (finished) return;
  finished = true;
  // Once the browser is gone: its helper processes may still be writing to the profile.
  const done = () => {
    try {
      rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    } catch {}
    process.stdout.write(text + "\n", () => process.exit(code));
  };
  if (browser.exitCode !== null || browser.signalCode !== null) {
    done();
  } else {
    browser.once("exit", done);
    browser.kill("SIGKILL");
  }
}
const limit = setTimeout(() => finish(2, JSON.stringify({ error: "Chromium took over 60 s" })),
                         60000);
browser.on("error", (e) => finish(2, JSON.stringify({ error: String(e) })));
let closing = false;
browser.on("exit", () => closing || finish(2, JSON.stringify({ error: "Chromium ended before the check" })));
for (const pipe of [browser.stdio[3], browser.stdio[4]]) pipe.on("error", () => {});

// Messages on the pipe are JSON, each ended by a NUL byte.
let nextId = 1;
const waiting = new Map();
const listeners = [];
let pending = "";
browser.stdio[4].on("data", (chunk) => {
  pending += chunk.toString("utf8");
  let end;
  while ((end = pending.indexOf("\0")) >= 0) {
    const message = JSON.parse(pending.slice(0, end));
    pending = pending.slice(end + 1);
    if (message.id && waiting.has(message.id)) {
      const { resolve, reject } = waiting.get(message.id);
      waiting.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else if (message.method) {
      listeners.forEach((listener) => listener(message));
    }
  }
});
function send(method, params = {}, sessionId = undefined) {
  const id = nextId++;
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + "\0");
  return new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
}
function next(method) {
  return new Promise((resolve) => listeners.push((m) => m.method === method && resolve(m)));
}

async function check() {
  const { targetId } = await send("Target.createTarget", { url: "about:blank" });
  const { sessionId } = await send("Target.attachToTarget", { targetId, flatten: true });
  const page = (method, params) => send(method, params, sessionId);
  const failedRequests = [];
  const consoleErrors = [];
  const urls = new Map();
  listeners.push((m) => {
    if (m.sessionId !== sessionId) return;
    if (m.method === "Network.requestWillBeSent") urls.set(m.params.requestId, m.params.request.url);
    if (m.method === "Network.responseReceived" && m.params.response.status >= 400)
      failedRequests.push(`${m.params.response.status} ${m.params.response.url}`);
    // The stream the page closes itself is no failure.
    if (m.method === "Network.loadingFailed" && !m.params.canceled)
      failedRequests.push(`${m.params.errorText} ${urls.get(m.params.requestId)}`);
    if (m.method === "Log.entryAdded" && m.params.entry.level === "error")
      consoleErrors.push(`${m.params.entry.text} ${m.params.entry.url || ""}`.trim());
    if (m.method === "Runtime.exceptionThrown")
      consoleErrors.push(m.params.exceptionDetails.text);
  });
  for (const domain of ["Page", "Network", "Log", "Runtime"]) await page(`${domain}.enable`);
  // axe-core is put in by the test, not by the page: the page's own policy allows only its files.
  await page("Page.setBypassCSP", { enabled: true });
  const loaded = next("Page.loadEventFired");
  await page("Page.navigate", { url });
  await loaded;
  const evaluate = async (expression) => {
    const { result, exceptionDetails } = await page("Runtime.evaluate",
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(JSON.stringify(exceptionDetails));
    return result.value;
  };
  // The state has come once the board shows the count of the numbers drawn.
  await evaluate(`new Promise((resolve) => { const poll = () =>
      /Numeri estratti: [1-9]/.test(document.getElementById("conteggio").textContent)
        ? resolve(true) : setTimeout(poll, 50); poll(); })`);
  const icons = await evaluate(`Promise.all([...document.querySelectorAll("link[rel~=icon]")]
      .map((link) => fetch(link.href).then((r) =>
        ({ href: link.href, status: r.status, type: r.headers.get("content-type") }))))`);
  await evaluate(readFileSync(axePath, "utf8"));
  const axe = await evaluate(`axe.run(document).then((r) => ({
      version: r.testEngine.version, passes: r.passes.length,
      violations: r.violations.map((v) => ({ id: v.id, impact: v.impact, help: v.help,
        nodes: v.nodes.map((n) => n.target.join(" ")) })) }))`);
  const found = { axe, failedRequests: [...failedRequests], consoleErrors: [...consoleErrors], icons };
  closing = true;
  await Promise.race([send("Browser.close"), new Promise((resolve) => browser.on("exit", resolve))]);
  return found;
}

check().then((found) => {
  clearTimeout(limit);
  finish(0, JSON.stringify(found));
}, (e) => {
  clearTimeout(limit);
  finish(2, JSON.stringify({ error: String(e.stack || e) }));
});
