#include "messaggi/uscita_standard.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "messaggi/scrivi_flusso.h"

namespace cmp {

ErroreUscitaStandard::ErroreUscitaStandard(int numero_errore)
    : std::runtime_error(std::string("cannot write standard output: ") + std::strerror(numero_errore)) {}

void stampa_uscita(std::string_view testo) {
  errno = 0;
  if (!scrivi_flusso(stdout, testo)) {
    throw ErroreUscitaStandard(errno != 0 ? errno : EIO);
  }
}

void chiudi_uscita_standard() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw ErroreUscitaStandard(errno != 0 ? errno : EIO);
}

}  // namespace cmp
