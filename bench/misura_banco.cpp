// misura_banco: one measurement of the benchmark (scripts/bench.sh repeats them, taking
// turns, so that all see the same state of the disk, and takes the medians).
//
//   misura_banco comando -- COMMAND [ARGS...]
//     runs the command once, its output thrown away, and prints its wall time (from just
//     before the start to the end of the process) and its peak resident memory, from
//     getrusage. This process stays small, so the peak is the command's own.
//   misura_banco scrittura FOLDER NAME=BYTES [NAME=BYTES...]
//     the durable write of those files into FOLDER by the protocol compattatore follows
//     for the files of one compile: each file written whole to a temporary file beside
//     it (one write), made read-write less the umask and flushed with fsync; then each
//     renamed over its name; then one fsync of the folder. Only the write is timed; the
//     buffers are filled before. scrivi_durevole does the same write as a whole process.
//   misura_banco salva_e_attendi DESCRIPTION FILE [SECONDS]
//     saves DESCRIPTION again as an editor does (its bytes to a temporary file beside it,
//     renamed over it), then waits until FILE changes (appears, or its modification time,
//     size or inode differ from before the save) and prints the time from the save to the
//     change. Exit status 1 when FILE does not change within SECONDS (default 10).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/scrittura_durevole.h"

extern char** environ;

namespace {

constexpr const char* kUso =
    "usage: misura_banco comando -- COMMAND [ARGS...]\n"
    "       misura_banco scrittura FOLDER NAME=BYTES [NAME=BYTES...]\n"
    "       misura_banco salva_e_attendi DESCRIPTION FILE [SECONDS]\n";

[[noreturn]] void fallisci(const std::string& motivo) {
  std::fprintf(stderr, "misura_banco: %s\n", motivo.c_str());
  std::exit(3);
}

[[noreturn]] void fallisci_file(const std::string& percorso) { fallisci(percorso + ": " + std::strerror(errno)); }

using orologio = std::chrono::steady_clock;

double millisecondi(orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One run of the command, its output thrown away: wall time, and its peak memory in KB.
double esegui_una_volta(const std::vector<char*>& argv, long& rss_kb) {
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto inizio = orologio::now();
  pid_t pid = 0;
  const int e = posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&azioni);
  if (e != 0) fallisci(std::string("cannot start ") + argv[0]);
  int stato = 0;
  rusage uso{};
  if (::wait4(pid, &stato, 0, &uso) < 0) fallisci("wait4 failed");
  const double ms = millisecondi(orologio::now() - inizio);
  if (WIFSIGNALED(stato)) {
    fallisci(std::string(argv[0]) + " ended by signal " + std::to_string(WTERMSIG(stato)));
  }
  if (WEXITSTATUS(stato) != 0) {
    fallisci(std::string(argv[0]) + " ended with exit status " + std::to_string(WEXITSTATUS(stato)));
  }
  rss_kb = std::max(rss_kb, static_cast<long>(uso.ru_maxrss));
  return ms;
}

int comando(const std::vector<std::string>& comando) {
  std::vector<char*> argv;
  for (const auto& a : comando) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  long rss_kb = 0;
  const double ms = esegui_una_volta(argv, rss_kb);
  std::printf("ms=%.3f rss_kb=%ld\n", ms, rss_kb);
  return 0;
}

// Filled before the timing, so that its pages are in memory as the encoded files are
// when compattatore writes them.
std::string dati_di(std::size_t byte) {
  std::string dati(byte, '\0');
  for (std::size_t i = 0; i < byte; ++i) dati[i] = static_cast<char>(i * 131 + (i >> 12));
  return dati;
}

int scrittura(const std::string& cartella, const std::vector<std::string>& voci) {
  std::vector<banco::file_pieno> file;
  for (const auto& v : voci) {
    const banco::voce_file voce = banco::leggi_voce(v);
    file.push_back({cartella + "/" + voce.nome, dati_di(voce.byte)});
  }
  const auto inizio = orologio::now();
  banco::scrivi_durevole(cartella, file);
  std::printf("ms=%.3f\n", millisecondi(orologio::now() - inizio));
  return 0;
}

// What tells that a file was rewritten: a rename gives it a new inode, a write in place a
// new modification time (or size).
struct impronta_file {
  bool esiste = false;
  ino_t inode = 0;
  off_t byte = 0;
  timespec modifica{};

  bool operator==(const impronta_file& o) const {
    return esiste == o.esiste && inode == o.inode && byte == o.byte && modifica.tv_sec == o.modifica.tv_sec &&
           modifica.tv_nsec == o.modifica.tv_nsec;
  }
};

impronta_file impronta(const std::string& percorso) {
  struct stat info {};
  if (::stat(percorso.c_str(), &info) != 0) return {};
  return {true, info.st_ino, info.st_size, info.st_mtim};
}

std::string leggi_tutto(const std::string& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fallisci_file(percorso);
  std::string dati;
  char blocco[65536];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fallisci_file(percorso);
    if (n == 0) break;
    dati.append(blocco, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return dati;
}

// The save of an editor that replaces the file atomically: a temporary beside it, renamed
// over it. No fsync: editors differ there, and a watcher sees the rename either way.
void salva_come_editor(const std::string& percorso, const std::string& dati) {
  const std::string temporaneo = percorso + ".salva~";
  const int fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fallisci_file(temporaneo);
  banco::scrivi_tutto(fd, dati, temporaneo);
  if (::close(fd) != 0) fallisci_file(temporaneo);
  if (::rename(temporaneo.c_str(), percorso.c_str()) != 0) fallisci_file(percorso);
}

int salva_e_attendi(const std::string& descrizione, const std::string& file, std::size_t secondi) {
  const std::string dati = leggi_tutto(descrizione);
  const impronta_file prima = impronta(file);
  const auto inizio = orologio::now();
  const auto limite = inizio + std::chrono::seconds(secondi);
  salva_come_editor(descrizione, dati);
  while (impronta(file) == prima) {
    if (orologio::now() > limite) {
      std::fprintf(stderr, "misura_banco: %s did not change within %zu s of saving %s\n", file.c_str(), secondi,
                   descrizione.c_str());
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  std::printf("ms=%.3f\n", millisecondi(orologio::now() - inizio));
  return 0;
}

int avvia(const std::vector<std::string>& a) {
  if (a.size() >= 3 && a[0] == "comando" && a[1] == "--") {
    return comando(std::vector<std::string>(a.begin() + 2, a.end()));
  }
  if (a.size() >= 3 && a[0] == "scrittura") return scrittura(a[1], std::vector<std::string>(a.begin() + 2, a.end()));
  if ((a.size() == 3 || a.size() == 4) && a[0] == "salva_e_attendi") {
    return salva_e_attendi(a[1], a[2], a.size() == 4 ? banco::numero(a[3], "number of seconds") : 10);
  }
  std::fputs(kUso, stderr);
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return avvia(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    fallisci(e.what());
  }
}
