#include "plot/contenuto.h"

#include <algorithm>
#include <functional>

#include "model/limiti_formato.h"
#include "model/stazioni_scenario.h"

namespace cmp::disegno {
namespace {

constexpr std::int64_t kMetriCella = limiti_file::metri_cella;

std::int64_t metro_oggetto(std::int64_t cella) { return std::max<std::int64_t>(0, (cella - 1) * kMetriCella); }

// Runs of equal values over cells [0, fino), each cell 50 m long.
std::vector<tratto_costante> tratti(const std::vector<tratto>& celle, std::int64_t fino,
                                    const std::function<int(const tratto&)>& valore) {
  std::vector<tratto_costante> out;
  for (std::int64_t c = 0; c < fino; ++c) {
    const int v = valore(celle[static_cast<std::size_t>(c)]);
    if (!out.empty() && out.back().valore == v && out.back().fine == c * kMetriCella) {
      out.back().fine += kMetriCella;
    } else {
      out.push_back({c * kMetriCella, (c + 1) * kMetriCella, v});
    }
  }
  return out;
}

// Each station drawn at its stop cell, the cell before the one where its area ends.
std::vector<oggetto> stazioni(const Stato& s) {
  std::vector<oggetto> out;
  for (const std::size_t n : voci_stazioni(s.percorso, s.scenario)) {
    const auto& v = s.scenario[n];
    const std::int64_t cella = std::max<std::int64_t>(0, limiti_file::cella_fermata(v));
    out.push_back({cella, cella * kMetriCella, static_cast<std::int16_t>(n), v.tipo, 0, v.testo});
  }
  return out;
}

std::string testo_cartello(const Stato& s, std::int16_t voce) {
  if (voce >= 0 && voce < kVociScenario) return s.scenario[static_cast<std::size_t>(voce)].testo;
  return "";
}

// Slow orders from their start (3) and end (2) cells in track order. A start without an
// end before the next start keeps one cell (an order shorter than a cell, or an end the
// track could not take); an end without a start is left out.
std::vector<rallentamento> rallentamenti(const std::vector<tratto>& celle) {
  std::vector<rallentamento> out;
  bool aperto = false;
  for (std::size_t c = 0; c < celle.size(); ++c) {
    const auto& t = celle[c];
    const auto cella = static_cast<std::int64_t>(c);
    if (t.tipo == tipo_cella::inizio_rallentamento) {
      if (aperto) out.back().fine = out.back().inizio + kMetriCella;
      out.push_back({metro_oggetto(cella), metro_oggetto(cella) + kMetriCella, t.parametro1});
      aperto = true;
    } else if (t.tipo == tipo_cella::fine_rallentamento && aperto) {
      out.back().fine = std::max(metro_oggetto(cella), out.back().inizio + kMetriCella);
      aperto = false;
    }
  }
  return out;
}

}  // namespace

contenuto estrai_contenuto(const Stato& s) {
  contenuto c;
  c.nome_linea = testo_nome_linea(s.scenario).empty() ? s.nome_linea : testo_nome_linea(s.scenario);
  c.numero_treno = testo_numero_treno(s.scenario).empty() ? s.numero_treno : testo_numero_treno(s.scenario);
  c.lunghezza = std::max<std::int64_t>(0, lunghezza_linea(s.scenario));
  c.riferimento.tratti = tratti_chilometrici(s);
  const auto& celle = s.percorso;
  const auto n = static_cast<std::int64_t>(celle.size());
  c.metri_percorso = n * kMetriCella;
  for (std::int64_t i = 0; i < n; ++i) {
    const auto& t = celle[static_cast<std::size_t>(i)];
    switch (t.tipo) {
      case tipo_cella::segnale:
        c.segnali.push_back({i, metro_oggetto(i), t.parametro1, t.parametro2, t.parametro3, "", t.parametro4, t.tempo});
        break;
      case tipo_cella::indicatori_v_max:
        c.indicatori.push_back({i, metro_oggetto(i), t.parametro1, t.parametro2, t.parametro3, ""});
        break;
      case tipo_cella::cartello:
        c.cartelli.push_back({i, metro_oggetto(i), t.parametro1, 0, 0, testo_cartello(s, t.parametro1)});
        break;
      case tipo_cella::abbattimento_valore:
        c.abbattimenti.push_back({i, i * kMetriCella, t.parametro1, 0, 0, ""});
        break;
      case tipo_cella::abbattimento:
        c.abbattimenti.push_back({i, i * kMetriCella, 0, 0, 0, ""});
        break;
      default:
        break;
    }
  }
  c.stazioni = stazioni(s);
  c.rallentamenti = rallentamenti(celle);
  const std::int64_t con_profilo = std::max<std::int64_t>(0, n - kCelleFinaliSenzaProfilo);
  c.pendenze = tratti(celle, con_profilo, [](const tratto& t) { return static_cast<int>(t.pendenza) - 100; });
  c.velocita = tratti(celle, con_profilo, [](const tratto& t) { return static_cast<int>(t.velocita) * 5; });
  c.aderenze = tratti(celle, con_profilo, [](const tratto& t) { return static_cast<int>(t.aderenza); });
  for (const auto& m : tratti(celle, n, [](const tratto& t) { return static_cast<int>(t.montagna); })) {
    if (m.valore != 0) c.montagne.push_back(m);
  }
  return c;
}

}  // namespace cmp::disegno
