#include "finestra/win32_geometria.h"

#include "model/arrotonda.h"

namespace cmp::win32 {

int pixel_da_twip(int twip, int dpi) {
  return static_cast<int>(arrotonda(static_cast<double>(twip) * dpi / kTwipPerPollice));
}

DisposizioneAttesa disponi_attesa(int dpi_x, int dpi_y) {
  DisposizioneAttesa d;
  d.larghezza = pixel_da_twip(kLarghezzaAttesaTwip, dpi_x);
  d.altezza = pixel_da_twip(kAltezzaAttesaTwip, dpi_y);
  d.etichetta = {pixel_da_twip(kEtichettaTwip.x, dpi_x), pixel_da_twip(kEtichettaTwip.y, dpi_y),
                 pixel_da_twip(kEtichettaTwip.larghezza, dpi_x), pixel_da_twip(kEtichettaTwip.altezza, dpi_y)};
  // A point is 20 twips: the face's height follows the vertical resolution.
  d.altezza_carattere = pixel_da_twip(kPuntiEtichetta * 20, dpi_y);
  return d;
}

}  // namespace cmp::win32
