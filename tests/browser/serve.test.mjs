// vkcad serve in headless Chromium, on a fresh copy of the demo project, by mouse and keys only:
// define the bathroom (bjcj), place two copies flipped left-right (bjbz), edit one (bjbj), then
// QUIT from the page, answering its question in the page; the floor is checked by `vkcad dump`.
// The secret and loopback rules are checked first. Each step leaves a screenshot in OUT.
//   node serve.test.mjs VKCAD_BIN_DIR SOURCE_DIR OUT_DIR NODE_MODULES_DIR
import { spawn, execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const [binDir, sourceDir, outDir, nodeModules] = process.argv.slice(2).map((a) => path.resolve(a));
let puppeteer;
try {
  puppeteer = createRequire(path.join(nodeModules, 'x.js'))('puppeteer-core');
} catch (e) {
  console.log('FAIL puppeteer-core is not installed in ' + nodeModules + ': run scripts/setup.sh');
  process.exit(1);
}
if (!fs.existsSync(process.env.VK_CHROMIUM || '/usr/bin/chromium')) {
  console.log('FAIL no chromium at ' + (process.env.VK_CHROMIUM || '/usr/bin/chromium') + ': run scripts/setup.sh');
  process.exit(1);
}
const vkcad = path.join(binDir, 'vkcad');
const demo = path.join(outDir, 'demo');
let failures = 0, passes = 0, skips = 0;

function check(ok, what) {
  if (ok) { passes++; console.log('ok   ' + what); } else { failures++; console.log('FAIL ' + what); }
  return ok;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const deadline = setTimeout(() => { console.log('FAIL the test ran out of time'); process.exit(1); }, 170000);

// ---- the demo project, floors only ----------------------------------------------------------
fs.mkdirSync(outDir, { recursive: true });
for (const f of fs.readdirSync(outDir)) if (f.endsWith('.png')) fs.rmSync(path.join(outDir, f));
execFileSync('bash', [path.join(sourceDir, 'scripts/demo.sh')], {
  cwd: sourceDir, stdio: ['ignore', 'ignore', 'inherit'],
  env: { ...process.env, VK_DEMO_BIN: binDir, VK_DEMO_OUT: demo, VK_DEMO_STOP: 'floors' },
});
const env = { ...process.env, VKCAD_DRIVES: 'C=' + path.join(demo, 'c') };

// ---- vkcad serve ---------------------------------------------------------------------------
const server = spawn(vkcad, ['serve', '--project', 'demo.prj'], { cwd: demo, env, stdio: ['ignore', 'pipe', 'pipe'] });
let output = '';
server.stdout.on('data', (d) => { output += d; });
server.stderr.on('data', (d) => process.stderr.write(d));
const exited = new Promise((r) => server.on('exit', (code) => r(code)));
process.on('exit', () => { if (server.exitCode === null) server.kill('SIGKILL'); });
process.on('unhandledRejection', (e) => { console.log('FAIL ' + (e && e.message)); process.exit(1); });
while (!output.includes('\n')) await sleep(50);
const address = output.split('\n')[0];
check(/^http:\/\/127\.0\.0\.1:\d+\/\?s=[0-9a-f]{32}$/.test(address), 'the first line of output is the address with its secret: ' + address);
const { port, searchParams } = new URL(address);
const secret = searchParams.get('s');

function get(pathAndQuery, headers = {}) {
  return new Promise((resolve) => {
    const req = http.get({ host: '127.0.0.1', port, path: pathAndQuery, headers }, (res) => {
      res.resume();
      resolve(res.statusCode);
    });
    req.on('error', () => resolve(0));
  });
}
check(await get('/?s=' + secret) === 200, 'the page with the secret is served');
check(await get('/') === 403, 'the page without the secret is refused');
check(await get('/?s=' + secret.replace(/.$/, (c) => (c === '0' ? '1' : '0'))) === 403, 'a wrong secret is refused');
check(await get('/events?s=') === 403, 'the live connection without the secret is refused');
check(await get('/plan.png?s=x&x1=0&y1=0&x2=1&y2=1&w=10&h=10') === 403, 'a picture without the secret is refused');
check(await get('/events?s=' + secret, { Origin: 'http://example.com' }) === 403, 'a connection from another origin is refused');
check(await get('/?s=' + secret, { Host: 'vkcad.example.com:' + port }) === 403, 'a request naming another host is refused');
// Listening on the loopback address only, as the kernel's socket table says.
const listening = fs.readFileSync('/proc/net/tcp', 'utf8').split('\n').slice(1).map((l) => l.trim().split(/\s+/))
  .filter((f) => f.length > 3 && f[3] === '0A' && parseInt(f[1].split(':')[1], 16) === Number(port)).map((f) => f[1].split(':')[0]);
const listening6 = fs.existsSync('/proc/net/tcp6') ? fs.readFileSync('/proc/net/tcp6', 'utf8').split('\n').slice(1)
  .map((l) => l.trim().split(/\s+/)).filter((f) => f.length > 3 && f[3] === '0A' && parseInt(f[1].split(':')[1], 16) === Number(port)) : [];
check(listening.length === 1 && listening[0] === '0100007F' && listening6.length === 0, 'the port listens on 127.0.0.1 only');

// ---- the page --------------------------------------------------------------------------------
const userData = fs.mkdtempSync(path.join(outDir, 'chromium-'));
process.on('exit', () => fs.rmSync(userData, { recursive: true, force: true }));
const browser = await puppeteer.launch({
  executablePath: process.env.VK_CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--user-data-dir=' + userData],
});
const page = await browser.newPage();
await page.setViewport({ width: 1400, height: 900 });
page.on('pageerror', (e) => check(false, 'no script error in the page: ' + e.message));
await page.goto(address);

const state = () => page.evaluate(() => window.vk.state);
async function until(what, pred, ms = 20000) {
  const end = Date.now() + ms;
  for (;;) {
    const s = await state();
    if (s && pred(s)) return s;
    if (Date.now() > end) {
      check(false, 'waited for ' + what);
      console.log('the transcript ends:\n' + (await transcriptText()).slice(-1500));
      throw new Error('gave up waiting for ' + what);
    }
    await sleep(50);
  }
}
let shot = 0;
async function screenshot(name) {
  await page.waitForFunction(() => !window.vk.planLoading, { timeout: 20000 }).catch(() => {});
  await sleep(150);
  const file = path.join(outDir, String(++shot).padStart(2, '0') + '-' + name + '.png');
  await page.screenshot({ path: file });
}
// Screen position of a world point, for the mouse.
async function at(x, y) {
  return page.evaluate((x, y) => {
    const r = document.getElementById('overlay').getBoundingClientRect();
    const s = window.vk.toScreen(x, y);
    return { x: r.left + s.x, y: r.top + s.y };
  }, x, y);
}
// Clicks there; answers the point the page sent for the click (the pixel's world point).
async function clickWorld(x, y) {
  const p = await at(x, y);
  const count = await page.evaluate(() => window.vk.sent.length);
  await page.mouse.click(p.x, p.y);
  await page.waitForFunction((n) => window.vk.sent.length > n, { timeout: 20000 }, count);
  const line = await page.evaluate(() => window.vk.sent[window.vk.sent.length - 1]);
  const [sx, sy] = line.split(',').map(Number);
  check(Math.hypot(sx - x, sy - y) < 60, `a click at ${x},${y} sends that point (${line})`);
  return { x: sx, y: sy };
}
async function closeInformation() {
  for (const b of await page.$$('.msgbox:not(.waits) button')) await b.click();
}
async function moveWorld(x, y) { const p = await at(x, y); await page.mouse.move(p.x, p.y, { steps: 8 }); }
async function command(text) { await page.click('#input'); await page.keyboard.type(text); await page.keyboard.press('Enter'); }
const dialogShown = (id) => (s) => s.dialogs.some((d) => d.id === id);
const control = (dlg, id) => `.dialog[data-dialog="${dlg}"] [data-control="${id}"]`;
const transcriptText = () => page.$eval('#transcript', (t) => t.textContent);

await until('the first state', (s) => s.drawing.extents && s.prompt.kind === 'command');
await screenshot('opened');
check((await state()).project.floors.map((f) => f.name).join() === '1F,2F,3F', "the project's floors are listed");

// Define the bathroom: the filter dialog, a click on the boundary, Enter, the base point, the name.
await command('bjcj');
await until('the define dialog', dialogShown(200));
await screenshot('define-dialog');
await page.click(control(200, 206));
await until('the filter dialog', dialogShown(202));
await screenshot('filter-dialog');
await page.click(control(202, 1));
await until('the boundary pick', (s) => s.prompt.kind === 'pick' && !dialogShown(202)(s));
await clickWorld(2050, 9200);
await until('the components to keep', (s) => s.prompt.kind === 'selection' && s.highlight > 0);
await screenshot('components-highlighted');
check((await page.evaluate(() => document.querySelectorAll('#keywords button').length)) >= 1, 'the prompt keywords are buttons');
await page.keyboard.press('Enter');
await until('the base point', (s) => s.prompt.kind === 'point');
const base = await clickWorld(4000, 8400);
await until('the name in the dialog', (s) => s.prompt.kind === 'dialog' || dialogShown(200)(s));
await page.click(control(200, 200), { clickCount: 3 });  // the whole proposed name, typed over
await page.keyboard.type('客房卫生间');
await screenshot('named');
await page.click(control(200, 1));
await until('the definition to end', (s) => s.prompt.kind === 'command' && s.dialogs.length === 0);
await page.waitForSelector('.msgbox', { timeout: 5000 }).catch(() => {});
await screenshot('defined');
check((await transcriptText()).includes('房间提取成功'), 'the room was defined (its message box shown)');
await closeInformation();

// Place two copies, flipped left-right: the room in the list, the place button, the outline
// follows the mouse, B flips it at once, two clicks.
await command('bjbz');
await until('the select dialog', dialogShown(201));
await page.waitForSelector(control(201, 204) + ' div');
const rows = await page.$$eval(control(201, 204) + ' div', (rs) => rs.map((r) => r.textContent));
await page.click(control(201, 204) + ` div:nth-child(${rows.indexOf('客房卫生间') + 1})`);
await page.waitForSelector(control(201, 211) + ' img').catch(() => {});
await screenshot('select-dialog-preview');
// The dialog is moved out of the way by its caption, as a person would.
const caption = await page.$eval('.dialog[data-dialog="201"] .caption', (c) => {
  const r = c.getBoundingClientRect();
  return { x: r.left + 40, y: r.top + r.height / 2 };
});
await page.mouse.move(caption.x, caption.y);
await page.mouse.down();
await page.mouse.move(caption.x + 260, caption.y + 330, { steps: 10 });
await page.mouse.up();
const moved = await page.$eval('.dialog[data-dialog="201"]', (d) => d.getBoundingClientRect().top);
check(moved > caption.y + 250, 'the dialog moves by its caption');
await page.click(control(201, 212));
await until('the drag', (s) => s.prompt.kind === 'drag');
await moveWorld(12000, 8400);
await page.waitForFunction(() => window.vk.outline && window.vk.outline.serial === window.vk.state.prompt.serial, { timeout: 10000 });
// The outline is drawn where the mouse is: a point of it on the overlay, then after a move.
async function outlineDrawnAt(wx, wy) {
  return page.evaluate((wx, wy) => {
    const o = window.vk.outline, c = document.getElementById('overlay');
    const p = o.paths.find((q) => q.p.length >= 4);
    const mx = (p.p[0] + p.p[2]) / 2 - o.anchor[0] + wx, my = (p.p[1] + p.p[3]) / 2 - o.anchor[1] + wy;
    const s = window.vk.toScreen(mx, my);
    const d = c.getContext('2d').getImageData(Math.round(s.x) - 2, Math.round(s.y) - 2, 5, 5).data;
    for (let i = 0; i < d.length; i += 4) if (d[i + 3] > 0 && d[i] > 150 && d[i + 2] > 80 && d[i + 1] < 100) return true;
    return false;
  }, wx, wy);
}
check(await outlineDrawnAt(12000, 8400), 'the outline is drawn at the mouse');
await screenshot('outline-at-mouse');
await moveWorld(8000, 4000);
check(await outlineDrawnAt(8000, 4000) && !(await outlineDrawnAt(12000, 8400)), 'the outline follows the mouse');
// The outline moves in the page: 30 frames of motion take well under a second.
const frames = await page.evaluate(async () => {
  const o = document.getElementById('overlay');
  const t0 = performance.now();
  for (let i = 0; i < 30; i++) {
    o.dispatchEvent(new MouseEvent('mousemove', { clientX: 300 + 10 * i, clientY: 300, bubbles: true }));
    await new Promise((r) => requestAnimationFrame(r));
  }
  return 30000 / (performance.now() - t0);
});
check(frames >= 30, 'the outline moves at ' + Math.round(frames) + ' frames a second (30 or more)');
await moveWorld(4000, 8400);
const before = await page.evaluate(() => window.vk.outline);
await page.keyboard.press('b');
await page.waitForFunction(() => window.vk.outline && window.vk.outline.serial === window.vk.state.prompt.serial &&
  window.vk.state.prompt.kind === 'drag', { timeout: 10000 });
await sleep(100);
const after = await page.evaluate(() => window.vk.outline);
const xs = (paths) => paths.flatMap((p) => p.p.filter((_, i) => i % 2 === 0));
check(Math.max(...xs(before.paths)) < before.anchor[0] + 1 && Math.min(...xs(after.paths)) > after.anchor[0] - 1,
  'B flips the outline at once (west of the cursor before, east of it after)');
await screenshot('outline-flipped');
const placed = [];
for (const x of [4000, 12000]) {
  const revision = (await state()).drawing.revision;
  placed.push(await clickWorld(x, 8400));
  await until('the copy at ' + x + ',8400', (s) => s.prompt.kind === 'drag' && s.drawing.revision !== revision);
}
await screenshot('two-copies');
await page.keyboard.press('Escape');
await until('the placing to end', (s) => s.prompt.kind === 'command' && s.dialogs.length === 0);
await screenshot('placed');

// Edit the room from the copy east of axis 2: re-extract, keep what is gathered, OK.
await command('bjbj');
await until('the edit dialog', dialogShown(211));
await screenshot('edit-dialog');
await page.click(control(211, 214));
await until('the filter dialog', dialogShown(202));
await page.click(control(202, 1));
await until('the copy pick', (s) => s.prompt.kind === 'pick');
// Zoom in with the wheel where the copy's marker is, to pick it rather than its neighbours.
const wheelAt = await at(5990, 9600);
await page.mouse.move(wheelAt.x, wheelAt.y);
for (let i = 0; i < 6; i++) await page.mouse.wheel({ deltaY: -200 });
const zoomed = await page.evaluate(() => window.vk.view.scale);
await screenshot('zoomed-to-pick');
check(zoomed > 0.15, 'the wheel zooms in (' + zoomed.toFixed(3) + ' pixels a unit)');
const under = await page.evaluate((x, y) => {
  const r = document.getElementById('overlay').getBoundingClientRect();
  return window.vk.toWorld(Math.round(x - r.left), Math.round(y - r.top));
}, wheelAt.x, wheelAt.y);
check(Math.hypot(under.x - 5990, under.y - 9600) < 2 / 0.05, 'the wheel zooms about the cursor');
await clickWorld(5990, 9600);
await until('the components to keep', (s) => s.prompt.kind === 'selection');
await page.keyboard.press('Enter');
await until('the edit dialog again', (s) => dialogShown(211)(s) && s.dialogs.find((d) => d.id === 211).top);
await screenshot('edit-re-extracted');
await page.click(control(211, 1));
await until('the edit to end', (s) => s.prompt.kind === 'command' && s.dialogs.length === 0, 60000);
await screenshot('edited');
check((await page.evaluate(() => window.vk.waits)).some((w) => w.step === '1F 1/1' && w.done === 1 && w.of === 1),
  'the edit showed its wait line as a progress bar with the floor');

// U takes back a placement once the undo command exists.
if ((await state()).commands.includes('U')) {
  check(false, 'U exists now: this step must be written (take back the second copy, check it is gone)');
} else {
  skips++;
  console.log('skip U: no U command in this build yet (the undo work adds it); the step waits for it');
}

// QUIT in the page asks about the unsaved floor, in the page.
await command('QUIT');
await page.waitForSelector('.msgbox.waits button[data-answer="yes"]', { timeout: 20000 });
await screenshot('quit-question');
await page.click('.msgbox.waits button[data-answer="yes"]');
const code = await Promise.race([exited, sleep(30000).then(() => 'timeout')]);
check(code === 0, 'QUIT answered Yes saves and ends vkcad (exit ' + code + ')');
await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 }).then(() => true, () => false)
  .then((ok) => check(ok, 'the page says vkcad has ended'));
await screenshot('ended');
await browser.close();

// ---- the floor as saved ---------------------------------------------------------------------
const objects = execFileSync(vkcad, ['dump', path.join(demo, '1F.dwg')], { env, maxBuffer: 1 << 28 }).toString()
  .trim().split('\n').map((l) => JSON.parse(l));
const byHandle = new Map(objects.map((o) => [o.handle, o]));
const markers = objects.filter((o) => o.class === 'AcDbQsStandRoom' && !o.erased);
const bounds = (room) => {
  const v = room.vertices.map((p) => [p[0], p[1]]);
  return [Math.min(...v.map((p) => p[0])), Math.min(...v.map((p) => p[1])), Math.max(...v.map((p) => p[0])), Math.max(...v.map((p) => p[1]))];
};
const near = (a, b) => a.every((v, i) => Math.abs(v - b[i]) < 0.5);
// The bathroom's boundary as drawn: x 2050..3900, y 8500..10750, about the base point clicked.
// A copy flipped left-right at a click: x' = click + (base - x), y' = click + (y - base).
for (const click of placed) {
  const expected = [click.x + base.x - 3900, click.y + 8500 - base.y, click.x + base.x - 2050, click.y + 10750 - base.y];
  const copy = markers.find((m) => Math.abs(m.insertPt[0] - click.x) < 0.01 && Math.abs(m.insertPt[1] - click.y) < 0.01 &&
    m.assocRoom && byHandle.get(m.assocRoom) && near(bounds(byHandle.get(m.assocRoom)), expected));
  check(!!copy, `a copy at ${click.x},${click.y} flipped left-right (its boundary at x ${expected[0]}..${expected[2]})`);
}
check(markers.length === 3, 'the floor holds the defined room and its two copies (' + markers.length + ' markers)');

clearTimeout(deadline);
console.log(`${passes} passed, ${failures} failed, ${skips} skipped`);
process.exit(failures ? 1 : 0);
