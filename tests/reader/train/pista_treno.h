#pragma once
// A hand-made track for the train reader, and small train texts to read on it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/stato.h"
#include "reader/train/lettore_treno.h"

namespace cmp::prova {

// The built-in line's track: cells 0 to 760, 28 caption texts (the next one would be entry 52).
inline Stato pista(std::size_t celle = 761) {
  Stato s;
  s.percorso.assign(celle, tratto{});
  s.voce_cartello = 52;
  return s;
}

// "[generale]", the rows, and the closing line that is never used; CR LF after each line.
inline std::string testo_treno(const std::vector<std::string>& righe) {
  std::string t = "[generale]\r\n";
  for (const auto& r : righe) t += r + "\r\n";
  return t + "[fine]\r\n";
}

inline esito_lettura leggi(Stato& s, const std::vector<std::string>& righe) {
  return leggi_descrizione_treno(s, testo_treno(righe));
}

}  // namespace cmp::prova
