#include "finish/finitura.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cmp {
namespace {

namespace tc = tipo_cella;

// One cell set by hand: its type and first parameter.
struct cella_a_mano {
  int indice;
  std::uint8_t tipo;
  std::int16_t parametro1 = 0;
};

constexpr std::uint8_t kSegnale = tc::segnale;
constexpr std::uint8_t kFine = tc::fine_rallentamento;
constexpr std::uint8_t kInizio = tc::inizio_rallentamento;
constexpr std::uint8_t kAvviso = tc::avviso_rallentamento;
constexpr std::uint8_t kCartello = tc::indicatori_v_max;  // any object that is not free
constexpr std::uint8_t kMontagna = tc::marca_montagna;
constexpr std::uint8_t kAbbattimento = tc::abbattimento_valore;

cella_a_mano marca(int indice) { return {indice, kAbbattimento, 180}; }

void imposta(std::vector<tratto>& percorso, const std::vector<cella_a_mano>& celle) {
  for (const cella_a_mano& c : celle) {
    percorso.at(static_cast<std::size_t>(c.indice)).tipo = c.tipo;
    percorso.at(static_cast<std::size_t>(c.indice)).parametro1 = c.parametro1;
  }
}

Stato stato_con(int celle, const std::vector<cella_a_mano>& prima) {
  Stato s;
  s.percorso.assign(static_cast<std::size_t>(celle), tratto{});
  imposta(s.percorso, prima);
  return s;
}

// A track, the cells the pass must change (everything else must stay as it was) and
// the faults it must record, in order.
struct caso_passata {
  std::string nome;
  int celle;
  std::vector<cella_a_mano> prima;
  std::vector<cella_a_mano> cambiate;
  std::vector<avviso_finitura> avvisi;
};

std::string descrivi(const tratto& t) {
  return "tipo " + std::to_string(t.tipo) + " parametro1 " + std::to_string(t.parametro1);
}

void verifica_passata(const caso_passata& caso) {
  SCOPED_TRACE(caso.nome);
  Stato s = stato_con(caso.celle, caso.prima);
  std::vector<tratto> atteso = s.percorso;
  imposta(atteso, caso.cambiate);

  passata_finitura(s);

  ASSERT_EQ(s.percorso.size(), atteso.size());
  for (std::size_t c = 0; c < atteso.size(); ++c) {
    EXPECT_EQ(descrivi(s.percorso[c]), descrivi(atteso[c])) << "cell " << c;
  }
  ASSERT_EQ(s.avvisi.size(), caso.avvisi.size());
  for (std::size_t k = 0; k < caso.avvisi.size(); ++k) {
    EXPECT_EQ(s.avvisi[k].codice, caso.avvisi[k].codice) << "fault " << k;
    EXPECT_EQ(s.avvisi[k].posizione, caso.avvisi[k].posizione) << "fault " << k;
  }
  const avviso_finitura ultimo = caso.avvisi.empty() ? avviso_finitura{} : caso.avvisi.back();
  EXPECT_EQ(s.codice_errore, ultimo.codice);
  EXPECT_EQ(s.posizione_errore, ultimo.posizione);
}

TEST(Minimo, CopiesTheSmallerWithItsOwnType) {
  using v = valore_etichettato;
  struct caso {
    v x, y, atteso;
  };
  const caso casi[] = {
      {v::intero(180), v::intero(150), v::intero(150)},     {v::intero(180), v::intero(200), v::intero(180)},
      {v::intero(180), v::doppio(150.5), v::doppio(150.5)}, {v::doppio(200.0), v::intero(180), v::intero(180)},
      {v::intero(180), v::doppio(180.0), v::intero(180)},  // equal: x
      {v::doppio(180.0), v::intero(180), v::doppio(180.0)},
  };
  for (const caso& c : casi) {
    const v r = minimo(c.x, c.y);
    EXPECT_EQ(r.etichetta, c.atteso.etichetta) << c.x.valore << " " << c.y.valore;
    EXPECT_EQ(r.valore, c.atteso.valore) << c.x.valore << " " << c.y.valore;
  }
}

// Signals within 20 cells before a warning point.
TEST(PassataFinitura, SignalsBeforeAWarningPoint) {
  const caso_passata casi[] = {
      {"cell 19 gets 180", 60, {{30, kAvviso, 60}, {20, kSegnale}}, {marca(19)}, {}},
      {"a mountain cell is free", 60, {{30, kAvviso, 60}, {20, kSegnale}, {19, kMontagna}}, {marca(19)}, {}},
      {"150 is kept; the signal at 18 gets its own mark",
       60,
       {{30, kAvviso, 60}, {20, kSegnale}, {19, kAbbattimento, 150}, {18, kSegnale}},
       {marca(17)},
       {}},
      {"200 is lowered to 180",
       60,
       {{30, kAvviso, 60}, {20, kSegnale}, {19, kAbbattimento, 200}, {18, kSegnale}},
       {{19, kAbbattimento, 180}, marca(17)},
       {}},
      {"a free cell two before wins over lowering the point one before",
       60,
       {{30, kAvviso, 60}, {20, kSegnale}, {19, kAbbattimento, 200}},
       {marca(18)},
       {}},
      {"the point two before is lowered",
       60,
       {{30, kAvviso, 60}, {20, kSegnale}, {19, kCartello}, {18, kAbbattimento, 250}},
       {{18, kAbbattimento, 180}},
       {}},
      {"no room: error 11 at the signal",
       60,
       {{30, kAvviso, 60}, {20, kSegnale}, {19, kCartello}, {18, kCartello}},
       {},
       {{11, 1000}}},
      {"two warning points reaching one signal",
       60,
       {{30, kAvviso, 60}, {35, kAvviso, 60}, {20, kSegnale}},
       {marca(19), marca(18)},
       {}},
      {"20 cells back is reached", 60, {{40, kAvviso, 60}, {20, kSegnale}}, {marca(19)}, {}},
      {"21 cells back is not", 60, {{40, kAvviso, 60}, {19, kSegnale}}, {}, {}},
      {"a signal at cell 3 is examined", 60, {{10, kAvviso, 60}, {3, kSegnale}}, {marca(2)}, {}},
      {"a signal at cell 2 never is", 60, {{10, kAvviso, 60}, {2, kSegnale}}, {}, {}},
      {"a warning point in the last cell but one is not looked at", 40, {{38, kAvviso, 60}, {30, kSegnale}}, {}, {}},
  };
  for (const caso_passata& caso : casi) verifica_passata(caso);
}

// Steps B.1 to B.3: the look-backs ahead of a slow-order start. 120 km/h: no walk.
TEST(PassataFinitura, LookBacksAheadOfASlowOrderStart) {
  const caso_passata casi[] = {
      {"start at 7: none", 60, {{7, kInizio, 120}, {12, kFine, 120}}, {}, {}},
      {"start at 8: 5 to 7 only", 60, {{8, kInizio, 120}, {12, kFine, 120}}, {marca(3)}, {}},
      {"start at 13: 5 to 7 only", 60, {{13, kInizio, 120}, {20, kFine, 120}}, {marca(8)}, {}},
      {"start at 20: two", 60, {{20, kInizio, 120}, {25, kFine, 120}}, {marca(15), marca(9)}, {}},
      {"start at 21: all three", 60, {{21, kInizio, 120}, {25, kFine, 120}}, {marca(16), marca(10), marca(3)}, {}},
      {"the first free cell of each distance",
       60,
       {{30, kInizio, 120}, {40, kFine, 120}, {25, kCartello}, {19, kCartello}, {18, kCartello}},
       {marca(24), marca(17), marca(12)},
       {}},
      {"error 12, the other distances still tried",
       60,
       {{30, kInizio, 120}, {40, kFine, 120}, {25, kCartello}, {24, kCartello}, {23, kCartello}},
       {marca(19), marca(12)},
       {{12, 1500}}},
      {"every fault is kept, the last one in codice_errore",
       60,
       {{30, kInizio, 120},
        {40, kFine, 120},
        {25, kCartello},
        {24, kCartello},
        {23, kCartello},
        {19, kCartello},
        {18, kCartello},
        {17, kCartello}},
       {marca(12)},
       {{12, 1500}, {12, 1500}}},
  };
  for (const caso_passata& caso : casi) verifica_passata(caso);
}

// The walk inside slow orders below 110 km/h, and the mark after their end.
TEST(PassataFinitura, WalkInsideSlowOrdersAndTheSignalAfterTheEnd) {
  const std::vector<cella_a_mano> look_back_100 = {marca(95), marca(89), marca(82)};
  auto con = [](std::vector<cella_a_mano> a, const std::vector<cella_a_mano>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const caso_passata casi[] = {
      {"110 km/h: no walk", 60, {{30, kInizio, 110}, {50, kFine, 110}}, {marca(25), marca(19), marca(12)}, {}},
      {"109 km/h: a mark every 8 cells",
       60,
       {{30, kInizio, 109}, {50, kFine, 109}},
       {marca(25), marca(19), marca(12), marca(38), marca(46)},
       {}},
      {"a negative speed walks too",
       60,
       {{30, kInizio, -5}, {50, kFine, -5}},
       {marca(25), marca(19), marca(12), marca(38), marca(46)},
       {}},
      {"100 to 108: the end cell is taken, the mark goes to 107",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}},
       con(look_back_100, {marca(107)}),
       {}},
      {"100 to 130 with a signal at 116",
       200,
       {{100, kInizio, 60}, {130, kFine, 60}, {116, kSegnale}},
       con(look_back_100, {marca(108), marca(115), marca(123)}),
       {}},
      {"cells 108 and 107 taken: 109, then every 8 from there",
       200,
       {{100, kInizio, 60}, {130, kFine, 60}, {108, kCartello}, {107, kCartello}},
       con(look_back_100, {marca(109), marca(117), marca(125)}),
       {}},
      {"no room at 107 to 109: error 13 and no further mark in this walk",
       200,
       {{100, kInizio, 60}, {130, kFine, 60}, {107, kCartello}, {108, kCartello}, {109, kCartello}},
       look_back_100,
       {{13, 5400}}},
      {"a signal at the end + 3",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {111, kSegnale}},
       con(look_back_100, {marca(107), marca(110)}),
       {}},
      {"a signal at the end + 1 behind the walk's mark: error 13 at the end",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {109, kSegnale}},
       con(look_back_100, {marca(107)}),
       {{13, 5400}}},
      {"only the first signal after the end counts",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {111, kSegnale}, {114, kSegnale}},
       con(look_back_100, {marca(107), marca(110)}),
       {}},
      {"the end + 12 is still in the window",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {120, kSegnale}},
       con(look_back_100, {marca(107), marca(119)}),
       {}},
      {"the end + 13 is not",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {121, kSegnale}},
       con(look_back_100, {marca(107)}),
       {}},
      {"no room before the signal after the end: error 13 at the end",
       200,
       {{100, kInizio, 60}, {108, kFine, 60}, {111, kSegnale}, {110, kCartello}, {109, kCartello}},
       con(look_back_100, {marca(107)}),
       {{13, 5400}}},
      // From 110 km/h the window starts at the first end cell after the start.
      {"120 km/h: the window starts at the first end cell",
       200,
       {{100, kInizio, 120}, {108, kFine, 120}, {111, kSegnale}},
       con(look_back_100, {marca(110)}),
       {}},
      {"120 km/h: a signal at the end + 1 takes the cell before the end",
       200,
       {{100, kInizio, 120}, {108, kFine, 120}, {109, kSegnale}},
       con(look_back_100, {marca(107)}),
       {}},
      {"120 km/h: a signal inside the slow order is not searched",
       200,
       {{100, kInizio, 120}, {108, kFine, 120}, {104, kSegnale}},
       look_back_100,
       {}},
  };
  for (const caso_passata& caso : casi) verifica_passata(caso);
}

TEST(PassataFinitura, WalkEndsOnTheEndCellWithItsCounter) {
  struct caso {
    std::string nome;
    std::vector<cella_a_mano> prima;
    esito_cammino atteso;
  };
  const caso casi[] = {
      {"100 to 108", {{100, kInizio, 60}, {108, kFine, 60}}, {108, 1, true}},
      {"100 to 130 with a signal at 116", {{100, kInizio, 60}, {130, kFine, 60}, {116, kSegnale}}, {130, 7, true}},
      {"mark after the eighth cell",
       {{100, kInizio, 60}, {120, kFine, 60}, {108, kCartello}, {107, kCartello}},
       {120, 3, true}},
      {"after error 13 the counter runs on from 8",
       {{100, kInizio, 60}, {120, kFine, 60}, {107, kCartello}, {108, kCartello}, {109, kCartello}},
       {120, 20, true}},
      {"end right after the start", {{100, kInizio, 60}, {101, kFine, 60}}, {101, 1, true}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Stato s = stato_con(200, c.prima);
    const esito_cammino e = cammina_rallentamento(s, 100);
    EXPECT_EQ(e.cella, c.atteso.cella);
    EXPECT_EQ(e.contatore, c.atteso.contatore);
    EXPECT_EQ(e.fine_trovata, c.atteso.fine_trovata);
  }
}

// The pass never looks beyond the last cell (40 cells: the last is 39). Under the
// sanitizers a look past it would fail here.
TEST(PassataFinitura, StaysInsideTheTrack) {
  const caso_passata casi[] = {
      {"a slow order with no end cell: the walk stops at the last cell",
       40,
       {{30, kInizio, 60}},
       {marca(25), marca(19), marca(12), marca(38)},
       {}},
      {"no end cell and signals after the start: no window searched",
       40,
       {{30, kInizio, 60}, {33, kSegnale}, {39, kSegnale}},
       {marca(25), marca(19), marca(12), marca(38)},
       {}},
      {"120 km/h with no end cell: no window",
       40,
       {{30, kInizio, 120}, {33, kSegnale}},
       {marca(25), marca(19), marca(12)},
       {}},
      {"the eighth cell is the last and it and the one before are taken: error 13",
       40,
       {{31, kInizio, 60}, {38, kCartello}, {39, kCartello}},
       {marca(26), marca(20), marca(13)},
       {{13, 1950}}},
      {"the window is cut at the last cell",
       40,
       {{20, kInizio, 120}, {35, kFine, 120}, {39, kSegnale}},
       {marca(15), marca(9), marca(38)},
       {}},
      {"a start in the last cell but one is not looked at", 40, {{38, kInizio, 60}}, {}, {}},
      {"a start in the last cell but two walks to the end",
       40,
       {{37, kInizio, 60}},
       {marca(32), marca(26), marca(19)},
       {}},
  };
  for (const caso_passata& caso : casi) verifica_passata(caso);

  Stato s = stato_con(40, {{31, kInizio, 60}});
  const esito_cammino e = cammina_rallentamento(s, 31);
  EXPECT_EQ(e.cella, 39);
  EXPECT_FALSE(e.fine_trovata);
}

TEST(PassataFinitura, TinyOrMissingTracksAreLeftAlone) {
  for (int celle : {0, 1, 2, 3}) {
    Stato s;
    s.percorso.assign(static_cast<std::size_t>(celle), tratto{});
    if (celle > 1) s.percorso[1].tipo = kInizio;
    passata_finitura(s);
    EXPECT_TRUE(s.avvisi.empty()) << celle;
    if (celle > 1) {
      EXPECT_EQ(s.percorso[1].tipo, kInizio) << celle;
    }
  }
}

}  // namespace
}  // namespace cmp
