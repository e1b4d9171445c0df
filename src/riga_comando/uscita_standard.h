#pragma once
// Everything the commands print on standard output goes through here, so that a write
// the system refuses (a full disk, /dev/full) is never taken for success: the run ends
// with one line, "compattatore: error: cannot write standard output: REASON", and
// status 3. (The language server writes through its own transport.)
#include <stdexcept>
#include <string_view>

namespace cmp {

class ErroreUscitaStandard : public std::runtime_error {
 public:
  explicit ErroreUscitaStandard(int numero_errore);
};

// Writes the text and flushes it; throws ErroreUscitaStandard when either fails.
void stampa_uscita(std::string_view testo);

// At the end of a command: what is still buffered flushed, and any write that failed
// unseen told, by the same exception.
void chiudi_uscita_standard();

}  // namespace cmp
