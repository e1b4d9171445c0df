#include "reader/line/montagne_cartelli.h"

#include <algorithm>

#include "model/arrotonda.h"
#include "model/limiti_formato.h"
#include "reader/comune/aritmetica_32.h"
#include "reader/comune/fallimento_riga.h"

namespace cmp {
namespace {

constexpr std::int32_t kDistanzaMontagneUnite = 150;

// The cell of a board at position p, or -1 when it lies outside the track.
std::int64_t cella_cartello(const Stato& s, std::int32_t posizione) {
  const std::int64_t c = arrotonda(limiti_file::in_celle(posizione) + 1.0);
  return c >= 0 && c <= s.ultima_cella() ? c : -1;
}

// The cell of a board or caption when it exists and is free; otherwise the refusal is
// recorded (`codice_se_occupata` for a taken cell) and there is none.
tratto* cella_libera_per_cartello(Stato& s, std::int32_t posizione, std::int32_t codice_se_occupata) {
  const std::int64_t c = cella_cartello(s, posizione);
  if (c < 0) {
    s.codice_errore = errori::cartello_fuori_percorso;
    return nullptr;
  }
  tratto& t = s.percorso[static_cast<std::size_t>(c)];
  if (!cella_libera(t)) {
    s.codice_errore = codice_se_occupata;
    return nullptr;
  }
  return &t;
}

// Code of one speed rank: the s speed times 20 plus the d speed divided by 5.
std::int16_t codice_velocita(std::int32_t vs, std::int32_t vd) {
  const std::int32_t prodotto = entro_32(std::int64_t{vs} * 20, "a speed times 20");
  return entro_16(arrotonda(vd / 5.0 + prodotto), "a speed-indicator code");
}

}  // namespace

void memo_montagna(Stato& s, std::int32_t inizio, std::int32_t fine, std::int32_t tipo) {
  if (s.numero_montagne < 0 || s.numero_montagne >= kPostiMontagne - 1) {
    s.codice_errore = errori::troppe_montagne;
    return;
  }
  bool marcatori = false;
  if (tipo > 10) {
    tipo -= 10;
    marcatori = true;
  }
  const std::int32_t posto = ++s.numero_montagne;
  s.montagne_inizio[posto] = inizio;
  s.montagne_fine[posto] = fine;
  if (posto > 1) {
    const std::int32_t distanza =
        entro_32(std::int64_t{inizio} - s.montagne_fine[posto - 1], "the gap to the previous mountain");
    if (distanza <= kDistanzaMontagneUnite) tipo = 3;
  }

  const std::int64_t prima = arrotonda(limiti_file::in_celle(inizio));
  const std::int64_t ultima = arrotonda(limiti_file::in_celle(fine) - 1.0);
  const std::int64_t da = std::max<std::int64_t>(prima, 0);
  const std::int64_t a = std::min(ultima, s.ultima_cella());
  for (std::int64_t c = da; c <= a; ++c) {
    tratto& t = s.percorso[static_cast<std::size_t>(c)];
    t.montagna = static_cast<std::uint8_t>(tipo);
    const std::int64_t conta = c - prima + 1;
    if (marcatori && conta % 4 == 0 && t.tipo == tipo_cella::nessuno) t.tipo = tipo_cella::marca_montagna;
  }
}

void memo_indicatori_v_max(Stato& s, std::int32_t posizione, std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                           std::int16_t strisces, std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                           std::int16_t strisced) {
  tratto* const cella = cella_libera_per_cartello(s, posizione, errori::indicatori_occupato);
  if (!cella) return;
  tratto& t = *cella;
  // Field by field: a speed code that does not fit stops the row with what was written so far.
  t.tipo = tipo_cella::indicatori_v_max;
  t.parametro1 = codice_velocita(vas, vad);
  t.parametro2 = codice_velocita(vbs, vbd);
  t.parametro3 = codice_velocita(vcs, vcd);
  // A packed code: the stripe code keeps its low 16 bits.
  t.parametro4 = static_cast<std::int16_t>(strisces * 10 + strisced);
}

void memo_cartello(Stato& s, std::int32_t posizione, std::string testo) {
  tratto* const cella = cella_libera_per_cartello(s, posizione, errori::cartello_occupato);
  if (!cella) return;
  tratto& t = *cella;
  if (s.voce_cartello < 0 || s.voce_cartello > kVocePrimoCartello) {
    s.codice_errore = errori::troppi_cartelli;
    return;
  }
  t.tipo = tipo_cella::cartello;
  t.parametro1 = static_cast<std::int16_t>(s.voce_cartello);
  s.scenario[static_cast<std::size_t>(s.voce_cartello)].testo = std::move(testo);
  --s.voce_cartello;
}

}  // namespace cmp
