#include "lsp/completamento.h"

#include <algorithm>
#include <span>

#include "lsp/analisi_testo.h"
#include "lsp/protocollo.h"

namespace cmp {
namespace {

using json = nlohmann::json;

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

json completamento_riga(const documento_aperto& d, int riga, int colonna) {
  const auto righe = analizza_testo(d.testo, d.identita.formato);
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
  const std::string_view prima = testo_riga.substr(
      0, std::min<std::size_t>(static_cast<std::size_t>(std::max(colonna, 0)), testo_riga.find('\n')));
  if (prima.find(',') != std::string_view::npos) return elementi;
  int da = 0;
  while (static_cast<std::size_t>(da) < prima.size() &&
         (prima[static_cast<std::size_t>(da)] == ' ' || prima[static_cast<std::size_t>(da)] == '\t'))
    ++da;
  const json sostituisci = intervallo(riga, da, static_cast<int>(prima.size()));

  // Where the row stands: the general part, the rows after it, or before [generale] at all.
  const bool dopo_generale = std::any_of(righe.begin(), righe.begin() + riga, [](const riga_letta& x) {
    return x.intestazione && x.sezione.find("[generale]") != std::string::npos;
  });
  const bool generale = r->generale;
  if (dopo_generale) {
    for (const auto& p : kParoleChiave) {
      if (p.formato != d.identita.formato) continue;
      if (d.identita.formato == formato_descrizione::linea && (p.sezione == "[generale]") != generale) continue;
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
  const auto& sezioni = d.identita.formato == formato_descrizione::linea
                            ? std::span<const std::string_view>(kSezioniLinea)
                            : std::span<const std::string_view>(kSezioniTreno);
  for (const auto& s : sezioni) {
    elementi.push_back({{"label", std::string(s)},
                        {"kind", 9},
                        {"sortText", "2" + std::string(s)},
                        {"textEdit", {{"range", sostituisci}, {"newText", std::string(s)}}}});
  }
  return elementi;
}

}  // namespace cmp
