#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/cartella.h"

namespace cmp {

// A folder on disk. File names arrive as Windows-1252 bytes and are stored as UTF-8.
// A write goes to a temporary file in the same folder, is flushed to disk and renamed
// over the old name, so a failure part-way never leaves a truncated file behind. New
// files get the permissions the umask allows.
class CartellaDisco : public Cartella {
 public:
  explicit CartellaDisco(std::string percorso) : base_(std::move(percorso)) {}
  std::optional<std::string> leggi(const std::string& nome) override;
  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  void scrivi(const std::string& nome, std::string_view byte) override;
  void scrivi_insieme(std::vector<file_da_scrivere> file) override;

  std::string percorso_di(const std::string& nome) const;

 private:
  std::string base_;
};

// Reads a whole file by its path; nullopt when it does not exist, ErroreFile otherwise.
std::optional<std::string> leggi_file(const std::string& percorso);
// Writes a whole file by its path, atomically as above; throws ErroreFile.
void scrivi_file_atomico(const std::string& percorso, std::string_view byte);

// Writes files as one, each by its path (`nome` of each is a path here): a name taken by
// a folder is refused before anything is written; then every file goes whole to its
// temporary, its bytes produced as they are written, and only when all are there are they
// renamed over their names. On a failure no temporary is left and no file has changed
// (but for a rename that fails after others, which nothing here provokes).
// Throws ErroreFile naming the file that failed.
void scrivi_file_insieme(const std::vector<file_da_scrivere>& file);

// An exclusive lock on a folder, from `prendi` until `rilascia` or destruction: runs that
// write the same folder take turns, the later one waiting. The lock is on the folder
// itself, so no lock file is left in it. A folder that cannot be opened is not locked:
// the run goes on and meets its own error when it writes.
class BloccoCartella {
 public:
  explicit BloccoCartella(const std::string& cartella);
  void prendi();
  void rilascia();
  ~BloccoCartella();
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

 private:
  int fd_ = -1;
};

// The folder that holds the running executable.
std::string cartella_programma();

}  // namespace cmp
