#pragma once
// The diagnostics the editor shows: the documents of a group compiled together, and the
// diagnostics of each of their URIs as LSP JSON. Files beside the open documents are read
// (never written) through the function given.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/diagnosi.h"
#include "lsp/documenti.h"

namespace cmp {

// Reads a file by path: its bytes, or nullopt when it does not exist or cannot be read.
using LeggiFile = std::function<std::optional<std::string>(const std::string& percorso)>;

struct diagnostiche_uri {
  std::string uri;
  nlohmann::json diagnostiche;  // an array, empty to clear what was shown
};

class DiagnosticheGruppi {
 public:
  explicit DiagnosticheGruppi(LeggiFile leggi_file) : leggi_file_(std::move(leggi_file)) {}

  // Compiles a group: each train with the open line, else with the line beside it on
  // disk; a line without trains with an empty train, keeping only what the line causes.
  // Each document keeps its compiled state. The result, by URI: every document of the
  // group, the line read from disk when it has errors, and (empty) every URI that had
  // diagnostics at the group's last compile. A train's diagnostics end with the timetable
  // check of its fastest run, which it keeps too.
  std::vector<diagnostiche_uri> compila(ArchivioDocumenti& documenti, const chiave_gruppo& gruppo);

  // The assumptions of the timetable check for the compiles that follow.
  void usa_orario(const opzioni_orario& o) { orario_ = o; }
  const opzioni_orario& orario() const { return orario_; }

 private:
  LeggiFile leggi_file_;
  opzioni_orario orario_;
  std::map<chiave_gruppo, std::set<std::string>> pubblicati_;  // group -> URIs holding diagnostics
};

}  // namespace cmp
