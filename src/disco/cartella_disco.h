#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "disco/cartella.h"

namespace cmp {

// An exclusive lock on a folder, from `prendi` until `rilascia` or destruction: runs that
// write the same folder take turns, the later one waiting. The lock is on a file of its
// own in the folder, kNomeBlocco (disco/giornale.h), so that it works whatever the
// folder's mode (a folder of mode 0333 cannot be opened to lock the folder itself): the
// name must be a regular file (or nothing, and then it is made); once locked, the name
// must still lead to the file locked (the run before may have removed it meanwhile, and
// then the lock is taken again on a new one); `rilascia` removes the file while it still
// holds the lock, so that a clean run leaves none behind. Where no lock can be had,
// `prendi` throws ErroreFile and nothing is written unlocked: when the file cannot be made
// (a folder that is missing, read-only or full takes no file at all), naming `per_file`,
// the file the lock is for, with the plain reason; otherwise (something else at the name,
// a folder that takes no lock) naming the folder.
class BloccoCartella {
 public:
  // `cartella`: the folder's path as messages name it.
  explicit BloccoCartella(std::string cartella) : cartella_(std::move(cartella)) {}
  void prendi(const std::string& per_file);
  void rilascia();
  ~BloccoCartella() { rilascia(); }
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

 private:
  std::string percorso_blocco() const;
  std::string cartella_;
  int fd_ = -1;
};

// A folder on disk. File names arrive as Windows-1252 bytes and are stored as UTF-8
// (or are taken as they are, for names already in UTF-8). A write goes to a temporary
// file in the same folder, is flushed to disk (the files of one replacement together)
// and renamed over the old name, so a failure part-way never leaves a truncated file
// behind; the old file is kept aside under a second name (a hard link) until the write
// is done. A file that replaces a regular file takes its permissions; a new file gets
// those the umask allows. The names `leggi` reads are its own (the built-in run's texts,
// the journal): only a regular file is read, never through a link, and nothing it opens
// can block; the files the user names are read by `leggi_ingresso` (leggi_file) and
// written by `scrivi_uscita` (scrivi_uscita below).
class CartellaDisco : public Cartella {
 public:
  // An empty `percorso` is the working folder with names that are paths as the user typed
  // them (relative or absolute), for the files named on the command line: the same path
  // is then read, written and shown in messages.
  explicit CartellaDisco(std::string percorso, bool nomi_cp1252 = true)
      : base_(std::move(percorso)), nomi_cp1252_(nomi_cp1252), blocco_(base_) {}
  std::optional<std::string> leggi(const std::string& nome) override;
  TipoVoce tipo(const std::string& nome) override;
  bool esiste(const std::string& nome) override;
  void elimina(const std::string& nome) override;
  std::string percorso_di(const std::string& nome) const override;
  std::string percorso_cartella() const override { return base_; }
  void crea() override;
  std::optional<std::string> inaccessibile(bool da_scrivere) override;
  std::vector<std::string> elenca_file() override;
  std::optional<std::string> leggi_ingresso(const std::string& nome, std::size_t massimo = kMassimoLettura) override;
  void scrivi_uscita(const std::string& nome, std::string_view byte) override;
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override;
  void rendi_durevoli(const std::vector<file_temporaneo>& file) override;
  void elimina_tutti(const std::vector<std::string>& nomi) override;
  void rinomina(const std::string& da, const std::string& a) override;
  std::optional<std::string> metti_da_parte(const std::string& nome) override;
  void sincronizza(const std::string& per_nome) override;
  std::vector<std::string> nomi_propri() override;
  std::optional<std::string> nome_inutilizzabile(const std::string& nome) override;

 protected:
  void blocca(const std::string& per_nome) override { blocco_.prendi(percorso_di(per_nome)); }
  void sblocca() override { blocco_.rilascia(); }

 private:
  std::string base_;
  bool nomi_cp1252_;
  BloccoCartella blocco_;
};

// How long a read waits on a pipe or a device. A FIFO that no program writes into gives
// nothing, and could be waited on for ever: it is refused once kAttesaScrittoreMs have
// passed without a writer. Anything else that is not a regular file must come to its end
// within kAttesaFineMs of the open.
inline constexpr int kAttesaScrittoreMs = 500;
inline constexpr int kAttesaFineMs = 10000;

// What leggi_file takes: a regular file only, or also a pipe or a device.
enum class letture { anche_flussi, solo_file };

// Reads a whole file by its path, in blocks, up to `massimo` bytes: regular files, pipes
// and devices alike (with `solo_file`, anything but a regular file is refused unread).
// The open never blocks (O_NONBLOCK, O_NOCTTY); what was opened is checked before it is
// read, and a pipe or a device is read within the times above. nullopt when it does not
// exist; ErroreFileTroppoGrande when it holds more (read stops at massimo + 1),
// ErroreFile for any other fault, its reason one line.
std::optional<std::string> leggi_file(const std::string& percorso, std::size_t massimo = kMassimoLettura,
                                      letture ammesse = letture::anche_flussi);
// Writes a whole file by its path, atomically as above; throws ErroreFile.
void scrivi_file_atomico(const std::string& percorso, std::string_view byte);
// Writes one output file as tools do: `-` is standard output; a name that is, or links
// to, a character device, a FIFO or a socket is written through (nothing replaced); a
// directory or block device is refused; anything else, a link included, is replaced
// atomically (the link itself, never what it points to). Throws ErroreFile.
void scrivi_uscita(const std::string& percorso, std::string_view byte);

// Why this user cannot read (or write into) this folder and reach its files, or nullopt.
std::optional<std::string> cartella_inaccessibile(const std::string& cartella, bool da_scrivere);

// The folder that holds the running executable.
std::string cartella_programma();

}  // namespace cmp
