#include "finestra/x11_geometria.h"

#include <algorithm>
#include <cstdlib>

#include "model/arrotonda.h"

namespace cmp::x11 {
namespace {

constexpr double kDpiDiRiferimento = 96.0;

// A length given for a 96-dpi screen, at this resolution.
int scala(int pixel_a_96, double dpi) {
  return static_cast<int>(std::max<std::int64_t>(1, arrotonda(pixel_a_96 * dpi / kDpiDiRiferimento)));
}

}  // namespace

int pixel_carattere(double punti, double dpi) {
  return static_cast<int>(std::max<std::int64_t>(1, arrotonda(punti * dpi / 72.0)));
}

double scegli_dpi(const char* risorsa_xft_dpi, int larghezza_pixel, int larghezza_mm) {
  if (risorsa_xft_dpi != nullptr) {
    char* fine = nullptr;
    const double dpi = std::strtod(risorsa_xft_dpi, &fine);
    if (fine != risorsa_xft_dpi && *fine == '\0' && dpi > 0.0 && dpi < 10000.0) return dpi;
  }
  if (larghezza_pixel > 0 && larghezza_mm > 0) return larghezza_pixel * 25.4 / larghezza_mm;
  return kDpiDiRiferimento;
}

DisposizioneRiquadro disponi_riquadro(int larghezza_testo, int altezza_testo, double dpi) {
  const int margine = scala(12, dpi);
  const int spazio = scala(16, dpi);
  const int larghezza_pulsante = scala(75, dpi);
  const int altezza_pulsante = scala(23, dpi);
  const int larghezza_minima = scala(200, dpi);

  DisposizioneRiquadro d;
  d.larghezza = std::max({larghezza_testo + 2 * margine, larghezza_pulsante + 2 * margine, larghezza_minima});
  d.testo = {margine, margine, larghezza_testo, altezza_testo};
  d.pulsante = {(d.larghezza - larghezza_pulsante) / 2, margine + altezza_testo + spazio, larghezza_pulsante,
                altezza_pulsante};
  d.altezza = d.pulsante.y + altezza_pulsante + margine;
  return d;
}

}  // namespace cmp::x11
