// Font sizes, resolution and the layout of the error box: arithmetic with no server.
#ifdef COMPATTATORE_X11
#include "finestra/x11_geometria.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace cmp::x11 {
namespace {

TEST(GeometriaX11, PixelSizeOfAFaceRoundsToTheNearestPixel) {
  struct Caso {
    double punti, dpi;
    int pixel;
  };
  const Caso casi[] = {
      {24, 96, 32},  {24, 100, 33}, {24, 144, 48},
      {24, 192, 64}, {9, 96, 12},   {9, 100, 12},  // 12.5: a half goes to the even pixel
      {27, 36, 14},                                // 13.5
      {1, 1, 1},                                   // never below one pixel
  };
  for (const auto& c : casi) EXPECT_EQ(pixel_carattere(c.punti, c.dpi), c.pixel) << c.punti << " pt at " << c.dpi;
}

TEST(GeometriaX11, ResolutionPrefersTheXftResourceThenTheScreen) {
  struct Caso {
    const char* risorsa;
    int pixel, mm;
    double dpi;
  };
  const Caso casi[] = {
      {"144", 1024, 260, 144.0}, {nullptr, 1024, 260, 1024 * 25.4 / 260},
      {"0", 1920, 508, 96.0},    {"abc", 1920, 508, 96.0},
      {"96x", 1920, 508, 96.0},  {"-5", 1920, 508, 96.0},
      {nullptr, 1024, 0, 96.0},  // a screen that does not know its size
  };
  for (const auto& c : casi)
    EXPECT_DOUBLE_EQ(scegli_dpi(c.risorsa, c.pixel, c.mm), c.dpi) << (c.risorsa ? c.risorsa : "(none)");
}

TEST(GeometriaX11, TheBoxHoldsTheMessageAboveACentredOk) {
  for (const double dpi : {96.0, 192.0}) {
    for (const int testo : {0, 90, 600}) {
      const DisposizioneRiquadro d = disponi_riquadro(testo, 15, dpi);
      const Rettangolo& p = d.pulsante;
      EXPECT_GE(d.testo.x, 1);
      EXPECT_LE(d.testo.x + d.testo.larghezza, d.larghezza - d.testo.x) << "the message fits with equal margins";
      EXPECT_GT(p.y, d.testo.y + d.testo.altezza) << "OK lies below the message";
      EXPECT_LE(p.y + p.altezza, d.altezza - 1);
      EXPECT_LE(std::abs(p.x - (d.larghezza - p.x - p.larghezza)), 1) << "OK is centred";
      EXPECT_EQ(p.larghezza, dpi == 96.0 ? 75 : 150);
    }
  }
}

}  // namespace
}  // namespace cmp::x11
#endif  // COMPATTATORE_X11
