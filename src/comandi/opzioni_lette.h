#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cmp {

// The options of one command: "--name VALUE" for those that take a value, "--flag" for
// the others, plus positional arguments. Anything unknown is an error with a message.
struct opzioni_lette {
  std::map<std::string, std::string> valori;
  std::set<std::string> interruttori;
  std::vector<std::string> posizionali;
  std::optional<std::string> errore;

  bool ha(const std::string& flag) const { return interruttori.count(flag) != 0; }
  std::optional<std::string> valore(const std::string& nome) const {
    const auto it = valori.find(nome);
    if (it == valori.end()) return std::nullopt;
    return it->second;
  }
};

}  // namespace cmp
