#pragma once
// The facts of the built-in train as the compiled state must hold them, whatever line lies
// under it: one expected table each, for every test that reads the built-in train.
#include <gtest/gtest.h>

#include "model/stato.h"

namespace cmp::prova {

inline void verifica_segnali_incorporati(const Stato& s) {
  struct segnale {
    int cella;
    std::int16_t p1, p2, p3, p4;
    int avviso_base;
  };
  const segnale segnali[] = {{89, 40, 10, 0, 3, 30},  {113, 30, 10, 0, 6, 60}, {347, 50, 10, 0, 3, 30},
                             {369, 30, 10, 0, 6, 60}, {531, 33, 41, 0, 4, 40}, {554, 22, 31, 0, 8, 80}};
  for (const auto& g : segnali) {
    const tratto& t = s.percorso[g.cella];
    EXPECT_EQ(t.tipo, tipo_cella::segnale) << g.cella;
    EXPECT_EQ(t.parametro1, g.p1) << g.cella;
    EXPECT_EQ(t.parametro2, g.p2) << g.cella;
    EXPECT_EQ(t.parametro3, g.p3) << g.cella;
    EXPECT_EQ(t.parametro4, g.p4) << g.cella;
    EXPECT_EQ(t.tempo, 0) << g.cella;
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(s.percorso[g.cella - 2 * k].avviso, g.avviso_base + k) << g.cella;
  }
}

// The four stations: entries 1 to 4, stop cells and the markers before them.
inline void verifica_stazioni_incorporate(const Stato& s) {
  struct stazione {
    std::uint8_t tipo;
    std::int32_t intero3, intero1, intero2, intero4;
    int fermata;
    int avvisi;  // markers 81.. in the cells before the stop cell
    std::uint8_t ottetto4;
    const char* nome;
  };
  const stazione stazioni[] = {
      {2, 0, -300, 300, 22335, 5, 3, 0, "VALLORSA C."},
      {21, 6600, 6450, 6800, 22800, 135, 4, 1, "SAN LORIANO"},
      {21, 19050, 18900, 19250, 23520, 384, 4, 1, "BRENZOLA"},
      {11, 28750, 28450, 29050, 24180, 580, 4, 0, "PIETRANA"},
  };
  for (int n = 1; n <= 4; ++n) {
    const stazione& a = stazioni[n - 1];
    const voce_scenario& v = s.scenario[n];
    EXPECT_EQ(v.tipo, a.tipo) << n;
    EXPECT_EQ(v.intero3, a.intero3) << n;
    EXPECT_EQ(v.intero1, a.intero1) << n;
    EXPECT_EQ(v.intero2, a.intero2) << n;
    EXPECT_EQ(v.intero4, a.intero4) << n;
    EXPECT_EQ(v.ottetto4, a.ottetto4) << n;
    EXPECT_EQ(v.ottetto5, 0) << n;
    EXPECT_EQ(v.testo, a.nome) << n;
    EXPECT_EQ(s.percorso[a.fermata].tipo, tipo_cella::fermata) << n;
    EXPECT_EQ(s.percorso[a.fermata].parametro1, n) << n;
    for (int k = 1; k <= a.avvisi; ++k) EXPECT_EQ(s.percorso[a.fermata - k].avviso, 80 + k) << n;
  }
  EXPECT_EQ(s.scenario[5].tipo, 0);
  EXPECT_TRUE(s.scenario[5].testo.empty());
}

}  // namespace cmp::prova
