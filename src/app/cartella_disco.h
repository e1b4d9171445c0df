#pragma once
#include <string>

#include "model/cartella.h"

namespace cmp {

// A folder on disk. File names arrive as Windows-1252 bytes and are stored as UTF-8.
// A write goes to a temporary file in the same folder, is flushed to disk and renamed
// over the old name, so a failure part-way never leaves a truncated file behind.
class CartellaDisco : public Cartella {
 public:
  explicit CartellaDisco(std::string percorso) : base_(std::move(percorso)) {}
  std::optional<std::string> leggi(const std::string& nome) override;
  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  void scrivi(const std::string& nome, std::string_view byte) override;

  std::string percorso_di(const std::string& nome) const;
  const std::string& base() const { return base_; }

 private:
  std::string base_;
};

// Reads a whole file by its path; nullopt when it does not exist, ErroreFile otherwise.
std::optional<std::string> leggi_file(const std::string& percorso);
// Writes a whole file by its path, atomically as above; throws ErroreFile.
void scrivi_file_atomico(const std::string& percorso, std::string_view byte);

// The folder that holds the running executable.
std::string cartella_programma();

}  // namespace cmp
