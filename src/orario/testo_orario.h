#pragma once
// The fastest run in words: times of the day, the assumptions, and the messages of the
// warnings it gives (301, 302), the same in the terminal, on the page and in the editor.
#include <optional>
#include <string>

#include "orario/corsa_minima.h"

namespace cmp {

// Seconds since midnight as hh:mm:ss, with tenths when `decimi` (06:18:18.9); hours past
// 23 as they are (a run past midnight), a time before midnight with a minus sign.
std::string ora_del_giorno(double secondi, bool decimi);

// A number with `cifre` decimals, as every output of the run writes it ("0.50").
std::string in_decimali(double x, int cifre);

// The name of why a run stops, as --json and the page's data give it ("salita").
const char* nome_motivo(blocco_corsa::motivo m);

// "0.50 m/s² (assumed)", "0.70 m/s² (from 105 % braked weight, Minden formula)", "0.60 m/s² (given)".
std::string testo_accelerazione(const corsa_minima& c);
std::string testo_decelerazione(const corsa_minima& c);

// The warning a station gives, or none: 301 when the fastest run reaches it after its time
// (or not at all), 302 when its margin is below `margine_minimo` per cent. UTF-8.
struct avviso_orario {
  int numero = 0;
  std::string messaggio;
};
std::optional<avviso_orario> avviso_stazione(const corsa_minima& c, const stazione_corsa& s, double margine_minimo);

// "earliest arrival 06:18:18.9, margin 101.1 s (21.7 %)", for the hover of a station row.
std::string riassunto_stazione(const corsa_minima& c, const stazione_corsa& s);

}  // namespace cmp
