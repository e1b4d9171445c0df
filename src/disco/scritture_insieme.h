#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "disco/cartella.h"

namespace cmp {

// A folder whose writes are held back and handed over together by `conferma`, so that
// the binary files of a scenario are replaced as one (never a new plan beside an old
// track). Reading and deleting go straight to the folder and do not see what is held.
class ScrittureInsieme : public Cartella {
 public:
  explicit ScrittureInsieme(Cartella& cartella) : cartella_(cartella) {}
  std::optional<std::string> leggi(const std::string& nome) override { return cartella_.leggi(nome); }
  TipoVoce tipo(const std::string& nome) override { return cartella_.tipo(nome); }
  bool esiste(const std::string& nome) override { return cartella_.esiste(nome); }
  void elimina(const std::string& nome) override { cartella_.elimina(nome); }
  void elimina_tutti(const std::vector<std::string>& nomi) override { cartella_.elimina_tutti(nomi); }
  std::string percorso_di(const std::string& nome) const override { return cartella_.percorso_di(nome); }
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override {
    return cartella_.scrivi_temporaneo(per_nome, produci);
  }
  void rendi_durevoli(const std::vector<file_temporaneo>& file) override { cartella_.rendi_durevoli(file); }
  void rinomina(const std::string& da, const std::string& a) override { cartella_.rinomina(da, a); }
  std::optional<std::string> metti_da_parte(const std::string& nome) override {
    return cartella_.metti_da_parte(nome);
  }
  void sincronizza(const std::string& per_nome) override { cartella_.sincronizza(per_nome); }
  std::vector<std::string> nomi_propri() override { return cartella_.nomi_propri(); }
  std::optional<std::string> nome_inutilizzabile(const std::string& nome) override {
    return cartella_.nome_inutilizzabile(nome);
  }
  void scrivi(const std::string& nome, std::string_view byte) override {
    in_attesa_.push_back(file_intero(nome, std::string(byte)));
  }
  // Held as they come: what produces their bytes runs only in `conferma`, so whatever it
  // reads (the plan of the line) must still be there then.
  void scrivi_insieme(std::vector<file_da_scrivere> file) override {
    for (auto& f : file) in_attesa_.push_back(std::move(f));
  }

  // Writes what is held; throws ErroreFile, and then none of the files has changed.
  void conferma() {
    cartella_.scrivi_insieme(std::move(in_attesa_));
    in_attesa_.clear();
  }

 protected:
  // A turn here is a turn of the folder written.
  void blocca(const std::string& per_nome) override { cartella_.prendi_turno(per_nome); }
  void sblocca() override { cartella_.lascia_turno(); }

 private:
  Cartella& cartella_;
  std::vector<file_da_scrivere> in_attesa_;
};

}  // namespace cmp
