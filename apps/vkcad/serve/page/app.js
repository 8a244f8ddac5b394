// The window of a vkcad session. Everything the person does becomes an input line as a script
// would write it (points, W/C boxes, keywords, <enter>, <esc>, !click, !select, !text, !answer);
// the session answers with its transcript, its state and pictures of the plan. No logic of the
// editor lives here.
'use strict';

const secret = new URLSearchParams(location.search).get('s') || '';
const $ = (id) => document.getElementById(id);
const url = (path, params = {}) => path + '?' + new URLSearchParams({ s: secret, ...params });

// ---- sending input ---------------------------------------------------------------------
let sending = Promise.resolve();
const sent = [];   // the lines sent so far, newest last (window.vk.sent)
function send(lines, silent = false) {
  if (!Array.isArray(lines)) lines = [lines];
  flushEdits();
  if (!silent) { sent.push(...lines); sent.splice(0, Math.max(0, sent.length - 200)); }
  sending = sending.then(() => fetch(url('/input'), {
    method: 'POST', headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ lines, silent }),
  })).catch(() => {});
  return sending;
}
const quote = (text) => '"' + String(text).replace(/"/g, '""') + '"';
const num = (v) => String(Math.round(v * 1000) / 1000);
const pointText = (p) => num(p.x) + ',' + num(p.y);

// ---- the view: world <-> screen ----------------------------------------------------------
const planCanvas = $('plan'), overlay = $('overlay'), planbox = $('planbox');
const view = { cx: 0, cy: 0, scale: 0.05, w: 800, h: 600 };
const toScreen = (x, y, v = view) => ({ x: v.w / 2 + (x - v.cx) * v.scale, y: v.h / 2 - (y - v.cy) * v.scale });
const toWorld = (sx, sy, v = view) => ({ x: v.cx + (sx - v.w / 2) / v.scale, y: v.cy - (sy - v.h / 2) / v.scale });

let state = null;
let planImage = null, planImageView = null;   // the last plan picture and the view it shows
let planWanted = null, planLoading = false;
let cursor = null;                              // screen position over the plan, or null
let outline = null;                             // the jig's outline: {anchor, paths, serial}
let highlight = [];                             // paths of highlighted entities
let dragStart = null;                           // mouse down: {sx, sy, button, panning, view}
let viewedDocument = null;

function resize() {
  const r = planbox.getBoundingClientRect();
  view.w = Math.max(1, Math.floor(r.width));
  view.h = Math.max(1, Math.floor(r.height));
  for (const c of [planCanvas, overlay]) { c.width = view.w; c.height = view.h; }
  requestPlan();
}

function zoomExtents() {
  const e = state && state.drawing.extents;
  if (!e) return;
  const dx = Math.max(e[2] - e[0], 1e-6), dy = Math.max(e[3] - e[1], 1e-6);
  view.cx = (e[0] + e[2]) / 2;
  view.cy = (e[1] + e[3]) / 2;
  view.scale = Math.min(view.w / dx, view.h / dy) * 0.92;
  requestPlan();
}

function requestPlan() {
  drawPlan();
  drawOverlay();
  if (!state) return;
  planWanted = { ...view, revision: state.drawing.revision, document: viewedDocument };
  if (!planLoading) loadPlan();
}

function loadPlan() {
  if (!planWanted) return;
  const v = planWanted;
  planWanted = null;
  planLoading = true;
  const a = toWorld(0, v.h, v), b = toWorld(v.w, 0, v);
  const img = new Image();
  img.onload = () => {
    planImage = img;
    planImageView = v;
    planLoading = false;
    drawPlan();
    loadPlan();
    if (!planLoading) for (const f of afterPlan.splice(0)) f();
  };
  img.onerror = () => { planLoading = false; setTimeout(loadPlan, 200); };
  img.src = url('/plan.png', { x1: a.x, y1: a.y, x2: b.x, y2: b.y, w: v.w, h: v.h, r: v.revision });
}

// A pick goes out once the session has drawn the view it was made in: drawing the view sets
// the session's pixel size, and with it the pick aperture.
const afterPlan = [];
function whenPlanCurrent(f) { if (planLoading || planWanted) afterPlan.push(f); else f(); }

// The last picture, moved and scaled to the view as it is now, until the new one comes.
function drawPlan() {
  const g = planCanvas.getContext('2d');
  g.setTransform(1, 0, 0, 1, 0, 0);
  g.fillStyle = '#fff';
  g.fillRect(0, 0, view.w, view.h);
  if (!planImage) return;
  const v = planImageView, k = view.scale / v.scale;
  const o = toScreen(toWorld(0, 0, v).x, toWorld(0, 0, v).y);
  g.imageSmoothingEnabled = k < 1;
  g.drawImage(planImage, o.x, o.y, v.w * k, v.h * k);
}

// ---- the overlay: highlight, jig outline, cursor, selection window ----------------------
function strokePaths(g, paths, dx, dy, style) {
  for (const p of paths) {
    g.beginPath();
    for (let i = 0; i < p.p.length; i += 2) {
      const s = toScreen(p.p[i] + dx, p.p[i + 1] + dy);
      if (i === 0) g.moveTo(s.x, s.y); else g.lineTo(s.x, s.y);
    }
    g.strokeStyle = style || p.c;
    g.stroke();
  }
}

function promptKind() { return state ? state.prompt.kind : 'command'; }

function drawOverlay() {
  const g = overlay.getContext('2d');
  g.setTransform(1, 0, 0, 1, 0, 0);
  g.clearRect(0, 0, view.w, view.h);
  if (highlight.length) {
    g.save();
    g.lineWidth = 3;
    g.setLineDash([6, 4]);
    strokePaths(g, highlight, 0, 0, 'rgba(255, 140, 0, 0.9)');
    g.restore();
  }
  const kind = promptKind();
  if (kind === 'drag' && outline && cursor && outline.serial === state.prompt.serial) {
    const w = toWorld(cursor.x, cursor.y);
    g.save();
    g.lineWidth = 1.5;
    strokePaths(g, outline.paths, w.x - outline.anchor[0], w.y - outline.anchor[1], '#d0208a');
    g.restore();
  }
  if (dragStart && !dragStart.panning && kind === 'selection') {
    const crossing = cursor.x < dragStart.sx;
    g.save();
    g.setLineDash(crossing ? [5, 4] : []);
    g.strokeStyle = crossing ? '#1a9d3a' : '#1a4fd0';
    g.fillStyle = crossing ? 'rgba(26, 157, 58, 0.08)' : 'rgba(26, 79, 208, 0.08)';
    const x = Math.min(dragStart.sx, cursor.x), y = Math.min(dragStart.sy, cursor.y);
    g.fillRect(x, y, Math.abs(cursor.x - dragStart.sx), Math.abs(cursor.y - dragStart.sy));
    g.strokeRect(x + 0.5, y + 0.5, Math.abs(cursor.x - dragStart.sx), Math.abs(cursor.y - dragStart.sy));
    g.restore();
  }
  if (!cursor) return;
  g.save();
  g.strokeStyle = '#333';
  g.lineWidth = 1;
  const cx = Math.round(cursor.x) + 0.5, cy = Math.round(cursor.y) + 0.5;
  g.beginPath();
  g.moveTo(0, cy); g.lineTo(view.w, cy);
  g.moveTo(cx, 0); g.lineTo(cx, view.h);
  g.stroke();
  if (kind === 'pick' || kind === 'selection' || kind === 'command') {
    const box = state ? state.pickbox : 3;
    g.clearRect(cx - box, cy - box, 2 * box, 2 * box);
    g.strokeRect(cx - box, cy - box, 2 * box, 2 * box);
  }
  g.restore();
}

// ---- mouse over the plan -------------------------------------------------------------------
const takesClicks = (k) => k === 'point' || k === 'pick' || k === 'selection' || k === 'drag';

overlay.addEventListener('mousemove', (e) => {
  cursor = { x: e.offsetX, y: e.offsetY };
  const w = toWorld(cursor.x, cursor.y);
  $('coords').textContent = 'X ' + w.x.toFixed(1) + '   Y ' + w.y.toFixed(1);
  if (dragStart && !dragStart.panning && Math.hypot(cursor.x - dragStart.sx, cursor.y - dragStart.sy) > 4 &&
      (promptKind() !== 'selection' || dragStart.button === 1)) dragStart.panning = true;
  if (dragStart && dragStart.panning) {
    view.cx = dragStart.view.cx - (cursor.x - dragStart.sx) / view.scale;
    view.cy = dragStart.view.cy + (cursor.y - dragStart.sy) / view.scale;
    drawPlan();
  }
  drawOverlay();
});
overlay.addEventListener('mouseleave', () => { cursor = null; drawOverlay(); });
overlay.addEventListener('mousedown', (e) => {
  if (e.button !== 0 && e.button !== 1) return;
  e.preventDefault();
  dragStart = { sx: e.offsetX, sy: e.offsetY, button: e.button, panning: e.button === 1, view: { ...view } };
});
window.addEventListener('mouseup', (e) => {
  if (!dragStart) return;
  const d = dragStart;
  dragStart = null;
  if (d.panning) { requestPlan(); return; }
  if (e.target !== overlay) { drawOverlay(); return; }
  const kind = promptKind();
  const moved = Math.hypot(e.offsetX - d.sx, e.offsetY - d.sy) > 4;
  if (kind === 'selection' && moved) {
    const a = toWorld(d.sx, d.sy), b = toWorld(e.offsetX, e.offsetY);
    const line = (e.offsetX < d.sx ? 'C ' : 'W ') + pointText(a) + ' ' + pointText(b);
    whenPlanCurrent(() => send(line));
  } else if (takesClicks(kind) && !moved) {
    const line = pointText(toWorld(e.offsetX, e.offsetY));
    whenPlanCurrent(() => send(line));
  }
  drawOverlay();
  $('input').focus();
});
overlay.addEventListener('wheel', (e) => {
  e.preventDefault();
  const before = toWorld(e.offsetX, e.offsetY);
  view.scale *= Math.pow(1.0015, -e.deltaY);
  const after = toWorld(e.offsetX, e.offsetY);
  view.cx += before.x - after.x;
  view.cy += before.y - after.y;
  requestPlan();
}, { passive: false });
overlay.addEventListener('auxclick', (e) => e.preventDefault());
$('extents').addEventListener('click', () => { zoomExtents(); $('input').focus(); });

// ---- the command line ---------------------------------------------------------------------
const history = [];
let historyAt = 0;
const input = $('input');

function keywordLetters() { return state ? state.prompt.keywords : []; }

input.addEventListener('keydown', (e) => {
  const kind = promptKind();
  if (e.key === 'Enter') {
    e.preventDefault();
    const text = input.value.trim();
    input.value = '';
    if (text) {
      history.push(text);
      historyAt = history.length;
      send(text);
    } else if (kind !== 'command' && kind !== 'dialog' && kind !== 'question') {
      send('<enter>');
    }
  } else if (e.key === 'Escape') {
    e.preventDefault();
    input.value = '';
    send('<esc>');
  } else if (e.key === 'ArrowUp' || e.key === 'ArrowDown') {
    e.preventDefault();
    historyAt = Math.max(0, Math.min(history.length, historyAt + (e.key === 'ArrowUp' ? -1 : 1)));
    input.value = history[historyAt] || '';
  } else if (kind === 'drag' && input.value === '' && e.key.length === 1 && !e.ctrlKey && !e.altKey) {
    // While dragging, a keyword's letter acts at once (A turns, B and C flip the outline).
    const kw = keywordLetters().find((k) => k.toUpperCase() === e.key.toUpperCase());
    if (kw) { e.preventDefault(); send(kw); }
  }
});
// Keys outside a text field belong to the command line (a dialog's buttons keep Space and Enter).
document.addEventListener('keydown', (e) => {
  const t = e.target;
  if (t === input || t.tagName === 'INPUT' && t.type !== 'checkbox' && t.type !== 'radio' || t.tagName === 'SELECT') return;
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  if (e.key === 'Escape') { e.preventDefault(); send('<esc>'); return; }
  if (t.tagName === 'BUTTON' && (e.key === ' ' || e.key === 'Enter')) return;
  if (e.key.length === 1 || e.key === 'Enter') {
    input.focus();
    input.dispatchEvent(new KeyboardEvent('keydown', { key: e.key }));
    if (e.key.length === 1 && !e.defaultPrevented && input.value === '' && promptKind() === 'drag' &&
        keywordLetters().some((k) => k.toUpperCase() === e.key.toUpperCase())) e.preventDefault();
  }
});

// A keyword's button says what the prompt says of it ("B-左右翻转" for B in "[A-旋转角度,B-左右翻转，C-上下翻转]").
function keywordLabel(kw, promptText) {
  const m = /\[([^\]]*)\]/.exec(promptText);
  if (m) for (const part of m[1].split(/[,，/]/)) {
    const t = part.trim();
    if (t.toUpperCase().startsWith(kw.toUpperCase()) && t.length > kw.length) return t;
  }
  return kw;
}

function showPrompt() {
  const p = state.prompt;
  $('prompt').textContent = p.text;
  const box = $('keywords');
  box.replaceChildren();
  if (p.kind === 'question' || p.kind === 'dialog') return;
  for (const kw of p.keywords) {
    const b = document.createElement('button');
    b.textContent = keywordLabel(kw, p.text);
    b.dataset.keyword = kw;
    b.addEventListener('click', () => { send(kw); input.focus(); });
    box.append(b);
  }
  if (p.kind !== 'command') {
    for (const [label, line] of [['Enter', '<enter>'], ['Esc', '<esc>']]) {
      const b = document.createElement('button');
      b.textContent = label;
      b.addEventListener('click', () => { send(line); input.focus(); });
      box.append(b);
    }
  }
}

const transcript = $('transcript');
function appendTranscript(text, reset) {
  if (reset) transcript.textContent = '';
  transcript.textContent += text;
  if (transcript.textContent.length > 200000) transcript.textContent = transcript.textContent.slice(-150000);
  transcript.scrollTop = transcript.scrollHeight;
}

// ---- side panels ---------------------------------------------------------------------------
// The layer states change through the LAYER command, as a script would change them.
const layerLines = {
  off: (name, on) => ['LAYER', on ? 'OFF' : 'ON', name, '<enter>'],
  frozen: (name, on) => ['LAYER', on ? 'FREEZE' : 'THAW', name, '<enter>'],
  locked: (name, on) => ['LAYER', on ? 'LOCK' : 'UNLOCK', name, '<enter>'],
};

function showPanels() {
  const atCommand = promptKind() === 'command';
  const floors = $('floors');
  floors.replaceChildren();
  for (const f of (state.project ? state.project.floors : [])) {
    const li = document.createElement('li');
    li.textContent = f.name;
    li.className = (f.current ? 'current' : '') + (atCommand ? '' : ' disabled');
    li.title = f.path;
    if (atCommand && !f.current) li.addEventListener('click', () => send('OPEN ' + f.path));
    floors.append(li);
  }
  const docs = $('documents');
  docs.replaceChildren();
  for (const d of state.documents) {
    const li = document.createElement('li');
    li.textContent = d.title + (d.modified ? ' *' : '') + (d.readOnly ? ' (read-only)' : '');
    li.className = (d.current ? 'current' : '') + (atCommand ? '' : ' disabled');
    li.title = d.path;
    if (atCommand && !d.current) li.addEventListener('click', () => send('OPEN ' + d.path));
    docs.append(li);
  }
  const canSet = atCommand && state.commands.includes('LAYER');
  const body = $('layers').tBodies[0];
  body.replaceChildren();
  for (const l of state.layers) {
    const tr = document.createElement('tr');
    const sw = document.createElement('td');
    sw.innerHTML = '<span class="swatch"></span>';
    sw.firstChild.style.background = l.color;
    const name = document.createElement('td');
    name.className = 'name';
    name.textContent = l.name;
    name.title = l.name;
    tr.append(sw, name);
    for (const [key, shown] of [['off', !l.off], ['frozen', l.frozen], ['locked', l.locked]]) {
      const td = document.createElement('td');
      const cb = document.createElement('input');
      cb.type = 'checkbox';
      cb.checked = shown;
      cb.dataset.layer = l.name;
      cb.dataset.state = key;
      cb.disabled = !canSet;
      cb.title = canSet ? '' : (atCommand ? 'needs the LAYER command' : 'a command is running');
      cb.addEventListener('change', () => send(layerLines[key](l.name, !l[key])));
      td.append(cb);
      tr.append(td);
    }
    body.append(tr);
  }
  const cur = state.documents.find((d) => d.current);
  $('title').textContent = cur ? cur.title + (cur.modified ? ' *' : '') : 'no drawing open';
  document.title = 'vkcad' + (cur ? ' - ' + cur.title : '');
}

// ---- dialogs --------------------------------------------------------------------------------
const dialogs = new Map();   // id -> {el, controls: Map(id -> element), moved}
const dirtyEdits = new Map(); // control id -> text typed and not yet sent

function flushEdits() {
  if (!dirtyEdits.size) return;
  const lines = [...dirtyEdits].map(([id, text]) => '!text ' + id + ' ' + quote(text));
  dirtyEdits.clear();
  sending = sending.then(() => fetch(url('/input'), {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ lines }),
  })).catch(() => {});
}

function makeControl(c, dlg) {
  let el;
  const click = () => send('!click ' + c.id);
  switch (c.kind) {
    case 'button': case 'default-button':
      el = document.createElement('button');
      el.className = 'ctl' + (c.kind === 'default-button' ? ' default' : '');
      el.addEventListener('click', click);
      break;
    case 'check-box': case 'radio': {
      el = document.createElement('label');
      el.className = 'ctl';
      const box = document.createElement('input');
      box.type = c.kind === 'radio' ? 'radio' : 'checkbox';
      box.addEventListener('click', (e) => { e.preventDefault(); click(); });
      el.append(box, document.createElement('span'));
      break;
    }
    case 'combo-droplist':
      el = document.createElement('select');
      el.className = 'ctl';
      el.addEventListener('change', () => send('!select ' + c.id + ' ' + el.value));
      break;
    case 'combo-dropdown': {
      // An edit with the rows to choose from: a chosen row is a selection, other text is typed.
      el = document.createElement('input');
      el.className = 'ctl';
      const list = document.createElement('datalist');
      list.id = 'rows-' + dlg.id + '-' + c.id;
      el.setAttribute('list', list.id);
      el.rows = list;
      el.addEventListener('input', () => dirtyEdits.set(c.id, el.value));
      el.addEventListener('change', () => {
        const row = (JSON.parse(el.dataset.rows || '[]')).indexOf(el.value);
        if (row >= 0) { dirtyEdits.delete(c.id); send('!select ' + c.id + ' ' + row); } else flushEdits();
      });
      el.addEventListener('keydown', (e) => {
        if (e.key === 'Enter') { e.preventDefault(); el.dispatchEvent(new Event('change')); }
        if (e.key === 'Escape') { e.preventDefault(); send('<esc>'); }
      });
      break;
    }
    case 'list-box':
      el = document.createElement('div');
      el.className = 'ctl list';
      break;
    case 'edit':
      el = document.createElement('input');
      el.className = 'ctl';
      el.addEventListener('input', () => dirtyEdits.set(c.id, el.value));
      el.addEventListener('change', flushEdits);
      el.addEventListener('keydown', (e) => {
        if (e.key === 'Enter') { e.preventDefault(); flushEdits(); }
        if (e.key === 'Escape') { e.preventDefault(); send('<esc>'); }
      });
      break;
    case 'group-box':
      el = document.createElement('fieldset');
      el.className = 'ctl';
      el.append(document.createElement('legend'));
      break;
    case 'picture':
      el = document.createElement('div');
      el.className = 'ctl picture';
      break;
    default:
      el = document.createElement('div');
      el.className = 'ctl static' + (c.center ? ' center' : '');
  }
  el.dataset.control = c.id;
  const [x, y, w, h] = c.rect;
  Object.assign(el.style, { left: x + 'px', top: y + 'px', width: w + 'px', height: h + 'px' });
  if (c.kind === 'combo-droplist' || c.kind === 'combo-dropdown') el.style.height = Math.min(h, 24) + 'px';
  if (el.rows) return [el, el.rows];
  return el;
}

function updateControl(el, c, d) {
  el.hidden = !c.visible;
  const enabled = c.enabled && d.top;
  switch (c.kind) {
    case 'button': case 'default-button': el.textContent = c.text.replace(/&(.)/g, '$1'); el.disabled = !enabled; break;
    case 'check-box': case 'radio':
      el.firstChild.checked = c.check === 1;
      el.firstChild.disabled = !enabled;
      el.lastChild.textContent = c.text.replace(/&(.)/g, '$1');
      break;
    case 'combo-dropdown': {
      const key = JSON.stringify(c.rows || []);
      if (el.dataset.rows !== key) {
        el.rows.replaceChildren(...(c.rows || []).map((r) => new Option(r)));
        el.dataset.rows = key;
      }
      if (!(document.activeElement === el && dirtyEdits.has(c.id))) el.value = c.text;
      el.disabled = !enabled;
      break;
    }
    case 'combo-droplist': {
      const rows = c.rows || [];
      const key = JSON.stringify(rows);
      if (el.dataset.rows !== key) {
        el.replaceChildren(...rows.map((r, i) => new Option(r, String(i))));
        el.dataset.rows = key;
      }
      el.value = String(c.sel);
      el.disabled = !enabled;
      break;
    }
    case 'list-box': {
      const rows = c.rows || [];
      const key = JSON.stringify(rows);
      if (el.dataset.rows !== key) {
        el.replaceChildren(...rows.map((r, i) => {
          const row = document.createElement('div');
          row.textContent = r;
          row.dataset.row = i;
          row.addEventListener('click', () => { if (el.dataset.enabled === '1') send('!select ' + c.id + ' ' + i); });
          row.addEventListener('dblclick', () => { if (el.dataset.enabled === '1') send('!dblclick ' + c.id + ' ' + i); });
          return row;
        }));
        el.dataset.rows = key;
      }
      el.dataset.enabled = enabled ? '1' : '0';
      [...el.children].forEach((row, i) => row.classList.toggle('sel', i === c.sel));
      break;
    }
    case 'edit':
      if (!(document.activeElement === el && dirtyEdits.has(c.id))) el.value = c.text;
      el.disabled = !enabled;
      break;
    case 'group-box': el.firstChild.textContent = c.text; break;
    case 'picture':
      if (c.preview !== undefined && el.dataset.preview !== c.preview) {
        el.dataset.preview = c.preview;
        const img = new Image(c.rect[2], c.rect[3]);
        img.src = url('/preview.png', { dialog: d.id, control: c.id, w: c.rect[2], h: c.rect[3], k: c.preview });
        el.replaceChildren(img);
      }
      break;
    default: el.textContent = c.text;
  }
}

function showDialogs() {
  const seen = new Set();
  const host = $('dialogs');
  state.dialogs.forEach((d, order) => {
    const key = d.id + '|' + d.caption;
    seen.add(key);
    let entry = dialogs.get(key);
    if (!entry) {
      const el = document.createElement('div');
      el.className = 'dialog';
      el.dataset.dialog = d.id;
      const cap = document.createElement('div');
      cap.className = 'caption';
      const title = document.createElement('span');
      title.textContent = d.caption;
      const close = document.createElement('button');
      close.textContent = '✕';
      close.title = 'Close';
      close.addEventListener('click', () => send('!close'));
      cap.append(title, close);
      const body = document.createElement('div');
      body.className = 'body';
      body.style.width = d.size[0] + 'px';
      body.style.height = d.size[1] + 'px';
      el.append(cap, body);
      entry = { el, body, controls: new Map() };
      for (const c of d.controls) {
        const made = makeControl(c, d);
        const ce = Array.isArray(made) ? made[0] : made;
        entry.controls.set(c.id, ce);
        body.append(...(Array.isArray(made) ? made : [made]));
      }
      host.append(el);
      const left = Math.max(10, (window.innerWidth - d.size[0]) / 2 + 30 * (dialogs.size % 4));
      const top = Math.max(10, (window.innerHeight - d.size[1]) / 3);
      Object.assign(el.style, { left: left + 'px', top: top + 'px' });
      movable(el, cap);
      dialogs.set(key, entry);
    }
    entry.el.classList.toggle('inactive', !d.top);
    entry.el.style.zIndex = String(order + 1);
    for (const c of d.controls) {
      const ce = entry.controls.get(c.id);
      if (ce) updateControl(ce, c, d);
    }
  });
  for (const [key, entry] of dialogs) {
    if (seen.has(key)) continue;
    entry.el.remove();
    dialogs.delete(key);
  }
  const modal = state.dialogs.some((d) => d.modal) || document.querySelector('.msgbox.waits');
  $('backdrop').hidden = !modal;
}

function movable(el, handle) {
  handle.addEventListener('mousedown', (e) => {
    if (e.target.tagName === 'BUTTON') return;
    const sx = e.clientX - el.offsetLeft, sy = e.clientY - el.offsetTop;
    const move = (m) => { el.style.left = (m.clientX - sx) + 'px'; el.style.top = (m.clientY - sy) + 'px'; };
    const up = () => { window.removeEventListener('mousemove', move); window.removeEventListener('mouseup', up); };
    window.addEventListener('mousemove', move);
    window.addEventListener('mouseup', up);
    e.preventDefault();
  });
}

// ---- message boxes -------------------------------------------------------------------------
function showMessageBox(box) {
  const el = document.createElement('div');
  el.className = 'dialog msgbox' + (box.buttons.length > 1 ? ' waits' : '');
  const cap = document.createElement('div');
  cap.className = 'caption';
  cap.textContent = box.caption + (box.kind && box.kind !== 'message' ? '  (' + box.kind + ')' : '');
  const text = document.createElement('div');
  text.className = 'text';
  text.textContent = box.text;
  const buttons = document.createElement('div');
  buttons.className = 'buttons';
  box.buttons.forEach((name, i) => {
    const b = document.createElement('button');
    b.textContent = name;
    b.dataset.answer = name;
    b.addEventListener('click', () => {
      // A box with one button only tells: the session did not wait for it.
      if (box.buttons.length > 1) send('!answer ' + name);
      el.remove();
      $('backdrop').hidden = !(state && state.dialogs.some((d) => d.modal)) && !document.querySelector('.msgbox.waits');
    });
    buttons.append(b);
    if (i === box.default) setTimeout(() => b.focus(), 0);
  });
  el.append(cap, text, buttons);
  document.body.append(el);
  movable(el, cap);
  if (box.buttons.length > 1) $('backdrop').hidden = false;
}

// ---- the wait line -------------------------------------------------------------------------
const waitsShown = [];  // every wait line shown, oldest first (window.vk.waits)
function showWait(w) {
  if (w) waitsShown.push(w);
  $('wait').hidden = !w;
  if (!w) return;
  $('waittext').textContent = w.text;
  $('waitstep').textContent = w.step || '';
  const bar = $('waitbar');
  if (w.of) { bar.max = w.of; bar.value = w.done; } else { bar.removeAttribute('value'); }
}

// ---- events from the session -----------------------------------------------------------------
let lastRevision = null, lastHighlight = null, lastMoveSerial = null;

function loadHighlight() {
  fetch(url('/highlight.json')).then((r) => (r.ok ? r.json() : [])).then((paths) => {
    highlight = paths;
    drawOverlay();
  }).catch(() => {});
}

function onState(s) {
  const first = !state;
  state = s;
  const cur = s.documents.find((d) => d.current);
  const doc = cur ? cur.path : null;
  if ((first || doc !== viewedDocument) && s.drawing.extents) {
    viewedDocument = doc;
    zoomExtents();
  } else if (doc !== viewedDocument) {
    viewedDocument = doc;
  }
  if (s.drawing.revision !== lastRevision) {
    lastRevision = s.drawing.revision;
    requestPlan();
  }
  if (s.highlight !== lastHighlight || first) {
    lastHighlight = s.highlight;
    loadHighlight();
  }
  showPrompt();
  showPanels();
  showDialogs();
  if (s.prompt.kind !== 'question') document.querySelectorAll('.msgbox.waits').forEach((b) => b.remove());
  // A new drag: one motion where the cursor is, so that the session sends the outline once;
  // the page moves it with the mouse from then on.
  if (s.prompt.kind === 'drag' && s.prompt.serial !== lastMoveSerial) {
    lastMoveSerial = s.prompt.serial;
    const at = cursor ? toWorld(cursor.x, cursor.y) : { x: view.cx, y: view.cy };
    send('!move ' + pointText(at), true);
  }
  drawOverlay();
}

const events = new EventSource(url('/events'));
events.addEventListener('transcript', (e) => { const d = JSON.parse(e.data); appendTranscript(d.text, d.reset); });
events.addEventListener('state', (e) => onState(JSON.parse(e.data)));
events.addEventListener('jig', (e) => {
  const j = JSON.parse(e.data);
  outline = { anchor: j.anchor, paths: j.paths, serial: state ? state.prompt.serial : null };
  drawOverlay();
});
events.addEventListener('msgbox', (e) => showMessageBox(JSON.parse(e.data)));
events.addEventListener('wait', (e) => showWait(JSON.parse(e.data)));
events.addEventListener('ended', () => {
  events.close();
  $('ended').hidden = false;
  input.disabled = true;
});

// For tests and for the curious: the view and the last state.
window.vk = { view, toScreen, toWorld, sent, waits: waitsShown, get state() { return state; }, get outline() { return outline; }, get planLoading() { return planLoading || !!planWanted; } };

window.addEventListener('resize', resize);
resize();
input.focus();
