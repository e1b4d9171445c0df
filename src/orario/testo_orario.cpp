#include "orario/testo_orario.h"

#include <cmath>
#include <cstdio>

#include "model/cp1252.h"

namespace cmp {
namespace {

std::string nome_di(const stazione_corsa& s) { return da_cp1252(s.nome); }

std::string motivo_blocco(const corsa_minima& c) {
  if (!c.blocco) return "";
  const blocco_corsa& b = *c.blocco;
  const std::string dove = std::to_string(b.metro) + " m";
  switch (b.perche) {
    case blocco_corsa::motivo::limite_nullo:
      return "the speed limit at " + dove + " is " + std::to_string(b.velocita) + " km/h";
    case blocco_corsa::motivo::salita:
      return "the climb of " + std::to_string(b.pendenza) + " per mille at " + dove +
             " is too steep for an acceleration of " + in_decimali(c.accelerazione, 2) + " m/s\u00b2";
    case blocco_corsa::motivo::discesa:
      return "the descent of " + std::to_string(-b.pendenza) + " per mille at " + dove +
             " is steeper than a braking rate of " + in_decimali(c.decelerazione, 2) + " m/s\u00b2 can hold";
    case blocco_corsa::motivo::fuori_percorso:
      return "the run would leave the track at " + dove;
    case blocco_corsa::motivo::indietro:
      return "the station at " + dove + " lies behind the one before it, and the train runs one way";
  }
  return "";
}

}  // namespace

std::string in_decimali(double x, int cifre) {
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", cifre, x);
  return b;
}

const char* nome_motivo(blocco_corsa::motivo m) {
  switch (m) {
    case blocco_corsa::motivo::limite_nullo:
      return "limite_nullo";
    case blocco_corsa::motivo::salita:
      return "salita";
    case blocco_corsa::motivo::discesa:
      return "discesa";
    case blocco_corsa::motivo::fuori_percorso:
      return "fuori_percorso";
    case blocco_corsa::motivo::indietro:
      return "indietro";
  }
  return "";
}

std::string ora_del_giorno(double secondi, bool decimi) {
  const bool prima = secondi < 0;
  double resto = std::fabs(secondi);
  // Rounded once, to what is shown, so that 59.96 s reads 1:00.0 and not 0:60.0.
  resto = decimi ? std::round(resto * 10) / 10 : std::round(resto);
  const auto ore = static_cast<long long>(resto / 3600);
  resto -= static_cast<double>(ore) * 3600;
  const auto minuti = static_cast<long long>(resto / 60);
  resto -= static_cast<double>(minuti) * 60;
  char b[64];
  if (decimi) {
    std::snprintf(b, sizeof b, "%s%02lld:%02lld:%04.1f", prima ? "-" : "", ore, minuti, std::fabs(resto));
  } else {
    std::snprintf(b, sizeof b, "%s%02lld:%02lld:%02lld", prima ? "-" : "", ore, minuti,
                  static_cast<long long>(std::llround(resto)));
  }
  return b;
}

std::string testo_accelerazione(const corsa_minima& c) { return in_decimali(c.accelerazione, 2) + " m/s\u00b2"; }

std::string testo_decelerazione(const corsa_minima& c) {
  std::string t = in_decimali(c.decelerazione, 2) + " m/s\u00b2";
  if (!c.decelerazione_da_massa) return t + " (given)";
  t += " (from " + std::to_string(c.massa_frenata) + " % braked weight, Minden formula";
  if (c.massa_fuori_campo) {
    t += ", taken as " +
         std::to_string(c.massa_frenata < kMassaFrenataMinima ? kMassaFrenataMinima : kMassaFrenataMassima) +
         " %: the formula holds from " + std::to_string(kMassaFrenataMinima) + " to " +
         std::to_string(kMassaFrenataMassima) + " %";
  }
  return t + ")";
}

std::optional<avviso_orario> avviso_stazione(const corsa_minima& c, const stazione_corsa& s, double margine_minimo) {
  const bool prima = !c.stazioni.empty() && &s == &c.stazioni.front();
  const std::string chi = "station " + nome_di(s);
  if (!s.arrivo) {
    return avviso_orario{301, chi + " cannot be reached at all: " + motivo_blocco(c)};
  }
  if (s.in_ritardo()) {
    const std::string ritardo = in_decimali(*s.arrivo - s.orario, 1) + " s";
    if (prima) {
      return avviso_orario{301, chi + " cannot be left at its time " + ora_del_giorno(s.orario, false) +
                                    ": the scenario starts at " + ora_del_giorno(*s.arrivo, false) + ", " + ritardo +
                                    " later"};
    }
    return avviso_orario{301, chi + " cannot be reached by its time " + ora_del_giorno(s.orario, false) +
                                  ": the fastest run " + (s.fermata ? "arrives" : "passes") + " at " +
                                  ora_del_giorno(*s.arrivo, true) + ", " + ritardo + " late"};
  }
  if (s.margine_percento && *s.margine_percento < margine_minimo) {
    return avviso_orario{302, chi + " is reached with a margin of " + in_decimali(*s.margine, 1) + " s, " +
                                  in_decimali(*s.margine_percento, 1) + " % of the scheduled running time, below the " +
                                  in_decimali(margine_minimo, 1) + " % asked (--margine-minimo)"};
  }
  return std::nullopt;
}

std::string riassunto_stazione(const corsa_minima& c, const stazione_corsa& s) {
  if (!s.arrivo) return "cannot be reached: " + motivo_blocco(c);
  const bool prima = !c.stazioni.empty() && &s == &c.stazioni.front();
  std::string t = (prima       ? "the scenario starts at "
                   : s.fermata ? "earliest arrival "
                               : "earliest passing ") +
                  ora_del_giorno(*s.arrivo, !prima) + ", margin " + in_decimali(*s.margine, 1) + " s";
  if (s.margine_percento) t += " (" + in_decimali(*s.margine_percento, 1) + " %)";
  return t;
}

}  // namespace cmp
