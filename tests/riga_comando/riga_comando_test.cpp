// What an author meets in the first hour: folders made for --out, export that keeps
// edits, rows reported where they stand, and a command line that helps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "messaggi/json.h"
#include "comandi/tabella_comandi.h"
#include "descrizioni_prova.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
using prova::contiene;
using prova::esegui;
using prova::indice_di;
using prova::kLinea;
using prova::kProgramma;
using prova::kTreno;
using prova::leggi_tutto;
using prova::testo;

TEST(Esporta, MakesItsFolderAndNeverReplacesAnEditWithoutForce) {
  CartellaTemporanea t;
  const std::string dentro = t / "mio_scenario/nuovo";
  auto e = esegui(kProgramma, {"export", "--out", dentro});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::string treno = dentro + "/" + kTreno;
  const std::string nota = dentro + "/VallorsaC_Pietrana_4721_note.txt";
  prova::scrivi_tutto(treno, "my edit");
  std::filesystem::remove(nota);

  e = esegui(kProgramma, {"export", "--out", dentro});
  EXPECT_EQ(e.stato, 3);
  EXPECT_TRUE(contiene(e.errori, "compattatore: error: export: not replacing ")) << e.errori;
  EXPECT_TRUE(contiene(e.errori, kTreno)) << e.errori;
  EXPECT_TRUE(contiene(e.errori, "--force")) << e.errori;
  EXPECT_EQ(leggi_tutto(treno), "my edit");
  EXPECT_FALSE(std::filesystem::exists(nota)) << "a refused export writes nothing, not even the missing files";

  e = esegui(kProgramma, {"export", "--out", dentro, "--force"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(leggi_tutto(treno), testo(righe_treno_incorporato()));
  EXPECT_TRUE(std::filesystem::exists(nota));
}

TEST(Compila, MakesTheOutFolderWithItsParents) {
  CartellaTemporanea t;
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  const auto e = esegui(kProgramma, {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "a/b/out"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(std::filesystem::exists(t / "a/b/out/VallorsaC_Pietrana_4721.sim"));
}

// A train number is a part of the files' names: one with a character Windows refuses in a
// name is refused there before anything is written (on Linux the same names are files).
TEST(Compila, ATrainNumberWindowsCannotHoldIsRefusedAndNothingWritten) {
  if (prova::kSuLinux) GTEST_SKIP() << "these characters are allowed in a file name on Linux";
  CartellaTemporanea t;
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  for (const std::string numero : {"a:b", "x?y", "p|q"}) {
    SCOPED_TRACE(numero);
    const std::string uscita = t / ("out" + std::to_string(numero[1]));
    const auto e = esegui(kProgramma, {"compile", "--line", t / kLinea, "--train", t / kTreno, "--numero-treno", numero,
                                       "--out", uscita});
    EXPECT_EQ(e.stato, 3) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "VallorsaC_Pietrana_" + numero)) << e.errori;
    EXPECT_TRUE(
        contiene(e.errori, std::string("the character '") + numero[1] + "' is not allowed in a file name on Windows"))
        << e.errori;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(uscita), {}), 0) << "nothing written, nothing left";
  }
}

// A row cut short makes the reader take its missing field from the next line; the
// failure belongs to the short row, at the end of its own line.
TEST(Compila, AShortRowIsReportedAtItsOwnLine) {
  struct Caso {
    const char* inizio;  // the row to cut, or the one to put the short row after
    const char* corta;
    bool dopo;
  };
  const Caso casi[] = {
      {"stazione", "stazione, 1000", false},
      {"[rallentamenti]", "rallentamento, 4000", true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.corta);
    CartellaTemporanea t;
    ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
    auto righe = righe_treno_incorporato();
    std::size_t i = indice_di(righe, c.inizio);
    if (c.dopo) {
      righe.insert(righe.begin() + static_cast<std::ptrdiff_t>(++i), c.corta);
    } else {
      righe[i] = c.corta;
    }
    prova::scrivi_tutto(t / kTreno, testo(righe));
    const auto e = esegui(kProgramma, {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "out"});
    EXPECT_EQ(e.stato, 1);
    const std::string luogo = t / kTreno + ":" + std::to_string(i + 1) + ":" +
                              std::to_string(std::string(c.corta).size() + 1) + ": error 25: ";
    EXPECT_TRUE(contiene(e.errori, luogo)) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "row has too few fields")) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "line " + std::to_string(i + 2))) << e.errori;
    // The source line, and a caret under the place.
    EXPECT_TRUE(
        contiene(e.errori, std::string("\n  ") + c.corta + "\n  " + std::string(std::strlen(c.corta), ' ') + "^\n"))
        << e.errori;
  }
}

// A message's numbers and words come from the row it points at; the recorded position
// stays as the readers set it (the JSON's posizione_errore), and when it, or the number,
// was left by another row the message names that row. The finishing pass's warnings
// point at the signal or slow order they concern, with its own position and its cell.
TEST(Compila, TheMessageTakesItsNumbersFromTheRowItPointsAt) {
  const std::vector<std::string> base = {"[generale]", "lunghezza percorso, 10000", "[fine]"};
  const std::vector<std::string> oltre = {"[generale]", "lunghezza percorso, 10000", "[pendenze]", "pendenza, 20000, 3",
                                          "[fine]"};
  const std::string segnale = ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0";
  struct Caso {
    const char* nome;
    std::vector<std::string> linea, treno;
    std::string atteso;    // FILE (X_linea or X_5-) then the rest of the diagnostic
    std::string sorgente;  // the source line shown under it
    int posizione_errore;  // as the readers or the pass recorded it
  };
  const std::vector<Caso> casi = {
      {"a line row beyond the track, the position left by the train's first slow order",
       oltre,
       {"[generale]", "numero vetture, 4", "[rallentamenti]", "rallentamento, 5000, 60, 500, 1, 1, 0", "[fine]"},
       "X_linea.txt:4:1: error 15: the gradient row at 20000 m lies too close to or beyond the end of the track: "
       "the track has cells 0 to 340, so a row may start at most at 16900 m and a station at most at 16200 m "
       "(the recorded position 5000 m is the train's slow-order row at line 4)",
       "pendenza, 20000, 3",
       5000},
      {"the number and the position left by a later train row",
       oltre,
       {"[generale]", "abbattimento, 5000, 0", "rallentamento, 4950, 60, 500, 1, 1, 0", "[fine]"},
       "X_linea.txt:4:1: error 18: the start of the slow order at 4950 m falls on cell 100, which already holds an "
       "abbattimento point, put there by the train's abbattimento row at line 2 (error 18 and its position 4950 m were "
       "recorded by the train's slow-order row at line 3, "
       "read after this row)",
       "pendenza, 20000, 3",
       4950},
      {"a train row beyond the track, nothing mixed",
       base,
       {"[generale]", "velocita, 16950, 100", "[fine]"},
       "X_5-.txt:2:1: error 15: the speed-limit row at 16950 m lies too close to or beyond the end of the track: "
       "the track has cells 0 to 340, so a row may start at most at 16900 m and a station at most at 16200 m\n",
       "velocita, 16950, 100",
       16950},
      {"warning 11 at its signal",
       base,
       {"[generale]", "velocita, 0, 70", "segnale, 6850" + segnale, "segnale, 6900" + segnale,
        "segnale, 6950" + segnale, "rallentamento, 8650, 60, 500, 0, 0, 0", "[fine]"},
       "X_5-.txt:5:1: warning 11: no free cell for an abbattimento point before the signal at 6950 m (cell 140), "
       "which lies before a slow-order warning point",
       "segnale, 6950" + segnale,
       7000},
      {"warning 12 at its slow order",
       base,
       {"[generale]", "velocita, 0, 70", "segnale, 4650" + segnale, "segnale, 4700" + segnale,
        "segnale, 4750" + segnale, "rallentamento, 5000, 60, 500, 0, 0, 0", "[fine]"},
       "X_5-.txt:6:1: warning 12: none of the three cells of one look-back distance before the slow order starting "
       "at 5000 m (cell 101) is free for an abbattimento point",
       "rallentamento, 5000, 60, 500, 0, 0, 0",
       5050},
      {"warning 13 at the slow order whose stretch holds the cell",
       base,
       {"[generale]", "velocita, 0, 70", "segnale, 5350" + segnale, "segnale, 5400" + segnale,
        "segnale, 5450" + segnale, "rallentamento, 5000, 60, 1000, 0, 0, 0", "[fine]"},
       "X_5-.txt:6:1: warning 13: no room for an abbattimento point at cell 109, inside the slow order starting at "
       "5000 m (cell 101) or before the first signal after it",
       "rallentamento, 5000, 60, 1000, 0, 0, 0",
       5450},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea t;
    prova::scrivi_tutto(t / "X_linea.txt", testo(c.linea));
    prova::scrivi_tutto(t / "X_5-.txt", testo(c.treno));
    const auto e =
        esegui(kProgramma, {"compile", "--line", "X_linea.txt", "--train", "X_5-.txt", "--out", "out", "--json"},
               t.percorso().string());
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(contiene(e.errori, c.atteso)) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "\n  " + c.sorgente + "\n  ^\n")) << e.errori;
    EXPECT_TRUE(contiene(e.uscita, "\"posizione_errore\": " + std::to_string(c.posizione_errore) + ",")) << e.uscita;
    // The JSON gives the same message (the human line's text after "error N: " or "warning N: ").
    const auto numero = c.atteso.find(contiene(c.atteso, ": error ") ? ": error " : ": warning ");
    const std::string resto = c.atteso.substr(c.atteso.find(": ", numero + 2) + 2);
    const std::string messaggio = resto.substr(0, resto.find('\n'));
    EXPECT_TRUE(contiene(e.uscita, "\"messaggio\": " + json_testo(messaggio))) << e.uscita;
  }
}

// Every command that takes --line and --train names a missing file before any name
// check, and a train file's name that gives no number is told with what was expected.
TEST(Compila, TheIdentityIsCheckedAfterTheFilesAndSaysWhatWasExpected) {
  CartellaTemporanea t;
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  std::filesystem::copy_file(t / kLinea, t / "X_linea.txt");
  std::filesystem::copy_file(t / kTreno, t / "Y_5-.txt");
  std::filesystem::copy_file(t / kTreno, t / "X_5.txt");
  struct Caso {
    std::string linea, treno;
    std::string messaggio;
  };
  const std::vector<Caso> casi = {
      {t / "X_linea.txt", t / "Y_5-.txt",
       "cannot tell the train number from '" + (t / "Y_5-.txt") +
           "': expected 'X_<NUMBER>-.txt': the train file's name begins with the route's name 'X' and '_' "
           "(or give --numero-treno)"},
      {t / "X_linea.txt", t / "X_5.txt", "expected 'X_<NUMBER>-.txt': the train file's name ends with '-.txt'"},
      {t / "a.txt", t / "Y_5-.txt", "cannot read " + (t / "a.txt") + ": no such file"},
      {t / "X_linea.txt", t / "Z_5-.txt", "cannot read " + (t / "Z_5-.txt") + ": no such file"},
      {t / "Y_5-.txt", t / "X_5.txt",
       "cannot tell the route identifier from '" + (t / "Y_5-.txt") + "': expected '<NAME>_linea.txt'"},
  };
  for (const char* comando : {"compile", "plot", "watch"}) {
    for (const auto& c : casi) {
      SCOPED_TRACE(std::string(comando) + " " + c.treno);
      const auto e = esegui(kProgramma, {comando, "--line", c.linea, "--train", c.treno, "--out", t / "out.svg"});
      EXPECT_EQ(e.stato, 3);
      EXPECT_TRUE(contiene(e.errori, c.messaggio)) << e.errori;
      EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
  }
}

TEST(RigaComando, HelpVersionAndTheEndOfOptions) {
  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"-h"}, {"help"}, {"help", "compile"}, {"compile", "-h"}, {"export", "--help"}}) {
    const auto e = esegui(kProgramma, a);
    EXPECT_EQ(e.stato, 0) << a[0];
    EXPECT_TRUE(contiene(e.uscita, "usage: compattatore")) << a[0];
    EXPECT_TRUE(contiene(e.uscita, "Exit status:")) << a[0];
  }
  EXPECT_EQ(esegui(kProgramma, {"help", "compile"}).uscita, esegui(kProgramma, {"compile", "--help"}).uscita);
  EXPECT_EQ(esegui(kProgramma, {"-V"}).uscita, "compattatore 1.0.0\n");

  // After "--" a name that begins with '-' is a file, not an option.
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "-x.sim", "");
  const auto e = esegui(kProgramma, {"dump", "--", "-x.sim"}, t.percorso().string());
  EXPECT_FALSE(contiene(e.errori, "option")) << e.errori;
  EXPECT_TRUE(contiene(e.errori, "-x.sim")) << e.errori;
}

TEST(RigaComando, UnknownWordsAreNamedWithTheNearestOne) {
  struct Caso {
    std::vector<std::string> argomenti;
    const char* messaggio;
  };
  const Caso casi[] = {
      {{"compile", "--strcit"},
       "compattatore: error: compile: unknown option '--strcit'; did you mean '--strict'? "
       "(try 'compattatore compile --help')"},
      {{"export", "--forse"}, "unknown option '--forse'; did you mean '--force'?"},
      {{"--verison"}, "compattatore: error: unknown option '--verison'; did you mean '--version'?"},
      {{"complie"}, "compattatore: error: unknown command 'complie'; did you mean 'compile'?"},
      {{"help", "dupm"}, "unknown command 'dupm'; did you mean 'dump'?"},
      {{"compile", "--zzzzzz"}, "unknown option '--zzzzzz' (try"},
  };
  for (const auto& c : casi) {
    const auto e = esegui(kProgramma, c.argomenti);
    EXPECT_EQ(e.stato, 3) << c.messaggio;
    EXPECT_TRUE(contiene(e.errori, c.messaggio)) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "--help')\n")) << e.errori;
  }
}

}  // namespace
}  // namespace cmp

namespace cmp {
namespace {

class Avvisi : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0); }
  prova::EsitoProcesso compila(const std::string& treno, std::vector<std::string> altri = {}) {
    std::vector<std::string> a = {"compile", "--line", t / kLinea, "--train", treno, "--out", t / "out"};
    a.insert(a.end(), altri.begin(), altri.end());
    return esegui(kProgramma, a);
  }
  CartellaTemporanea t;
};

// What the readers skip in silence is a warning at its line, with status 1; --strict
// then writes nothing.
TEST_F(Avvisi, WhatTheReadersSkipIsAWarningAtItsLine) {
  auto righe = righe_treno_incorporato();
  const std::size_t i = indice_di(righe, "stazione");
  righe[i] = "stazzione" + righe[i].substr(std::string("stazione").size());
  prova::scrivi_tutto(t / kTreno, testo(righe));
  prova::scrivi_tutto(t / "VallorsaC_Pietrana_binario", std::string("\x7f"
                                                                    "ELF\0\0\x01\x02",
                                                                    8));
  struct Caso {
    std::string treno;
    std::vector<std::string> altri;
    std::string atteso;
  };
  const std::vector<Caso> casi = {
      {t / kTreno,
       {},
       t / kTreno + ":" + std::to_string(i + 1) +
           ":1: warning 201: 'stazzione' is no keyword, so "
           "the row is skipped; did you mean 'stazione'?"},
      {t / kLinea,
       {"--numero-treno", "5"},
       ":1:1: warning 202: not one row of a train description: it reads as a line"},
      {t / "VallorsaC_Pietrana_binario",
       {"--numero-treno", "5"},
       ":1:1: warning 202: not one row of a train description: it holds NUL bytes"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.treno);
    auto e = compila(c.treno, c.altri);
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(contiene(e.errori, c.atteso)) << e.errori;
    // The row under a warning about a row, as under an error; nothing of a binary text.
    if (c.treno == t / kTreno) {
      EXPECT_TRUE(contiene(e.errori, "?\n  stazzione,")) << e.errori;
    }
    EXPECT_EQ(e.errori.find('\0'), std::string::npos);
    EXPECT_EQ(e.errori.find('\x7f'), std::string::npos);
    std::filesystem::remove_all(t / "out");
    auto strict = c.altri;
    strict.push_back("--strict");
    e = compila(c.treno, strict);
    EXPECT_EQ(e.stato, 1);
    EXPECT_FALSE(std::filesystem::exists(t / "out/VallorsaC_Pietrana_4721.sim")) << "--strict fails on warnings";
  }
}

// --json lists the warnings of the check over the texts with the same keys as the
// finishing pass's, in the order standard error shows them.
TEST_F(Avvisi, JsonListsTheTextWarningsLikeTheOthers) {
  auto righe = righe_treno_incorporato();
  const std::size_t i = indice_di(righe, "stazione");
  righe[i] = "stazzione" + righe[i].substr(std::string("stazione").size());
  prova::scrivi_tutto(t / kTreno, "\xEF\xBB\xBF" + testo(righe));
  const auto e = compila(t / kTreno, {"--json"});
  EXPECT_EQ(e.stato, 1);
  const std::string utf8 =
      "{\"codice\": 203, \"posizione\": null, \"file\": " + json_testo(t / kTreno) +
      ", \"riga\": 1, \"colonna\": 1, \"messaggio\": \"the text begins with a UTF-8 byte-order mark";
  const std::string simile = "{\"codice\": 201, \"posizione\": null, \"file\": " + json_testo(t / kTreno) +
                             ", \"riga\": " + std::to_string(i + 1) + ", \"colonna\": 1, \"messaggio\": " +
                             json_testo("'stazzione' is no keyword, so the row is skipped; did you mean 'stazione'?") +
                             "}";
  EXPECT_TRUE(contiene(e.uscita, "\"avvisi\": [" + utf8)) << e.uscita;
  EXPECT_TRUE(contiene(e.uscita, simile + "]")) << e.uscita;
}

// A UTF-8 text is a warning; with --encoding utf-8 it is read as the same Windows-1252
// text, so the files are those of the Windows-1252 original; a character the code page
// cannot hold is refused at its place.
TEST_F(Avvisi, Utf8TextsAreToldAndConvertedOnRequest) {
  ASSERT_EQ(compila(t / kTreno).stato, 0);
  const std::string sim = leggi_tutto(t / "out/VallorsaC_Pietrana_4721.sim");
  const std::string cp1252 = leggi_tutto(t / kTreno);
  const std::string utf8 = "\xEF\xBB\xBF" + std::string(cp1252);  // the built-in texts are ASCII
  prova::scrivi_tutto(t / kTreno, utf8);
  auto e = compila(t / kTreno);
  EXPECT_TRUE(contiene(e.errori, ":1:1: warning 203: ")) << e.errori;

  prova::scrivi_tutto(t / kTreno, "\xEF\xBB\xBF" + testo(righe_treno_incorporato()));
  e = compila(t / kTreno, {"--encoding", "utf-8"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(leggi_tutto(t / "out/VallorsaC_Pietrana_4721.sim"), sim);

  const auto righe = righe_treno_incorporato();
  const std::size_t i = indice_di(righe, "stazione");
  std::string byte = testo(righe);
  std::size_t fine = 0;
  for (std::size_t k = 0; k <= i; ++k) fine = byte.find("\r\n", fine + (k ? 2 : 0));
  const std::size_t lunga = fine - (byte.rfind("\r\n", fine - 1) + 2);
  byte.insert(fine, " \xE2\x82\xAC \xE2\x86\x92");  // the euro sign has a byte; the arrow has none
  prova::scrivi_tutto(t / kTreno, byte);
  e = compila(t / kTreno, {"--encoding", "utf-8"});
  EXPECT_EQ(e.stato, 3);
  EXPECT_TRUE(contiene(e.errori, t / kTreno + ":" + std::to_string(i + 1) + ":" + std::to_string(lunga + 6) +
                                     ": error: cannot convert to Windows-1252: '\xE2\x86\x92' has no"))
      << e.errori;
}

}  // namespace
}  // namespace cmp

#include "errori/catalogo_errori.h"
#include "reader/parole_chiave.h"

namespace cmp {
namespace {

std::string pagina(const char* nome) {
  return leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / "docs" / nome);
}

// The reference names every keyword the readers recognise, and has a heading for every
// number of the catalogue; `explain --markdown N` prints that entry as the page has it.
TEST(Riferimento, EveryKeywordAndEveryNumberIsInTheReference) {
  const std::string linea = pagina("descrizione-linea.md");
  const std::string treno = pagina("descrizione-treno.md");
  // The readers know a row by the words its keyword field contains: each in backticks.
  for (const auto& p : kParoleChiave) {
    const std::string& doc = p.formato == formato_descrizione::linea ? linea : treno;
    std::istringstream parole{std::string(p.riconosce)};
    for (std::string parola; parole >> parola;)
      EXPECT_TRUE(contiene(doc, "`" + parola + "`")) << p.parola << ": " << parola;
    EXPECT_TRUE(contiene(doc, std::string(p.parola))) << p.parola;
  }
  const std::string errori = pagina("errori.md");
  for (const voce_errore& v : catalogo_errori()) {
    const std::string testa = "## " + std::to_string(v.numero) + " \u2014 ";
    const auto dove = errori.find("\n" + testa);
    ASSERT_NE(dove, std::string::npos) << v.numero << " (" << v.nome << ") has no entry";
    const auto e = esegui(kProgramma, {"explain", "--markdown", std::to_string(v.numero)});
    EXPECT_EQ(e.stato, 0) << v.numero;
    EXPECT_EQ(e.uscita.rfind(testa, 0), 0u) << e.uscita;
    EXPECT_EQ(errori.find(e.uscita.substr(0, e.uscita.size() - 1), dove + 1), dove + 1) << v.numero;
  }
  for (const char* ignoto : {"14", "x", "-1"}) {
    const auto e = esegui(kProgramma, {"explain", "--", ignoto});
    EXPECT_EQ(e.stato, 3) << ignoto;
    EXPECT_TRUE(contiene(e.errori, std::string("compattatore: error: explain: ") + ignoto)) << e.errori;
  }
}

}  // namespace
}  // namespace cmp

namespace cmp {
namespace {

// The completion comes from the table: every command and every option is offered.
TEST(Completamento, NamesEveryCommandAndOption) {
  if (!prova::kSuLinux) GTEST_SKIP() << "the completion is bash's, which runs on Linux";
  const auto e = esegui(kProgramma, {"__completamento_bash"});
  ASSERT_EQ(e.stato, 0);
  EXPECT_TRUE(contiene(e.uscita, "complete -o filenames -F _compattatore compattatore"));
  for (const auto& c : tabella_comandi()) {
    EXPECT_TRUE(contiene(e.uscita, std::string(" ") + c.nome + ")\n")) << c.nome;
    for (const auto& o : c.opzioni)
      EXPECT_TRUE(contiene(e.uscita, std::string(" ") + o.nome)) << c.nome << " " << o.nome;
  }
  // The script is valid bash: it loads and completes "compattatore comp" to "compile".
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "c.bash", e.uscita +
                                        "COMP_WORDS=(compattatore comp); COMP_CWORD=1; _compattatore; "
                                        "echo \"${COMPREPLY[@]}\"\n");
  const auto b = esegui("/bin/bash", {t / "c.bash"});
  EXPECT_EQ(b.uscita, "compile\n") << b.errori;
}

}  // namespace
}  // namespace cmp

namespace cmp {
namespace {

// Every `sh` block of the README and of docs/ runs as written, in order, in a fresh
// folder per page, with `compattatore` found through PATH. A block after the comment
// `<!-- non eseguire -->` is skipped; `<!-- stato N -->` names the status it must end
// with; any other block may end with 0, 1 or 2 (a description showing its diagnostic),
// never with a usage error or a command that does not exist.
TEST(Esempi, EveryCommandBlockOfTheDocumentsRuns) {
  if (!prova::kSuLinux) GTEST_SKIP() << "the documents' blocks are sh, run on Linux";
  const std::string cartella_programma = std::filesystem::path(kProgramma).parent_path().string();
  const std::filesystem::path radice(COMPATTATORE_SORGENTI);
  std::vector<std::filesystem::path> pagine = {radice / "README.md"};
  for (const auto& v : std::filesystem::directory_iterator(radice / "docs")) {
    if (v.path().extension() == ".md") pagine.push_back(v.path());
  }
  std::sort(pagine.begin(), pagine.end());
  for (const auto& pagina : pagine) {
    SCOPED_TRACE(pagina.string());
    CartellaTemporanea t;
    std::filesystem::create_directories(t / "lavoro");
    std::istringstream righe(leggi_tutto(pagina));
    std::string riga, prima, blocco;
    bool dentro = false;
    int numero = 0, inizio = 0;
    while (std::getline(righe, riga)) {
      ++numero;
      if (!dentro && riga == "```sh") {
        dentro = true;
        inizio = numero;
        blocco.clear();
        continue;
      }
      if (dentro && riga == "```") {
        dentro = false;
        if (prima == "<!-- non eseguire -->") continue;
        int atteso = -1;
        if (prima.rfind("<!-- stato ", 0) == 0) atteso = std::stoi(prima.substr(11));
        prova::scrivi_tutto(t / "blocco.sh", "cd \"$1\"\nexport PATH=\"$2:$PATH\"\n" + blocco);
        const auto e = esegui("/bin/bash", {t / "blocco.sh", t / "lavoro", cartella_programma});
        const std::string dove = pagina.filename().string() + ":" + std::to_string(inizio);
        if (atteso >= 0) {
          EXPECT_EQ(e.stato, atteso) << dove << "\n" << e.errori;
        } else {
          EXPECT_LE(e.stato, 2) << dove << "\n" << e.errori;
        }
        continue;
      }
      if (dentro) {
        blocco += riga + "\n";
      } else if (!riga.empty()) {
        prima = riga;
      }
    }
  }
}

}  // namespace
}  // namespace cmp
