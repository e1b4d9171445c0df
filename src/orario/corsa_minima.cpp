#include "orario/corsa_minima.h"

#include <algorithm>
#include <cmath>

#include "model/limiti_formato.h"
#include "model/stazioni_scenario.h"
#include "model/voci_scenario.h"

namespace cmp {
namespace {

constexpr double kMetriCella = static_cast<double>(limiti_file::metri_cella);
constexpr double kKmhInMs = 1.0 / 3.6;

// The Minden formula's constants: s = kCoefficienteVelocita V² / (kCoefficienteFreno (1 + λ/10) + i),
// s in metres, V in km/h, λ in per cent, i in per mille.
constexpr double kCoefficienteVelocita = 3.85;
constexpr double kCoefficienteFreno = 6.1;

// The speed limit of each cell in km/h: its profile's value, or a slow order's speed where
// one is in force, whichever is lower. A slow order's start and end cells are numbered as
// signals are, one cell after their position's (x / 50 + 1): it holds over the metres its
// row gives, from x to x + l, the cells from the one before its start cell up to the one
// before its end cell. One whose end never came (refused by the reader) holds to the end.
std::vector<int> limiti_delle_celle(const std::vector<tratto>& percorso) {
  std::vector<int> out(percorso.size());
  for (std::size_t k = 0; k < percorso.size(); ++k) out[k] = percorso[k].velocita * 5;
  const auto rallenta = [&](std::size_t da, std::size_t a, int velocita) {
    for (std::size_t k = da; k < a && k < out.size(); ++k) out[k] = std::min(out[k], velocita);
  };
  bool in_corso = false;
  std::size_t inizio = 0;
  int velocita = 0;
  for (std::size_t c = 0; c < percorso.size(); ++c) {
    const tratto& t = percorso[c];
    if (t.tipo == tipo_cella::inizio_rallentamento) {
      in_corso = true;
      inizio = c > 0 ? c - 1 : 0;
      velocita = t.parametro1;
    } else if (t.tipo == tipo_cella::fine_rallentamento && in_corso) {
      rallenta(inizio, c > 0 ? c - 1 : 0, velocita);
      in_corso = false;
    }
  }
  if (in_corso) rallenta(inizio, out.size(), velocita);
  return out;
}

int pendenza_di(const tratto& t) { return static_cast<int>(t.pendenza) - 100; }

// One piece of a run between two nodes, inside one cell: its length, its limit and the
// rates there.
struct pezzo {
  double da = 0, a = 0;
  double limite = 0;         // m/s
  double accelerazione = 0;  // m/s², may be negative on a climb
  double decelerazione = 0;  // m/s², positive
};

// A run from a standstill at `da` to `a`, where it stops (or, when `ferma` is false, runs
// on at the limit), over the track's cells; the times at `passaggi` (metres within it)
// come out in `tempi`.
struct tratta {
  double da = 0, a = 0;
  bool ferma = true;
  std::vector<double> passaggi;
};

struct esito_tratta {
  double durata = 0;
  std::vector<double> tempi;       // from the start, one per passage
  std::vector<punto_corsa> punti;  // seconds from the start
  std::optional<blocco_corsa> blocco;
};

class Calcolo {
 public:
  Calcolo(const std::vector<tratto>& percorso, double accelerazione, double decelerazione)
      : percorso_(percorso), limiti_(limiti_delle_celle(percorso)), a_(accelerazione), b_(decelerazione) {}

  esito_tratta corri(const tratta& t) const {
    esito_tratta e;
    std::vector<double> nodi = nodi_di(t);
    std::vector<pezzo> pezzi;
    for (std::size_t j = 0; j + 1 < nodi.size(); ++j) {
      auto p = pezzo_tra(nodi[j], nodi[j + 1], e.blocco);
      if (e.blocco) return e;
      pezzi.push_back(p);
    }
    std::vector<double> v2;
    if (!velocita_ai_nodi(pezzi, t.ferma, v2, e.blocco)) return e;
    double secondi = 0;
    std::size_t passaggio = 0;
    for (std::size_t j = 0; j < pezzi.size(); ++j) {
      for (; passaggio < t.passaggi.size() && t.passaggi[passaggio] <= pezzi[j].da; ++passaggio) {
        e.tempi.push_back(secondi);
      }
      secondi = percorri(pezzi[j], v2[j], v2[j + 1], secondi, e.punti);
    }
    for (; passaggio < t.passaggi.size(); ++passaggio) e.tempi.push_back(secondi);
    e.punti.push_back({t.a, std::sqrt(v2.empty() ? 0.0 : v2.back()), secondi});
    e.durata = secondi;
    return e;
  }

 private:
  // The start, every cell boundary and passage in between, and the end.
  static std::vector<double> nodi_di(const tratta& t) {
    std::vector<double> nodi{t.da};
    for (double confine = (std::floor(t.da / kMetriCella) + 1) * kMetriCella; confine < t.a; confine += kMetriCella) {
      nodi.push_back(confine);
    }
    for (double p : t.passaggi) {
      if (p > t.da && p < t.a) nodi.push_back(p);
    }
    if (t.a > t.da) nodi.push_back(t.a);
    std::sort(nodi.begin(), nodi.end());
    nodi.erase(std::unique(nodi.begin(), nodi.end()), nodi.end());
    return nodi;
  }

  pezzo pezzo_tra(double da, double a, std::optional<blocco_corsa>& blocco) const {
    const double cella_reale = std::floor((da + a) / 2 / kMetriCella);
    const auto inizio = static_cast<std::int64_t>(cella_reale * kMetriCella);
    if (cella_reale < 0 || cella_reale >= static_cast<double>(percorso_.size())) {
      blocco = blocco_corsa{blocco_corsa::motivo::fuori_percorso, inizio, 0, 0};
      return {};
    }
    const auto k = static_cast<std::size_t>(cella_reale);
    const int pendenza = pendenza_di(percorso_[k]);
    const double gi = kGravita * pendenza / 1000.0;  // uphill slows the train, downhill speeds it
    pezzo p{da, a, limiti_[k] * kKmhInMs, a_ - gi, b_ + gi};
    if (limiti_[k] <= 0) {
      blocco = blocco_corsa{blocco_corsa::motivo::limite_nullo, inizio, pendenza, limiti_[k]};
    } else if (p.decelerazione <= 0) {
      blocco = blocco_corsa{blocco_corsa::motivo::discesa, inizio, pendenza, 0};
    }
    return p;
  }

  // The square of the speed at each node: the lowest of the limits on both sides of it, of
  // what the train can reach accelerating from the start and of what still lets it brake
  // for every lower limit ahead and for the stop. False when it cannot get through.
  bool velocita_ai_nodi(const std::vector<pezzo>& pezzi, bool ferma, std::vector<double>& v2,
                        std::optional<blocco_corsa>& blocco) const {
    const std::size_t n = pezzi.size();
    std::vector<double> tetto(n + 1, 0.0);
    for (std::size_t j = 1; j < n; ++j) tetto[j] = std::min(pezzi[j - 1].limite, pezzi[j].limite);
    if (!ferma && n > 0) tetto[n] = pezzi[n - 1].limite;
    for (double& t : tetto) t *= t;
    std::vector<double> avanti(n + 1, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
      const pezzo& p = pezzi[j];
      const double raggiunta = avanti[j] + 2 * p.accelerazione * (p.a - p.da);
      if (raggiunta <= 0) {
        const std::size_t k = static_cast<std::size_t>(std::floor((p.da + p.a) / 2 / kMetriCella));
        blocco = blocco_corsa{blocco_corsa::motivo::salita, static_cast<std::int64_t>(k) * limiti_file::metri_cella,
                              pendenza_di(percorso_[k]), 0};
        return false;
      }
      avanti[j + 1] = std::min({tetto[j + 1], p.limite * p.limite, raggiunta});
    }
    std::vector<double> indietro(n + 1, 0.0);
    indietro[n] = tetto[n];
    for (std::size_t j = n; j-- > 0;) {
      const pezzo& p = pezzi[j];
      indietro[j] = std::min({tetto[j], p.limite * p.limite, indietro[j + 1] + 2 * p.decelerazione * (p.a - p.da)});
    }
    v2.resize(n + 1);
    for (std::size_t j = 0; j <= n; ++j) v2[j] = std::min(avanti[j], indietro[j]);
    return true;
  }

  // One piece, entered at u0² and left at u1²: the speed's square is the lowest of the
  // limit's, of accelerating from the entry and of braking to the exit, each linear in the
  // distance. Between the points where two of them cross, one holds and the time is exact:
  // for v² linear in x, the time over Δx is 2 Δx / (v_start + v_end).
  static double percorri(const pezzo& p, double u0, double u1, double secondi, std::vector<punto_corsa>& punti) {
    const double l = p.a - p.da, lim = p.limite * p.limite, acc = p.accelerazione, fren = p.decelerazione;
    const auto v2 = [&](double x) { return std::max(0.0, std::min({lim, u0 + 2 * acc * x, u1 + 2 * fren * (l - x)})); };
    std::vector<double> xs{0.0, l};
    const auto se_dentro = [&](double x) {
      if (std::isfinite(x) && x > 0 && x < l) xs.push_back(x);
    };
    if (acc != 0) se_dentro((lim - u0) / (2 * acc));
    se_dentro(l - (lim - u1) / (2 * fren));
    se_dentro((u1 + 2 * fren * l - u0) / (2 * (acc + fren)));
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      const double vs = std::sqrt(v2(xs[i])), ve = std::sqrt(v2(xs[i + 1]));
      punti.push_back({p.da + xs[i], vs, secondi});
      if (vs + ve > 0) secondi += 2 * (xs[i + 1] - xs[i]) / (vs + ve);
    }
    return secondi;
  }

  const std::vector<tratto>& percorso_;
  std::vector<int> limiti_;
  double a_, b_;
};

// The time of the clock, entry 86: when the scenario starts.
std::int32_t secondi_orologio(const std::array<voce_scenario, kVociScenario>& scenario) {
  return (orologio_ore(scenario) * 60 + orologio_minuti(scenario)) * 60 + orologio_secondi(scenario);
}

std::vector<stazione_corsa> stazioni_di(const std::vector<tratto>& percorso,
                                        const std::array<voce_scenario, kVociScenario>& scenario) {
  std::vector<stazione_corsa> out;
  for (const std::size_t n : voci_stazioni(percorso, scenario)) {
    const voce_scenario& v = scenario[n];
    stazione_corsa s;
    s.voce = n;
    s.nome = nome_stazione(v);
    s.posizione = posizione_stazione(v);
    s.orario = orario_stazione(v);
    s.fermata = v.tipo < kPrimoTipoSenzaFermata;
    s.metro = s.fermata
                  ? static_cast<double>(limiti_file::metri_di_cella(limiti_file::cella_fermata(v))) + kMetriCella / 2
                  : static_cast<double>(s.posizione);
    out.push_back(std::move(s));
  }
  return out;
}

// Drops the points inside a stretch run at one speed: the line through them is straight.
void togli_punti_allineati(std::vector<punto_corsa>& punti) {
  std::vector<punto_corsa> out;
  for (std::size_t i = 0; i < punti.size(); ++i) {
    const bool interno = i > 0 && i + 1 < punti.size() && punti[i - 1].velocita == punti[i].velocita &&
                         punti[i].velocita == punti[i + 1].velocita && punti[i].velocita > 0;
    if (!interno) out.push_back(punti[i]);
  }
  punti = std::move(out);
}

// The first of the stations after `da` up to `a` that lies behind the one before it: the
// train runs one way, so neither it nor any after it can be reached.
std::optional<std::size_t> stazione_all_indietro(const std::vector<stazione_corsa>& stazioni, std::size_t da,
                                                 std::size_t a) {
  for (std::size_t j = da + 1; j <= a; ++j) {
    if (stazioni[j].metro < stazioni[j - 1].metro) return j;
  }
  return std::nullopt;
}

void margini(std::vector<stazione_corsa>& stazioni) {
  for (std::size_t i = 0; i < stazioni.size(); ++i) {
    stazione_corsa& s = stazioni[i];
    if (!s.arrivo) continue;
    s.margine = s.orario - *s.arrivo;
    if (i == 0) continue;
    const double previsto = static_cast<double>(s.orario) - stazioni[i - 1].orario;
    if (previsto > 0) s.margine_percento = *s.margine / previsto * 100;
  }
}

}  // namespace

double decelerazione_da_massa_frenata(double percento) {
  const double v = 100 * kKmhInMs;  // the rate is the same at any speed: V² cancels
  const double spazio = kCoefficienteVelocita * 100 * 100 / (kCoefficienteFreno * (1 + percento / 10));
  return v * v / (2 * spazio);
}

corsa_minima ipotesi_della_corsa(const std::array<voce_scenario, kVociScenario>& scenario,
                                 const ipotesi_corsa& ipotesi) {
  corsa_minima c;
  c.accelerazione = ipotesi.accelerazione;
  c.massa_frenata = massa_frenata(scenario);
  c.orologio = secondi_orologio(scenario);
  if (ipotesi.decelerazione) {
    c.decelerazione = *ipotesi.decelerazione;
  } else {
    c.decelerazione_da_massa = true;
    c.massa_fuori_campo = c.massa_frenata < kMassaFrenataMinima || c.massa_frenata > kMassaFrenataMassima;
    c.decelerazione =
        decelerazione_da_massa_frenata(std::clamp<double>(c.massa_frenata, kMassaFrenataMinima, kMassaFrenataMassima));
  }
  return c;
}

corsa_minima calcola_corsa_minima(const std::vector<tratto>& percorso,
                                  const std::array<voce_scenario, kVociScenario>& scenario,
                                  const ipotesi_corsa& ipotesi) {
  corsa_minima c = ipotesi_della_corsa(scenario, ipotesi);
  c.stazioni = stazioni_di(percorso, scenario);
  if (c.stazioni.empty()) return c;

  const Calcolo calcolo(percorso, c.accelerazione, c.decelerazione);
  stazione_corsa& prima = c.stazioni.front();
  prima.arrivo = c.orologio;  // the train stands there when the scenario starts
  double partenza = std::max<double>(prima.orario, c.orologio);
  c.punti.push_back({prima.metro, 0, static_cast<double>(c.orologio)});
  for (std::size_t i = 0; i + 1 < c.stazioni.size() && !c.blocco;) {
    // The next stop, or the last station; the stations between are passed.
    std::size_t fine = i + 1;
    while (fine + 1 < c.stazioni.size() && !c.stazioni[fine].fermata) ++fine;
    if (const auto dietro = stazione_all_indietro(c.stazioni, i, fine)) {
      c.blocco = blocco_corsa{blocco_corsa::motivo::indietro, c.stazioni[*dietro].posizione, 0, 0};
      break;
    }
    tratta t{c.stazioni[i].metro, c.stazioni[fine].metro, c.stazioni[fine].fermata, {}};
    for (std::size_t j = i + 1; j < fine; ++j) t.passaggi.push_back(c.stazioni[j].metro);
    const esito_tratta e = calcolo.corri(t);
    if (e.blocco) {
      c.blocco = e.blocco;
      break;
    }
    for (const auto& p : e.punti) c.punti.push_back({p.metro, p.velocita, partenza + p.secondi});
    for (std::size_t j = i + 1; j < fine; ++j) c.stazioni[j].arrivo = partenza + e.tempi[j - i - 1];
    stazione_corsa& arrivo = c.stazioni[fine];
    arrivo.arrivo = partenza + e.durata;
    partenza = std::max<double>(arrivo.orario, *arrivo.arrivo);
    i = fine;
  }
  togli_punti_allineati(c.punti);
  margini(c.stazioni);
  return c;
}

}  // namespace cmp
