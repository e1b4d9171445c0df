// Drives the distribution's Chromium (headless, through playwright-core) over the pages
// `compattatore plot --out X.html` writes. One check per run, named on the command line:
//   node pagina.test.js CHECK COMPATTATORE GENERA_SCENARIO WORKDIR
// Exit status 77 (a skip for ctest) when node modules or the browser are missing.
// Every wait is bounded: each program run, each step in the browser, and the whole check
// (LIMITE_MS, within ctest's limit of 300 s); the browser gets a home and XDG folders of
// its own, so that any user runs the checks, one whose home cannot be written too.
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const LIMITE_MS = 240000;
const LIMITE_PROGRAMMA_MS = 120000;
const figli = new Set();  // programs started in the background, killed however the check ends
function esegui(programma, argomenti, opzioni = {}) {
  return execFileSync(programma, argomenti, { timeout: LIMITE_PROGRAMMA_MS, killSignal: "SIGKILL", ...opzioni });
}

const SALTA = 77;
const [controllo, compattatore, generatore, cartella] = process.argv.slice(2);

let chromium;
try {
  ({ chromium } = require("playwright-core"));
} catch {
  console.log("SKIP: playwright-core is not installed (run scripts/prepara.sh --prove)");
  process.exit(SALTA);
}
const BROWSER = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find(p => fs.existsSync(p));
if (!BROWSER) {
  console.log("SKIP: no Chromium in /usr/bin (run scripts/prepara.sh --prove)");
  process.exit(SALTA);
}

function verifica(condizione, messaggio) {
  if (!condizione) throw new Error(messaggio);
}

// A fresh folder with the built-in descriptions, changed by `modifica` when given.
function descrizioni_incorporate(nome, modifica) {
  const dir = path.join(cartella, nome);
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir, { recursive: true });
  esegui(compattatore, ["export", "--out", dir]);
  const treno = path.join(dir, "VallorsaC_Pietrana_4721-.txt");
  if (modifica) fs.writeFileSync(treno, modifica(fs.readFileSync(treno, "latin1")), "latin1");
  return { dir, linea: path.join(dir, "VallorsaC_Pietrana_linea.txt"), treno };
}

function disegna(linea, treno, uscita) {
  esegui(compattatore, ["plot", "--line", linea, "--train", treno, "--out", uscita,
    "--editor-url", "vscode://file/{path}:{line}:{column}"], { stdio: ["ignore", "ignore", "pipe"] });
  return uscita;
}

// Opens a page and records every console error, page error and request beyond the page itself.
async function apri(browser, file) {
  const pagina = await browser.newPage({ viewport: { width: 1280, height: 1100 } });
  const problemi = [];
  const indirizzo = "file://" + path.resolve(file);
  pagina.on("console", m => { if (m.type() === "error" || m.type() === "warning") problemi.push("console: " + m.text()); });
  pagina.on("pageerror", e => problemi.push("page error: " + e.message));
  pagina.on("request", r => { if (r.url() !== indirizzo) problemi.push("request: " + r.url()); });
  await pagina.goto(indirizzo);
  await pagina.waitForSelector("#profili .stazione");
  return { pagina, problemi };
}

// The names of the stations the plan draws (a merged mark names each of its stations).
async function stazioni_pianta(pagina) {
  return pagina.$$eval("#pianta .stazione", c => c.flatMap(e => e.dataset.nome.split(", ")));
}

async function suggerimento_di(pagina, selettore) {
  await pagina.hover(selettore);
  await pagina.waitForSelector("#suggerimento:not([hidden])");
  return pagina.$eval("#suggerimento", e => ({ testo: e.innerText, link: [...e.querySelectorAll("a")].map(a => a.href) }));
}

async function mostra_km(pagina, da, a) {
  await pagina.fill("#km-da", da);
  await pagina.fill("#km-a", a);
  await pagina.click("#vai");
  const attesa = [window_km(da), window_km(a)];
  await pagina.waitForFunction(([d, b]) => {
    const v = window.pagina.vista();
    return window.pagina.km(v.a) === d && window.pagina.km(v.b) === b;
  }, attesa, { timeout: 5000 }).catch(async () => {
    throw new Error("view after typing " + da + " to " + a + ": " + JSON.stringify(await pagina.evaluate(() => window.pagina.vista())));
  });
  // The view is set at once, the drawing in the next animation frame: a frame asked for
  // now runs after it.
  await pagina.evaluate(() => new Promise(fatto => requestAnimationFrame(() => fatto())));
}
function window_km(t) {
  const [k, m] = t.split("+");
  return Number(k) * 1000 + Number(m);
}

// No two station names on the plan share a pixel, and none covers the line's points.
async function nomi_separati(pagina) {
  return pagina.$$eval("#pianta .nome-stazione", testi => {
    const b = testi.map(t => t.getBBox());
    for (let i = 0; i < b.length; i++) for (let j = i + 1; j < b.length; j++) {
      if (b[i].x < b[j].x + b[j].width && b[j].x < b[i].x + b[i].width && b[i].y < b[j].y + b[j].height && b[j].y < b[i].y + b[i].height) {
        return testi[i].textContent + " overlaps " + testi[j].textContent;
      }
    }
    return "";
  });
}

// Runs `compattatore watch` on a folder; `riga(re, ms)` waits for its standard error to match.
function avvia_watch(d) {
  const { spawn } = require("child_process");
  const w = spawn(compattatore, ["watch", "--line", d.linea, "--train", d.treno, "--out", d.dir],
    { stdio: ["ignore", "ignore", "pipe"] });
  figli.add(w);
  w.on("exit", () => figli.delete(w));
  let detto = "";
  w.stderr.on("data", c => { detto += c; });
  w.riga = (re, ms) => new Promise((ok, no) => {
    const fine = Date.now() + ms;
    const guarda = () => {
      const m = detto.match(re);
      if (m) return ok(m);
      if (Date.now() > fine) return no(new Error("watch did not say " + re + "; it said:\n" + detto));
      setTimeout(guarda, 20);
    };
    guarda();
  });
  return w;
}

const controlli = {
  // The page served by watch reloads itself after an editor-style save of the line description.
  async watch(browser) {
    const d = descrizioni_incorporate("watch");
    const w = avvia_watch(d);
    try {
      const [, indirizzo] = await w.riga(/the page is at (http:\/\/127\.0\.0\.1:\d+\/)/, 10000);
      await w.riga(/rebuild 1 in \d+ ms: clean/, 30000);
      const pagina = await browser.newPage({ viewport: { width: 1280, height: 1100 } });
      const problemi = [];
      pagina.on("console", m => { if (m.type() === "error" || m.type() === "warning") problemi.push("console: " + m.text()); });
      pagina.on("pageerror", e => problemi.push("page error: " + e.message));
      pagina.on("request", r => {
        if (r.url() !== indirizzo && !r.url().startsWith(indirizzo + "versione?")) problemi.push("request: " + r.url());
      });
      await pagina.goto(indirizzo);
      await pagina.waitForSelector("#profili .stazione");
      verifica(!(await pagina.content()).includes('"error",15,'), "an error on the page before the edit");

      // A gradient row beyond the end of the track, saved as editors save: a temporary renamed over.
      const testo = fs.readFileSync(d.linea, "latin1");
      const ultima = testo.lastIndexOf("\r\npendenza");
      const fine_riga = testo.indexOf("\r\n", ultima + 2);
      const ricaricata = pagina.waitForEvent("load", { timeout: 5000 });
      const inizio = Date.now();
      fs.writeFileSync(d.linea + ".swp", testo.slice(0, fine_riga) + "\r\npendenza,  40000,   3" + testo.slice(fine_riga), "latin1");
      fs.renameSync(d.linea + ".swp", d.linea);
      await ricaricata;
      const attesa = Date.now() - inizio;
      await pagina.waitForSelector("#profili .stazione");
      verifica((await pagina.content()).includes('"error",15,'), "the reloaded page does not show error 15");
      verifica(attesa < 2000, "the page reloaded " + attesa + " ms after the save");
      await w.riga(/rebuild 2 in \d+ ms: error 15/, 2000);
      const voce = await pagina.$eval("#elenco-diagnostica li.error", e => e.innerText);
      verifica(/^error 15: \S/.test(voce), "the list of errors reads: " + voce);
      verifica(problemi.length === 0, problemi.join("\n"));
      console.log("watch: edit to reloaded page in " + attesa + " ms");

      // The watch ends: the page says so and asks no more (one failed request at most).
      let richieste = 0;
      pagina.on("request", () => { richieste++; });
      w.kill("SIGINT");
      await pagina.waitForSelector("#fine-watch:not([hidden])", { timeout: 5000 });
      const detto = await pagina.$eval("#fine-watch", e => e.innerText);
      verifica(/watch .* has ended/.test(detto), "after the end the page says: " + detto);
      const dopo = richieste;
      await pagina.waitForTimeout(1500);
      verifica(richieste === dopo, (richieste - dopo) + " requests after the page said the watch had ended");
      verifica(problemi.length <= 1 && problemi.every(p => /ERR_CONNECTION_REFUSED/.test(p)), problemi.join("\n"));
    } finally {
      w.kill("SIGINT");
    }
  },

  // The built-in scenario: SAN LORIANO linked to its row, zoom into a range, no error, nothing loaded.
  async incorporata(browser) {
    const d = descrizioni_incorporate("incorporata");
    const { pagina, problemi } = await apri(browser, disegna(d.linea, d.treno, path.join(d.dir, "linea.html")));
    const nomi = await stazioni_pianta(pagina);
    verifica(JSON.stringify(nomi) === JSON.stringify(["VALLORSA C.", "SAN LORIANO", "BRENZOLA", "PIETRANA"]), "plan stations: " + nomi);
    const s = await suggerimento_di(pagina, "#pianta .stazione[data-nome='SAN LORIANO']");
    verifica(s.testo.includes("SAN LORIANO") && s.testo.includes("VallorsaC_Pietrana_4721-.txt:30"), "tooltip: " + s.testo);
    verifica(s.link.length === 1 && s.link[0].startsWith("vscode://file/") && s.link[0].endsWith("VallorsaC_Pietrana_4721-.txt:30:1"), "link: " + s.link);
    // The key beside each drawing: each mark it names is drawn in the key's own shape and colour.
    const chiave = await pagina.$$eval(".legenda svg", c => c.map(e => ({
      pannello: e.closest("section").id, nome: e.nextSibling.textContent.trim(), forma: e.firstElementChild.tagName,
      fill: e.firstElementChild.getAttribute("fill"), stroke: e.firstElementChild.getAttribute("stroke") })));
    for (const [pannello, svg, nomi] of [["pannello-pianta", "pianta", ["station", "signal", "speed-indicator board", "caption board"]],
      ["pannello-profili", "profili", ["slow order", "station stop", "kilometre reference"]]]) {
      for (const nome of nomi) {
        const k = chiave.find(v => v.pannello === pannello && v.nome === nome);
        verifica(k, "no " + nome + " in the key of " + pannello + ": " + JSON.stringify(chiave.filter(v => v.pannello === pannello).map(v => v.nome)));
        // The built-in train runs under no slow order, so that mark has nothing to match here.
        if (nome === "slow order") continue;
        const selettore = "#" + svg + " " + k.forma + (k.fill && k.fill !== "none" ? "[fill='" + k.fill + "']" : "[stroke='" + k.stroke + "']");
        verifica(await pagina.$(selettore) !== null, "the key's " + nome + " (" + selettore + ") is not how " + svg + " draws it");
      }
    }
    const segnale = await suggerimento_di(pagina, "#pianta circle[fill='#d62728']");
    verifica(/Signal at km .*aspect codes/s.test(segnale.testo) && /4721-\.txt:\d+/.test(segnale.testo), "signal tooltip: " + segnale.testo);

    await mostra_km(pagina, "138+000", "140+000");
    const dentro = await pagina.$$eval("#profili .stazione", c => c.map(e => e.dataset.nome));
    verifica(JSON.stringify(dentro) === JSON.stringify(["SAN LORIANO"]), "stations between km 138 and 140: " + dentro);
    // The cursor: hovering the gradient profile shows the values there and the gradient row.
    const striscia = await pagina.$("#profili rect[data-striscia='pendenza']");
    const r = await striscia.boundingBox();
    await pagina.mouse.move(r.x + r.width / 2, r.y + r.height / 2);
    await pagina.waitForFunction(() => document.getElementById("lettura").textContent.includes("gradient"));
    const lettura = await pagina.$eval("#lettura", e => e.textContent);
    verifica(/^km 139\+\d{3} · gradient -?\d+ ‰ · speed limit \d+ km\/h/.test(lettura), "readout: " + lettura);
    verifica(await pagina.$("#cursore-pianta") !== null, "no cursor on the plan");
    const riga = await pagina.$eval("#suggerimento", e => e.innerText);
    verifica(/Gradient row/.test(riga) && /VallorsaC_Pietrana_linea\.txt:\d+/.test(riga), "gradient tooltip: " + riga);
    // The wheel zooms in around the pointer.
    const prima = await pagina.evaluate(() => window.pagina.vista());
    await pagina.mouse.wheel(0, -300);
    await pagina.waitForFunction(l => { const v = window.pagina.vista(); return v.b - v.a < l; }, prima.b - prima.a);
    verifica(problemi.length === 0, problemi.join("\n"));
  },

  // The fastest run, with SAN LORIANO due before the run can reach it and a slow order
  // after BRENZOLA: its speed over the limits, its time against distance (always later
  // going on), the late station in red and in the list of warnings, a tooltip on the run
  // (a slow order's own over it), the cursor on both panels at one metre.
  async corsa(browser) {
    const d = descrizioni_incorporate("corsa", t => {
      const cambiato = t.replace(/^(stazione,\s+6600,.*,\s+6,)20, 0,/m, "$116, 0,")
        .replace(/^\[rallentamenti\]\r\n/m, "$&rallentamento, 20000, 60, 1000, 0, 0, 0\r\n");
      verifica(cambiato.split("\r\n").length === t.split("\r\n").length + 1 && !/6,20, 0, SAN/.test(cambiato),
        "the SAN LORIANO row or the slow orders' section was not found");
      return cambiato;
    });
    const { pagina, problemi } = await apri(browser, disegna(d.linea, d.treno, path.join(d.dir, "corsa.html")));
    // A path's points as [x, y] pairs, in the order drawn.
    const punti = sel => pagina.$eval(sel, e => e.getAttribute("d").slice(1).split("L").map(p => p.split(" ").map(Number)));
    const velocita = await punti("#corsa-velocita");
    const striscia = await pagina.$eval("#profili rect[data-striscia='velocita']", e => {
      const b = e.getBBox(); return { y0: b.y, y1: b.y + b.height };
    });
    const stazioni = await pagina.$$eval("#profili .stazione", c => c.map(e => e.getBBox().x + e.getBBox().width / 2));
    verifica(velocita.length > 20, "the speed curve has " + velocita.length + " points");
    verifica(velocita.every(([, y]) => y >= striscia.y0 - 0.5 && y <= striscia.y1 + 0.5), "the speed curve leaves the speed strip");
    verifica(Math.abs(velocita[0][0] - stazioni[0]) < 2 && Math.abs(velocita[velocita.length - 1][0] - stazioni[stazioni.length - 1]) < 2,
      "the speed curve runs from " + velocita[0][0] + " to " + velocita[velocita.length - 1][0] + ", the stations from " + stazioni);
    // Time against distance: going right, never earlier (up is later).
    const tempo = await punti("#corsa-tempo");
    verifica(tempo.length > 20, "the time curve has " + tempo.length + " points");
    for (let i = 1; i < tempo.length; i++) {
      verifica(tempo[i][0] >= tempo[i - 1][0] && tempo[i][1] <= tempo[i - 1][1] + 0.05, "the time curve goes back at " + JSON.stringify(tempo.slice(i - 1, i + 1)));
    }
    verifica(tempo[0][1] - tempo[tempo.length - 1][1] > 100, "the time curve is flat");
    const orari = await pagina.$$eval("#orario .orario-stazione", c => c.map(e => {
      const b = e.getBBox();
      return { nome: e.dataset.nome, avviso: e.dataset.avviso, fill: e.getAttribute("fill"), x: b.x + b.width / 2, y: b.y + b.height / 2 };
    }));
    verifica(JSON.stringify(orari.map(o => o.nome)) === JSON.stringify(["VALLORSA C.", "SAN LORIANO", "BRENZOLA", "PIETRANA"]), "timetable marks: " + JSON.stringify(orari));
    verifica(orari.every(o => (o.fill === "#d00") === (o.nome === "SAN LORIANO")), "the late station alone is red: " + JSON.stringify(orari));
    // The late station's time lies below (earlier than) every point of the run at its metre.
    const tardi = orari[1], presso = tempo.filter(([x]) => Math.abs(x - tardi.x) < 1);
    verifica(presso.length > 0 && presso.every(([, y]) => y < tardi.y - 5), "SAN LORIANO at " + tardi.y + ", the run there at " + JSON.stringify(presso));
    const s = await suggerimento_di(pagina, "#orario .orario-stazione[data-nome='SAN LORIANO']");
    verifica(/scheduled 06:16:00/.test(s.testo) && /warning 301/.test(s.testo) && s.link.length === 1 && s.link[0].endsWith("4721-.txt:30:1"),
      "late station tooltip: " + s.testo + " " + s.link);
    const voce = await pagina.$eval("#elenco-diagnostica", e => e.innerText);
    verifica(/warning 301: station SAN LORIANO cannot be reached by its time 06:16:00/.test(voce), "the list of warnings reads: " + voce);
    // Hovering the run where it cruises (km 135): its speed and its time there.
    const r = await pagina.$eval("#profili", e => { const b = e.getBoundingClientRect(); return { x: b.left, y: b.top }; });
    const x135 = await pagina.evaluate(() => window.pagina.tacche().find(t => t.t === 135000).x);
    const [vx, vy] = velocita.reduce((a, b) => Math.abs(b[0] - x135) < Math.abs(a[0] - x135) ? b : a);
    await pagina.mouse.move(r.x + vx, r.y + vy);
    await pagina.waitForSelector("#suggerimento:not([hidden])");
    const sulla = await pagina.$eval("#suggerimento", e => e.innerText);
    verifica(/Fastest run/.test(sulla) && /speed \d+\.\d km\/h at \d\d:\d\d:\d\d/.test(sulla), "tooltip on the speed curve: " + sulla);
    // A level stroke has a box of no height, which hover() takes for hidden: the pointer goes to its middle.
    const l = await pagina.$eval("#profili path[stroke='#d62728']", e => { const b = e.getBoundingClientRect(); return { x: b.x + b.width / 2, y: b.y }; });
    await pagina.mouse.move(l.x, l.y);
    await pagina.waitForFunction(() => /Slow order/.test(document.getElementById("suggerimento").innerText));
    const lento = await pagina.$eval("#suggerimento", e => e.innerText);
    verifica(/Slow order 60 km\/h/.test(lento), "tooltip on the slow order the run keeps to: " + lento);
    // Zoomed in, the time panel shows what the profiles show, with the cursor at one metre.
    await mostra_km(pagina, "138+000", "140+000");
    const dentro = await pagina.$$eval("#orario .orario-stazione", c => c.map(e => e.dataset.nome));
    verifica(JSON.stringify(dentro) === JSON.stringify(["SAN LORIANO"]), "timetable marks between km 138 and 140: " + dentro);
    const o = await (await pagina.$("#orario rect[data-corsa]")).boundingBox();
    await pagina.mouse.move(o.x + o.width / 3, o.y + o.height / 2);
    await pagina.waitForSelector("#cursore-orario");
    const cursori = await pagina.evaluate(() => [document.querySelector("#cursore-orario path").getAttribute("d"),
      document.getElementById("cursore-profili").getAttribute("d")].map(d => Number(d.slice(1).split(" ")[0])));
    verifica(Math.abs(cursori[0] - cursori[1]) < 0.5, "cursors at x " + cursori);
    await pagina.waitForFunction(() => document.getElementById("lettura").textContent.includes("fastest run"));
    const nel = await pagina.$eval("#suggerimento:not([hidden])", e => e.innerText);
    verifica(/Fastest run/.test(nel) && /speed \d+\.\d km\/h at 06:1\d:\d\d/.test(nel), "tooltip on the time panel: " + nel);
    verifica(problemi.length === 0, problemi.join("\n"));
  },

  // Two kilometre references: the axis, the readout and the references' tooltips read
  // kilometres by the rule the page's data gives, the one the picture and the hover use.
  async chilometri(browser) {
    const d = descrizioni_incorporate("chilometri");
    const testo = fs.readFileSync(d.linea, "latin1");
    const cambiato = testo.replace(/^progressiva chilometrica due,.*$/m, "progressiva chilometrica due,    5000,    150000,    1");
    verifica(cambiato !== testo, "no second kilometre reference in the built-in line");
    fs.writeFileSync(d.linea, cambiato, "latin1");
    const { pagina, problemi } = await apri(browser, disegna(d.linea, d.treno, path.join(d.dir, "km.html")));
    const letti = await pagina.evaluate(() => [1000, 4950, 5000, 6000].map(m => window.pagina.km(m)));
    verifica(JSON.stringify(letti) === JSON.stringify([133100, 137050, 150100, 151100]), "km at 1000, 4950, 5000, 6000 m: " + letti);
    // Every tick of the axis stands where the rule reads its value; none falls in the jump.
    await pagina.evaluate(() => window.pagina.mostraTratto(3000, 8000));
    const tacche = await pagina.evaluate(() => window.pagina.tacche().map(t => [t.m, t.t, window.pagina.km(t.m)]));
    verifica(tacche.length > 3 && tacche.every(([, t, k]) => Math.abs(t - k) < 1e-6), "ticks [metre, label, km there]: " + JSON.stringify(tacche));
    verifica(!tacche.some(([, t]) => t > 137100 && t < 150100), "a tick in the jump: " + JSON.stringify(tacche));
    // Typing a kilometre after the jump shows it from the metre that reads it.
    await mostra_km(pagina, "150+500", "152+000");
    const vista = await pagina.evaluate(() => window.pagina.vista());
    verifica(Math.abs(vista.a - 5400) < 1e-6, "km 150+500 shown from metre " + vista.a);
    verifica(problemi.length === 0, problemi.join("\n"));
  },

  // A station of a kind that puts no cell on the track is drawn all the same.
  async tipo30(browser) {
    const d = descrizioni_incorporate("tipo30", t => {
      const cambiato = t.replace(/^(stazione,\s+6600,\s*)21,/m, "$130,");
      verifica(cambiato !== t, "the SAN LORIANO row was not found");
      return cambiato;
    });
    const { pagina, problemi } = await apri(browser, disegna(d.linea, d.treno, path.join(d.dir, "linea.html")));
    const nomi = await stazioni_pianta(pagina);
    verifica(nomi.length === 4 && nomi.includes("SAN LORIANO"), "plan stations: " + nomi);
    const s = await suggerimento_di(pagina, "#profili .stazione[data-nome='SAN LORIANO']");
    verifica(s.testo.includes("kind 30") && s.testo.includes("VallorsaC_Pietrana_4721-.txt:30"), "tooltip: " + s.testo);
    verifica(problemi.length === 0, problemi.join("\n"));
  },

  // The 1,000 km scenario: every station there, legible names, a quick zoom.
  async lunga(browser) {
    const dir = path.join(cartella, "lunga");
    fs.rmSync(dir, { recursive: true, force: true });
    fs.mkdirSync(dir, { recursive: true });
    esegui(generatore, ["--length", "1000000", "--out", dir]);
    const uscita = disegna(path.join(dir, "Banco1000_linea.txt"), path.join(dir, "Banco1000_9001-.txt"), path.join(dir, "linea.html"));
    console.log("page of 1,000 km: " + fs.statSync(uscita).size + " bytes");
    const inizio = Date.now();
    const { pagina, problemi } = await apri(browser, uscita);
    console.log("opened and drawn in " + (Date.now() - inizio) + " ms");
    const nomi = await pagina.$$eval("#profili .stazione", c => c.flatMap(e => e.dataset.nome.split(", ")));
    verifica(nomi.length === 50 && nomi.includes("POSTO 05"), "stations on the profiles: " + nomi.length);
    verifica((await stazioni_pianta(pagina)).length === 50, "stations on the plan");
    const sovrapposti = await nomi_separati(pagina);
    verifica(sovrapposti === "", sovrapposti);
    // Zoom and pan, each redrawn within one frame budget of a slow machine.
    const tempi = await pagina.evaluate(async () => {
      const out = [];
      for (const [a, b] of [[400000, 500000], [450000, 452000], [0, 1000000], [700000, 710000]]) {
        const t = performance.now();
        window.pagina.mostraTratto(a, b);
        await new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)));
        out.push(Math.round(performance.now() - t));
      }
      return out;
    });
    console.log("redraw after zoom or pan (ms): " + tempi.join(", "));
    verifica(Math.max(...tempi) < 1000, "redraw too slow: " + tempi);
    // The cursor follows the pointer within a frame or two.
    const cursore = await pagina.evaluate(async () => {
      const svg = document.getElementById("profili"), r = svg.getBoundingClientRect(), out = [];
      for (let i = 0; i < 5; i++) {
        const t = performance.now();
        svg.dispatchEvent(new PointerEvent("pointermove", { clientX: r.left + 200 + 100 * i, clientY: r.top + 150, bubbles: true }));
        await new Promise(f => requestAnimationFrame(() => f()));
        out.push(Math.round(performance.now() - t));
      }
      return { tempi: out, lettura: document.getElementById("lettura").textContent };
    });
    console.log("cursor update (ms): " + cursore.tempi.join(", "));
    verifica(/^km \d+\+\d{3} · gradient/.test(cursore.lettura), "readout: " + cursore.lettura);
    await mostra_km(pagina, "552+100", "572+100");
    const s = await suggerimento_di(pagina, "#pianta .stazione");
    verifica(/POSTO \d\d/.test(s.testo) && /Banco1000_9001-\.txt:\d+/.test(s.testo), "tooltip: " + s.testo);
    verifica(problemi.length === 0, problemi.join("\n"));
  },

  // The screenshot of the built-in line for the README.
  async schermata(browser) {
    const d = descrizioni_incorporate("schermata");
    const { pagina, problemi } = await apri(browser, disegna(d.linea, d.treno, path.join(d.dir, "linea.html")));
    await pagina.setViewportSize({ width: 1280, height: 1160 });
    await pagina.hover("#pianta .stazione[data-nome='SAN LORIANO']");
    await pagina.waitForSelector("#suggerimento:not([hidden])");
    await pagina.screenshot({ path: path.join(cartella, "pagina.png"), fullPage: true });
    verifica(problemi.length === 0, problemi.join("\n"));
  },
};

// A home of the browser's own, removed at the end.
function casa_temporanea() {
  const casa = fs.mkdtempSync(path.join(os.tmpdir(), "compattatore-browser-"));
  const env = { ...process.env, HOME: casa };
  for (const [variabile, sotto] of [["XDG_CONFIG_HOME", "config"], ["XDG_CACHE_HOME", "cache"],
    ["XDG_DATA_HOME", "dati"], ["XDG_STATE_HOME", "stato"], ["XDG_RUNTIME_DIR", "run"]]) {
    env[variabile] = path.join(casa, sotto);
    fs.mkdirSync(env[variabile], { mode: 0o700 });
  }
  return { casa, env };
}

function uccidi_figli() {
  for (const f of figli) f.kill("SIGKILL");
}

(async () => {
  if (!controlli[controllo]) {
    console.error("unknown check " + controllo + "; one of " + Object.keys(controlli).join(", "));
    process.exit(2);
  }
  const scadenza = setTimeout(() => {
    console.error(controllo + ": not done within " + LIMITE_MS / 1000 + " s");
    process.exit(1);
  }, LIMITE_MS);
  fs.mkdirSync(cartella, { recursive: true });
  const { casa, env } = casa_temporanea();
  process.on("exit", () => {
    uccidi_figli();
    fs.rmSync(casa, { recursive: true, force: true });
  });
  let browser;
  try {
    browser = await chromium.launch({ executablePath: BROWSER, args: ["--no-sandbox"], env, timeout: 60000 });
  } catch (e) {
    console.log("SKIP: Chromium does not start: " + e.message.split("\n")[0]);
    process.exit(SALTA);
  }
  try {
    await controlli[controllo](browser);
    console.log(controllo + ": ok");
  } catch (e) {
    console.error(controllo + ": " + (e.stack || e));
    process.exitCode = 1;
  } finally {
    await browser.close();
    clearTimeout(scadenza);
  }
})();
