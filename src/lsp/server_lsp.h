#pragma once
// compattatore lsp: a language server for the two description formats. Messages come and
// go through a Trasporto; this is the dispatch: the lifecycle, the document notifications
// to the store, each request to its feature, and the compiles when no message waits.
// Files beside the open documents are read (never written) through the function given.
// The whole state of a session is one ServerLsp.
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/diagnostiche_gruppo.h"
#include "lsp/documenti.h"
#include "lsp/trasporto.h"

namespace cmp {

class ServerLsp {
 public:
  ServerLsp(Trasporto& trasporto, LeggiFile leggi_file) : trasporto_(trasporto), diagnostiche_(std::move(leggi_file)) {}

  // Serves until exit or the end of the input; the process's exit status.
  int esegui();

 private:
  // One message; true when it was exit.
  bool gestisci(const std::string& corpo);
  void richiesta(const nlohmann::json& id, const std::string& metodo, const nlohmann::json& parametri);
  void notifica(const std::string& metodo, const nlohmann::json& parametri);
  void rispondi(const nlohmann::json& id, nlohmann::json risultato);
  void errore(const nlohmann::json& id, int codice, const std::string& messaggio);

  void imposta(const nlohmann::json& impostazioni);
  void imposta_codifica(const nlohmann::json& nostre);
  void imposta_orario(const nlohmann::json& nostre);
  void avvisa(const std::string& messaggio);  // a warning the editor shows (window/showMessage)
  void apri(const nlohmann::json& parametri);
  void cambia(const nlohmann::json& parametri);
  void chiudi(const nlohmann::json& parametri);

  void compila_in_attesa();
  void compila(const chiave_gruppo& gruppo);
  // The open document a request names, compiled first when its group waits.
  documento_aperto& documento(const nlohmann::json& parametri);

  Trasporto& trasporto_;
  ArchivioDocumenti documenti_;
  DiagnosticheGruppi diagnostiche_;
  bool inizializzato_ = false;
  bool chiusura_chiesta_ = false;
};

}  // namespace cmp
