// Arbitrary bytes as a line or train description, through the check over the texts and
// its keyword-likeness check (byte 0: the format and how many times the rest is repeated;
// see verifica_testo.h). Any broken invariant aborts; work that grows faster than the text
// shows as a timeout.
#include "verifica_testo.h"
#include "violazioni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  cmp::fuzz::interrompi_se_violate("fuzz_testo",
                                   cmp::fuzz::controlla_e_verifica(cmp::fuzz::ingresso_di_testo(dati, n)).violazioni);
  return 0;
}
