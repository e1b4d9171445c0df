#include "disco/cartella_disco.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "model/cp1252.h"
#include "disco/giornale.h"

namespace cmp {
namespace {

std::string motivo(int numero) { return std::strerror(numero); }

std::string cartella_di(const std::string& percorso) {
  const auto barra = percorso.find_last_of('/');
  if (barra == std::string::npos) return ".";
  if (barra == 0) return "/";
  return percorso.substr(0, barra);
}

void scrivi_tutto(int fd, std::string_view byte, const std::string& percorso) {
  while (!byte.empty()) {
    const ssize_t n = ::write(fd, byte.data(), byte.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ErroreFile(percorso, motivo(errno));
    }
    byte.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

namespace {

std::string troppo_grande(std::size_t massimo) {
  return "larger than " + std::to_string(massimo) + " bytes, the most read from such a file";
}

}  // namespace

namespace {

using orologio = std::chrono::steady_clock;

// Reads from one open file. A regular file (or a block device) is read as it comes; a
// pipe or a character device, opened without blocking, is waited on with poll, and only
// for so long (kAttesaScrittoreMs, kAttesaFineMs).
class Lettore {
 public:
  Lettore(int fd, bool flusso, bool fifo, const std::string& percorso)
      : fd_(fd),
        flusso_(flusso),
        fifo_(fifo),
        percorso_(percorso),
        fine_(orologio::now() + std::chrono::milliseconds(kAttesaFineMs)),
        scrittore_(orologio::now() + std::chrono::milliseconds(kAttesaScrittoreMs)) {}

  // Some bytes into `dove`, or 0 at the end of the file.
  std::size_t leggi(char* dove, std::size_t quanti) {
    for (;;) {
      const ssize_t n = ::read(fd_, dove, quanti);
      if (n > 0) {
        scrittore_visto_ = true;
        return static_cast<std::size_t>(n);
      }
      if (n == 0) {
        // A FIFO gives 0 both at its end and while no program has it open for writing.
        if (!fifo_ || scrittore_visto_) return 0;
        if (attendi(scrittore_, "no program writes into it (waited " + std::to_string(kAttesaScrittoreMs) + " ms)")) {
          return 0;  // a writer came and went, leaving nothing
        }
        continue;
      }
      if (errno == EINTR) continue;
      if (flusso_ && errno == EAGAIN) {
        scrittore_visto_ = true;  // nothing yet, but something holds it open for writing
        attendi(fine_, "it came to no end within " + std::to_string(kAttesaFineMs / 1000) + " s");
        continue;
      }
      throw ErroreFile(percorso_, std::strerror(errno));
    }
  }

 private:
  // Waits for bytes until the deadline; true when the writer has gone (a hang-up with
  // nothing to read). Throws ErroreFile with `perche` at the deadline.
  bool attendi(orologio::time_point scadenza, const std::string& perche) {
    scadenza = std::min(scadenza, fine_);
    for (;;) {
      const auto resta = std::chrono::ceil<std::chrono::milliseconds>(scadenza - orologio::now()).count();
      if (resta <= 0) throw ErroreFile(percorso_, perche);
      pollfd p{fd_, POLLIN, 0};
      const int pronti = ::poll(&p, 1, static_cast<int>(resta));
      if (pronti < 0 && errno == EINTR) continue;
      if (pronti < 0) throw ErroreFile(percorso_, std::strerror(errno));
      if (pronti == 0) continue;  // the deadline is checked above
      if (p.revents & POLLIN) return false;
      if (p.revents & POLLHUP) {
        scrittore_visto_ = true;
        return true;
      }
      if (p.revents & (POLLERR | POLLNVAL)) throw ErroreFile(percorso_, std::strerror(EIO));
    }
  }

  int fd_;
  bool flusso_;
  bool fifo_;
  const std::string& percorso_;
  orologio::time_point fine_;
  orologio::time_point scrittore_;
  bool scrittore_visto_ = false;
};

// Fills the block up to its size or the end of the file; returns the bytes read.
std::size_t riempi_blocco(Lettore& lettore, std::string& blocco) {
  std::size_t pieno = 0;
  while (pieno < blocco.size()) {
    const std::size_t n = lettore.leggi(blocco.data() + pieno, blocco.size() - pieno);
    if (n == 0) break;
    pieno += n;
  }
  return pieno;
}

// Reads to the end of the file, or to one byte past `massimo`. Blocks are kept apart and
// joined at the end: the string never grows by copying itself, so a file refused at the
// cap has cost the cap and no more. The first block is sized to what is expected, since
// every byte of a block is written (and its page touched) before the read: a regular
// file gets its size plus one (the byte that tells it grew), anything else 64 KiB.
std::string leggi_blocchi(Lettore& lettore, std::size_t primo, std::size_t massimo, const std::string& percorso) {
  std::vector<std::string> blocchi;
  std::size_t letti = 0;
  for (std::size_t misura = primo; letti <= massimo; misura = std::size_t{1} << 20) {
    std::string& blocco = blocchi.emplace_back(std::min(misura, massimo + 1 - letti), '\0');
    const std::size_t pieno = riempi_blocco(lettore, blocco);
    blocco.resize(pieno);
    letti += pieno;
    if (pieno < misura) break;  // the end of the file
  }
  if (letti > massimo) throw ErroreFileTroppoGrande(percorso, troppo_grande(massimo));
  if (blocchi.size() == 1) return std::move(blocchi.front());
  std::string dati;
  dati.reserve(letti);
  for (const auto& b : blocchi) dati += b;
  return dati;
}

// What stands open: a regular file or a block device is read plainly, a pipe or a
// character device without blocking and within the deadlines; anything else is refused.
std::string leggi_aperto(int fd, const std::string& percorso, std::size_t massimo, letture ammesse) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw ErroreFile(percorso, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw ErroreFile(percorso, "is a directory");
  const bool regolare = S_ISREG(info.st_mode);
  if (!regolare && ammesse == letture::solo_file) throw ErroreFile(percorso, "not a regular file");
  // A regular file's size is known: refuse it without reading.
  if (regolare && static_cast<std::uintmax_t>(info.st_size) > massimo) {
    throw ErroreFileTroppoGrande(percorso, troppo_grande(massimo));
  }
  const bool flusso = S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode);
  if (!regolare && !flusso && !S_ISBLK(info.st_mode)) throw ErroreFile(percorso, "not a file, a pipe or a device");
  if (S_ISBLK(info.st_mode)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  Lettore lettore(fd, flusso, S_ISFIFO(info.st_mode), percorso);
  const std::size_t primo = regolare ? static_cast<std::size_t>(info.st_size) + 1 : std::size_t{64} << 10;
  return leggi_blocchi(lettore, primo, massimo, percorso);
}

// Opens without blocking (a FIFO with no writer, a terminal, a tape all open at once)
// and reads what was opened; `flag` adds O_NOFOLLOW for the program's own names.
std::optional<std::string> apri_e_leggi(const std::string& percorso, std::size_t massimo, letture ammesse, int flag) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flag);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    if (errno == ELOOP && (flag & O_NOFOLLOW)) throw ErroreFile(percorso, "is a link, not a regular file");
    if (errno == ENXIO) throw ErroreFile(percorso, "not a file, a pipe or a device");  // a socket
    throw ErroreFile(percorso, motivo(errno));
  }
  try {
    std::string dati = leggi_aperto(fd, percorso, massimo, ammesse);
    ::close(fd);
    return dati;
  } catch (...) {
    ::close(fd);
    throw;
  }
}

}  // namespace

std::optional<std::string> leggi_file(const std::string& percorso, std::size_t massimo, letture ammesse) {
  return apri_e_leggi(percorso, massimo, ammesse, 0);
}

namespace {

// The permissions a newly created file gets: read and write for all, less the umask.
mode_t modo_nuovo_file() {
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  return 0666 & ~maschera;
}

std::string nome_in(const std::string& percorso) {
  const auto barra = percorso.find_last_of('/');
  return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

}  // namespace

void scrivi_file_atomico(const std::string& percorso, std::string_view byte) {
  CartellaDisco(cartella_di(percorso), false).scrivi(nome_in(percorso), byte);
}

namespace {

// A socket is not opened but connected to; what it takes is written the same way.
int apri_presa(const std::string& percorso) {
  sockaddr_un indirizzo{};
  indirizzo.sun_family = AF_UNIX;
  if (percorso.size() >= sizeof indirizzo.sun_path) throw ErroreFile(percorso, motivo(ENAMETOOLONG));
  std::memcpy(indirizzo.sun_path, percorso.c_str(), percorso.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&indirizzo), sizeof indirizzo) != 0) {
    const int e = errno;
    ::close(fd);
    throw ErroreFile(percorso, motivo(e));
  }
  return fd;
}

void scrivi_attraverso(const std::string& percorso, bool presa, std::string_view byte) {
  const int fd = presa ? apri_presa(percorso) : ::open(percorso.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  try {
    scrivi_tutto(fd, byte, percorso);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw ErroreFile(percorso, motivo(errno));
}

}  // namespace

void scrivi_uscita(const std::string& percorso, std::string_view byte) {
  if (percorso == "-") {
    std::fflush(stdout);  // what was printed before comes first
    scrivi_tutto(STDOUT_FILENO, byte, "standard output");
    return;
  }
  struct stat info {};
  if (::stat(percorso.c_str(), &info) == 0) {  // follows a link: what it leads to decides
    if (S_ISDIR(info.st_mode)) throw ErroreFile(percorso, motivo(EISDIR));
    if (S_ISBLK(info.st_mode)) throw ErroreFile(percorso, "is a block device");
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
      scrivi_attraverso(percorso, S_ISSOCK(info.st_mode), byte);
      return;
    }
  }
  scrivi_file_atomico(percorso, byte);
}

std::string BloccoCartella::percorso_blocco() const {
  const bool con_barra = !cartella_.empty() && cartella_.back() == '/';
  return cartella_ + (con_barra ? "" : "/") + kNomeBlocco;
}

namespace {

bool stesso_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

void BloccoCartella::prendi(const std::string& per_file) {
  if (fd_ >= 0) return;
  const std::string percorso = percorso_blocco();
  const auto nessun_blocco = [&](const std::string& perche) {
    return ErroreFile(cartella_, "no lock can be had on it (" + percorso + ": " + perche + ")");
  };
  for (;;) {
    struct stat sul_nome {};
    const bool cera = ::lstat(percorso.c_str(), &sul_nome) == 0;
    if (cera && !S_ISREG(sul_nome.st_mode)) throw nessun_blocco("not a regular file");
    // Read-only is enough for flock, and a file of mode 0444 opens so for every user.
    const int fd = ::open(percorso.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0444);
    if (fd < 0) {
      const int e = errno;
      if (e == EINTR) continue;
      if (e == ELOOP) throw nessun_blocco("a link, not a regular file");
      // A folder that takes no new file fails every file as it fails this one.
      if (!cera && !per_file.empty()) throw ErroreFile(per_file, motivo(e));
      throw nessun_blocco(motivo(e));
    }
    struct stat aperto {};
    if (::fstat(fd, &aperto) != 0 || !S_ISREG(aperto.st_mode)) {
      ::close(fd);
      throw nessun_blocco("not a regular file");
    }
    if (aperto.st_uid == ::geteuid() && (aperto.st_mode & 0777) != 0444) ::fchmod(fd, 0444);  // whatever the umask
    int esito;
    while ((esito = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (esito != 0) {
      const int e = errno;
      ::close(fd);
      throw nessun_blocco(motivo(e));
    }
    // The run before removes the file before it lets go: a lock on a file no longer at
    // the name keeps out nobody.
    if (::lstat(percorso.c_str(), &sul_nome) == 0 && stesso_file(sul_nome, aperto)) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
}

void BloccoCartella::rilascia() {
  if (fd_ < 0) return;
  // Removed while still locked, and only when the name still leads to it: a later run
  // that opened it meanwhile sees it gone and takes a new one.
  const std::string percorso = percorso_blocco();
  struct stat sul_nome {
  }, aperto{};
  if (::fstat(fd_, &aperto) == 0 && ::lstat(percorso.c_str(), &sul_nome) == 0 && stesso_file(sul_nome, aperto)) {
    ::unlink(percorso.c_str());  // a folder that refuses it (sticky, another user's file) keeps it: no harm
  }
  ::close(fd_);  // closing lets go of the lock
  fd_ = -1;
}

std::string CartellaDisco::percorso_di(const std::string& nome) const {
  if (base_.empty()) return nome;  // a path as the user typed it
  // "out/" as the user typed it names its files "out/X", not "out//X".
  const bool con_barra = !base_.empty() && base_.back() == '/';
  return base_ + (con_barra ? "" : "/") + (nomi_cp1252_ ? da_cp1252(nome) : nome);
}

// The folder's names are the program's own: a regular file, never through a link.
std::optional<std::string> CartellaDisco::leggi(const std::string& nome) {
  return apri_e_leggi(percorso_di(nome), kMassimoLettura, letture::solo_file, O_NOFOLLOW);
}

TipoVoce CartellaDisco::tipo(const std::string& nome) {
  struct stat info {};
  if (::lstat(percorso_di(nome).c_str(), &info) != 0) return TipoVoce::assente;
  if (S_ISREG(info.st_mode)) return TipoVoce::file;
  if (S_ISDIR(info.st_mode)) return TipoVoce::cartella;
  if (S_ISLNK(info.st_mode)) return TipoVoce::collegamento;
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return TipoVoce::dispositivo;
  return TipoVoce::altro;
}

bool CartellaDisco::esiste(const std::string& nome) {
  struct stat info {};
  return ::stat(percorso_di(nome).c_str(), &info) == 0;
}

void CartellaDisco::elimina(const std::string& nome) {
  const std::string p = percorso_di(nome);
  if (::unlink(p.c_str()) != 0 && errno != ENOENT) throw ErroreFile(p, motivo(errno));
}

namespace {

// The permissions of the regular file a new one replaces (so that a file the user made
// private stays private), or those of a new file.
mode_t modo_per(const std::string& percorso) {
  struct stat info {};
  if (::lstat(percorso.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 0777;
  return modo_nuovo_file();
}

}  // namespace

// Its name is short, so that a file whose own name is near the limit still has one.
std::string CartellaDisco::scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) {
  const std::string percorso = percorso_di(per_nome);
  std::string modello = base_ + "/" + std::string(kPrefissoTemporaneo) + "XXXXXX";
  const int fd = ::mkstemp(modello.data());
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  try {
    produci([fd, &percorso](std::string_view pezzo) { scrivi_tutto(fd, pezzo, percorso); });
    if (::fchmod(fd, modo_per(percorso)) != 0) throw ErroreFile(percorso, motivo(errno));
  } catch (...) {
    ::close(fd);
    ::unlink(modello.c_str());
    throw;
  }
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(modello.c_str());
    throw ErroreFile(percorso, motivo(e));
  }
  return nome_in(modello);
}

namespace {

// Flushes the file at this path to the device: 0, or the error number. The temporary is
// the program's own: something else put at its name meanwhile is neither followed nor
// waited on.
int scarica(const std::string& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return EINVAL;
  }
  const int esito = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return esito;
}

// Runs fai(i) for each i below n, each from a thread of its own (the first on this one),
// so that their waits on the device overlap; where no thread can be had, this one does
// it. Every thread is joined before it returns.
template <typename Fai>
void in_parallelo(std::size_t n, const Fai& fai) {
  std::vector<std::jthread> fili;
  for (std::size_t i = 1; i < n; ++i) {
    try {
      fili.emplace_back([&fai, i] { fai(i); });
    } catch (const std::system_error&) {
      fai(i);
    }
  }
  if (n > 0) fai(0);
}

}  // namespace

// The flushes are under way at once: a journalling file system commits them together,
// and the device works on them together, where one after another each costs a round
// trip to the device of its own.
void CartellaDisco::rendi_durevoli(const std::vector<file_temporaneo>& file) {
  std::vector<std::string> percorsi;
  for (const auto& f : file) percorsi.push_back(percorso_di(f.nome));
  std::vector<int> errori(file.size(), 0);
  in_parallelo(file.size(), [&](std::size_t i) { errori[i] = scarica(percorsi[i]); });
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (errori[i] != 0) throw ErroreFile(percorso_di(file[i].per_nome), motivo(errori[i]));
  }
}

// Freeing a file's blocks can wait on the device (a folder mounted with discard trims
// them there and then): the files go at once.
void CartellaDisco::elimina_tutti(const std::vector<std::string>& nomi) {
  std::vector<std::string> percorsi;
  for (const auto& nome : nomi) percorsi.push_back(percorso_di(nome));
  in_parallelo(percorsi.size(), [&percorsi](std::size_t i) { ::unlink(percorsi[i].c_str()); });
}

void CartellaDisco::rinomina(const std::string& da, const std::string& a) {
  if (::rename(percorso_di(da).c_str(), percorso_di(a).c_str()) != 0) throw ErroreFile(percorso_di(a), motivo(errno));
}

// A hard link under a fresh name. A folder that takes no hard links (some file systems)
// gives none: the rename still replaces the file in one step, only a later failure can
// no longer bring it back.
std::optional<std::string> CartellaDisco::metti_da_parte(const std::string& nome) {
  const std::string percorso = percorso_di(nome);
  for (int volta = 0; volta < 8; ++volta) {
    std::string modello = base_ + "/" + std::string(kPrefissoDaParte) + "XXXXXX";
    const int fd = ::mkstemp(modello.data());
    if (fd < 0) return std::nullopt;
    ::close(fd);
    ::unlink(modello.c_str());
    if (::link(percorso.c_str(), modello.c_str()) == 0) return nome_in(modello);
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// A file system that cannot sync a folder is no failure; one that fails to (an I/O
// error) is.
void CartellaDisco::sincronizza(const std::string& per_nome) {
  const int dir = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  const int esito = ::fsync(dir);
  const int e = errno;
  ::close(dir);
  if (esito != 0 && e != EINVAL && e != ENOTSUP && e != EROFS) throw ErroreFile(percorso_di(per_nome), motivo(e));
}

// Only ASCII names can be the program's own: no conversion is needed.
std::vector<std::string> CartellaDisco::nomi_propri() {
  std::vector<std::string> nomi;
  DIR* cartella = ::opendir(base_.c_str());
  if (cartella == nullptr) return nomi;  // a folder of mode 0333, say: nothing is cleaned up
  while (const dirent* voce = ::readdir(cartella)) {
    const std::string_view nome(voce->d_name);
    if (nome.substr(0, kPrefissoPropri.size()) == kPrefissoPropri &&
        std::all_of(nome.begin(), nome.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      nomi.emplace_back(nome);
    }
  }
  ::closedir(cartella);
  return nomi;
}

// The name as stored (UTF-8) against the folder's own limit, then what the folder
// interface checks for every folder.
std::optional<std::string> CartellaDisco::nome_inutilizzabile(const std::string& nome) {
  const std::string su_disco = nomi_cp1252_ ? da_cp1252(nome) : nome;
  errno = 0;
  const long massimo = ::pathconf(base_.c_str(), _PC_NAME_MAX);
  if (massimo > 0 && su_disco.size() > static_cast<std::size_t>(massimo)) {
    return std::string(motivo(ENAMETOOLONG)) + " (" + std::to_string(su_disco.size()) + " bytes, the folder takes " +
           std::to_string(massimo) + ")";
  }
  return Cartella::nome_inutilizzabile(nome);
}

std::optional<std::string> cartella_inaccessibile(const std::string& cartella, bool da_scrivere) {
  if (::access(cartella.c_str(), da_scrivere ? W_OK | X_OK : R_OK | X_OK) == 0) return std::nullopt;
  return motivo(errno);
}

std::string cartella_programma() {
  std::error_code ec;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return eseguibile.parent_path().string();
}

}  // namespace cmp
