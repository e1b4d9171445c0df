// Arbitrary bytes as the line description, with the minimal train description after it.
// The first byte chooses the plan setting (its lowest bit). Any broken invariant aborts.
#include <cstdio>
#include <cstdlib>

#include "verifica.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  const auto esito = cmp::fuzz::compila_e_verifica(cmp::fuzz::ingresso_linea(dati, n));
  if (esito.violazioni.empty()) return 0;
  for (const auto& v : esito.violazioni) std::fprintf(stderr, "fuzz_linea: %s\n", v.c_str());
  std::abort();
}
