#pragma once
// The documents the editor has open, and the groups they are compiled in: the documents
// of one scenario (a folder and a route identifier) are compiled together.
#include <compare>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lsp/identita_documento.h"
#include "model/stato.h"
#include "orario/corsa_minima.h"

namespace cmp {

struct chiave_gruppo {
  std::string cartella;        // the neutral folder of a file: URI (lsp/uri.h), with its final '/'; "" otherwise
  std::string documento_solo;  // the URI of a document whose name follows no pattern; "" for the others
  std::string nome_linea;      // UTF-8
  auto operator<=>(const chiave_gruppo&) const = default;
};

// The encoding the descriptions are saved in, as `--encoding` of the commands gives it.
enum class codifica_testi { windows_1252, utf_8 };

// The bytes of a description (on disk, or the editor's text turned into Windows-1252) as
// the readers take them: in UTF-8, converted to Windows-1252 when they are UTF-8; an
// editor that decoded the file as UTF-8 itself already gave Windows-1252, kept as it is.
std::string testo_dei_lettori(std::string byte, codifica_testi codifica);

struct documento_aperto {
  std::string uri;
  std::string testo;         // Windows-1252, as the readers take it
  std::string testo_editor;  // UTF-8, as the editor gave it
  identita_documento identita;
  chiave_gruppo gruppo;
  std::shared_ptr<const Stato> compilato;     // the last compile it took part in
  std::shared_ptr<const corsa_minima> corsa;  // a train's fastest run over that compile's track, if it made one
};

class ArchivioDocumenti {
 public:
  // Opens a document (again, when it was open) with its text (UTF-8): the group it joins,
  // and the one it left, wait for a compile.
  void apri(const std::string& uri, const std::string& testo_utf8);
  bool aperto(const std::string& uri) const { return documenti_.count(uri) > 0; }
  // The whole new text of an open document; its group waits for a compile.
  void cambia(const std::string& uri, const std::string& testo_utf8);
  void chiudi(const std::string& uri);
  // The encoding of the descriptions: on a change every document is taken again and
  // every group waits for a compile.
  void usa_codifica(codifica_testi c);
  codifica_testi codifica() const { return codifica_; }
  // Every group waits for a compile (a setting of the compile changed).
  void attendi_tutti();
  // The open document, or nullptr.
  documento_aperto* trova(const std::string& uri);

  struct membri_gruppo {
    documento_aperto* linea = nullptr;     // the first line by URI, when one is open
    std::vector<documento_aperto*> treni;  // by URI
    std::vector<std::string> uri;          // every document of the group, compiled or not
  };
  // Documents whose format nothing tells are members, but neither line nor train.
  membri_gruppo membri(const chiave_gruppo& g);

  // The groups waiting for a compile, handed over: none waits afterwards.
  std::set<chiave_gruppo> prendi_in_attesa();
  // True, and no longer waiting, when this group was waiting.
  bool prendi_in_attesa(const chiave_gruppo& g);

 private:
  std::map<std::string, documento_aperto> documenti_;  // by URI
  std::set<chiave_gruppo> in_attesa_;
  codifica_testi codifica_ = codifica_testi::windows_1252;
};

}  // namespace cmp
