#include "verifica_decodifica.h"

#include <string>

#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"
#include "plot/carica_compilato.h"
#include "plot/disegna.h"
#include "violazioni.h"

namespace cmp::fuzz {
namespace {

// A defect lies within the file and says what was expected.
void verifica_difetto(Violazioni& v, const char* file, const difetto_file& d, std::size_t dimensione) {
  v.che(d.offset <= dimensione, [&] {
    return std::string(file) + ": a defect at byte " + std::to_string(d.offset) + " of a file of " +
           std::to_string(dimensione);
  });
  v.che(d.motivo.find("expected") != std::string::npos,
        [&] { return std::string(file) + ": a defect without what was expected: " + d.motivo; });
}

// What a decoder returns is the file's own bytes, all of them when it reports no defect,
// only what lies wholly before the defect otherwise.
void verifica_prefisso(Violazioni& v, const char* file, std::string_view dati, const std::string& ricodificati,
                       const std::optional<difetto_file>& difetto) {
  v.che(ricodificati == dati.substr(0, ricodificati.size()),
        [&] { return std::string(file) + ": what was decoded is not the file's bytes"; });
  if (!difetto) {
    v.che(ricodificati.size() == dati.size(),
          [&] { return std::string(file) + ": decoded whole, yet bytes are left over"; });
    return;
  }
  verifica_difetto(v, file, *difetto, dati.size());
  v.che(ricodificati.size() <= difetto->offset, [&] {
    return std::string(file) + ": " + std::to_string(ricodificati.size()) + " bytes returned before a defect at byte " +
           std::to_string(difetto->offset);
  });
}

void verifica_scenario(Violazioni& v, std::string_view dati) {
  const auto d = decodifica_scenario(dati);
  std::string ricodificati;
  for (const auto& voce : d.voci) ricodificati += codifica_voce(voce);
  verifica_prefisso(v, ".sim", dati, ricodificati, d.difetto);
  v.che(d.difetto || d.voci.size() == kVociScenario,
        [&] { return ".sim: decoded whole with " + std::to_string(d.voci.size()) + " entries"; });
}

void verifica_percorso(Violazioni& v, std::string_view dati) {
  const auto d = decodifica_percorso(dati);
  verifica_prefisso(v, "track", dati, codifica_percorso(d.celle), d.difetto);
  v.che(d.difetto || (d.celle.size() >= limiti_file::celle_minime && d.celle.size() <= limiti_file::celle_massime),
        [&] { return "track: decoded whole with " + std::to_string(d.celle.size()) + " cells"; });
}

// A plan is all or nothing: its columns cannot be told apart once it is damaged.
void verifica_tabella(Violazioni& v, std::string_view dati) {
  const auto d = decodifica_tabella_linea(dati);
  if (d.difetto) {
    verifica_difetto(v, "plan", *d.difetto, dati.size());
    v.che(!d.tabella.esiste(), "plan: metres returned from a damaged plan");
    return;
  }
  v.che(codifica_tabella_linea(d.tabella) == dati, "plan: decoded whole but encodes to other bytes");
}

std::size_t lunghezza_24(const std::uint8_t* p) {
  return static_cast<std::size_t>(p[0]) | static_cast<std::size_t>(p[1]) << 8 | static_cast<std::size_t>(p[2]) << 16;
}

void metti_24(std::string& out, std::size_t n) {
  for (int i = 0; i < 3; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}

// Loaded and drawn as plot --from does: drawn only when each file decodes whole and the
// three belong together; a refused scenario leaves the state as it was.
void verifica_carica(Violazioni& v, const file_compilati& f, esito_decodifica& e) {
  Stato s;
  const auto piano = f.piano ? std::optional<std::string_view>(*f.piano) : std::nullopt;
  e.difetto = carica_compilato(s, piano, f.sim, f.dat);
  if (e.difetto) {
    const std::size_t dimensione = e.difetto->file == file_compilato::scenario   ? f.sim.size()
                                   : e.difetto->file == file_compilato::percorso ? f.dat.size()
                                                                                 : (f.piano ? f.piano->size() : 0);
    v.che(e.difetto->file != file_compilato::tabella_linea || f.piano.has_value(), "a defect in a plan not given");
    verifica_difetto(v, "loaded file", e.difetto->difetto, dimensione);
    v.che(s.percorso.empty() && !s.tabella_linea.esiste() && s.nome_linea.empty() && s.scenario[85].testo.empty(),
          "a damaged scenario was loaded");
    return;
  }
  const auto voci = decodifica_scenario(f.sim);
  const auto celle = decodifica_percorso(f.dat);
  const bool piano_sano = !f.piano || !decodifica_tabella_linea(*f.piano).difetto;
  v.che(!voci.difetto && !celle.difetto && piano_sano, "a scenario loaded from a damaged file");
  v.che(!verifica_insieme(voci.voci, celle.celle, f.piano ? &s.tabella_linea : nullptr),
        "a scenario loaded from files that do not belong together");
  const std::string svg = disegna_svg(s);
  v.che(svg.find("<svg") != std::string::npos && svg.size() > 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0,
        "the picture is not one whole SVG element");
}

}  // namespace

file_compilati ingresso_decodifica(const std::uint8_t* dati, std::size_t n) {
  file_compilati f;
  if (n < 7) return f;
  std::size_t pos = 7;
  const std::size_t sim = std::min(lunghezza_24(dati + 1), n - pos);
  f.sim.assign(reinterpret_cast<const char*>(dati) + pos, sim);
  pos += sim;
  const std::size_t dat = std::min(lunghezza_24(dati + 4), n - pos);
  f.dat.assign(reinterpret_cast<const char*>(dati) + pos, dat);
  pos += dat;
  if (dati[0] & 1) f.piano.emplace(reinterpret_cast<const char*>(dati) + pos, n - pos);
  return f;
}

std::string byte_decodifica(const file_compilati& f) {
  std::string out(1, f.piano ? '\1' : '\0');
  metti_24(out, f.sim.size());
  metti_24(out, f.dat.size());
  return out + f.sim + f.dat + f.piano.value_or("");
}

file_compilati compila_file(std::string_view linea, std::string_view treno, bool con_piano) {
  Stato s;
  compila_descrizioni(s, linea, treno, {"Prova", "7"}, con_piano);
  CartellaMemoria cartella;
  scrivi_file_binari(s, cartella);
  file_compilati f;
  f.sim = cartella.leggi(nome_file_scenario(identita_di(s))).value_or("");
  f.dat = cartella.leggi(nome_file_percorso(identita_di(s))).value_or("");
  if (con_piano) f.piano = cartella.leggi(nome_file_tabella_linea(identita_di(s)));
  return f;
}

esito_decodifica decodifica_e_verifica(const std::uint8_t* dati, std::size_t n) {
  esito_decodifica e;
  Violazioni v(e.violazioni);
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  verifica_scenario(v, tutto);
  verifica_percorso(v, tutto);
  verifica_tabella(v, tutto);
  verifica_carica(v, ingresso_decodifica(dati, n), e);
  return e;
}

}  // namespace cmp::fuzz
