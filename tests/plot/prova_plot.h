#pragma once
// Hand-made compiled states for the drawing tests, and a check that a text is well-formed XML.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "model/stato.h"
#include "supporto.h"

namespace cmp::prova {

struct curva {
  std::int64_t inizio = 0;     // metres
  std::int64_t lunghezza = 0;  // metres
  double kappa = 0.0;          // per metre; negative to the left
};

// The plan as the line reader builds it: metres 0 and 1 as 16-bit integers, every other
// metre one step on from the two before it, turned by kappa inside a curve; the last two
// rows empty.
inline void crea_pianta(Stato& s, std::int64_t lunghezza, const std::vector<curva>& curve) {
  const auto righe = static_cast<std::size_t>(lunghezza + 7001);
  auto& t = s.tabella_linea;
  t.crea(righe);
  t.scrivi(0, 0, valore_etichettato::intero(0));
  t.scrivi(0, 1, valore_etichettato::intero(0));
  t.scrivi(1, 0, valore_etichettato::intero(0));
  t.scrivi(1, 1, valore_etichettato::intero(1));
  std::size_t prossima = 0;
  for (std::size_t c = 2; c + 2 < righe; ++c) {
    double k = 0.0;
    while (prossima < curve.size() &&
           static_cast<std::int64_t>(c) > curve[prossima].inizio + curve[prossima].lunghezza) {
      ++prossima;
    }
    if (prossima < curve.size() && static_cast<std::int64_t>(c) > curve[prossima].inizio) k = curve[prossima].kappa;
    const double dx = t.numero(c - 1, 0) - t.numero(c - 2, 0);
    const double dy = t.numero(c - 1, 1) - t.numero(c - 2, 1);
    t.scrivi_doppio(c, 0, t.numero(c - 1, 0) + (dy * k + dx));
    t.scrivi_doppio(c, 1, t.numero(c - 1, 1) + (dy - dx * k));
  }
}

inline void segnale(Stato& s, std::int64_t cella, std::int16_t p1 = 40) {
  s.percorso[static_cast<std::size_t>(cella)].tipo = tipo_cella::segnale;
  s.percorso[static_cast<std::size_t>(cella)].parametro1 = p1;
}

// A station as the train reader leaves it: its entry (kind 2, an area of 200 m ending on the
// cell after the stop cell) and the stop cell.
inline void stazione(Stato& s, int voce, std::int64_t cella_fermata, const std::string& nome_utf8) {
  auto& v = s.scenario[static_cast<std::size_t>(voce)];
  v.testo = in_cp1252(nome_utf8);
  v.tipo = 2;
  v.intero2 = static_cast<std::int32_t>((cella_fermata + 1) * 50);
  v.intero1 = v.intero2 - 200;
  v.intero3 = v.intero2 - 100;
  auto& c = s.percorso[static_cast<std::size_t>(cella_fermata)];
  c.tipo = tipo_cella::fermata;
  c.parametro1 = static_cast<std::int16_t>(voce);
}

inline void cartello(Stato& s, std::int64_t cella, const std::string& testo_cp1252) {
  auto& c = s.percorso[static_cast<std::size_t>(cella)];
  c.tipo = tipo_cella::cartello;
  c.parametro1 = static_cast<std::int16_t>(s.voce_cartello);
  s.scenario[static_cast<std::size_t>(s.voce_cartello)].testo = testo_cp1252;
  --s.voce_cartello;
}

// A compiled state of a line of `lunghezza` metres (at least 15000), with the plan when
// `con_pianta`: three stations, three signals, a speed-indicator board, two caption boards,
// a slow order at 60 km/h, two abbattimento points, two mountain stretches, and profiles
// that change every 2 km (gradient) and at the slow stretch (speed).
inline Stato stato_di_prova(std::int64_t lunghezza, const std::vector<curva>& curve, bool con_pianta = true) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  testo_nome_linea(s.scenario) = s.nome_linea;
  testo_numero_treno(s.scenario) = s.numero_treno;
  lunghezza_linea(s.scenario) = static_cast<std::int32_t>(lunghezza);
  chilometri_progressiva(s.scenario[kVoceProgressivaTre]) = 132100;
  const auto n = arrotonda(static_cast<double>(lunghezza + 7000) / 50.0);
  s.percorso.assign(static_cast<std::size_t>(n + 1), tratto{});
  // The fixed values of the finishing pass, which every compiled scenario carries.
  s.percorso[1].parametro1 = 5121;
  valore_fisso_scenario(s.scenario) = 610;
  for (std::int64_t c = 0; c + 3 <= n; ++c) {
    auto& t = s.percorso[static_cast<std::size_t>(c)];
    t.pendenza = static_cast<std::uint8_t>(100 + (c / 40) % 7 * 4 - 12);
    t.velocita = c >= 120 && c < 240 ? 12 : 16;
  }
  stazione(s, 1, 5, "VALLORSA C.");
  stazione(s, 2, 135, "SAN LORIANO");
  stazione(s, 3, 280, "PIETRANA");
  segnale(s, 89);
  segnale(s, 113);
  segnale(s, 254);
  auto& indicatore = s.percorso[138];
  indicatore.tipo = tipo_cella::indicatori_v_max;
  indicatore.parametro1 = 1500;
  indicatore.parametro2 = 1600;
  indicatore.parametro3 = 1600;
  cartello(s, 14, "(Cavalcavia)(Km 132+749)");
  cartello(s, 66, "(Sottovia)");
  s.percorso[177].tipo = tipo_cella::avviso_rallentamento;
  s.percorso[201].tipo = tipo_cella::inizio_rallentamento;
  s.percorso[201].parametro1 = 60;
  s.percorso[213].tipo = tipo_cella::fine_rallentamento;
  s.percorso[213].parametro1 = 60;
  s.percorso[196].tipo = tipo_cella::abbattimento_valore;
  s.percorso[196].parametro1 = 180;
  s.percorso[250].tipo = tipo_cella::abbattimento;
  for (int c = 160; c <= 165; ++c) s.percorso[static_cast<std::size_t>(c)].montagna = 1;
  for (int c = 229; c <= 233; ++c) s.percorso[static_cast<std::size_t>(c)].montagna = 3;
  if (con_pianta) {
    s.crea_tabella_linea = true;
    crea_pianta(s, lunghezza, curve);
  }
  return s;
}

inline std::vector<curva> curve_di_prova() {
  return {{300, 100, 0.001},    {650, 200, -0.001},   {2000, 600, 0.002}, {5000, 400, -0.003},
          {8000, 1000, 0.0004}, {12000, 600, -0.002}, {16000, 300, 0.001}};
}

// Counts the occurrences of a text.
inline std::size_t conta(const std::string& testo, const std::string& cercato) {
  std::size_t n = 0;
  for (auto i = testo.find(cercato); i != std::string::npos; i = testo.find(cercato, i + cercato.size())) ++n;
  return n;
}

// Why the text is not well-formed XML (a small checker: one root, balanced and properly
// nested tags, quoted attributes, only the five named entities and character references,
// no "<" in text or attribute values), or "" when it is.
inline std::string difetto_xml(const std::string& x) {
  std::vector<std::string> aperti;
  int radici = 0;
  std::size_t i = 0;
  const auto entita_valida = [&](std::size_t j) {
    const auto fine = x.find(';', j);
    if (fine == std::string::npos || fine - j > 10) return false;
    const std::string e = x.substr(j + 1, fine - j - 1);
    if (e == "amp" || e == "lt" || e == "gt" || e == "quot" || e == "apos") return true;
    return e.size() > 1 && e[0] == '#';
  };
  while (i < x.size()) {
    if (x[i] == '<') {
      if (x.compare(i, 4, "<!--") == 0) {
        const auto f = x.find("-->", i);
        if (f == std::string::npos) return "unterminated comment";
        i = f + 3;
        continue;
      }
      if (x.compare(i, 2, "<?") == 0) {
        const auto f = x.find("?>", i);
        if (f == std::string::npos) return "unterminated declaration";
        i = f + 2;
        continue;
      }
      const bool chiusura = x.compare(i, 2, "</") == 0;
      std::size_t j = i + (chiusura ? 2 : 1);
      std::string nome;
      while (j < x.size() && (std::isalnum(static_cast<unsigned char>(x[j])) || x[j] == '-' || x[j] == ':')) {
        nome += x[j++];
      }
      if (nome.empty()) return "a tag without a name at byte " + std::to_string(i);
      bool vuoto = false;
      for (;;) {
        while (j < x.size() && std::isspace(static_cast<unsigned char>(x[j]))) ++j;
        if (j >= x.size()) return "unterminated tag " + nome;
        if (x[j] == '>') {
          ++j;
          break;
        }
        if (x.compare(j, 2, "/>") == 0 && !chiusura) {
          vuoto = true;
          j += 2;
          break;
        }
        std::string attributo;
        while (j < x.size() && (std::isalnum(static_cast<unsigned char>(x[j])) || x[j] == '-' || x[j] == ':')) {
          attributo += x[j++];
        }
        if (attributo.empty() || chiusura || j + 1 >= x.size() || x[j] != '=' ||
            (x[j + 1] != '"' && x[j + 1] != '\'')) {
          return "a bad attribute in tag " + nome + " at byte " + std::to_string(j);
        }
        const char virgolette = x[j + 1];
        const auto fine = x.find(virgolette, j + 2);
        if (fine == std::string::npos) return "unterminated attribute value";
        for (std::size_t k = j + 2; k < fine; ++k) {
          if (x[k] == '<') return "'<' in an attribute value at byte " + std::to_string(k);
          if (x[k] == '&' && !entita_valida(k)) return "a bad entity at byte " + std::to_string(k);
        }
        j = fine + 1;
      }
      if (chiusura) {
        if (aperti.empty() || aperti.back() != nome) return "</" + nome + "> does not close the open tag";
        aperti.pop_back();
      } else {
        if (aperti.empty() && ++radici > 1) return "more than one root element";
        if (!vuoto) aperti.push_back(nome);
      }
      i = j;
    } else {
      const auto b = static_cast<unsigned char>(x[i]);
      if (x[i] == '&' && !entita_valida(i)) return "a bad entity at byte " + std::to_string(i);
      if (b < 0x20 && x[i] != '\n' && x[i] != '\t' && x[i] != '\r')
        return "a control character at byte " + std::to_string(i);
      if (aperti.empty() && !std::isspace(b)) return "text outside the root element at byte " + std::to_string(i);
      ++i;
    }
  }
  if (!aperti.empty()) return "<" + aperti.back() + "> is never closed";
  if (radici != 1) return "no root element";
  return "";
}

// xmllint's verdict on the text when the tool is installed: its complaints, "" when it has none
// (or is not there).
inline std::string verdetto_xmllint(const std::string& svg) {
  const std::string xmllint = "/usr/bin/xmllint";
  if (!std::filesystem::exists(xmllint)) return "";
  CartellaTemporanea t;
  scrivi_tutto(t / "disegno.svg", svg);
  const auto e = esegui(xmllint, {"--noout", t / "disegno.svg"});
  return e.stato == 0 ? "" : "xmllint: " + e.errori;
}

}  // namespace cmp::prova
