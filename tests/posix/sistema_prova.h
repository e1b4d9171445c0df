#pragma once
// The POSIX half of supporto.h: mkdtemp, fork and exec. Tests also reach the POSIX calls
// they use (getpid, kill, ...) through it.
#include <sys/wait.h>
#include <unistd.h>

#include "supporto.h"

namespace cmp::prova {

// Tests of what only Linux has (bash, sh, /dev, /proc) run here.
inline constexpr bool kSuLinux = true;

inline std::filesystem::path crea_cartella_temporanea() {
  std::string modello = (std::filesystem::temp_directory_path() / "compattatore-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr) std::abort();
  return modello;
}

inline EsitoProcesso esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                            const std::string& cartella_lavoro, const std::function<void()>& nel_figlio) {
  std::filesystem::path tmp = std::filesystem::temp_directory_path();
  std::string f_out = (tmp / ("cmp-out-" + std::to_string(::getpid()))).string();
  std::string f_err = (tmp / ("cmp-err-" + std::to_string(::getpid()))).string();
  std::fflush(nullptr);  // or the child would write the parent's buffered output again
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(f_out.c_str(), "w", stdout) || !std::freopen(f_err.c_str(), "w", stderr)) ::_exit(126);
    if (::chdir(cartella_lavoro.c_str()) != 0) ::_exit(126);
    ::unsetenv("DISPLAY");
    if (nel_figlio) nel_figlio();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(programma.c_str()));
    for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(programma.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EsitoProcesso e;
  e.stato = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  e.uscita = leggi_tutto(f_out);
  e.errori = leggi_tutto(f_err);
  std::filesystem::remove(f_out);
  std::filesystem::remove(f_err);
  return e;
}

// Starts the program (argv[0], its path) with both outputs going to /dev/null and
// without waiting for it, for a test that kills it or runs two at once; `nel_figlio` runs
// in the child just before. Returns its process id.
inline pid_t avvia_muto(const std::vector<std::string>& argv, const std::function<void()>& nel_figlio = {}) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) ::_exit(126);
    ::unsetenv("DISPLAY");
    if (nel_figlio) nel_figlio();
    std::vector<char*> a;
    for (const auto& x : argv) a.push_back(const_cast<char*>(x.c_str()));
    a.push_back(nullptr);
    ::execv(a[0], a.data());
    ::_exit(127);
  }
  return pid;
}

}  // namespace cmp::prova
