#include "plot/disegna.h"

#include "plot/contenuto.h"
#include "plot/pannelli.h"
#include "plot/testo_svg.h"

namespace cmp {
namespace disegno {

std::string testo(double x, double y, double dimensione, const std::string& contenuto_xml,
                  const std::string& attributi) {
  return "<text x=\"" + numero(x) + "\" y=\"" + numero(y) + "\" font-size=\"" + numero(dimensione) + "\"" +
         (attributi.empty() ? "" : " " + attributi) + ">" + contenuto_xml + "</text>\n";
}

namespace {

constexpr double kAltezzaTitolo = 76.0;
constexpr double kSpazio = 14.0;

std::string plurale(std::size_t n, const std::string& uno, const std::string& molti) {
  if (n == 0) return "no " + molti;
  return std::to_string(n) + " " + (n == 1 ? uno : molti);
}

std::string titolo(const contenuto& c) {
  std::string nome = testo_scenario_xml(c.nome_linea);
  if (!c.numero_treno.empty()) nome += " \xE2\x80\x93 train " + testo_scenario_xml(c.numero_treno);
  const int decimali = c.lunghezza % 1000 == 0 ? 0 : c.lunghezza % 100 == 0 ? 1 : c.lunghezza % 10 == 0 ? 2 : 3;
  std::string riassunto = "Line of " + chilometri(c.lunghezza, decimali) + " km";
  if (c.metri_percorso > 0) {
    riassunto += " (km " + progressiva(c.riferimento.a(0)) + " to " + progressiva(c.riferimento.a(c.lunghezza)) +
                 "), " + plurale(c.stazioni.size(), "station", "stations") + ", " +
                 plurale(c.segnali.size(), "signal", "signals") + ", " +
                 plurale(c.indicatori.size(), "speed-indicator board", "speed-indicator boards") + ", " +
                 plurale(c.cartelli.size(), "caption board", "caption boards") + ", " +
                 plurale(c.rallentamenti.size(), "slow order", "slow orders");
  }
  return disegno::testo(kMargine, 34.0, 20.0, nome, "font-weight=\"bold\" fill=\"#111111\"") +
         disegno::testo(kMargine, 56.0, 12.0, riassunto, "fill=\"#444444\"");
}

}  // namespace
}  // namespace disegno

std::string disegna_svg(const Stato& s) {
  using namespace disegno;
  const contenuto c = estrai_contenuto(s);
  std::string corpo = titolo(c);
  double y = kAltezzaTitolo;
  if (c.metri_percorso == 0) {
    corpo += disegno::testo(kMargine, y + 10.0, 14.0, "No track was compiled: there is nothing to draw.",
                            "fill=\"#b00000\"");
    y += 30.0;
  } else {
    const pannello pianta = disegna_pianta(s.tabella_linea, c, y);
    if (pianta.altezza > 0.0) {
      corpo += pianta.svg;
      y += pianta.altezza + kSpazio;
    }
    const pannello profili = disegna_profili(c, y);
    corpo += profili.svg;
    y += profili.altezza;
  }
  y += kMargine / 2.0;
  const std::string larghezza = numero(kLarghezzaPagina);
  const std::string altezza = numero(y);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         larghezza + "\" height=\"" + altezza + "\" viewBox=\"0 0 " + larghezza + " " + altezza +
         "\" font-family=\"DejaVu Sans, Verdana, Arial, Helvetica, sans-serif\">\n"
         "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" +
         corpo + "</svg>\n";
}

}  // namespace cmp
