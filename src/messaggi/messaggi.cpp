#include "messaggi/messaggi.h"

#include <cstdio>

#include "messaggi/scrivi_flusso.h"
#include "model/testo_visibile.h"

namespace cmp {
namespace {

void riga_errore(const char* livello, const std::string& testo) {
  const std::string riga = std::string("compattatore: ") + livello + ": " + testo_visibile(testo) + "\n";
  scrivi_flusso(stderr, riga);
}

}  // namespace

void segnala(const std::string& testo) { riga_errore("error", testo); }

void avvisa(const std::string& testo) { riga_errore("warning", testo); }

}  // namespace cmp
