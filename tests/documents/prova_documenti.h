#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp::prova {

inline Stato stato_incorporato(std::string numero_treno = "4721") {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = std::move(numero_treno);
  return s;
}

// The lines of a file whose every line ends in CR LF. A CR or LF anywhere else, or
// bytes after the last CR LF, fail the test.
inline std::vector<std::string> righe_crlf(const std::string& byte) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < byte.size()) {
    const std::size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << "bytes after the last CR LF: " << byte.substr(inizio);
      break;
    }
    std::string riga = byte.substr(inizio, fine - inizio);
    EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << "lone CR or LF in line " << righe.size();
    righe.push_back(std::move(riga));
    inizio = fine + 2;
  }
  return righe;
}

// The lines of the document a writer leaves in a fresh folder under `nome`.
template <typename Scrittore>
std::vector<std::string> righe_scritte(Scrittore dati, const Stato& s, const std::string& nome) {
  CartellaMemoria cartella;
  dati(s, cartella);
  const auto byte = cartella.leggi(nome);
  if (!byte) {
    ADD_FAILURE() << "no file " << nome;
    return {};
  }
  return righe_crlf(*byte);
}

// Columns (from 1) where the character stands.
inline std::vector<int> colonne(std::string_view riga, char c) {
  std::vector<int> out;
  for (std::size_t i = 0; i < riga.size(); ++i)
    if (riga[i] == c) out.push_back(static_cast<int>(i) + 1);
  return out;
}

// Runs of the character as {first column, last column}.
inline std::vector<std::pair<int, int>> tratti(std::string_view riga, char c) {
  std::vector<std::pair<int, int>> out;
  for (std::size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] != c) continue;
    if (!out.empty() && out.back().second == static_cast<int>(i)) {
      out.back().second = static_cast<int>(i) + 1;
    } else {
      out.emplace_back(static_cast<int>(i) + 1, static_cast<int>(i) + 1);
    }
  }
  return out;
}

}  // namespace cmp::prova
