#pragma once
// The broken invariants of one input, shared by the compile and the decoder checks.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

namespace cmp::fuzz {

class Violazioni {
 public:
  explicit Violazioni(std::vector<std::string>& elenco) : elenco_(elenco) {}
  // The message is built only for a broken invariant: the checks run for every input.
  void che(bool condizione, const char* violazione) {
    if (!condizione) elenco_.emplace_back(violazione);
  }
  template <typename Messaggio>
  requires std::is_invocable_r_v<std::string, Messaggio>
  void che(bool condizione, Messaggio violazione) {
    if (!condizione) elenco_.push_back(violazione());
  }

 private:
  std::vector<std::string>& elenco_;
};

// A fuzz target's end for a broken invariant: the invariants on standard error, then an
// abort, which libFuzzer reports as it reports a sanitizer's finding (the input is kept).
inline void interrompi_se_violate(const char* bersaglio, const std::vector<std::string>& violazioni) {
  if (violazioni.empty()) return;
  for (const auto& v : violazioni) std::fprintf(stderr, "%s: %s\n", bersaglio, v.c_str());
  std::abort();
}

}  // namespace cmp::fuzz
