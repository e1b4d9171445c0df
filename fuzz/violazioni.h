#pragma once
// The broken invariants of one input, shared by the compile and the decoder checks.
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

}  // namespace cmp::fuzz
