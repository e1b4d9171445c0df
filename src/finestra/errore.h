#pragma once
#include <string>

#include "compilazione/compila.h"
#include "errori/stati_uscita.h"
#include "finestra/interfaccia.h"

namespace cmp {

// " Errore n. " followed by the number.
std::string messaggio_errore(errore_finale e);

// Shows the numbered error and waits for the user to close it. Returns the status the
// program then ends with (kUscitaFinale).
int errore(Interfaccia& ui, errore_finale e);

}  // namespace cmp
