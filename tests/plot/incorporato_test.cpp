// The picture of the built-in scenario, end to end: its description texts compiled by the
// command, and the binary files of a compile or of the built-in run drawn back.
#include <gtest/gtest.h>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "prova_plot.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

const std::string kLinea = "VallorsaC_Pietrana_linea.txt";
const std::string kTreno = "VallorsaC_Pietrana_4721-.txt";

void scrivi_testi_incorporati(const CartellaTemporanea& t) {
  prova::scrivi_tutto(t / kLinea, testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  prova::scrivi_tutto(t / kTreno, testo_da_tabella(tabella_righe(righe_treno_incorporato())));
}

prova::EsitoProcesso disegna_testi(const CartellaTemporanea& t, const std::string& treno, const std::string& out) {
  return prova::esegui(COMPATTATORE_EXE, {"plot", "--line", t / kLinea, "--train", treno, "--out", out});
}

TEST(PlotIncorporato, ThePictureHoldsTheStationsSignalsAndBoards) {
  CartellaTemporanea t;
  scrivi_testi_incorporati(t);
  const std::string linea = prova::leggi_tutto(t / kLinea);
  const auto e = disegna_testi(t, t / kTreno, t / "linea.svg");
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  const std::string svg = prova::leggi_tutto(t / "linea.svg");
  EXPECT_EQ(prova::difetto_xml(svg), "");
  EXPECT_EQ(prova::verdetto_xmllint(svg), "");
  for (const char* nome : {"VALLORSA C.", "SAN LORIANO", "BRENZOLA", "PIETRANA"}) {
    EXPECT_NE(svg.find(std::string(">") + nome + "</text>"), std::string::npos) << nome;  // on the plan
    EXPECT_NE(svg.find(std::string(">") + nome + "<title>"), std::string::npos) << nome;  // over the profiles
  }
  EXPECT_EQ(prova::conta(svg, "<circle class=\"stazione\""), 4u);
  EXPECT_EQ(prova::conta(svg, "<circle class=\"segnale\""), 6u);
  EXPECT_EQ(prova::conta(svg, "<rect class=\"indicatore\""), 3u);
  // Boards 50 to 150 m apart share a mark (21 marks), each board named in its tooltip.
  EXPECT_EQ(prova::conta(svg, "<path class=\"cartello\""), 21u);
  EXPECT_EQ(prova::conta(svg, "Caption board at km"), 28u);
  EXPECT_EQ(prova::conta(svg, "<rect class=\"montagna\""), 8u);  // four stretches, in both profiles
  EXPECT_NE(svg.find("Signal at km 136+500 (position 4400 m): aspect codes 40 / 10 / 0"), std::string::npos);
  EXPECT_NE(svg.find("Caption board at km 132+750 (position 650 m): (Cavalcavia)(Km 132+749)(ex P.L.   )"),
            std::string::npos);
  // The junction board's caption, as the line carries it.
  EXPECT_NE(svg.find("(Confluenza      )(Sx Vallorsa     )(Dx Ferrano      )"), std::string::npos);
  EXPECT_NE(svg.find("4 stations, 6 signals, 3 speed-indicator boards, 28 caption boards"), std::string::npos);
  // The inputs are left as they were, and a second run gives the same bytes.
  EXPECT_EQ(prova::leggi_tutto(t / kLinea), linea);
  ASSERT_EQ(disegna_testi(t, t / kTreno, t / "ancora.svg").stato, 0);
  EXPECT_EQ(prova::leggi_tutto(t / "ancora.svg"), svg);
}

TEST(PlotIncorporato, TheCompiledFilesGiveTheSamePictureAsTheTexts) {
  CartellaTemporanea t;
  scrivi_testi_incorporati(t);
  ASSERT_EQ(disegna_testi(t, t / kTreno, t / "dai_testi.svg").stato, 0);
  const std::string atteso = prova::leggi_tutto(t / "dai_testi.svg");

  std::filesystem::create_directory(t / "compilato");
  const auto c = prova::esegui(COMPATTATORE_EXE,
                               {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "compilato"});
  ASSERT_EQ(c.stato, 0) << c.errori;
  const auto e = prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t / "compilato", "--out", t / "dai_file.svg"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(prova::leggi_tutto(t / "dai_file.svg"), atteso);
}

TEST(PlotIncorporato, TheBuiltInRunsFilesGiveTheSamePictureAsTheTexts) {
  CartellaTemporanea t;
  const std::string programma = prova::copia_programma(t);
  ASSERT_EQ(prova::esegui(programma, {}).stato, 0);
  ASSERT_TRUE(std::filesystem::exists(t / "VallorsaC_Pietrana_linea.dat"));
  std::filesystem::create_directory(t / "testi");
  prova::scrivi_tutto(t / ("testi/" + kLinea), testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  prova::scrivi_tutto(t / ("testi/" + kTreno), testo_da_tabella(tabella_righe(righe_treno_incorporato())));
  const auto dai_testi = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", t / ("testi/" + kLinea), "--train",
                                                          t / ("testi/" + kTreno), "--out", t / "dai_testi.svg"});
  ASSERT_EQ(dai_testi.stato, 0) << dai_testi.errori;
  const auto dai_file =
      prova::esegui(COMPATTATORE_EXE, {"plot", "--from", t.percorso().string(), "--out", t / "dai_file.svg"});
  ASSERT_EQ(dai_file.stato, 0) << dai_file.errori;
  EXPECT_EQ(prova::leggi_tutto(t / "dai_file.svg"), prova::leggi_tutto(t / "dai_testi.svg"));
}

// The exit statuses of compile, on the built-in line with a train of one's own.
TEST(PlotIncorporato, ARecordedErrorStillDrawsAndAReservedSlotDrawsNothing) {
  CartellaTemporanea t;
  scrivi_testi_incorporati(t);
  // The second signal falls on the first one's cell: error 16 stops the reader after the first.
  prova::scrivi_tutto(t / "doppio.txt",
                      "[generale]\r\nsegnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "segnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n");
  const auto doppio = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", t / kLinea, "--train", t / "doppio.txt",
                                                       "--numero-treno", "9", "--out", t / "doppio.svg"});
  EXPECT_EQ(doppio.stato, 1);
  EXPECT_NE(doppio.errori.find("error 16: "), std::string::npos) << doppio.errori;
  const std::string svg = prova::leggi_tutto(t / "doppio.svg");
  EXPECT_EQ(prova::difetto_xml(svg), "");
  EXPECT_EQ(prova::conta(svg, "<circle class=\"segnale\""), 1u);

  // A slow order from position 0 puts its speed into the slot reserved for the fixed value.
  prova::scrivi_tutto(t / "riservato.txt", "[generale]\r\nrallentamento, 0, 60, 500, 0, 0, 0\r\n[fine]\r\n");
  const auto riservato = prova::esegui(COMPATTATORE_EXE, {"plot", "--line", t / kLinea, "--train", t / "riservato.txt",
                                                          "--numero-treno", "9", "--out", t / "riservato.svg"});
  EXPECT_EQ(riservato.stato, 2);
  EXPECT_NE(riservato.errori.find(" Errore n. 1250"), std::string::npos) << riservato.errori;
  EXPECT_FALSE(std::filesystem::exists(t / "riservato.svg"));
}

}  // namespace
}  // namespace cmp
