#include "finish/codici_controllo.h"

#include <string>

#include "model/cp1252.h"

namespace cmp {
namespace {

constexpr std::string_view kRiempimento = "aabbccddeeffgghhiillmmnnoo";
constexpr int kCaratteriContati = 25;

std::string testo_di_lavoro(const Stato& s) {
  std::string w = minuscolo_cp1252(testo_numero_treno(s.scenario) + testo_nome_linea(s.scenario));
  w += kRiempimento;
  return w;
}

int codice(char c) { return static_cast<unsigned char>(c); }

}  // namespace

std::int16_t codice_gara_og(const Stato& s) {
  const std::string w = testo_di_lavoro(s);
  std::int16_t somma = 0;
  for (int i = 0; i < kCaratteriContati; ++i) somma = static_cast<std::int16_t>(somma + codice(w[i]));
  return somma;
}

std::int32_t codice_gara_st(const Stato& s) {
  const std::string w = testo_di_lavoro(s);
  std::int32_t somma = 0;
  for (int i = 0; i < kCaratteriContati; ++i) somma += (i + 1) * codice(w[i]);
  return somma;
}

}  // namespace cmp
