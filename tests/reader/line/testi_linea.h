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
#include "compilazione/da_cartella.h"

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

// A whole `leggi_da_cartella` on a folder in memory holding this line text (none when
// nullopt) and a train text.
struct Memorizzata {
  Stato s;
  CartellaMemoria cartella;
  bool linea_rimasta() { return cartella.esiste(nome_descrizione_linea(s)); }
  bool treno_rimasto() { return cartella.esiste(nome_descrizione_treno(s)); }
};

inline Memorizzata memorizza(const std::optional<std::string>& testo_linea, std::int32_t crea_tabella = 1) {
  Memorizzata m;
  m.s.nome_linea = "Linea";
  m.s.numero_treno = "1";
  m.s.crea_tabella_linea = crea_tabella;
  if (testo_linea) m.cartella.file[nome_descrizione_linea(m.s)] = *testo_linea;
  m.cartella.file[nome_descrizione_treno(m.s)] = "[treno]\r\n[fine]\r\n";
  leggi_da_cartella(m.s, m.cartella);
  return m;
}

}  // namespace cmp::prova
