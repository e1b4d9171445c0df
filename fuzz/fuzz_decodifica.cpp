// Arbitrary bytes as each of the three binary files, then taken apart into the three files
// of one scenario and loaded and drawn as plot --from does (see verifica_decodifica.h).
// Any broken invariant aborts.
#include <cstdio>
#include <cstdlib>

#include "verifica_decodifica.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  const auto esito = cmp::fuzz::decodifica_e_verifica(dati, n);
  if (esito.violazioni.empty()) return 0;
  for (const auto& v : esito.violazioni) std::fprintf(stderr, "fuzz_decodifica: %s\n", v.c_str());
  std::abort();
}
