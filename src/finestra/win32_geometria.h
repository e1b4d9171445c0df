#pragma once
// The waiting window as the form gives it, in twips (1/1440 inch), and its size in pixels
// at the display's resolution: shared by the Windows window and its tests. Plain
// arithmetic, no Windows header.
#include <string_view>

namespace cmp::win32 {

inline constexpr int kTwipPerPollice = 1440;

struct Rettangolo {
  int x = 0;
  int y = 0;
  int larghezza = 0;
  int altezza = 0;
  friend bool operator==(const Rettangolo&, const Rettangolo&) = default;
};

// The client area and the label, in twips.
inline constexpr int kLarghezzaAttesaTwip = 4200;
inline constexpr int kAltezzaAttesaTwip = 2688;
inline constexpr Rettangolo kEtichettaTwip{960, 960, 2652, 792};

inline constexpr std::string_view kTestoEtichetta = "Attendere";
inline constexpr std::string_view kCarattereEtichetta = "MS Sans Serif";
inline constexpr int kPuntiEtichetta = 24;
inline constexpr int kPesoEtichetta = 700;  // bold

// The title bar of the waiting window; the error box keeps the system's default title.
inline constexpr std::string_view kTitolo = "compattatore";
// The window class, so that a test (or a tool) can find the window.
inline constexpr std::string_view kClasseAttesa = "compattatore_attesa";

// Twips as pixels at `dpi` dots per inch, to the nearest pixel (halves to the even one).
int pixel_da_twip(int twip, int dpi);

// Everything the window needs, in pixels, for the display's horizontal and vertical
// resolutions: 280 x 179 with the label at 64, 64, 177 x 53 and a face 32 pixels high
// at 96 dpi.
struct DisposizioneAttesa {
  int larghezza = 0;  // of the client area
  int altezza = 0;
  Rettangolo etichetta;
  int altezza_carattere = 0;  // the em height of the 24-point face (a LOGFONT's -lfHeight)
};
DisposizioneAttesa disponi_attesa(int dpi_x, int dpi_y);

}  // namespace cmp::win32
