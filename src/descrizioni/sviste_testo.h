#pragma once
// The slips an author makes that the readers take in silence: a row the readers read
// otherwise than it was meant, or skip. Like the check over the texts, these are found
// apart from the compile and never change a byte of the binary files.
#include <cstdint>
#include <string_view>
#include <vector>

#include "descrizioni/avvisi_testo.h"
#include "compilazione/compila.h"

namespace cmp {

// The slips seen in the text alone, in the order of its lines: a station's name that is
// a number or is cut at a comma, a general keyword of the line with capitals, rows
// outside their section or under a missing header, a curve's class with no 'curva', a
// blank and a number where the comma belongs, lines ended by a CR alone. One pass over
// the text, each keyword field matched once.
std::vector<avviso_testo> sviste_del_testo(std::string_view testo, formato_descrizione formato);

// The slips seen in the rows the readers took (the outcome's record): gradient and
// profile rows out of order, rows past the line's length in the run-out after it.
// Each warning names the text it points into.
struct svista_di_riga {
  testo_descrizione testo;
  avviso_testo avviso;
};
std::vector<svista_di_riga> sviste_delle_righe(const esito_compilazione& esito, std::int32_t lunghezza_linea);

}  // namespace cmp
