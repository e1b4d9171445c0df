#include "lsp/server_lsp.h"

#include <optional>

#include "lsp/completamento.h"
#include "lsp/hover.h"
#include "lsp/protocollo.h"
#include "lsp/simboli.h"
#include "model/versione.h"

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
    if (const auto opzioni = parametri.find("initializationOptions"); opzioni != parametri.end()) imposta(*opzioni);
    json capacita = {{"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", {{"includeText", false}}}}},
                     {"hoverProvider", true},
                     {"completionProvider", {{"triggerCharacters", json::array()}, {"resolveProvider", false}}},
                     {"documentSymbolProvider", true}};
    return rispondi(id,
                    {{"capabilities", capacita}, {"serverInfo", {{"name", "compattatore"}, {"version", kVersione}}}});
  }
  if (!inizializzato_) return errore(id, kNonInizializzato, "the server has not been initialized");
  if (chiusura_chiesta_) return errore(id, kRichiestaNonValida, "the server is shutting down");
  if (metodo == "shutdown") {
    chiusura_chiesta_ = true;
    return rispondi(id, nullptr);
  }
  if (metodo == "textDocument/hover") {
    const documento_aperto& d = documento(parametri);
    const json& p = campo_oggetto(parametri, "position");
    return rispondi(id, hover_riga(d, campo_intero(p, "line"), campo_intero(p, "character")));
  }
  if (metodo == "textDocument/completion") {
    const documento_aperto& d = documento(parametri);
    const json& p = campo_oggetto(parametri, "position");
    return rispondi(id, completamento_riga(d, campo_intero(p, "line"), campo_intero(p, "character")));
  }
  if (metodo == "textDocument/documentSymbol") return rispondi(id, simboli_documento(documento(parametri)));
  errore(id, kMetodoSconosciuto, "unknown method '" + metodo + "'");
}

void ServerLsp::notifica(const std::string& metodo, const json& parametri) {
  if (!inizializzato_ || chiusura_chiesta_) return;  // dropped, as the protocol asks
  if (metodo == "textDocument/didOpen") return apri(parametri);
  if (metodo == "textDocument/didChange") return cambia(parametri);
  if (metodo == "textDocument/didClose") return chiudi(parametri);
  if (metodo == "workspace/didChangeConfiguration") {
    if (const auto opzioni = parametri.find("settings"); opzioni != parametri.end()) imposta(*opzioni);
    return;
  }
  // didSave changes nothing: the text was already known. initialized, $/ and others are ignored.
}

void ServerLsp::rispondi(const json& id, json risultato) {
  trasporto_.invia(corpo_messaggio({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}}));
}

void ServerLsp::errore(const json& id, int codice, const std::string& messaggio) {
  trasporto_.invia(
      corpo_messaggio({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}}));
}

// The settings {"compattatore": {"encoding": "windows-1252" | "utf-8", "accelerazione": m/s²,
// "decelerazione": m/s², "margineMinimo": per cent}}; what they leave out stays as it was,
// a null rate or margin goes back to its default (the braking rate to the braked weight's),
// and a value the commands would refuse is refused with a message.
void ServerLsp::imposta(const json& impostazioni) {
  if (!impostazioni.is_object()) return;
  const auto nostre = impostazioni.find("compattatore");
  if (nostre == impostazioni.end() || !nostre->is_object()) return;
  imposta_codifica(*nostre);
  imposta_orario(*nostre);
}

void ServerLsp::imposta_codifica(const json& nostre) {
  const auto codifica = nostre.find("encoding");
  if (codifica == nostre.end() || codifica->is_null()) return;
  if (*codifica == "windows-1252") return documenti_.usa_codifica(codifica_testi::windows_1252);
  if (*codifica == "utf-8") return documenti_.usa_codifica(codifica_testi::utf_8);
  avvisa("compattatore: the encoding " + codifica->dump() +
         " is none of windows-1252 and utf-8; the descriptions stay read as before");
}

namespace {

// A setting's number within (0, massimo], or within [0, massimo] when `zero`; nullopt otherwise.
std::optional<double> numero_nel_campo(const json& v, double massimo, bool zero) {
  if (!v.is_number()) return std::nullopt;
  const double x = v.get<double>();
  if (!(zero ? x >= 0 : x > 0) || !(x <= massimo)) return std::nullopt;
  return x;
}

// The timetable check's settings, with the ranges the timetable command takes.
struct impostazione_orario {
  const char* nome;
  double massimo;
  bool zero;  // 0 is taken
  const char* cosa;
};
constexpr impostazione_orario kAccelerazione{"accelerazione", kAccelerazioneMassima, false,
                                             "an acceleration in m/s\u00b2 above 0 and at most 5"};
constexpr impostazione_orario kDecelerazione{"decelerazione", kDecelerazioneMassima, false,
                                             "a braking rate in m/s\u00b2 above 0 and at most 5"};
constexpr impostazione_orario kMargineMinimo{"margineMinimo", 100, true, "a per cent from 0 to 100"};

}  // namespace

void ServerLsp::imposta_orario(const json& nostre) {
  opzioni_orario o = diagnostiche_.orario();
  // `usa` takes the value, or nullopt for null (back to the default).
  const auto leggi = [&](const impostazione_orario& i, auto&& usa) {
    const auto v = nostre.find(i.nome);
    if (v == nostre.end()) return;
    if (v->is_null()) return usa(std::nullopt);
    if (const auto x = numero_nel_campo(*v, i.massimo, i.zero)) return usa(x);
    avvisa("compattatore: " + std::string(i.nome) + " takes " + i.cosa + ", not " + v->dump() +
           "; the timetable check stays as before");
  };
  leggi(kAccelerazione,
        [&](std::optional<double> x) { o.ipotesi.accelerazione = x.value_or(kAccelerazionePredefinita); });
  leggi(kDecelerazione, [&](std::optional<double> x) { o.ipotesi.decelerazione = x; });
  leggi(kMargineMinimo, [&](std::optional<double> x) { o.margine_minimo = x.value_or(kMargineMinimoPredefinito); });
  const opzioni_orario& prima = diagnostiche_.orario();
  if (o.ipotesi.accelerazione == prima.ipotesi.accelerazione &&
      o.ipotesi.decelerazione == prima.ipotesi.decelerazione && o.margine_minimo == prima.margine_minimo) {
    return;
  }
  diagnostiche_.usa_orario(o);
  documenti_.attendi_tutti();
}

void ServerLsp::avvisa(const std::string& messaggio) {
  trasporto_.invia(corpo_messaggio(
      {{"jsonrpc", "2.0"}, {"method", "window/showMessage"}, {"params", {{"type", 2}, {"message", messaggio}}}}));
}

void ServerLsp::apri(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  const std::string& uri = campo_testo(doc, "uri");
  documenti_.apri(uri, campo_testo(doc, "text"));
}

void ServerLsp::cambia(const json& parametri) {
  const json& doc = campo_oggetto(parametri, "textDocument");
  const std::string& uri = campo_testo(doc, "uri");
  if (!documenti_.aperto(uri)) return;
  const auto modifiche = parametri.find("contentChanges");
  if (modifiche == parametri.end() || !modifiche->is_array() || modifiche->empty()) return;
  // Full text only (as announced): the last change holds the whole text.
  documenti_.cambia(uri, campo_testo(modifiche->back(), "text"));
}

void ServerLsp::chiudi(const json& parametri) {
  documenti_.chiudi(campo_testo(campo_oggetto(parametri, "textDocument"), "uri"));
}

void ServerLsp::compila_in_attesa() {
  for (const auto& g : documenti_.prendi_in_attesa()) compila(g);
}

void ServerLsp::compila(const chiave_gruppo& gruppo) {
  for (const auto& [uri, diagnostiche] : diagnostiche_.compila(documenti_, gruppo)) {
    trasporto_.invia(corpo_messaggio({{"jsonrpc", "2.0"},
                                      {"method", "textDocument/publishDiagnostics"},
                                      {"params", {{"uri", uri}, {"diagnostics", diagnostiche}}}}));
  }
}

documento_aperto& ServerLsp::documento(const json& parametri) {
  documento_aperto* d = documenti_.trova(campo_testo(campo_oggetto(parametri, "textDocument"), "uri"));
  if (!d) throw ParametriMancanti("the document is not open");
  // A request sees the text it asks about compiled.
  if (documenti_.prendi_in_attesa(d->gruppo)) compila(d->gruppo);
  return *d;
}

}  // namespace cmp
