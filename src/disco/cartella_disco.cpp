#include "disco/cartella_disco.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
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

std::optional<std::string> leggi_file(const std::string& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw ErroreFile(percorso, motivo(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw ErroreFile(percorso, "is a directory");
  }
  std::string dati;
  std::vector<char> blocco(1 << 16);
  for (;;) {
    const ssize_t n = ::read(fd, blocco.data(), blocco.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      throw ErroreFile(percorso, motivo(e));
    }
    if (n == 0) break;
    dati.append(blocco.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  return dati;
}

namespace {

// A file written whole under a temporary name beside its own.
struct temporaneo {
  std::string percorso;
  std::string nome;
};

// The permissions a newly created file gets: read and write for all, less the umask.
mode_t modo_nuovo_file() {
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  return 0666 & ~maschera;
}

// The bytes go to a new temporary file, flushed to disk; on a failure it is removed.
// Its name is short, so that a file whose own name is near the limit still has one.
std::string scrivi_temporaneo(const std::string& percorso, const ProduciFile& produci) {
  std::string modello = cartella_di(percorso) + "/.compattatore.tmp-XXXXXX";
  const int fd = ::mkstemp(modello.data());
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  try {
    produci([fd, &percorso](std::string_view pezzo) { scrivi_tutto(fd, pezzo, percorso); });
    if (::fchmod(fd, modo_nuovo_file()) != 0 || ::fsync(fd) != 0) throw ErroreFile(percorso, motivo(errno));
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
  return modello;
}

void rimuovi_da(const std::vector<temporaneo>& scritti, std::size_t primo) {
  for (std::size_t i = primo; i < scritti.size(); ++i) ::unlink(scritti[i].nome.c_str());
}

// A folder under the name would refuse the rename only after the other files had been
// replaced: it is found before anything is written.
void rifiuta_cartella(const std::string& percorso) {
  struct stat info {};
  if (::lstat(percorso.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) throw ErroreFile(percorso, motivo(EISDIR));
}

// Makes the renames themselves durable. A file system that cannot sync a folder is no
// failure; one that fails to (an I/O error) is.
void sincronizza_cartella(const std::string& percorso) {
  const int dir = ::open(cartella_di(percorso).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  const int esito = ::fsync(dir);
  const int e = errno;
  ::close(dir);
  if (esito != 0 && e != EINVAL && e != ENOTSUP && e != EROFS) throw ErroreFile(percorso, motivo(e));
}

}  // namespace

void scrivi_file_insieme(const std::vector<file_da_scrivere>& file) {
  for (const auto& f : file) rifiuta_cartella(f.nome);
  std::vector<temporaneo> scritti;
  try {
    for (const auto& f : file) scritti.push_back({f.nome, scrivi_temporaneo(f.nome, f.produci)});
  } catch (...) {
    rimuovi_da(scritti, 0);
    throw;
  }
  for (std::size_t i = 0; i < scritti.size(); ++i) {
    if (::rename(scritti[i].nome.c_str(), scritti[i].percorso.c_str()) != 0) {
      const int e = errno;
      rimuovi_da(scritti, i);
      throw ErroreFile(scritti[i].percorso, motivo(e));
    }
  }
  // One fsync of a folder makes every rename in it durable: each folder is synced once.
  std::vector<std::string> sincronizzate;
  for (const auto& t : scritti) {
    std::string cartella = cartella_di(t.percorso);
    if (std::find(sincronizzate.begin(), sincronizzate.end(), cartella) != sincronizzate.end()) continue;
    sincronizza_cartella(t.percorso);
    sincronizzate.push_back(std::move(cartella));
  }
}

void scrivi_file_atomico(const std::string& percorso, std::string_view byte) {
  scrivi_file_insieme({{percorso, [byte](const ScriviPezzo& scrivi) { scrivi(byte); }}});
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
  return base_ + "/" + da_cp1252(nome);
}

std::optional<std::string> CartellaDisco::leggi(const std::string& nome) { return leggi_file(percorso_di(nome)); }

bool CartellaDisco::esiste(const std::string& nome) {
  struct stat info {};
  return ::stat(percorso_di(nome).c_str(), &info) == 0;
}

void CartellaDisco::elimina(const std::string& nome) {
  const std::string p = percorso_di(nome);
  if (::unlink(p.c_str()) != 0 && errno != ENOENT) throw ErroreFile(p, motivo(errno));
}

void CartellaDisco::scrivi(const std::string& nome, std::string_view byte) {
  scrivi_file_atomico(percorso_di(nome), byte);
}

void CartellaDisco::scrivi_insieme(std::vector<file_da_scrivere> file) {
  for (auto& f : file) f.nome = percorso_di(f.nome);
  scrivi_file_insieme(file);
}

std::string cartella_programma() {
  std::error_code ec;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return eseguibile.parent_path().string();
}

}  // namespace cmp
