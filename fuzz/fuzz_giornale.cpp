// Arbitrary bytes as the journal an interrupted replacement left, put back over a folder
// in memory (byte 0 chooses what the folder holds; see verifica_giornale.h). Any broken
// invariant aborts.
#include "verifica_giornale.h"
#include "violazioni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  cmp::fuzz::interrompi_se_violate(
      "fuzz_giornale", cmp::fuzz::ripristina_e_verifica(cmp::fuzz::ingresso_di_giornale(dati, n)).violazioni);
  return 0;
}
