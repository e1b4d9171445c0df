#include "finestra/errore.h"

#include <cstdio>

namespace cmp {

std::string messaggio_errore(errore_finale e) { return " Errore n. " + std::to_string(numero_finale(e)); }

int errore(Interfaccia& ui, errore_finale e) {
  ui.mostra_errore(messaggio_errore(e));
  std::fflush(nullptr);
  return kUscitaFinale;
}

}  // namespace cmp
