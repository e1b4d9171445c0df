#include "disco/cartella_disco.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "model/cp1252.h"

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

// Fills the block from fd up to its size or the end of the file; returns the bytes read.
std::size_t riempi_blocco(int fd, std::string& blocco, const std::string& percorso) {
  std::size_t pieno = 0;
  while (pieno < blocco.size()) {
    const ssize_t n = ::read(fd, blocco.data() + pieno, blocco.size() - pieno);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ErroreFile(percorso, motivo(errno));
    }
    if (n == 0) break;
    pieno += static_cast<std::size_t>(n);
  }
  return pieno;
}

// Reads to the end of the file, or to one byte past `massimo`. Blocks are kept apart and
// joined at the end: the string never grows by copying itself, so a file refused at the
// cap has cost the cap and no more. The first block is sized to what is expected, since
// every byte of a block is written (and its page touched) before the read: a regular
// file gets its size plus one (the byte that tells it grew), anything else 64 KiB.
std::string leggi_blocchi(int fd, std::size_t primo, std::size_t massimo, const std::string& percorso) {
  std::vector<std::string> blocchi;
  std::size_t letti = 0;
  for (std::size_t misura = primo; letti <= massimo; misura = std::size_t{1} << 20) {
    std::string& blocco = blocchi.emplace_back(std::min(misura, massimo + 1 - letti), '\0');
    const std::size_t pieno = riempi_blocco(fd, blocco, percorso);
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

}  // namespace

std::optional<std::string> leggi_file(const std::string& percorso, std::size_t massimo) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw ErroreFile(percorso, motivo(errno));
  }
  std::size_t primo = std::size_t{64} << 10;
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      ::close(fd);
      throw ErroreFile(percorso, "is a directory");
    }
    // A regular file's size is known: refuse it without reading.
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > massimo) {
      ::close(fd);
      throw ErroreFileTroppoGrande(percorso, troppo_grande(massimo));
    }
    if (S_ISREG(info.st_mode)) primo = static_cast<std::size_t>(info.st_size) + 1;
  }
  try {
    std::string dati = leggi_blocchi(fd, primo, massimo, percorso);
    ::close(fd);
    return dati;
  } catch (...) {
    ::close(fd);
    throw;
  }
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

BloccoCartella::BloccoCartella(const std::string& cartella)
    : fd_(::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

void BloccoCartella::prendi() {
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);  // a folder that takes no lock (some network file systems) is used without
    fd_ = -1;
    return;
  }
}

void BloccoCartella::rilascia() {
  if (fd_ >= 0) ::flock(fd_, LOCK_UN);
}

BloccoCartella::~BloccoCartella() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::string CartellaDisco::percorso_di(const std::string& nome) const {
  // "out/" as the user typed it names its files "out/X", not "out//X".
  const bool con_barra = !base_.empty() && base_.back() == '/';
  return base_ + (con_barra ? "" : "/") + (nomi_cp1252_ ? da_cp1252(nome) : nome);
}

std::optional<std::string> CartellaDisco::leggi(const std::string& nome) { return leggi_file(percorso_di(nome)); }

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

// Its name is short, so that a file whose own name is near the limit still has one.
std::string CartellaDisco::scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) {
  const std::string percorso = percorso_di(per_nome);
  std::string modello = base_ + "/.compattatore.tmp-XXXXXX";
  const int fd = ::mkstemp(modello.data());
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  try {
    produci([fd, &percorso](std::string_view pezzo) { scrivi_tutto(fd, pezzo, percorso); });
    if (::fchmod(fd, modo_nuovo_file()) != 0) throw ErroreFile(percorso, motivo(errno));
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

// Flushes the file at this path to the device: 0, or the error number.
int scarica(const std::string& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
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
    std::string modello = base_ + "/.compattatore.old-XXXXXX";
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
