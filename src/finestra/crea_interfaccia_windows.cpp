#include "finestra/interfaccia.h"
#include "finestra/win32_interfaccia.h"

namespace cmp {

// The window is linked in (user32 and gdi32 are on every Windows); the terminal when no
// window can be made.
std::unique_ptr<Interfaccia> crea_interfaccia() {
  if (auto finestra = apri_interfaccia_win32()) {
    libera_console_propria();  // before the window shows: the user sees it alone
    return finestra;
  }
  return std::make_unique<InterfacciaTerminale>();
}

}  // namespace cmp
