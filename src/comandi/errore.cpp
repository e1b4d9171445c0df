#include "comandi/errore.h"

#include <cstdio>
#include <cstdlib>

namespace cmp {

std::string messaggio_errore(const std::string& a) { return " Errore n. " + a; }

void errore(Interfaccia& ui, const std::string& a) {
  ui.mostra_errore(messaggio_errore(a));
  std::fflush(nullptr);
  std::exit(kUscitaErroreFinale);
}

}  // namespace cmp
