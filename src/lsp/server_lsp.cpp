#include "lsp/server_lsp.h"

#include <algorithm>
#include <cctype>

#include "comandi/identita.h"
#include "lsp/aiuti.h"
#include "lsp/analisi_testo.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

using json = nlohmann::json;

// LSP error codes.
constexpr int kErroreParse = -32700;
constexpr int kRichiestaNonValida = -32600;
constexpr int kMetodoSconosciuto = -32601;
constexpr int kParametriNonValidi = -32602;
constexpr int kErroreInterno = -32603;
constexpr int kNonInizializzato = -32002;

// The parameters a request needs but does not have.
struct ParametriMancanti : std::runtime_error {
  using std::runtime_error::runtime_error;
};

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The path of a file: URI, or "" for any other URI.
std::string percorso_da_uri(const std::string& uri) {
  constexpr std::string_view prefisso = "file://";
  if (uri.rfind(prefisso, 0) != 0) return "";
  std::string out;
  for (std::size_t i = prefisso.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && cifra_esadecimale(uri[i + 1]) >= 0 &&
        cifra_esadecimale(uri[i + 2]) >= 0) {
      out += static_cast<char>(cifra_esadecimale(uri[i + 1]) * 16 + cifra_esadecimale(uri[i + 2]));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

std::string uri_da_percorso(const std::string& percorso) {
  static constexpr char kCifre[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (const unsigned char c : percorso) {
    if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kCifre[c >> 4];
      out += kCifre[c & 15];
    }
  }
  return out;
}

const std::string& campo_testo(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_string()) throw ParametriMancanti(std::string("missing string '") + nome + "'");
  return it->get_ref<const std::string&>();
}

const json& campo_oggetto(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_object()) throw ParametriMancanti(std::string("missing object '") + nome + "'");
  return *it;
}

int campo_intero(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_number_integer()) throw ParametriMancanti(std::string("missing number '") + nome + "'");
  return it->get<int>();
}

// The identity of a document: from its name when it follows <NAME>_linea.txt or
// <NAME>_<NUMBER>-.txt, else from its content (format) and its name (identity).
void identifica(documento_aperto& d, const std::string& testo_utf8) {
  const std::string percorso = percorso_da_uri(d.uri);
  const std::string nome_file = percorso.empty() ? d.uri.substr(d.uri.find_last_of('/') + 1)
                                                 : percorso.substr(percorso.find_last_of('/') + 1);
  d.cartella = percorso.empty() ? "" : percorso.substr(0, percorso.find_last_of('/') + 1);
  const std::string linea = deduci_nome_linea(nome_file);
  constexpr std::string_view fine_treno = "-.txt";
  const auto sottolineato = nome_file.find_last_of('_');
  if (!linea.empty()) {
    d.formato = formato_descrizione::linea;
    d.nome_linea = linea;
  } else if (nome_file.size() > fine_treno.size() &&
             nome_file.compare(nome_file.size() - fine_treno.size(), fine_treno.size(), fine_treno) == 0 &&
             sottolineato != std::string::npos && sottolineato > 0) {
    d.formato = formato_descrizione::treno;
    d.nome_linea = nome_file.substr(0, sottolineato);
    d.numero_treno = nome_file.substr(sottolineato + 1, nome_file.size() - fine_treno.size() - sottolineato - 1);
  } else {
    const auto formato = formato_dal_contenuto(testo_utf8);
    d.formato = formato.value_or(formato_descrizione::linea);
    d.per_contenuto = true;
    d.sconosciuto = !formato;
    // A name that follows no pattern: the document stands alone, with its own name.
    d.nome_linea = nome_file;
    d.cartella = "\n" + d.uri;  // never the folder of another document
  }
  if (d.numero_treno.empty()) d.numero_treno = "1";
}

json posizione(int riga, int colonna) { return {{"line", riga}, {"character", colonna}}; }

// One diagnostic at the keyword field of its row (from 1), or at the start of the text.
json diagnostica_json(const diagnostica_testo& d) {
  const int riga = std::max(d.riga - 1, 0);
  const int colonna = std::max(d.colonna - 1, 0);
  return {{"range", {{"start", posizione(riga, colonna)}, {"end", posizione(riga, colonna + 1)}}},
          {"severity", static_cast<int>(d.livello)},
          {"code", d.numero},
          {"source", "compattatore"},
          {"message", d.messaggio}};
}

}  // namespace

int ServerLsp::esegui() {
  for (;;) {
    const messaggio_letto m = trasporto_.leggi();
    switch (m.esito) {
      case messaggio_letto::tipo::fine:
        return 1;  // the client went away without exit: quietly, as after an exit without shutdown
      case messaggio_letto::tipo::intestazione_errata:
        errore(nullptr, kErroreParse, "malformed header: " + m.motivo);
        break;
      case messaggio_letto::tipo::troppo_grande:
        errore(nullptr, kRichiestaNonValida, m.motivo);
        break;
      case messaggio_letto::tipo::corpo:
        if (gestisci(m.corpo)) return chiusura_chiesta_ ? 0 : 1;
        break;
    }
    // Compile only when no further message waits: a burst of changes compiles once, the last text.
    if (!trasporto_.altro_in_attesa()) compila_in_attesa();
  }
}

bool ServerLsp::gestisci(const std::string& corpo) {
  json m = json::parse(corpo, nullptr, false);
  if (m.is_discarded()) {
    errore(nullptr, kErroreParse, "the message is not valid JSON");
    return false;
  }
  const json id = m.is_object() && m.contains("id") ? m["id"] : json(nullptr);
  if (!m.is_object() || !m.contains("method") || !m["method"].is_string() ||
      (m.contains("id") && !m["id"].is_string() && !m["id"].is_number_integer())) {
    // A response from the client (to nothing we asked) is ignored; anything else is refused.
    if (m.is_object() && m.contains("id") && (m.contains("result") || m.contains("error"))) return false;
    errore(id.is_string() || id.is_number_integer() ? id : json(nullptr), kRichiestaNonValida,
           "not a JSON-RPC request or notification");
    return false;
  }
  const std::string metodo = m["method"];
  const json parametri = m.contains("params") ? m["params"] : json::object();
  if (metodo == "exit") return true;
  try {
    if (m.contains("id")) {
      richiesta(id, metodo, parametri);
    } else {
      notifica(metodo, parametri);
    }
  } catch (const ParametriMancanti& e) {
    if (m.contains("id")) errore(id, kParametriNonValidi, e.what());
  } catch (const json::exception& e) {
    if (m.contains("id")) errore(id, kParametriNonValidi, e.what());
  } catch (const std::exception& e) {
    if (m.contains("id")) errore(id, kErroreInterno, e.what());
  }
  return false;
}

void ServerLsp::richiesta(const json& id, const std::string& metodo, const json& parametri) {
  if (metodo == "initialize") {
    if (inizializzato_) return errore(id, kRichiestaNonValida, "initialize was already received");
    inizializzato_ = true;
    json capacita = {
        {"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", {{"includeText", false}}}}},
        {"hoverProvider", true},
        {"completionProvider", {{"triggerCharacters", json::array()}, {"resolveProvider", false}}},
        {"documentSymbolProvider", true}};
    return rispondi(id, {{"capabilities", capacita}, {"serverInfo", {{"name", "compattatore"}, {"version", "1.0.0"}}}});
  }
  if (!inizializzato_) return errore(id, kNonInizializzato, "the server has not been initialized");
  if (chiusura_chiesta_) return errore(id, kRichiestaNonValida, "the server is shutting down");
  if (metodo == "shutdown") {
    chiusura_chiesta_ = true;
    return rispondi(id, nullptr);
  }
  if (metodo == "textDocument/hover") return rispondi(id, hover(parametri));
  if (metodo == "textDocument/completion") return rispondi(id, completamento(parametri));
  if (metodo == "textDocument/documentSymbol") return rispondi(id, simboli(parametri));
  errore(id, kMetodoSconosciuto, "unknown method '" + metodo + "'");
}

void ServerLsp::notifica(const std::string& metodo, const json& parametri) {
  if (!inizializzato_ || chiusura_chiesta_) return;  // dropped, as the protocol asks
  if (metodo == "textDocument/didOpen") return apri(parametri);
  if (metodo == "textDocument/didChange") return cambia(parametri);
  if (metodo == "textDocument/didClose") return chiudi(parametri);
  // didSave changes nothing: the text was already known. initialized, $/ and others are ignored.
}

void ServerLsp::rispondi(const json& id, json risultato) {
  trasporto_.invia(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}}.dump(
      -1, ' ', false, json::error_handler_t::replace));
}

void ServerLsp::errore(const json& id, int codice, const std::string& messaggio) {
  trasporto_.invia(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}}.dump(
      -1, ' ', false, json::error_handler_t::replace));
}

void ServerLsp::apri(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  documento_aperto d;
  d.uri = campo_testo(doc, "uri");
  const std::string& testo = campo_testo(doc, "text");
  identifica(d, testo);
  d.testo = in_cp1252(testo);
  if (const auto vecchio = documenti_.find(d.uri); vecchio != documenti_.end()) {
    gruppi_da_compilare_.insert(gruppo_di(vecchio->second));
  }
  gruppi_da_compilare_.insert(gruppo_di(d));
  documenti_[d.uri] = std::move(d);
}

void ServerLsp::cambia(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  const auto it = documenti_.find(campo_testo(doc, "uri"));
  if (it == documenti_.end()) return;
  const auto modifiche = parametri.find("contentChanges");
  if (modifiche == parametri.end() || !modifiche->is_array() || modifiche->empty()) return;
  // Full text only (as announced): the last change holds the whole text.
  const std::string& testo = campo_testo(modifiche->back(), "text");
  documento_aperto& d = it->second;
  if (d.per_contenuto) {
    gruppi_da_compilare_.insert(gruppo_di(d));  // what it was counted with before
    identifica(d, testo);
  }
  d.testo = in_cp1252(testo);
  gruppi_da_compilare_.insert(gruppo_di(d));
}

void ServerLsp::chiudi(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  const auto it = documenti_.find(campo_testo(doc, "uri"));
  if (it == documenti_.end()) return;
  const std::string gruppo = gruppo_di(it->second);
  documenti_.erase(it);
  gruppi_da_compilare_.insert(gruppo);
}

std::string ServerLsp::gruppo_di(const documento_aperto& d) const { return d.cartella + '\0' + d.nome_linea; }

void ServerLsp::compila_in_attesa() {
  const auto gruppi = std::move(gruppi_da_compilare_);
  gruppi_da_compilare_.clear();
  for (const auto& g : gruppi) compila_gruppo(g);
}

void ServerLsp::compila_gruppo(const std::string& gruppo) {
  documento_aperto* linea = nullptr;
  std::vector<documento_aperto*> treni;
  for (auto& [uri, d] : documenti_) {
    if (gruppo_di(d) != gruppo || d.sconosciuto) continue;
    if (d.formato == formato_descrizione::linea && !linea) linea = &d;
    if (d.formato == formato_descrizione::treno) treni.push_back(&d);
  }
  const std::string cartella = gruppo.substr(0, gruppo.find('\0'));
  const std::string nome_linea = gruppo.substr(gruppo.find('\0') + 1);
  const bool su_disco = !cartella.empty() && cartella.front() == '/';

  // The line: the open document, else the file beside the trains (read only).
  std::optional<std::string> testo_linea;
  std::string uri_linea;
  if (linea) {
    testo_linea = linea->testo;
    uri_linea = linea->uri;
  } else if (su_disco && !treni.empty()) {
    const std::string percorso = cartella + nome_linea + "_linea.txt";
    testo_linea = leggi_file_(percorso);
    uri_linea = uri_da_percorso(percorso);
  }

  std::map<std::string, json> da_pubblicare;  // URI -> diagnostics
  for (const auto& [uri, d] : documenti_) {
    if (gruppo_di(d) == gruppo) da_pubblicare[uri] = json::array();
  }
  for (const auto& uri : pubblicati_[gruppo]) da_pubblicare.emplace(uri, json::array());
  std::set<std::string> diagnostiche_linea;  // one line error may come from several trains
  const auto aggiungi_linea = [&](const diagnostica_testo& dt) {
    if (uri_linea.empty()) return;
    const json j = diagnostica_json(dt);
    if (diagnostiche_linea.insert(j.dump()).second) da_pubblicare[uri_linea].push_back(j);
  };

  const nomi_scenario nomi_linea_sola{nome_linea, "1"};
  if (treni.empty() && linea) {
    // A line on its own: compiled with an empty train, and only what the line causes is shown.
    auto esito = diagnosi_documenti(linea->testo, "[generale]\r\n", nomi_linea_sola);
    for (const auto& dt : esito.diagnostiche) {
      if (dt.testo == testo_descrizione::linea) aggiungi_linea(dt);
    }
    linea->compilato = esito.stato;
  }
  for (auto* t : treni) {
    json& del_treno = da_pubblicare[t->uri];
    if (!testo_linea) {
      diagnostica_testo manca;
      manca.numero = 101;
      manca.livello = gravita::avviso;
      manca.messaggio = "the line description " + nome_linea +
                        "_linea.txt is neither open nor in this folder, so the train cannot be checked";
      del_treno.push_back(diagnostica_json(manca));
      t->compilato.reset();
      continue;
    }
    auto esito = diagnosi_documenti(*testo_linea, t->testo, {nome_linea, t->numero_treno});
    for (const auto& dt : esito.diagnostiche) {
      if (dt.testo == testo_descrizione::linea) {
        aggiungi_linea(dt);
        diagnostica_testo nota = dt;
        nota.riga = 0;
        nota.livello = gravita::informazione;
        nota.messaggio = "the line description " + nome_linea + "_linea.txt has an error" +
                         (dt.riga > 0 ? " at line " + std::to_string(dt.riga) + ", column " + std::to_string(dt.colonna) : "") +
                         ": " + dt.messaggio;
        del_treno.push_back(diagnostica_json(nota));
      } else {
        del_treno.push_back(diagnostica_json(dt));
      }
    }
    t->compilato = esito.stato;
    if (linea && linea->compilato == nullptr) linea->compilato = esito.stato;
  }
  if (linea && !treni.empty() && treni.front()->compilato) linea->compilato = treni.front()->compilato;

  auto& pubblicati = pubblicati_[gruppo];
  pubblicati.clear();
  for (const auto& [uri, diagnostiche] : da_pubblicare) {
    pubblica(uri, diagnostiche);
    if (!diagnostiche.empty()) pubblicati.insert(uri);
  }
}

void ServerLsp::pubblica(const std::string& uri, const json& diagnostiche) {
  trasporto_.invia(json{{"jsonrpc", "2.0"},
                        {"method", "textDocument/publishDiagnostics"},
                        {"params", {{"uri", uri}, {"diagnostics", diagnostiche}}}}
                       .dump(-1, ' ', false, json::error_handler_t::replace));
}

documento_aperto& ServerLsp::documento(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  const auto it = documenti_.find(campo_testo(doc, "uri"));
  if (it == documenti_.end()) throw ParametriMancanti("the document is not open");
  // A request sees the text it asks about compiled.
  if (gruppi_da_compilare_.count(gruppo_di(it->second))) {
    gruppi_da_compilare_.erase(gruppo_di(it->second));
    compila_gruppo(gruppo_di(it->second));
  }
  return it->second;
}

json ServerLsp::hover(const json& parametri) {
  const documento_aperto& d = documento(parametri);
  const json& p = campo_oggetto(parametri, "position");
  return hover_riga(d, campo_intero(p, "line"), campo_intero(p, "character"));
}

json ServerLsp::completamento(const json& parametri) {
  const documento_aperto& d = documento(parametri);
  const json& p = campo_oggetto(parametri, "position");
  return completamento_riga(d, campo_intero(p, "line"), campo_intero(p, "character"));
}

json ServerLsp::simboli(const json& parametri) { return simboli_documento(documento(parametri)); }

}  // namespace cmp
