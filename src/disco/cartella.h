#pragma once
#include <cstddef>
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

// A file refused because it holds more than the most its reader takes.
class ErroreFileTroppoGrande : public ErroreFile {
 public:
  using ErroreFile::ErroreFile;
};

// The most bytes read from a description (or any file a folder reads): far above the
// largest valid description (a 1,000 km line is about 0.6 MB), low enough that a name
// leading to /dev/zero or a runaway pipe is refused within a second and a few MB.
inline constexpr std::size_t kMassimoLettura = std::size_t{64} << 20;

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

// A file written under a temporary name, and the name its bytes are meant for.
struct file_temporaneo {
  std::string nome;
  std::string per_nome;
};

// What stands at a name in a folder.
enum class TipoVoce { assente, file, cartella, collegamento, dispositivo, altro };

// The folder a run works in, by file name. Everything above it (readers, writers,
// the compile step) works on bytes in memory; only an implementation of this touches
// disks, so that tests can put a fake in its place and fail any operation they like.
//
// An implementation gives the plain operations; replacing files (`scrivi`,
// `scrivi_insieme`) is built on them here, once, so that every folder replaces the
// binary files of a scenario all or nothing.
class Cartella {
 public:
  virtual ~Cartella() = default;
  // The file's bytes, or nullopt when there is no such file.
  virtual std::optional<std::string> leggi(const std::string& nome) = 0;
  virtual TipoVoce tipo(const std::string& nome) = 0;
  // Whether the name leads to something (on disk, through a link).
  virtual bool esiste(const std::string& nome) { return tipo(nome) != TipoVoce::assente; }
  // Removes the file; nothing happens when it does not exist.
  virtual void elimina(const std::string& nome) = 0;
  // Removes these files, at once where the folder can; one that cannot be removed is
  // left where it is (this is cleaning up).
  virtual void elimina_tutti(const std::vector<std::string>& nomi);
  // The name as a message shows it (the path on disk).
  virtual std::string percorso_di(const std::string& nome) const = 0;
  // The folder itself as a message shows it.
  virtual std::string percorso_cartella() const { return "."; }

  // Makes the folder, with its parents, when nothing stands at its name (as `cmake -B`
  // makes its build folder); ErroreFile names the folder.
  virtual void crea() {}
  // Why this run cannot read (or, `da_scrivere`, write) files in the folder: "no such
  // directory", "not a directory" or the system's reason; nullopt when it can.
  virtual std::optional<std::string> inaccessibile(bool /*da_scrivere*/) { return std::nullopt; }
  // The names of the regular files in the folder (a link counts as what it leads to), in
  // any order; ErroreFile names the folder when it cannot be listed.
  virtual std::vector<std::string> elenca_file() = 0;
  // A file the user named, read whole: a regular file, a pipe or a device, through links,
  // up to `massimo` bytes (ErroreFileTroppoGrande past them); nullopt when there is none.
  virtual std::optional<std::string> leggi_ingresso(const std::string& nome, std::size_t massimo = kMassimoLettura);
  // An output file the user named, written as tools write theirs (a file replaced whole,
  // a device or a pipe written through); throws ErroreFile.
  virtual void scrivi_uscita(const std::string& nome, std::string_view byte) { scrivi(nome, byte); }

  // A new file under a fresh temporary name, holding the bytes `produci` gives; returns
  // the temporary name. On a failure nothing is left and ErroreFile names `per_nome`,
  // the file the bytes are meant for. The bytes reach the device in `rendi_durevoli`.
  virtual std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) = 0;
  // Flushes these temporary files to the device, all of them together: the device then
  // takes one flush for them all, not one after another. ErroreFile names the `per_nome`
  // of a file that failed; the files are left for the caller to delete.
  virtual void rendi_durevoli(const std::vector<file_temporaneo>& file) = 0;
  // Renames `da` over `a`, replacing it in one step; ErroreFile names `a`.
  virtual void rinomina(const std::string& da, const std::string& a) = 0;
  // A second name for the file `nome`, fresh, so that the file survives its name being
  // replaced; nullopt when there is no such file or the folder cannot give one.
  virtual std::optional<std::string> metti_da_parte(const std::string& nome) = 0;
  // Makes the renames in the folder durable; ErroreFile names `per_nome`.
  virtual void sincronizza(const std::string& per_nome) = 0;

  // The names in the folder that begin with ".compattatore.", this program's own (in
  // any order); as many as can be had: a folder that cannot be listed (mode 0333) gives
  // none. Only cleaning up uses them.
  virtual std::vector<std::string> nomi_propri() = 0;

  // Why a file cannot be put under this name (too long for the folder, taken by a
  // folder or by something that is not a regular file or a link), or nullopt.
  virtual std::optional<std::string> nome_inutilizzabile(const std::string& nome);

  // Runs that write the same folder take turns: between prendi_turno and the matching
  // lascia_turno no other run writes it (a later one waits). Calls nest within one
  // object: only the outermost takes and lets go the folder's lock. Every replacement
  // holds a turn, so that whatever a killed run left can be removed by the next one.
  // prendi_turno throws ErroreFile when no lock can be had, and nothing is then written
  // unlocked: naming `per_nome`, the first file the turn is for, when the folder takes
  // no file at all (missing, read-only, full), else naming the folder.
  void prendi_turno(const std::string& per_nome);
  void lascia_turno();

  // Replaces the file whole (or creates it) with these bytes; throws ErroreFile.
  virtual void scrivi(const std::string& nome, std::string_view byte);
  // Puts back the old files of a set of renames that a killed run left half done (its
  // journal, kGiornale, is still there), then removes the temporaries and second names
  // killed runs left (disco/giornale.h). `in_scrittura`: the files the write under way
  // replaces, the only names a journal may give. A journal this program did not write
  // for them is refused (ErroreFile naming the last of them, its reason naming the
  // journal) and nothing is changed. scrivi_insieme calls it first, holding its turn.
  void ripristina_interrotta(const std::vector<std::string>& in_scrittura);
  static constexpr const char* kGiornale = ".compattatore.in-corso";

  // Replaces these files as one, holding the folder's turn: when it throws, none of them
  // has changed. Each file's bytes go to a temporary first (produced only then); every
  // name is checked (nome_inutilizzabile) before anything is written, then a journal left
  // by a killed run is taken up (a file written alone leaves it, and all it names, to the
  // next set). The old files are kept aside under second names until every new one is
  // in place, and put back if a rename fails. A failure on the journal names the last
  // file of the set, never the journal.
  virtual void scrivi_insieme(std::vector<file_da_scrivere> file);

 protected:
  // The folder's lock, taken (waiting for it) and let go by the outermost turn.
  virtual void blocca(const std::string& per_nome) = 0;
  virtual void sblocca() = 0;

 private:
  int turni_ = 0;
};

// A turn held for a scope (Cartella::prendi_turno), let go at its end or by lascia.
class TurnoCartella {
 public:
  TurnoCartella(Cartella& c, const std::string& per_nome) : c_(&c) { c.prendi_turno(per_nome); }
  ~TurnoCartella() { lascia(); }
  void lascia() {
    if (c_) c_->lascia_turno();
    c_ = nullptr;
  }
  TurnoCartella(const TurnoCartella&) = delete;
  TurnoCartella& operator=(const TurnoCartella&) = delete;

 private:
  Cartella* c_;
};

// A folder held in memory, for tests and for compiling without a disk.
class CartellaMemoria : public Cartella {
 public:
  std::optional<std::string> leggi(const std::string& nome) override;
  TipoVoce tipo(const std::string& nome) override { return file.count(nome) != 0 ? TipoVoce::file : TipoVoce::assente; }
  void elimina(const std::string& nome) override { file.erase(nome); }
  std::string percorso_di(const std::string& nome) const override { return nome; }
  std::vector<std::string> elenca_file() override;
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override;
  void rendi_durevoli(const std::vector<file_temporaneo>&) override {}
  void rinomina(const std::string& da, const std::string& a) override;
  std::optional<std::string> metti_da_parte(const std::string& nome) override;
  void sincronizza(const std::string&) override {}
  std::vector<std::string> nomi_propri() override;
  // Straight into the map: nothing here can fail half-way.
  void scrivi(const std::string& nome, std::string_view byte) override { file[nome] = std::string(byte); }

  std::map<std::string, std::string> file;

 protected:
  // One process owns the memory: there is nobody to take turns with.
  void blocca(const std::string&) override {}
  void sblocca() override {}

 private:
  std::string nome_nuovo(const std::string& prefisso);
  int contatore_ = 0;
};

}  // namespace cmp
