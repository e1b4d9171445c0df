#pragma once
// A run of another program measured on its own: wall time, CPU time (user and system)
// and peak memory, from wait4 on that child alone, so that neither the test's load nor
// its other children count. Every run has a time limit: SIGALRM at `limite_secondi`
// ends a run that hangs (status 128 + SIGALRM).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "supporto.h"

namespace cmp::prova {

struct EsitoMisurato {
  int stato = -1;  // exit status, or 128 + signal
  std::string uscita;
  std::string errori;
  double secondi = 0;      // wall time
  double secondi_cpu = 0;  // user + system
  long picco_kb = 0;       // largest resident set
};

inline EsitoMisurato esegui_misurato(const std::string& programma, const std::vector<std::string>& argomenti,
                                     unsigned limite_secondi, const std::string& cartella_lavoro = ".",
                                     const std::function<void()>& nel_figlio = {}) {
  const std::filesystem::path tmp = std::filesystem::temp_directory_path();
  const std::string f_out = (tmp / ("cmp-mis-out-" + std::to_string(::getpid()))).string();
  const std::string f_err = (tmp / ("cmp-mis-err-" + std::to_string(::getpid()))).string();
  std::fflush(nullptr);
  const auto inizio = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(f_out.c_str(), "w", stdout) || !std::freopen(f_err.c_str(), "w", stderr)) ::_exit(126);
    if (::chdir(cartella_lavoro.c_str()) != 0) ::_exit(126);
    ::unsetenv("DISPLAY");
    if (nel_figlio) nel_figlio();
    ::alarm(limite_secondi);  // kept across exec: the limit of the run
    diventa_programma(programma, argomenti);
  }
  // The alarm ends a run that hangs; the wait's own limit, later, only one that blocks it.
  const FineFiglio fine = attendi_entro(pid, std::chrono::seconds(limite_secondi) + std::chrono::seconds(10));
  const struct rusage& uso = fine.uso;
  EsitoMisurato e;
  e.secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  e.secondi_cpu = static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
                  static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
  e.picco_kb = uso.ru_maxrss;
  e.stato = fine.stato;
  e.uscita = leggi_tutto(f_out);
  e.errori = leggi_tutto(f_err);
  std::filesystem::remove(f_out);
  std::filesystem::remove(f_err);
  return e;
}

}  // namespace cmp::prova
