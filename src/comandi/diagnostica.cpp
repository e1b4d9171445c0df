#include "comandi/diagnostica.h"

#include "model/arrotonda.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

std::string metri(std::int64_t m) { return std::to_string(m) + " m"; }

// What the cell of a position holds, when the cell exists: "cell 89, which already holds a signal".
std::string cella_occupata(const Stato& s, std::int64_t cella) {
  std::string out = "cell " + std::to_string(cella);
  if (cella >= 0 && cella <= s.ultima_cella()) {
    out += ", which already holds " + nome_tipo_cella(s.percorso[static_cast<std::size_t>(cella)].tipo);
  }
  return out;
}

std::int64_t cella_piu_uno(std::int32_t p) { return arrotonda(p / 50.0 + 1); }

std::string limite_traccia(const Stato& s) {
  if (s.percorso.empty()) return "there is no track";
  const std::int64_t n = s.ultima_cella();
  return "the track has cells 0 to " + std::to_string(n) + ", so a row may start at most at " +
         metri(50 * n - 100) + " and a station at most at " + metri(50 * n - 800);
}

}  // namespace

std::string nome_tipo_cella(std::uint8_t tipo) {
  switch (tipo) {
    case 0: return "nothing";
    case 1: return "a signal";
    case 2: return "the end of a slow order";
    case 3: return "the start of a slow order";
    case 4: return "a slow-order warning point";
    case 5: return "a slow-order approach cell";
    case 6: return "speed-indicator boards";
    case 10: return "a station stop";
    case 11: return "a mountain marker";
    case 12: return "an abbattimento point with a value";
    case 13: return "an abbattimento point";
    case 14: return "a caption board";
    default: return "an object of type " + std::to_string(tipo);
  }
}

std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t p) {
  switch (codice) {
    case 1: return "the line length " + metri(lunghezza_linea(s.scenario)) + " is greater than 1000000 m";
    case 2: return "a kilometre reference (entries 81 to 83) has a position or a kilometre value that is not a multiple of 50 m";
    case 3: return "the first signal-repetition value " + std::to_string(ripetizione_primo(s.scenario)) + " is not a multiple of 50";
    case 4: return "the second signal-repetition value " + std::to_string(ripetizione_secondo(s.scenario)) + " is not a multiple of 50";
    case 5: return "the signal-repetition keyword holds neither the digit 4 nor the digit 9";
    case 6: return "the caption board at " + metri(p) + " falls on " + cella_occupata(s, cella_piu_uno(p));
    case 7: return "the abbattimento point at " + metri(p) + " falls on " + cella_occupata(s, arrotonda(p / 50.0));
    case 8: return "the station position " + metri(p) + " is not a multiple of 50 m";
    case 9: return "the length of the station at " + metri(p) + " is not a multiple of 100 m";
    case 10: return "too many stations: the next station entry would reach the caption texts, which start at entry " +
                    std::to_string(s.voce_cartello + 1);
    case 11: return "no free cell for an abbattimento point before the signal at " + metri(p) +
                    ", which lies before a slow-order warning point";
    case 12: return "none of the three cells of one look-back distance before the slow order starting at " + metri(p) +
                    " is free for an abbattimento point";
    case 13: return "no room for an abbattimento point at " + metri(p) +
                    " inside a slow order or before the first signal after it";
    case 15: return "position " + metri(p) + " lies too close to or beyond the end of the track: " + limite_traccia(s);
    case 16: return "the signal at " + metri(p) + " falls on " + cella_occupata(s, cella_piu_uno(p));
    case 17: return "the warning point 1200 m before the slow order at " + metri(p) + " falls on " +
                    cella_occupata(s, cella_piu_uno(p - 1200));
    case 18: return "the start of the slow order at " + metri(p) + " falls on " + cella_occupata(s, cella_piu_uno(p));
    case 19: return "the end of the slow order starting at " + metri(p) + " falls on an occupied cell";
    case 20: return "an approach cell before the warning point of the slow order at " + metri(p) +
                    " is occupied; the slow order is stored without approach cells";
    case 21: return "the speed-indicator boards at " + metri(p) + " fall on " + cella_occupata(s, cella_piu_uno(p));
    case 22: return "the station at " + metri(p) + " starts less than 350 m after the end of the previous station's area";
    case 24: return "the stop cell of a station would be cell 1 or lower (its area ends at 100 m or before)";
    case 25: return s.dettaglio_errore.empty() ? "the text cannot be read here" : s.dettaglio_errore;
    case 30: return "the line length " + metri(lunghezza_linea(s.scenario)) + " is negative";
    case 31: return "the board at " + metri(p) + " would fall before cell 0 (positions below -75 m have no cell)";
    case 32: return "more than 80 mountain rows: the tables of mountain stretches hold 80";
    case 33: return "more than 81 caption boards: the caption texts fill entries 80 down to 0";
    case 41: return "the signal at " + metri(p) +
                    " lies within the first 350 m of the track (cell below 8), so its approach markers would fall before cell 0";
    case 42: return "the row at " + metri(p) + " has a negative position or length";
    case 43: return "the end of the slow order starting at " + metri(p) + " lies beyond the last cell of the track (" +
                    (s.percorso.empty() ? std::string("no track") : "cell " + std::to_string(s.ultima_cella())) + ")";
    case 44: return "the stop cell of the station at " + metri(p) + " lies beyond the last cell of the track (" +
                    (s.percorso.empty() ? std::string("no track") : "cell " + std::to_string(s.ultima_cella())) + ")";
    case 101: return "the line description text does not exist";
    case 102: return "no field contains \"[generale]\" before the end of the text";
    case 103: return "a curve keyword has no class digit from 1 to 6, or the plan runs past metre 1000000";
    default: break;
  }
  return s.dettaglio_errore.empty() ? "error " + std::to_string(codice) : s.dettaglio_errore;
}

}  // namespace cmp
