#include "finestra/interfaccia.h"

#ifdef COMPATTATORE_X11
#include "finestra/x11_interfaccia.h"
#endif

namespace cmp {

std::unique_ptr<Interfaccia> crea_interfaccia() {
#ifdef COMPATTATORE_X11
  if (auto finestra = apri_interfaccia_x11()) return finestra;
#endif
  return std::make_unique<InterfacciaTerminale>();
}

}  // namespace cmp
