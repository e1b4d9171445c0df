#pragma once
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cmp {

// A file that could not be read, written or deleted: names the file and the reason.
class ErroreFile : public std::runtime_error {
 public:
  ErroreFile(std::string percorso, std::string motivo)
      : std::runtime_error(percorso + ": " + motivo), percorso_(std::move(percorso)), motivo_(std::move(motivo)) {}
  const std::string& percorso() const { return percorso_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string percorso_;
  std::string motivo_;
};

// The bytes of a file, given piece by piece and in order to the function passed in, so
// that a large file (the plan of a long line is 20 MB) need never be held whole.
using ScriviPezzo = std::function<void(std::string_view)>;
using ProduciFile = std::function<void(const ScriviPezzo&)>;

// One file for Cartella::scrivi_insieme: its name, and what gives its bytes when it is written.
struct file_da_scrivere {
  std::string nome;
  ProduciFile produci;
};

// A file whose bytes are already in memory; they are moved in, not copied.
file_da_scrivere file_intero(std::string nome, std::string byte);

// The folder a run works in, by file name. Everything above it (readers, writers,
// the compile step) works on bytes in memory; only an implementation of this touches disks.
class Cartella {
 public:
  virtual ~Cartella() = default;
  // The file's bytes, or nullopt when there is no such file.
  virtual std::optional<std::string> leggi(const std::string& nome) = 0;
  virtual bool esiste(const std::string& nome) = 0;
  // Removes the file; nothing happens when it does not exist.
  virtual void elimina(const std::string& nome) = 0;
  // Replaces the file whole (or creates it) with these bytes; throws ErroreFile.
  virtual void scrivi(const std::string& nome, std::string_view byte) = 0;
  // Replaces these files as one: when it throws, none of them has changed. Their bytes
  // are produced only as each file is written. This default gathers each file's bytes
  // and writes the files one after the other; a folder on disk overrides it.
  virtual void scrivi_insieme(std::vector<file_da_scrivere> file);
};

// A folder held in memory, for tests and for compiling without a disk.
class CartellaMemoria : public Cartella {
 public:
  std::optional<std::string> leggi(const std::string& nome) override;
  bool esiste(const std::string& nome) override { return file.count(nome) != 0; }
  void elimina(const std::string& nome) override { file.erase(nome); }
  void scrivi(const std::string& nome, std::string_view byte) override { file[nome] = std::string(byte); }

  std::map<std::string, std::string> file;
};

}  // namespace cmp
