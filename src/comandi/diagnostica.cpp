#include "comandi/diagnostica.h"

#include "errori/catalogo_errori.h"
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

namespace {

// The value of one placeholder of a catalogue message.
std::string valore_segnaposto(const Stato& s, std::string_view nome, std::int32_t p) {
  if (nome == "posizione") return metri(p);
  if (nome == "cella") return cella_occupata(s, cella_piu_uno(p));
  if (nome == "cella_avviso") return cella_occupata(s, cella_piu_uno(p - 1200));
  if (nome == "cella_abbattimento") return cella_occupata(s, arrotonda(p / 50.0));
  if (nome == "lunghezza") return metri(lunghezza_linea(s.scenario));
  if (nome == "ripetizione_1") return std::to_string(ripetizione_primo(s.scenario));
  if (nome == "ripetizione_2") return std::to_string(ripetizione_secondo(s.scenario));
  if (nome == "voce_testi") return std::to_string(s.voce_cartello + 1);
  if (nome == "limite_percorso") return limite_traccia(s);
  if (nome == "ultima_cella") return s.percorso.empty() ? std::string("no track") : "cell " + std::to_string(s.ultima_cella());
  if (nome == "dettaglio") return s.dettaglio_errore.empty() ? "the text cannot be read here" : s.dettaglio_errore;
  return "{" + std::string(nome) + "}";
}

}  // namespace

std::string compila_messaggio(const Stato& s, std::string_view modello, std::int32_t posizione) {
  std::string out;
  std::size_t i = 0;
  while (i < modello.size()) {
    const std::size_t apre = modello.find('{', i);
    const std::size_t chiude = apre == std::string_view::npos ? apre : modello.find('}', apre);
    if (chiude == std::string_view::npos) {
      out += modello.substr(i);
      break;
    }
    out += modello.substr(i, apre - i);
    out += valore_segnaposto(s, modello.substr(apre + 1, chiude - apre - 1), posizione);
    i = chiude + 1;
  }
  return out;
}

std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t p) {
  if (const voce_errore* v = voce_di(codice); v != nullptr && v->fonte != fonte_errore::compilazione &&
                                                 v->fonte != fonte_errore::controllo_testi) {
    return compila_messaggio(s, v->messaggio, p);
  }
  return s.dettaglio_errore.empty() ? "error " + std::to_string(codice) : s.dettaglio_errore;
}

}  // namespace cmp
