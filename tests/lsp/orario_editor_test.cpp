// The timetable check in the editor: the warnings 301 and 302 of the fastest run at the
// row of their station, as the timetable check places them, and the earliest arrival and
// margin in the hover of a station row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "compilazione/compila.h"
#include "descrizioni/reperti_orario.h"
#include "descrizioni_prova.h"
#include "lsp/diagnosi.h"
#include "lsp/diagnostiche_gruppo.h"
#include "lsp/hover.h"
#include "model/cp1252.h"
#include "orario/testo_orario.h"

namespace cmp {
namespace {

constexpr int kPartenza = 6 * 3600 + 5 * 60;  // BORGO's time: 06:05:00

const std::vector<std::string> kRigheLinea = {"[generale]", "lunghezza percorso, 10000", "[curve]", "[fine]"};

// A train over kRigheLinea: it leaves BORGO (1000 m) at 06:05:00 and is due at the next
// station, 6000 m, at `orario` (seconds since midnight: a time field takes them whole).
// That row is indented, so that its column is 3; its name is not ASCII.
struct Treno {
  explicit Treno(int o = 8 * 3600, std::string ora_inizio = "6   0   0", std::vector<std::string> righe_in_piu = {})
      : orario(o), orologio(std::move(ora_inizio)), altre(std::move(righe_in_piu)) {}
  int orario;
  std::string orologio;            // the clock row's fields
  std::vector<std::string> altre;  // rows after the speed limit
  std::vector<std::string> righe() const {
    std::vector<std::string> r = {"[generale]", "percentuale massa frenata, 105", "orologio,  " + orologio,
                                  "[vel_limite]", "velocita, 0, 70"};
    r.insert(r.end(), altre.begin(), altre.end());
    r.insert(r.end(),
             {"[stazioni]", "stazione, 1000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 5, 0, BORGO",
              "  stazione, 6000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 0, 0, " + std::to_string(orario) + ", CITTÀ",
              "[fine]"});
    return r;
  }
  std::string testo() const { return prova::testo(righe()); }
  int riga_citta() const { return static_cast<int>(righe().size()) - 1; }  // from 1
  int riga_borgo() const { return riga_citta() - 1; }
};

esito_diagnosi diagnosi(const Treno& t, const opzioni_orario& o = {}) {
  return diagnosi_documenti(prova::testo(kRigheLinea), t.testo(), {"X", "5"}, o);
}

std::vector<diagnostica_testo> dell_orario(const esito_diagnosi& e) {
  std::vector<diagnostica_testo> out;
  for (const auto& d : e.diagnostiche) {
    if (d.numero == 301 || d.numero == 302) out.push_back(d);
  }
  return out;
}

// The earliest arrival at CITTÀ, from a run with time to spare.
double arrivo_citta() {
  const esito_diagnosi e = diagnosi(Treno());
  EXPECT_TRUE(e.corsa && e.corsa->stazioni.size() == 2 && e.corsa->stazioni[1].arrivo);
  return e.corsa && e.corsa->stazioni.size() == 2 ? e.corsa->stazioni[1].arrivo.value_or(0) : 0;
}

// A time `per_cento` of the running time after the earliest arrival (negative: before it).
int orario_con_margine(double arrivo, double per_cento) {
  return static_cast<int>(std::lround(arrivo + (arrivo - kPartenza) * per_cento / 100));
}

std::string decimale(double x) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", x);
  return b;
}

TEST(OrarioEditor, EachLateOrTightStationGetsItsWarningAtItsRowAsTheTimetableCheckPlacesIt) {
  const double arrivo = arrivo_citta();
  ASSERT_GT(arrivo, kPartenza + 257.0);  // 5 km at 70 km/h at the most: over 257 s
  struct Caso {
    const char* nome;
    Treno treno;
    int numero;        // 0: no warning
    bool alla_citta;   // else at BORGO
    const char* dice;  // a part of the message
  };
  const Caso casi[] = {
      {"due before the fastest run arrives", Treno(orario_con_margine(arrivo, -5)), 301, true,
       "cannot be reached by its time"},
      {"a margin of 1 %", Treno(orario_con_margine(arrivo, 1)), 302, true, "below the 3.0 % asked"},
      {"a margin of 20 %", Treno(orario_con_margine(arrivo, 20)), 0, true, ""},
      {"the scenario starts after the first station's time", Treno(8 * 3600, "6  10   0"), 301, false,
       "cannot be left"},
      {"a limit of 0 km/h on the way", Treno(8 * 3600, "6   0   0", {"velocita, 3000, 0", "velocita, 3050, 70"}), 301,
       true, "cannot be reached at all: the speed limit at 3000 m is 0 km/h"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const esito_diagnosi e = diagnosi(c.treno);
    ASSERT_TRUE(e.corsa);
    const auto avvisi = dell_orario(e);
    if (c.numero == 0) {
      EXPECT_TRUE(avvisi.empty()) << avvisi.front().messaggio;
      continue;
    }
    ASSERT_EQ(avvisi.size(), 1u) << avvisi.back().messaggio;
    const diagnostica_testo& d = avvisi[0];
    EXPECT_EQ(d.numero, c.numero);
    EXPECT_EQ(d.livello, gravita::avviso);
    EXPECT_EQ(d.testo, testo_descrizione::treno);
    EXPECT_EQ(d.riga, c.alla_citta ? c.treno.riga_citta() : c.treno.riga_borgo());
    EXPECT_EQ(d.colonna, c.alla_citta ? 3 : 1);
    EXPECT_TRUE(prova::contiene(d.messaggio, c.dice)) << d.messaggio;
    // UTF-8 once: the name's Windows-1252 byte converted, and not converted twice.
    if (c.alla_citta) {
      EXPECT_TRUE(prova::contiene(d.messaggio, "station CITTÀ ")) << d.messaggio;
    }

    // The same number, place and message as the timetable check gives over compile's rows.
    Stato s;
    const auto compilato = compila_descrizioni(s, prova::testo(kRigheLinea), c.treno.testo(), {"X", "5"}, true);
    const auto reperti =
        reperti_orario(calcola_corsa_minima(s.percorso, s.scenario, {}), &compilato.righe, kMargineMinimoPredefinito);
    ASSERT_EQ(reperti.size(), 1u);
    EXPECT_EQ(reperti[0].numero, d.numero);
    EXPECT_EQ(reperti[0].riga, d.riga);
    EXPECT_EQ(reperti[0].colonna, d.colonna);
    EXPECT_EQ(reperti[0].messaggio, d.messaggio);
  }
}

// A final error leaves no track to run over, and a reader's error a track unread past it:
// neither gives a run, nor a 301 for a station that is late (the timetable command says
// "no run" alike); the error itself stands.
TEST(OrarioEditor, AFinalOrAReadersErrorGivesNoRun) {
  Treno fermo(kPartenza + 60);
  fermo.altre = {"abbattimento, 50, 180"};
  const esito_diagnosi e = diagnosi(fermo);
  EXPECT_FALSE(e.corsa);
  EXPECT_TRUE(dell_orario(e).empty()) << dell_orario(e).front().messaggio;
  EXPECT_TRUE(std::any_of(e.diagnostiche.begin(), e.diagnostiche.end(),
                          [](const diagnostica_testo& d) { return d.numero == 1250; }));

  // A third station too close to CITTÀ (22): the reader stops at it.
  Treno interrotto(kPartenza + 60);
  auto righe = interrotto.righe();
  righe.insert(righe.end() - 1, "stazione, 6600, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 9, 0, 0, VILLA");
  const esito_diagnosi r = diagnosi_documenti(prova::testo(kRigheLinea), prova::testo(righe), {"X", "5"});
  EXPECT_FALSE(r.corsa);
  EXPECT_TRUE(dell_orario(r).empty()) << dell_orario(r).front().messaggio;
  EXPECT_TRUE(std::any_of(r.diagnostiche.begin(), r.diagnostiche.end(),
                          [](const diagnostica_testo& d) { return d.numero == 22; }));
}

TEST(OrarioEditor, TheAssumptionsGivenChangeTheRunAndTheMinimumMargin) {
  const double arrivo = arrivo_citta();
  const Treno t(orario_con_margine(arrivo, 10));
  EXPECT_TRUE(dell_orario(diagnosi(t)).empty());
  opzioni_orario o;
  o.margine_minimo = 15;
  auto avvisi = dell_orario(diagnosi(t, o));
  ASSERT_EQ(avvisi.size(), 1u);
  EXPECT_EQ(avvisi[0].numero, 302);
  EXPECT_TRUE(prova::contiene(avvisi[0].messaggio, "below the 15.0 % asked")) << avvisi[0].messaggio;
  // A slower start: the same time is now missed.
  o = {};
  o.ipotesi.accelerazione = 0.05;
  avvisi = dell_orario(diagnosi(t, o));
  ASSERT_EQ(avvisi.size(), 1u);
  EXPECT_EQ(avvisi[0].numero, 301);
}

// The documents of a scenario open in the editor, compiled as the server compiles them.
struct Editor {
  ArchivioDocumenti documenti;
  DiagnosticheGruppi gruppi{[](const std::string&) -> std::optional<std::string> { return std::nullopt; }};
  const std::string uri_treno = "file:///s/X_5-.txt";

  explicit Editor(const std::string& linea_utf8, const std::string& treno_utf8) {
    documenti.apri("file:///s/X_linea.txt", linea_utf8);
    documenti.apri(uri_treno, treno_utf8);
    for (const auto& g : documenti.prendi_in_attesa()) gruppi.compila(documenti, g);
  }
  std::string hover(int riga) {
    const auto h = hover_riga(*documenti.trova(uri_treno), riga, 2);
    return h.is_null() ? "" : h["contents"]["value"].get<std::string>();
  }
};

TEST(OrarioEditor, TheHoverOfAStationRowTellsItsEarliestArrivalAndMargin) {
  const double arrivo = arrivo_citta();
  const int orario = static_cast<int>(std::ceil(arrivo)) + 60;
  const Treno t(orario);
  Editor e(da_cp1252(prova::testo(kRigheLinea)), da_cp1252(t.testo()));
  const std::string citta = e.hover(t.riga_citta() - 1);
  EXPECT_TRUE(prova::contiene(
      citta, "earliest arrival " + ora_del_giorno(arrivo, true) + ", margin " + decimale(orario - arrivo) + " s ("))
      << citta;
  EXPECT_TRUE(prova::contiene(citta, "acceleration 0.50 m/s²")) << citta;
  EXPECT_TRUE(prova::contiene(citta, "from 105 % braked weight")) << citta;
  // The first station: where the scenario starts, and how long before its time.
  const std::string borgo = e.hover(t.riga_borgo() - 1);
  EXPECT_TRUE(prova::contiene(borgo, "the scenario starts at 06:00:00, margin 300.0 s")) << borgo;
  // Only station rows: the speed row says nothing of the run.
  EXPECT_FALSE(prova::contiene(e.hover(4), "Fastest run")) << e.hover(4);

  // A station the run cannot reach says why.
  Treno bloccato = t;
  bloccato.altre = {"velocita, 3000, 0", "velocita, 3050, 70"};
  Editor b(da_cp1252(prova::testo(kRigheLinea)), da_cp1252(bloccato.testo()));
  const std::string non_raggiunta = b.hover(bloccato.riga_citta() - 1);
  EXPECT_TRUE(prova::contiene(non_raggiunta, "cannot be reached: the speed limit at 3000 m is 0 km/h"))
      << non_raggiunta;

  // Without a whole compile there is no run to tell.
  Treno fermo = t;
  fermo.altre = {"abbattimento, 50, 180"};
  Editor f(da_cp1252(prova::testo(kRigheLinea)), da_cp1252(fermo.testo()));
  EXPECT_FALSE(prova::contiene(f.hover(fermo.riga_citta() - 1), "Fastest run"));
}

// The built-in scenario keeps its timetable: every station is reached in time with more
// than the minimum margin, so the editor shows it no timetable warning.
TEST(OrarioEditor, TheBuiltInScenarioGetsNoTimetableWarning) {
  const esito_diagnosi e = diagnosi_documenti(prova::testo(righe_linea_incorporata()),
                                              prova::testo(righe_treno_incorporato()), {"VallorsaC_Pietrana", "4721"});
  ASSERT_TRUE(e.corsa);
  EXPECT_EQ(e.corsa->stazioni.size(), 4u);
  EXPECT_TRUE(e.diagnostiche.empty()) << e.diagnostiche.front().numero << " " << e.diagnostiche.front().messaggio;
  for (const auto& s : e.corsa->stazioni) EXPECT_FALSE(s.in_ritardo()) << s.nome;
}

}  // namespace
}  // namespace cmp
