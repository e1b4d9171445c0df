// Every front end shows a compile's findings at the same place: compile (its JSON), plot
// (its diagnostics and the page's data) and the language server give each finding the
// same number, file, line and column.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
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
// message, file index, line, column].
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

std::set<reperto_visto> dal_server(const std::string& linea, const std::string& treno) {
  std::set<reperto_visto> out;
  for (const auto& d : diagnosi_documenti(linea, treno, {"X", "5"}).diagnostiche) {
    out.insert({d.numero, d.testo == testo_descrizione::linea ? kLinea : kTreno, d.riga, d.riga > 0 ? d.colonna : 0});
  }
  return out;
}

TEST(Reperti, EveryFrontEndPutsEachFindingAtTheSameFileLineAndColumn) {
  const std::vector<std::string> base = {"[generale]", "lunghezza percorso, 10000", "[fine]"};
  const std::vector<std::string> oltre = {"[generale]", "lunghezza percorso, 10000", "[pendenze]",
                                          "pendenza, 20000, 3", "[fine]"};
  const std::string segnale = ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0";
  struct Caso {
    const char* nome;
    std::vector<std::string> linea, treno;
    reperto_visto atteso;
    std::string inizio_treno = {};  // bytes put before the train's text
  };
  const std::vector<Caso> casi = {
      {"201, a misspelt keyword", base, {"[generale]", "velocita, 0, 70", "  segnalle, 4650" + segnale, "[fine]"},
       {201, kTreno, 3, 3}},
      {"202, the line given as the train", base, base, {202, kTreno, 1, 1}},
      {"203, a byte-order mark", base, {"[generale]", "velocita, 0, 70", "[fine]"}, {203, kTreno, 1, 1}, "\xEF\xBB\xBF"},
      {"15 in the line", oltre, {"[generale]", "velocita, 0, 70", "[fine]"}, {15, kLinea, 4, 1}},
      {"18 in the line, left by a train row", oltre,
       {"[generale]", "abbattimento, 5000, 0", "rallentamento, 4950, 60, 500, 1, 1, 0", "[fine]"}, {18, kLinea, 4, 1}},
      {"15 in the train", base, {"[generale]", "velocita, 16950, 100", "[fine]"}, {15, kTreno, 2, 1}},
      {"25, a number that is none", base, {"[generale]", "velocita, 0, 7x0", "[fine]"}, {25, kTreno, 2, 14}},
      {"11 at its signal", base,
       {"[generale]", "velocita, 0, 70", "segnale, 6850" + segnale, "segnale, 6900" + segnale,
        "segnale, 6950" + segnale, "rallentamento, 8650, 60, 500, 0, 0, 0", "[fine]"},
       {11, kTreno, 5, 1}},
      {"12 at its slow order", base,
       {"[generale]", "velocita, 0, 70", "segnale, 4650" + segnale, "segnale, 4700" + segnale,
        "segnale, 4750" + segnale, "  rallentamento, 5000, 60, 500, 0, 0, 0", "[fine]"},
       {12, kTreno, 6, 3}},
      {"13 at the slow order whose stretch holds the cell", base,
       {"[generale]", "velocita, 0, 70", "segnale, 5350" + segnale, "segnale, 5400" + segnale,
        "segnale, 5450" + segnale, "rallentamento, 5000, 60, 1000, 0, 0, 0", "[fine]"},
       {13, kTreno, 6, 1}},
      {"1250 at the row that took the slot", base, {"[generale]", "velocita, 0, 70", "abbattimento, 50, 180", "[fine]"},
       {1250, kTreno, 3, 1}},
      {"1251 at the row that took the slot", base,
       {"[generale]", "velocita, 0, 70", "rallentamento, 0, 0, 100, 0, 0, 5", "[fine]"}, {1251, kTreno, 3, 1}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::CartellaTemporanea t;
    const std::string linea = testo(c.linea), treno = c.inizio_treno + testo(c.treno);
    prova::scrivi_tutto(t / kLinea, linea);
    prova::scrivi_tutto(t / kTreno, treno);
    const bool finale = std::get<0>(c.atteso) >= 1250;

    const auto compilato = prova::esegui_misurato(
        COMPATTATORE_EXE, {"compile", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--out", "out", "--json"},
        kSecondi, t.percorso().string());
    EXPECT_EQ(compilato.stato, finale ? 2 : 1);
    const auto dal_compile = da_compile(json::parse(compilato.uscita));
    EXPECT_TRUE(dal_compile.count(c.atteso)) << compilato.uscita;

    EXPECT_EQ(dal_server(linea, treno), dal_compile);

    const auto disegnato = prova::esegui_misurato(
        COMPATTATORE_EXE, {"plot", "--line", kLinea, "--train", kTreno, "--numero-treno", "5", "--out", "p.html"},
        kSecondi, t.percorso().string());
    EXPECT_EQ(disegnato.stato, finale ? 2 : 1);
    // Plot prints what compile prints; with a reserved slot taken it draws nothing.
    EXPECT_EQ(disegnato.errori, compilato.errori);
    if (!finale) {
      EXPECT_EQ(dalla_pagina(prova::leggi_tutto(t / "p.html")), dal_compile);
    }
  }
}

}  // namespace
}  // namespace cmp
