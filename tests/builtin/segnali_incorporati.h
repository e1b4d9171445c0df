#pragma once
// The six signals of the built-in train as the track must hold them, whatever line lies under them.
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

}  // namespace cmp::prova
