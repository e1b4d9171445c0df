#include <cstdio>

#include "messaggi/scrivi_flusso.h"

namespace cmp {

bool scrivi_flusso(std::FILE* flusso, std::string_view testo) {
  const bool scritto = std::fwrite(testo.data(), 1, testo.size(), flusso) == testo.size();
  return std::fflush(flusso) == 0 && scritto;
}

}  // namespace cmp
