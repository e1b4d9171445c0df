// Files given piece by piece: the line table encoded in blocks, and a folder in memory
// that gathers each file's pieces.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/byte_le.h"
#include "disco/cartella.h"
#include "model/file_binari.h"

namespace cmp {
namespace {

// The layout written the plain way, field by field: the reference for the blocks.
std::string campo_per_campo(const TabellaLinea& t) {
  std::string out(2 * t.righe() * 10, '\0');
  char* p = out.data();
  for (int asse = 0; asse < 2; ++asse) {
    for (std::size_t m = 0; m < t.righe(); ++m) {
      const auto e = t.etichetta(m, asse);
      p = metti_le(p, static_cast<std::uint16_t>(e));
      if (e == valore_etichettato::tipo::intero16) p = metti_le(p, static_cast<std::int16_t>(t.numero(m, asse)));
      if (e == valore_etichettato::tipo::doppio) p = metti_le(p, t.numero(m, asse));
    }
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  return out;
}

TEST(TabellaLineaAPezzi, BlocksOfAtMost64KBMakeTheFileOfTheLayout) {
  TabellaLinea t;
  t.crea(30001);  // 60002 values, about 600 KB: several blocks
  t.scrivi(0, 0, valore_etichettato::intero(0));
  t.scrivi(0, 1, valore_etichettato::intero(0));
  t.scrivi(1, 0, valore_etichettato::intero(-7));
  t.scrivi(1, 1, valore_etichettato::intero(1));
  for (std::size_t m = 2; m + 2 < t.righe(); ++m) {
    t.scrivi_doppio(m, 0, 0.001 * static_cast<double>(m));
    t.scrivi_doppio(m, 1, -1.0 / static_cast<double>(m));
  }

  std::string a_pezzi;
  std::vector<std::size_t> pezzi;
  codifica_tabella_linea(t, [&](std::string_view p) {
    a_pezzi.append(p);
    pezzi.push_back(p.size());
  });
  EXPECT_EQ(a_pezzi, campo_per_campo(t));
  EXPECT_EQ(a_pezzi.size(), 2 * (2 * 4 + 29997 * 10 + 2 * 2u));
  EXPECT_GT(pezzi.size(), 1u);
  EXPECT_LE(*std::max_element(pezzi.begin(), pezzi.end()), 65536u);
  EXPECT_EQ(std::count(pezzi.begin(), pezzi.end(), 0u), 0) << "no empty piece";
  EXPECT_EQ(codifica_tabella_linea(t), a_pezzi);
}

TEST(TabellaLineaAPezzi, AnEmptyTableGivesNoPiece) {
  int pezzi = 0;
  codifica_tabella_linea(TabellaLinea{}, [&](std::string_view) { ++pezzi; });
  EXPECT_EQ(pezzi, 0);
  EXPECT_EQ(codifica_tabella_linea(TabellaLinea{}), "");
}

TEST(CartellaMemoria, FilesWrittenTogetherAreGatheredFromTheirPieces) {
  CartellaMemoria c;
  c.file["b.dat"] = "vecchio";
  std::vector<file_da_scrivere> file;
  file.push_back({"a.dat", [](const ScriviPezzo& scrivi) {
                    scrivi("uno");
                    scrivi("");
                    scrivi("-due");
                  }});
  file.push_back(file_intero("b.dat", "nuovo"));
  file.push_back({"c.dat", [](const ScriviPezzo&) {}});
  c.scrivi_insieme(std::move(file));
  EXPECT_EQ(c.file.at("a.dat"), "uno-due");
  EXPECT_EQ(c.file.at("b.dat"), "nuovo");
  EXPECT_EQ(c.file.at("c.dat"), "") << "a file without pieces is still written, empty";
}

}  // namespace
}  // namespace cmp
