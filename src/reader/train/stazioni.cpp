#include <algorithm>

#include "model/limiti_formato.h"
#include "reader/train/lettore_treno.h"
#include "reader/train/righe_treno.h"

namespace cmp {
namespace {

// The area must start at least this far after the previous station's area ends.
constexpr std::int32_t kDistanzaMinima = 350;

bool senza_avvisi(std::uint8_t tipo) { return tipo == 5 || tipo == 6; }

// Start and end of the station area by kind. Kinds 5 to 8 never keep the extension flag.
void estensione(voce_scenario& v, std::int32_t lunghezza) {
  const std::int64_t posizione = v.intero3;
  std::int64_t inizio = 0;
  std::int64_t fine = 0;
  if (v.tipo == 5 || v.tipo == 6) {
    inizio = posizione - lunghezza;
    fine = posizione + 150;
    v.ottetto4 = 0;
  } else if (v.tipo == 7 || v.tipo == 8) {
    inizio = posizione - lunghezza;
    fine = posizione + lunghezza;
    v.ottetto4 = 0;
  } else {
    inizio = posizione - lunghezza / 2;
    fine = posizione + lunghezza / 2 + (v.ottetto4 != 0 ? 50 : 0);
  }
  v.intero1 = entro_32(inizio, "the start of the station area");
  v.intero2 = entro_32(fine, "the end of the station area");
}

void leggi_dati(LettoreCampi& lettore, voce_scenario& v) {
  v.ottetto1 = lettore.leggi_ottetto();
  v.ottetto5 = lettore.leggi_ottetto();
  v.ottetto4 = lettore.leggi_ottetto();
  v.breve1 = lettore.leggi_breve();
  v.breve2 = lettore.leggi_breve();
  v.ottetto2 = lettore.leggi_ottetto();
  v.breve3 = lettore.leggi_breve();
  v.breve4 = lettore.leggi_breve();
  v.breve5 = lettore.leggi_breve();
  v.ottetto3 = lettore.leggi_ottetto();
  const std::int32_t ore = lettore.leggi_intero();
  const std::int32_t minuti = lettore.leggi_intero();
  const std::int32_t secondi = lettore.leggi_intero();
  const std::int32_t in_minuti =
      entro_32(std::int64_t{entro_32(std::int64_t{ore} * 60, "hours * 60")} + minuti, "the time in minutes");
  const std::int32_t in_secondi = entro_32(std::int64_t{in_minuti} * 60, "the time in seconds");
  v.intero4 = entro_32(std::int64_t{in_secondi} + secondi, "the time in seconds");
  v.testo = lettore.leggi_testo();
  if (v.testo.size() > limiti_file::byte_testo_voce) {
    throw FallimentoRiga("a station name of " + std::to_string(v.testo.size()) +
                         " bytes does not fit an entry (65535 at most)");
  }
}

}  // namespace

esito_riga riga_stazione_letta(Stato& s, LettoreCampi& lettore, const luogo& riga, std::int32_t& contatore) {
  const std::int32_t n = contatore;
  // An entry that holds a caption text of the line is never taken.
  if (n > std::min<std::int32_t>(s.voce_cartello, kVoceUltimaStazione)) {
    registra_errore(s, errori::troppe_stazioni, riga);
    return esito_riga::interrompi;
  }
  voce_scenario& v = s.scenario[static_cast<std::size_t>(n)];

  const std::int32_t posizione = lettore.leggi_intero();
  v.intero3 = posizione;
  if (oltre_percorso(s, posizione, 800)) return fine_per_posizione(s, posizione, riga);
  if (!limiti_file::su_griglia(posizione)) {
    registra_errore(s, errori::stazione_fuori_griglia, riga, posizione);
    return esito_riga::interrompi;
  }
  v.tipo = lettore.leggi_ottetto();
  const std::int32_t lunghezza = lettore.leggi_intero();
  if (lunghezza % 100 != 0) {
    registra_errore(s, errori::lunghezza_stazione, riga, posizione);
    return esito_riga::interrompi;
  }
  leggi_dati(lettore, v);
  estensione(v, lunghezza);
  if (lunghezza < 600) v.ottetto5 = 0;
  if (n == 1) {
    v.ottetto4 = 0;
    v.ottetto5 = 0;
  }

  if (v.tipo < kPrimoTipoSenzaFermata) {
    const std::int64_t fermata = limiti_file::cella_fermata(v);
    if (fermata > s.ultima_cella()) {
      registra_errore(s, errori::stazione_oltre, riga, posizione);
      return esito_riga::interrompi;
    }
    if (!senza_avvisi(v.tipo)) {
      for (int k = 1; k <= 4; ++k) {
        if (fermata - k > 1)
          s.percorso[static_cast<std::size_t>(fermata - k)].avviso = static_cast<std::uint8_t>(80 + k);
      }
    }
    if (fermata <= 1) {
      registra_errore(s, errori::fermata_iniziale, riga);
      return esito_riga::interrompi;
    }
    tratto& t = s.percorso[static_cast<std::size_t>(fermata)];
    t.tipo = tipo_cella::fermata;
    t.parametro1 = static_cast<std::int16_t>(n);
  }

  if (n > 1 && entro_32(std::int64_t{v.intero1} - kDistanzaMinima, "the start of the area less 350 m") <
                   s.scenario[static_cast<std::size_t>(n - 1)].intero2) {
    registra_errore(s, errori::stazioni_vicine, riga, posizione);
    return esito_riga::interrompi;
  }
  contatore = n + 1;
  if (contatore >= s.voce_cartello) {
    registra_errore(s, errori::troppe_stazioni, riga);
    return esito_riga::interrompi;
  }
  return esito_riga::continua;
}

}  // namespace cmp
