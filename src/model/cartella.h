#pragma once
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
  // Replaces these files as one: when it throws, none of them has changed. This default
  // writes them one after the other; a folder on disk overrides it. The files come by
  // value, so that a caller can hand its buffers over (20 MB for the plan of a long line)
  // instead of having them copied.
  virtual void scrivi_insieme(std::vector<std::pair<std::string, std::string>> file);
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
