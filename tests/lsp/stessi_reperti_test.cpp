// Every front end shows a compile's findings at the same place: compile (its JSON), plot
// (its diagnostics and the page's data) and the language server give each finding the
// same number, file, line and column; and the timetable's warnings stand alike in its
// table, on the page and in the editor.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "lsp/diagnosi.h"
#include "processo_misurato.h"
#include "supporto.h"

namespace cmp {
namespace {

using json = nlohmann::json;
using reperto_visto = std::tuple<int, std::string, int, int>;  // number, file, line, column (0: none)

const std::string kLinea = "X_linea.txt";
const std::string kTreno = "X_5-.txt";
constexpr unsigned kSecondi = 60;

std::string testo(const std::vector<std::string>& righe) { return testo_da_tabella(tabella_righe(righe)); }

std::set<reperto_visto> da_compile(const json& j) {
  std::set<reperto_visto> out;
  if (!j["file"].is_null() && (j["codice_errore"] != 0 || !j["errore_finale"].is_null())) {
    const int numero = j["codice_errore"] != 0 ? j["codice_errore"].get<int>() : j["errore_finale"].get<int>();
    out.insert({numero, j["file"], j["riga"].is_null() ? 0 : j["riga"].get<int>(),
                j["colonna"].is_null() ? 0 : j["colonna"].get<int>()});
  }
  for (const auto& a : j["avvisi"]) {
    out.insert({a["codice"], a["file"].is_null() ? kTreno : a["file"].get<std::string>(),
                a["riga"].is_null() ? 0 : a["riga"].get<int>(), a["colonna"].is_null() ? 0 : a["colonna"].get<int>()});
  }
  return out;
}

// The page's data: the JSON the page carries, its "diagnostica" rows [metre, kind, number,
// message, file index, line, column]. The timetable check's warnings (301, 302) are the
// page's beside the compile's (compile never gives them): see `scelti`.
std::set<reperto_visto> dalla_pagina(const std::string& html) {
  const std::string apre = "<script type=\"application/json\" id=\"dati\">\n";
  const auto inizio = html.find(apre);
  const auto fine = html.find("\n</script>", inizio);
  if (inizio == std::string::npos || fine == std::string::npos) return {};
  const json dati = json::parse(html.substr(inizio + apre.size(), fine - inizio - apre.size()));
  std::set<reperto_visto> out;
  for (const auto& d : dati["diagnostica"]) {
    const bool con_file = d[4].get<int>() >= 0;
    out.insert({d[2], con_file && d[4] == 0 ? kLinea : kTreno, con_file ? d[5].get<int>() : 0,
                con_file ? d[6].get<int>() : 0});
  }
  return out;
}

// The timetable's warnings (301, 302) alone, or the compile's findings without them: the
// page and the editor show both, compile only the second.
bool del_orario(const reperto_visto& r) { return std::get<0>(r) == 301 || std::get<0>(r) == 302; }
std::set<reperto_visto> scelti(const std::set<reperto_visto>& tutti, bool orario) {
  std::set<reperto_visto> out;
  for (const auto& r : tutti) {
    if (del_orario(r) == orario) out.insert(r);
  }
  return out;
}

std::set<reperto_visto> dal_server(const std::string& linea, const std::string& treno) {
  std::set<reperto_visto> out;
  for (const auto& d : diagnosi_documenti(linea, treno, {"X", "5"}).diagnostiche) {
    out.insert({d.numero, d.testo == testo_descrizione::linea ? kLinea : kTreno, d.riga, d.riga > 0 ? d.colonna : 0});
  }
  return out;
}

const std::string kLineaBase = "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n";
const std::string kTrenoBase = "[generale]\nvelocita, 0, 70\n[fine]\n";

// A text of `righe` rows made by `riga(i)`, i from 1, between a head and a tail.
template <typename Riga>
std::string con_righe(const std::string& testa, int righe, Riga riga, const std::string& coda) {
  std::string out = testa;
  for (int i = 1; i <= righe; ++i) out += riga(i) + "\n";
  return out + coda;
}

struct Caso {
  std::string nome;
  std::string linea, treno;
  reperto_visto atteso;
};

// Compile (its JSON), the language server and plot (its page's data) on one pair of texts:
// the finding expected is among compile's, and every front end shows the same set.
void confronta_front_end(const Caso& c) {
  SCOPED_TRACE(c.nome);
  prova::CartellaTemporanea t;
  prova::scrivi_tutto(t / kLinea, c.linea);
  prova::scrivi_tutto(t / kTreno, c.treno);

  const auto compilato = prova::esegui_misurato(
      COMPATTATORE_EXE,
      {"compile", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--out", "out", "--json"}, kSecondi,
      t.percorso().string());
  EXPECT_NE(compilato.stato, 0);
  const auto dal_compile = da_compile(json::parse(compilato.uscita));
  EXPECT_TRUE(dal_compile.count(c.atteso)) << compilato.uscita;

  EXPECT_EQ(scelti(dal_server(c.linea, c.treno), false), dal_compile);

  const auto disegnato = prova::esegui_misurato(
      COMPATTATORE_EXE, {"plot", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--out", "p.html"},
      kSecondi, t.percorso().string());
  EXPECT_EQ(disegnato.stato, compilato.stato);
  // Plot prints what compile prints; when nothing can be written it draws nothing.
  EXPECT_EQ(disegnato.errori, compilato.errori);
  if (std::filesystem::exists(t / "p.html")) {
    EXPECT_EQ(scelti(dalla_pagina(prova::leggi_tutto(t / "p.html")), false), dal_compile);
  }
}

TEST(Reperti, EveryFrontEndPutsEachFindingAtTheSameFileLineAndColumn) {
  const std::vector<std::string> base = {"[generale]", "lunghezza percorso, 10000", "[fine]"};
  const std::vector<std::string> oltre = {"[generale]", "lunghezza percorso, 10000", "[pendenze]", "pendenza, 20000, 3",
                                          "[fine]"};
  const std::string segnale = ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0";
  const auto casi_di = [](const char* nome, const std::vector<std::string>& linea,
                          const std::vector<std::string>& treno, reperto_visto atteso,
                          const std::string& inizio_treno = {}) {
    return Caso{nome, testo(linea), inizio_treno + testo(treno), std::move(atteso)};
  };
  const std::vector<Caso> casi = {
      casi_di("201, a misspelt keyword", base,
              {"[generale]", "velocita, 0, 70", "  segnalle, 4650" + segnale, "[fine]"}, {201, kTreno, 3, 3}),
      casi_di("202, the line given as the train", base, base, {202, kTreno, 1, 1}),
      casi_di("203, a byte-order mark", base, {"[generale]", "velocita, 0, 70", "[fine]"}, {203, kTreno, 1, 1},
              "\xEF\xBB\xBF"),
      casi_di("15 in the line", oltre, {"[generale]", "velocita, 0, 70", "[fine]"}, {15, kLinea, 4, 1}),
      casi_di("18 in the line, left by a train row", oltre,
              {"[generale]", "abbattimento, 5000, 0", "rallentamento, 4950, 60, 500, 1, 1, 0", "[fine]"},
              {18, kLinea, 4, 1}),
      casi_di("15 in the train", base, {"[generale]", "velocita, 16950, 100", "[fine]"}, {15, kTreno, 2, 1}),
      casi_di("25, a number that is none", base, {"[generale]", "velocita, 0, 7x0", "[fine]"}, {25, kTreno, 2, 14}),
      casi_di("11 at its signal", base,
              {"[generale]", "velocita, 0, 70", "segnale, 6850" + segnale, "segnale, 6900" + segnale,
               "segnale, 6950" + segnale, "rallentamento, 8650, 60, 500, 0, 0, 0", "[fine]"},
              {11, kTreno, 5, 1}),
      casi_di("12 at its slow order", base,
              {"[generale]", "velocita, 0, 70", "segnale, 4650" + segnale, "segnale, 4700" + segnale,
               "segnale, 4750" + segnale, "  rallentamento, 5000, 60, 500, 0, 0, 0", "[fine]"},
              {12, kTreno, 6, 3}),
      casi_di("13 at the slow order whose stretch holds the cell", base,
              {"[generale]", "velocita, 0, 70", "segnale, 5350" + segnale, "segnale, 5400" + segnale,
               "segnale, 5450" + segnale, "rallentamento, 5000, 60, 1000, 0, 0, 0", "[fine]"},
              {13, kTreno, 6, 1}),
      casi_di("1250 at the row that took the slot", base,
              {"[generale]", "velocita, 0, 70", "abbattimento, 50, 180", "[fine]"}, {1250, kTreno, 3, 1}),
      casi_di("1251 at the row that took the slot", base,
              {"[generale]", "velocita, 0, 70", "rallentamento, 0, 0, 100, 0, 0, 5", "[fine]"}, {1251, kTreno, 3, 1}),
  };
  for (const auto& c : casi) confronta_front_end(c);
}

// One case for each number the readers, the finishing pass and the check over the texts
// can give a pair of texts, beside those above (the examples of docs/errori.md).
TEST(Reperti, EveryNumberOfTheCatalogueIsShownAlikeByEveryFrontEnd) {
  const auto cartelli = [](int quanti) {
    return con_righe(
        "[generale]\nlunghezza percorso, 10000\n[indicazioni]\n", quanti,
        [](int i) { return "cartello_indicatore, " + std::to_string(i * 100) + ", (F)"; }, "[fine]\n");
  };
  const auto montagne = con_righe(
      "[generale]\nlunghezza percorso, 10000\n[montagne]\n", 81,
      [](int i) { return "montagna, " + std::to_string(i * 100) + ", " + std::to_string(i * 100 + 50) + ", 1"; },
      "[fine]\n");
  const std::vector<Caso> casi = {
      {"1, line too long", "[generale]\nlunghezza percorso, 1000001\n[curve]\n[fine]\n", kTrenoBase, {1, kLinea, 2, 1}},
      {"2, kilometre reference off the 50 m grid",
       "[generale]\nlunghezza percorso, 10000\nprogressiva chilometrica uno, 0, 132125, 0\n[curve]\n[fine]\n",
       kTrenoBase,
       {2, kLinea, 0, 0}},
      {"3, first signal-repetition value off the grid",
       "[generale]\nlunghezza percorso, 10000\nripetizione segnali 4 codici, 130, 0\n[curve]\n[fine]\n",
       kTrenoBase,
       {3, kLinea, 3, 1}},
      {"4, second signal-repetition value off the grid",
       "[generale]\nlunghezza percorso, 10000\nripetizione segnali 4 codici, 100, 260\n[curve]\n[fine]\n",
       kTrenoBase,
       {4, kLinea, 3, 1}},
      {"5, signal repetition without a number of codes",
       "[generale]\nlunghezza percorso, 10000\nripetizione segnali 7 codici, 100, 0\n[curve]\n[fine]\n",
       kTrenoBase,
       {5, kLinea, 3, 1}},
      {"6, caption board on an occupied cell",
       "[generale]\nlunghezza percorso, 10000\n[indicazioni]\ncartello_indicatore, 500, (Km "
       "1+500)\ncartello_indicatore, 500, (Sottovia)\n[fine]\n",
       kTrenoBase,
       {6, kLinea, 5, 1}},
      {"7, abbattimento point on an occupied cell",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nabbattimento, 4400, 0\nabbattimento, 4400, 180\n[fine]\n",
       {7, kTreno, 4, 1}},
      {"8, station position off the grid",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nstazione, 625, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\n[fine]\n",
       {8, kTreno, 3, 1}},
      {"9, station length off the grid",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nstazione, 600, 2, 650, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\n[fine]\n",
       {9, kTreno, 3, 1}},
      {"16, signal on an occupied cell",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\nsegnale, 4400, 2, 3, 1, 0, 0, 0, 0, "
       "0, 0, 0\n[fine]\n",
       {16, kTreno, 4, 1}},
      {"17, slow-order warning point on an occupied cell",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 3800, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\nrallentamento, 5000, 60, 500, 0, 0, "
       "0\n[fine]\n",
       {17, kTreno, 4, 1}},
      {"19, slow-order end on an occupied cell",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 6000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\nrallentamento, 5000, 60, 1000, 0, 0, "
       "0\n[fine]\n",
       {19, kTreno, 4, 1}},
      {"20, slow-order approach cell occupied",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 3650, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\nrallentamento, 5000, 60, 1000, 0, 1, "
       "0\n[fine]\n",
       {20, kTreno, 4, 1}},
      {"21, speed-indicator boards on an occupied cell",
       "[generale]\nlunghezza percorso, 10000\n[cartelli]\nindicatori_vmax, 500, 75, 80, 80, 0, , , , "
       "0\nindicatori_vmax, 500, 65, 65, 65, 0, , , , 0\n[fine]\n",
       kTrenoBase,
       {21, kLinea, 5, 1}},
      {"22, stations too close",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nstazione, 3000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\nstazione, "
       "3600, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 20, 0, VILLA\n[fine]\n",
       {22, kTreno, 4, 1}},
      {"24, station stop on cell 1 or before",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nstazione, 0, 2, 100, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\n[fine]\n",
       {24, kTreno, 3, 1}},
      {"30, negative line length",
       "[generale]\nlunghezza percorso, -50\n[curve]\n[fine]\n",
       kTrenoBase,
       {30, kLinea, 2, 1}},
      {"31, board before the start of the track",
       "[generale]\nlunghezza percorso, 10000\n[indicazioni]\ncartello_indicatore, -500, (Km 0+000)\n[fine]\n",
       kTrenoBase,
       {31, kLinea, 4, 1}},
      {"41, signal at the start of the track",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 100, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\n[fine]\n",
       {41, kTreno, 3, 1}},
      {"42, negative position or length",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nrallentamento, -100, 60, 100, 0, 0, 0\n[fine]\n",
       {42, kTreno, 3, 1}},
      {"43, slow order ending beyond the track",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nrallentamento, 5000, 60, 20000, 0, 0, 0\n[fine]\n",
       {43, kTreno, 3, 1}},
      {"44, station stop beyond the track",
       kLineaBase,
       "[generale]\nvelocita, 0, 70\nstazione, 15000, 2, 6000, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, "
       "BORGO\n[fine]\n",
       {44, kTreno, 3, 1}},
      {"102, no [generale] in the line description",
       "lunghezza percorso, 10000\n[curve]\n[fine]\n",
       kTrenoBase,
       {102, kLinea, 3, 1}},
      {"103, curve without a class, or a plan too long",
       "[generale]\nlunghezza percorso, 10000\n[curve]\ncurvad7, 1000, 300\n[fine]\n",
       kTrenoBase,
       {103, kLinea, 4, 1}},
      {"204, a station's name that is a number",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[stazioni]\nstazione, 3000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, 0, "
       "BORGO\n[fine]\n",
       {204, kTreno, 4, 66}},
      {"205, a station row that goes on after its name",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[stazioni]\nstazione, 3000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, "
       "PORTA, NUOVA\n[fine]\n",
       {205, kTreno, 4, 73}},
      {"206, a general keyword of the line written with capitals",
       "[generale]\nlunghezza percorso, 10000\nProgressiva chilometrica uno, 0, 13000, 0\n[curve]\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[fine]\n",
       {206, kLinea, 3, 1}},
      {"207, a row outside its section",
       "[generale]\nlunghezza percorso, 10000\n[curve]\nsfondo uno, 2\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[fine]\n",
       {207, kLinea, 4, 1}},
      {"208, a section header missing",
       "[generale]\nlunghezza percorso, 10000\ncurvad4, 300, 100\ncurvas5, 1200, 250\n[pendenze]\npendenza, 0, "
       "5\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[fine]\n",
       {208, kLinea, 3, 1}},
      {"209, a curve's class without curva",
       "[generale]\nlunghezza percorso, 10000\n[curve]\ncurve4, 300, 100\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[fine]\n",
       {209, kLinea, 4, 1}},
      {"210, rows out of order",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[pendenze]\npendenza, 0, 5\npendenza, 4000, 10\npendenza, "
       "2000, 0\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[fine]\n",
       {210, kLinea, 7, 1}},
      {"211, a row in the run-out after the line",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n",
       "[generale]\nvelocita, 0, 70\n[segnali]\nsegnale, 12000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\n[fine]\n",
       {211, kTreno, 4, 1}},
      {"212, lines that end with a CR alone",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n",
       "[generale]\rvelocita, 0, 70\r[fine]\r",
       {212, kTreno, 1, 11}},
      {"213, a blank where the comma belongs",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n",
       "[generale]\nvelocita 0, 70\n[fine]\n",
       {213, kTreno, 2, 1}},
      {"10, too many stations",
       cartelli(79),
       "[generale]\nvelocita, 0, 70\nstazione, 9000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\n[fine]\n",
       {10, kTreno, 3, 1}},
      {"32, too many mountain stretches", montagne, kTrenoBase, {32, kLinea, 84, 1}},
      {"33, too many caption boards", cartelli(82), kTrenoBase, {33, kLinea, 85, 1}},
  };
  for (const auto& c : casi) confronta_front_end(c);
}

// The timetable's warnings stand alike in the table (its JSON), on the page and in the
// editor: a late station (301), one the run cannot reach at all (301) and a short margin
// (302), each at its station's row.
TEST(Reperti, TheTimetableWarningsStandAlikeInTheTablePageAndEditor) {
  const std::string linea = "[generale]\nlunghezza percorso, 30000\n[curve]\n[fine]\n";
  const auto treno = [](const std::string& seconda, const std::string& velocita) {
    return "[generale]\npercentuale massa frenata, 105\norologio, 5, 59, 0\nvelocita, 0, 100\n" + velocita +
           "[stazioni]\nstazione, 1000, 2, 600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, PRIMA\n"
           "stazione, 21000, 2, 600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, " +
           seconda + ", SECONDA\n[fine]\n";
  };
  const std::vector<Caso> casi = {
      {"301, a station reached after its time", linea, treno("6, 5, 0", ""), {301, kTreno, 7, 1}},
      {"301, a station that cannot be reached",
       linea,
       treno("7, 0, 0", "velocita, 5000, 0\nvelocita, 5050, 100\n"),
       {301, kTreno, 9, 1}},
      {"302, a short margin", linea, treno("6, 13, 5", ""), {302, kTreno, 7, 1}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::CartellaTemporanea t;
    prova::scrivi_tutto(t / kLinea, c.linea);
    prova::scrivi_tutto(t / kTreno, c.treno);
    const auto orario = prova::esegui_misurato(
        COMPATTATORE_EXE, {"timetable", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--json"}, kSecondi,
        t.percorso().string());
    EXPECT_EQ(orario.stato, 1) << orario.errori;
    std::set<reperto_visto> dalla_tabella;
    const json tabella = json::parse(orario.uscita);
    for (const auto& a : tabella["avvisi"]) {
      dalla_tabella.insert(reperto_visto{a["codice"].get<int>(), a["file"].get<std::string>(), a["riga"].get<int>(),
                                         a["colonna"].get<int>()});
    }
    EXPECT_EQ(dalla_tabella, std::set<reperto_visto>{c.atteso}) << orario.uscita;
    EXPECT_EQ(scelti(dal_server(c.linea, c.treno), true), dalla_tabella);
    const auto disegnato = prova::esegui_misurato(
        COMPATTATORE_EXE, {"plot", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--out", "p.html"},
        kSecondi, t.percorso().string());
    // plot's own status and messages are compile's: the timetable shows on its page alone.
    EXPECT_EQ(disegnato.stato, 0) << disegnato.errori;
    EXPECT_EQ(disegnato.errori, "");
    EXPECT_EQ(scelti(dalla_pagina(prova::leggi_tutto(t / "p.html")), true), dalla_tabella);
  }
}

}  // namespace
}  // namespace cmp
