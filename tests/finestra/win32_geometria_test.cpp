// The form's twips in pixels at the resolutions Windows offers.
#include "finestra/win32_geometria.h"

#include <gtest/gtest.h>

namespace cmp::win32 {
namespace {

TEST(GeometriaWin32, TheFormsTwipsBecomePixelsAtEachResolution) {
  struct Caso {
    int dpi;
    int larghezza, altezza;
    Rettangolo etichetta;
    int carattere;
  };
  // 15 twips a pixel at 96 dpi; the rest scale with it, to the nearest pixel.
  const Caso casi[] = {
      {96, 280, 179, {64, 64, 177, 53}, 32},
      {120, 350, 224, {80, 80, 221, 66}, 40},
      {144, 420, 269, {96, 96, 265, 79}, 48},
      {192, 560, 358, {128, 128, 354, 106}, 64},
  };
  for (const auto& c : casi) {
    const DisposizioneAttesa d = disponi_attesa(c.dpi, c.dpi);
    EXPECT_EQ(d.larghezza, c.larghezza) << c.dpi;
    EXPECT_EQ(d.altezza, c.altezza) << c.dpi;
    EXPECT_EQ(d.etichetta, c.etichetta) << c.dpi;
    EXPECT_EQ(d.altezza_carattere, c.carattere) << c.dpi;
  }
}

TEST(GeometriaWin32, WidthsFollowTheHorizontalAndHeightsTheVerticalResolution) {
  const DisposizioneAttesa d = disponi_attesa(96, 192);
  EXPECT_EQ(d.larghezza, 280);
  EXPECT_EQ(d.altezza, 358);
  EXPECT_EQ(d.etichetta, (Rettangolo{64, 128, 177, 106}));
  EXPECT_EQ(d.altezza_carattere, 64);
}

}  // namespace
}  // namespace cmp::win32
