#include <cstdio>

#include "finestra/interfaccia.h"
#include "messaggi/scrivi_flusso.h"

namespace cmp {

void InterfacciaTerminale::mostra_attesa() { scrivi_flusso(stdout, "Attendere\n"); }

void InterfacciaTerminale::mostra_errore(const std::string& messaggio) { scrivi_flusso(stderr, messaggio + "\n"); }

}  // namespace cmp
