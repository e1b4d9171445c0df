// misura_banco: one measurement of the benchmark (scripts/bench.sh repeats them, taking
// turns, so that both see the same state of the disk, and takes the medians).
//
//   misura_banco comando -- COMMAND [ARGS...]
//     runs the command once, its output thrown away, and prints its wall time (from just
//     before the start to the end of the process) and its peak resident memory, from
//     getrusage. This process stays small, so the peak is the command's own.
//   misura_banco scrittura BYTE FOLDER
//     the plain write of BYTE bytes into FOLDER, done as compattatore writes its files: a
//     temporary file, one write of the whole buffer, fsync, rename over the old file of
//     that name, fsync of the folder. Only the write is timed; the buffer is filled before.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "disco/cartella_disco.h"

extern char** environ;

namespace {

constexpr const char* kUso =
    "usage: misura_banco comando -- COMMAND [ARGS...]\n"
    "       misura_banco scrittura BYTE FOLDER\n";

[[noreturn]] void fallisci(const std::string& motivo) {
  std::fprintf(stderr, "misura_banco: %s\n", motivo.c_str());
  std::exit(3);
}

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

int scrittura(std::size_t byte, const std::string& cartella) {
  // Filled before the timing, so that its pages are in memory as the encoded files are
  // when compattatore writes them.
  std::string dati(byte, '\0');
  for (std::size_t i = 0; i < byte; ++i) dati[i] = static_cast<char>(i * 131 + (i >> 12));
  const std::string percorso = (std::filesystem::path(cartella) / "scrittura_pura.bin").string();
  const auto inizio = orologio::now();
  try {
    cmp::scrivi_file_atomico(percorso, dati);
  } catch (const cmp::ErroreFile& e) {
    fallisci("cannot write " + e.percorso() + ": " + e.motivo());
  }
  std::printf("ms=%.3f\n", millisecondi(orologio::now() - inizio));
  return 0;
}

int numero(const std::string& testo, const char* cosa) {
  try {
    std::size_t fine = 0;
    const long v = std::stol(testo, &fine);
    if (fine == testo.size() && v > 0 && v <= 1000000000L) return static_cast<int>(v);
  } catch (const std::exception&) {
  }
  fallisci(std::string("not a valid ") + cosa + ": " + testo);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() >= 3 && a[0] == "comando" && a[1] == "--") {
    return comando(std::vector<std::string>(a.begin() + 2, a.end()));
  }
  if (a.size() == 3 && a[0] == "scrittura")
    return scrittura(static_cast<std::size_t>(numero(a[1], "size")), a[2]);
  std::fputs(kUso, stderr);
  return 3;
}
