#include "lsp/aiuti.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "comandi/diagnostica.h"
#include "lsp/analisi_testo.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

using json = nlohmann::json;

std::optional<long long> numero(const std::string& t) {
  long long v = 0;
  const char* inizio = t.data() + (t.size() > 0 && t[0] == '+' ? 1 : 0);
  const auto [fine, ec] = std::from_chars(inizio, t.data() + t.size(), v);
  if (ec != std::errc{} || fine != t.data() + t.size()) return std::nullopt;
  return v;
}

json posizione(int riga, int colonna) { return {{"line", riga}, {"character", colonna}}; }
json intervallo(int riga, int da, int a) { return {{"start", posizione(riga, da)}, {"end", posizione(riga, a)}}; }

// "km 6+600" for 6600 m.
std::string chilometro(long long metri) {
  const char* segno = metri < 0 ? "-" : "";
  const long long m = metri < 0 ? -metri : metri;
  std::string resto = std::to_string(m % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return std::string("km ") + segno + std::to_string(m / 1000) + "+" + resto;
}

std::string cella_compilata(const Stato& s, long long cella) {
  if (cella < 0 || cella > s.ultima_cella()) {
    return "cell " + std::to_string(cella) + " is not on the track (cells 0 to " + std::to_string(s.ultima_cella()) + ")";
  }
  const tratto& t = s.percorso[static_cast<std::size_t>(cella)];
  std::string out = "compiled cell " + std::to_string(cella) + " (" + std::to_string(cella * 50) +
                    " m) holds " + nome_tipo_cella(t.tipo);
  if (t.tipo != 0) {
    out += " (parameters " + std::to_string(t.parametro1) + ", " + std::to_string(t.parametro2) + ", " +
           std::to_string(t.parametro3) + ", " + std::to_string(t.parametro4) + ")";
  }
  out += "; speed limit " + std::to_string(t.velocita * 5) + " km/h, gradient " + std::to_string(int{t.pendenza} - 100) +
         " ‰, adhesion " + std::to_string(t.aderenza);
  if (t.montagna != 0) out += ", mountain " + std::to_string(t.montagna);
  if (t.avviso != 0) out += ", warning " + std::to_string(t.avviso);
  return out;
}

// The stop cell of the station compiled from the row at this position, when there is one.
std::optional<long long> cella_fermata(const Stato& s, long long posizione) {
  for (int voce = 1; voce <= 80; ++voce) {
    const auto& v = s.scenario[static_cast<std::size_t>(voce)];
    if (v.tipo != 0 && v.intero3 == posizione && v.intero2 > 0) return v.intero2 / 50 - 1;
  }
  return std::nullopt;
}

const riga_letta* riga_di(const std::vector<riga_letta>& righe, int riga) {
  if (riga < 0 || static_cast<std::size_t>(riga) >= righe.size()) return nullptr;
  return &righe[static_cast<std::size_t>(riga)];
}

std::string snippet_testo(std::string_view t) {
  std::string out;
  for (const char c : t) {
    if (c == '$' || c == '}' || c == '\\' || c == ',' || c == '|') out += '\\';
    out += c;
  }
  return out;
}

// "pendenza, ${1:position}, ${2:gradient}"; a curve's side and class are a choice.
std::string snippet(const parola_chiave& p) {
  std::string out(p.parola);
  int n = 1;
  if (!p.varianti.empty()) {
    std::string scelte(p.varianti);
    for (char& c : scelte) {
      if (c == '|') c = ',';
    }
    out += "${" + std::to_string(n++) + "|" + scelte + "|}";
  }
  for (const auto& c : p.campi) {
    out += ", ${" + std::to_string(n++) + ":" + snippet_testo(c.nome) + "}";
  }
  return out;
}

std::string descrizione_campi(const parola_chiave& p) {
  std::string out;
  for (const auto& c : p.campi) {
    if (!out.empty()) out += ", ";
    out += std::string(c.nome) + (c.unita.empty() ? "" : " (" + std::string(c.unita) + ")");
  }
  return out;
}

bool sezione_di_riga(const parola_chiave& p, const riga_letta& r) {
  return !r.sezione.empty() && r.sezione.find(p.sezione) != std::string::npos;
}

}  // namespace

json hover_riga(const documento_aperto& d, int riga, int colonna) {
  const auto righe = analizza_testo(d.testo, d.formato);
  const riga_letta* r = riga_di(righe, riga);
  if (!r || !r->parola) return nullptr;
  const parola_chiave& p = *r->parola;
  std::string testo = "**" + std::string(p.parola) + "** — " + std::string(p.significato) + " (" +
                      (d.formato == formato_descrizione::linea ? "line" : "train") + " description, " +
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
  const auto pos = !r->campi.empty() && p.cella != cella_riga::nessuna ? numero(r->campi[0].testo) : std::nullopt;
  if (pos) {
    std::optional<long long> cella = cella_della_riga(p, *pos);
    if (p.cella == cella_riga::fermata && d.compilato) cella = cella_fermata(*d.compilato, *pos);
    testo += "\nAt " + std::to_string(*pos) + " m (" + chilometro(*pos) + ")";
    if (cella) testo += ", on cell " + std::to_string(*cella) + (p.cella == cella_riga::fermata ? " (the stop cell)" : "");
    testo += ".";
    if (cella && d.compilato && !d.compilato->percorso.empty()) {
      testo += "\n\n" + cella_compilata(*d.compilato, *cella) + ".";
    } else if (cella) {
      testo += "\n\nNo compiled track to show (the scenario does not compile as far as a track).";
    }
  }
  const int fine = r->campi.empty() ? r->chiave.fine : r->campi.back().fine;
  return {{"contents", {{"kind", "markdown"}, {"value", testo}}}, {"range", intervallo(riga, r->chiave.inizio, fine)}};
}

json completamento_riga(const documento_aperto& d, int riga, int colonna) {
  const auto righe = analizza_testo(d.testo, d.formato);
  const riga_letta* r = riga_di(righe, riga);
  json elementi = json::array();
  if (!r) return elementi;
  // Only in the keyword field: after a comma the fields follow.
  const std::size_t inizio_riga = [&] {
    std::size_t p = 0;
    for (int i = 0; i < riga; ++i) p = d.testo.find('\n', p) + 1;
    return p;
  }();
  const std::string_view testo_riga = std::string_view(d.testo).substr(inizio_riga);
  const std::string_view prima = testo_riga.substr(0, std::min<std::size_t>(static_cast<std::size_t>(std::max(colonna, 0)),
                                                                             testo_riga.find('\n')));
  if (prima.find(',') != std::string_view::npos) return elementi;
  int da = 0;
  while (static_cast<std::size_t>(da) < prima.size() && (prima[static_cast<std::size_t>(da)] == ' ' || prima[static_cast<std::size_t>(da)] == '\t')) ++da;
  const json sostituisci = intervallo(riga, da, static_cast<int>(prima.size()));

  // Where the row stands: the general part, the rows after it, or before [generale] at all.
  const bool dopo_generale = std::any_of(righe.begin(), righe.begin() + riga, [](const riga_letta& x) {
    return x.intestazione && x.sezione.find("[generale]") != std::string::npos;
  });
  const bool generale = r->generale;
  if (dopo_generale) {
    for (const auto& p : kParoleChiave) {
      if (p.formato != d.formato) continue;
      if (d.formato == formato_descrizione::linea && (p.sezione == "[generale]") != generale) continue;
      const bool qui = sezione_di_riga(p, *r);
      elementi.push_back({{"label", std::string(p.parola)},
                          {"kind", 14},
                          {"detail", descrizione_campi(p)},
                          {"documentation", std::string(p.significato) + " (" + std::string(p.sezione) + ")"},
                          {"sortText", std::string(qui ? "0" : "1") + std::string(p.parola)},
                          {"preselect", qui},
                          {"insertTextFormat", 2},
                          {"textEdit", {{"range", sostituisci}, {"newText", snippet(p)}}}});
    }
  }
  const auto& sezioni = d.formato == formato_descrizione::linea ? std::span<const std::string_view>(kSezioniLinea)
                                                                 : std::span<const std::string_view>(kSezioniTreno);
  for (const auto& s : sezioni) {
    elementi.push_back({{"label", std::string(s)},
                        {"kind", 9},
                        {"sortText", "2" + std::string(s)},
                        {"textEdit", {{"range", sostituisci}, {"newText", std::string(s)}}}});
  }
  return elementi;
}

json simboli_documento(const documento_aperto& d) {
  const auto righe = analizza_testo(d.testo, d.formato);
  json sezioni = json::array();
  std::optional<std::size_t> corrente;  // index of the section being filled
  int ultima_riga = 0;
  const auto chiudi = [&](int fine) {
    if (corrente) sezioni[*corrente]["range"]["end"] = posizione(fine, 0);
  };
  for (const auto& r : righe) {
    ultima_riga = r.numero;
    if (r.intestazione) {
      chiudi(r.numero);
      sezioni.push_back({{"name", da_cp1252(r.chiave.testo)},
                         {"kind", 3},
                         {"range", intervallo(r.numero, 0, r.chiave.fine)},
                         {"selectionRange", intervallo(r.numero, r.chiave.inizio, r.chiave.fine)},
                         {"children", json::array()}});
      corrente = sezioni.size() - 1;
      continue;
    }
    if (!r.parola || !corrente) continue;
    const std::string_view parola = r.parola->parola;
    const std::string primo = r.campi.empty() ? "" : r.campi[0].testo;
    std::string nome;
    std::string dettaglio;
    int tipo = 0;
    if (parola == "stazione") {
      nome = r.campi.size() >= 17 && !r.campi[16].testo.empty() ? da_cp1252(r.campi[16].testo) : "station at " + primo + " m";
      dettaglio = primo + " m";
      tipo = 20;  // key
    } else if (parola == "segnale" || parola == "rallentamento" || parola == "abbattimento" || parola == "indicatori_v") {
      nome = std::string(parola) + " " + primo + " m";
      dettaglio = std::string(r.parola->significato);
      tipo = parola == "indicatori_v" ? 14 : 24;  // constant, event
    } else if (parola == "cartello_indicatore") {
      nome = r.campi.size() >= 2 && !r.campi[1].testo.empty() ? da_cp1252(r.campi[1].testo) : "caption at " + primo + " m";
      dettaglio = primo + " m";
      tipo = 15;  // string
    } else if (parola.starts_with("progressiva") || parola == "lunghezza percorso") {
      nome = std::string(parola);
      const auto km = r.campi.size() >= 2 ? numero(r.campi[1].testo) : std::nullopt;
      dettaglio = parola == "lunghezza percorso" ? primo + " m" : "at " + primo + " m" + (km ? ", " + chilometro(*km) : "");
      tipo = 13;  // variable
    } else {
      continue;
    }
    const int fine = r.campi.empty() ? r.chiave.fine : r.campi.back().fine;
    sezioni[*corrente]["children"].push_back({{"name", nome},
                                       {"detail", dettaglio},
                                       {"kind", tipo},
                                       {"range", intervallo(r.numero, r.chiave.inizio, fine)},
                                       {"selectionRange", intervallo(r.numero, r.chiave.inizio, r.chiave.fine)}});
  }
  chiudi(ultima_riga);
  return sezioni;
}

}  // namespace cmp
