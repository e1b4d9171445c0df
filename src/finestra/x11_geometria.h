#pragma once
// Sizes and names of the two windows, in pixels, shared by the X11 code and its tests.
#include <string_view>

namespace cmp::x11 {

struct Rettangolo {
  int x = 0;
  int y = 0;
  int larghezza = 0;
  int altezza = 0;
  bool contiene(int px, int py) const { return px >= x && py >= y && px < x + larghezza && py < y + altezza; }
};

// The waiting window, in pixels.
inline constexpr int kLarghezzaAttesa = 280;
inline constexpr int kAltezzaAttesa = 179;
// The box of the word "Attendere" inside it: left, top, width, height.
inline constexpr Rettangolo kEtichetta{64, 64, 177, 53};
inline constexpr std::string_view kTestoEtichetta = "Attendere";
inline constexpr double kPuntiEtichetta = 24.0;
// The message box uses the desktop's ordinary dialog face.
inline constexpr double kPuntiMessaggio = 9.0;

// Title bar of both windows (the box has no title of its own: it takes the program's).
inline constexpr std::string_view kTitolo = "compattatore";
// WM_WINDOW_ROLE of each window, so that a window manager (or a test) can tell them apart.
inline constexpr std::string_view kRuoloAttesa = "attesa";
inline constexpr std::string_view kRuoloErrore = "errore";

// Pixel size of a face of `punti` points at `dpi` dots per inch, to the nearest pixel.
int pixel_carattere(double punti, double dpi);

// The resolution fonts are sized for: the Xft.dpi resource when it holds a positive
// number (the desktop's own setting), otherwise the screen's width in pixels over its
// width in millimetres, otherwise 96.
double scegli_dpi(const char* risorsa_xft_dpi, int larghezza_pixel, int larghezza_mm);

// Where the parts of the error box go, for a message of this ink size at this resolution.
struct DisposizioneRiquadro {
  int larghezza = 0;
  int altezza = 0;
  Rettangolo testo;     // the message, one line
  Rettangolo pulsante;  // OK
};
DisposizioneRiquadro disponi_riquadro(int larghezza_testo, int altezza_testo, double dpi);

}  // namespace cmp::x11
