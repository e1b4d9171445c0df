#include "plot/righe_rilette.h"

#include <charconv>

#include "reader/comune/lettore_campi.h"

namespace cmp::disegno {
namespace {

std::string_view senza_blank(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<std::int64_t> intero(std::string_view s) {
  s = senza_blank(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  std::int64_t v = 0;
  const auto [fine, esito] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || esito != std::errc{} || fine != s.data() + s.size()) return std::nullopt;
  return v;
}

void aggiungi_campo(riga_riletta& r, std::string_view campo) {
  if (const auto n = intero(campo)) {
    r.numeri.push_back(*n);
  } else if (!senza_blank(campo).empty()) {
    r.testo = std::string(senza_blank(campo));
  }
}

}  // namespace

std::vector<riga_riletta> rileggi_righe(std::string_view testo, int file) {
  std::vector<riga_riletta> out;
  LettoreCampi lettore(testo);
  int riga_corrente = 0;
  bool tenuta = false;
  while (!lettore.fine()) {
    const std::string campo = lettore.leggi_testo();
    if (lettore.riga_campo() != riga_corrente) {
      riga_corrente = lettore.riga_campo();
      const std::string_view chiave = senza_blank(campo);
      tenuta = !chiave.empty();
      if (tenuta) out.push_back({file, lettore.riga_campo(), lettore.colonna_campo(), std::string(chiave), {}, {}});
    } else if (tenuta) {
      aggiungi_campo(out.back(), campo);
    }
  }
  return out;
}

}  // namespace cmp::disegno
