// compattatore export: the built-in descriptions and crew documents, as a starting point.
#include <cstdio>
#include <filesystem>

#include "app/cartella_disco.h"
#include "app/opzioni.h"
#include "app/riga_comando.h"

namespace cmp {

int comando_esporta(const std::vector<std::string>& argomenti) {
  (void)argomenti;
  segnala("export: not available yet");
  return kUscitaUso;
}

}  // namespace cmp
