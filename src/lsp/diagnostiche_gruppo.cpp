#include "lsp/diagnostiche_gruppo.h"

#include <algorithm>

#include "lsp/diagnosi.h"
#include "lsp/protocollo.h"
#include "lsp/uri.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

using json = nlohmann::json;

// One diagnostic at the keyword field of its row (from 1), or at the start of the text.
json diagnostica_json(const diagnostica_testo& d) {
  const int riga = std::max(d.riga - 1, 0);
  const int colonna = std::max(d.colonna - 1, 0);
  return {{"range", intervallo(riga, colonna, colonna + 1)},
          {"severity", static_cast<int>(d.livello)},
          {"code", d.numero},
          {"source", "compattatore"},
          {"message", d.messaggio}};
}

diagnostica_testo linea_mancante(const std::string& nome_linea) {
  diagnostica_testo manca;
  manca.numero = 101;
  manca.livello = gravita::avviso;
  manca.messaggio = "the line description " + nome_descrizione_linea({nome_linea, ""}) +
                    " is neither open nor in this folder, so the train cannot be checked";
  return manca;
}

// What a train shows of an error of its line: a note at its start.
diagnostica_testo nota_della_linea(const diagnostica_testo& dt, const std::string& nome_linea) {
  diagnostica_testo nota = dt;
  nota.riga = 0;
  nota.livello = gravita::informazione;
  nota.messaggio =
      "the line description " + nome_descrizione_linea({nome_linea, ""}) + " has an error" +
      (dt.riga > 0 ? " at line " + std::to_string(dt.riga) + ", column " + std::to_string(dt.colonna) : "") + ": " +
      dt.messaggio;
  return nota;
}

}  // namespace

std::vector<diagnostiche_uri> DiagnosticheGruppi::compila(ArchivioDocumenti& documenti, const chiave_gruppo& gruppo) {
  const ArchivioDocumenti::membri_gruppo membri = documenti.membri(gruppo);
  documento_aperto* linea = membri.linea;
  const std::vector<documento_aperto*>& treni = membri.treni;
  const std::string& nome_linea = gruppo.nome_linea;

  // The line: the open document, else the file beside the trains (read only).
  std::optional<std::string> testo_linea;
  std::string uri_linea;
  if (linea) {
    testo_linea = linea->testo;
    uri_linea = linea->uri;
  } else if (const auto su_disco = percorso_locale(gruppo.cartella + nome_descrizione_linea({nome_linea, ""}));
             su_disco && !treni.empty()) {
    testo_linea = leggi_file_(*su_disco);
    if (testo_linea) testo_linea = testo_dei_lettori(std::move(*testo_linea), documenti.codifica());
    uri_linea = uri_da_percorso(*su_disco);
  }

  std::map<std::string, json> da_pubblicare;  // URI -> diagnostics
  for (const auto& uri : membri.uri) da_pubblicare[uri] = json::array();
  for (const auto& uri : pubblicati_[gruppo]) da_pubblicare.emplace(uri, json::array());
  std::set<std::string> diagnostiche_linea;  // one line error may come from several trains
  const auto aggiungi_linea = [&](const diagnostica_testo& dt) {
    if (uri_linea.empty()) return;
    const json j = diagnostica_json(dt);
    if (diagnostiche_linea.insert(j.dump()).second) da_pubblicare[uri_linea].push_back(j);
  };

  if (treni.empty() && linea) {
    // A line on its own: compiled with an empty train, and only what the line causes is shown.
    auto esito = diagnosi_documenti(linea->testo, "[generale]\r\n", nomi_scenario{nome_linea, "1"});
    for (const auto& dt : esito.diagnostiche) {
      if (dt.testo == testo_descrizione::linea) aggiungi_linea(dt);
    }
    linea->compilato = esito.stato;
  }
  for (auto* t : treni) {
    json& del_treno = da_pubblicare[t->uri];
    if (!testo_linea) {
      del_treno.push_back(diagnostica_json(linea_mancante(nome_linea)));
      t->compilato.reset();
      t->corsa.reset();
      continue;
    }
    auto esito = diagnosi_documenti(*testo_linea, t->testo, {nome_linea, t->identita.numero_treno}, orario_);
    for (const auto& dt : esito.diagnostiche) {
      if (dt.testo == testo_descrizione::linea) {
        aggiungi_linea(dt);
        del_treno.push_back(diagnostica_json(nota_della_linea(dt, nome_linea)));
      } else {
        del_treno.push_back(diagnostica_json(dt));
      }
    }
    t->compilato = esito.stato;
    t->corsa = esito.corsa;
    if (linea && linea->compilato == nullptr) linea->compilato = esito.stato;
  }
  if (linea && !treni.empty() && treni.front()->compilato) linea->compilato = treni.front()->compilato;

  std::vector<diagnostiche_uri> out;
  auto& pubblicati = pubblicati_[gruppo];
  pubblicati.clear();
  for (auto& [uri, diagnostiche] : da_pubblicare) {
    if (!diagnostiche.empty()) pubblicati.insert(uri);
    out.push_back({uri, std::move(diagnostiche)});
  }
  return out;
}

}  // namespace cmp
