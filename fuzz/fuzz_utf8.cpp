// Arbitrary bytes as a description in UTF-8, converted to Windows-1252 as
// `compile --encoding utf-8` does and, when it converts, checked (byte 0 as fuzz_testo's;
// see verifica_testo.h). Any broken invariant aborts; work that grows faster than the text
// shows as a timeout.
#include "verifica_testo.h"
#include "violazioni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  cmp::fuzz::interrompi_se_violate("fuzz_utf8",
                                   cmp::fuzz::converti_e_verifica(cmp::fuzz::ingresso_di_testo(dati, n)).violazioni);
  return 0;
}
