#include "model/decodifica_file.h"

#include <gtest/gtest.h>

#include <optional>

#include "model/file_binari.h"

namespace cmp {
namespace {

TEST(Decodifica, ScenarioRoundTripsAndReportsTruncation) {
  std::array<voce_scenario, kVociScenario> sc{};
  testo_numero_treno(sc) = "4721";
  sabbia(sc) = 60;
  sc[1].intero4 = 22335;
  sc[kVocePrimoCartello].testo = "(F)";
  const std::string b = codifica_scenario(sc);
  const auto d = decodifica_scenario(b);
  ASSERT_FALSE(d.difetto);
  ASSERT_EQ(d.voci.size(), 87u);
  EXPECT_EQ(testo_numero_treno(d.voci), "4721");
  EXPECT_EQ(sabbia(d.voci), 60);
  EXPECT_EQ(d.voci[1].intero4, 22335);

  const auto corto = decodifica_scenario(std::string_view(b).substr(0, b.size() - 1));
  ASSERT_TRUE(corto.difetto);
  EXPECT_EQ(corto.voci.size(), 86u);
  EXPECT_EQ(corto.difetto->offset, b.size() - 38);  // entry 86 starts 38 bytes before the end

  const auto lungo = decodifica_scenario(b + "xy");
  ASSERT_TRUE(lungo.difetto);
  EXPECT_EQ(lungo.difetto->offset, b.size());

  std::string testo_enorme = b.substr(0, 14) + "\xff\xff";  // a count pointing past the end
  const auto e = decodifica_scenario(testo_enorme);
  ASSERT_TRUE(e.difetto);
  EXPECT_EQ(e.difetto->offset, 0u);
}

// Whole cells decode and encode back to the same bytes; a file that ends inside a cell
// keeps the whole cells before it and names the offset of the partial one.
TEST(Decodifica, TrackCellsAndAPartialCellAtTheEnd) {
  std::vector<tratto> p(3);
  p[1] = {1, 5121, -2, 0x0102, 3, 101, 31, 2, 14, 97, 255};
  p[2].aderenza = 7;  // the last byte of the last cell
  const std::string tre = codifica_percorso(p);
  struct caso {
    const char* nome;
    std::string dati;
    std::size_t celle;
    std::optional<std::size_t> difetto;
  };
  const caso casi[] = {
      {"empty file", "", 0, std::nullopt},
      {"three whole cells", tre, 3, std::nullopt},
      {"one byte after the cells", tre + "x", 3, 45},
      {"a cell one byte short", tre + tre.substr(15, 14), 3, 45},
      {"a cell one byte short and nothing else", tre.substr(15, 14), 0, 0},
      {"a whole cell cut off its last byte", tre.substr(0, 44), 2, 30},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto d = decodifica_percorso(c.dati);
    ASSERT_EQ(d.celle.size(), c.celle);
    EXPECT_EQ(codifica_percorso(d.celle), c.dati.substr(0, 15 * c.celle));
    ASSERT_EQ(d.difetto.has_value(), c.difetto.has_value());
    if (c.difetto) {
      EXPECT_EQ(d.difetto->offset, *c.difetto);
    }
  }
}

TEST(Decodifica, PlanRoundTripsTagsAndValues) {
  TabellaLinea t;
  t.crea(4);
  t.scrivi(0, 0, valore_etichettato::intero(0));
  t.scrivi(1, 1, valore_etichettato::intero(1));
  t.scrivi_doppio(2, 0, 0.001);
  const std::string b = codifica_tabella_linea(t);
  const auto d = decodifica_tabella_linea(b);
  ASSERT_FALSE(d.difetto);
  ASSERT_EQ(d.tabella.righe(), 4u);
  EXPECT_EQ(d.tabella.etichetta(1, 1), valore_etichettato::tipo::intero16);
  EXPECT_EQ(d.tabella.numero(2, 0), 0.001);
  EXPECT_EQ(d.tabella.etichetta(3, 0), valore_etichettato::tipo::vuoto);

  const auto tronco = decodifica_tabella_linea(std::string_view(b).substr(0, b.size() - 1));
  ASSERT_TRUE(tronco.difetto);
  const auto ignoto = decodifica_tabella_linea(std::string("\x07\x00", 2));
  ASSERT_TRUE(ignoto.difetto);
  EXPECT_EQ(ignoto.difetto->motivo, "unknown value type 7");
}

}  // namespace
}  // namespace cmp
