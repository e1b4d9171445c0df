// The plan of the built-in line, bit for bit: each metre must come out of the step formula
// evaluated exactly in its order, with no fused multiply-add. A fingerprint of the whole
// line table file catches any change in the arithmetic.
#include <gtest/gtest.h>

#include <cstdint>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "model/file_binari.h"
#include "reader/line/lettore_linea.h"

namespace cmp {
namespace {

std::uint64_t fnv1a(const std::string& b) {
  std::uint64_t h = 1469598103934665603ull;
  for (const char c : b) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

TEST(PianoIncorporato, LineTableFileIsBitForBitTheSame) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  s.crea_tabella_linea = true;
  ASSERT_EQ(leggi_descrizione_linea(s, testo_da_tabella(tabella_righe(righe_linea_incorporata()))),
            esito_lettura::completa);
  const std::string file = codifica_tabella_linea(s.tabella_linea);
  ASSERT_EQ(file.size(), 759964u);
  // Metre 301, the first bent metre: the previous step (0, 1) turned by 0.001.
  EXPECT_EQ(s.tabella_linea.numero(301, 0), 0.001);
  EXPECT_EQ(s.tabella_linea.numero(301, 1), 301.0);
  EXPECT_EQ(fnv1a(file), 0xf9f73b52cb1eb83bull) << std::hex << fnv1a(file);
}

}  // namespace
}  // namespace cmp
