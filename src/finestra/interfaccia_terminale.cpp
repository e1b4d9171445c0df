#include <cstdio>

#include "finestra/interfaccia.h"

namespace cmp {

void InterfacciaTerminale::mostra_attesa() {
  std::fputs("Attendere\n", stdout);
  std::fflush(stdout);
}

void InterfacciaTerminale::mostra_errore(const std::string& messaggio) {
  std::fprintf(stderr, "%s\n", messaggio.c_str());
  std::fflush(stderr);
}

}  // namespace cmp
