// compattatore plot as a user runs it: exit statuses, messages, what it writes.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/file_binari.h"
#include "plot/disegna.h"
#include "../plot/prova_plot.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

std::size_t righe(const std::string& testo) {
  return static_cast<std::size_t>(std::count(testo.begin(), testo.end(), '\n'));
}

// The binary files of a hand-made scenario, as compile writes them.
void scrivi_compilato(const CartellaTemporanea& t, const Stato& s, bool con_pianta = true) {
  if (con_pianta) prova::scrivi_tutto(t / (s.nome_linea + "_linea.dat"), codifica_tabella_linea(s.tabella_linea));
  prova::scrivi_tutto(t / (s.nome_linea + "_" + s.numero_treno + ".sim"), codifica_scenario(s.scenario));
  prova::scrivi_tutto(t / (s.nome_linea + "_" + s.numero_treno + ".dat"), codifica_percorso(s.percorso));
}

TEST(ComandoPlot, HelpDescribesTheCommand) {
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--help"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.uscita.rfind("usage: compattatore plot --line LINE.txt --train TRAIN.txt --out FILE.svg", 0), 0u);
  const auto generale = prova::esegui(COMPATTATORE_EXE, {"--help"});
  EXPECT_NE(generale.uscita.find("  plot "), std::string::npos);
}

TEST(ComandoPlot, UsageAndFileFaultsEndWithStatus3AndOneLine) {
  CartellaTemporanea t;
  std::filesystem::create_directory(t / "vuota");
  prova::scrivi_tutto(t / "a.txt", "[generale]\r\n");
  const std::string out = t / "linea.svg";
  const struct {
    std::vector<std::string> argomenti;
    std::string messaggio;
  } casi[] = {
      {{"plot"}, "plot: --out FILE.svg is required"},
      {{"plot", "--out", out}, "plot: both --line and --train are required"},
      {{"plot", "--from", t / "vuota", "--line", t / "a.txt", "--out", out},
       "give either --from or --line and --train"},
      {{"plot", "--colore", "rosso", "--out", out}, "plot: "},
      {{"plot", "--line", t / "a.txt", "--train", t / "a.txt", "--out", out}, "cannot tell the route identifier"},
      {{"plot", "--line", t / "X_linea.txt", "--train", t / "X_1-.txt", "--out", out},
       "cannot read " + (t / "X_linea.txt") + ": no such file"},
      {{"plot", "--line", t / "a.txt", "--train", t / "a.txt", "--nome-linea", "a/b", "--numero-treno", "1", "--out",
        out},
       "the route identifier 'a/b' cannot be used"},
      {{"plot", "--from", t / "manca", "--out", out}, "cannot read " + (t / "manca") + ": no such directory"},
      {{"plot", "--from", t / "a.txt", "--out", out}, "cannot read " + (t / "a.txt") + ": not a directory"},
      {{"plot", "--from", t / "vuota", "--out", out}, "plot: no compiled scenario (*.sim) in " + (t / "vuota")},
      {{"plot", "--from", t / "vuota", "--numero-treno", "..", "--out", out}, "the train number '..' cannot be used"},
  };
  for (const auto& c : casi) {
    const auto e = prova::esegui(COMPATTATORE_EXE, c.argomenti);
    EXPECT_EQ(e.stato, 3) << c.messaggio;
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
    EXPECT_EQ(righe(e.errori), 1u) << e.errori;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.messaggio;
  }
}

// A diagnostic in a description shows its source line and a caret under the field, as
// compile's do.
TEST(ComandoPlot, DiagnosticsInADescriptionShowTheSourceLineAndACaret) {
  const struct {
    const char* riga;  // the train's second line
    std::string atteso;
  } casi[] = {
      {"velocita, 16950, 100", "X_5-.txt:2:1: error 15: the speed-limit row at 16950 m "},
      {"  rallentamento, 5000, 60, 500, 0, 0, 0",
       "X_5-.txt:2:3: warning 12: none of the three cells of one "
       "look-back distance before the slow order starting at 5000 m (cell 101)"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.riga);
    CartellaTemporanea t;
    prova::scrivi_tutto(t / "X_linea.txt", "[generale]\r\nlunghezza percorso, 10000\r\n[fine]\r\n");
    const std::string segnali =
        "segnale, 4650, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\nsegnale, 4700, 1, 4, 1, 0, 0, 0, 0, 0, "
        "0, 0\r\nsegnale, 4750, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
    prova::scrivi_tutto(t / "X_5-.txt", "[generale]\r\n" + std::string(c.riga) + "\r\n" + segnali + "[fine]\r\n");
    const auto e =
        prova::esegui(COMPATTATORE_EXE, {"plot", "--line", "X_linea.txt", "--train", "X_5-.txt", "--out", "x.svg"},
                      t.percorso().string());
    EXPECT_EQ(e.stato, 1);
    const std::string riga = c.riga;
    const std::string sotto(riga.find_first_not_of(' '), ' ');
    EXPECT_NE(e.errori.find(c.atteso), std::string::npos) << e.errori;
    EXPECT_NE(e.errori.find("\n  " + riga + "\n  " + sotto + "^\n"), std::string::npos) << e.errori;
  }
}

// Twenty signals close before each of eighteen slow orders' warning points leave 324
// warnings of the finishing pass: the first hundred are printed, then one line counts the
// rest, as compile and watch print them.
TEST(ComandoPlot, PastAHundredWarningsTheRestAreCounted) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "X_linea.txt", "[generale]\r\nlunghezza percorso, 200000\r\n[fine]\r\n");
  std::string rallentamenti, segnali;
  for (int p = 10000; p < 190000; p += 10000) {
    rallentamenti += "rallentamento, " + std::to_string(p) + ", 60, 50, 0, 0, 0\r\n";
    for (int k = 1; k <= 20; ++k) {
      segnali += "segnale, " + std::to_string(p - 1200 - 50 * k) + ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
    }
  }
  prova::scrivi_tutto(t / "X_5-.txt",
                      "[generale]\r\n[rallentamenti]\r\n" + rallentamenti + "[segnali]\r\n" + segnali + "[fine]\r\n");
  const auto e =
      prova::esegui(COMPATTATORE_EXE, {"plot", "--line", "X_linea.txt", "--train", "X_5-.txt", "--out", "x.svg"},
                    t.percorso().string());
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(righe(e.errori), 100 * 3 + 1u) << e.errori;
  EXPECT_NE(e.errori.find("X_5-.txt:22:1: warning 11: "), std::string::npos) << e.errori;
  EXPECT_TRUE(
      e.errori.ends_with("\ncompattatore: warning: 224 more warnings are not shown: only the first 100 are printed\n"))
      << e.errori;
}

TEST(ComandoPlot, FromTheBinaryFilesItDrawsThePictureOfTheirState) {
  CartellaTemporanea t;
  const Stato s = prova::stato_di_prova(20000, prova::curve_di_prova());
  scrivi_compilato(t, s);
  const std::string out = t / "linea.svg";
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--out", out});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(prova::leggi_tutto(out), disegna_svg(s));
  // Nothing but the picture is left beside the inputs (no temporary file).
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.percorso()), {}), 4);
  // Files renamed together keep together: the plan is looked for under the files' own
  // prefix, not under the route name the table carries.
  CartellaTemporanea copia;
  for (const char* coda : {"_linea.dat", "_4721.sim", "_4721.dat"}) {
    std::filesystem::copy_file(t / ("VallorsaC_Pietrana" + std::string(coda)),
                               copia / ("Altra_Linea" + std::string(coda)));
  }
  const auto c = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", copia.percorso().string(), "--out", out});
  EXPECT_EQ(c.stato, 0) << c.errori;
  EXPECT_EQ(c.errori, "");
  EXPECT_EQ(prova::leggi_tutto(out), disegna_svg(s));
}

TEST(ComandoPlot, FromAFolderWithoutThePlanDrawsTheProfilesAndSaysSo) {
  CartellaTemporanea t;
  scrivi_compilato(t, prova::stato_di_prova(20000, {}), false);
  const std::string out = t / "linea.svg";
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--out", out});
  EXPECT_EQ(e.stato, 1) << e.errori;
  EXPECT_EQ(e.errori, "compattatore: warning: plot: no plan of the line (VallorsaC_Pietrana_linea.dat) in " +
                          t.percorso().string() + ": the profiles are drawn alone\n");
  const std::string svg = prova::leggi_tutto(out);
  EXPECT_EQ(svg.find("id=\"pianta\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"profili\""), std::string::npos);
}

TEST(ComandoPlot, FromAFolderOfSeveralScenariosTheIdentityChooses) {
  CartellaTemporanea t;
  Stato primo = prova::stato_di_prova(20000, {});
  Stato secondo = prova::stato_di_prova(20000, {});
  secondo.numero_treno = testo_numero_treno(secondo.scenario) = "4722";
  prova::segnale(secondo, 300);
  scrivi_compilato(t, primo);
  scrivi_compilato(t, secondo);
  const std::string out = t / "linea.svg";
  const auto ambiguo = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--out", out});
  EXPECT_EQ(ambiguo.stato, 3);
  EXPECT_NE(ambiguo.errori.find("holds several scenarios (VallorsaC_Pietrana_4721.sim, VallorsaC_Pietrana_4722.sim)"),
            std::string::npos)
      << ambiguo.errori;
  const auto scelto = prova::esegui(COMPATTATORE_EXE,
                                    {"plot", "--from", t.percorso().string(), "--numero-treno", "4722", "--out", out});
  EXPECT_EQ(scelto.stato, 0) << scelto.errori;
  EXPECT_EQ(prova::leggi_tutto(out), disegna_svg(secondo));
  const auto nessuno = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--nome-linea",
                                                        "Altra", "--numero-treno", "4722", "--out", out});
  EXPECT_EQ(nessuno.stato, 3);
  EXPECT_NE(nessuno.errori.find("no compiled scenario (Altra_4722.sim)"), std::string::npos) << nessuno.errori;
}

TEST(ComandoPlot, AMissingFileOrAnUnwritableOutputIsStatus3) {
  CartellaTemporanea t;
  const Stato s = prova::stato_di_prova(20000, {});
  scrivi_compilato(t, s);
  const std::string dat = t / "VallorsaC_Pietrana_4721.dat";
  const std::string cartella = t.percorso().string();

  const auto non_scrivibile = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", cartella, "--out", t / "no/x.svg"});
  EXPECT_EQ(non_scrivibile.stato, 3);
  EXPECT_NE(non_scrivibile.errori.find("cannot write " + (t / "no/x.svg") + ": "), std::string::npos);

  const auto su_ingresso = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", cartella, "--out", dat});
  EXPECT_EQ(su_ingresso.stato, 3);
  EXPECT_NE(su_ingresso.errori.find("refusing to write " + dat), std::string::npos) << su_ingresso.errori;

  std::filesystem::remove(dat);
  const auto mancante = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", cartella, "--out", t / "a.svg"});
  EXPECT_EQ(mancante.stato, 3);
  EXPECT_NE(mancante.errori.find("cannot read " + dat + ": no such file"), std::string::npos) << mancante.errori;
  EXPECT_FALSE(std::filesystem::exists(t / "a.svg"));
}

std::string casuali(std::size_t n, unsigned seme) {
  std::string out(n, '\0');
  for (auto& c : out) {
    seme = seme * 1103515245u + 12345u;
    c = static_cast<char>(seme >> 16);
  }
  return out;
}

// A damaged file, or files that do not belong together, are named with the byte where the
// damage shows: one line, status 1, nothing drawn, and no word of a missing plan when the
// plan is there.
TEST(ComandoPlot, NothingIsDrawnFromADamagedFile) {
  const Stato s = prova::stato_di_prova(20000, {});
  const std::string sim = codifica_scenario(s.scenario);
  const std::string dat = codifica_percorso(s.percorso);
  const std::string piano = codifica_tabella_linea(s.tabella_linea);
  Stato corta = prova::stato_di_prova(15000, {});
  const struct {
    const char* nome;
    std::string sim, dat, piano;
    const char* file;
    std::string messaggio;
  } casi[] = {
      {"random bytes under the three names", casuali(4000, 1), casuali(4000, 2), casuali(9000, 3), ".sim",
       "is damaged at byte 0: the file ends inside entry 0"},
      {"a random track", sim, casuali(dat.size(), 4), piano, ".dat", "is damaged at byte 0: cell 0 has type"},
      {"a random plan", sim, dat, casuali(piano.size(), 5), "_linea.dat", "is damaged at byte 0: value 0 has type"},
      {"a track two bytes longer", sim, dat + "xy", piano, ".dat",
       "is damaged at byte " + std::to_string(dat.size()) + ": the file ends 2 bytes into cell"},
      {"an empty plan", sim, dat, "", "_linea.dat", "is damaged at byte 0: the file is empty"},
      {"a cut plan", sim, dat, piano.substr(0, 100001), "_linea.dat", "the file ends inside value"},
      {"the track of another scenario", sim, codifica_percorso(corta.percorso), piano, ".dat",
       "cells: expected 541 for the line of 20000 m"},
      {"a track larger than any a compile writes", sim, std::string(302'116, '\0'), piano, ".dat",
       "is damaged at byte 302115: the file goes on past 302115 bytes"},
      {"a table larger than any a compile writes", std::string(5'704'504, '\0'), dat, piano, ".sim",
       "is damaged at byte 5704503: the file goes on past 5704503 bytes"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea t;
    prova::scrivi_tutto(t / "VallorsaC_Pietrana_4721.sim", c.sim);
    prova::scrivi_tutto(t / "VallorsaC_Pietrana_4721.dat", c.dat);
    prova::scrivi_tutto(t / "VallorsaC_Pietrana_linea.dat", c.piano);
    const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--out", t / "a.svg"});
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(e.errori.rfind("compattatore: error: " + (t / "VallorsaC_Pietrana") + (c.file[0] == '_' ? "" : "_4721") +
                                 c.file + " is damaged at byte ",
                             0),
              0u)
        << e.errori;
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
    EXPECT_EQ(righe(e.errori), 1u) << e.errori;
    EXPECT_FALSE(std::filesystem::exists(t / "a.svg"));
  }
}

// A description with an error is still drawn, with status 1 and the error on standard
// error; the inputs stay as they were.
TEST(ComandoPlot, ADescriptionErrorStillDrawsWithStatus1) {
  CartellaTemporanea t;
  const std::string linea = t / "Prova_linea.txt";
  const std::string treno = t / "Prova_7-.txt";
  prova::scrivi_tutto(linea, "nessuna sezione\r\n[fine]\r\n");
  prova::scrivi_tutto(treno, "[generale]\r\n[fine]\r\n");
  const std::string out = t / "prova.svg";
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", linea, "--train", treno, "--out", out});
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.errori.rfind(linea + ":", 0), 0u) << e.errori;
  EXPECT_NE(e.errori.find(": error 102: "), std::string::npos) << e.errori;
  const std::string svg = prova::leggi_tutto(out);
  EXPECT_EQ(prova::difetto_xml(svg), "");
  EXPECT_NE(svg.find("Prova \xE2\x80\x93 train 7"), std::string::npos);
  EXPECT_NE(svg.find("No track was compiled"), std::string::npos);
  EXPECT_EQ(prova::leggi_tutto(linea), "nessuna sezione\r\n[fine]\r\n");
  EXPECT_EQ(prova::leggi_tutto(treno), "[generale]\r\n[fine]\r\n");
}

}  // namespace
}  // namespace cmp
