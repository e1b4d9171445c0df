// misura_banco: the two measurements of the benchmark (see scripts/bench.sh).
//
//   misura_banco tempo VOLTE -- COMMAND [ARGS...]
//     runs the command once to warm up, then VOLTE times, and prints the median,
//     smallest and largest wall time (from just before the start to the end of the
//     process) and the largest peak resident memory of the runs, from getrusage.
//   misura_banco scrittura VOLTE BYTE FOLDER
//     the plain write of BYTE bytes into FOLDER, done as compattatore writes its files:
//     a temporary file, one write of the whole buffer, fsync, rename over the old file,
//     fsync of the folder. Once to warm up (so that later runs replace a file of that
//     size, as repeated compiles do), then VOLTE times; prints the same figures.
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

#include "app/cartella_disco.h"

extern char** environ;

namespace {

constexpr const char* kUso =
    "usage: misura_banco tempo VOLTE -- COMMAND [ARGS...]\n"
    "       misura_banco scrittura VOLTE BYTE FOLDER\n";

[[noreturn]] void fallisci(const std::string& motivo) {
  std::fprintf(stderr, "misura_banco: %s\n", motivo.c_str());
  std::exit(3);
}

using orologio = std::chrono::steady_clock;

double millisecondi(orologio::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void stampa(std::vector<double> tempi, long rss_kb) {
  std::sort(tempi.begin(), tempi.end());
  const std::size_t n = tempi.size();
  const double mediana = n % 2 == 1 ? tempi[n / 2] : (tempi[n / 2 - 1] + tempi[n / 2]) / 2;
  std::printf("mediana_ms=%.2f minimo_ms=%.2f massimo_ms=%.2f", mediana, tempi.front(), tempi.back());
  if (rss_kb >= 0) std::printf(" rss_kb=%ld", rss_kb);
  std::printf("\n");
}

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

int tempo(int volte, const std::vector<std::string>& comando) {
  std::vector<char*> argv;
  for (const auto& a : comando) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  long rss_kb = 0;
  esegui_una_volta(argv, rss_kb);
  std::vector<double> tempi;
  for (int i = 0; i < volte; ++i) tempi.push_back(esegui_una_volta(argv, rss_kb));
  stampa(tempi, rss_kb);
  return 0;
}

int scrittura(int volte, std::size_t byte, const std::string& cartella) {
  // Filled before the timing starts, so that its pages are in memory as the encoded
  // files are when compattatore writes them.
  std::string dati(byte, '\0');
  for (std::size_t i = 0; i < byte; ++i) dati[i] = static_cast<char>(i * 131 + (i >> 12));
  const std::string percorso = (std::filesystem::path(cartella) / "scrittura_pura.bin").string();
  const auto scrivi = [&] {
    const auto inizio = orologio::now();
    cmp::scrivi_file_atomico(percorso, dati);
    return millisecondi(orologio::now() - inizio);
  };
  try {
    scrivi();
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) tempi.push_back(scrivi());
    stampa(tempi, -1);
  } catch (const cmp::ErroreFile& e) {
    fallisci("cannot write " + e.percorso() + ": " + e.motivo());
  }
  std::filesystem::remove(percorso);
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
  if (a.size() >= 4 && a[0] == "tempo" && a[2] == "--") {
    return tempo(numero(a[1], "count"), std::vector<std::string>(a.begin() + 3, a.end()));
  }
  if (a.size() == 4 && a[0] == "scrittura") {
    return scrittura(numero(a[1], "count"), static_cast<std::size_t>(numero(a[2], "size")), a[3]);
  }
  std::fputs(kUso, stderr);
  return 3;
}
