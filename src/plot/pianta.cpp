// The plan panel: the line seen from above, north up, equal scales on both axes.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "plot/pannelli.h"
#include "plot/semplifica.h"
#include "plot/testo_svg.h"

namespace cmp::disegno {
namespace {

constexpr double kSinistra = 60.0;
constexpr double kLarghezzaUtile = 1040.0;  // room on the right for the north arrow
constexpr double kAltezzaMassima = 520.0;
constexpr double kTestata = 44.0;        // the heading above the drawing
constexpr double kPiede = 58.0;          // the scale bar and the legend below it
constexpr double kTolleranza = 0.25;     // pixels: what the eye cannot tell apart
constexpr std::int64_t kMezzaBase = 25;  // metres either side when taking the direction
// A compiled plan spans at most about a million metres; one wider than this came from a
// damaged file and cannot be drawn to any useful scale.
constexpr double kEstensioneMassima = 1e8;

bool riga_valida(const TabellaLinea& t, std::size_t m) {
  using tipo = valore_etichettato::tipo;
  return t.etichetta(m, 0) != tipo::vuoto && t.etichetta(m, 1) != tipo::vuoto && std::isfinite(t.numero(m, 0)) &&
         std::isfinite(t.numero(m, 1));
}

// The plan runs from metre 0 to the row before the first empty one (the last two rows
// of a compiled table are always empty).
std::int64_t ultima_riga(const TabellaLinea& t) {
  std::size_t m = 0;
  while (m < t.righe() && riga_valida(t, m)) ++m;
  return static_cast<std::int64_t>(m) - 1;
}

std::string coppia(const punto& p) { return numero(p.x) + "," + numero(p.y); }

class Pianta {
 public:
  Pianta(const TabellaLinea& t, std::int64_t ultima, double y0) : t_(t), ultima_(ultima) {
    double min_e = t.numero(0, 0), max_e = min_e, min_n = t.numero(0, 1), max_n = min_n;
    for (std::int64_t m = 1; m <= ultima; ++m) {
      const double e = t.numero(static_cast<std::size_t>(m), 0);
      const double n = t.numero(static_cast<std::size_t>(m), 1);
      min_e = std::min(min_e, e);
      max_e = std::max(max_e, e);
      min_n = std::min(min_n, n);
      max_n = std::max(max_n, n);
    }
    const double larghezza = std::max(max_e - min_e, 1.0);
    const double altezza = std::max(max_n - min_n, 1.0);
    disegnabile_ = larghezza <= kEstensioneMassima && altezza <= kEstensioneMassima;
    scala_ = std::min(kLarghezzaUtile / larghezza, kAltezzaMassima / altezza);
    min_est_ = min_e;
    max_nord_ = max_n;
    larghezza_ = (max_e - min_e) * scala_;
    altezza_ = (max_n - min_n) * scala_;
    ox_ = kSinistra + (kLarghezzaUtile - larghezza_) / 2.0;
    oy_ = y0 + kTestata;
  }

  bool disegnabile() const { return disegnabile_; }
  double altezza_disegno() const { return altezza_; }
  double scala() const { return scala_; }

  punto al_metro(std::int64_t m) const {
    return sulla_pagina(static_cast<std::size_t>(std::clamp<std::int64_t>(m, 0, ultima_)));
  }

  // The unit vector pointing to the right of the direction of travel at metre m, on the page.
  punto destra(std::int64_t m) const {
    const punto a = al_metro(m - kMezzaBase);
    const punto b = al_metro(m + kMezzaBase);
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double l = std::hypot(dx, dy);
    if (l < 1e-9) return {1.0, 0.0};
    return {-dy / l, dx / l};
  }

  punto scostato(std::int64_t m, double distanza) const {
    const punto p = al_metro(m);
    const punto d = destra(m);
    return {p.x + d.x * distanza, p.y + d.y * distanza};
  }

  // The "points" of a polyline from metre `da` to metre `a`, simplified.
  std::string punti(std::int64_t da, std::int64_t a) const {
    std::vector<punto> tutti;
    da = std::clamp<std::int64_t>(da, 0, ultima_);
    a = std::clamp<std::int64_t>(a, 0, ultima_);
    tutti.resize(static_cast<std::size_t>(a - da + 1));
    for (std::size_t i = 0; i < tutti.size(); ++i) tutti[i] = sulla_pagina(static_cast<std::size_t>(da) + i);
    std::string out;
    std::string ultimo;
    for (const auto& p : semplifica(tutti, kTolleranza)) {
      std::string c = coppia(p);
      if (c == ultimo) continue;
      if (!out.empty()) out += ' ';
      out += c;
      ultimo = std::move(c);
    }
    return out;
  }

 private:
  // Where the plan puts row r of the table (a row from 0 to the last one).
  punto sulla_pagina(std::size_t r) const {
    return {ox_ + (t_.numero(r, 0) - min_est_) * scala_, oy_ + (max_nord_ - t_.numero(r, 1)) * scala_};
  }

  const TabellaLinea& t_;
  std::int64_t ultima_;
  bool disegnabile_ = false;
  double scala_ = 1.0;
  double min_est_ = 0.0;
  double max_nord_ = 0.0;
  double larghezza_ = 0.0;
  double altezza_ = 0.0;
  double ox_ = 0.0;
  double oy_ = 0.0;
};

std::string titolo(const std::string& testo_xml) { return "<title>" + testo_xml + "</title>"; }

std::string dove(const contenuto& c, const oggetto& o) {
  return "km " + progressiva(c.riferimento.a(o.metro)) + " (position " + std::to_string(o.metro) + " m)";
}

// The speeds a speed-indicator code packs: the left board's speed is code / 20, the right
// board's the remainder times 5.
std::string velocita_indicatore(const oggetto& o) {
  const auto sinistra = [](int v) { return std::to_string(v / 20); };
  const auto destra = [](int v) { return std::to_string((v % 20) * 5); };
  std::string out = sinistra(o.parametro1) + "/" + sinistra(o.parametro2) + "/" + sinistra(o.parametro3) + " km/h";
  if (o.parametro1 % 20 != 0 || o.parametro2 % 20 != 0 || o.parametro3 % 20 != 0) {
    out += ", right board " + destra(o.parametro1) + "/" + destra(o.parametro2) + "/" + destra(o.parametro3) + " km/h";
  }
  return out;
}

// Marks closer than this on the page cannot be told apart: they are drawn as one, counted.
constexpr double kMarchiVicini = 9.0;

// Runs of objects whose marks lie within kMarchiVicini of the run's first mark.
struct gruppo_marchi {
  punto q;
  std::vector<const oggetto*> oggetti;
};
std::vector<gruppo_marchi> raggruppa(const Pianta& p, const std::vector<oggetto>& oggetti, double distanza) {
  std::vector<gruppo_marchi> out;
  for (const auto& o : oggetti) {
    const punto q = p.scostato(o.metro, distanza);
    if (!out.empty() && std::hypot(q.x - out.back().q.x, q.y - out.back().q.y) < kMarchiVicini) {
      out.back().oggetti.push_back(&o);
    } else {
      out.push_back({q, {&o}});
    }
  }
  return out;
}

// One mark for a group: its shape, its count beside it when it stands for several, and a
// tooltip naming each object (one line each).
template <typename Forma, typename Descrivi>
std::string marchi(const Pianta& p, const std::vector<oggetto>& oggetti, double distanza, const std::string& gruppo,
                   const std::string& molti, Forma forma, Descrivi descrivi) {
  std::string out = gruppo;
  std::string conteggi;
  for (const auto& g : raggruppa(p, oggetti, distanza)) {
    std::string t;
    if (g.oggetti.size() > 1) t = std::to_string(g.oggetti.size()) + " " + molti + ":";
    for (const oggetto* o : g.oggetti) t += (t.empty() ? "" : "\n") + descrivi(*o);
    out += forma(g.q, titolo(t));
    if (g.oggetti.size() > 1) {
      conteggi += testo(g.q.x + 6.0, g.q.y - 5.0, 9.0, std::to_string(g.oggetti.size()));
    }
  }
  out += "</g>\n";
  if (!conteggi.empty()) out += "<g fill=\"#333333\">\n" + conteggi + "</g>\n";
  return out;
}

// The codes a signal's cell packs, as its row gave them.
std::string dati_segnale(const oggetto& o) {
  return "aspect codes " + std::to_string(o.parametro1) + " / " + std::to_string(o.parametro2) + " / " +
         std::to_string(o.parametro3) + " (10 \xC3\x97 s + d), kind code " + std::to_string(o.parametro4) +
         " (10 \xC3\x97 rapp + 3 \xC3\x97 sx + dx), time " + std::to_string(o.tempo);
}

std::string segnali(const Pianta& p, const contenuto& c) {
  return marchi(
      p, c.segnali, 7.0, "<g fill=\"#d62728\" stroke=\"#ffffff\" stroke-width=\"1\">\n", "signals",
      [](const punto& q, const std::string& t) {
        return "<circle class=\"segnale\" cx=\"" + numero(q.x) + "\" cy=\"" + numero(q.y) + "\" r=\"4.0\">" + t +
               "</circle>\n";
      },
      [&](const oggetto& o) { return "Signal at " + dove(c, o) + ": " + dati_segnale(o); });
}

std::string indicatori(const Pianta& p, const contenuto& c) {
  return marchi(
      p, c.indicatori, 7.0, "<g fill=\"#1f77b4\" stroke=\"#ffffff\" stroke-width=\"1\">\n", "speed-indicator boards",
      [](const punto& q, const std::string& t) {
        return "<rect class=\"indicatore\" x=\"" + numero(q.x - 3.5) + "\" y=\"" + numero(q.y - 3.5) +
               "\" width=\"7.0\" height=\"7.0\">" + t + "</rect>\n";
      },
      [&](const oggetto& o) { return "Speed-indicator board at " + dove(c, o) + ": " + velocita_indicatore(o); });
}

std::string rombo(const punto& q) { return "M" + numero(q.x) + " " + numero(q.y - 4.5) + "l4.5 4.5-4.5 4.5-4.5-4.5z"; }

std::string cartelli(const Pianta& p, const contenuto& c) {
  return marchi(
      p, c.cartelli, -7.0, "<g fill=\"#ff7f0e\" stroke=\"#ffffff\" stroke-width=\"0.8\">\n", "caption boards",
      [](const punto& q, const std::string& t) {
        return "<path class=\"cartello\" d=\"" + rombo(q) + "\">" + t + "</path>\n";
      },
      [&](const oggetto& o) { return "Caption board at " + dove(c, o) + ": " + testo_scenario_xml(o.testo); });
}

// Where a station's name goes: on either side of the line, anchored so that the text runs
// away from the line.
struct posto_nome {
  punto base;                                                    // the text's anchor point (baseline)
  const char* ancora;                                            // "start", "middle" or "end"
  double sinistra = 0.0, destra = 0.0, alto = 0.0, basso = 0.0;  // the box the text takes
};

posto_nome posto(const punto& q, const punto& verso, double distanza, double larghezza) {
  posto_nome p;
  p.base = {q.x + verso.x * distanza, q.y + verso.y * distanza + 4.0};
  p.ancora = verso.x > 0.35 ? "start" : (verso.x < -0.35 ? "end" : "middle");
  p.sinistra = verso.x > 0.35 ? p.base.x : (verso.x < -0.35 ? p.base.x - larghezza : p.base.x - larghezza / 2.0);
  p.destra = p.sinistra + larghezza;
  p.alto = p.base.y - 11.0;
  p.basso = p.base.y + 3.0;
  return p;
}

struct riquadro {
  double sinistra = 0.0, destra = 0.0, alto = 0.0, basso = 0.0;
};

// What a name should not cover: the points of the drawing, sorted from left to right so
// that a name's box looks only at those below it, and the points of the names placed.
class Ostacoli {
 public:
  explicit Ostacoli(std::vector<punto> disegno) : disegno_(std::move(disegno)) {
    std::sort(disegno_.begin(), disegno_.end(), [](const punto& a, const punto& b) { return a.x < b.x; });
  }

  std::size_t quanti() const { return disegno_.size() + nomi_.size(); }

  // Points enough to tell a later name that this one's box is taken.
  void occupa(const posto_nome& p) {
    for (double x = p.sinistra; x <= p.destra; x += 6.0) {
      for (const double y : {p.alto, (p.alto + p.basso) / 2.0, p.basso}) nomi_.push_back({x, y});
    }
  }

  // How much of the drawing a name would cover; a name that leaves the panel counts as worst.
  std::size_t coperti(const posto_nome& p, const riquadro& pannello) const {
    if (p.sinistra < pannello.sinistra || p.destra > pannello.destra || p.alto < pannello.alto ||
        p.basso > pannello.basso) {
      return quanti() + 1;
    }
    const auto dentro = [&p](const punto& o) {
      return o.x >= p.sinistra - 3.0 && o.x <= p.destra + 3.0 && o.y >= p.alto - 3.0 && o.y <= p.basso + 3.0;
    };
    std::size_t n = 0;
    auto i = std::lower_bound(disegno_.begin(), disegno_.end(), p.sinistra - 3.0,
                              [](const punto& o, double x) { return o.x < x; });
    for (; i != disegno_.end() && i->x <= p.destra + 3.0; ++i) n += dentro(*i) ? 1 : 0;
    for (const auto& o : nomi_) n += dentro(o) ? 1 : 0;
    return n;
  }

 private:
  std::vector<punto> disegno_;
  std::vector<punto> nomi_;
};

// The line every 25 m and the marks along it.
std::vector<punto> ostacoli(const Pianta& p, const contenuto& c, std::int64_t ultima) {
  std::vector<punto> out;
  for (std::int64_t m = 0; m <= ultima; m += 25) out.push_back(p.al_metro(m));
  for (const auto& o : c.segnali) out.push_back(p.scostato(o.metro, 7.0));
  for (const auto& o : c.indicatori) out.push_back(p.scostato(o.metro, 7.0));
  for (const auto& o : c.cartelli) out.push_back(p.scostato(o.metro, -7.0));
  for (const auto& o : c.stazioni) out.push_back(p.al_metro(o.metro));
  return out;
}

// Stations on the line, each named on the side where its name covers less of the drawing
// (the side of the caption boards when both are alike).
std::string stazioni(const Pianta& p, const contenuto& c, std::int64_t ultima, const riquadro& pannello) {
  std::string punti = "<g fill=\"#ffffff\" stroke=\"#111111\" stroke-width=\"2\">\n";
  // The halo only softens what lies under a name: the line must still show through it.
  std::string nomi =
      "<g font-size=\"12\" font-weight=\"bold\" fill=\"#111111\" stroke=\"#ffffff\" stroke-width=\"3\" "
      "stroke-opacity=\"0.5\" paint-order=\"stroke\">\n";
  Ostacoli da_evitare(c.stazioni.empty() ? std::vector<punto>{} : ostacoli(p, c, ultima));
  std::vector<posto_nome> nomi_messi;
  for (const auto& o : c.stazioni) {
    const punto q = p.al_metro(o.metro);
    const std::string nome = testo_scenario_xml(o.testo);
    std::string dettagli = nome + ": stop at " + dove(c, o) + ", kind " + std::to_string(o.parametro2);
    if (o.parametro2 >= kPrimoTipoSenzaFermata) dettagli += " (no cell on the track)";
    punti += "<circle class=\"stazione\" cx=\"" + numero(q.x) + "\" cy=\"" + numero(q.y) + "\" r=\"5.5\">" +
             titolo(dettagli) + "</circle>\n";
    const punto d = p.destra(o.metro);
    const double larghezza = 7.6 * static_cast<double>(o.testo.size());  // one byte a letter in Windows-1252
    // Close to the station first, on the caption side before the signal side, then above
    // and below; a place over another name is never taken.
    const posto_nome candidati[] = {posto(q, {-d.x, -d.y}, 16.0, larghezza), posto(q, d, 16.0, larghezza),
                                    posto(q, {-d.x, -d.y}, 34.0, larghezza), posto(q, d, 34.0, larghezza),
                                    posto(q, {0.0, -1.0}, 18.0, larghezza),  posto(q, {0.0, 1.0}, 18.0, larghezza),
                                    posto(q, {-d.x, -d.y}, 56.0, larghezza), posto(q, d, 56.0, larghezza)};
    const auto sopra_un_nome = [&](const posto_nome& c) {
      for (const auto& n : nomi_messi) {
        if (c.sinistra < n.destra + 2.0 && n.sinistra < c.destra + 2.0 && c.alto < n.basso && n.alto < c.basso)
          return true;
      }
      return false;
    };
    std::size_t scelto = std::size(candidati);
    std::size_t migliore = 0;
    for (std::size_t i = 0; i < std::size(candidati); ++i) {
      if (sopra_un_nome(candidati[i])) continue;
      const std::size_t n = da_evitare.coperti(candidati[i], pannello);
      if (scelto == std::size(candidati) || n < migliore) {
        migliore = n;
        scelto = i;
      }
      if (migliore == 0) break;
    }
    if (scelto == std::size(candidati)) continue;  // no room: the name stays in the tooltip
    const posto_nome& posto_scelto = candidati[scelto];
    nomi_messi.push_back(posto_scelto);
    da_evitare.occupa(posto_scelto);
    nomi += "<text x=\"" + numero(posto_scelto.base.x) + "\" y=\"" + numero(posto_scelto.base.y) + "\" text-anchor=\"" +
            posto_scelto.ancora + "\">" + nome + "</text>\n";
  }
  return punti + "</g>\n" + nomi + "</g>\n";
}

std::string freccia_nord(double x, double y0) {
  return "<g fill=\"#333333\" stroke=\"#333333\">\n<path d=\"M" + numero(x) + " " + numero(y0 + 60.0) + "V" +
         numero(y0 + 34.0) + "\" stroke-width=\"2\"/>\n<path d=\"M" + numero(x) + " " + numero(y0 + 26.0) +
         "l-5.0 10.0h10.0z\" stroke-width=\"1\"/>\n" +
         testo(x, y0 + 22.0, 13.0, "N", "text-anchor=\"middle\" font-weight=\"bold\" stroke=\"none\"") + "</g>\n";
}

// A bar of a round number of kilometres, 100 to 250 pixels long, in two halves.
std::string barra_scala(const Pianta& p, double x, double y) {
  const double metri = passo_tondo(std::max(1.0, 100.0 / p.scala()));
  const double l = metri * p.scala();
  const auto metri_interi = static_cast<long long>(metri);
  const std::string etichetta = chilometri(metri_interi, decimali_passo(metri_interi));
  return "<g stroke=\"#111111\" stroke-width=\"1\">\n<rect x=\"" + numero(x) + "\" y=\"" + numero(y) + "\" width=\"" +
         numero(l / 2.0) + "\" height=\"5.0\" fill=\"#111111\"/>\n<rect x=\"" + numero(x + l / 2.0) + "\" y=\"" +
         numero(y) + "\" width=\"" + numero(l / 2.0) + "\" height=\"5.0\" fill=\"#ffffff\"/>\n</g>\n" +
         testo(x, y - 4.0, 10.0, "0", "text-anchor=\"middle\"") +
         testo(x + l, y - 4.0, 10.0, etichetta + " km", "text-anchor=\"middle\"");
}

std::string legenda(double x, double y) {
  std::string out = "<g font-size=\"11\" fill=\"#333333\">\n";
  const auto voce = [&](const std::string& simbolo, const std::string& nome) {
    out += simbolo + testo(x + 12.0, y + 4.0, 11.0, nome);
    x += 24.0 + 6.2 * static_cast<double>(nome.size());
  };
  voce("<circle cx=\"" + numero(x) + "\" cy=\"" + numero(y) +
           "\" r=\"5.0\" fill=\"#ffffff\" stroke=\"#111111\" "
           "stroke-width=\"2\"/>\n",
       "station");
  voce("<circle cx=\"" + numero(x) + "\" cy=\"" + numero(y) + "\" r=\"4.0\" fill=\"#d62728\"/>\n", "signal");
  voce("<rect x=\"" + numero(x - 3.5) + "\" y=\"" + numero(y - 3.5) +
           "\" width=\"7.0\" height=\"7.0\" "
           "fill=\"#1f77b4\"/>\n",
       "speed-indicator board");
  voce("<path d=\"" + rombo({x, y}) + "\" fill=\"#ff7f0e\"/>\n", "caption board");
  voce("<path d=\"M" + numero(x - 6.0) + " " + numero(y) +
           "h12.0\" stroke=\"#8c6d3f\" stroke-opacity=\"0.6\" "
           "stroke-width=\"6\"/>\n",
       "mountain stretch");
  voce("<path d=\"M" + numero(x - 6.0) + " " + numero(y) +
           "h12.0\" stroke=\"#999999\" stroke-width=\"2\" "
           "stroke-dasharray=\"4 3\"/>\n",
       "run-out beyond the end of the line");
  return out + "</g>\n";
}

}  // namespace

pannello disegna_pianta(const TabellaLinea& tabella, const contenuto& c, double y0) {
  const std::int64_t ultima = ultima_riga(tabella);
  if (ultima < 1) return {};
  const Pianta p(tabella, ultima, y0);
  if (!p.disegnabile()) return {};
  const std::int64_t fine_linea = std::min(c.lunghezza, ultima);
  pannello out;
  out.altezza = kTestata + p.altezza_disegno() + kPiede;
  std::string& s = out.svg;
  s += "<g id=\"pianta\">\n<rect x=\"" + numero(kMargine) + "\" y=\"" + numero(y0) + "\" width=\"" +
       numero(kLarghezzaPagina - 2.0 * kMargine) + "\" height=\"" + numero(out.altezza) +
       "\" fill=\"#fbfbf8\" stroke=\"#cccccc\"/>\n";
  s += testo(kMargine + 12.0, y0 + 22.0, 14.0, "Plan of the line", "font-weight=\"bold\"");
  s += "<g fill=\"none\" stroke-linejoin=\"round\">\n";
  for (const auto& m : c.montagne) {
    if (m.inizio > ultima) continue;
    s += "<polyline class=\"montagna\" points=\"" + p.punti(m.inizio, m.fine) +
         "\" stroke=\"#8c6d3f\" stroke-opacity=\"0.6\" stroke-width=\"8\"/>\n";
  }
  if (fine_linea < ultima) {
    s += "<polyline class=\"oltre-fine\" points=\"" + p.punti(fine_linea, ultima) +
         "\" stroke=\"#999999\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>\n";
  }
  s += "<polyline class=\"linea\" points=\"" + p.punti(0, fine_linea) + "\" stroke=\"#333333\" stroke-width=\"2\"/>\n";
  s += "</g>\n";
  s += cartelli(p, c) + indicatori(p, c) + segnali(p, c);
  const riquadro interno{kMargine + 6.0, kLarghezzaPagina - kMargine - 6.0, y0 + 28.0,
                         y0 + kTestata + p.altezza_disegno() + 20.0};
  s += stazioni(p, c, ultima, interno);
  s += freccia_nord(kLarghezzaPagina - kMargine - 28.0, y0);
  const double y_piede = y0 + kTestata + p.altezza_disegno() + 34.0;
  s += barra_scala(p, kSinistra, y_piede);
  s += legenda(420.0, y_piede + 2.0);
  s += "</g>\n";
  return out;
}

}  // namespace cmp::disegno
