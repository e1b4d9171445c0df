#pragma once
// A folder in memory that records every operation asked of it and fails the n-th one on
// request, as a full disk, a write cut half-way, a rename or a sync refused would: the
// write-fault tests loop over n without a disk, a mount or root.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "disco/cartella.h"

namespace cmp::prova {

// `elenco` lists the program's own names (cleaning up), `elenco_file` the folder's files.
enum class Operazione {
  lettura,
  scrittura,
  rinomina,
  eliminazione,
  sincronizzazione,
  blocco,
  elenco,
  elenco_file,
  creazione
};

inline const char* nome_operazione(Operazione o) {
  switch (o) {
    case Operazione::lettura:
      return "read";
    case Operazione::scrittura:
      return "write";
    case Operazione::rinomina:
      return "rename";
    case Operazione::eliminazione:
      return "delete";
    case Operazione::sincronizzazione:
      return "sync";
    case Operazione::blocco:
      return "lock";
    case Operazione::elenco:
      return "list";
    case Operazione::elenco_file:
      return "list files";
    case Operazione::creazione:
      return "create";
  }
  return "?";
}

// The name the fake gives the folder itself, for its listing.
inline constexpr const char* kQuestaCartella = ".";

class CartellaGuasta : public CartellaMemoria {
 public:
  struct Voce {
    Operazione operazione;
    std::string nome;
  };

  // The operation of this number (counted from 0, over every kind) fails.
  std::optional<std::size_t> guasta;
  std::vector<Voce> registro;
  // Every content put in place under each name, in order.
  std::map<std::string, std::vector<std::string>> scritti;
  // A run killed before the operation of this number: it and everything after it
  // (cleaning up included) throw Uccisa and change nothing.
  std::optional<std::size_t> uccisa;
  struct Uccisa {};
  // The reason the failed operation gives.
  std::string motivo = "No space left on device";

  std::optional<std::string> leggi(const std::string& nome) override {
    conta(Operazione::lettura, nome);
    return CartellaMemoria::leggi(nome);
  }
  void elimina(const std::string& nome) override {
    conta(Operazione::eliminazione, nome);
    CartellaMemoria::elimina(nome);
  }
  // The bytes are written (half of them, when this write fails).
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override {
    const std::string nome = CartellaMemoria::scrivi_temporaneo(per_nome, produci);
    try {
      conta(Operazione::scrittura, per_nome);
    } catch (const ErroreFile&) {
      CartellaMemoria::elimina(nome);  // what a failed write leaves, the writer removes
      throw;
    }
    return nome;
  }
  // One flush a file, each of which can fail.
  void rendi_durevoli(const std::vector<file_temporaneo>& file) override {
    for (const auto& f : file) conta(Operazione::sincronizzazione, f.per_nome);
  }
  void rinomina(const std::string& da, const std::string& a) override {
    conta(Operazione::rinomina, a);
    CartellaMemoria::rinomina(da, a);
    if (da.rfind(".compattatore.tmp-", 0) == 0) scritti[a].push_back(file[a]);
  }
  std::optional<std::string> metti_da_parte(const std::string& nome) override {
    if (!file.count(nome)) return std::nullopt;
    conta(Operazione::rinomina, nome);
    return CartellaMemoria::metti_da_parte(nome);
  }
  void sincronizza(const std::string& per_nome) override { conta(Operazione::sincronizzazione, per_nome); }
  std::vector<std::string> nomi_propri() override {
    conta(Operazione::elenco, kQuestaCartella);
    return CartellaMemoria::nomi_propri();
  }
  std::vector<std::string> elenca_file() override {
    conta(Operazione::elenco_file, kQuestaCartella);
    return CartellaMemoria::elenca_file();
  }
  // Making the folder: it is always there, but the making can fail.
  void crea() override { conta(Operazione::creazione, kQuestaCartella); }
  // A plain write goes through the same steps as on disk.
  void scrivi(const std::string& nome, std::string_view byte) override { Cartella::scrivi(nome, byte); }

  // How many times the lock was taken and let go.
  int bloccata = 0;
  int sbloccata = 0;

  // Names of files left under a temporary or second name.
  std::vector<std::string> temporanei() const {
    std::vector<std::string> out;
    for (const auto& [nome, byte] : file) {
      if (nome.rfind(".compattatore.", 0) == 0) out.push_back(nome);
    }
    return out;
  }

 protected:
  void blocca(const std::string& per_nome) override {
    conta(Operazione::blocco, per_nome);
    ++bloccata;
  }
  void sblocca() override { ++sbloccata; }

 private:
  void conta(Operazione o, const std::string& nome) {
    const std::size_t numero = registro.size();
    registro.push_back({o, nome});
    if (uccisa && numero >= *uccisa) throw Uccisa{};
    if (guasta && *guasta == numero) throw ErroreFile(nome, motivo);
  }
};

}  // namespace cmp::prova
