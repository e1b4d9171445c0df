#include "app/cartella_disco.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void scrivi_file_atomico(const std::string& percorso, std::string_view byte) {
  std::string modello = percorso + ".tmp-XXXXXX";
  const int fd = ::mkstemp(modello.data());
  if (fd < 0) throw ErroreFile(percorso, motivo(errno));
  try {
    scrivi_tutto(fd, byte, percorso);
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) throw ErroreFile(percorso, motivo(errno));
    if (::close(fd) != 0) {
      const int e = errno;
      ::unlink(modello.c_str());
      throw ErroreFile(percorso, motivo(e));
    }
  } catch (...) {
    ::close(fd);
    ::unlink(modello.c_str());
    throw;
  }
  if (::rename(modello.c_str(), percorso.c_str()) != 0) {
    const int e = errno;
    ::unlink(modello.c_str());
    throw ErroreFile(percorso, motivo(e));
  }
  const int dir = ::open(cartella_di(percorso).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // makes the rename itself durable; a folder that refuses is no failure
    ::close(dir);
  }
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

std::string cartella_programma() {
  std::error_code ec;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return eseguibile.parent_path().string();
}

}  // namespace cmp
