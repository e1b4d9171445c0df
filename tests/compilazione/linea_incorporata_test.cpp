#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "model/arrotonda.h"
#include "model/nomi_file.h"
#include "compilazione/da_cartella.h"

namespace cmp {
namespace {

const std::vector<std::string>& righe() {
  static const std::vector<std::string> r = righe_linea_incorporata();
  return r;
}

std::vector<std::string> fetta(std::size_t da, std::size_t a) {  // slots da..a inclusive
  return {righe().begin() + static_cast<std::ptrdiff_t>(da), righe().begin() + static_cast<std::ptrdiff_t>(a) + 1};
}

struct curva {
  char lato;
  int classe, inizio, lunghezza;
};

std::vector<curva> curve() {
  const std::regex forma(R"(curva([sd])([1-6]),  ([1-9][0-9]*),  ([1-9][0-9]*))");
  std::vector<curva> out;
  for (const auto& r : fetta(10, 93)) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(r, m, forma)) << r;
    if (m.empty()) continue;
    out.push_back({m[1].str()[0], std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])});
  }
  return out;
}

std::vector<std::pair<int, int>> pendenze() {
  const std::regex forma(R"(pendenza,  (0|[1-9][0-9]*),   (-?(?:0|[1-9][0-9]*)))");
  std::vector<std::pair<int, int>> out;
  for (const auto& r : fetta(95, 182)) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(r, m, forma)) << r;
    if (!m.empty()) out.emplace_back(std::stoi(m[1]), std::stoi(m[2]));
  }
  return out;
}

TEST(LineaIncorporata, HasItsFixedRows) {
  ASSERT_EQ(righe().size(), 222u);
  const std::map<std::size_t, std::string> fisse = {
      {0, "[generale]"},
      {1, "lunghezza percorso,    31000"},
      {2, "progressiva chilometrica uno,    0,    132100,    0"},
      {3, "progressiva chilometrica due,    0,    0,    0"},
      {4, "progressiva chilometrica tre,    0,    0,    0"},
      {5, "sfondo uno,    0"},
      {6, "sfondo due,    1"},
      {7, "sfondo tre,    0"},
      {8, "ripetizione segnali 4 codici,    0    ,0"},
      {9, "[curve]"},
      {10, "curvad4,  300,  100"},
      {11, "curvad5,  400,  150"},
      {12, "curvas4,  650,  200"},
      {93, "curvas5,  28200,  200"},
      {94, "[pendenze]"},
      {95, "pendenza,  0,   -3"},
      {96, "pendenza,  150,   3"},
      {181, "pendenza,  28400,   -5"},
      {182, "pendenza,  28500,   1"},
      {183, "[montagne]"},
      {184, "montagna,   8000,  8300,  11"},
      {187, "montagna,   25700,  25750,  2"},
      {188, "[cartelli]"},
      {189, "indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0"},
      {190, "indicatori_vmax,  9950,  65,  65,  65,  0,  ,  ,  ,  0"},
      {191, "indicatori_vmax,  11850,  75,  80,  80,  0,  ,  ,  ,  0"},
      {192, "[indicazioni]"},
      {193, "cartello_indicatore,  650,   (Cavalcavia)(Km 132+749)(ex P.L.   )"},
      {207, "cartello_indicatore,  20250,   (Sottovia  )(Km 152+351)(ex P.L.A. )"},
      {216, "cartello_indicatore,  26400,   (Confluenza      )(Sx Vallorsa     )(Dx Ferrano      )"},
      {220, "cartello_indicatore,  27850,   (P.L.      )(Km 153+284)"},
      {221, "[fine]"},
  };
  for (const auto& [slot, testo] : fisse) EXPECT_EQ(righe()[slot], testo) << "slot " << slot;
}

TEST(LineaIncorporata, HasItsCurves) {
  const auto c = curve();
  ASSERT_EQ(c.size(), 84u);
  std::map<int, int> per_classe;
  std::map<char, int> per_lato;
  int somma = 0, contigue = 0, minima = 1000, massima = 0;
  for (std::size_t i = 0; i < c.size(); ++i) {
    ++per_classe[c[i].classe];
    ++per_lato[c[i].lato];
    somma += c[i].lunghezza;
    minima = std::min(minima, c[i].lunghezza);
    massima = std::max(massima, c[i].lunghezza);
    EXPECT_EQ(c[i].inizio % 50, 0);
    EXPECT_EQ(c[i].lunghezza % 50, 0);
    if (i == 0) continue;
    EXPECT_LE(c[i - 1].inizio + c[i - 1].lunghezza, c[i].inizio) << "overlap before row " << i;
    if (c[i - 1].inizio + c[i - 1].lunghezza == c[i].inizio) ++contigue;
  }
  EXPECT_EQ(per_classe, (std::map<int, int>{{1, 2}, {2, 2}, {3, 12}, {4, 37}, {5, 29}, {6, 2}}));
  EXPECT_EQ(per_lato, (std::map<char, int>{{'d', 41}, {'s', 43}}));
  EXPECT_EQ(somma, 20650);
  EXPECT_EQ(minima, 50);
  EXPECT_EQ(massima, 600);
  EXPECT_EQ(contigue, 51);

  std::set<std::string> rare;
  for (const auto& r : fetta(10, 93)) {
    if (r.find_first_of("126") == 6) rare.insert(r);
  }
  EXPECT_EQ(rare, (std::set<std::string>{"curvad1,  8400,  50", "curvas1,  23600,  200", "curvad2,  19600,  150",
                                         "curvas2,  20300,  50", "curvad6,  10500,  100", "curvad6,  10850,  150"}));
}

TEST(LineaIncorporata, HasItsGradients) {
  const auto p = pendenze();
  ASSERT_EQ(p.size(), 88u);
  std::set<int> valori;
  for (std::size_t i = 0; i < p.size(); ++i) {
    valori.insert(p[i].second);
    EXPECT_EQ(p[i].first % 50, 0);
    if (i > 0) {
      EXPECT_LT(p[i - 1].first, p[i].first);
    }
  }
  EXPECT_EQ(p.front().first, 0);
  EXPECT_EQ(p.back().first, 28500);
  EXPECT_EQ(valori,
            (std::set<int>{-24, -23, -21, -20, -15, -10, -8, -5, -3, -2, 0, 1, 2, 3, 5, 10, 15, 20, 21, 23, 24}));
  std::vector<std::pair<int, int>> ripide;
  for (const auto& r : p) {
    if (std::abs(r.second) == 24) ripide.push_back(r);
  }
  EXPECT_EQ(ripide, (std::vector<std::pair<int, int>>{{24450, 24}, {26300, -24}}));
}

TEST(LineaIncorporata, BoardsAreInOrderWithTenOrSixteenSlots) {
  const std::regex forma(R"(cartello_indicatore,  ([1-9][0-9]*),   ((\([^()]*\))+))");
  const std::regex casella(R"(\(([^()]*)\))");
  int precedente = 0;
  for (const auto& r : fetta(193, 220)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(r, m, forma)) << r;
    EXPECT_GT(std::stoi(m[1]), precedente);
    precedente = std::stoi(m[1]);
    const std::string didascalia = m[2];
    std::vector<std::string> caselle;
    for (auto it = std::sregex_iterator(didascalia.begin(), didascalia.end(), casella); it != std::sregex_iterator();
         ++it) {
      caselle.push_back((*it)[1]);
    }
    const std::size_t larghezza = precedente == 26400 ? 16 : 10;
    if (caselle.size() == 1) continue;  // a single box is not padded
    for (const auto& testo : caselle) EXPECT_EQ(testo.size(), larghezza) << r;
  }
}

TEST(LineaIncorporata, DatiLineaWritesTheTextInCrLf) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  CartellaMemoria cartella;
  dati_linea(s, cartella);
  ASSERT_EQ(cartella.file.size(), 1u);
  const std::string& testo = cartella.file.at("VallorsaC_Pietrana_linea.txt");
  EXPECT_EQ(testo, testo_da_tabella(tabella_righe(righe())));
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), 222);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\r'), 222);
  EXPECT_EQ(testo.find(std::string(kMarcaFine)), std::string::npos);
  EXPECT_EQ(testo.substr(0, 12), "[generale]\r\n");
  EXPECT_EQ(testo.substr(testo.size() - 8), "[fine]\r\n");
  EXPECT_NE(testo.find("ripetizione segnali 4 codici,    0    ,0\r\n"), std::string::npos);
}

// The run's reading of the built-in line: written, read back, compiled and deleted.
struct LineaCompilata {
  Stato s;
  CartellaMemoria cartella;
  LineaCompilata() {
    s.nome_linea = "VallorsaC_Pietrana";
    s.numero_treno = "4721";
    s.crea_tabella_linea = true;
    dati_linea(s, cartella);
    cartella.file[nome_descrizione_treno(identita_di(s))] = "[fine]\r\n";
    leggi_da_cartella(s, cartella);
  }
};

TEST(LineaIncorporata, CompilesWithoutErrorsAndTheTextsAreGone) {
  LineaCompilata l;
  EXPECT_EQ(l.s.codice_errore, 0);
  EXPECT_TRUE(l.cartella.file.empty());
  EXPECT_EQ(l.s.percorso.size(), 761u);
  EXPECT_EQ(lunghezza_linea(l.s.scenario), 31000);
  EXPECT_EQ(chilometri_progressiva(l.s.scenario[kVoceProgressivaTre]), 132100);
  EXPECT_EQ(chilometri_progressiva(l.s.scenario[kVoceProgressivaUno]), 0);
  EXPECT_EQ(sfondo_due(l.s.scenario), 1);
  EXPECT_EQ(testo_nome_linea(l.s.scenario), "VallorsaC_Pietrana");
  EXPECT_EQ(testo_numero_treno(l.s.scenario), "4721");
}

TEST(LineaIncorporata, GivesTheGradientOfEachPositionUpToCell757) {
  LineaCompilata l;
  const auto p = pendenze();
  // Cell c takes the gradient of the last row whose position rounds to a cell at or below c.
  for (int c = 0; c <= 760; ++c) {
    int attesa = 0;
    for (const auto& [posizione, valore] : p) {
      if (arrotonda(posizione / 50.0) <= c) attesa = valore;
    }
    const int cella = l.s.percorso[static_cast<std::size_t>(c)].pendenza;
    ASSERT_EQ(cella, c <= 757 ? attesa + 100 : 0) << "cell " << c;
  }
}

TEST(LineaIncorporata, GivesThePlanUpToMetre37998) {
  LineaCompilata l;
  const auto& t = l.s.tabella_linea;
  ASSERT_EQ(t.righe(), 38001u);
  EXPECT_EQ(t.etichetta(37998, 0), valore_etichettato::tipo::doppio);
  EXPECT_EQ(t.etichetta(37999, 0), valore_etichettato::tipo::vuoto);
  EXPECT_EQ(t.etichetta(38000, 1), valore_etichettato::tipo::vuoto);
  EXPECT_EQ(t.numero(300, 0), 0.0);
  EXPECT_EQ(t.numero(300, 1), 300.0);
  EXPECT_EQ(t.numero(301, 0), 0.001);
  // The final heading is the sum of the turns of all the curves.
  double svolta = 0;
  const double k[] = {0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  for (const auto& c : curve()) svolta += (c.lato == 's' ? -1 : 1) * k[c.classe] * c.lunghezza;
  const double direzione = std::atan2(t.numero(37998, 0) - t.numero(37997, 0), t.numero(37998, 1) - t.numero(37997, 1));
  EXPECT_NEAR(direzione, svolta, 1e-4);
}

TEST(LineaIncorporata, HasItsMountainsBoardsAndCaptions) {
  LineaCompilata l;
  const auto& p = l.s.percorso;
  for (int c = 160; c <= 165; ++c) EXPECT_EQ(p[c].montagna, 1) << c;
  EXPECT_EQ(p[227].montagna, 2);
  for (int c = 229; c <= 233; ++c) EXPECT_EQ(p[c].montagna, 3) << c;
  EXPECT_EQ(p[514].montagna, 2);
  EXPECT_EQ(p[163].tipo, tipo_cella::marca_montagna);
  EXPECT_EQ(p[232].tipo, tipo_cella::marca_montagna);

  const std::pair<int, std::array<std::int16_t, 4>> tabelle[] = {
      {138, {1500, 1600, 1600, 0}}, {200, {1300, 1300, 1300, 0}}, {238, {1500, 1600, 1600, 0}}};
  for (const auto& [c, codici] : tabelle) {
    EXPECT_EQ(p[c].tipo, tipo_cella::indicatori_v_max);
    EXPECT_EQ((std::array{p[c].parametro1, p[c].parametro2, p[c].parametro3, p[c].parametro4}), codici) << c;
  }

  // 28 captions in text order, entries 80 down to 53.
  const std::regex forma(R"(cartello_indicatore,  ([0-9]+),   (.*))");
  int voce = 80;
  for (const auto& r : fetta(193, 220)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(r, m, forma));
    const int cella = std::stoi(m[1]) / 50 + 1;
    EXPECT_EQ(p[cella].tipo, tipo_cella::cartello) << r;
    EXPECT_EQ(p[cella].parametro1, voce) << r;
    EXPECT_EQ(l.s.scenario[voce].testo, m[2].str());
    --voce;
  }
  EXPECT_EQ(voce, 52);
  EXPECT_EQ(l.s.voce_cartello, 52);
  EXPECT_EQ(p[14].parametro1, 80);
}

}  // namespace
}  // namespace cmp
