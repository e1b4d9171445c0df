"use strict";
(function () {
const D = JSON.parse(document.getElementById("dati").textContent);
const NS = "http://www.w3.org/2000/svg";
const METRI = Math.max(D.metri, 50);
const MINIMA = 200;            // the narrowest view, in metres
const VICINI = 9;              // marks closer than this (pixels) are merged and counted
const $ = id => document.getElementById(id);
let vista = { a: 0, b: METRI };
let cursore = null;            // metre under the pointer
let segni = [];                // what each drawn mark stands for, by its data-s
let fermo = false;             // a tooltip pinned by a click

// ---- words and numbers -------------------------------------------------------------
// The kilometre rule as the data gives it: pieces [start, km at start] in ascending order;
// a metre takes the last piece starting at or before it, or the first one run backwards.
const pezzoDi = m => D.chilometri.reduce((scelto, p) => (p[0] <= m ? p : scelto), D.chilometri[0]);
const km = m => { const p = pezzoDi(m); return p[1] + (m - p[0]); };
// Where the track reads `v`: the first piece whose stretch holds it, else the first piece's line.
function metroDiKm(v) {
  for (let i = 0; i < D.chilometri.length; i++) {
    const p = D.chilometri[i], fine = i + 1 < D.chilometri.length ? D.chilometri[i + 1][0] : Infinity;
    const m = v - p[1] + p[0];
    if ((i === 0 || m >= p[0]) && m < fine) return m;
  }
  return v - D.chilometri[0][1] + D.chilometri[0][0];
}
function progressiva(v) {
  const segno = v < 0 ? "-" : "";
  v = Math.abs(Math.round(v));
  return segno + Math.floor(v / 1000) + "+" + String(v % 1000).padStart(3, "0");
}
const dove = m => "km " + progressiva(km(m)) + " (position " + m + " m)";
function esc(t) {
  return String(t).replace(/[&<>"]/g, c => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" }[c]));
}
function leggiKm(t) {
  t = t.trim().replace(",", ".");
  let m = /^(-?)(\d+)\+(\d{1,3})$/.exec(t);
  if (m) return (m[1] ? -1 : 1) * (Number(m[2]) * 1000 + Number(m[3].padEnd(3, "0")));
  if (/^-?\d+(\.\d*)?$/.test(t)) return Math.round(Number(t) * 1000);
  return null;
}

// ---- objects -----------------------------------------------------------------------
// Every object: its kind, its metre (and end), a heading, lines of detail, its source.
// A source to link to: a text and a line in it (a finding of a whole text has line 0).
function fonte(a, i) { return a[i] >= 0 && a[i + 1] > 0 ? [a[i], a[i + 1], a[i + 2]] : null; }
const oggetti = { stazioni: [], segnali: [], indicatori: [], cartelli: [], abbattimenti: [], rallentamenti: [],
  montagne: [], progressive: [], curve: [], diagnostica: [] };
for (const s of D.stazioni) {
  const dettagli = ["stop at " + dove(s[0]), "kind " + s[2] + ", entry " + s[3],
    "area from " + dove(s[4]) + " to " + dove(s[5])];
  if (s[2] >= 25) dettagli.push("a kind from 25 on puts no cell on the track");
  oggetti.stazioni.push({ tipo: "stazione", m: s[0], nome: s[1], titolo: s[1] + " \u2013 station", dettagli, fonte: fonte(s, 6) });
}
for (const s of D.segnali) {
  oggetti.segnali.push({ tipo: "segnale", m: s[0], titolo: "Signal at " + dove(s[0]), dettagli: [
    "aspect codes " + s[1] + " / " + s[2] + " / " + s[3] + " (10 \u00d7 s + d each)",
    "kind code " + s[4] + " (10 \u00d7 rapp + 3 \u00d7 sx + dx), time " + s[5]], fonte: fonte(s, 6) });
}
const sinistra = v => Math.floor(v / 20), destra = v => (v % 20) * 5;
for (const s of D.indicatori) {
  const d = ["speeds " + sinistra(s[1]) + "/" + sinistra(s[2]) + "/" + sinistra(s[3]) + " km/h"];
  if (s[1] % 20 || s[2] % 20 || s[3] % 20) d.push("right board " + destra(s[1]) + "/" + destra(s[2]) + "/" + destra(s[3]) + " km/h");
  d.push("codes " + s[1] + ", " + s[2] + ", " + s[3]);
  oggetti.indicatori.push({ tipo: "indicatore", m: s[0], titolo: "Speed-indicator board at " + dove(s[0]), dettagli: d, fonte: fonte(s, 4) });
}
for (const s of D.cartelli) {
  oggetti.cartelli.push({ tipo: "cartello", m: s[0], titolo: "Caption board at " + dove(s[0]), dettagli: ["\u201c" + s[1] + "\u201d"], fonte: fonte(s, 2) });
}
for (const s of D.abbattimenti) {
  oggetti.abbattimenti.push({ tipo: "abbattimento", m: s[0], titolo: "Abbattimento point at " + dove(s[0]),
    dettagli: [s[1] > 0 ? "value " + s[1] : "no value", s[2] >= 0 ? "from a row of the train" : "placed by the finishing pass"],
    fonte: fonte(s, 2) });
}
for (const s of D.rallentamenti) {
  oggetti.rallentamenti.push({ tipo: "rallentamento", m: s[0], fine: s[1], v: s[2], titolo: "Slow order " + s[2] + " km/h",
    dettagli: ["from " + dove(s[0]), "to " + dove(s[1])], fonte: fonte(s, 3) });
}
for (const s of D.montagne) {
  oggetti.montagne.push({ tipo: "montagna", m: s[0], fine: s[1], v: s[2], titolo: "Mountain stretch, kind " + s[2],
    dettagli: ["from " + dove(s[0]), "to " + dove(s[1])], fonte: fonte(s, 3) });
}
for (const s of D.progressive) {
  oggetti.progressive.push({ tipo: "progressiva", m: s[0], titolo: "Kilometre reference",
    dettagli: ["position " + s[0] + " m = km " + progressiva(s[1])], fonte: fonte(s, 2) });
}
for (const s of D.curve) {
  oggetti.curve.push({ tipo: "curva", m: s[0], fine: s[0] + s[1], titolo: "Curve \u201c" + s[2] + "\u201d",
    dettagli: ["from " + dove(s[0]), "length " + s[1] + " m"], fonte: fonte(s, 3) });
}
for (const s of D.diagnostica) {
  oggetti.diagnostica.push({ tipo: s[1], m: s[0], titolo: s[1] + " " + s[2], dettagli: [s[3]].concat(s[0] === null ? [] : ["at " + dove(s[0])]),
    fonte: fonte(s, 4) });
}
const righe = { pendenza: D.righe_pendenza, velocita: D.righe_velocita, aderenza: D.righe_aderenza };

// ---- the fastest run -----------------------------------------------------------------
// Points [metre, km/h, seconds] where the speed curve bends; between two, v² is linear in
// the metre (a constant rate), so the speed and the time at any metre follow exactly.
const C = D.corsa_minima;
const PUNTI = C.punti;
function ora(secondi) {  // hh:mm:ss, rounded to the second
  const t = Math.round(Math.abs(secondi)), due = n => String(n).padStart(2, "0");
  return (secondi < 0 ? "-" : "") + due(Math.floor(t / 3600)) + ":" + due(Math.floor(t % 3600 / 60)) + ":" + due(t % 60);
}
// Speed (km/h) and time at metre m of the segment from point i to point i + 1. The time
// is scaled so that it meets both ends as the data gives them: the curve stays monotonic.
function lungoSegmento(i, m) {
  const [m0, v0, t0] = PUNTI[i], [m1, v1, t1] = PUNTI[i + 1];
  if (m1 <= m0) return { m, v: v1, t: t1 };
  const f = Math.min(Math.max((m - m0) / (m1 - m0), 0), 1);
  const v = Math.sqrt(Math.max(v0 * v0 + (v1 * v1 - v0 * v0) * f, 0));
  const tutto = v0 + v1 > 0 ? 2 * (m1 - m0) / (v0 + v1) : 1, parte = v0 + v > 0 ? 2 * (m - m0) / (v0 + v) : f;
  return { m, v, t: t0 + (t1 - t0) * Math.min(parte / tutto, 1) };
}
// The last point at or before metre m (-1 when none).
function puntoPrima(m) {
  let lo = 0, hi = PUNTI.length;
  while (lo < hi) { const mid = (lo + hi) >> 1; if (PUNTI[mid][0] <= m) lo = mid + 1; else hi = mid; }
  return lo - 1;
}
// The run at metre m: on the last segment starting at or before it; null outside the run.
function corsaA(m) {
  const n = PUNTI.length;
  if (n === 0 || m < PUNTI[0][0] || m > PUNTI[n - 1][0]) return null;
  const i = puntoPrima(m);
  return i + 1 < n ? lungoSegmento(i, m) : { m, v: PUNTI[i][1], t: PUNTI[i][2] };
}
// The run from metre a to b as points {m, v, t}: every bend point in between and, where
// the speed changes, one every `passo` metres; a stop is its two points at one metre.
function campioniCorsa(a, b, passo) {
  const out = [];
  for (let i = Math.max(puntoPrima(a), 0); i + 1 < PUNTI.length && PUNTI[i][0] <= b; i++) {
    const [m0, v0, t0] = PUNTI[i], m1 = PUNTI[i + 1][0];
    if (m1 < a) continue;
    const da = Math.max(m0, a), fino = Math.min(m1, b);
    out.push(m0 >= a ? { m: m0, v: v0, t: t0 } : lungoSegmento(i, da));
    if (PUNTI[i + 1][1] !== v0) for (let m = da + passo; m < fino; m += passo) out.push(lungoSegmento(i, m));
    if (m1 > b) out.push(lungoSegmento(i, fino));
  }
  const ultimo = PUNTI[PUNTI.length - 1];
  if (ultimo && ultimo[0] >= a && ultimo[0] <= b) out.push({ m: ultimo[0], v: ultimo[1], t: ultimo[2] });
  return out;
}
// A curve of points [x, y] in ascending x as a path, a column of pixels at a time: each
// column keeps its first and last point and, between them, its lowest and highest.
function traccia(punti) {
  let d = "";
  const scrivi = p => { d += (d ? "L" : "M") + p[0].toFixed(1) + " " + p[1].toFixed(1); };
  for (let i = 0; i < punti.length;) {
    const colonna = Math.floor(punti[i][0]);
    let j = i, alto = i, basso = i;
    while (j + 1 < punti.length && Math.floor(punti[j + 1][0]) === colonna) {
      j++;
      if (punti[j][1] < punti[alto][1]) alto = j;
      if (punti[j][1] > punti[basso][1]) basso = j;
    }
    scrivi(punti[i]);
    for (const k of alto < basso ? [alto, basso] : [basso, alto]) if (k !== i && k !== j) scrivi(punti[k]);
    if (j !== i) scrivi(punti[j]);
    i = j + 1;
  }
  return d;
}
const MOTIVI = {
  limite_nullo: b => "the speed limit at " + dove(b.metro) + " is " + b.velocita + " km/h",
  salita: b => "the climb of " + b.pendenza + " \u2030 at " + dove(b.metro) + " is too steep for the acceleration",
  discesa: b => "the descent of " + -b.pendenza + " \u2030 at " + dove(b.metro) + " is steeper than the braking can hold",
  fuori_percorso: b => "the run would leave the track at " + dove(b.metro),
  indietro: b => "the station at " + dove(b.metro) + " lies behind the one before it, and the train runs one way",
};
const ipotesi = "acceleration " + C.accelerazione.toFixed(2) + " m/s\u00b2, braking " + C.decelerazione.toFixed(2) + " m/s\u00b2" +
  (C.decelerazione_da === "massa_frenata" ? " (from " + C.massa_frenata + " % braked weight)" : "");
// The run's stations, each tied to the station of the page with its entry (for its row).
const stazioniCorsa = C.stazioni.map(s => {
  const pagina = D.stazioni.find(p => p[3] === s[7]);
  const dettagli = ["scheduled " + ora(s[1]) + (s[6] ? "" : " (passing)"),
    s[2] === null ? "not reached by the fastest run" : "fastest run there at " + ora(s[2]) +
      (s[3] === null ? "" : ", margin " + s[3].toFixed(1) + " s" + (s[4] === null ? "" : " (" + s[4].toFixed(1) + " %)"))];
  if (s[9]) dettagli.push("warning " + s[8] + ": " + s[9]);
  return { tipo: "orario", m: s[0], orario: s[1], arrivo: s[2], avviso: s[8], nome: s[5],
    titolo: s[5] + " \u2013 timetable", dettagli, fonte: pagina ? fonte(pagina, 6) : null };
});
const bloccoCorsa = C.blocco ? { tipo: "blocco", m: C.blocco.metro, titolo: "The fastest run cannot go on",
  dettagli: [MOTIVI[C.blocco.motivo] ? MOTIVI[C.blocco.motivo](C.blocco) : "at " + dove(C.blocco.metro)], fonte: null } : null;
const COLORE_CORSA = "#e6550d";
const coloreOrario = s => s.avviso === 301 ? "#d00" : s.avviso === 302 ? "#e90" : "#238b45";
// What the run does at the cursor, for the tooltip and the readout.
function descriviCorsa(m) {
  const c = corsaA(m);
  if (!c) return null;
  const dettagli = ["speed " + c.v.toFixed(1) + " km/h at " + ora(c.t), "at " + dove(Math.round(m)), ipotesi];
  const sosta = PUNTI.filter(p => Math.abs(p[0] - m) < 25 && p[1] === 0);
  if (sosta.length > 1) dettagli.splice(1, 0, "stands from " + ora(sosta[0][2]) + " to " + ora(sosta[sosta.length - 1][2]));
  return [{ tipo: "corsa", m, titolo: "Fastest run", dettagli, fonte: null }];
}

// ---- tooltips ----------------------------------------------------------------------
function collegamento(f) {
  const file = D.file[f[0]];
  let testo = "<span class=\"fonte\">" + esc(file[0] + ":" + f[1]) + "</span>";
  if (D.editor) {
    const url = D.editor.split("{path}").join(encodeURI(file[1])).split("{line}").join(f[1]).split("{column}").join(f[2]);
    testo += " <a href=\"" + esc(url) + "\">open in editor</a>";
  }
  return testo;
}
function descrivi(o, breve) {
  let t = "<div class=\"voce\"><b>" + esc(o.titolo) + "</b>";
  if (!breve) for (const d of o.dettagli) t += esc(d) + "<br>";
  else t += esc(o.dettagli[0]) + "<br>";
  t += o.fonte ? collegamento(o.fonte) : "<span class=\"fonte\">no source row</span>";
  return t + "</div>";
}
function mostra(gruppo, x, y) {
  const s = $("suggerimento");
  let t;
  if (gruppo.length === 1) t = descrivi(gruppo[0], false);
  else {
    t = "<div class=\"voce\"><b>" + gruppo.length + " marks from " + dove(gruppo[0].m) + " to " + dove(gruppo[gruppo.length - 1].m) + "</b></div>";
    for (const o of gruppo.slice(0, 8)) t += descrivi(o, true);
    if (gruppo.length > 8) t += "<div>\u2026 and " + (gruppo.length - 8) + " more: zoom in to tell them apart</div>";
  }
  s.innerHTML = t;
  s.hidden = false;
  const l = Math.min(x + 14, window.innerWidth - s.offsetWidth - 4), a = y + 14 + s.offsetHeight > window.innerHeight ? y - s.offsetHeight - 10 : y + 14;
  s.style.left = Math.max(0, l) + "px";
  s.style.top = Math.max(0, a) + "px";
}
function nascondi() { if (!fermo) $("suggerimento").hidden = true; }

// ---- shared drawing helpers ----------------------------------------------------------
const fra = (lista, a, b) => lista.filter(o => (o.fine ?? o.m) >= a && o.m <= b);
function segno(gruppo) { segni.push(gruppo); return " class=\"segno\" data-s=\"" + (segni.length - 1) + "\""; }
// Runs of marks whose points lie closer than VICINI pixels to the run's first: one mark each.
function raggruppa(lista, punto) {
  const gruppi = [];
  for (const o of lista) {
    const p = punto(o);
    const g = gruppi[gruppi.length - 1];
    if (g && Math.hypot(p.x - g.p.x, p.y - g.p.y) < VICINI) g.o.push(o);
    else gruppi.push({ p, o: [o] });
  }
  return gruppi;
}
const conta = g => g.o.length > 1 ? "<text x=\"" + (g.p.x + 6).toFixed(1) + "\" y=\"" + (g.p.y - 6).toFixed(1) +
  "\" font-size=\"10\" fill=\"#333\">" + g.o.length + "</text>" : "";
function cerca(array, valore, passo, campo) {  // the first record whose field is >= valore
  let lo = 0, hi = array.length / passo;
  while (lo < hi) { const mid = (lo + hi) >> 1; if (array[mid * passo + campo] < valore) lo = mid + 1; else hi = mid; }
  return lo;
}
function valoreA(runs, m) {  // the value of a profile (flat runs da, a, v) at metre m
  const i = cerca(runs, m + 1, 3, 1);
  return i < runs.length / 3 && runs[i * 3] <= m ? runs[i * 3 + 2] : null;
}
function rigaA(lista, m) {  // the last row of a kind at or before metre m
  let lo = 0, hi = lista.length;
  while (lo < hi) { const mid = (lo + hi) >> 1; if (lista[mid][0] <= m) lo = mid + 1; else hi = mid; }
  return lo > 0 ? lista[lo - 1] : null;
}
// Boxes taken on a drawing, kept in a grid of 32-pixel cells so that a free place is
// found without looking at every box of a long line.
class Occupati {
  constructor() { this.celle = new Map(); }
  *chiavi(b) {
    for (let i = Math.floor(b.x0 / 32); i <= Math.floor(b.x1 / 32); i++)
      for (let j = Math.floor(b.y0 / 32); j <= Math.floor(b.y1 / 32); j++) yield i + "," + j;
  }
  push(b) {
    for (const k of this.chiavi(b)) { const c = this.celle.get(k); if (c) c.push(b); else this.celle.set(k, [b]); }
  }
  libero(b) {
    for (const k of this.chiavi(b)) for (const q of this.celle.get(k) || [])
      if (b.x0 < q.x1 && b.x1 > q.x0 && b.y0 < q.y1 && b.y1 > q.y0) return false;
    return true;
  }
}

// ---- the plan ----------------------------------------------------------------------
const P = D.pianta;
function puntoPianta(m) {  // east, north at metre m
  const i = Math.min(Math.max(cerca(P.m, m, 1, 0), 1), P.m.length - 1);
  const m0 = P.m[i - 1], m1 = P.m[i];
  const t = m1 > m0 ? Math.min(Math.max((m - m0) / (m1 - m0), 0), 1) : 0;
  return { e: P.e[i - 1] + (P.e[i] - P.e[i - 1]) * t, n: P.n[i - 1] + (P.n[i] - P.n[i - 1]) * t };
}
let proietta = null, puntiVisti = [];
function disegnaPianta() {
  const svg = $("pianta");
  if (!P) { $("pannello-pianta").hidden = true; return; }
  const W = svg.clientWidth || 1200, H = 440, margine = 40;
  const i0 = Math.max(cerca(P.m, vista.a, 1, 0) - 1, 0), i1 = Math.min(cerca(P.m, vista.b, 1, 0), P.m.length - 1);
  const pts = [puntoPianta(vista.a)];
  for (let i = i0 + 1; i < i1; i++) if (P.m[i] > vista.a && P.m[i] < vista.b) pts.push({ e: P.e[i], n: P.n[i], m: P.m[i] });
  pts.push(puntoPianta(vista.b));
  pts[0].m = vista.a; pts[pts.length - 1].m = vista.b;
  let e0 = Infinity, e1 = -Infinity, n0 = Infinity, n1 = -Infinity;
  for (const p of pts) { e0 = Math.min(e0, p.e); e1 = Math.max(e1, p.e); n0 = Math.min(n0, p.n); n1 = Math.max(n1, p.n); }
  const scala = Math.min((W - 2 * margine) / Math.max(e1 - e0, 1), (H - 2 * margine) / Math.max(n1 - n0, 1));
  const ox = (W - (e1 - e0) * scala) / 2, oy = (H - (n1 - n0) * scala) / 2;
  proietta = m => { const p = puntoPianta(m); return { x: ox + (p.e - e0) * scala, y: oy + (n1 - p.n) * scala }; };
  const destraDi = m => {  // unit vector to the right of the direction of travel, on the screen
    const a = proietta(m - 25), b = proietta(m + 25), l = Math.hypot(b.x - a.x, b.y - a.y);
    return l < 1e-9 ? { x: 1, y: 0 } : { x: -(b.y - a.y) / l, y: (b.x - a.x) / l };
  };
  const scostato = (m, d) => { const p = proietta(m), r = destraDi(m); return { x: p.x + r.x * d, y: p.y + r.y * d }; };
  // The line, without points closer than a pixel to the last one kept.
  puntiVisti = [];
  let linea = "", ultimo = null;
  for (const p of pts) {
    const q = { x: ox + (p.e - e0) * scala, y: oy + (n1 - p.n) * scala, m: p.m };
    if (ultimo && Math.abs(q.x - ultimo.x) < 0.7 && Math.abs(q.y - ultimo.y) < 0.7 && p !== pts[pts.length - 1]) continue;
    linea += (linea ? " " : "") + q.x.toFixed(1) + "," + q.y.toFixed(1);
    puntiVisti.push(q);
    ultimo = q;
  }
  let s = "";
  const tratto = (a, b) => {
    let t = "", first = true;
    for (const q of puntiVisti) if (q.m >= a && q.m <= b) { t += (first ? "" : " ") + q.x.toFixed(1) + "," + q.y.toFixed(1); first = false; }
    const pa = proietta(Math.max(a, vista.a)), pb = proietta(Math.min(b, vista.b));
    return pa.x.toFixed(1) + "," + pa.y.toFixed(1) + " " + t + " " + pb.x.toFixed(1) + "," + pb.y.toFixed(1);
  };
  for (const o of fra(oggetti.montagne, vista.a, vista.b)) {
    s += "<polyline points=\"" + tratto(o.m, o.fine) + "\" fill=\"none\" stroke=\"#8c6d3f\" stroke-opacity=\"0.45\" stroke-width=\"9\" stroke-linejoin=\"round\"" + segno([o]) + "/>";
  }
  const fineLinea = Math.min(D.lunghezza, METRI);
  s += "<polyline id=\"linea\" points=\"" + linea + "\" fill=\"none\" stroke=\"#333\" stroke-width=\"2\" stroke-linejoin=\"round\"/>";
  if (fineLinea < vista.b) s += "<polyline points=\"" + tratto(fineLinea, vista.b) + "\" fill=\"none\" stroke=\"#999\" stroke-width=\"3\" stroke-dasharray=\"4 3\"/>";
  // What a station's name must not cover: the line (sampled every 3 pixels) and the marks.
  const presi = new Occupati();
  const occupa = (x, y, r) => presi.push({ x0: x - r, x1: x + r, y0: y - r, y1: y + r });
  for (let i = 1; i < puntiVisti.length; i++) {
    const a = puntiVisti[i - 1], b = puntiVisti[i], passi = Math.ceil(Math.hypot(b.x - a.x, b.y - a.y) / 3);
    for (let k = 0; k <= passi; k++) occupa(a.x + (b.x - a.x) * k / passi, a.y + (b.y - a.y) * k / passi, 2);
  }
  const marchi = (lista, distanza, forma) => {
    for (const g of raggruppa(fra(lista, vista.a, vista.b), o => scostato(o.m, distanza))) {
      s += forma(g);
      occupa(g.p.x, g.p.y, 4);
      // The count, where it covers neither the line nor another mark or count.
      const b = { x0: g.p.x + 5, x1: g.p.x + 7 + 6 * String(g.o.length).length, y0: g.p.y - 14, y1: g.p.y - 4 };
      if (g.o.length > 1 && presi.libero(b)) { s += conta(g); presi.push(b); }
    }
  };
  marchi(oggetti.cartelli, -8, g => "<path d=\"M" + g.p.x.toFixed(1) + " " + (g.p.y - 4.5).toFixed(1) + "l4.5 4.5-4.5 4.5-4.5-4.5z\" fill=\"#ff7f0e\" stroke=\"#fff\" stroke-width=\"0.8\"" + segno(g.o) + "/>");
  marchi(oggetti.indicatori, 8, g => "<rect x=\"" + (g.p.x - 3.5).toFixed(1) + "\" y=\"" + (g.p.y - 3.5).toFixed(1) + "\" width=\"7\" height=\"7\" fill=\"#1f77b4\" stroke=\"#fff\" stroke-width=\"0.8\"" + segno(g.o) + "/>");
  marchi(oggetti.segnali, 16, g => "<circle cx=\"" + g.p.x.toFixed(1) + "\" cy=\"" + g.p.y.toFixed(1) + "\" r=\"4\" fill=\"#d62728\" stroke=\"#fff\"" + segno(g.o) + "/>");
  marchi(oggetti.abbattimenti, -16, g => "<path d=\"M" + g.p.x.toFixed(1) + " " + (g.p.y + 4).toFixed(1) + "l-4-8h8z\" fill=\"#ff9900\" stroke=\"#7a4a00\" stroke-width=\"0.8\"" + segno(g.o) + "/>");
  marchi(oggetti.diagnostica.filter(o => o.m !== null), 0, g => "<circle cx=\"" + g.p.x.toFixed(1) + "\" cy=\"" + g.p.y.toFixed(1) + "\" r=\"8\" fill=\"none\" stroke=\"" + (g.o[0].tipo === "error" ? "#d00" : "#e90") + "\" stroke-width=\"3\"" + segno(g.o) + "/>");
  // Stations: every one drawn; names where they cover neither the line nor another name.
  let cerchi = "", nomi = "";
  const gruppiStazioni = raggruppa(fra(oggetti.stazioni, vista.a, vista.b), o => proietta(o.m));
  for (const g of gruppiStazioni) occupa(g.p.x, g.p.y, 6);
  for (const g of gruppiStazioni) {
    cerchi += "<circle class=\"segno stazione\" data-s=\"" + segni.length + "\" data-nome=\"" + esc(g.o.map(o => o.nome).join(", ")) +
      "\" cx=\"" + g.p.x.toFixed(1) + "\" cy=\"" + g.p.y.toFixed(1) + "\" r=\"5.5\" fill=\"#fff\" stroke=\"#111\" stroke-width=\"2\"/>";
    segni.push(g.o);
    const nome = g.o.length > 1 ? g.o[0].nome + " +" + (g.o.length - 1) : g.o[0].nome;
    const w = nome.length * 7.4 + 4, r = destraDi(g.o[0].m);
    for (const d of [12, 26, 44]) {
      let messo = false;
      for (const v of [{ x: -r.x, y: -r.y }, r, { x: 0, y: -1 }, { x: 0, y: 1 }, { x: 1, y: 0 }, { x: -1, y: 0 }]) {
        const cx = g.p.x + v.x * d, cy = g.p.y + v.y * d;
        const x0 = v.x > 0.35 ? cx : v.x < -0.35 ? cx - w : cx - w / 2;
        const b = { x0, x1: x0 + w, y0: cy - 7, y1: cy + 7 };
        if (b.x0 < 2 || b.x1 > W - 2 || b.y0 < 2 || b.y1 > H - 2 || !presi.libero(b)) continue;
        presi.push(b);
        nomi += "<text class=\"nome-stazione\" x=\"" + (x0 + 2).toFixed(1) + "\" y=\"" + (cy + 4).toFixed(1) + "\">" + esc(nome) + "</text>";
        messo = true;
        break;
      }
      if (messo) break;
    }
  }
  s += cerchi + "<g font-size=\"12\" font-weight=\"bold\" fill=\"#111\" pointer-events=\"none\">" + nomi + "</g>";
  // A scale bar of a round length.
  const metri = tondo(100 / scala), l = metri * scala;
  s += "<g><rect x=\"20\" y=\"" + (H - 20) + "\" width=\"" + l.toFixed(1) + "\" height=\"5\" fill=\"#111\"/><text x=\"20\" y=\"" + (H - 25) +
    "\" font-size=\"10\">" + (metri >= 1000 ? metri / 1000 + " km" : metri + " m") + "</text>" +
    "<text x=\"" + (W - 24) + "\" y=\"24\" font-size=\"13\" font-weight=\"bold\" text-anchor=\"middle\">N</text>" +
    "<path d=\"M" + (W - 24) + " 30l-5 10h10z\" fill=\"#333\"/></g>";
  svg.innerHTML = s;
}
function tondo(minimo) {
  let p = Math.pow(10, Math.floor(Math.log10(Math.max(minimo, 1))));
  for (;;) { for (const k of [1, 2, 5]) if (k * p >= minimo) return k * p; p *= 10; }
}

// ---- the profiles ------------------------------------------------------------------
const X0 = 96, DESTRA = 24;
let larghezza = 1200;
const x = m => X0 + (m - vista.a) * (larghezza - DESTRA - X0) / (vista.b - vista.a);
const metroDiX = px => Math.round(vista.a + (px - X0) * (vista.b - vista.a) / (larghezza - DESTRA - X0));
const STRISCE = {
  diagnostica: { alto: 8, altezza: 16 },
  nomi: { alto: 28, altezza: 44 },
  pendenza: { alto: 78, altezza: 140, nome: "Gradient (\u2030)", dati: "pendenze", linea: "#2171b5", area: "#9ecae1", zero: true },
  velocita: { alto: 238, altezza: 140, nome: "Speed limit (km/h)", dati: "velocita", linea: "#238b45", area: "#dcefd6" },
  aderenza: { alto: 398, altezza: 70, nome: "Adhesion", dati: "aderenze", linea: "#6a51a3", area: "#dadaeb" },
  curve: { alto: 482, altezza: 26 },
  asse: { alto: 514 },
};
function scalaDi(g) {
  const runs = D[g.dati];
  let lo = 0, hi = 0;
  for (let i = 2; i < runs.length; i += 3) { lo = Math.min(lo, runs[i]); hi = Math.max(hi, runs[i]); }
  for (const r of D.rallentamenti) if (g.dati === "velocita") hi = Math.max(hi, r[2]);
  if (g.zero) { hi = Math.max(Math.abs(lo), Math.abs(hi), 1); lo = -hi; }
  const passo = tondo(Math.max((hi - lo) / 4, 1));
  g.min = Math.floor(lo / passo) * passo; g.max = Math.max(Math.ceil(hi / passo) * passo, g.min + passo); g.passo = passo;
  g.y = v => g.alto + (g.max - v) / (g.max - g.min) * g.altezza;
}
for (const k of ["pendenza", "velocita", "aderenza"]) scalaDi(STRISCE[k]);
// A step profile simplified to the pixel: each column holds its first and last value and,
// when it covers several, a stroke from the lowest to the highest.
function profilo(g) {
  const runs = D[g.dati];
  const x1 = larghezza - DESTRA;
  let d = "", area = "", i = cerca(runs, vista.a + 1, 3, 1);
  const n = runs.length / 3;
  for (let px = X0; px < x1 && i < n; px++) {
    const mb = metroDiX(px + 1);
    if (runs[i * 3] >= mb) continue;
    let lo = Infinity, hi = -Infinity, primo = null, ultimo = null;
    while (i < n && runs[i * 3] < mb) {
      const v = runs[i * 3 + 2];
      if (primo === null) primo = v;
      ultimo = v; lo = Math.min(lo, v); hi = Math.max(hi, v);
      if (runs[i * 3 + 1] > mb) break;
      i++;
    }
    if (primo === null) continue;
    const y1 = g.y(primo).toFixed(1), y2 = g.y(ultimo).toFixed(1);
    d += (d ? "L" : "M") + px + " " + y1;
    if (lo !== hi) d += "L" + px + " " + g.y(hi).toFixed(1) + "L" + px + " " + g.y(lo).toFixed(1);
    d += "L" + (px + 1) + " " + y2;
  }
  if (!d) return "";
  const base = g.y(Math.max(g.min, Math.min(0, g.max))).toFixed(1);
  const pezzi = d.slice(1).split("L");
  const primoX = pezzi[0].split(" ")[0], ultimoX = pezzi[pezzi.length - 1].split(" ")[0];
  area = "M" + primoX + " " + base + "L" + d.slice(1) + "L" + ultimoX + " " + base + "Z";
  return "<path d=\"" + area + "\" fill=\"" + g.area + "\" stroke=\"none\"/><path d=\"" + d + "\" fill=\"none\" stroke=\"" + g.linea + "\" stroke-width=\"1.5\"/>";
}
// Round kilometre values in view, piece by piece of the kilometre rule.
function tacche() {
  const passo = tondo((vista.b - vista.a) / 10), out = [];
  D.chilometri.forEach((p, i) => {
    const ultimo = i + 1 === D.chilometri.length;
    const a = i === 0 ? vista.a : Math.max(vista.a, p[0]);
    const b = ultimo ? vista.b : Math.min(vista.b, D.chilometri[i + 1][0]);
    if (b < a) return;
    const inizio = km(a);
    for (let t = Math.ceil(inizio / passo) * passo; ultimo ? t <= inizio + (b - a) : t < inizio + (b - a); t += passo) {
      out.push({ x: x(a + (t - inizio)), m: a + (t - inizio), t, passo });
    }
  });
  return out;
}
function disegnaProfili() {
  const svg = $("profili");
  larghezza = svg.clientWidth || 1200;
  const x1 = larghezza - DESTRA;
  let s = "";
  const fineLinea = Math.min(D.lunghezza, METRI);
  for (const k of ["pendenza", "velocita", "aderenza"]) {
    const g = STRISCE[k];
    s += "<rect class=\"striscia\" data-striscia=\"" + k + "\" x=\"" + X0 + "\" y=\"" + g.alto + "\" width=\"" + (x1 - X0) + "\" height=\"" + g.altezza + "\" fill=\"#fff\"/>";
    if (fineLinea < vista.b) s += "<rect x=\"" + Math.max(X0, x(fineLinea)).toFixed(1) + "\" y=\"" + g.alto + "\" width=\"" + (x1 - Math.max(X0, x(fineLinea))).toFixed(1) + "\" height=\"" + g.altezza + "\" fill=\"#ececec\" pointer-events=\"none\"/>";
    for (const o of fra(oggetti.montagne, vista.a, vista.b)) {
      const xa = Math.max(X0, x(o.m)), xb = Math.min(x1, x(o.fine));
      s += "<rect x=\"" + xa.toFixed(1) + "\" y=\"" + g.alto + "\" width=\"" + Math.max(xb - xa, 1).toFixed(1) + "\" height=\"" + g.altezza + "\" fill=\"#b89b72\" fill-opacity=\"0.3\"" + segno([o]) + "/>";
    }
    for (let v = g.min; v <= g.max; v += g.passo) {
      s += "<path d=\"M" + X0 + " " + g.y(v).toFixed(1) + "H" + x1 + "\" stroke=\"" + (v === 0 && g.min < 0 ? "#888" : "#e3e3e3") + "\" pointer-events=\"none\"/>" +
        "<text x=\"" + (X0 - 5) + "\" y=\"" + (g.y(v) + 3.5).toFixed(1) + "\" font-size=\"10\" text-anchor=\"end\" fill=\"#555\">" + v + "</text>";
    }
    s += "<g pointer-events=\"none\">" + profilo(g) + "</g>";
    s += "<text x=\"12\" y=\"" + (g.alto + g.altezza / 2) + "\" font-size=\"11\" font-weight=\"bold\" fill=\"#333\" transform=\"rotate(-90 12 " + (g.alto + g.altezza / 2) + ")\" text-anchor=\"middle\">" + g.nome + "</text>";
  }
  for (const t of tacche()) {
    s += "<path d=\"M" + t.x.toFixed(1) + " " + STRISCE.pendenza.alto + "V" + (STRISCE.asse.alto + 4) + "\" stroke=\"#ddd\" pointer-events=\"none\"/>" +
      "<text x=\"" + t.x.toFixed(1) + "\" y=\"" + (STRISCE.asse.alto + 18) + "\" font-size=\"10\" text-anchor=\"middle\">" + (t.passo >= 1000 ? t.t / 1000 : (t.t / 1000).toFixed(t.passo >= 100 ? 1 : t.passo >= 10 ? 2 : 3)) + "</text>";
  }
  s += "<text x=\"" + ((X0 + x1) / 2) + "\" y=\"" + (STRISCE.asse.alto + 36) + "\" font-size=\"11\" text-anchor=\"middle\" fill=\"#333\">km of the line</text>";
  const v = STRISCE.velocita;
  // The fastest run's speed over the limits, on their scale, under the marks; a
  // wider invisible stroke along it takes the pointer for its tooltip.
  const curva = traccia(campioniCorsa(vista.a, vista.b, 2 * (vista.b - vista.a) / (x1 - X0)).map(c => [x(c.m), v.y(c.v)]));
  if (curva) {
    s += "<path id=\"corsa-velocita\" d=\"" + curva + "\" fill=\"none\" stroke=\"" + COLORE_CORSA + "\" stroke-width=\"2\" stroke-linejoin=\"round\" pointer-events=\"none\"/>" +
      "<path d=\"" + curva + "\" fill=\"none\" stroke=\"transparent\" stroke-width=\"10\" pointer-events=\"stroke\" data-corsa=\"velocita\"/>";
  }
  if (bloccoCorsa && bloccoCorsa.m >= vista.a && bloccoCorsa.m <= vista.b) {
    s += "<path d=\"M" + x(bloccoCorsa.m).toFixed(1) + " " + v.alto + "v" + v.altezza + "\" stroke=\"#d00\" stroke-width=\"3\"" + segno([bloccoCorsa]) + "/>";
  }
  // Slow orders at their speed, abbattimento points along the top of the speed profile.
  // A count goes beside its mark only where the next mark leaves room for it.
  const conRoom = gruppi => gruppi.map((g, i) => Object.assign(g, { spazio: i + 1 < gruppi.length ? gruppi[i + 1].p.x - g.p.x : Infinity }));
  for (const g of conRoom(raggruppa(fra(oggetti.rallentamenti, vista.a, vista.b), o => ({ x: x(o.m), y: 0 })))) {
    const xa = Math.max(X0, x(g.o[0].m)), xb = Math.min(x1, Math.max(...g.o.map(o => x(o.fine))));
    const y = v.y(Math.min(...g.o.map(o => o.v))).toFixed(1);
    s += "<path d=\"M" + xa.toFixed(1) + " " + y + "H" + Math.max(xb, xa + 3).toFixed(1) + "\" stroke=\"#d62728\" stroke-width=\"4\"" + segno(g.o) + "/>";
    if (g.o.length > 1 && g.spazio > 16) s += "<text x=\"" + xa.toFixed(1) + "\" y=\"" + (Number(y) - 4) + "\" font-size=\"9\" fill=\"#d62728\">" + g.o.length + "</text>";
  }
  for (const g of conRoom(raggruppa(fra(oggetti.abbattimenti, vista.a, vista.b), o => ({ x: x(o.m), y: 0 })))) {
    g.p = { x: x(g.o[0].m), y: v.alto + 4 };
    s += "<path d=\"M" + g.p.x.toFixed(1) + " " + (v.alto + 9) + "l-4.5-9h9z\" fill=\"#ff9900\" stroke=\"#7a4a00\" stroke-width=\"0.8\"" + segno(g.o) + "/>" + (g.o.length > 1 && g.spazio > 16 ? "<text x=\"" + (g.p.x + 6).toFixed(1) + "\" y=\"" + (v.alto + 18) + "\" font-size=\"9\">" + g.o.length + "</text>" : "");
  }
  // Curves and kilometre references in a strip of their own.
  const c = STRISCE.curve;
  s += "<text x=\"" + (X0 - 5) + "\" y=\"" + (c.alto + 16) + "\" font-size=\"10\" text-anchor=\"end\" fill=\"#555\">curves</text>";
  for (const g of raggruppa(fra(oggetti.curve, vista.a, vista.b), o => ({ x: x(o.m), y: 0 }))) {
    const xa = Math.max(X0, x(g.o[0].m)), xb = Math.min(x1, x(g.o[g.o.length - 1].fine));
    s += "<rect x=\"" + xa.toFixed(1) + "\" y=\"" + (c.alto + 6) + "\" width=\"" + Math.max(xb - xa, 2).toFixed(1) + "\" height=\"12\" fill=\"#9e9ac8\"" + segno(g.o) + "/>";
  }
  for (const o of fra(oggetti.progressive, vista.a, vista.b)) {
    s += "<path d=\"M" + x(o.m).toFixed(1) + " " + c.alto + "v24\" stroke=\"#000\" stroke-width=\"3\"" + segno([o]) + "/>";
  }
  // Errors and warnings at their kilometre.
  for (const g of raggruppa(fra(oggetti.diagnostica.filter(o => o.m !== null), vista.a, vista.b), o => ({ x: x(o.m), y: 0 }))) {
    const xx = Math.min(Math.max(x(g.o[0].m), X0), x1);
    s += "<path class=\"diagnostica\" d=\"M" + xx.toFixed(1) + " " + (STRISCE.diagnostica.alto + 14) + "l-7-14h14z\" fill=\"" + (g.o.some(o => o.tipo === "error") ? "#d00" : "#e90") + "\"" + segno(g.o) + "/>";
    s += "<path d=\"M" + xx.toFixed(1) + " " + STRISCE.pendenza.alto + "V" + (STRISCE.aderenza.alto + STRISCE.aderenza.altezza) + "\" stroke=\"#d00\" stroke-opacity=\"0.5\" pointer-events=\"none\"/>";
  }
  // Stations: a dashed line and a mark each (merged when dense), names in up to three
  // rows where they fit; a name that finds no room is left to the tooltip.
  const n = STRISCE.nomi, finiRiga = [-Infinity, -Infinity, -Infinity];
  let linee = "", nomi = "";
  for (const g of raggruppa(fra(oggetti.stazioni, vista.a, vista.b), o => ({ x: x(o.m), y: 0 }))) {
    const xx = g.p.x.toFixed(1);
    linee += "<path d=\"M" + xx + " " + (n.alto + n.altezza) + "V" + (STRISCE.aderenza.alto + STRISCE.aderenza.altezza) + "\" stroke=\"#444\" stroke-dasharray=\"3 3\" pointer-events=\"none\"/>";
    linee += "<path class=\"segno stazione\" data-nome=\"" + esc(g.o.map(o => o.nome).join(", ")) + "\" data-s=\"" + segni.length + "\" d=\"M" + xx + " " + (n.alto + n.altezza) + "l-5-8h10z\" fill=\"#fff\" stroke=\"#111\" stroke-width=\"1.5\"/>";
    segni.push(g.o);
    const nome = g.o.length > 1 ? g.o[0].nome + " +" + (g.o.length - 1) : g.o[0].nome;
    const w = nome.length * 7 + 6, sx = g.p.x - w / 2;
    for (let r = 0; r < 3; r++) {
      if (finiRiga[r] < sx && sx >= 2 && sx + w <= larghezza - 2) {
        finiRiga[r] = sx + w;
        nomi += "<text x=\"" + xx + "\" y=\"" + (n.alto + n.altezza - 12 - r * 13) + "\" text-anchor=\"middle\">" + esc(nome) + "</text>";
        break;
      }
    }
  }
  s += linee + "<g font-size=\"11\" font-weight=\"bold\" fill=\"#111\" pointer-events=\"none\">" + nomi + "</g>";
  for (const k of ["pendenza", "velocita", "aderenza"]) {
    const g = STRISCE[k];
    s += "<rect x=\"" + X0 + "\" y=\"" + g.alto + "\" width=\"" + (x1 - X0) + "\" height=\"" + g.altezza + "\" fill=\"none\" stroke=\"#888\" pointer-events=\"none\"/>";
  }
  svg.innerHTML = s;
}

// ---- the time against distance -------------------------------------------------------
// The fastest run's time (later upwards) on the distance axis of the profiles, over the
// view; each station's scheduled time a diamond, joined to where the run reaches it: green
// in time, orange under the margin asked for, red late.
const ORARIO = { alto: 12, altezza: 230 };
function passoOrario(durata) {  // a round step of time giving at most six lines
  for (const p of [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600]) if (durata / p <= 6) return p;
  return 43200;
}
let yOrario = null;
function disegnaOrario() {
  const x1 = larghezza - DESTRA, basso = ORARIO.alto + ORARIO.altezza;
  const campioni = campioniCorsa(vista.a, vista.b, 2 * (vista.b - vista.a) / (x1 - X0));
  const stazioni = fra(stazioniCorsa, vista.a, vista.b);
  let lo = Infinity, hi = -Infinity;
  for (const c of campioni) { lo = Math.min(lo, c.t); hi = Math.max(hi, c.t); }
  for (const st of stazioni) for (const t of [st.orario, st.arrivo]) if (t !== null) { lo = Math.min(lo, t); hi = Math.max(hi, t); }
  if (lo > hi) { lo = C.orologio; hi = lo + 60; }
  if (hi - lo < 60) { const centro = (lo + hi) / 2; lo = centro - 30; hi = centro + 30; }
  const passo = passoOrario(hi - lo), t0 = Math.floor(lo / passo) * passo, t1 = Math.max(Math.ceil(hi / passo) * passo, t0 + passo);
  const y = t => ORARIO.alto + (t1 - t) / (t1 - t0) * ORARIO.altezza;
  yOrario = y;
  let s = "<rect data-corsa=\"tempo\" x=\"" + X0 + "\" y=\"" + ORARIO.alto + "\" width=\"" + (x1 - X0) + "\" height=\"" + ORARIO.altezza + "\" fill=\"#fff\"/>";
  const fineLinea = Math.min(D.lunghezza, METRI);
  if (fineLinea < vista.b) s += "<rect x=\"" + Math.max(X0, x(fineLinea)).toFixed(1) + "\" y=\"" + ORARIO.alto + "\" width=\"" + (x1 - Math.max(X0, x(fineLinea))).toFixed(1) + "\" height=\"" + ORARIO.altezza + "\" fill=\"#ececec\" pointer-events=\"none\"/>";
  for (let t = t0; t <= t1; t += passo) {
    s += "<path d=\"M" + X0 + " " + y(t).toFixed(1) + "H" + x1 + "\" stroke=\"#e3e3e3\" pointer-events=\"none\"/>" +
      "<text x=\"" + (X0 - 5) + "\" y=\"" + (y(t) + 3.5).toFixed(1) + "\" font-size=\"10\" text-anchor=\"end\" fill=\"#555\">" + ora(t) + "</text>";
  }
  for (const t of tacche()) {
    s += "<path d=\"M" + t.x.toFixed(1) + " " + ORARIO.alto + "V" + (basso + 4) + "\" stroke=\"#ddd\" pointer-events=\"none\"/>" +
      "<text x=\"" + t.x.toFixed(1) + "\" y=\"" + (basso + 18) + "\" font-size=\"10\" text-anchor=\"middle\">" + (t.passo >= 1000 ? t.t / 1000 : (t.t / 1000).toFixed(t.passo >= 100 ? 1 : t.passo >= 10 ? 2 : 3)) + "</text>";
  }
  for (const st of stazioni) {
    s += "<path d=\"M" + x(st.m).toFixed(1) + " " + ORARIO.alto + "V" + basso + "\" stroke=\"#444\" stroke-dasharray=\"3 3\" pointer-events=\"none\"/>";
  }
  const curva = traccia(campioni.map(c => [x(c.m), y(c.t)]));
  if (curva) s += "<path id=\"corsa-tempo\" d=\"" + curva + "\" fill=\"none\" stroke=\"" + COLORE_CORSA + "\" stroke-width=\"2\" stroke-linejoin=\"round\" pointer-events=\"none\"/>";
  for (const st of stazioni) {
    const xx = x(st.m).toFixed(1), yy = y(st.orario), colore = coloreOrario(st);
    if (st.arrivo !== null) s += "<path d=\"M" + xx + " " + y(st.arrivo).toFixed(1) + "V" + yy.toFixed(1) + "\" stroke=\"" + colore + "\" stroke-width=\"2\" pointer-events=\"none\"/>";
    s += "<path class=\"segno orario-stazione\" data-nome=\"" + esc(st.nome) + "\" data-avviso=\"" + st.avviso + "\" d=\"M" + xx + " " + (yy - 6).toFixed(1) +
      "l6 6-6 6-6-6z\" fill=\"" + colore + "\" stroke=\"#111\" stroke-width=\"1\"" + segno([st]) + "/>";
  }
  if (bloccoCorsa && bloccoCorsa.m >= vista.a && bloccoCorsa.m <= vista.b) {
    s += "<path d=\"M" + x(bloccoCorsa.m).toFixed(1) + " " + ORARIO.alto + "V" + basso + "\" stroke=\"#d00\" stroke-width=\"3\"" + segno([bloccoCorsa]) + "/>";
  }
  s += "<rect x=\"" + X0 + "\" y=\"" + ORARIO.alto + "\" width=\"" + (x1 - X0) + "\" height=\"" + ORARIO.altezza + "\" fill=\"none\" stroke=\"#888\" pointer-events=\"none\"/>" +
    "<text x=\"12\" y=\"" + (ORARIO.alto + ORARIO.altezza / 2) + "\" font-size=\"11\" font-weight=\"bold\" fill=\"#333\" transform=\"rotate(-90 12 " + (ORARIO.alto + ORARIO.altezza / 2) + ")\" text-anchor=\"middle\">Time of day</text>" +
    "<text x=\"" + ((X0 + x1) / 2) + "\" y=\"" + (basso + 36) + "\" font-size=\"11\" text-anchor=\"middle\" fill=\"#333\">km of the line</text>";
  $("orario").innerHTML = s;
}

// ---- header, list of diagnostics, readout --------------------------------------------
function plurale(n, uno, molti) { return (n === 0 ? "no" : n) + " " + (n === 1 ? uno : molti); }
$("titolo").textContent = D.nome + (D.treno ? " \u2013 train " + D.treno : "");
$("riassunto").textContent = "Line of " + (D.lunghezza / 1000) + " km (km " + progressiva(km(0)) + " to " + progressiva(km(D.lunghezza)) + "), " +
  plurale(D.stazioni.length, "station", "stations") + ", " + plurale(D.segnali.length, "signal", "signals") + ", " +
  plurale(D.indicatori.length, "speed-indicator board", "speed-indicator boards") + ", " +
  plurale(D.cartelli.length, "caption board", "caption boards") + ", " + plurale(D.rallentamenti.length, "slow order", "slow orders") +
  (D.file.length ? "" : " (drawn from the compiled files: no source rows)");
if (oggetti.diagnostica.length) {
  const ul = $("elenco-diagnostica").querySelector("ul");
  let t = "";
  // "error 8: the message", then where it is and its source row.
  for (const o of oggetti.diagnostica) {
    t += "<li class=\"" + o.tipo + "\"><div class=\"voce\"><b>" + esc(o.titolo) + ":</b> " + esc(o.dettagli.join(", ")) + " " +
      (o.fonte ? collegamento(o.fonte) : "") + "</div></li>";
  }
  ul.innerHTML = t;
  $("elenco-diagnostica").hidden = false;
}
function lettura() {
  const l = $("lettura");
  if (cursore === null) { l.textContent = ""; return; }
  const parti = ["km " + progressiva(km(cursore))];
  const g = valoreA(D.pendenze, cursore), v = valoreA(D.velocita, cursore), a = valoreA(D.aderenze, cursore);
  if (g !== null) parti.push("gradient " + g + " \u2030");
  if (v !== null) parti.push("speed limit " + v + " km/h");
  if (a !== null) parti.push("adhesion " + a);
  const mo = oggetti.montagne.find(o => o.m <= cursore && o.fine > cursore);
  if (mo) parti.push("mountain kind " + mo.v);
  const c = corsaA(cursore);
  if (c) parti.push("fastest run " + c.v.toFixed(1) + " km/h at " + ora(c.t));
  l.textContent = parti.join(" \u00b7 ");
}

// The cursor alone moves without drawing the rest again.
function disegnaCursore() {
  for (const id of ["cursore-pianta", "cursore-profili", "cursore-orario"]) { const e = $(id); if (e) e.remove(); }
  if (cursore === null || cursore < vista.a || cursore > vista.b) return;
  if (P && proietta) {
    const p = proietta(cursore);
    $("pianta").insertAdjacentHTML("beforeend", "<circle id=\"cursore-pianta\" cx=\"" + p.x.toFixed(1) + "\" cy=\"" + p.y.toFixed(1) +
      "\" r=\"7\" fill=\"none\" stroke=\"#6a3d9a\" stroke-width=\"2.5\" pointer-events=\"none\"/>");
  }
  $("profili").insertAdjacentHTML("beforeend", "<path id=\"cursore-profili\" d=\"M" + x(cursore).toFixed(1) + " " + STRISCE.pendenza.alto + "V" +
    STRISCE.asse.alto + "\" stroke=\"#6a3d9a\" stroke-width=\"1.5\" pointer-events=\"none\"/>");
  // On the time panel, the line and the run's point under it.
  const c = corsaA(cursore), xx = x(cursore).toFixed(1);
  $("orario").insertAdjacentHTML("beforeend", "<g id=\"cursore-orario\" pointer-events=\"none\"><path d=\"M" + xx + " " + ORARIO.alto + "V" +
    (ORARIO.alto + ORARIO.altezza) + "\" stroke=\"#6a3d9a\" stroke-width=\"1.5\"/>" + (c && yOrario ? "<circle cx=\"" + xx + "\" cy=\"" +
    yOrario(c.t).toFixed(1) + "\" r=\"4\" fill=\"#6a3d9a\"/>" : "") + "</g>");
}

// ---- drawing and the view ------------------------------------------------------------
let richiesto = false, tuttoDaRifare = true, scritta = null;
function ridisegna(soloCursore) {
  if (!soloCursore) tuttoDaRifare = true;
  if (richiesto) return;
  richiesto = true;
  requestAnimationFrame(() => {
    richiesto = false;
    if (tuttoDaRifare) {
      tuttoDaRifare = false;
      segni = [];
      disegnaProfili();
      disegnaOrario();
      disegnaPianta();
    }
    disegnaCursore();
    lettura();
    // The range fields follow the view when it changes, and only then: a range being
    // typed is not undone by the pointer moving over the drawing.
    if (!scritta || scritta.a !== vista.a || scritta.b !== vista.b) {
      scritta = Object.assign({}, vista);
      $("km-da").value = progressiva(km(vista.a));
      $("km-a").value = progressiva(km(vista.b));
    }
  });
}
function mostraTratto(a, b) {
  if (b < a) [a, b] = [b, a];
  const larga = Math.max(b - a, MINIMA);
  if (larga >= METRI) { a = 0; b = METRI; } else {
    a = Math.min(Math.max(a, 0), METRI - larga);
    b = a + larga;
  }
  vista = { a: Math.round(a), b: Math.round(b) };
  ridisegna();
}
function ingrandisci(fattore, centro) {
  if (centro === undefined) centro = (vista.a + vista.b) / 2;
  const t = (centro - vista.a) / (vista.b - vista.a);
  const larga = (vista.b - vista.a) * fattore;
  mostraTratto(centro - t * larga, centro + (1 - t) * larga);
}
function scorri(frazione) {
  const d = (vista.b - vista.a) * frazione;
  mostraTratto(vista.a + d, vista.b + d);
}
$("piu").onclick = () => ingrandisci(0.5);
$("meno").onclick = () => ingrandisci(2);
$("indietro").onclick = () => scorri(-0.5);
$("avanti").onclick = () => scorri(0.5);
$("tutto").onclick = () => mostraTratto(0, METRI);
function vai() {
  const a = leggiKm($("km-da").value), b = leggiKm($("km-a").value);
  if (a === null || b === null) return;
  mostraTratto(metroDiKm(a), metroDiKm(b));
}
$("vai").onclick = vai;
for (const id of ["km-da", "km-a"]) $(id).addEventListener("keydown", e => { if (e.key === "Enter") vai(); });

// Pointer on the profiles: the cursor, zoom with the wheel, pan by dragging.
const profili = $("profili"), pianta = $("pianta"), orario = $("orario");
const pxDi = (svg, e) => e.clientX - svg.getBoundingClientRect().left;
let trascina = null;
function suGiu(svg, e) {
  const px = pxDi(svg, e);
  trascina = { x: e.clientX, vista: Object.assign({}, vista), mosso: false, largo: svg !== pianta ? larghezza - DESTRA - X0 : svg.clientWidth };
  svg.setPointerCapture(e.pointerId);
  return px;
}
for (const svg of [profili, orario, pianta]) {
  svg.addEventListener("pointerdown", e => { if (e.button === 0) suGiu(svg, e); });
  svg.addEventListener("pointerup", () => { trascina = null; });
  svg.addEventListener("wheel", e => {
    e.preventDefault();
    const centro = svg !== pianta ? metroDiX(pxDi(svg, e)) : (cursore ?? undefined);
    ingrandisci(e.deltaY > 0 ? 1.25 : 0.8, centro);
  }, { passive: false });
}
function muovi(svg, e) {
  if (trascina) {
    const dx = e.clientX - trascina.x;
    if (Math.abs(dx) > 2) trascina.mosso = true;
    if (trascina.mosso) {
      const d = -dx * (trascina.vista.b - trascina.vista.a) / trascina.largo;
      mostraTratto(trascina.vista.a + d, trascina.vista.b + d);
      return;
    }
  }
  if (svg !== pianta) {
    const m = metroDiX(pxDi(svg, e));
    cursore = m >= vista.a && m <= vista.b ? m : null;
  } else if (puntiVisti.length) {
    const r = svg.getBoundingClientRect(), px = e.clientX - r.left, py = e.clientY - r.top;
    let migliore = null, dist = 30;
    for (let i = 1; i < puntiVisti.length; i++) {
      const a = puntiVisti[i - 1], b = puntiVisti[i], dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
      const t = l2 > 0 ? Math.min(Math.max(((px - a.x) * dx + (py - a.y) * dy) / l2, 0), 1) : 0;
      const d = Math.hypot(a.x + t * dx - px, a.y + t * dy - py);
      if (d < dist) { dist = d; migliore = Math.round(a.m + t * (b.m - a.m)); }
    }
    cursore = migliore;
  }
  ridisegna(true);
}
for (const svg of [profili, orario, pianta]) svg.addEventListener("pointermove", e => muovi(svg, e));
for (const svg of [profili, orario, pianta]) svg.addEventListener("pointerleave", () => { cursore = null; ridisegna(true); });

// Tooltips: hovering a mark shows it, a click pins it (so its link can be followed).
function suggerimentoPer(e) {
  const t = e.target.closest ? e.target.closest("[data-s]") : null;
  if (t) return segni[Number(t.dataset.s)];
  const corsa = e.target.closest ? e.target.closest("[data-corsa]") : null;
  if (corsa && cursore !== null) return descriviCorsa(cursore);
  const striscia = e.target.closest ? e.target.closest("[data-striscia]") : null;
  if (striscia && cursore !== null) {
    const k = striscia.dataset.striscia, r = rigaA(righe[k], cursore);
    const valore = valoreA(D[STRISCE[k].dati], cursore);
    const nomi = { pendenza: "Gradient", velocita: "Speed limit", aderenza: "Adhesion" };
    const dettagli = [(valore === null ? "no value" : "value " + valore) + " at " + dove(cursore)];
    if (r) dettagli.push("row \u201c" + r[2] + "\u201d from position " + r[0] + " m, value " + r[1]);
    return [{ tipo: k, m: cursore, titolo: nomi[k] + " row", dettagli, fonte: r ? [r[3], r[4], r[5]] : null }];
  }
  return null;
}
document.addEventListener("pointerover", e => {
  if (fermo) return;
  const g = suggerimentoPer(e);
  if (g) mostra(g, e.clientX, e.clientY); else if (!e.target.closest("#suggerimento")) nascondi();
});
document.addEventListener("pointermove", e => {
  if (fermo || !e.target.closest || !e.target.closest("[data-striscia],[data-corsa]")) return;
  const g = suggerimentoPer(e);
  if (g) mostra(g, e.clientX, e.clientY);
});
document.addEventListener("click", e => {
  if (e.target.closest("#suggerimento")) return;
  if (trascina && trascina.mosso) return;
  const g = suggerimentoPer(e);
  fermo = !!g;
  if (g) mostra(g, e.clientX, e.clientY); else nascondi();
});
document.addEventListener("keydown", e => {
  if (e.key === "Escape") { fermo = false; nascondi(); }
  if (e.target.tagName === "INPUT") return;
  if (e.key === "+" || e.key === "=") ingrandisci(0.5);
  if (e.key === "-") ingrandisci(2);
  if (e.key === "ArrowLeft") scorri(-0.25);
  if (e.key === "ArrowRight") scorri(0.25);
});
window.addEventListener("resize", () => ridisegna());

// Under a command that rebuilds the page, the page checks the file named by data-ricarica
// and reloads when its content changes. A plain picture has no such attribute.
const ricarica = document.body.dataset.ricarica;
if (ricarica) {
  let prima = null;
  // One request at a time, the next a quarter of a second after the last answer (the
  // edit-to-picture time stays well under one second). The watch serves the page from this
  // machine and answers while it runs, so a request that gets no answer at all means it
  // has ended: the page says so and asks no more.
  const chiedi = () => {
    fetch(ricarica + "?t=" + Date.now(), { cache: "no-store" }).then(r => r.ok ? r.text() : null).then(t => {
      if (t !== null) {
        if (prima === null) prima = t; else if (t !== prima) { location.reload(); return; }
      }
      setTimeout(chiedi, 250);
    }, () => {
      const avviso = $("fine-watch");
      avviso.textContent = "The watch that served this page has ended: the page no longer follows the descriptions. " +
        "Start watch again and reload the page.";
      avviso.hidden = false;
    });
  };
  setTimeout(chiedi, 250);
}

// The test hooks: the view in metres, and a way to set it.
window.pagina = { vista: () => Object.assign({}, vista), mostraTratto, km, metroDiKm, tacche, corsa: corsaA };
ridisegna();
})();
