#pragma once
// The pieces of the page, shared by the files of the drawing module only.
#include <string>

#include "model/tabella_linea.h"
#include "plot/contenuto.h"

namespace cmp::disegno {

inline constexpr double kLarghezzaPagina = 1200.0;
inline constexpr double kMargine = 30.0;

// A panel drawn from a vertical offset: its SVG elements and the height it takes.
struct pannello {
  std::string svg;
  double altezza = 0.0;
};

// The plan panel, or an empty one (height 0) when the table holds no usable point.
pannello disegna_pianta(const TabellaLinea& tabella, const contenuto& c, double y0);

// The gradient and speed-limit profiles on the kilometre axis.
pannello disegna_profili(const contenuto& c, double y0);

// Shared shapes of the legends: a text at (x, y) with the given size and extra attributes.
std::string testo(double x, double y, double dimensione, const std::string& contenuto_xml,
                  const std::string& attributi = "");

}  // namespace cmp::disegno
