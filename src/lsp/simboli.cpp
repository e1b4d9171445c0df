#include "lsp/simboli.h"

#include <optional>

#include "lsp/analisi_testo.h"
#include "lsp/protocollo.h"
#include "model/cp1252.h"

namespace cmp {
namespace {
using json = nlohmann::json;
}  // namespace

json simboli_documento(const documento_aperto& d) {
  const auto righe = analizza_testo(d.testo, d.identita.formato);
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
      nome = r.campi.size() >= 17 && !r.campi[16].testo.empty() ? da_cp1252(r.campi[16].testo)
                                                                : "station at " + primo + " m";
      dettaglio = primo + " m";
      tipo = 20;  // key
    } else if (parola == "segnale" || parola == "rallentamento" || parola == "abbattimento" ||
               parola == "indicatori_v") {
      nome = std::string(parola) + " " + primo + " m";
      dettaglio = std::string(r.parola->significato);
      tipo = parola == "indicatori_v" ? 14 : 24;  // constant, event
    } else if (parola == "cartello_indicatore") {
      nome =
          r.campi.size() >= 2 && !r.campi[1].testo.empty() ? da_cp1252(r.campi[1].testo) : "caption at " + primo + " m";
      dettaglio = primo + " m";
      tipo = 15;  // string
    } else if (parola.starts_with("progressiva") || parola == "lunghezza percorso") {
      nome = std::string(parola);
      const auto km = r.campi.size() >= 2 ? numero_del_campo(r.campi[1].testo) : std::nullopt;
      dettaglio =
          parola == "lunghezza percorso" ? primo + " m" : "at " + primo + " m" + (km ? ", " + chilometro(*km) : "");
      tipo = 13;  // variable
    } else {
      continue;
    }
    const int fine = r.campi.empty() ? r.chiave.fine : r.campi.back().fine;
    sezioni[*corrente]["children"].push_back(
        {{"name", nome},
         {"detail", dettaglio},
         {"kind", tipo},
         {"range", intervallo(r.numero, r.chiave.inizio, fine)},
         {"selectionRange", intervallo(r.numero, r.chiave.inizio, r.chiave.fine)}});
  }
  chiudi(ultima_riga);
  return sezioni;
}

}  // namespace cmp
