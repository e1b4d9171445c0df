#pragma once
// What the tests that run the program on description texts share: the program, the names
// the built-in run gives its two texts, and the texts written from rows (the built-in
// ones, or with one row replaced).
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "supporto.h"

namespace cmp::prova {

inline const std::string kProgramma = COMPATTATORE_EXE;
inline const std::string kLinea = "VallorsaC_Pietrana_linea.txt";
inline const std::string kTreno = "VallorsaC_Pietrana_4721-.txt";

// The rows as the text the writer makes of them (CR LF lines).
inline std::string testo(const std::vector<std::string>& righe) { return testo_da_tabella(tabella_righe(righe)); }

// The text of these rows with one replaced (0-based index of the row).
inline std::string con_riga(std::vector<std::string> righe, std::size_t indice, const std::string& nuova) {
  righe.at(indice) = nuova;
  return testo(righe);
}

// The index of the first row that starts with `inizio`; a failure of the test when none does.
inline std::size_t indice_di(const std::vector<std::string>& righe, const std::string& inizio) {
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (righe[i].rfind(inizio, 0) == 0) return i;
  }
  ADD_FAILURE() << "no line starts with " << inizio;
  return 0;
}

inline bool contiene(const std::string& testo, const std::string& parte) {
  return testo.find(parte) != std::string::npos;
}

}  // namespace cmp::prova
