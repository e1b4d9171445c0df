#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/cartella.h"

namespace cmp {

// A folder on disk. File names arrive as Windows-1252 bytes and are stored as UTF-8
// (or are taken as they are, for names already in UTF-8). A write goes to a temporary
// file in the same folder, is flushed to disk (the files of one replacement together)
// and renamed over the old name, so a failure part-way never leaves a truncated file
// behind; the old file is kept aside under a second name (a hard link) until the write
// is done. New files get the permissions the umask allows.
class CartellaDisco : public Cartella {
 public:
  explicit CartellaDisco(std::string percorso, bool nomi_cp1252 = true)
      : base_(std::move(percorso)), nomi_cp1252_(nomi_cp1252) {}
  std::optional<std::string> leggi(const std::string& nome) override;
  TipoVoce tipo(const std::string& nome) override;
  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  std::string percorso_di(const std::string& nome) const override;
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override;
  void rendi_durevoli(const std::vector<file_temporaneo>& file) override;
  void elimina_tutti(const std::vector<std::string>& nomi) override;
  void rinomina(const std::string& da, const std::string& a) override;
  std::optional<std::string> metti_da_parte(const std::string& nome) override;
  void sincronizza(const std::string& per_nome) override;
  std::optional<std::string> nome_inutilizzabile(const std::string& nome) override;

 private:
  std::string base_;
  bool nomi_cp1252_;
};

// The most bytes read from a description (or any file a folder reads): far above the
// largest valid description (a 1,000 km line is about 0.6 MB), low enough that a name
// leading to /dev/zero or a runaway pipe is refused within a second and a few MB.
inline constexpr std::size_t kMassimoLettura = std::size_t{64} << 20;

// A file refused because it holds more than the cap given to `leggi_file`.
class ErroreFileTroppoGrande : public ErroreFile {
 public:
  using ErroreFile::ErroreFile;
};

// Reads a whole file by its path, in blocks, up to `massimo` bytes: regular files, pipes
// and devices alike. nullopt when it does not exist; ErroreFileTroppoGrande when it holds
// more (read stops at massimo + 1), ErroreFile for any other fault.
std::optional<std::string> leggi_file(const std::string& percorso, std::size_t massimo = kMassimoLettura);
// Writes a whole file by its path, atomically as above; throws ErroreFile.
void scrivi_file_atomico(const std::string& percorso, std::string_view byte);
// Writes one output file as tools do: `-` is standard output; a name that is, or links
// to, a character device, a FIFO or a socket is written through (nothing replaced); a
// directory or block device is refused; anything else, a link included, is replaced
// atomically (the link itself, never what it points to). Throws ErroreFile.
void scrivi_uscita(const std::string& percorso, std::string_view byte);

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

// Why this user cannot read (or write into) this folder and reach its files, or nullopt.
std::optional<std::string> cartella_inaccessibile(const std::string& cartella, bool da_scrivere);

// The folder that holds the running executable.
std::string cartella_programma();

}  // namespace cmp
