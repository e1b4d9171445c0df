#include "documents/documenti.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "prova_documenti.h"

namespace cmp {
namespace {

struct Documento {
  const char* file;  // name with the built-in identity
  void (*dati)(const Stato&, Cartella&);
  std::vector<std::string> (*righe)(const Stato&);
  std::size_t numero_righe;
};

const Documento kDocumenti[] = {
    {"VallorsaC_Pietrana_4721_scheda_treno.txt", dati_scheda, righe_scheda, 28},
    {"VallorsaC_Pietrana_4721_rallentamenti.txt", dati_rallentamenti, righe_rallentamenti, 46},
    {"VallorsaC_Pietrana_4721_note.txt", dati_note, righe_note, 22},
};

TEST(Documenti, OneFileOfCrLfLinesUnderItsName) {
  for (const auto& d : kDocumenti) {
    CartellaMemoria cartella;
    d.dati(prova::stato_incorporato(), cartella);
    ASSERT_EQ(cartella.file.size(), 1u) << d.file;
    ASSERT_TRUE(cartella.esiste(d.file)) << d.file;
    const std::string byte = *cartella.leggi(d.file);
    EXPECT_EQ(prova::righe_crlf(byte).size(), d.numero_righe) << d.file;
    EXPECT_EQ(byte.find(kMarcaFine), std::string::npos) << d.file;
  }
}

TEST(Documenti, ReplaceAnOlderLongerFileWhole) {
  for (const auto& d : kDocumenti) {
    CartellaMemoria cartella;
    const std::string vecchio = std::string(20000, 'x') + "\r\nvecchia riga\r\n";
    cartella.file[d.file] = vecchio;
    cartella.file["altro.txt"] = "resta";
    const Stato s = prova::stato_incorporato();
    d.dati(s, cartella);
    const std::string nuovo = *cartella.leggi(d.file);
    EXPECT_EQ(nuovo, testo_da_tabella(tabella_righe(d.righe(s)))) << d.file;
    EXPECT_LT(nuovo.size(), vecchio.size()) << d.file;
    EXPECT_EQ(nuovo.find("vecchia"), std::string::npos) << d.file;
    EXPECT_EQ(cartella.file["altro.txt"], "resta");
  }
}

// Every character of the documents has its Windows-1252 byte: no UTF-8 pair survives
// and nothing was replaced by "?".
TEST(Documenti, HoldOnlyWindows1252Bytes) {
  for (const auto& d : kDocumenti) {
    CartellaMemoria cartella;
    d.dati(prova::stato_incorporato(), cartella);
    const std::string byte = *cartella.leggi(d.file);
    EXPECT_EQ(byte.find_first_of("\xC2\xC3?"), std::string::npos) << d.file;
  }
}

// The train number is held as Windows-1252 bytes and reaches the files unchanged.
TEST(Documenti, TrainNumberFromTheState) {
  const Stato s = prova::stato_incorporato("12\xE8");
  struct Caso {
    const char* file;
    void (*dati)(const Stato&, Cartella&);
    std::size_t riga;
    std::string atteso;
  };
  const Caso casi[] = {
      {"VallorsaC_Pietrana_12\xE8_scheda_treno.txt", dati_scheda, 4,
       " |     CARSENA       |    |       12\xE8         |"},
      {"VallorsaC_Pietrana_12\xE8_rallentamenti.txt", dati_rallentamenti, 6,
       "  Si ordina al macchinista del treno 12\xE8 di effettuare i seguenti rallentamenti"},
      {"VallorsaC_Pietrana_12\xE8_note.txt", dati_note, 11, "12\xE8 Vallorsa C._Pietrana."},
  };
  for (const auto& c : casi) {
    const auto righe = prova::righe_scritte(c.dati, s, c.file);
    ASSERT_GT(righe.size(), c.riga) << c.file;
    EXPECT_EQ(righe[c.riga].substr(0, c.atteso.size()), c.atteso) << c.file;
  }
}

}  // namespace
}  // namespace cmp
