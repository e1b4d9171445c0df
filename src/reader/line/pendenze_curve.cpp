#include "reader/line/pendenze_curve.h"

#include <algorithm>

#include "model/arrotonda.h"
#include "model/limiti_formato.h"
#include "reader/comune/aritmetica_32.h"

namespace cmp {
namespace {

// The plan is stepped no further than the longest line (error 103 beyond).
constexpr std::int64_t kMetroMassimoCurve = limiti_file::lunghezza_massima;

// The cell takes the gradient plus 100 in its 8 bits (-101 wraps to 255). The sum is
// made when a cell receives it, so a gradient replaced before it reaches a cell does no harm.
void scrivi_pendenza(Stato& s, cursori_righe& cur) {
  const std::int64_t piu_cento = entro_32(std::int64_t{cur.pendenza_precedente} + 100, "the gradient plus 100");
  s.percorso[static_cast<std::size_t>(cur.pendenza_cella)].pendenza = static_cast<std::uint8_t>(piu_cento);
  ++cur.pendenza_cella;
}

// The previous gradient up to cell `fino` (excluded). The first cell is written even
// when the cursor has already reached `fino`; nothing goes beyond the last cell.
void riempi_pendenza(Stato& s, cursori_righe& cur, std::int64_t fino) {
  const std::int64_t ultima = s.ultima_cella();
  do {
    if (cur.pendenza_cella > ultima) return;
    scrivi_pendenza(s, cur);
  } while (cur.pendenza_cella < fino);
}

// One metre of the plan: the previous step turned by k (k = 0 repeats it).
// Evaluated exactly in this order so that every value comes out bit for bit.
void passo_piano(TabellaLinea& t, std::int64_t c, double k) {
  const auto m = static_cast<std::size_t>(c);
  const double x1 = t.numero(m - 1, 0);
  const double y1 = t.numero(m - 1, 1);
  const double dx = x1 - t.numero(m - 2, 0);
  const double dy = y1 - t.numero(m - 2, 1);
  t.scrivi_doppio(m, 0, x1 + (dy * k + dx));
  t.scrivi_doppio(m, 1, y1 + (dy - dx * k));
}

// The last metre a step may write: the two last metres of the table stay empty.
std::int64_t ultimo_metro_calcolato(const Stato& s) { return static_cast<std::int64_t>(s.tabella_linea.righe()) - 3; }

}  // namespace

void avvia_piano(Stato& s) {
  s.tabella_linea.scrivi(0, 0, valore_etichettato::intero(0));
  s.tabella_linea.scrivi(0, 1, valore_etichettato::intero(0));
  s.tabella_linea.scrivi(1, 0, valore_etichettato::intero(0));
  s.tabella_linea.scrivi(1, 1, valore_etichettato::intero(1));
}

void riga_pendenza(Stato& s, cursori_righe& cur, std::int32_t p, std::int32_t v) {
  const std::int64_t n = arrotonda(limiti_file::in_celle(p));
  if (n > 0) riempi_pendenza(s, cur, n);
  cur.pendenza_precedente = v;
}

std::optional<double> curvatura(std::string_view chiave) {
  static constexpr double kPerClasse[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  const bool sinistra = chiave.find_first_of("sS") != std::string_view::npos;
  for (char classe = '1'; classe <= '6'; ++classe) {
    if (chiave.find(classe) == std::string_view::npos) continue;
    const double k = kPerClasse[classe - '1'];
    return sinistra ? -k : k;
  }
  return std::nullopt;
}

bool riga_curva(Stato& s, cursori_righe& cur, std::int32_t p, std::int32_t l, double k) {
  const std::int64_t ultimo = ultimo_metro_calcolato(s);
  const auto avanza = [&](std::int64_t fino, double curv) {
    while (cur.piano_metro <= std::min(fino, ultimo)) {
      passo_piano(s.tabella_linea, cur.piano_metro, curv);
      ++cur.piano_metro;
      if (cur.piano_metro > kMetroMassimoCurve) return false;
    }
    return true;
  };
  // The end of the curve is only worked out once the straight steps up to its start are made.
  if (!avanza(p, 0.0)) return false;
  return avanza(somma_32(p, l, "the end of the curve (position plus length)"), k);
}

void chiudi_pendenze(Stato& s, cursori_righe& cur) { riempi_pendenza(s, cur, s.ultima_cella() - 2); }

void chiudi_piano(Stato& s, cursori_righe& cur) {
  const std::int64_t ultimo = ultimo_metro_calcolato(s);
  for (; cur.piano_metro <= ultimo; ++cur.piano_metro) passo_piano(s.tabella_linea, cur.piano_metro, 0.0);
}

}  // namespace cmp
