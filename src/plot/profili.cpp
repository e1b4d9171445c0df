// The profiles panel: gradient and speed limit along the track, on one kilometre axis.
#include <algorithm>
#include <cmath>

#include "plot/pannelli.h"
#include "plot/semplifica.h"
#include "plot/testo_svg.h"

namespace cmp::disegno {
namespace {

constexpr double kX0 = 96.0;
constexpr double kX1 = kLarghezzaPagina - kMargine - 14.0;
constexpr double kAltezzaPendenze = 150.0;
constexpr double kAltezzaVelocita = 170.0;
constexpr double kRigaNomi = 14.0;
constexpr int kMassimoRigheNomi = 3;
constexpr double kLetteraNome = 7.4;  // rough width of a bold 11 px letter, to keep names apart

const char* colore_montagna(int tipo) {
  switch (tipo) {
    case 1:
      return "#d8c3a5";
    case 2:
      return "#b89b72";
    default:
      return "#8c6d3f";
  }
}

// A path of horizontal and vertical steps, without commands that would not move the pen
// once the coordinates are written with one decimal.
class Gradini {
 public:
  void muovi(double x, double y) {
    x_ = numero(x);
    y_ = numero(y);
    d_ += "M" + x_ + " " + y_;
  }
  void orizzontale(double x) {
    std::string n = numero(x);
    if (n == x_) return;
    x_ = std::move(n);
    d_ += "H" + x_;
  }
  void verticale(double y) {
    std::string n = numero(y);
    if (n == y_) return;
    y_ = std::move(n);
    d_ += "V" + y_;
  }
  void chiudi() { d_ += "Z"; }
  const std::string& d() const { return d_; }

 private:
  std::string d_;
  std::string x_;
  std::string y_;
};

struct grafico {
  double alto = 0.0;
  double altezza = 0.0;
  double minimo = 0.0;
  double massimo = 1.0;
  double y(double v) const { return alto + (massimo - v) / (massimo - minimo) * altezza; }
  double basso() const { return alto + altezza; }
};

class Profili {
 public:
  Profili(const contenuto& c, double y0) : c_(c), y0_(y0) {
    metri_ = std::max<std::int64_t>(c.metri_percorso, 50);
    righe_nomi_ = disponi_nomi();
    pendenze_.alto = y0 + 44.0 + righe_nomi_ * kRigaNomi;
    pendenze_.altezza = kAltezzaPendenze;
    int massima = 0;
    for (const auto& t : c.pendenze) massima = std::max(massima, std::abs(t.valore));
    passo_pendenze_ = passo_tondo(std::max(1.0, massima / 3.0));
    pendenze_.massimo = std::max(1.0, std::ceil(massima / passo_pendenze_)) * passo_pendenze_;
    pendenze_.minimo = -pendenze_.massimo;
    velocita_.alto = pendenze_.basso() + 22.0;
    velocita_.altezza = kAltezzaVelocita;
    int veloce = 0;
    for (const auto& t : c.velocita) veloce = std::max(veloce, t.valore);
    for (const auto& r : c.rallentamenti) veloce = std::max(veloce, r.velocita);
    passo_velocita_ = passo_tondo(std::max(10.0, veloce / 4.0));
    // A step of room above the highest speed, so that its line does not run along the frame.
    velocita_.massimo = (std::floor(veloce / passo_velocita_) + 1.0) * passo_velocita_;
    velocita_.minimo = 0.0;
  }

  double x(std::int64_t metro) const {
    return kX0 + static_cast<double>(metro) * (kX1 - kX0) / static_cast<double>(metri_);
  }

  pannello disegna() const {
    pannello out;
    const double asse = velocita_.basso();
    out.altezza = asse + 74.0 - y0_;
    std::string& s = out.svg;
    s += "<g id=\"profili\">\n<rect x=\"" + numero(kMargine) + "\" y=\"" + numero(y0_) + "\" width=\"" +
         numero(kLarghezzaPagina - 2.0 * kMargine) + "\" height=\"" + numero(out.altezza) +
         "\" fill=\"#fbfbf8\" stroke=\"#cccccc\"/>\n";
    s += testo(kMargine + 12.0, y0_ + 22.0, 14.0, "Gradient and speed limit along the line", "font-weight=\"bold\"");
    for (const grafico* g : {&pendenze_, &velocita_}) s += sfondo(*g);
    s += griglia_km(pendenze_) + griglia_km(velocita_);
    s += griglia_valori(pendenze_, passo_pendenze_) + griglia_valori(velocita_, passo_velocita_);
    s += profilo_pendenze() + profilo_velocita() + rallentamenti() + abbattimenti();
    s += linee_stazioni() + nomi_stazioni();
    for (const grafico* g : {&pendenze_, &velocita_}) s += cornice(*g);
    s += titolo_asse(pendenze_, "Gradient (\xE2\x80\xB0)") + titolo_asse(velocita_, "Speed limit (km/h)");
    s += asse_km(asse);
    s += legenda(asse + 58.0);
    s += "</g>\n";
    return out;
  }

 private:
  std::string rettangolo(double x0, double x1, const grafico& g, const std::string& attributi) const {
    return "<rect " + attributi + " x=\"" + numero(x0) + "\" y=\"" + numero(g.alto) + "\" width=\"" +
           numero(std::max(x1 - x0, 0.0)) + "\" height=\"" + numero(g.altezza) + "\"/>\n";
  }

  // White ground, the run-out beyond the end of the line in grey, the mountain stretches.
  std::string sfondo(const grafico& g) const {
    std::string s = rettangolo(kX0, kX1, g, "fill=\"#ffffff\"");
    const std::int64_t fine = std::min(c_.lunghezza, metri_);
    if (fine < metri_) {
      s += rettangolo(x(fine), kX1, g, "class=\"oltre-fine\" fill=\"#ececec\"");
      if (kX1 - x(fine) >= 44.0) s += testo(x(fine) + 4.0, g.alto + 12.0, 10.0, "run-out", "fill=\"#777777\"");
    }
    for (const auto& m : c_.montagne) {
      s +=
          rettangolo(x(m.inizio), x(std::min(m.fine, metri_)), g,
                     "class=\"montagna\" fill=\"" + std::string(colore_montagna(m.valore)) + "\" fill-opacity=\"0.6\"");
    }
    return s;
  }

  std::string cornice(const grafico& g) const { return rettangolo(kX0, kX1, g, "fill=\"none\" stroke=\"#888888\""); }

  std::string titolo_asse(const grafico& g, const std::string& titolo) const {
    const double xc = kMargine + 18.0;
    const double yc = g.alto + g.altezza / 2.0;
    return "<text x=\"" + numero(xc) + "\" y=\"" + numero(yc) +
           "\" font-size=\"12\" font-weight=\"bold\" "
           "text-anchor=\"middle\" fill=\"#333333\" transform=\"rotate(-90 " +
           numero(xc) + " " + numero(yc) + ")\">" + titolo + "</text>\n";
  }

  // Kilometre values of the ticks: round steps of the reading, piece by piece of the
  // kilometre references (a piece ends where the next starts; the last at the track's end).
  struct tacca {
    double x = 0.0;
    std::string etichetta;
  };
  std::vector<tacca> tacche() const {
    const auto passo = static_cast<std::int64_t>(passo_tondo(std::max(100.0, static_cast<double>(metri_) / 12.0)));
    const auto& tratti = c_.riferimento.tratti;
    std::vector<tacca> out;
    for (std::size_t i = 0; i < tratti.size(); ++i) {
      const std::int64_t inizio = i == 0 ? 0 : std::max<std::int64_t>(0, tratti[i].da_metro);
      const bool ultimo = i + 1 == tratti.size();
      const std::int64_t fine = ultimo ? metri_ : std::min<std::int64_t>(metri_, tratti[i + 1].da_metro);
      if (fine < inizio || (!ultimo && fine == inizio)) continue;
      const std::int64_t da = c_.riferimento.a(inizio);
      const std::int64_t a = da + (fine - inizio);
      std::int64_t t = da >= 0 ? (da + passo - 1) / passo * passo : -((-da) / passo) * passo;
      for (; ultimo ? t <= a : t < a; t += passo) {
        out.push_back({x(inizio + (t - da)), chilometri(t, decimali_passo(passo))});
      }
    }
    return out;
  }

  std::string griglia_km(const grafico& g) const {
    std::string s = "<g stroke=\"#e3e3e3\" stroke-width=\"1\">\n";
    for (const auto& t : tacche()) {
      s += "<path d=\"M" + numero(t.x) + " " + numero(g.alto) + "V" + numero(g.basso()) + "\"/>\n";
    }
    return s + "</g>\n";
  }

  std::string griglia_valori(const grafico& g, double passo) const {
    std::string linee = "<g stroke=\"#dddddd\" stroke-width=\"1\">\n";
    std::string etichette = "<g font-size=\"10\" fill=\"#555555\" text-anchor=\"end\">\n";
    const long long quanti = std::llround((g.massimo - g.minimo) / passo);
    for (long long i = 0; i <= quanti; ++i) {
      const double v = g.minimo + static_cast<double>(i) * passo;
      const double y = g.y(v);
      const bool zero = v == 0.0 && g.minimo < 0.0;
      linee += "<path d=\"M" + numero(kX0) + " " + numero(y) + "H" + numero(kX1) + "\"" +
               (zero ? " stroke=\"#888888\"" : "") + "/>\n";
      etichette += testo(kX0 - 5.0, y + 3.5, 10.0, std::to_string(std::llround(v)));
    }
    return linee + "</g>\n" + etichette + "</g>\n";
  }

  // A step profile: the line, and the area between it and `base` filled.
  std::string profilo(const std::vector<tratto_costante>& tratti, const grafico& g, double base,
                      const std::string& classe, const char* linea, const char* area) const {
    if (tratti.empty()) return "";
    Gradini contorno;
    Gradini superficie;
    contorno.muovi(x(tratti.front().inizio), g.y(tratti.front().valore));
    superficie.muovi(x(tratti.front().inizio), g.y(base));
    for (const auto& t : tratti) {
      contorno.verticale(g.y(t.valore));
      contorno.orizzontale(x(t.fine));
      superficie.verticale(g.y(t.valore));
      superficie.orizzontale(x(t.fine));
    }
    superficie.verticale(g.y(base));
    superficie.chiudi();
    return "<path class=\"" + classe + "-area\" d=\"" + superficie.d() + "\" fill=\"" + area +
           "\" stroke=\"none\"/>\n" + "<path class=\"" + classe + "\" d=\"" + contorno.d() +
           "\" fill=\"none\" stroke=\"" + linea + "\" stroke-width=\"1.5\" stroke-linejoin=\"round\"/>\n";
  }

  std::string profilo_pendenze() const {
    return profilo(c_.pendenze, pendenze_, 0.0, "pendenza", "#2171b5", "#9ecae1");
  }
  std::string profilo_velocita() const {
    return profilo(c_.velocita, velocita_, 0.0, "velocita", "#238b45", "#dcefd6");
  }

  std::string dove(std::int64_t metro) const {
    return "km " + progressiva(c_.riferimento.a(metro)) + " (position " + std::to_string(metro) + " m)";
  }

  // Each slow order: its speed as a red line over its stretch, bracketed down from the top.
  std::string rallentamenti() const {
    std::string s;
    for (const auto& r : c_.rallentamenti) {
      const double xa = x(r.inizio);
      const double xb = std::max(x(std::min(r.fine, metri_)), xa + 2.0);
      const double yv = velocita_.y(std::max(r.velocita, 0));
      const std::string alto = numero(velocita_.alto);
      s += "<g class=\"rallentamento\" stroke=\"#d62728\" fill=\"none\"><title>Slow order " +
           std::to_string(r.velocita) + " km/h from " + dove(r.inizio) + " to " + dove(r.fine) +
           "</title>\n<path d=\"M" + numero(xa) + " " + alto + "V" + numero(yv) + "M" + numero(xb) + " " + alto + "V" +
           numero(yv) + "\" stroke-width=\"1\" stroke-dasharray=\"4 2\"/>\n<path d=\"M" + numero(xa) + " " +
           numero(yv) + "H" + numero(xb) + "\" stroke-width=\"3\"/>\n</g>\n";
    }
    return s;
  }

  // Abbattimento points along the top edge of the speed profile, their value in the tooltip:
  // the finishing pass gives them 180 whatever the line's speeds, which would flatten the scale.
  std::string abbattimenti() const {
    // Points closer than a triangle's width are one triangle, counted, every point in its tooltip.
    std::string s = "<g fill=\"#ff9900\" stroke=\"#7a4a00\" stroke-width=\"0.8\">\n";
    std::string conteggi;
    const auto& a = c_.abbattimenti;
    for (std::size_t i = 0; i < a.size();) {
      std::size_t j = i + 1;
      while (j < a.size() && x(a[j].metro) - x(a[i].metro) < 9.0) ++j;
      std::string t = j - i > 1 ? std::to_string(j - i) + " abbattimento points:\n" : "";
      for (std::size_t k = i; k < j; ++k) {
        const std::string valore = a[k].parametro1 > 0 ? ", value " + std::to_string(a[k].parametro1) : " (no value)";
        t += (k > i ? "\n" : "") + std::string("Abbattimento point at ") + dove(a[k].metro) + valore;
      }
      s += "<path class=\"abbattimento\" d=\"M" + numero(x(a[i].metro)) + " " + numero(velocita_.alto + 9.0) +
           "l-4.5-9.0h9.0z\"><title>" + t + "</title></path>\n";
      if (j - i > 1) conteggi += testo(x(a[i].metro) + 5.0, velocita_.alto + 18.0, 9.0, std::to_string(j - i));
      i = j;
    }
    s += "</g>\n";
    if (!conteggi.empty()) s += "<g fill=\"#7a4a00\">\n" + conteggi + "</g>\n";
    return s;
  }

  // Names of the stations above the gradient profile, in up to three rows so that they do
  // not run into each other (a name that finds no room in any row is left out: -1).
  int disponi_nomi() {
    std::vector<double> fine_riga;
    riga_nome_.clear();
    for (const auto& st : c_.stazioni) {
      // Windows-1252 takes one byte a letter.
      const double meta = kLetteraNome * static_cast<double>(st.testo.size()) / 2.0;
      const double sinistra = x(st.metro) - meta;
      std::size_t riga = fine_riga.size();
      for (std::size_t r = 0; r < fine_riga.size(); ++r) {
        if (fine_riga[r] + 6.0 <= sinistra) {
          riga = r;
          break;
        }
      }
      if (riga == fine_riga.size()) {
        if (fine_riga.size() == static_cast<std::size_t>(kMassimoRigheNomi)) {
          riga_nome_.push_back(-1);  // no room: the name is left to the tooltip of its line
          continue;
        }
        fine_riga.push_back(0.0);
      }
      fine_riga[riga] = x(st.metro) + meta;
      riga_nome_.push_back(static_cast<int>(riga));
    }
    return std::max<int>(1, static_cast<int>(fine_riga.size()));
  }

  std::string nomi_stazioni() const {
    std::string s = "<g font-size=\"11\" font-weight=\"bold\" fill=\"#111111\" text-anchor=\"middle\">\n";
    for (std::size_t i = 0; i < c_.stazioni.size(); ++i) {
      const auto& st = c_.stazioni[i];
      if (riga_nome_[i] < 0) continue;
      const double y = pendenze_.alto - 6.0 - riga_nome_[i] * kRigaNomi;
      s += "<text class=\"stazione\" x=\"" + numero(x(st.metro)) + "\" y=\"" + numero(y) + "\">" +
           testo_scenario_xml(st.testo) + "<title>" + testo_scenario_xml(st.testo) + ": stop at " + dove(st.metro) +
           "</title></text>\n";
    }
    return s + "</g>\n";
  }

  std::string linee_stazioni() const {
    std::string s = "<g stroke=\"#444444\" stroke-width=\"1\" stroke-dasharray=\"3 3\">\n";
    for (std::size_t i = 0; i < c_.stazioni.size(); ++i) {
      const auto& st = c_.stazioni[i];
      const double alto = pendenze_.alto - 4.0 - std::max(riga_nome_[i], 0) * kRigaNomi - 10.0;
      const std::string d = "M" + numero(x(st.metro)) + " " + numero(alto + 12.0) + "V" + numero(velocita_.basso());
      if (riga_nome_[i] >= 0) {
        s += "<path d=\"" + d + "\"/>\n";
      } else {
        s += "<path d=\"" + d + "\"><title>" + testo_scenario_xml(st.testo) + ": stop at " + dove(st.metro) +
             "</title></path>\n";
      }
    }
    return s + "</g>\n";
  }

  std::string asse_km(double y) const {
    std::string s = "<g stroke=\"#555555\">\n";
    for (const auto& t : tacche()) {
      s += "<path d=\"M" + numero(t.x) + " " + numero(y) + "v5.0\"/>\n";
    }
    s += "</g>\n<g font-size=\"10\" fill=\"#333333\" text-anchor=\"middle\">\n";
    for (const auto& t : tacche()) s += testo(t.x, y + 16.0, 10.0, t.etichetta);
    s += "</g>\n";
    std::string spiegazione;
    const auto& tratti = c_.riferimento.tratti;
    if (tratti.size() == 1 && tratti[0] == tratto_chilometrico{}) {
      spiegazione = "km from the start of the track (no kilometre reference)";
    } else {
      for (const auto& t : tratti) {
        spiegazione += (spiegazione.empty() ? "" : ", ") + std::string("position ") + std::to_string(t.da_metro) +
                       " m = km " + progressiva(t.valore);
      }
      spiegazione = "km of the line (" + spiegazione + ")";
    }
    return s + testo((kX0 + kX1) / 2.0, y + 32.0, 11.0, spiegazione, "text-anchor=\"middle\" fill=\"#333333\"");
  }

  std::string legenda(double y) const {
    double xl = kX0;
    std::string s = "<g font-size=\"11\" fill=\"#333333\">\n";
    const auto voce = [&](const std::string& simbolo, const std::string& nome) {
      s += simbolo + testo(xl + 14.0, y + 4.0, 11.0, nome);
      xl += 30.0 + 6.2 * static_cast<double>(nome.size());
    };
    const auto campione = [&](const char* riempimento, const char* bordo) {
      return "<rect x=\"" + numero(xl - 6.0) + "\" y=\"" + numero(y - 5.0) +
             "\" width=\"12.0\" height=\"10.0\" fill=\"" + riempimento + "\" stroke=\"" + bordo + "\"/>\n";
    };
    voce(campione("#9ecae1", "#2171b5"), "gradient");
    voce(campione("#dcefd6", "#238b45"), "speed limit");
    voce("<path d=\"M" + numero(xl - 6.0) + " " + numero(y) + "h12.0\" stroke=\"#d62728\" stroke-width=\"3\"/>\n",
         "slow order");
    voce(
        "<path d=\"M" + numero(xl) + " " + numero(y + 4.5) + "l-4.5-9.0h9.0z\" fill=\"#ff9900\" stroke=\"#7a4a00\"/>\n",
        "abbattimento point");
    for (int tipo = 1; tipo <= 3; ++tipo) {
      std::string campione_montagna = "<rect x=\"" + numero(xl - 6.0) + "\" y=\"" + numero(y - 5.0) +
                                      "\" width=\"12.0\" height=\"10.0\" fill=\"" + colore_montagna(tipo) +
                                      "\" fill-opacity=\"0.6\"/>\n";
      voce(campione_montagna, "mountain " + std::to_string(tipo));
    }
    voce(campione("#ececec", "#ececec"), "run-out");
    voce("<path d=\"M" + numero(xl) + " " + numero(y - 6.0) + "v12.0\" stroke=\"#444444\" stroke-dasharray=\"3 3\"/>\n",
         "station stop");
    return s + "</g>\n";
  }

  const contenuto& c_;
  double y0_;
  std::int64_t metri_ = 50;
  int righe_nomi_ = 1;
  std::vector<int> riga_nome_;
  grafico pendenze_;
  grafico velocita_;
  double passo_pendenze_ = 1.0;
  double passo_velocita_ = 10.0;
};

}  // namespace

pannello disegna_profili(const contenuto& c, double y0) { return Profili(c, y0).disegna(); }

}  // namespace cmp::disegno
