#pragma once
#include <string>

#include "model/stato.h"

namespace cmp {

// File names of a scenario, built by plain concatenation of the identity
// (Windows-1252 bytes, as held in the state).
inline std::string nome_descrizione_linea(const Stato& s) { return s.nome_linea + "_linea.txt"; }
inline std::string nome_descrizione_treno(const Stato& s) {
  return s.nome_linea + "_" + s.numero_treno + "-.txt";
}
inline std::string nome_file_tabella_linea(const Stato& s) { return s.nome_linea + "_linea.dat"; }
inline std::string nome_file_scenario(const Stato& s) { return s.nome_linea + "_" + s.numero_treno + ".sim"; }
inline std::string nome_file_percorso(const Stato& s) { return s.nome_linea + "_" + s.numero_treno + ".dat"; }
inline std::string nome_documento(const Stato& s, const std::string& suffisso) {
  return s.nome_linea + "_" + s.numero_treno + "_" + suffisso;
}

}  // namespace cmp
