// The interactive page: the compiled line as JSON data, drawn in the browser by an inline
// script (zoom, pan, level of detail, tooltips with links to the description rows). The
// style, the body's elements and the script are the files pagina.css, pagina.html and
// pagina.js beside this one; this file writes the frame around them and the data.
//
// The data (element "dati"); positions are metres of the track, SRC stands for three
// numbers (index into "file", line, column; -1,0,0 when no row is known; a diagnostic
// of a whole text, such as error 2, has its index and 0,0):
//   nome, treno, lunghezza, metri
//   chilometri  [[start, km value at start], ...] ascending: from each start to the next,
//               km = value + (metre - start); before the first, the first piece runs backwards
//   file        [[name shown, path for the editor link], ...]; empty when drawn from binary files
//   editor      the URL template ("" for no links)
//   pianta      {m: [metre...], e: [east...], n: [north...]} simplified to half a metre, or null
//   stazioni    [metre, name, kind, entry, area start, area end, SRC]
//   segnali     [metre, parametro1, parametro2, parametro3, parametro4, time, SRC]
//   indicatori  [metre, code1, code2, code3, SRC]
//   cartelli    [metre, caption, SRC]
//   abbattimenti [metre, value, SRC]         rallentamenti [start, end, km/h, SRC]
//   montagne    [start, end, kind, SRC]      progressive [position, km value, SRC], those in use
//   pendenze, velocita, aderenze   flat runs: start, end, value, start, end, value, ...
//   righe_pendenza, righe_velocita, righe_aderenza, curve   [position, number, keyword, SRC]
//   diagnostica [metre or null, "error"|"warning", number, message, SRC]
//   corsa_minima the fastest run (orario/corsa_minima.h): {accelerazione, decelerazione (m/s²),
//               decelerazione_da "massa_frenata"|"opzione", massa_frenata (per cent),
//               massa_fuori_campo (0/1), orologio, margine_minimo (per cent),
//               punti [[metre, km/h, seconds], ...] where the speed curve bends (v² linear in
//               the metre between two; a stop is two points at one metre),
//               stazioni [[metre, scheduled, earliest arrival|null, margin s|null,
//               margin %|null, name, stop 0/1, entry, warning 0|301|302, its message], ...]
//               in row order,
//               blocco null | {metro, motivo "limite_nullo"|"salita"|"discesa"|"fuori_percorso"|"indietro",
//               pendenza, velocita}}; times are seconds since midnight, with two decimals
#include "plot/pagina.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "model/cp1252.h"
#include "model/limiti_formato.h"
#include "orario/corsa_minima.h"
#include "orario/testo_orario.h"
#include "plot/contenuto.h"
#include "plot/pagina_risorse.h"
#include "plot/semplifica.h"
#include "plot/testo_svg.h"

namespace cmp {
namespace {

using disegno::contenuto;
using disegno::oggetto;

constexpr std::int64_t kMetriCella = limiti_file::metri_cella;
// Metres the plan may leave out when simplified: under a pixel at the closest zoom.
constexpr double kTolleranzaPianta = 0.5;
constexpr std::size_t kMetriPezzo = 1000;

// A JSON string literal that may also stand inside a <script> element: besides what JSON
// needs, "<", ">" and "&" are escaped so that no "</script>" can end the element early.
std::string json(std::string_view utf8) {
  static const char* cifre = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += cifre[b >> 4];
      out += cifre[b & 0xF];
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string json_scenario(std::string_view cp1252) { return json(da_cp1252(std::string(cp1252))); }

// A number with at most one decimal, the same bytes whatever the locale.
std::string decimale(double v) {
  const long long decimi = std::llround(v * 10.0);
  if (decimi % 10 == 0) return std::to_string(decimi / 10);
  const long long assoluto = decimi < 0 ? -decimi : decimi;
  return std::string(decimi < 0 ? "-" : "") + std::to_string(assoluto / 10) + "." + std::to_string(assoluto % 10);
}

// A number with at most `cifre` decimals (trailing zeros dropped), the same bytes whatever
// the locale; null for one that is not finite.
std::string decimali(double v, int cifre) {
  if (!std::isfinite(v)) return "null";
  long long scala = 1;
  for (int i = 0; i < cifre; ++i) scala *= 10;
  const long long n = std::llround(v * static_cast<double>(scala));
  const long long assoluto = n < 0 ? -n : n;
  std::string frazione = std::to_string(assoluto % scala);
  frazione.insert(0, static_cast<std::size_t>(cifre) - frazione.size(), '0');
  while (!frazione.empty() && frazione.back() == '0') frazione.pop_back();
  return std::string(n < 0 ? "-" : "") + std::to_string(assoluto / scala) + (frazione.empty() ? "" : "." + frazione);
}

std::string facoltativo(const std::optional<double>& v, int cifre) { return v ? decimali(*v, cifre) : "null"; }

// Where an object came from: index of the text, line and column, or -1,0,0.
struct fonte {
  int file = -1;
  int riga = 0;
  int colonna = 0;
};

std::string json_fonte(const fonte& f) {
  return std::to_string(f.file) + "," + std::to_string(f.riga) + "," + std::to_string(f.colonna);
}

// Where a row of the record stands: the line's text is the first, the train's the second.
fonte fonte_di(const riga_sorgente* r) {
  if (r == nullptr) return {};
  return {r->testo == testo_descrizione::linea ? 0 : 1, r->riga, r->colonna};
}

// The rows of each kind, as the readers recorded them, for finding an object's row.
class Sorgenti {
 public:
  explicit Sorgenti(const opzioni_pagina& o) : righe_(o.testi.empty() ? nullptr : &o.righe) {}

  // The rows of the reader's keyword `chiave` (parole_chiave.h), in reading order.
  std::vector<const riga_sorgente*> di(std::string_view chiave) const {
    std::vector<const riga_sorgente*> out;
    if (righe_ == nullptr) return out;
    for (const auto& r : *righe_) {
      if (r.chiave == chiave && !r.numeri.empty()) out.push_back(&r);
    }
    return out;
  }

 private:
  const righe_lette* righe_;
};

// Objects of one kind matched to their rows: the first row whose position falls in the
// object's 50 m cell (the cell's first metre is the object's position, whichever way the
// row's position was mapped to the cell).
class Abbinamento {
 public:
  Abbinamento(const Sorgenti& s, std::string_view parola) {
    for (const riga_sorgente* r : s.di(parola)) {
      const std::int64_t p = r->posizione;
      const std::int64_t inizio_cella = (p >= 0 ? p / kMetriCella : (p - kMetriCella + 1) / kMetriCella) * kMetriCella;
      per_cella_.emplace(inizio_cella, r);
      per_posizione_.emplace(p, r);
    }
  }
  const riga_sorgente* cella(std::int64_t metro) const { return trova(per_cella_, metro); }
  const riga_sorgente* posizione(std::int64_t metro) const { return trova(per_posizione_, metro); }

 private:
  using indice = std::multimap<std::int64_t, const riga_sorgente*>;
  static const riga_sorgente* trova(const indice& i, std::int64_t chiave) {
    const auto it = i.find(chiave);  // the first inserted of equal keys: the first row in the text
    return it == i.end() ? nullptr : it->second;
  }
  indice per_cella_;
  indice per_posizione_;
};

template <typename F>
std::string elenco(const std::vector<oggetto>& oggetti, F voce) {
  std::string out = "[";
  for (std::size_t i = 0; i < oggetti.size(); ++i) {
    if (i > 0) out += ",\n";
    out += "[" + voce(oggetti[i]) + "]";
  }
  return out + "]";
}

std::string tratti(const std::vector<disegno::tratto_costante>& t) {
  std::string out = "[";
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (i > 0) out += ",";
    out += std::to_string(t[i].inizio) + "," + std::to_string(t[i].fine) + "," + std::to_string(t[i].valore);
  }
  return out + "]";
}

// The rows of one kind with their numbers: [position, numbers..., file, line, column].
std::string righe(const Sorgenti& s, std::string_view parola, std::size_t quanti_numeri) {
  std::string out = "[";
  bool primo = true;
  for (const riga_sorgente* r : s.di(parola)) {
    if (!primo) out += ",\n";
    primo = false;
    out += "[";
    for (std::size_t i = 0; i < quanti_numeri; ++i) {
      out += std::to_string(i < r->numeri.size() ? r->numeri[i] : 0) + ",";
    }
    out += json_scenario(r->campo) + "," + json_fonte(fonte_di(r)) + "]";
  }
  return out + "]";
}

// The plan, simplified, as three arrays: metre, east, north.
std::string pianta(const TabellaLinea& t) {
  using tipo = valore_etichettato::tipo;
  std::vector<disegno::punto> punti;
  for (std::size_t m = 0; m < t.righe(); ++m) {
    if (t.etichetta(m, 0) == tipo::vuoto || t.etichetta(m, 1) == tipo::vuoto) break;
    const double e = t.numero(m, 0);
    const double n = t.numero(m, 1);
    if (!std::isfinite(e) || !std::isfinite(n) || std::abs(e) > 1e8 || std::abs(n) > 1e8) break;
    punti.push_back({e, n});
  }
  if (punti.size() < 2) return "null";
  // Simplified a kilometre at a time: the simplifier splits at the farthest point, and
  // over a long, gently winding line one pass over the whole would split near its ends
  // again and again. Each piece keeps its ends, so the tolerance holds all along.
  std::string m = "[", e = "[", n = "[";
  const auto aggiungi = [&](std::size_t indice) {
    if (m.size() > 1) {
      m += ",";
      e += ",";
      n += ",";
    }
    m += std::to_string(indice);
    e += decimale(punti[indice].x);
    n += decimale(punti[indice].y);
  };
  aggiungi(0);
  for (std::size_t inizio = 0; inizio + 1 < punti.size(); inizio += kMetriPezzo) {
    const std::size_t fine = std::min(inizio + kMetriPezzo, punti.size() - 1);
    const std::vector<disegno::punto> pezzo(punti.begin() + static_cast<std::ptrdiff_t>(inizio),
                                            punti.begin() + static_cast<std::ptrdiff_t>(fine) + 1);
    const auto tenuti = disegno::semplifica(pezzo, kTolleranzaPianta);
    // The kept points come in order: each is found from where the last one was.
    std::size_t cerca = 1;
    for (std::size_t i = 1; i < tenuti.size(); ++i) {
      while (cerca < pezzo.size() && (pezzo[cerca].x != tenuti[i].x || pezzo[cerca].y != tenuti[i].y)) ++cerca;
      if (cerca == pezzo.size()) break;
      aggiungi(inizio + cerca);
      ++cerca;
    }
  }
  return "{\"m\":" + m + "],\"e\":" + e + "],\"n\":" + n + "]}";
}

// The kilometre references in use, in ascending order of position, each with the row that
// set its entry: the last reference row whose numbers the entry holds (the flag's 100 m added).
std::string progressive(const Stato& s, const Sorgenti& sorgenti) {
  const auto righe_km = sorgenti.di("progressiva");
  std::string out = "[";
  for (const auto& t : tratti_chilometrici(s)) {
    const auto& voce = s.scenario[static_cast<std::size_t>(t.voce)];
    const riga_sorgente* r = nullptr;
    for (const auto* q : righe_km) {
      const auto& n = q->numeri;
      const std::int64_t cento = n.size() >= 3 && n[2] == 1 ? 100 : 0;
      if (n.size() >= 2 && n[0] == voce.intero1 && n[1] + cento == voce.intero2) r = q;
    }
    if (out.size() > 1) out += ",";
    out += "[" + std::to_string(t.da_metro) + "," + std::to_string(t.valore) + "," + json_fonte(fonte_di(r)) + "]";
  }
  return out + "]";
}

// The rule of kilometres in data form: [start, km value] pieces (model/chilometri.h).
std::string json_chilometri(const contenuto& c) {
  std::string out = "[";
  for (const auto& t : c.riferimento.tratti) {
    if (out.size() > 1) out += ",";
    out += "[" + std::to_string(t.da_metro) + "," + std::to_string(t.valore) + "]";
  }
  return out + "]";
}

std::string diagnostiche(const std::vector<diagnostica_pagina>& d) {
  std::string out = "[";
  for (std::size_t i = 0; i < d.size(); ++i) {
    if (i > 0) out += ",\n";
    out += "[" + (d[i].metro ? std::to_string(*d[i].metro) : std::string("null")) + "," +
           (d[i].errore ? "\"error\"" : "\"warning\"") + "," + std::to_string(d[i].codice) + "," +
           json(d[i].messaggio) + "," + json_fonte({d[i].file, d[i].riga, d[i].colonna}) + "]";
  }
  return out + "]";
}

// The fastest run: metres and times to the hundredth, speeds in km/h to the hundredth.
std::string json_corsa(const corsa_minima& c, double margine_minimo) {
  std::string out =
      "{\"accelerazione\":" + decimali(c.accelerazione, 4) + ",\"decelerazione\":" + decimali(c.decelerazione, 4) +
      ",\"decelerazione_da\":" + (c.decelerazione_da_massa ? "\"massa_frenata\"" : "\"opzione\"") +
      ",\"massa_frenata\":" + std::to_string(c.massa_frenata) +
      ",\"massa_fuori_campo\":" + (c.massa_fuori_campo ? "1" : "0") + ",\"orologio\":" + std::to_string(c.orologio) +
      ",\"margine_minimo\":" + decimali(margine_minimo, 2) + ",\n\"punti\":[";
  for (std::size_t i = 0; i < c.punti.size(); ++i) {
    const auto& p = c.punti[i];
    out += (i > 0 ? ",[" : "[") + decimali(p.metro, 2) + "," + decimali(p.velocita * 3.6, 2) + "," +
           decimali(p.secondi, 2) + "]";
  }
  out += "],\n\"stazioni\":[";
  for (std::size_t i = 0; i < c.stazioni.size(); ++i) {
    const auto& st = c.stazioni[i];
    out += (i > 0 ? ",\n[" : "[") + decimali(st.metro, 2) + "," + std::to_string(st.orario) + "," +
           facoltativo(st.arrivo, 2) + "," + facoltativo(st.margine, 2) + "," + facoltativo(st.margine_percento, 2) +
           "," + json_scenario(st.nome) + "," + (st.fermata ? "1" : "0") + "," + std::to_string(st.voce) + ",";
    const auto avviso = avviso_stazione(c, st, margine_minimo);
    out += avviso ? std::to_string(avviso->numero) + "," + json(avviso->messaggio) + "]" : "0,\"\"]";
  }
  out += "],\n\"blocco\":";
  if (c.blocco) {
    const auto& b = *c.blocco;
    out += "{\"metro\":" + std::to_string(b.metro) + ",\"motivo\":\"" + nome_motivo(b.perche) +
           "\",\"pendenza\":" + std::to_string(b.pendenza) + ",\"velocita\":" + std::to_string(b.velocita) + "}";
  } else {
    out += "null";
  }
  return out + "}";
}

std::string dati(const Stato& s, const opzioni_pagina& o) {
  const contenuto c = disegno::estrai_contenuto(s);
  const Sorgenti sorgenti(o);
  const Abbinamento stazioni(sorgenti, "stazione"), segnali(sorgenti, "segnale"), indicatori(sorgenti, "indicatori_v"),
      cartelli(sorgenti, "cartello"), abbattimenti(sorgenti, "abbattimento"), rallentamenti(sorgenti, "rallentamento"),
      montagne(sorgenti, "montagna");

  std::string out = "{\"nome\":" + json_scenario(c.nome_linea) + ",\"treno\":" + json_scenario(c.numero_treno) +
                    ",\"lunghezza\":" + std::to_string(c.lunghezza) + ",\"metri\":" + std::to_string(c.metri_percorso) +
                    ",\"chilometri\":" + json_chilometri(c) + ",\n\"file\":[";
  for (std::size_t i = 0; i < o.testi.size(); ++i) {
    out += (i > 0 ? "," : "") + std::string("[") + json(o.testi[i].nome) + "," + json(o.testi[i].percorso) + "]";
  }
  out += "],\"editor\":" + json(o.modello_editor) + ",\n";
  out += "\"pianta\":" + pianta(s.tabella_linea) + ",\n";
  out += "\"stazioni\":" +
         elenco(c.stazioni,
                [&](const oggetto& x) {
                  const auto& v = s.scenario[static_cast<std::size_t>(x.parametro1)];
                  return std::to_string(x.metro) + "," + json_scenario(x.testo) + "," + std::to_string(x.parametro2) +
                         "," + std::to_string(x.parametro1) + "," + std::to_string(v.intero1) + "," +
                         std::to_string(v.intero2) + "," + json_fonte(fonte_di(stazioni.posizione(v.intero3)));
                }) +
         ",\n";
  out += "\"segnali\":" +
         elenco(c.segnali,
                [&](const oggetto& x) {
                  return std::to_string(x.metro) + "," + std::to_string(x.parametro1) + "," +
                         std::to_string(x.parametro2) + "," + std::to_string(x.parametro3) + "," +
                         std::to_string(x.parametro4) + "," + std::to_string(x.tempo) + "," +
                         json_fonte(fonte_di(segnali.cella(x.metro)));
                }) +
         ",\n";
  out += "\"indicatori\":" +
         elenco(c.indicatori,
                [&](const oggetto& x) {
                  return std::to_string(x.metro) + "," + std::to_string(x.parametro1) + "," +
                         std::to_string(x.parametro2) + "," + std::to_string(x.parametro3) + "," +
                         json_fonte(fonte_di(indicatori.cella(x.metro)));
                }) +
         ",\n";
  out += "\"cartelli\":" +
         elenco(c.cartelli,
                [&](const oggetto& x) {
                  return std::to_string(x.metro) + "," + json_scenario(x.testo) + "," +
                         json_fonte(fonte_di(cartelli.cella(x.metro)));
                }) +
         ",\n";
  out += "\"abbattimenti\":" +
         elenco(c.abbattimenti,
                [&](const oggetto& x) {
                  return std::to_string(x.metro) + "," + std::to_string(x.parametro1) + "," +
                         json_fonte(fonte_di(abbattimenti.cella(x.metro)));
                }) +
         ",\n";
  out += "\"rallentamenti\":[";
  for (std::size_t i = 0; i < c.rallentamenti.size(); ++i) {
    const auto& r = c.rallentamenti[i];
    out += (i > 0 ? ",\n[" : "[") + std::to_string(r.inizio) + "," + std::to_string(r.fine) + "," +
           std::to_string(r.velocita) + "," + json_fonte(fonte_di(rallentamenti.cella(r.inizio))) + "]";
  }
  out += "],\n\"montagne\":[";
  for (std::size_t i = 0; i < c.montagne.size(); ++i) {
    const auto& m = c.montagne[i];
    out += (i > 0 ? ",\n[" : "[") + std::to_string(m.inizio) + "," + std::to_string(m.fine) + "," +
           std::to_string(m.valore) + "," + json_fonte(fonte_di(montagne.cella(m.inizio))) + "]";
  }
  out += "],\n\"progressive\":" + progressive(s, sorgenti) + ",\n";
  out += "\"pendenze\":" + tratti(c.pendenze) + ",\n\"velocita\":" + tratti(c.velocita) +
         ",\n\"aderenze\":" + tratti(c.aderenze) + ",\n";
  out += "\"righe_pendenza\":" + righe(sorgenti, "pendenza", 2) + ",\n";
  out += "\"righe_velocita\":" + righe(sorgenti, "velocit", 2) + ",\n";
  out += "\"righe_aderenza\":" + righe(sorgenti, "aderenza", 2) + ",\n";
  out += "\"curve\":" + righe(sorgenti, "curva", 2) + ",\n";
  out += "\"diagnostica\":" + diagnostiche(o.diagnostiche) + ",\n";
  std::optional<corsa_minima> propria;
  const corsa_minima& corsa = o.corsa ? *o.corsa : propria.emplace(calcola_corsa_minima(s.percorso, s.scenario, {}));
  out += "\"corsa_minima\":" + json_corsa(corsa, o.margine_minimo) + "}";
  return out;
}

std::string attributo(std::string_view utf8) { return disegno::testo_xml(utf8); }

}  // namespace

std::string disegna_pagina(const Stato& s, const opzioni_pagina& o) {
  const contenuto c = disegno::estrai_contenuto(s);
  std::string titolo = da_cp1252(c.nome_linea);
  if (!c.numero_treno.empty()) titolo += " \xE2\x80\x93 train " + da_cp1252(c.numero_treno);
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>" +
      attributo(titolo) + "</title>\n<style>\n\n";  // the blank line pages have always had
  out += pagina_stile();
  out += "</style>\n</head>\n<body";
  if (!o.file_ricarica.empty()) out += " data-ricarica=\"" + attributo(o.file_ricarica) + "\"";
  out += ">\n";
  out += pagina_corpo();
  out += "<script type=\"application/json\" id=\"dati\">\n" + dati(s, o) + "\n</script>\n<script>\n";
  out += pagina_script();
  out += "</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace cmp
