// The drawing module on hand-made compiled states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "model/file_binari.h"
#include "plot/carica_compilato.h"
#include "plot/contenuto.h"
#include "plot/disegna.h"
#include "plot/semplifica.h"
#include "plot/testo_svg.h"
#include "prova_plot.h"

namespace cmp {
namespace {

using disegno::punto;

TEST(TestoSvg, NumbersHaveOneDecimalRoundedHalvesToEven) {
  const struct {
    double v;
    const char* atteso;
  } casi[] = {{0.0, "0.0"},       {-0.04, "0.0"}, {-0.06, "-0.1"},
              {2.25, "2.2"},      {2.35, "2.4"},  {1234567.89, "1234567.9"},
              {-12.0, "-12.0"},   {0.05, "0.0"},  {0.15, "0.2"},
              {-0.15, "-0.2"},    {-0.05, "0.0"}, {1e15, "1000000000000000.0"},
              {-987.65, "-987.6"}};
  for (const auto& c : casi) EXPECT_EQ(disegno::numero(c.v), c.atteso) << c.v;
}

TEST(TestoSvg, TextsAreEscapedAndConvertedFromTheCodePage) {
  EXPECT_EQ(disegno::testo_xml("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  // Controls have no place in XML; a tab does.
  EXPECT_EQ(disegno::testo_xml(std::string("x\x01y\tz", 5)), "x\xEF\xBF\xBDy\tz");
  EXPECT_EQ(disegno::testo_scenario_xml("CITT\xC0 & \x80"), "CITT\xC3\x80 &amp; \xE2\x82\xAC");
}

TEST(TestoSvg, KilometresReadAsKmPlusMetresOrAsDecimals) {
  EXPECT_EQ(disegno::progressiva(132749), "132+749");
  EXPECT_EQ(disegno::progressiva(5), "0+005");
  EXPECT_EQ(disegno::progressiva(-250), "-0+250");
  EXPECT_EQ(disegno::chilometri(132500, 1), "132.5");
  EXPECT_EQ(disegno::chilometri(134000, 0), "134");
  EXPECT_EQ(disegno::chilometri(-500, 1), "-0.5");
  EXPECT_EQ(disegno::chilometri(50, 2), "0.05");
  EXPECT_EQ(disegno::decimali_passo(2000), 0);
  EXPECT_EQ(disegno::decimali_passo(500), 1);
  EXPECT_EQ(disegno::decimali_passo(20), 2);
}

TEST(Semplifica, KeepsCornersAndDropsOnlyPointsWithinTheTolerance) {
  std::vector<punto> retta;
  for (int i = 0; i <= 1000; ++i) retta.push_back({i * 0.5, i * 0.25});
  EXPECT_EQ(disegno::semplifica(retta, 0.25).size(), 2u);

  std::vector<punto> arco;
  for (int i = 0; i <= 2000; ++i) arco.push_back({100.0 * std::cos(i * 0.001), 100.0 * std::sin(i * 0.001)});
  const auto semplice = disegno::semplifica(arco, 0.25);
  EXPECT_LT(semplice.size(), 60u);
  EXPECT_GT(semplice.size(), 3u);
  // Every original point lies within the tolerance of the simplified polyline.
  for (const auto& p : arco) {
    double migliore = 1e9;
    for (std::size_t i = 0; i + 1 < semplice.size(); ++i) {
      const punto a = semplice[i], b = semplice[i + 1];
      const double dx = b.x - a.x, dy = b.y - a.y;
      double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
      t = std::clamp(t, 0.0, 1.0);
      migliore = std::min(migliore, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    ASSERT_LE(migliore, 0.25 + 1e-9);
  }

  std::vector<punto> angolo{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
  const auto a = disegno::semplifica(angolo, 0.1);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[1].x, 2.0);
  EXPECT_EQ(a[1].y, 0.0);
}

// The plain Ramer-Douglas-Peucker the simplification must agree with point for point
// (it passes over blocks of points that cannot hold the farthest one).
std::vector<punto> semplifica_piana(const std::vector<punto>& punti, double tolleranza) {
  if (punti.size() < 3) return punti;
  const auto distanza = [](const punto& p, const punto& a, const punto& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    double t = 0.0;
    if (l2 > 0.0) t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0);
    const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
  };
  std::vector<bool> tieni(punti.size(), false);
  tieni.front() = tieni.back() = true;
  std::vector<std::pair<std::size_t, std::size_t>> da_fare{{0, punti.size() - 1}};
  while (!da_fare.empty()) {
    const auto [a, b] = da_fare.back();
    da_fare.pop_back();
    double peggiore = -1.0;
    std::size_t indice = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distanza(punti[i], punti[a], punti[b]);
      if (d > peggiore) peggiore = d, indice = i;
    }
    if (peggiore > tolleranza) {
      tieni[indice] = true;
      da_fare.push_back({a, indice});
      da_fare.push_back({indice, b});
    }
  }
  std::vector<punto> out;
  for (std::size_t i = 0; i < punti.size(); ++i) {
    if (tieni[i]) out.push_back(punti[i]);
  }
  return out;
}

TEST(Semplifica, KeepsTheSamePointsAsThePlainAlgorithm) {
  std::uint64_t seme = 12345;
  const auto caso = [&seme] {  // a fixed pseudo-random sequence in [0, 1)
    seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seme >> 11) / 9007199254740992.0;
  };
  std::vector<std::pair<std::string, std::vector<punto>>> linee;
  for (const std::size_t n : {3u, 15u, 16u, 17u, 31u, 33u, 47u, 48u, 49u, 64u, 65u, 200u}) {
    std::vector<punto> zig;
    for (std::size_t i = 0; i < n; ++i) zig.push_back({i * 0.3, (i % 2) * 0.3});
    linee.push_back({"zigzag of " + std::to_string(n), zig});
  }
  // A long line at a plan's scale: a metre a point, thousandths of a pixel apart, with bends.
  std::vector<punto> lunga;
  double x = 60.0, y = 300.0, verso = 0.3;
  for (int i = 0; i < 60000; ++i) {
    if (i % 5000 == 0) verso += caso() - 0.5;
    x += 0.001 * std::cos(verso);
    y += 0.001 * std::sin(verso);
    lunga.push_back({x, y});
  }
  linee.push_back({"long line", lunga});
  std::vector<punto> cammino;  // noise of about the tolerance
  for (int i = 0; i < 20000; ++i) cammino.push_back({i * 0.01, 50.0 + 0.6 * caso()});
  linee.push_back({"noisy walk", cammino});
  std::vector<punto> ritorno;  // back over itself, with points repeated
  for (int i = 0; i < 3000; ++i) ritorno.push_back({std::abs(1500.0 - i) * 0.1, 7.0});
  for (int i = 0; i < 100; ++i) ritorno.push_back({150.0, 7.0});
  for (int i = 0; i < 3000; ++i) ritorno.push_back({i * 0.05, 7.0 + 0.001 * i});
  linee.push_back({"back over itself", ritorno});
  std::vector<punto> spirale;
  for (int i = 0; i < 50000; ++i) {
    const double r = 1.0 + i * 0.01;
    spirale.push_back({600.0 + r * std::cos(i * 0.002), 400.0 + r * std::sin(i * 0.002)});
  }
  linee.push_back({"spiral", spirale});
  std::vector<punto> lontana;  // coordinates far from the page's, where rounding is coarse
  for (int i = 0; i < 10000; ++i) lontana.push_back({1e9 + i * 0.25, 1e9 + std::sin(i * 0.01) * 3.0});
  linee.push_back({"far from the origin", lontana});

  for (const auto& [nome, punti] : linee) {
    for (const double tolleranza : {0.0, 0.05, 0.25, 2.0}) {
      const auto attesi = semplifica_piana(punti, tolleranza);
      const auto ottenuti = disegno::semplifica(punti, tolleranza);
      ASSERT_EQ(ottenuti.size(), attesi.size()) << nome << ", tolerance " << tolleranza;
      for (std::size_t i = 0; i < attesi.size(); ++i) {
        ASSERT_TRUE(ottenuti[i].x == attesi[i].x && ottenuti[i].y == attesi[i].y)
            << nome << ", tolerance " << tolleranza << ", point " << i;
      }
    }
  }
}

TEST(Semplifica, ARoundStepIsOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double minimo, passo;
  } casi[] = {{0.0, 1.0}, {0.3, 0.5}, {1.0, 1.0}, {1.1, 2.0}, {3.0, 5.0}, {7.0, 10.0}, {2583.0, 5000.0}};
  for (const auto& c : casi) EXPECT_DOUBLE_EQ(disegno::passo_tondo(c.minimo), c.passo) << c.minimo;
}

TEST(Contenuto, ObjectsStandWhereTheirCellsPutThem) {
  const Stato s = prova::stato_di_prova(20000, {}, false);
  const auto c = disegno::estrai_contenuto(s);
  ASSERT_EQ(c.stazioni.size(), 3u);
  EXPECT_EQ(c.stazioni[1].testo, "SAN LORIANO");
  EXPECT_EQ(c.stazioni[1].metro, 135 * 50);  // the stop cell's own start
  ASSERT_EQ(c.segnali.size(), 3u);
  EXPECT_EQ(c.segnali[0].metro, 4400);  // signals take cell p / 50 + 1
  ASSERT_EQ(c.cartelli.size(), 2u);
  EXPECT_EQ(c.cartelli[0].metro, 650);
  EXPECT_EQ(c.cartelli[0].testo, "(Cavalcavia)(Km 132+749)");
  ASSERT_EQ(c.rallentamenti.size(), 1u);
  EXPECT_EQ(c.rallentamenti[0].inizio, 10000);
  EXPECT_EQ(c.rallentamenti[0].fine, 10600);
  EXPECT_EQ(c.rallentamenti[0].velocita, 60);
  ASSERT_EQ(c.abbattimenti.size(), 2u);
  EXPECT_EQ(c.abbattimenti[0].metro, 196 * 50);  // abbattimento rows take cell p / 50
  EXPECT_EQ(c.abbattimenti[0].parametro1, 180);
  EXPECT_EQ(c.abbattimenti[1].parametro1, 0);
  ASSERT_EQ(c.montagne.size(), 2u);
  EXPECT_EQ(c.montagne[0].inizio, 8000);
  EXPECT_EQ(c.montagne[0].fine, 8300);
  EXPECT_EQ(c.montagne[1].valore, 3);
  EXPECT_EQ(c.riferimento.a(650), 132750);
  // The profiles stop before the last three cells, which the readers never write.
  EXPECT_EQ(c.metri_percorso, 541 * 50);
  EXPECT_EQ(c.velocita.back().fine, 538 * 50);
  EXPECT_EQ(c.velocita[1].inizio, 120 * 50);
  EXPECT_EQ(c.velocita[1].valore, 60);
  EXPECT_EQ(c.pendenze.front().valore, -12);
}

TEST(Contenuto, SlowOrdersWithoutAnEndKeepOneCellAndLoneEndsAreLeftOut) {
  Stato s;
  s.percorso.assign(100, tratto{});
  s.percorso[10] = {tipo_cella::fine_rallentamento, 50};
  s.percorso[20] = {tipo_cella::inizio_rallentamento, 40};
  s.percorso[30] = {tipo_cella::inizio_rallentamento, 30};
  s.percorso[40] = {tipo_cella::fine_rallentamento, 30};
  s.percorso[60] = {tipo_cella::inizio_rallentamento, 20};
  const auto r = disegno::estrai_contenuto(s).rallentamenti;
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].inizio, 950);
  EXPECT_EQ(r[0].fine, 1000);
  EXPECT_EQ(r[1].inizio, 1450);
  EXPECT_EQ(r[1].fine, 1950);
  EXPECT_EQ(r[2].inizio, 2950);
  EXPECT_EQ(r[2].fine, 3000);
}

TEST(Disegno, IsWellFormedXmlWithTheStationsAndEveryMarker) {
  Stato s = prova::stato_di_prova(20000, prova::curve_di_prova());
  s.scenario[3].testo = "CITT\xC0 <&> \"B\"";  // a name that needs escaping and converting
  const std::string svg = disegna_svg(s);
  EXPECT_EQ(prova::difetto_xml(svg), "");
  EXPECT_EQ(prova::verdetto_xmllint(svg), "");
  EXPECT_NE(svg.find(">VALLORSA C.</text>"), std::string::npos);
  EXPECT_NE(svg.find(">SAN LORIANO</text>"), std::string::npos);
  EXPECT_NE(svg.find(">CITT\xC3\x80 &lt;&amp;&gt; &quot;B&quot;</text>"), std::string::npos);
  EXPECT_EQ(prova::conta(svg, "<circle class=\"segnale\""), 3u);
  EXPECT_EQ(prova::conta(svg, "<circle class=\"stazione\""), 3u);
  EXPECT_EQ(prova::conta(svg, "<rect class=\"indicatore\""), 1u);
  EXPECT_EQ(prova::conta(svg, "<path class=\"cartello\""), 2u);
  EXPECT_EQ(prova::conta(svg, "<g class=\"rallentamento\""), 1u);
  EXPECT_EQ(prova::conta(svg, "<path class=\"abbattimento\""), 2u);
  EXPECT_EQ(prova::conta(svg, "<rect class=\"montagna\""), 4u);  // one per stretch in each profile
  EXPECT_NE(svg.find("Speed-indicator board at km 138+950 (position 6850 m): 75/80/80 km/h"), std::string::npos);
  EXPECT_NE(svg.find("Caption board at km 132+750 (position 650 m): (Cavalcavia)(Km 132+749)"), std::string::npos);
  EXPECT_NE(svg.find("km of the line (position 0 m = km 132+100)"), std::string::npos);
  // Self-contained: nothing to run and nothing to fetch.
  EXPECT_EQ(svg.find("<script"), std::string::npos);
  EXPECT_EQ(svg.find("href"), std::string::npos);
  EXPECT_EQ(svg.find("url("), std::string::npos);
  // Every number of an attribute is written with at most one decimal.
  EXPECT_FALSE(std::regex_search(svg, std::regex("=\"[^\"]*[0-9]\\.[0-9][0-9][^\"]*\"")));
}

TEST(Disegno, TheSameStateGivesTheSameBytes) {
  const Stato a = prova::stato_di_prova(20000, prova::curve_di_prova());
  const Stato b = prova::stato_di_prova(20000, prova::curve_di_prova());
  const std::string svg = disegna_svg(a);
  EXPECT_EQ(svg, disegna_svg(a));
  EXPECT_EQ(svg, disegna_svg(b));
  // and a different line a different picture
  EXPECT_NE(svg, disegna_svg(prova::stato_di_prova(20000, {})));
}

TEST(Disegno, WithoutAPlanOnlyTheProfilesAreDrawnAndWithoutATrackOnlyTheTitle) {
  const std::string senza_pianta = disegna_svg(prova::stato_di_prova(20000, {}, false));
  EXPECT_EQ(prova::difetto_xml(senza_pianta), "");
  EXPECT_EQ(senza_pianta.find("id=\"pianta\""), std::string::npos);
  EXPECT_NE(senza_pianta.find("id=\"profili\""), std::string::npos);
  EXPECT_NE(senza_pianta.find(">SAN LORIANO<title>"), std::string::npos);

  Stato vuoto;
  vuoto.nome_linea = "Linea";
  vuoto.numero_treno = "1";
  const std::string senza_percorso = disegna_svg(vuoto);
  EXPECT_EQ(prova::difetto_xml(senza_percorso), "");
  EXPECT_NE(senza_percorso.find("No track was compiled"), std::string::npos);
  EXPECT_EQ(senza_percorso.find("id=\"profili\""), std::string::npos);
}

TEST(Disegno, AStraightLineAPlanCutShortAndADamagedPlanAreDrawnToScaleOrLeftOut) {
  // A straight line has no width: it is drawn at the scale its length allows.
  const std::string dritta = disegna_svg(prova::stato_di_prova(15000, {}));
  EXPECT_EQ(prova::difetto_xml(dritta), "");
  EXPECT_NE(dritta.find("id=\"pianta\""), std::string::npos);
  // A plan whose later rows are empty ends at the last full row; objects beyond it sit there.
  Stato corta = prova::stato_di_prova(15000, prova::curve_di_prova());
  for (std::size_t m = 3000; m < corta.tabella_linea.righe(); ++m) corta.tabella_linea.scrivi(m, 1, {});
  const std::string svg = disegna_svg(corta);
  EXPECT_EQ(prova::difetto_xml(svg), "");
  // All three signals lie past the cut, on one point: one mark, counted, each in its tooltip.
  EXPECT_EQ(prova::conta(svg, "<circle class=\"segnale\""), 1u);
  EXPECT_NE(svg.find("<title>3 signals:\nSignal at km"), std::string::npos);
  EXPECT_EQ(prova::conta(svg, "Signal at km"), 3u);
  // A plan spread over astronomic distances (a damaged file) is left out, not drawn to a
  // scale of nothing.
  for (const double lontano : {1e12, 1e308}) {
    Stato rovinata = prova::stato_di_prova(15000, {});
    rovinata.tabella_linea.scrivi_doppio(500, 0, lontano);
    rovinata.tabella_linea.scrivi_doppio(501, 0, -lontano);
    const std::string senza = disegna_svg(rovinata);
    EXPECT_EQ(senza.find("id=\"pianta\""), std::string::npos) << lontano;
    EXPECT_NE(senza.find("id=\"profili\""), std::string::npos) << lontano;
  }
}

// The longest line: a million metres of gently curving plan, objects all along it.
TEST(Disegno, TheLongestLineStaysUnderTwoMegabytes) {
  std::vector<prova::curva> curve;
  for (std::int64_t p = 20000; p + 3000 < 1000000; p += 7000)
    curve.push_back({p, 3000, (p / 7000) % 2 ? 0.0001 : -0.0001});
  Stato s = prova::stato_di_prova(1000000, curve);
  ASSERT_EQ(s.tabella_linea.righe(), 1007001u);
  ASSERT_EQ(s.percorso.size(), 20141u);
  std::size_t segnali = 3;
  for (std::size_t c = 400; c + 10 < s.percorso.size(); c += 20, ++segnali) {
    prova::segnale(s, static_cast<std::int64_t>(c));
    s.percorso[c + 5].velocita = static_cast<std::uint8_t>(10 + c % 7);
    s.percorso[c + 7].pendenza = static_cast<std::uint8_t>(90 + c % 21);
  }
  const std::string svg = disegna_svg(s);
  EXPECT_LT(svg.size(), 2u * 1024 * 1024);
  EXPECT_EQ(prova::difetto_xml(svg), "");
  EXPECT_EQ(prova::verdetto_xmllint(svg), "");
  // Signals a kilometre apart on a page 1040 pixels wide cannot each have their own mark:
  // every one is still named in the tooltip of the mark that stands for it.
  EXPECT_LT(prova::conta(svg, "<circle class=\"segnale\""), segnali / 4);
  EXPECT_EQ(prova::conta(svg, "Signal at km"), segnali);
}

TEST(CaricaCompilato, TheBinaryFilesGiveThePictureOfTheStateTheyCameFrom) {
  const Stato s = prova::stato_di_prova(20000, prova::curve_di_prova());
  const std::string tabella = codifica_tabella_linea(s.tabella_linea);
  const std::string scenario = codifica_scenario(s.scenario);
  const std::string percorso = codifica_percorso(s.percorso);
  Stato letto;
  ASSERT_FALSE(carica_compilato(letto, tabella, scenario, percorso).has_value());
  EXPECT_EQ(disegna_svg(letto), disegna_svg(s));
  EXPECT_EQ(letto.nome_linea, "VallorsaC_Pietrana");

  Stato senza_pianta;
  ASSERT_FALSE(carica_compilato(senza_pianta, std::nullopt, scenario, percorso).has_value());
  EXPECT_FALSE(senza_pianta.tabella_linea.esiste());
}

TEST(CaricaCompilato, AFileThatDoesNotDecodeWholeIsRefusedNamingIt) {
  const Stato s = prova::stato_di_prova(20000, {});
  const std::string tabella = codifica_tabella_linea(s.tabella_linea);
  const std::string scenario = codifica_scenario(s.scenario);
  const std::string percorso = codifica_percorso(s.percorso);
  const struct {
    std::string tabella, scenario, percorso;
    file_compilato atteso;
  } casi[] = {
      {tabella, scenario.substr(0, 100), percorso, file_compilato::scenario},
      {tabella, scenario, percorso + "x", file_compilato::percorso},
      {tabella.substr(0, tabella.size() - 3), scenario, percorso, file_compilato::tabella_linea},
  };
  for (const auto& c : casi) {
    Stato letto;
    const auto d = carica_compilato(letto, c.tabella, c.scenario, c.percorso);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->file, c.atteso);
    EXPECT_FALSE(d->difetto.motivo.empty());
    EXPECT_TRUE(letto.percorso.empty());  // nothing half-loaded
  }
}

}  // namespace
}  // namespace cmp
