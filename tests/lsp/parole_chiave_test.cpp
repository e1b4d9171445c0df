// The keyword table against the readers: every keyword of it is a row the reader acts on,
// and the editor's row analysis finds the same keyword with all its fields.
#include <gtest/gtest.h>

#include <string>

#include "lsp/analisi_testo.h"
#include "reader/line/lettore_linea.h"
#include "reader/parole_chiave.h"
#include "reader/train/lettore_treno.h"

namespace cmp {
namespace {

// The keyword as a description writes it (a curve with its first variant).
std::string scritta(const parola_chiave& p) {
  std::string out(p.parola);
  if (!p.varianti.empty()) out += std::string(p.varianti.substr(0, p.varianti.find('|')));
  return out;
}

// A row of the keyword with every field filled: the first is `primo`, the others 0 (or a word).
std::string riga(const parola_chiave& p, const std::string& primo) {
  std::string out = scritta(p);
  for (std::size_t i = 0; i < p.campi.size(); ++i) {
    out += ", " + (i == 0 ? primo : p.campi[i].tipo == tipo_campo::testo ? std::string("TESTO") : std::string("0"));
  }
  return out;
}

const std::string kGeneraleLinea = "[generale]\r\nlunghezza percorso, 10000\r\n";

// Rows with a position: one far beyond the track stops the reader with 15 at that row.
TEST(ParoleChiave, EveryRowWithAPositionIsTakenByTheReader) {
  for (const auto& p : kParoleChiave) {
    if (p.cella == cella_riga::nessuna) continue;
    SCOPED_TRACE(std::string(p.parola));
    Stato s;
    s.crea_tabella_linea = true;
    const std::string oltre = riga(p, "900000") + "\r\n";
    if (p.formato == formato_descrizione::linea) {
      const std::string testo = kGeneraleLinea + "[righe]\r\n" + oltre + "[fine]\r\n";
      leggi_descrizione_linea(s, testo);
    } else {
      ASSERT_EQ(leggi_descrizione_linea(s, kGeneraleLinea + "[pendenze]\r\n[fine]\r\n"), esito_lettura::completa);
      leggi_descrizione_treno(s, "[generale]\r\n" + oltre + "[fine]\r\n");
    }
    EXPECT_EQ(s.codice_errore, 15);
    EXPECT_EQ(s.luogo_errore.riga, p.formato == formato_descrizione::linea ? 4 : 2);
  }
}

// The general rows: each leaves its value where the reader keeps it.
TEST(ParoleChiave, EveryGeneralRowIsTakenByTheReader) {
  const struct {
    const char* parola;
    std::int32_t (*valore)(const Stato&);
  } casi[] = {
      {"lunghezza percorso", [](const Stato& s) { return lunghezza_linea(s.scenario); }},
      {"progressiva chilometrica uno",
       [](const Stato& s) { return s.scenario[83].intero1 + s.scenario[82].intero1 + s.scenario[81].intero1; }},
      {"progressiva chilometrica due",
       [](const Stato& s) { return s.scenario[83].intero1 + s.scenario[82].intero1 + s.scenario[81].intero1; }},
      {"progressiva chilometrica tre",
       [](const Stato& s) { return s.scenario[83].intero1 + s.scenario[82].intero1 + s.scenario[81].intero1; }},
      {"sfondo uno", [](const Stato& s) { return sfondo_uno(s.scenario); }},
      {"sfondo due", [](const Stato& s) { return sfondo_due(s.scenario); }},
      {"sfondo tre", [](const Stato& s) { return sfondo_tre(s.scenario); }},
      {"ripetizione segnali", [](const Stato& s) { return ripetizione_primo(s.scenario); }},
      {"numero vetture", [](const Stato& s) { return numero_vetture(s.scenario); }},
      {"percentuale massa frenata", [](const Stato& s) { return massa_frenata(s.scenario); }},
      {"sabbia", [](const Stato& s) { return std::int32_t{sabbia(s.scenario)}; }},
      {"orologio", [](const Stato& s) { return std::int32_t{orologio_ore(s.scenario)}; }},
  };
  std::size_t generali = 0;
  for (const auto& p : kParoleChiave) generali += p.cella == cella_riga::nessuna;
  EXPECT_EQ(generali, std::size(casi)) << "a general keyword without a case here";
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.parola);
    const parola_chiave* p = nullptr;
    for (const auto& q : kParoleChiave) {
      if (q.parola == caso.parola) p = &q;
    }
    ASSERT_NE(p, nullptr);
    Stato s;
    const std::string r = riga(*p, "5000") + "\r\n";
    if (p->formato == formato_descrizione::linea) {
      const std::string testo = std::string(p->parola) == "lunghezza percorso"
                                    ? "[generale]\r\n" + r + "[pendenze]\r\n[fine]\r\n"
                                    : kGeneraleLinea + r + "[pendenze]\r\n[fine]\r\n";
      EXPECT_EQ(leggi_descrizione_linea(s, testo), esito_lettura::completa);
    } else {
      ASSERT_EQ(leggi_descrizione_linea(s, kGeneraleLinea + "[pendenze]\r\n[fine]\r\n"), esito_lettura::completa);
      EXPECT_EQ(leggi_descrizione_treno(s, "[generale]\r\n" + r + "[fine]\r\n"), esito_lettura::completa);
    }
    EXPECT_EQ(caso.valore(s), 5000);
  }
}

// The editor's analysis: each keyword found, in its part of the text, with every field.
TEST(ParoleChiave, TheTextAnalysisFindsEveryKeywordWithItsFields) {
  for (const auto& p : kParoleChiave) {
    SCOPED_TRACE(std::string(p.parola));
    const bool generale = p.sezione == "[generale]";
    const std::string testo = "[generale]\r\n" + std::string(generale ? "" : "[righe]\r\n") + riga(p, "1250") + "\r\n";
    const auto righe = analizza_testo(testo, p.formato);
    const auto& r = righe[generale ? 1 : 2];
    ASSERT_EQ(r.parola, &p);
    ASSERT_EQ(r.campi.size(), p.campi.size());
    EXPECT_EQ(r.campi[0].testo, "1250");
    EXPECT_EQ(r.chiave.inizio, 0);
  }
  // The line's general rows count only before the first header after [generale].
  EXPECT_EQ(riconosci_parola("pendenza", formato_descrizione::linea, true), nullptr);
  EXPECT_EQ(riconosci_parola("sfondo uno", formato_descrizione::linea, false), nullptr);
  // A comment field is no row.
  EXPECT_EQ(analizza_testo("[generale]\r\n[x]\r\n-- pendenza, 5\r\n", formato_descrizione::linea)[2].parola, nullptr);
}

}  // namespace
}  // namespace cmp
