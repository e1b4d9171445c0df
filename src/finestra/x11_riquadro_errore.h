#pragma once
#include <string>

#include "finestra/x11_schermo.h"

namespace cmp::x11 {

// The message in a modal box with a single OK, over `proprietaria` when there is one
// (None otherwise). Returns once the box is closed: a click on OK, Enter, Escape or
// the window manager's close.
void mostra_riquadro_errore(const Schermo& schermo, XftFont* carattere, const std::string& messaggio,
                            Window proprietaria);

}  // namespace cmp::x11
