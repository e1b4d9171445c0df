#pragma once
// The window implementation of the user interface, on X11. Nothing here needs the X
// headers: the rest of the program sees only `Interfaccia`.
#include <memory>

#include "finestra/interfaccia.h"

namespace cmp {

// The waiting window and the error box on the display named by DISPLAY; nullptr when
// DISPLAY is unset, the display does not open or no font can be had, so that the
// caller falls back to the terminal.
std::unique_ptr<Interfaccia> apri_interfaccia_x11();

}  // namespace cmp
