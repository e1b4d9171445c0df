#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/arrotonda.h"

#include "reader/comune/fallimento_riga.h"
#include "testi_linea.h"

namespace cmp {
namespace {

using prova::descrizione;
using prova::leggi;
using prova::righe;

TEST(LettoreLinea, TheErrorsPlaceIsTheKeyFieldOfItsRow) {
  struct Caso {
    const char* nome;
    std::string righe_sezione;
    std::int32_t codice;
    int riga, colonna;
  } const casi[] = {
      {"beyond the track", righe({"pendenza,  0,   1", "   pendenza,  37950,   3"}), 15, 5, 4},
      {"no class digit", righe({"  curvad,  300,  100"}), 103, 4, 3},
      {"second caption on a cell", righe({"cartello_indicatore,  650,   (F)", "cartello_indicatore,  650,   (F)"}), 6,
       5, 1},
      {"arithmetic leaving 32 bits", righe({"pendenza,  2147483600,   3"}), 25, 4, 1},
      {"a number that cannot be read: the number field", righe({"montagna,  100,  200,  99999999999"}), 25, 4, 24},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(c.righe_sezione, 31000));
    EXPECT_EQ(l.s.codice_errore, c.codice);
    EXPECT_EQ(l.s.luogo_errore.testo, testo_descrizione::linea);
    EXPECT_EQ(l.s.luogo_errore.riga, c.riga);
    EXPECT_EQ(l.s.luogo_errore.colonna, c.colonna);
  }
}

// The general section: its keywords, letter case, comment fields and end.
struct CasoGenerale {
  const char* nome;
  std::string testo;
  std::int32_t lunghezza;       // entry 84, and the track that goes with it
  std::int32_t sfondi[3];       // entry 85 intero1, intero2, intero3
  std::int32_t ripetizione[3];  // entry 86
};

TEST(LettoreLinea, ReadsTheGeneralSection) {
  const CasoGenerale casi[] = {
      {"capital header and length keyword",
       righe({"[GENERALE]", "LUNGHEZZA PERCORSO, 2000", "[curve]", "[fine]"}),
       2000,
       {0, 0, 0},
       {0, 0, 0}},
      {"header inside other text, anything before it skipped",
       righe({"sfondo uno, 9", "xx[generale]yy", "lunghezza percorso, 1000", "[curve]", "[fine]"}),
       1000,
       {0, 0, 0},
       {0, 0, 0}},
      {"backgrounds in exact case only",
       righe({"[generale]", "lunghezza percorso, 1000", "Sfondo uno, 7", "sfondo due, 1", "sfondo tre, 2", "[curve]",
              "[fine]"}),
       1000,
       {0, 2, 1},
       {0, 0, 0}},
      {"the built-in repetition row",
       righe(
           {"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici,    0    ,0", "[curve]", "[fine]"}),
       1000,
       {0, 0, 0},
       {0, 0, 0}},
      {"nine codes with no second value",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 9, 100, 0", "[curve]", "[fine]"}),
       1000,
       {0, 0, 0},
       {100, 0, 0}},
      {"negative multiples pass",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4, -100, 50", "[curve]", "[fine]"}),
       1000,
       {0, 0, 0},
       {-100, 50, 4}},
      {"a gradient row is not read here; its negative value is a comment",
       righe({"[generale]", "lunghezza percorso, 1000", "pendenza,  100,   -5", "sfondo uno, 7", "[curve]", "[fine]"}),
       1000,
       {7, 0, 0},
       {0, 0, 0}},
      {"ten comment fields in a row are skipped",
       "[generale]\r\n-1,-2,-3,-4,-5,-6,-7,-8,-9,-10,-lunghezza percorso, 3000\r\n[curve]\r\n[fine]\r\n",
       3000,
       {0, 0, 0},
       {0, 0, 0}},
      {"a bracketed keyword sets the length and ends the section",
       righe({"[generale]", "[lunghezza percorso], 4000", "lunghezza percorso, 5000", "[fine]"}),
       4000,
       {0, 0, 0},
       {0, 0, 0}},
      {"a second length row sizes the track anew",
       righe({"[generale]", "lunghezza percorso, 1000", "lunghezza percorso, 25", "[curve]", "[fine]"}),
       25,
       {0, 0, 0},
       {0, 0, 0}},
      {"the largest length",
       righe({"[generale]", "lunghezza percorso, 1000000", "[curve]", "[fine]"}),
       1000000,
       {0, 0, 0},
       {0, 0, 0}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(c.testo);
    ASSERT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
    EXPECT_EQ(lunghezza_linea(l.s.scenario), c.lunghezza);
    const auto celle = static_cast<std::size_t>(arrotonda((c.lunghezza + 7000) / 50.0)) + 1;
    EXPECT_EQ(l.s.percorso.size(), celle);
    EXPECT_EQ(l.s.tabella_linea.righe(), static_cast<std::size_t>(c.lunghezza) + 7001);
    const auto& v85 = l.s.scenario[kVoceIdentitaLinea];
    EXPECT_EQ((std::array{v85.intero1, v85.intero2, v85.intero3}), (std::array{c.sfondi[0], c.sfondi[1], c.sfondi[2]}));
    const auto& v86 = l.s.scenario[kVoceIdentitaTreno];
    EXPECT_EQ((std::array{v86.intero1, v86.intero2, v86.intero3}),
              (std::array{c.ripetizione[0], c.ripetizione[1], c.ripetizione[2]}));
  }
}

TEST(LettoreLinea, LengthsAtTheLimitsRoundToCells) {
  const std::pair<std::int32_t, std::size_t> casi[] = {{0, 141}, {25, 141}, {75, 143}, {31000, 761}};
  for (const auto& [lunghezza, celle] : casi) {
    const auto l = leggi(descrizione("", lunghezza));
    EXPECT_EQ(l.s.percorso.size(), celle) << lunghezza;
  }
}

TEST(LettoreLinea, ElevenCommentFieldsNoLongerSuffice) {
  // The eleventh comment field is taken as the keyword field; the length after it is lost.
  const auto l =
      leggi("[generale]\r\n-1,-2,-3,-4,-5,-6,-7,-8,-9,-10,-11,-lunghezza percorso, 3000\r\n[curve]\r\n[fine]\r\n");
  EXPECT_EQ(l.esito, esito_lettura::fallita);
  EXPECT_TRUE(l.s.percorso.empty());
}

TEST(LettoreLinea, ACommentRunningPastTheEndOfTheTextFails) {
  const auto l = leggi("[generale]\r\nlunghezza percorso, 1000\r\n-a\r\n-b");
  EXPECT_EQ(l.esito, esito_lettura::fallita);
  EXPECT_EQ(l.s.codice_errore, 25);
}

// The pendenza of cell 0 tells whether a gradient row was interpreted (100 + its value).
struct CasoRighe {
  const char* nome;
  std::string testo;
  std::uint8_t pendenza_cella_0;
};

TEST(LettoreLinea, TheRowSectionActsOnTheseKeyFieldsOnly) {
  const CasoRighe casi[] = {
      {"rows after [fine] count, the last field never does",
       "[generale]\r\nlunghezza percorso, 1000\r\n[fine]\r\npendenza,  0,   5\r\npendenza,  100,   9\r\npendenza", 105},
      {"a row keyword in capitals", descrizione(righe({"PENDENZA,  0,   5"})), 105},
      {"two comment fields are skipped, the third is read", descrizione("-a,-b,-pendenza,  0,   5\r\n"), 105},
      {"after a third comment field its next field is a new keyword field",
       descrizione("-a,-b,-c,-pendenza,  0,   5\r\n"), 100},
      {"general keywords are not recognised in the rows",
       descrizione(righe({"lunghezza percorso, 5000", "sfondo uno, 1", "pendenza,  0,   5"})), 105},
      {"the last row of a text without a final line end", descrizione("pendenza,  0,   5\r\n") + "[fine]", 105},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(c.testo);
    ASSERT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
    EXPECT_EQ(l.s.percorso.size(), 161u);
    EXPECT_EQ(l.s.percorso[0].pendenza, c.pendenza_cella_0);
    EXPECT_EQ(sfondo_uno(l.s.scenario), 0);
  }
}

// A keyword of two words: the whole keyword changes what the row sets, a field holding one
// of its words alone is no keyword and changes nothing.
struct CasoDueParole {
  const char* nome;
  bool generale;  // a general row, else a row of the row section
  const char* intera;
  std::array<const char*, 2> parole_sole;
  std::int32_t (*valore)(const Stato&);
};

TEST(LettoreLinea, OneWordOfATwoWordKeywordIsNoKeyword) {
  const CasoDueParole casi[] = {
      {"length",
       true,
       "lunghezza percorso, 2000",
       {"lunghezza, 2000", "percorso, 2000"},
       [](const Stato& s) { return lunghezza_linea(s.scenario); }},
      {"kilometre reference",
       true,
       "progressiva chilometrica uno, 100, 5000, 0",
       {"progressiva, 100, 5000, 0", "chilometrica uno, 100, 5000, 0"},
       // The references are sorted after the general section: any of the three entries.
       [](const Stato& s) {
         return posizione_progressiva(s.scenario[kVoceProgressivaTre]) +
                posizione_progressiva(s.scenario[kVoceProgressivaDue]) +
                posizione_progressiva(s.scenario[kVoceProgressivaUno]);
       }},
      {"background",
       true,
       "sfondo uno, 7",
       {"sfondo, 7", "uno, 7"},
       [](const Stato& s) { return sfondo_uno(s.scenario); }},
      {"signal repetition",
       true,
       "ripetizione segnali 4, 100, 50",
       {"ripetizione 4, 100, 50", "segnali 4, 100, 50"},
       [](const Stato& s) { return ripetizione_primo(s.scenario); }},
      {"caption board",
       false,
       "cartello_indicatore, 100, Nord",
       {"indicatore, 100, Nord", "cartello, 100, Nord"},
       [](const Stato& s) { return std::int32_t{s.percorso[3].tipo}; }},
  };
  const auto testo = [](const CasoDueParole& c, const char* riga) {
    return righe({"[generale]", "lunghezza percorso, 1000", c.generale ? riga : "-", "[curve]", c.generale ? "-" : riga,
                  "[fine]"});
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto senza = leggi(testo(c, "-"));
    const auto intera = leggi(testo(c, c.intera));
    ASSERT_EQ(intera.esito, esito_lettura::completa);
    EXPECT_NE(c.valore(intera.s), c.valore(senza.s));
    for (const char* sola : c.parole_sole) {
      SCOPED_TRACE(sola);
      const auto l = leggi(testo(c, sola));
      ASSERT_EQ(l.esito, esito_lettura::completa);
      EXPECT_EQ(l.s.codice_errore, 0);
      EXPECT_EQ(c.valore(l.s), c.valore(senza.s));
    }
  }
}

TEST(LettoreLinea, AFieldWithSeveralKeywordsReadsTheRowsInOrder) {
  const auto l = leggi(descrizione(righe({"pendenza montagna,  0,   5,  100,  300,  2"})));
  ASSERT_EQ(l.esito, esito_lettura::completa);
  EXPECT_EQ(l.s.percorso[0].pendenza, 105);
  EXPECT_EQ(l.s.percorso[2].montagna, 2);
  EXPECT_EQ(l.s.percorso[5].montagna, 2);
  EXPECT_EQ(l.s.percorso[6].montagna, 0);
}

TEST(LettoreLinea, WithoutAPlanTheCurvesAreNotRead) {
  // Not even a curve without a class digit: its keyword matches nothing, its numbers neither.
  const auto l = leggi(descrizione(righe({"curvad,  300,  100", "pendenza,  0,   5"})), 0);
  EXPECT_EQ(l.esito, esito_lettura::completa);
  EXPECT_EQ(l.s.codice_errore, 0);
  EXPECT_FALSE(l.s.tabella_linea.esiste());
  EXPECT_EQ(l.s.percorso[0].pendenza, 105);
}

TEST(LettoreLinea, Error15LeavesTheClosingPasses) {
  const auto l =
      leggi(descrizione(righe({"pendenza,  0,   4", "pendenza,  37900,   2", "pendenza,  37950,   3"}), 31000));
  EXPECT_EQ(l.esito, esito_lettura::completa);
  EXPECT_EQ(l.s.codice_errore, 15);
  EXPECT_EQ(l.s.posizione_errore, 37950);
  // The row at 37900 fills up to cell 757; the closing pass always writes one more cell.
  EXPECT_EQ(l.s.percorso[757].pendenza, 104);
  EXPECT_EQ(l.s.percorso[758].pendenza, 102);
  EXPECT_EQ(l.s.percorso[759].pendenza, 0);
  EXPECT_EQ(l.s.tabella_linea.etichetta(37998, 1), valore_etichettato::tipo::doppio);
}

}  // namespace
}  // namespace cmp
