#include "model/file_binari.h"

#include <cmath>
#include <gtest/gtest.h>

#include "model/byte_le.h"

namespace cmp {
namespace {

std::string esadecimale(const std::string& b) {
  static const char* cifre = "0123456789abcdef";
  std::string out;
  for (const char c : b) {
    if (!out.empty()) out += ' ';
    out += cifre[(static_cast<unsigned char>(c) >> 4) & 0xF];
    out += cifre[static_cast<unsigned char>(c) & 0xF];
  }
  return out;
}

TEST(VoceScenario, EmptyTextTakes34Bytes) {
  EXPECT_EQ(codifica_voce(voce_scenario{}).size(), 34u);
  std::array<voce_scenario, kVociScenario> scenario{};
  EXPECT_EQ(codifica_scenario(scenario).size(), 2958u);
  testo_nome_linea(scenario) = "VallorsaC_Pietrana";
  testo_numero_treno(scenario) = "4721";
  EXPECT_EQ(codifica_scenario(scenario).size(), 2958u + 18 + 4);
}

TEST(VoceScenario, TrainIdentityEntryByteForByte) {
  voce_scenario v;
  v.testo = "4721";
  v.breve1 = 60;
  v.breve3 = 6;
  v.breve4 = 11;
  v.breve5 = 45;
  EXPECT_EQ(esadecimale(codifica_voce(v)),
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 04 00 34 37 32 31 3c 00 00 00 06 00 0b 00 2d 00 "
            "00 00 00 00 00 00 00 00");
}

TEST(VoceScenario, EveryFieldInItsPlaceLittleEndian) {
  voce_scenario v;
  v.tipo = 0xA1;
  v.intero1 = -2;
  v.intero2 = 0x01020304;
  v.intero3 = 7;
  v.ottetto1 = 0xB2;
  v.testo = "\xE8";
  v.breve1 = -3;
  v.breve2 = 0x0506;
  v.breve3 = 1;
  v.breve4 = 2;
  v.breve5 = 3;
  v.ottetto2 = 4;
  v.ottetto3 = 5;
  v.ottetto4 = 6;
  v.ottetto5 = 7;
  v.intero4 = 22335;
  EXPECT_EQ(esadecimale(codifica_voce(v)),
            "a1 fe ff ff ff 04 03 02 01 07 00 00 00 b2 01 00 e8 fd ff 06 05 01 00 02 00 03 00 04 05 06 07 "
            "3f 57 00 00");
}

TEST(Percorso, CellTakes15BytesFieldsInOrder) {
  tratto t;
  t.tipo = 1;
  t.parametro1 = 5121;
  t.parametro2 = -1;
  t.parametro3 = 0x0102;
  t.parametro4 = 3;
  t.tempo = 101;
  t.avviso = 31;
  t.montagna = 2;
  t.velocita = 14;
  t.pendenza = 97;
  t.aderenza = 255;
  EXPECT_EQ(esadecimale(codifica_percorso({t})), "01 01 14 ff ff 02 01 03 00 65 1f 02 0e 61 ff");
  EXPECT_EQ(codifica_percorso(std::vector<tratto>(761)).size(), 761u * 15);
}

TEST(TabellaLineaFile, SizeAndTagsForTheUsualContent) {
  for (const std::int64_t L : {0, 31000}) {
    TabellaLinea t;
    const std::size_t righe = static_cast<std::size_t>(L + 7001);
    t.crea(righe);
    for (int asse = 0; asse < 2; ++asse) {
      t.scrivi(0, asse, valore_etichettato::intero(0));
      t.scrivi(1, asse, valore_etichettato::intero(static_cast<std::int16_t>(asse)));
      for (std::size_t m = 2; m + 2 < righe; ++m) t.scrivi_doppio(m, asse, 0.5 * static_cast<double>(m));
    }
    const std::string b = codifica_tabella_linea(t);
    ASSERT_EQ(b.size(), static_cast<std::size_t>(20 * L + 139964)) << "L = " << L;

    LettoreByte r(b);
    for (int asse = 0; asse < 2; ++asse) {
      for (std::size_t m = 0; m < righe; ++m) {
        std::uint16_t tag = 99;
        ASSERT_TRUE(r.leggi(tag));
        if (m < 2) {
          std::int16_t v = -1;
          ASSERT_EQ(tag, 2);
          ASSERT_TRUE(r.leggi(v));
          EXPECT_EQ(v, m == 1 ? asse : 0);
        } else if (m + 2 < righe) {
          double v = 0;
          ASSERT_EQ(tag, 5);
          ASSERT_TRUE(r.leggi(v));
          ASSERT_EQ(v, 0.5 * static_cast<double>(m));
        } else {
          ASSERT_EQ(tag, 0) << "the last two metres stay empty";
        }
      }
    }
    EXPECT_EQ(r.rimasti(), 0u);
  }
}

TEST(TabellaLineaFile, ATableThatCannotBeMadeLeavesTheOldOneWhole) {
  TabellaLinea t;
  t.crea(3);
  t.scrivi_doppio(2, 1, 7.5);
  EXPECT_ANY_THROW(t.crea(SIZE_MAX / 2));  // more than any vector can hold
  ASSERT_EQ(t.righe(), 3u);
  EXPECT_EQ(t.numero(2, 1), 7.5);
  EXPECT_EQ(codifica_tabella_linea(t).size(), 6u + 14u);  // three empty values, then two empty and a double
}

// A state compiled again (watch, the editor server) makes its next plan in the room of the
// last one: nothing of the longer plan may show through, and the two compare as the file
// bytes do.
TEST(TabellaLineaFile, APlanMadeInTheRoomOfALongerOneIsWhollyNew) {
  TabellaLinea riusata;
  riusata.crea(6);
  for (std::size_t m = 0; m < 6; ++m) riusata.scrivi_doppio(m, 1, 3.0);
  riusata.svuota();
  riusata.crea(4);
  riusata.scrivi_doppio(2, 0, -0.0);
  TabellaLinea nuova;
  nuova.crea(4);
  nuova.scrivi_doppio(2, 0, -0.0);
  EXPECT_EQ(riusata, nuova);
  EXPECT_EQ(codifica_tabella_linea(riusata), codifica_tabella_linea(nuova));
  nuova.scrivi_doppio(2, 0, 0.0);
  EXPECT_NE(riusata, nuova) << "-0 and 0 are written differently";
  riusata.scrivi_doppio(2, 0, std::nan(""));
  nuova.scrivi_doppio(2, 0, std::nan(""));
  EXPECT_EQ(riusata, nuova) << "the same bits are the same plan";
}

TEST(TabellaLineaFile, DoubleIsLittleEndianIeee) {
  TabellaLinea t;
  t.crea(1);
  t.scrivi_doppio(0, 0, 1.0);
  t.scrivi_doppio(0, 1, -2.5);
  EXPECT_EQ(esadecimale(codifica_tabella_linea(t)), "05 00 00 00 00 00 00 00 f0 3f 05 00 00 00 00 00 00 00 04 c0");
}

TEST(LettoreByte, NeverReadsPastTheEnd) {
  const std::string dati("\x01\x02\x03", 3);
  LettoreByte r(dati);
  std::int32_t v = 0;
  EXPECT_FALSE(r.leggi(v));
  std::int16_t b = 0;
  EXPECT_TRUE(r.leggi(b));
  EXPECT_EQ(b, 0x0201);
  std::string s;
  EXPECT_FALSE(r.byte(2, s));
  EXPECT_EQ(r.posizione(), 2u);
}

}  // namespace
}  // namespace cmp
