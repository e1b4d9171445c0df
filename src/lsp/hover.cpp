#include "lsp/hover.h"

#include <optional>

#include "descrizioni/diagnostica.h"
#include "lsp/analisi_testo.h"
#include "lsp/protocollo.h"
#include "model/chilometri.h"
#include "model/cp1252.h"
#include "model/limiti_formato.h"
#include "orario/testo_orario.h"

namespace cmp {
namespace {

using json = nlohmann::json;

std::string cella_compilata(const Stato& s, long long cella) {
  if (cella < 0 || cella > s.ultima_cella()) {
    return "cell " + std::to_string(cella) + " is not on the track (cells 0 to " + std::to_string(s.ultima_cella()) +
           ")";
  }
  const tratto& t = s.percorso[static_cast<std::size_t>(cella)];
  std::string out = "compiled cell " + std::to_string(cella) + " (" +
                    std::to_string(limiti_file::metri_di_cella(cella)) + " m) holds " + nome_tipo_cella(t.tipo);
  if (t.tipo != 0) {
    out += " (parameters " + std::to_string(t.parametro1) + ", " + std::to_string(t.parametro2) + ", " +
           std::to_string(t.parametro3) + ", " + std::to_string(t.parametro4) + ")";
  }
  out += "; speed limit " + std::to_string(t.velocita * 5) + " km/h, gradient " +
         std::to_string(int{t.pendenza} - 100) + " ‰, adhesion " + std::to_string(t.aderenza);
  if (t.montagna != 0) out += ", mountain " + std::to_string(t.montagna);
  if (t.avviso != 0) out += ", warning " + std::to_string(t.avviso);
  return out;
}

// The stop cell of the station compiled from the row at this position, when there is one.
std::optional<long long> fermata_della_riga(const Stato& s, long long posizione) {
  for (int voce = 1; voce <= kVoceUltimaStazione; ++voce) {
    const auto& v = s.scenario[static_cast<std::size_t>(voce)];
    if (v.tipo != 0 && posizione_stazione(v) == posizione && fine_area(v) > 0) return limiti_file::cella_fermata(v);
  }
  return std::nullopt;
}

// The station of the timetable a station row at this position gives, as the timetable
// check finds a station's row: by position, the first one.
const stazione_corsa* stazione_della_riga(const corsa_minima& c, long long posizione) {
  for (const auto& st : c.stazioni) {
    if (st.posizione == posizione) return &st;
  }
  return nullptr;
}

// "Fastest run (acceleration …, braking …): earliest arrival …, margin …".
std::string orario_della_stazione(const corsa_minima& c, const stazione_corsa& st) {
  return "Fastest run (acceleration " + testo_accelerazione(c) + ", braking " + testo_decelerazione(c) +
         "): " + riassunto_stazione(c, st) + ".";
}

}  // namespace

json hover_riga(const documento_aperto& d, int riga, int colonna) {
  const auto righe = analizza_testo(d.testo, d.identita.formato);
  const riga_letta* r = riga_di(righe, riga);
  if (!r || !r->parola) return nullptr;
  const parola_chiave& p = *r->parola;
  std::string testo = "**" + std::string(p.parola) + "** — " + std::string(p.significato) + " (" +
                      (d.identita.formato == formato_descrizione::linea ? "line" : "train") + " description, " +
                      std::string(p.sezione) + ")\n\n";
  for (std::size_t i = 0; i < p.campi.size(); ++i) {
    const campo_riga& c = p.campi[i];
    testo += "- " + std::string(c.nome) + ": ";
    if (i < r->campi.size()) {
      const campo_letto& f = r->campi[i];
      testo += "`" + da_cp1252(f.testo.empty() ? std::string(c.tipo == tipo_campo::numero ? "0" : "") : f.testo) + "`";
      if (!c.unita.empty()) testo += " " + std::string(c.unita);
      if (colonna >= f.inizio && colonna <= f.fine) testo += "  ←";
    } else {
      testo += "(missing)";
    }
    testo += "\n";
  }
  const auto pos =
      !r->campi.empty() && p.cella != cella_riga::nessuna ? numero_del_campo(r->campi[0].testo) : std::nullopt;
  if (pos) {
    std::optional<long long> cella = cella_della_riga(p, *pos);
    if (p.cella == cella_riga::fermata && d.compilato) cella = fermata_della_riga(*d.compilato, *pos);
    // The kilometre by the compiled references, as the page and the picture read it; without
    // a compile, from the start of the track.
    const long long km = d.compilato ? chilometro_a(tratti_chilometrici(*d.compilato), *pos) : *pos;
    testo += "\nAt " + std::to_string(*pos) + " m (" + chilometro(km) + ")";
    if (cella)
      testo += ", on cell " + std::to_string(*cella) + (p.cella == cella_riga::fermata ? " (the stop cell)" : "");
    testo += ".";
    if (cella && d.compilato && !d.compilato->percorso.empty()) {
      testo += "\n\n" + cella_compilata(*d.compilato, *cella) + ".";
    } else if (cella) {
      testo += "\n\nNo compiled track to show (the scenario does not compile as far as a track).";
    }
    const bool stazione = p.formato == formato_descrizione::treno && p.parola == "stazione";
    if (const stazione_corsa* st = stazione && d.corsa ? stazione_della_riga(*d.corsa, *pos) : nullptr) {
      testo += "\n\n" + orario_della_stazione(*d.corsa, *st);
    }
  }
  const int fine = r->campi.empty() ? r->chiave.fine : r->campi.back().fine;
  return {{"contents", {{"kind", "markdown"}, {"value", testo}}}, {"range", intervallo(riga, r->chiave.inizio, fine)}};
}

}  // namespace cmp
