#include "model/decodifica_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "model/arrotonda.h"
#include "model/file_binari.h"

namespace cmp {
namespace {

// The three structures of a compiled scenario, as a compile leaves them.
struct compilato {
  std::array<voce_scenario, kVociScenario> voci{};
  std::vector<tratto> celle;
  TabellaLinea tabella;

  std::string sim() const { return codifica_scenario(voci); }
  std::string dat() const { return codifica_percorso(celle); }
  std::string piano() const { return codifica_tabella_linea(tabella); }
};

// The plan of `righe` metres: straight, then 200 m in the sharpest curve, then a gentle one
// the other way, computed step by step as the line reader does up to `fino` (excluded);
// the rest empty.
void crea_piano(TabellaLinea& t, std::size_t righe, std::size_t fino) {
  t.crea(righe);
  t.scrivi(0, 0, valore_etichettato::intero(0));
  t.scrivi(0, 1, valore_etichettato::intero(0));
  t.scrivi(1, 0, valore_etichettato::intero(0));
  t.scrivi(1, 1, valore_etichettato::intero(1));
  for (std::size_t m = 2; m < fino; ++m) {
    const double k = m > 100 && m <= 300 ? 0.003 : m > 300 && m <= 5000 ? -0.0001 : 0.0;
    const double dx = t.numero(m - 1, 0) - t.numero(m - 2, 0);
    const double dy = t.numero(m - 1, 1) - t.numero(m - 2, 1);
    t.scrivi_doppio(m, 0, t.numero(m - 1, 0) + (dy * k + dx));
    t.scrivi_doppio(m, 1, t.numero(m - 1, 1) + (dy - dx * k));
  }
}

// A line of `lunghezza` metres with a station (entry 1, its stop at cell 19), a caption
// board (entry 80), the four approach cells of a slow order, the fixed values, and the
// whole plan.
compilato scenario_valido(std::int32_t lunghezza = 0) {
  compilato c;
  testo_nome_linea(c.voci) = "Prova";
  testo_numero_treno(c.voci) = "7";
  lunghezza_linea(c.voci) = lunghezza;
  valore_fisso_scenario(c.voci) = limiti_file::valore_fisso_scenario;
  codice_controllo_scenario(c.voci) = 4242;
  numero_codici(c.voci) = 4;
  c.voci[1].tipo = 2;
  c.voci[1].intero2 = 1000;
  c.voci[1].testo = "NORD";
  c.voci[80].testo = "(Ponte)";
  const auto n = arrotonda((lunghezza + 7000) / 50.0);
  c.celle.assign(static_cast<std::size_t>(n + 1), tratto{});
  c.celle[1].parametro1 = limiti_file::valore_fisso_percorso;
  c.celle[1].parametro2 = 1234;
  c.celle[19].tipo = tipo_cella::fermata;
  c.celle[19].parametro1 = 1;
  c.celle[30].tipo = tipo_cella::cartello;
  c.celle[30].parametro1 = 80;
  for (int i = 0; i < 4; ++i) {
    c.celle[static_cast<std::size_t>(40 + i)].tipo = tipo_cella::approccio_rallentamento;
    c.celle[static_cast<std::size_t>(40 + i)].parametro1 = static_cast<std::int16_t>(4 - i);
  }
  for (auto& t : c.celle) t.velocita = 255;  // 1275 km/h: the most a cell holds
  const auto righe = static_cast<std::size_t>(lunghezza + 7001);
  crea_piano(c.tabella, righe, righe - 2);
  return c;
}

std::size_t inizio_voce(const compilato& c, int voce) {
  std::size_t offset = 0;
  for (int i = 0; i < voce; ++i) offset += codifica_voce(c.voci[static_cast<std::size_t>(i)]).size();
  return offset;
}

// Where the value of metre m in column `asse` starts in the plan file.
std::size_t offset_valore(const TabellaLinea& t, std::size_t m, int asse) {
  std::size_t offset = 0;
  for (int a = 0; a <= asse; ++a) {
    for (std::size_t r = 0; r < t.righe() && !(a == asse && r == m); ++r) {
      const auto e = t.etichetta(r, a);
      offset += 2 + (e == valore_etichettato::tipo::doppio ? 8 : e == valore_etichettato::tipo::intero16 ? 2 : 0);
    }
  }
  return offset;
}

void esatti(const std::optional<difetto_file>& d) { EXPECT_FALSE(d) << d->offset << ": " << d->motivo; }

TEST(DecodificaFile, FilesAsACompileWritesThemDecodeWholeAndEncodeBackToTheSameBytes) {
  for (const std::int32_t lunghezza : {0, 25, 1000}) {
    SCOPED_TRACE(lunghezza);
    const compilato c = scenario_valido(lunghezza);
    const auto voci = decodifica_scenario(c.sim());
    esatti(voci.difetto);
    ASSERT_EQ(voci.voci.size(), 87u);
    std::array<voce_scenario, kVociScenario> tabella_voci{};
    std::copy(voci.voci.begin(), voci.voci.end(), tabella_voci.begin());
    EXPECT_EQ(codifica_scenario(tabella_voci), c.sim());

    const auto celle = decodifica_percorso(c.dat());
    esatti(celle.difetto);
    EXPECT_EQ(codifica_percorso(celle.celle), c.dat());

    const auto piano = decodifica_tabella_linea(c.piano());
    esatti(piano.difetto);
    EXPECT_EQ(codifica_tabella_linea(piano.tabella), c.piano());
    const auto insieme = verifica_insieme(voci.voci, celle.celle, &piano.tabella);
    EXPECT_FALSE(insieme) << insieme->difetto.motivo;
  }

  // The longest track, and plans that a reading stopped early leaves: all empty (stopped
  // before the rows), or computed only up to some metre.
  compilato lunga = scenario_valido(1000000);
  EXPECT_EQ(lunga.celle.size(), limiti_file::celle_massime);
  esatti(decodifica_percorso(lunga.dat()).difetto);
  for (const std::size_t fino : {0u, 2u, 3u, 4000u, 6999u}) {
    SCOPED_TRACE(fino);
    TabellaLinea t;
    crea_piano(t, 7001, fino);
    if (fino == 0) t.crea(7001);
    const auto piano = decodifica_tabella_linea(codifica_tabella_linea(t));
    esatti(piano.difetto);
    EXPECT_EQ(piano.tabella.righe(), 7001u);
  }
}

// Whatever the cut, the entries and cells returned are those wholly before the offset
// reported, byte for byte as the file holds them, and a cut plan gives nothing.
TEST(DecodificaFile, ACutFileGivesNothingFromBeyondTheCut) {
  const compilato c = scenario_valido(1000);
  const std::string sim = c.sim();
  const std::string dat = c.dat();
  const std::string piano = c.piano();
  const auto tagli = [](std::size_t dimensione) {
    std::vector<std::size_t> out = {0, 1, 2, 14, 15, 16, dimensione - 1};
    for (std::size_t t = 37; t < dimensione; t += 1009) out.push_back(t);
    return out;
  };
  for (const std::size_t taglio : tagli(sim.size())) {
    SCOPED_TRACE("sim cut at " + std::to_string(taglio));
    const auto d = decodifica_scenario(std::string_view(sim).substr(0, taglio));
    ASSERT_TRUE(d.difetto);
    EXPECT_LE(d.difetto->offset, taglio);
    std::string prima;
    for (const auto& v : d.voci) prima += codifica_voce(v);
    EXPECT_LE(prima.size(), d.difetto->offset);
    EXPECT_EQ(prima, sim.substr(0, prima.size()));
  }
  for (const std::size_t taglio : tagli(dat.size())) {
    SCOPED_TRACE("track cut at " + std::to_string(taglio));
    const auto d = decodifica_percorso(std::string_view(dat).substr(0, taglio));
    ASSERT_TRUE(d.difetto);
    EXPECT_LE(d.difetto->offset, taglio);
    EXPECT_LE(d.celle.size() * kByteCella, d.difetto->offset);
    EXPECT_EQ(codifica_percorso(d.celle), dat.substr(0, d.celle.size() * kByteCella));
  }
  for (const std::size_t taglio : tagli(piano.size())) {
    SCOPED_TRACE("plan cut at " + std::to_string(taglio));
    const auto d = decodifica_tabella_linea(std::string_view(piano).substr(0, taglio));
    ASSERT_TRUE(d.difetto);
    EXPECT_LE(d.difetto->offset, taglio);
    EXPECT_FALSE(d.tabella.esiste());
  }
  // The first metres of a plan cut inside its north column would pair east values with
  // the east values of later metres.
  const auto a_meta = decodifica_tabella_linea(std::string_view(piano).substr(0, piano.size() / 2 + 10));
  ASSERT_TRUE(a_meta.difetto);
  EXPECT_FALSE(a_meta.tabella.esiste());
}

struct caso_difetto {
  const char* nome;
  std::function<void(compilato&)> guasta;
  std::function<std::size_t(const compilato&)> offset;  // in the damaged file
  const char* motivo;                                   // a part of the reason
};

void verifica_casi(const std::vector<caso_difetto>& casi,
                   const std::function<std::optional<difetto_file>(const compilato&)>& decodifica) {
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.nome);
    compilato c = scenario_valido(1000);
    caso.guasta(c);
    const auto d = decodifica(c);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->offset, caso.offset(c)) << d->motivo;
    EXPECT_NE(d->motivo.find(caso.motivo), std::string::npos) << d->motivo;
    EXPECT_NE(d->motivo.find("expected"), std::string::npos) << d->motivo;
  }
}

TEST(DecodificaFile, AScenarioTableNoCompileWritesIsDamaged) {
  const auto campo_85 = [](std::size_t oltre_testo) {
    return [oltre_testo](const compilato& c) {
      return inizio_voce(c, 85) + oltre_testo + (oltre_testo >= 16 ? testo_nome_linea(c.voci).size() : 0);
    };
  };
  const auto testo_86 = [](const compilato& c) { return inizio_voce(c, 86) + 14; };
  const std::vector<caso_difetto> casi = {
      {"no fixed value", [](compilato& c) { valore_fisso_scenario(c.voci) = 0; }, campo_85(16), "expected 610"},
      {"route empty", [](compilato& c) { testo_nome_linea(c.voci) = ""; }, campo_85(14), "is empty"},
      {"route with a separator", [](compilato& c) { testo_nome_linea(c.voci) = "../etc"; }, campo_85(14),
       "path separator"},
      {"route with ..", [](compilato& c) { testo_nome_linea(c.voci) = "a..b"; }, campo_85(14), "\"..\""},
      {"route with a control byte", [](compilato& c) { testo_nome_linea(c.voci) = "a\nb"; }, campo_85(14),
       "control character"},
      {"route with an undefined byte", [](compilato& c) { testo_nome_linea(c.voci) = "a\x81"; }, campo_85(14),
       "undefined byte"},
      {"train called linea", [](compilato& c) { testo_numero_treno(c.voci) = "linea"; }, testo_86, "\"linea\""},
      {"train empty", [](compilato& c) { testo_numero_treno(c.voci) = ""; }, testo_86, "is empty"},
      {"seven signal codes", [](compilato& c) { numero_codici(c.voci) = 7; },
       [](const compilato& c) { return inizio_voce(c, 86) + 9; }, "0, 4 or 9"},
  };
  verifica_casi(casi, [](const compilato& c) { return decodifica_scenario(c.sim()).difetto; });

  const compilato c = scenario_valido();
  const auto dopo = decodifica_scenario(c.sim() + "xy");
  ASSERT_TRUE(dopo.difetto);
  EXPECT_EQ(dopo.difetto->offset, c.sim().size());
  EXPECT_EQ(dopo.voci.size(), 87u);
  const auto vuoto = decodifica_scenario("");
  ASSERT_TRUE(vuoto.difetto);
  EXPECT_NE(vuoto.difetto->motivo.find("empty"), std::string::npos);
  // A text count pointing past the end.
  const auto conta = decodifica_scenario(c.sim().substr(0, 14) + "\xff\xff");
  ASSERT_TRUE(conta.difetto);
  EXPECT_EQ(conta.difetto->offset, 0u);
  EXPECT_TRUE(conta.voci.empty());
  // An entry after a damaged one is not returned: entry 85 is refused, 0 to 84 stay.
  compilato senza_fisso = scenario_valido();
  valore_fisso_scenario(senza_fisso.voci) = 1;
  EXPECT_EQ(decodifica_scenario(senza_fisso.sim()).voci.size(), 85u);
}

TEST(DecodificaFile, ATrackNoCompileWritesIsDamaged) {
  const auto cella = [](std::size_t i, std::size_t campo = 0) {
    return [=](const compilato&) { return i * kByteCella + campo; };
  };
  const std::vector<caso_difetto> casi = {
      {"type 7", [](compilato& c) { c.celle[50].tipo = 7; }, cella(50), "cell 50 has type 7"},
      {"type 15", [](compilato& c) { c.celle[50].tipo = 15; }, cella(50), "0 to 6 or 10 to 14"},
      {"type 255", [](compilato& c) { c.celle[0].tipo = 255; }, cella(0), "type 255"},
      {"cell 1 without the fixed value", [](compilato& c) { c.celle[1].parametro1 = 0; }, cella(1, 1), "expected 5121"},
      {"a stop naming entry 0", [](compilato& c) { c.celle[19].parametro1 = 0; }, cella(19, 1), "1 to 80"},
      {"a stop naming entry 81", [](compilato& c) { c.celle[19].parametro1 = 81; }, cella(19, 1), "1 to 80"},
      {"a caption naming entry -1", [](compilato& c) { c.celle[30].parametro1 = -1; }, cella(30, 1), "0 to 80"},
      {"a caption naming entry 85", [](compilato& c) { c.celle[30].parametro1 = 85; }, cella(30, 1), "0 to 80"},
      {"approach cell 0", [](compilato& c) { c.celle[40].parametro1 = 0; }, cella(40, 1), "1 to 4"},
      {"approach cell 5", [](compilato& c) { c.celle[40].parametro1 = 5; }, cella(40, 1), "1 to 4"},
      {"140 cells", [](compilato& c) { c.celle.resize(140); }, cella(140), "140 cells"},
      {"20142 cells", [](compilato& c) { c.celle.resize(20142); }, cella(20141), "past cell 20140"},
  };
  verifica_casi(casi, [](const compilato& c) { return decodifica_percorso(c.dat()).difetto; });

  const auto vuoto = decodifica_percorso("");
  ASSERT_TRUE(vuoto.difetto);
  EXPECT_NE(vuoto.difetto->motivo.find("empty"), std::string::npos);
  const auto tipo_ignoto = [] {
    compilato c = scenario_valido();
    c.celle[60].tipo = 9;
    return decodifica_percorso(c.dat());
  }();
  EXPECT_EQ(tipo_ignoto.celle.size(), 60u);  // the cells before it
}

TEST(DecodificaFile, APlanNoCompileWritesIsDamaged) {
  const auto valore = [](std::size_t m, int asse) {
    return [=](const compilato& c) { return offset_valore(c.tabella, m, asse); };
  };
  const auto fine = [](const compilato& c) { return c.piano().size(); };
  const auto sposta = [](std::size_t m, int asse, double di) {
    return [=](compilato& c) { c.tabella.scrivi_doppio(m, asse, c.tabella.numero(m, asse) + di); };
  };
  const std::vector<caso_difetto> casi = {
      {"metre 1 north not 1", [](compilato& c) { c.tabella.scrivi(1, 1, valore_etichettato::intero(2)); }, valore(1, 1),
       "expected 1"},
      {"metre 0 east a double", [](compilato& c) { c.tabella.scrivi_doppio(0, 0, 0.0); }, valore(0, 0),
       "expected a 16-bit integer"},
      {"a double among the two last metres",
       [](compilato& c) { c.tabella.scrivi_doppio(c.tabella.righe() - 2, 0, 1.0); },
       [](const compilato& c) { return offset_valore(c.tabella, c.tabella.righe() - 2, 0); }, "expected empty"},
      {"a double after an empty metre", [](compilato& c) { c.tabella.scrivi(500, 0, {}); }, valore(501, 0),
       "expected empty"},
      {"an integer among the doubles", [](compilato& c) { c.tabella.scrivi(500, 0, valore_etichettato::intero(3)); },
       valore(500, 0), "expected a double"},
      {"columns of different types", [](compilato& c) { c.tabella.scrivi(5000, 1, {}); }, valore(5000, 1),
       "is empty: expected a double"},
      {"a metre moved by a centimetre", sposta(4000, 1, 0.01), valore(4000, 0), "metre 4000 does not follow"},
      {"a metre moved in the curve", sposta(200, 0, 1e-3), valore(200, 0), "metre 200 does not follow"},
      {"a step shorter than the one before", sposta(9, 1, -0.001), valore(9, 0), "metre 9 does not follow"},
      {"not a number", [](compilato& c) { c.tabella.scrivi_doppio(300, 0, std::nan("")); }, valore(300, 0),
       "metre 300 does not follow"},
      {"infinite", [](compilato& c) { c.tabella.scrivi_doppio(2, 1, INFINITY); }, valore(2, 0),
       "metre 2 does not follow"},
      {"7000 metres", [](compilato& c) { crea_piano(c.tabella, 7000, 6998); }, fine, "14000 values"},
  };
  verifica_casi(casi, [](const compilato& c) {
    const auto d = decodifica_tabella_linea(c.piano());
    EXPECT_EQ(d.tabella.esiste(), !d.difetto);
    return d.difetto;
  });

  const compilato c = scenario_valido();
  const std::string piano = c.piano();
  struct caso_byte {
    const char* nome;
    std::string dati;
    std::size_t offset;
    const char* motivo;
  };
  const caso_byte casi_byte[] = {
      {"empty", "", 0, "the file is empty"},
      {"unknown type", piano.substr(0, 8) + std::string("\x07\x00", 2) + piano.substr(10), 8, "has type 7"},
      {"odd number of values", piano + std::string(2, '\0'), piano.size() + 2, "14003 values"},
      {"a type code cut", piano + std::string(1, '\0'), piano.size(), "inside the type code"},
  };
  for (const auto& caso : casi_byte) {
    SCOPED_TRACE(caso.nome);
    const auto d = decodifica_tabella_linea(caso.dati);
    ASSERT_TRUE(d.difetto);
    EXPECT_EQ(d.difetto->offset, caso.offset);
    EXPECT_NE(d.difetto->motivo.find(caso.motivo), std::string::npos) << d.difetto->motivo;
  }
}

TEST(DecodificaFile, TheFilesOfOneScenarioMustBelongTogether) {
  struct caso {
    const char* nome;
    std::function<void(compilato&)> guasta;
    std::optional<file_compilato> file;
    std::size_t offset = 0;
    const char* motivo = "";
  };
  const caso casi[] = {
      {"as compiled", [](compilato&) {}, std::nullopt},
      {"a track of another length", [](compilato& c) { c.celle.resize(200); }, file_compilato::percorso, 161 * 15,
       "expected 161"},
      {"a plan of another length", [](compilato& c) { crea_piano(c.tabella, 9001, 8999); },
       file_compilato::tabella_linea, 0, "9001 metres"},
      // A length row refused (error 1 or 30) after an earlier one sized the track leaves
      // the table's length out of range: the track and plan then only agree with each other.
      {"a refused length", [](compilato& c) { lunghezza_linea(c.voci) = 2000000; }, std::nullopt},
      {"a refused negative length and a plan of another length",
       [](compilato& c) {
         lunghezza_linea(c.voci) = -5;
         crea_piano(c.tabella, 9001, 8999);
       },
       file_compilato::tabella_linea, 0, "a track of 181 cells, and the track has 161"},
      {"a stop not at the end of its area", [](compilato& c) { c.voci[1].intero2 = 2000; }, file_compilato::percorso,
       19 * 15 + 1, "ends at 2000 m"},
      {"a stop of a kind that puts none", [](compilato& c) { c.voci[1].tipo = 25; }, file_compilato::percorso,
       19 * 15 + 1, "kind 25"},
      {"a caption naming a station", [](compilato& c) { c.celle[30].parametro1 = 1; }, file_compilato::percorso,
       30 * 15 + 1, "holds a station"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.nome);
    compilato c = scenario_valido(1000);
    k.guasta(c);
    const std::vector<voce_scenario> voci(c.voci.begin(), c.voci.end());
    const auto d = verifica_insieme(voci, c.celle, &c.tabella);
    ASSERT_EQ(d.has_value(), k.file.has_value()) << (d ? d->difetto.motivo : "");
    if (!d) continue;
    EXPECT_EQ(d->file, *k.file);
    EXPECT_EQ(d->difetto.offset, k.offset);
    EXPECT_NE(d->difetto.motivo.find(k.motivo), std::string::npos) << d->difetto.motivo;
  }
}

TEST(DecodificaFile, ADefectIsDescribedWithTheFileAndTheByte) {
  EXPECT_EQ(descrivi_difetto("a/b.dat", {30, "cell 2 has type 9: expected 0 to 6 or 10 to 14"}),
            "a/b.dat is damaged at byte 30: cell 2 has type 9: expected 0 to 6 or 10 to 14");
}

// The largest files a compile writes, worked out from the layout.
TEST(DecodificaFile, TheLargestFilesOfEachKind) {
  EXPECT_EQ(limiti_file::byte_percorso_massimi, 302115u);
  EXPECT_EQ(limiti_file::byte_tabella_massimi, 20139964u);  // 20 L + 139,964 for L = 1,000,000
  EXPECT_EQ(limiti_file::byte_scenario_massimi, 2958u + 87u * 65535u);
}

}  // namespace
}  // namespace cmp
