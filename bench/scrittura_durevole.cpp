#include "bench/scrittura_durevole.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace banco {
namespace {

[[noreturn]] void fallisci_file(const std::string& percorso) {
  throw std::runtime_error(percorso + ": " + std::strerror(errno));
}

}  // namespace

void scrivi_tutto(int fd, const std::string& dati, const std::string& percorso) {
  std::size_t fatto = 0;
  while (fatto < dati.size()) {
    const ssize_t n = ::write(fd, dati.data() + fatto, dati.size() - fatto);
    if (n < 0) {
      if (errno == EINTR) continue;
      fallisci_file(percorso);
    }
    fatto += static_cast<std::size_t>(n);
  }
}

std::size_t numero(const std::string& testo, const char* cosa) {
  try {
    std::size_t fine = 0;
    const long v = std::stol(testo, &fine);
    if (fine == testo.size() && v > 0 && v <= 1000000000L) return static_cast<std::size_t>(v);
  } catch (const std::exception&) {
  }
  throw std::runtime_error(std::string("not a valid ") + cosa + ": " + testo);
}

voce_file leggi_voce(const std::string& voce) {
  const auto uguale = voce.rfind('=');
  if (uguale == std::string::npos || uguale == 0 || voce.find('/') < uguale) {
    throw std::runtime_error("not NAME=BYTES: " + voce);
  }
  return {voce.substr(0, uguale), numero(voce.substr(uguale + 1), ("size in " + voce).c_str())};
}

void scrivi_durevole(const std::string& cartella, const std::vector<file_pieno>& file) {
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  std::vector<std::string> temporanei;
  for (const auto& f : file) {
    std::string modello = cartella + "/.compattatore.tmp-XXXXXX";
    const int fd = ::mkstemp(modello.data());
    if (fd < 0) fallisci_file(f.percorso);
    scrivi_tutto(fd, f.dati, f.percorso);
    if (::fchmod(fd, 0666 & ~maschera) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0) fallisci_file(f.percorso);
    temporanei.push_back(modello);
  }
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (::rename(temporanei[i].c_str(), file[i].percorso.c_str()) != 0) fallisci_file(file[i].percorso);
  }
  const int dir = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0 || ::fsync(dir) != 0) fallisci_file(cartella);
  ::close(dir);
}

}  // namespace banco
