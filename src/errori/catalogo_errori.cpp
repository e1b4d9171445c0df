#include "errori/catalogo_errori.h"

#include <algorithm>
#include <array>

namespace cmp {
namespace {

using enum fonte_errore;
constexpr auto L = testo_errore::linea;
constexpr auto T = testo_errore::treno;
constexpr auto N = testo_errore::nessuno;

// Placeholders of the messages: {posizione} the position in metres of the row the message
// points at (the recorded one when no row is known); {riga} that row's kind ("the
// gradient row"); {oggetto} the finishing pass's signal or slow order: its row's own
// position and its cell; {cella_registrata} the cell the finishing pass recorded;
// {cella}, {cella_avviso}, {cella_abbattimento} the cell of that position (+1, of the
// warning point 1200 m before it +1, of the position itself) and what it holds;
// {lunghezza}, {ripetizione_1}, {ripetizione_2} values of the general section;
// {voce_testi} the first entry of the caption texts; {limite_percorso} the bounds of the
// track; {ultima_cella} the last cell; {dettaglio} why a read failed; {stazione_precedente}
// how a station stands against the station row before it (out of order, or too close).
// {cella} and its kin name, where it can be told, the row that put the cell's object there.
constexpr std::array kCatalogo = std::to_array<voce_errore>({
    {errori::lunghezza_eccessiva, "lunghezza_eccessiva", lettore_linea, L, true,
     "the line length {lunghezza} is greater than 1000000 m"},
    {errori::progressive_fuori_griglia, "progressive_fuori_griglia", lettore_treno, L, false,
     "a kilometre reference (entries 81 to 83) has a position or a kilometre value that is not a multiple of 50 m"},
    {errori::ripetizione_primo, "ripetizione_primo", lettore_linea, L, true,
     "the first signal-repetition value {ripetizione_1} is not a multiple of 50"},
    {errori::ripetizione_secondo, "ripetizione_secondo", lettore_linea, L, true,
     "the second signal-repetition value {ripetizione_2} is not a multiple of 50"},
    {errori::ripetizione_codici, "ripetizione_codici", lettore_linea, L, true,
     "the signal-repetition keyword holds neither the digit 4 nor the digit 9"},
    {errori::cartello_occupato, "cartello_occupato", lettore_linea, L, true,
     "the caption board at {posizione} falls on {cella}"},
    {errori::abbattimento_occupato, "abbattimento_occupato", lettore_treno, T, false,
     "the abbattimento point at {posizione} falls on {cella_abbattimento}"},
    {errori::stazione_fuori_griglia, "stazione_fuori_griglia", lettore_treno, T, false,
     "the station position {posizione} is not a multiple of 50 m"},
    {errori::lunghezza_stazione, "lunghezza_stazione", lettore_treno, T, false,
     "the length of the station at {posizione} is not a multiple of 100 m"},
    {errori::troppe_stazioni, "troppe_stazioni", lettore_treno, T, false,
     "too many stations: the next station entry would reach the caption texts, which start at entry {voce_testi}"},
    {errori::abbattimento_segnale, "abbattimento_segnale", finitura, T, false,
     "no free cell for an abbattimento point before the signal at {oggetto}, which lies before a slow-order "
     "warning point"},
    {errori::abbattimento_ritroso, "abbattimento_ritroso", finitura, T, false,
     "none of the three cells of one look-back distance before the slow order starting at {oggetto} is free for "
     "an abbattimento point"},
    {errori::abbattimento_rallentamento, "abbattimento_rallentamento", finitura, T, false,
     "no room for an abbattimento point at {cella_registrata}, inside the slow order starting at {oggetto} or before "
     "the "
     "first signal after it"},
    {errori::posizione_oltre, "posizione_oltre", entrambi_i_lettori, T, false,
     "{riga} at {posizione} lies too close to or beyond the end of the track: {limite_percorso}"},
    {errori::segnale_occupato, "segnale_occupato", lettore_treno, T, false,
     "the signal at {posizione} falls on {cella}"},
    {errori::avviso_occupato, "avviso_occupato", lettore_treno, T, false,
     "the warning point 1200 m before the slow order at {posizione} falls on {cella_avviso}"},
    {errori::inizio_occupato, "inizio_occupato", lettore_treno, T, false,
     "the start of the slow order at {posizione} falls on {cella}"},
    {errori::fine_occupata, "fine_occupata", lettore_treno, T, false,
     "the end of the slow order starting at {posizione} falls on an occupied cell"},
    {errori::approccio_occupato, "approccio_occupato", lettore_treno, T, false,
     "an approach cell before the warning point of the slow order at {posizione} is occupied; the slow order is "
     "stored without approach cells"},
    {errori::indicatori_occupato, "indicatori_occupato", lettore_linea, L, true,
     "the speed-indicator boards at {posizione} fall on {cella}"},
    {errori::stazioni_vicine, "stazioni_vicine", lettore_treno, T, false,
     "the station at {posizione} {stazione_precedente}"},
    {errori::fermata_iniziale, "fermata_iniziale", lettore_treno, T, false,
     "the stop cell of a station would be cell 1 or lower (its area ends at 100 m or before)"},
    {errori::lettura, "lettura", entrambi_i_lettori, T, false, "{dettaglio}"},
    {errori::lunghezza_negativa, "lunghezza_negativa", lettore_linea, L, true,
     "the line length {lunghezza} is negative"},
    {errori::cartello_fuori_percorso, "cartello_fuori_percorso", lettore_linea, L, true,
     "the board at {posizione} would fall before cell 0 (positions below -75 m have no cell)"},
    {errori::troppe_montagne, "troppe_montagne", lettore_linea, L, true,
     "more than 80 mountain rows: the tables of mountain stretches hold 80"},
    {errori::troppi_cartelli, "troppi_cartelli", lettore_linea, L, true,
     "more than 81 caption boards: the caption texts fill entries 80 down to 0"},
    {errori::segnale_presso_inizio, "segnale_presso_inizio", lettore_treno, T, false,
     "the signal at {posizione} stands on a cell below 8 (position / 50 + 1, rounded: a signal needs 325 m at "
     "least, 324 m is cell 7), so its approach markers would fall before cell 0"},
    {errori::posizione_negativa, "posizione_negativa", lettore_treno, T, false,
     "{riga} at {posizione} has a negative position or length"},
    {errori::fine_rallentamento_oltre, "fine_rallentamento_oltre", lettore_treno, T, false,
     "the end of the slow order starting at {posizione} lies beyond the last cell of the track ({ultima_cella})"},
    {errori::stazione_oltre, "stazione_oltre", lettore_treno, T, false,
     "the stop cell of the station at {posizione} lies beyond the last cell of the track ({ultima_cella})"},
    {errori::testo_mancante, "testo_mancante", lettore_linea, L, true, "the line description text does not exist"},
    {errori::generale_mancante, "generale_mancante", lettore_linea, L, true,
     "no field contains \"[generale]\" before the end of the text"},
    {errori::curva_non_valida, "curva_non_valida", lettore_linea, L, true,
     "a curve keyword has no class digit from 1 to 6, or the plan runs past metre 1000000"},
    {errori::parola_simile, "parola_simile", controllo_testi, N, false, "{dettaglio}"},
    {errori::nessuna_riga, "nessuna_riga", controllo_testi, N, false, "{dettaglio}"},
    {errori::testo_utf8, "testo_utf8", controllo_testi, N, false, "{dettaglio}"},
    {errori::nome_stazione_numero, "nome_stazione_numero", controllo_testi, N, false, "{dettaglio}"},
    {errori::nome_stazione_virgola, "nome_stazione_virgola", controllo_testi, N, false, "{dettaglio}"},
    {errori::parola_maiuscola, "parola_maiuscola", controllo_testi, N, false, "{dettaglio}"},
    {errori::riga_fuori_sezione, "riga_fuori_sezione", controllo_testi, N, false, "{dettaglio}"},
    {errori::sezione_mancante, "sezione_mancante", controllo_testi, N, false, "{dettaglio}"},
    {errori::curva_senza_parola, "curva_senza_parola", controllo_testi, N, false, "{dettaglio}"},
    {errori::righe_fuori_ordine, "righe_fuori_ordine", controllo_testi, N, false, "{dettaglio}"},
    {errori::riga_oltre_linea, "riga_oltre_linea", controllo_testi, N, false, "{dettaglio}"},
    {errori::fine_riga_cr, "fine_riga_cr", controllo_testi, N, false, "{dettaglio}"},
    {errori::blank_dopo_parola, "blank_dopo_parola", controllo_testi, N, false, "{dettaglio}"},
    {errori::stazione_in_ritardo, "stazione_in_ritardo", orario, T, false, "{dettaglio}"},
    {errori::margine_scarso, "margine_scarso", orario, T, false, "{dettaglio}"},
    {errori::posto_scenario_occupato, "posto_scenario_occupato", compilazione, N, false, " Errore n. 1250"},
    {errori::posto_percorso_occupato, "posto_percorso_occupato", compilazione, N, false, " Errore n. 1251"},
});

static_assert(std::is_sorted(kCatalogo.begin(), kCatalogo.end(),
                             [](const voce_errore& a, const voce_errore& b) { return a.numero < b.numero; }));

}  // namespace

std::span<const voce_errore> catalogo_errori() { return kCatalogo; }

const voce_errore* voce_di(std::int32_t numero) {
  const auto it = std::lower_bound(kCatalogo.begin(), kCatalogo.end(), numero,
                                   [](const voce_errore& v, std::int32_t n) { return v.numero < n; });
  return it != kCatalogo.end() && it->numero == numero ? &*it : nullptr;
}

bool numero_documentato(std::int32_t numero) {
  if (numero == 0) return true;
  const voce_errore* v = voce_di(numero);
  return v != nullptr && v->fonte != fonte_errore::compilazione && v->fonte != fonte_errore::controllo_testi &&
         v->fonte != fonte_errore::orario;
}

bool ferma_prima_del_treno(std::int32_t numero) {
  const voce_errore* v = voce_di(numero);
  return v != nullptr && v->ferma_prima_del_treno;
}

}  // namespace cmp
