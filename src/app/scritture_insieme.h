#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/cartella.h"

namespace cmp {

// A folder whose writes are held back and handed over together by `conferma`, so that
// the binary files of a scenario are replaced as one (never a new plan beside an old
// track). Reading and deleting go straight to the folder and do not see what is held.
class ScrittureInsieme : public Cartella {
 public:
  explicit ScrittureInsieme(Cartella& cartella) : cartella_(cartella) {}
  std::optional<std::string> leggi(const std::string& nome) override { return cartella_.leggi(nome); }
  bool esiste(const std::string& nome) override { return cartella_.esiste(nome); }
  void elimina(const std::string& nome) override { cartella_.elimina(nome); }
  void scrivi(const std::string& nome, std::string_view byte) override { in_attesa_.emplace_back(nome, byte); }
  // Files handed over together are held as they come, without a copy.
  void scrivi_insieme(std::vector<std::pair<std::string, std::string>> file) override {
    for (auto& f : file) in_attesa_.push_back(std::move(f));
  }

  // Writes what is held; throws ErroreFile, and then none of the files has changed.
  void conferma() {
    cartella_.scrivi_insieme(std::move(in_attesa_));
    in_attesa_.clear();
  }

 private:
  Cartella& cartella_;
  std::vector<std::pair<std::string, std::string>> in_attesa_;
};

}  // namespace cmp
