// The interactive page: the data it embeds (valid JSON, each object tied to the row the
// readers recorded for it, kilometres by the one rule), a page that loads nothing, and the command.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "model/voci_scenario.h"
#include "orario/corsa_minima.h"
#include "plot/contenuto.h"
#include "plot/disegna.h"
#include "plot/pagina.h"
#include "prova_plot.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

// The JSON element of a page, parsed.
nlohmann::json dati_di(const std::string& pagina) {
  const std::string inizio = "<script type=\"application/json\" id=\"dati\">";
  const auto a = pagina.find(inizio);
  const auto b = pagina.find("</script>", a);
  EXPECT_NE(a, std::string::npos);
  EXPECT_NE(b, std::string::npos);
  return nlohmann::json::parse(pagina.substr(a + inizio.size(), b - a - inizio.size()));
}

// The test state with a record of rows that put its objects where the state has them.
opzioni_pagina opzioni_di_prova() {
  opzioni_pagina o;
  o.testi.push_back({"linea.txt", "/casa/io/linea.txt"});
  o.testi.push_back({"treno.txt", "/casa/io/treno.txt"});
  const auto linea = testo_descrizione::linea, treno = testo_descrizione::treno;
  o.righe = {{linea, "montagna", 2, 1, 8000, "", "montagna", {8000, 8300, 1}},
             {treno, "stazione", 2, 1, 6700, "SAN LORIANO", "stazione", {6700, 2, 200}},
             {treno, "segnale", 4, 1, 4420, "", "segnale", {4420, 1, 4, 1}},
             {treno, "abbattimento", 5, 1, 9800, "", "abbattimento", {9800, 180}}};
  o.modello_editor = "vscode://file/{path}:{line}:{column}";
  o.diagnostiche.push_back({12300, false, 12, "no room for an abbattimento point", -1, 0, 0});
  return o;
}

TEST(Pagina, TheDataIsJsonWithEachObjectTiedToItsRow) {
  const Stato s = prova::stato_di_prova(15000, prova::curve_di_prova());
  const std::string pagina = disegna_pagina(s, opzioni_di_prova());
  const auto d = dati_di(pagina);
  EXPECT_EQ(d["nome"], "VallorsaC_Pietrana");
  EXPECT_EQ(d["file"][1][0], "treno.txt");
  EXPECT_EQ(d["editor"], "vscode://file/{path}:{line}:{column}");
  // [metre, name, kind, entry, area start, area end, file, line, column]
  ASSERT_EQ(d["stazioni"].size(), 3u);
  EXPECT_EQ(d["stazioni"][1], nlohmann::json::parse(R"([6750,"SAN LORIANO",2,2,6600,6800,1,2,1])"));
  EXPECT_EQ(d["stazioni"][0][6], -1);  // no row for it
  // The signal in cell 89 stands at 4400 m; its row said 4420 (the same cell).
  EXPECT_EQ(d["segnali"][0][0], 4400);
  EXPECT_EQ((std::vector<int>{d["segnali"][0][6], d["segnali"][0][7], d["segnali"][0][8]}),
            (std::vector<int>{1, 4, 1}));
  EXPECT_EQ(d["segnali"][1][6], -1);
  // Abbattimento point in cell 196 from its row; the one in cell 250 came from no row.
  EXPECT_EQ(d["abbattimenti"][0], nlohmann::json::parse("[9800,180,1,5,1]"));
  EXPECT_EQ(d["abbattimenti"][1][2], -1);
  EXPECT_EQ(d["montagne"][0], nlohmann::json::parse("[8000,8300,1,0,2,1]"));
  EXPECT_EQ(d["diagnostica"][0],
            nlohmann::json::parse(R"([12300,"warning",12,"no room for an abbattimento point",-1,0,0])"));
  // The profiles as runs [start, end, value, ...] and the plan as metre, east, north.
  EXPECT_EQ(d["pendenze"].size() % 3, 0u);
  EXPECT_EQ(d["pianta"]["m"].size(), d["pianta"]["e"].size());
  EXPECT_EQ(d["pianta"]["m"][0], 0);
}

TEST(Pagina, NoTextOfTheScenarioEndsTheScriptAndNothingIsLoaded) {
  Stato s = prova::stato_di_prova(15000, prova::curve_di_prova());
  s.scenario[2].testo = "</script><img src=x onerror=alert(1)>&amp;\"\\";
  opzioni_pagina o = opzioni_di_prova();
  o.testi[0].percorso = "/casa/</script>/linea.txt";
  const std::string pagina = disegna_pagina(s, o);
  EXPECT_EQ(prova::conta(pagina, "</script>"), 2u);  // the data's and the script's own
  EXPECT_EQ(pagina.find("<img"), std::string::npos);
  EXPECT_EQ(dati_di(pagina)["stazioni"][1][1], "</script><img src=x onerror=alert(1)>&amp;\"\\");
  // Outside the data, nothing that would load a resource; the one fetch is the reload hook.
  const auto a = pagina.find("<script type=\"application/json\"");
  const std::string senza_dati = pagina.substr(0, a) + pagina.substr(pagina.find("</script>", a));
  for (const char* esterno : {" src=", "url(", "@import", "<link", "https:", "XMLHttpRequest", "import("}) {
    EXPECT_EQ(senza_dati.find(esterno), std::string::npos) << esterno;
  }
  EXPECT_EQ(prova::conta(senza_dati, "fetch("), 1u);
  // A plain picture never polls; a page for a rebuilding command names the file it watches.
  EXPECT_EQ(pagina.find("data-ricarica=\""), std::string::npos);
  o.file_ricarica = "linea.versione";
  EXPECT_NE(disegna_pagina(s, o).find("<body data-ricarica=\"linea.versione\">"), std::string::npos);
  // The same state gives the same bytes.
  EXPECT_EQ(disegna_pagina(s, opzioni_di_prova()), disegna_pagina(s, opzioni_di_prova()));
}

// The style, body and script are the files beside the page's C++, carried byte for byte.
TEST(Pagina, CarriesItsStyleBodyAndScriptFilesByteForByte) {
  const auto file = [](const char* nome) {
    const std::string testo = prova::leggi_tutto(std::string(COMPATTATORE_SORGENTI) + "/src/plot/" + nome);
    EXPECT_FALSE(testo.empty()) << nome;
    return testo;
  };
  const std::string pagina = disegna_pagina(prova::stato_di_prova(15000, prova::curve_di_prova()), opzioni_di_prova());
  const std::string testa = "</title>\n<style>\n\n" + file("pagina.css") + "</style>\n</head>\n<body>\n" +
                            file("pagina.html") + "<script type=\"application/json\" id=\"dati\">\n";
  const std::string coda = "\n</script>\n<script>\n" + file("pagina.js") + "</script>\n</body>\n</html>\n";
  EXPECT_NE(pagina.find(testa), std::string::npos);
  EXPECT_TRUE(pagina.ends_with(coda));
}

TEST(Pagina, StationsOfEveryKindAreDrawn) {
  // A kind from 25 on keeps its entry but puts no stop cell on the track.
  Stato s = prova::stato_di_prova(15000, prova::curve_di_prova());
  s.percorso[135] = tratto{};
  s.scenario[2].tipo = 30;
  const auto c = disegno::estrai_contenuto(s);
  ASSERT_EQ(c.stazioni.size(), 3u);
  EXPECT_EQ(c.stazioni[1].testo, "SAN LORIANO");
  EXPECT_EQ(c.stazioni[1].metro, 135 * 50);
  const std::string svg = disegna_svg(s);
  EXPECT_EQ(prova::conta(svg, "<circle class=\"stazione\""), 3u);
  EXPECT_NE(svg.find("SAN LORIANO: stop at km 138+850 (position 6750 m), kind 30 (no cell on the track)"),
            std::string::npos);
  EXPECT_EQ(dati_di(disegna_pagina(s, {}))["stazioni"][1][2], 30);
  // Entries of caption texts (from 80 down) are not stations.
  EXPECT_EQ(c.cartelli.size(), 2u);
  for (const auto& st : c.stazioni) EXPECT_EQ(st.testo.find('('), std::string::npos) << st.testo;
}

// A run the command worked out is drawn as given, with the margin asked for; without one
// the page works out its own with the default assumptions.
TEST(Pagina, DrawsTheRunItIsGivenAndWorksOutItsOwnWithoutOne) {
  Stato s = prova::stato_di_prova(15000, prova::curve_di_prova());
  for (int voce = 1; voce <= 3; ++voce) orario_stazione(s.scenario[static_cast<std::size_t>(voce)]) = 7 * 3600 * voce;
  const auto propria = dati_di(disegna_pagina(s, {}))["corsa_minima"];
  EXPECT_EQ(propria["accelerazione"], kAccelerazionePredefinita);
  EXPECT_EQ(propria["decelerazione_da"], "massa_frenata");
  EXPECT_EQ(propria["margine_minimo"], kMargineMinimoPredefinito);

  opzioni_pagina o;
  o.corsa = calcola_corsa_minima(s.percorso, s.scenario, {0.25, 0.4});
  o.margine_minimo = 99.5;  // more than any station has to spare
  const auto data = dati_di(disegna_pagina(s, o))["corsa_minima"];
  EXPECT_EQ(data["accelerazione"], 0.25);
  EXPECT_EQ(data["decelerazione"], 0.4);
  EXPECT_EQ(data["decelerazione_da"], "opzione");
  EXPECT_EQ(data["margine_minimo"], 99.5);
  ASSERT_EQ(data["punti"].size(), o.corsa->punti.size());
  // A slower run: the last station reached later than by the default one.
  EXPECT_GT(data["stazioni"][2][2].get<double>(), propria["stazioni"][2][2].get<double>());
  EXPECT_EQ(propria["stazioni"][2][8], 0);
  EXPECT_EQ(data["stazioni"][2][8], 302);
}

// A limit of 0 km/h between the second station and the third: the run ends there, says
// where and why, and the third station has no arrival and its warning.
TEST(Pagina, ARunThatCannotGoOnSaysWhereAndLeavesTheRestUnreached) {
  Stato s = prova::stato_di_prova(15000, prova::curve_di_prova());
  s.percorso[200].velocita = 0;
  const auto c = dati_di(disegna_pagina(s, {}))["corsa_minima"];
  EXPECT_EQ(c["blocco"]["metro"], 10000);
  EXPECT_EQ(c["blocco"]["motivo"], "limite_nullo");
  EXPECT_EQ(c["blocco"]["velocita"], 0);
  ASSERT_EQ(c["stazioni"].size(), 3u);
  EXPECT_FALSE(c["stazioni"][1][2].is_null());
  EXPECT_TRUE(c["stazioni"][2][2].is_null());
  EXPECT_TRUE(c["stazioni"][2][3].is_null());
  EXPECT_EQ(c["stazioni"][2][8], 301);
  EXPECT_NE(c["stazioni"][2][9].get<std::string>().find("cannot be reached at all"), std::string::npos);
  EXPECT_LE(c["punti"].back()[0].get<double>(), 10000);
}

TEST(PlotPagina, TheBuiltInScenarioLinksItsStationsToTheirRows) {
  CartellaTemporanea t;
  const std::string linea = t / "VallorsaC_Pietrana_linea.txt";
  const std::string treno = t / "VallorsaC_Pietrana_4721-.txt";
  prova::scrivi_tutto(linea, testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  prova::scrivi_tutto(treno, testo_da_tabella(tabella_righe(righe_treno_incorporato())));
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", linea, "--train", treno, "--out", t / "linea.HTML",
                                                  "--editor-url", "vscode://file/{path}:{line}"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::string pagina = prova::leggi_tutto(t / "linea.HTML");
  ASSERT_EQ(pagina.rfind("<!DOCTYPE html>", 0), 0u);
  const auto d = dati_di(pagina);
  EXPECT_EQ(d["file"][1][0], treno);
  EXPECT_EQ(d["stazioni"][1][1], "SAN LORIANO");
  EXPECT_EQ(d["stazioni"][1][6], 1);
  EXPECT_EQ(d["stazioni"][1][7], 30);
  for (const char* tipo : {"stazioni", "segnali", "indicatori", "cartelli", "progressive", "righe_pendenza",
                           "righe_velocita", "righe_aderenza", "curve"}) {
    EXPECT_FALSE(d[tipo].empty()) << tipo;
    for (const auto& o : d[tipo]) EXPECT_GE(o[o.size() - 3], 0) << tipo << " " << o.dump();  // every one has its row
  }
  EXPECT_EQ(d["editor"], "vscode://file/{path}:{line}");

  // From the compiled files: the same objects, no rows; .svg still gives the picture.
  std::filesystem::create_directory(t / "compilato");
  ASSERT_EQ(
      prova::esegui(COMPATTATORE_EXE, {"compile", "--line", linea, "--train", treno, "--out", t / "compilato"}).stato,
      0);
  ASSERT_EQ(prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t / "compilato", "--out", t / "file.html"}).stato, 0);
  const auto f = dati_di(prova::leggi_tutto(t / "file.html"));
  EXPECT_TRUE(f["file"].empty());
  EXPECT_EQ(f["stazioni"].size(), 4u);
  EXPECT_EQ(f["stazioni"][1][6], -1);
  EXPECT_EQ(f["segnali"].size(), d["segnali"].size());
  // The page works the run out of the compiled files: the same run as the command's.
  EXPECT_EQ(f["corsa_minima"], d["corsa_minima"]);
  ASSERT_EQ(prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t / "compilato", "--out", t / "file.svg"}).stato, 0);
  EXPECT_EQ(prova::leggi_tutto(t / "file.svg").rfind("<?xml", 0), 0u);
}

// Line (from 1) and column (from 1) of the first occurrence of `cercato` in a text.
std::pair<int, int> dove_sta(const std::string& testo, const std::string& cercato) {
  const auto p = testo.find(cercato);
  EXPECT_NE(p, std::string::npos) << cercato;
  const auto inizio_riga = testo.rfind('\n', p);
  const auto linee = std::count(testo.begin(), testo.begin() + static_cast<std::ptrdiff_t>(p), '\n');
  return {static_cast<int>(linee) + 1,
          static_cast<int>(p - (inizio_riga == std::string::npos ? 0 : inizio_riga + 1)) + 1};
}

// The page takes its rows from what the readers took: a signal written in capitals (which
// the reader accepts) keeps its row, and a commented-out gradient row is no row of the page.
TEST(PlotPagina, RowsComeFromWhatTheReadersTookNotFromTheKeywordsSpelt) {
  CartellaTemporanea t;
  std::string linea = testo_da_tabella(tabella_righe(righe_linea_incorporata()));
  std::string treno = testo_da_tabella(tabella_righe(righe_treno_incorporato()));
  const auto prima_pendenza = linea.find("pendenza,");
  linea.insert(prima_pendenza, "-pendenza,  1500,   9\r\n");
  const int riga_commento = dove_sta(linea, "-pendenza").first;
  const auto segnale = treno.find("segnale,");
  treno.replace(segnale, 7, "SEGNALE");
  const auto [riga_segnale, colonna_segnale] = dove_sta(treno, "SEGNALE");
  prova::scrivi_tutto(t / "VallorsaC_Pietrana_linea.txt", linea);
  prova::scrivi_tutto(t / "VallorsaC_Pietrana_4721-.txt", treno);
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", t / "VallorsaC_Pietrana_linea.txt", "--train",
                                                  t / "VallorsaC_Pietrana_4721-.txt", "--out", t / "p.html"});
  ASSERT_NE(e.stato, 3) << e.errori;
  const auto d = dati_di(prova::leggi_tutto(t / "p.html"));
  bool trovato = false;
  for (const auto& x : d["segnali"]) {
    trovato = trovato || (x[6] == 1 && x[7] == riga_segnale && x[8] == colonna_segnale);
  }
  EXPECT_TRUE(trovato) << d["segnali"].dump();
  std::size_t pendenze = 0;
  for (std::size_t p = linea.find("\npendenza,"); p != std::string::npos; p = linea.find("\npendenza,", p + 1))
    ++pendenze;
  EXPECT_EQ(d["righe_pendenza"].size(), pendenze);
  for (const auto& r : d["righe_pendenza"]) {
    EXPECT_EQ(r[2], "pendenza");
    EXPECT_FALSE(r[3] == 0 && r[4] == riga_commento) << r.dump();
  }
}

// plot --encoding utf-8 reads a station's name written in UTF-8 as the letters it spells:
// the picture and the page show ELPÌDIO; read as Windows-1252 it is ELPÃŒDIO (and 203).
TEST(PlotPagina, AnAccentedNameSavedAsUtf8IsDrawnRightWithItsEncoding) {
  CartellaTemporanea t;
  const std::string giusto =
                        "ELP\xC3\x8C"
                        "DIO",
                    storto =
                        "ELP\xC3\x83\xC5\x92"
                        "DIO";
  std::string treno = da_cp1252(testo_da_tabella(tabella_righe(righe_treno_incorporato())));
  treno.replace(treno.find("SAN LORIANO"), 11, giusto);
  prova::scrivi_tutto(t / "VallorsaC_Pietrana_linea.txt",
                      da_cp1252(testo_da_tabella(tabella_righe(righe_linea_incorporata()))));
  prova::scrivi_tutto(t / "VallorsaC_Pietrana_4721-.txt", treno);
  const auto disegna = [&](const std::string& uscita, std::vector<std::string> piu) {
    std::vector<std::string> a = {
        "plot",  "--line",  t / "VallorsaC_Pietrana_linea.txt", "--train", t / "VallorsaC_Pietrana_4721-.txt",
        "--out", t / uscita};
    a.insert(a.end(), piu.begin(), piu.end());
    return prova::esegui(COMPATTATORE_EXE, a);
  };
  const auto e = disegna("utf8.svg", {"--encoding", "utf-8"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  const std::string svg = prova::leggi_tutto(t / "utf8.svg");
  EXPECT_NE(svg.find(giusto), std::string::npos);
  EXPECT_EQ(svg.find(storto), std::string::npos);
  ASSERT_EQ(disegna("utf8.html", {"--encoding", "utf-8"}).stato, 0);
  EXPECT_EQ(dati_di(prova::leggi_tutto(t / "utf8.html"))["stazioni"][1][1], giusto);

  const auto senza = disegna("cp1252.svg", {});
  EXPECT_EQ(senza.stato, 1);
  EXPECT_NE(senza.errori.find("warning 203"), std::string::npos) << senza.errori;
  EXPECT_NE(prova::leggi_tutto(t / "cp1252.svg").find(storto), std::string::npos);
}

// The lowest limit (km/h) the page's speed profile sets at metre m: at a cell's first
// metre the cell before it counts too (the train is in both).
double limite_a(const nlohmann::json& d, double m) {
  double out = 1e9;
  const auto& v = d["velocita"];
  for (std::size_t i = 0; i + 2 < v.size(); i += 3) {
    const double da = v[i], a = v[i + 1];
    if (m >= da && m <= a) out = std::min(out, v[i + 2].get<double>());
  }
  return out;
}

// The built-in scenario's page carries its fastest run: from a stand at the first station
// to a stand at the last, never above a limit anywhere (v² linear between two points, so
// sampled between them too), time never going back, every station reached in time.
TEST(PlotPagina, TheBuiltInScenariosPageCarriesItsFastestRunUnderEveryLimit) {
  CartellaTemporanea t;
  const std::string linea = t / "VallorsaC_Pietrana_linea.txt";
  const std::string treno = t / "VallorsaC_Pietrana_4721-.txt";
  prova::scrivi_tutto(linea, testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  prova::scrivi_tutto(treno, testo_da_tabella(tabella_righe(righe_treno_incorporato())));
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", linea, "--train", treno, "--out", t / "p.html"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  const auto d = dati_di(prova::leggi_tutto(t / "p.html"));
  ASSERT_TRUE(d["rallentamenti"].empty());  // the limits are the profile's alone
  const auto& c = d["corsa_minima"];
  EXPECT_EQ(c["accelerazione"], 0.5);
  EXPECT_EQ(c["decelerazione_da"], "massa_frenata");
  EXPECT_EQ(c["blocco"], nullptr);
  const auto& punti = c["punti"];
  ASSERT_GT(punti.size(), 10u);
  const auto& stazioni = c["stazioni"];
  ASSERT_EQ(stazioni.size(), d["stazioni"].size());
  EXPECT_EQ(punti.front()[0], stazioni.front()[0]);
  EXPECT_EQ(punti.front()[1], 0);
  EXPECT_EQ(punti.back()[0], stazioni.back()[0]);
  EXPECT_EQ(punti.back()[1], 0);
  double piu_veloce = 0;
  for (std::size_t i = 0; i + 1 < punti.size(); ++i) {
    const double m0 = punti[i][0], v0 = punti[i][1], t0 = punti[i][2];
    const double m1 = punti[i + 1][0], v1 = punti[i + 1][1], t1 = punti[i + 1][2];
    ASSERT_LE(m0, m1) << i;
    ASSERT_LE(t0, t1) << i;
    if (m1 > m0 + 1) {
      EXPECT_LT(t0, t1) << i;
    }
    for (double m = m0; m <= m1; m += std::max((m1 - m0) / 20, 1.0)) {
      const double v = std::sqrt(v0 * v0 + (v1 * v1 - v0 * v0) * (m1 > m0 ? (m - m0) / (m1 - m0) : 1));
      EXPECT_LE(v, limite_a(d, m) + 0.05) << "at " << m << " m, between points " << i << " and " << i + 1;
      piu_veloce = std::max(piu_veloce, v);
    }
  }
  EXPECT_GT(piu_veloce, 60);  // the run does get going
  for (std::size_t i = 0; i < stazioni.size(); ++i) {
    const auto& st = stazioni[i];
    EXPECT_EQ(st[5], d["stazioni"][i][1]);
    EXPECT_EQ(st[7], d["stazioni"][i][3]);  // the same entry: the page finds its row by it
    ASSERT_FALSE(st[2].is_null()) << st.dump();
    EXPECT_LE(st[2].get<double>(), st[1].get<double>()) << st.dump();
    EXPECT_NEAR(st[3].get<double>(), st[1].get<double>() - st[2].get<double>(), 0.011) << st.dump();
    EXPECT_EQ(st[8], 0) << st.dump();
  }
  EXPECT_TRUE(d["diagnostica"].empty()) << d["diagnostica"].dump();
}

// A timetable the run cannot keep: the page lists 301 and 302 at the station rows, while
// plot's status and standard error stay a clean compile's.
TEST(PlotPagina, TimetableWarningsAreOnThePageAtTheirRowsAndNowhereElse) {
  CartellaTemporanea t;
  const std::string linea = t / "VallorsaC_Pietrana_linea.txt";
  const std::string treno = t / "VallorsaC_Pietrana_4721-.txt";
  std::string testo = testo_da_tabella(tabella_righe(righe_treno_incorporato()));
  // SAN LORIANO due at 06:16:00 (the run arrives 06:18:20), BRENZOLA at 06:29:00 (10 s to spare).
  for (const auto& [nome, prima, dopo] :
       {std::tuple{"SAN LORIANO", "6,20, 0", "6,16, 0"}, std::tuple{"BRENZOLA", "6,32, 0", "6,29, 0"}}) {
    const auto fine = testo.find(nome);
    const auto p = testo.rfind(prima, fine);
    ASSERT_NE(p, std::string::npos) << nome;
    testo.replace(p, std::string(prima).size(), dopo);
  }
  prova::scrivi_tutto(linea, testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  prova::scrivi_tutto(treno, testo);
  const int riga_san_loriano = dove_sta(testo, "6,16, 0").first, riga_brenzola = dove_sta(testo, "6,29, 0").first;
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", linea, "--train", treno, "--out", t / "p.html"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.errori, "");
  const auto d = dati_di(prova::leggi_tutto(t / "p.html"));
  ASSERT_EQ(d["diagnostica"].size(), 2u) << d["diagnostica"].dump();
  const auto& tardi = d["diagnostica"][0];
  EXPECT_EQ(tardi[1], "warning");
  EXPECT_EQ(tardi[2], 301);
  EXPECT_NE(tardi[3].get<std::string>().find("SAN LORIANO cannot be reached by its time 06:16:00"), std::string::npos);
  EXPECT_EQ((std::vector<int>{tardi[4], tardi[5]}), (std::vector<int>{1, riga_san_loriano}));
  EXPECT_EQ(d["diagnostica"][1][2], 302);
  EXPECT_EQ(d["diagnostica"][1][5], riga_brenzola);
  // The run's stations say the same, for the time panel's colours.
  const auto& stazioni = d["corsa_minima"]["stazioni"];
  EXPECT_EQ(stazioni[1][8], 301);
  EXPECT_LT(stazioni[1][3].get<double>(), 0);
  EXPECT_EQ(stazioni[2][8], 302);
  EXPECT_EQ(stazioni[3][8], 0);
  EXPECT_EQ(stazioni[1][9], tardi[3]);
}

}  // namespace
}  // namespace cmp
