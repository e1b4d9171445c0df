#pragma once
// compattatore lsp: a language server for the two description formats. Messages come and
// go through a Trasporto; files beside the open documents are read (never written) through
// the function given. The whole state of a session is one ServerLsp.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/diagnosi.h"
#include "lsp/trasporto.h"
#include "reader/parole_chiave.h"

namespace cmp {

// Reads a file by path: its bytes, or nullopt when it does not exist or cannot be read.
using LeggiFile = std::function<std::optional<std::string>(const std::string& percorso)>;

struct documento_aperto {
  std::string uri;
  formato_descrizione formato = formato_descrizione::linea;
  std::string testo;      // Windows-1252, as the readers take it
  std::string cartella;   // the folder of a file: URI, "" otherwise
  std::string nome_linea; // UTF-8; the scenario it belongs to
  std::string numero_treno;
  bool per_contenuto = false;  // the name follows no pattern: the format comes from the text
  bool sconosciuto = false;    // nothing tells the format: not compiled
  std::shared_ptr<const Stato> compilato;  // the last compile it took part in
};

class ServerLsp {
 public:
  ServerLsp(Trasporto& trasporto, LeggiFile leggi_file)
      : trasporto_(trasporto), leggi_file_(std::move(leggi_file)) {}

  // Serves until exit or the end of the input; the process's exit status.
  int esegui();

 private:
  // One message; true when it was exit.
  bool gestisci(const std::string& corpo);
  void richiesta(const nlohmann::json& id, const std::string& metodo, const nlohmann::json& parametri);
  void notifica(const std::string& metodo, const nlohmann::json& parametri);
  void rispondi(const nlohmann::json& id, nlohmann::json risultato);
  void errore(const nlohmann::json& id, int codice, const std::string& messaggio);

  void apri(const nlohmann::json& parametri);
  void cambia(const nlohmann::json& parametri);
  void chiudi(const nlohmann::json& parametri);

  // The documents of one scenario (folder and route identifier) are compiled together.
  std::string gruppo_di(const documento_aperto& d) const;
  void compila_in_attesa();
  void compila_gruppo(const std::string& gruppo);
  void pubblica(const std::string& uri, const nlohmann::json& diagnostiche);

  nlohmann::json hover(const nlohmann::json& parametri);
  nlohmann::json completamento(const nlohmann::json& parametri);
  nlohmann::json simboli(const nlohmann::json& parametri);
  documento_aperto& documento(const nlohmann::json& parametri);

  Trasporto& trasporto_;
  LeggiFile leggi_file_;
  bool inizializzato_ = false;
  bool chiusura_chiesta_ = false;
  std::map<std::string, documento_aperto> documenti_;  // by URI
  std::set<std::string> gruppi_da_compilare_;
  std::map<std::string, std::set<std::string>> pubblicati_;  // group -> URIs holding diagnostics
};

}  // namespace cmp
