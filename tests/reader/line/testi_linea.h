#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "disco/cartella.h"
#include "model/nomi_file.h"
#include "model/stato.h"
#include "reader/line/lettore_linea.h"

namespace cmp::prova {

// Lines joined with CR LF after each.
inline std::string righe(std::initializer_list<std::string_view> r) {
  std::string out;
  for (auto riga : r) {
    out += riga;
    out += "\r\n";
  }
  return out;
}

// A line description of the given length with these rows (CR LF lines) in its row section.
inline std::string descrizione(const std::string& righe_sezione, std::int32_t lunghezza = 1000) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n[curve]\r\n" + righe_sezione +
         "[fine]\r\n";
}

struct Letta {
  Stato s;
  esito_lettura esito;
};

// Reads a line description into a fresh state.
inline Letta leggi(const std::string& testo, std::int32_t crea_tabella = 1) {
  Letta l{Stato{}, esito_lettura::completa};
  l.s.crea_tabella_linea = crea_tabella;
  l.esito = leggi_descrizione_linea(l.s, testo);
  return l;
}

}  // namespace cmp::prova
