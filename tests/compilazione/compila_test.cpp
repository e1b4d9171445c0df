// The compile pipeline's outcome and the error catalogue it reports with.
#include "compilazione/compila.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "errori/catalogo_errori.h"
#include "model/file_binari.h"
#include "model/cp1252.h"
#include "reader/comune/testo_chiavi.h"
#include "supporto.h"

namespace cmp {
namespace {

const identita_scenario kIdentita{"VallorsaC_Pietrana", "4721"};

std::string testo_linea() { return testo_da_tabella(tabella_righe(righe_linea_incorporata())); }
std::string testo_treno() { return testo_da_tabella(tabella_righe(righe_treno_incorporato())); }

// Line `n` (from 1) of a CR LF text.
std::string riga_del_testo(const std::string& testo, int n) {
  std::istringstream in(testo);
  std::string riga;
  for (int i = 0; i < n && std::getline(in, riga); ++i) {
  }
  return riga;
}

TEST(Compila, TheBuiltInTextsCompileCleanAndEveryRowIsRecordedAtItsKeyword) {
  Stato s;
  const std::string linea = testo_linea();
  const std::string treno = testo_treno();
  const esito_compilazione e = compila_descrizioni(s, linea, treno, kIdentita, true);
  EXPECT_EQ(e.lettura.codice, 0) << e.lettura.dettaglio;
  EXPECT_TRUE(e.avvisi.empty());
  EXPECT_EQ(e.finale, errore_finale::nessuno);
  EXPECT_TRUE(e.treno_letto);
  EXPECT_FALSE(e.con_errori());

  std::map<std::string, int> per_chiave;
  for (const riga_sorgente& r : e.righe) {
    const std::string& testo = r.testo == testo_descrizione::linea ? linea : treno;
    const std::string riga = minuscolo_cp1252(riga_del_testo(testo, r.riga));
    // Each word of the recorded keyword stands in the keyword field, from its column on.
    std::istringstream parole{std::string(r.chiave)};
    for (std::string parola; parole >> parola;) {
      EXPECT_TRUE(contiene(riga.substr(static_cast<std::size_t>(r.colonna - 1)), parola)) << r.riga << ": " << riga;
    }
    ++per_chiave[std::string(r.chiave)];
  }
  EXPECT_EQ(per_chiave["curva"], 84);
  EXPECT_EQ(per_chiave["pendenza"], 88);
  EXPECT_EQ(per_chiave["lunghezza percorso"], 1);
  // A station row carries its name and position, as the scenario entry does.
  bool stazione = false;
  for (const riga_sorgente& r : e.righe) {
    if (r.chiave != "stazione" || stazione) continue;
    stazione = true;
    EXPECT_EQ(r.nome, s.scenario[1].testo);
    EXPECT_EQ(r.posizione, s.scenario[1].intero3);
  }
  EXPECT_TRUE(stazione);
}

// What the page shows of a row comes from the record: its keyword field as written (in
// any case the reader accepts) and every number the row read, empty fields as 0.
TEST(Compila, EachRowRecordsItsKeywordFieldAsWrittenAndTheNumbersItRead) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 10000\r\nprogressiva chilometrica due, 5000, 150000, 1\r\n[curve]\r\n"
      "  CurvaD4, 300, 100\r\n-pendenza, 700, 9\r\npendenza,  1500, -6\r\n"
      "indicatori_vmax,  2850,  75,  80,  80,  0,  ,  ,  ,  0\r\n[fine]\r\n";
  const std::string treno =
      "[generale]\r\nvelocita, 0, 70\r\nSEGNALE, 4420, 1, 4, 1, 0, 0, 0, 0, 0, 0, 7\r\n[fine]\r\n";
  Stato s;
  const esito_compilazione e = compila_descrizioni(s, linea, treno, kIdentita, true);
  ASSERT_EQ(e.lettura.codice, 0) << e.lettura.dettaglio;
  struct atteso {
    const char* chiave;
    int riga, colonna;
    const char* campo;
    std::vector<std::int32_t> numeri;
  };
  const atteso attesi[] = {{"lunghezza percorso", 2, 1, "lunghezza percorso", {10000}},
                           {"progressiva", 3, 1, "progressiva chilometrica due", {5000, 150000, 1}},
                           {"curva", 5, 3, "CurvaD4", {300, 100}},
                           {"pendenza", 7, 1, "pendenza", {1500, -6}},
                           {"indicatori_v", 8, 1, "indicatori_vmax", {2850, 75, 80, 80, 0, 0, 0, 0, 0}},
                           {"velocit", 2, 1, "velocita", {0, 70}},
                           {"segnale", 3, 1, "SEGNALE", {4420, 1, 4, 1, 0, 0, 0, 0, 0, 0, 7}}};
  ASSERT_EQ(e.righe.size(), std::size(attesi));  // the commented-out row is none
  for (std::size_t i = 0; i < std::size(attesi); ++i) {
    SCOPED_TRACE(attesi[i].campo);
    EXPECT_EQ(e.righe[i].chiave, attesi[i].chiave);
    EXPECT_EQ(e.righe[i].riga, attesi[i].riga);
    EXPECT_EQ(e.righe[i].colonna, attesi[i].colonna);
    EXPECT_EQ(e.righe[i].campo, attesi[i].campo);
    EXPECT_EQ(e.righe[i].numeri, attesi[i].numeri);
  }
}

TEST(Compila, TheOutcomeKeepsTheReadersNumberApartFromTheFinalError) {
  const struct {
    const char* nome;
    std::string linea;
    std::int32_t codice;
    bool treno_letto;
  } casi[] = {
      {"no header", "lunghezza percorso, 1000\r\n", errori::generale_mancante, false},
      {"a length too long", "[generale]\r\nlunghezza percorso, 2000000\r\n[fine]\r\n", errori::lunghezza_eccessiva,
       false},
      {"a field that is not a number", "[generale]\r\nlunghezza percorso, 1x\r\n[fine]\r\n", errori::lettura, true},
  };
  for (const auto& c : casi) {
    Stato s;
    const esito_compilazione e = compila_descrizioni(s, c.linea, testo_treno(), kIdentita, true);
    EXPECT_EQ(e.lettura.codice, c.codice) << c.nome;
    EXPECT_EQ(e.treno_letto, c.treno_letto) << c.nome;
    EXPECT_EQ(ferma_prima_del_treno(c.codice), !c.treno_letto) << c.nome;
    EXPECT_EQ(e.finale, errore_finale::nessuno) << c.nome;
    EXPECT_TRUE(e.con_errori()) << c.nome;
  }
}

TEST(Compila, AReservedSlotInUseIsTheFinalErrorNotTheReadersNumber) {
  Stato s;
  // An abbattimento point at 50 m takes cell 1, whose `parametro1` the fixed value needs.
  std::string treno = testo_treno();
  treno.insert(treno.find("\r\n") + 2, "abbattimento, 50, 7\r\n");
  const esito_compilazione e = compila_descrizioni(s, testo_linea(), treno, kIdentita, true);
  EXPECT_EQ(e.lettura.codice, 0) << e.lettura.dettaglio;
  EXPECT_EQ(e.finale, errore_finale::posto_scenario);
  EXPECT_EQ(numero_finale(e.finale), 1250);
  EXPECT_FALSE(e.scrivibile());
}

// The table of error numbers of docs/comandi.md lists exactly the catalogue, each with who records it.
// One line read once, then a copy of its state for each train, gives what a whole compile
// of the same two texts gives: the same files, the same outcome.
TEST(Compila, ALineReadOnceThenEachTrainGivesTheWholeCompile) {
  const std::string linea = testo_linea();
  const std::string treno = testo_treno();
  const std::string treno_con_errore = "[generale]\r\nsegnale, 100, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n";
  const std::string treno_finale = "[generale]\r\nrallentamento, 0, 0, 50, 0, 0, 5\r\n[fine]\r\n";
  const struct {
    const char* nome;
    std::string linea;
    std::vector<std::string> treni;
  } casi[] = {
      {"the built-in line", linea, {treno, treno_con_errore, "", treno_finale, treno}},
      {"a line that stops before the train", "[generale]\r\nlunghezza percorso,-50\r\n[fine]\r\n", {treno}},
      {"a line that cannot be read", "[generale]\r\nlunghezza percorso,31k\r\n[fine]\r\n", {treno}},
      {"no line at all", "", {treno}},
  };
  for (const auto& c : casi) {
    for (const bool con_piano : {true, false}) {
      Stato dopo_linea;
      const linea_compilata l = compila_linea(dopo_linea, c.linea, kIdentita, con_piano);
      for (const auto& t : c.treni) {
        SCOPED_TRACE(std::string(c.nome) + ", train of " + std::to_string(t.size()) + " bytes, plan " +
                     std::to_string(con_piano));
        Stato intero;
        const esito_compilazione atteso = compila_descrizioni(intero, c.linea, t, kIdentita, con_piano);
        Stato s = dopo_linea;
        const esito_compilazione e = compila_treno(s, l, t);
        EXPECT_EQ(e.lettura.codice, atteso.lettura.codice);
        EXPECT_EQ(e.lettura.posizione, atteso.lettura.posizione);
        EXPECT_EQ(e.finale, atteso.finale);
        EXPECT_EQ(e.avvisi.size(), atteso.avvisi.size());
        EXPECT_EQ(e.treno_letto, atteso.treno_letto);
        EXPECT_EQ(e.righe.size(), atteso.righe.size());
        EXPECT_EQ(codifica_scenario(s.scenario), codifica_scenario(intero.scenario));
        EXPECT_EQ(codifica_percorso(s.percorso), codifica_percorso(intero.percorso));
        EXPECT_EQ(codifica_tabella_linea(s.tabella_linea), codifica_tabella_linea(intero.tabella_linea));
      }
    }
  }
}

TEST(CatalogoErrori, TheCommandsPageTableAgreesWithTheCatalogue) {
  const std::string readme = prova::leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / "docs" / "comandi.md");
  const std::size_t inizio = readme.find("| Number | Recorded by | Cause |");
  ASSERT_NE(inizio, std::string::npos);
  std::map<std::int32_t, std::string> tabella;
  std::istringstream in(readme.substr(inizio));
  std::string riga;
  std::getline(in, riga);
  std::getline(in, riga);  // the rule under the heading
  while (std::getline(in, riga) && riga.rfind("| ", 0) == 0) {
    const std::size_t a = riga.find('|', 1);
    const std::size_t b = riga.find('|', a + 1);
    const std::string numeri = riga.substr(2, a - 3);
    const std::string fonte = riga.substr(a + 2, b - a - 3);
    // "3, 4", "17–20" (an en dash), "1250, 1251".
    std::istringstream parti(numeri);
    std::string parte;
    while (std::getline(parti, parte, ',')) {
      const std::size_t trattino = parte.find("\u2013");
      const int da = std::stoi(parte);
      const int a_ = trattino == std::string::npos ? da : std::stoi(parte.substr(trattino + 3));
      for (int n = da; n <= a_; ++n) tabella[n] = fonte;
    }
  }
  const std::map<fonte_errore, std::string> parole = {{fonte_errore::lettore_linea, "line"},
                                                      {fonte_errore::lettore_treno, "train"},
                                                      {fonte_errore::entrambi_i_lettori, "line, train"},
                                                      {fonte_errore::finitura, "finishing pass"},
                                                      {fonte_errore::compilazione, "compile step"},
                                                      {fonte_errore::controllo_testi, "text check"},
                                                      {fonte_errore::orario, "timetable"}};
  std::set<std::int32_t> nel_catalogo;
  for (const voce_errore& v : catalogo_errori()) {
    nel_catalogo.insert(v.numero);
    ASSERT_TRUE(tabella.count(v.numero)) << v.numero << " (" << v.nome << ") is missing from docs/comandi.md";
    EXPECT_EQ(tabella[v.numero].rfind(parole.at(v.fonte), 0), 0u)
        << v.numero << ": docs/comandi.md says '" << tabella[v.numero] << "'";
  }
  for (const auto& [n, fonte] : tabella) EXPECT_TRUE(nel_catalogo.count(n)) << n << " is not in the catalogue";
}

}  // namespace
}  // namespace cmp
