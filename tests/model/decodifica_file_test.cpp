#include "model/decodifica_file.h"

#include <gtest/gtest.h>

#include "model/file_binari.h"

namespace cmp {
namespace {

TEST(Decodifica, ScenarioRoundTripsAndReportsTruncation) {
  std::array<voce_scenario, kVociScenario> sc{};
  sc[86].testo = "4721";
  sc[86].breve1 = 60;
  sc[1].intero4 = 22335;
  sc[80].testo = "(F)";
  const std::string b = codifica_scenario(sc);
  const auto d = decodifica_scenario(b);
  ASSERT_FALSE(d.difetto);
  ASSERT_EQ(d.voci.size(), 87u);
  EXPECT_EQ(d.voci[86].testo, "4721");
  EXPECT_EQ(d.voci[86].breve1, 60);
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

TEST(Decodifica, TrackOfWrongSize) {
  std::vector<tratto> p(3);
  p[1].parametro1 = 5121;
  const std::string b = codifica_percorso(p);
  EXPECT_EQ(decodifica_percorso(b).celle[1].parametro1, 5121);
  const auto d = decodifica_percorso(b + "abc");
  ASSERT_TRUE(d.difetto);
  EXPECT_EQ(d.difetto->offset, 45u);
  EXPECT_EQ(d.celle.size(), 3u);
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
