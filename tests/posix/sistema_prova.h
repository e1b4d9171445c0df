#pragma once
// The POSIX half of supporto.h: mkdtemp, fork and exec. Tests also reach the POSIX calls
// they use (getpid, kill, ...) through it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "supporto.h"

namespace cmp::prova {

// Tests of what only Linux has (bash, sh, /dev, /proc) run here.
inline constexpr bool kSuLinux = true;

inline std::filesystem::path crea_cartella_temporanea() {
  std::string modello = (std::filesystem::temp_directory_path() / "compattatore-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr) std::abort();
  return modello;
}

// Waits for a child to end; one that outlives `limite` is killed with its process group
// (SIGKILL). Its status as EsitoProcesso::stato gives it, whether it was killed so, and
// what it used (wait4: that child alone).
struct FineFiglio {
  int stato = -1;
  bool scaduto = false;
  struct rusage uso {};
};
inline FineFiglio attendi_entro(pid_t pid, std::chrono::milliseconds limite = kLimiteFiglio) {
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  // A descriptor that becomes readable when the child ends; a short sleep where there is none.
  const int avviso = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  FineFiglio fine;
  int status = 0;
  for (;;) {
    const pid_t r = ::wait4(pid, &status, WNOHANG, &fine.uso);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) break;
    const long long resta =
        std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - std::chrono::steady_clock::now()).count();
    if (resta <= 0) {
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &fine.uso);
      fine.scaduto = true;
      break;
    }
    if (avviso >= 0) {
      pollfd p{avviso, POLLIN, 0};
      ::poll(&p, 1, static_cast<int>(std::min<long long>(resta, 1000)));
    } else {
      ::usleep(static_cast<useconds_t>(std::min<long long>(resta, 5) * 1000));
    }
  }
  if (avviso >= 0) ::close(avviso);
  fine.stato = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return fine;
}

// In a child just forked: the program in its place, given these arguments after its path;
// status 127 when it cannot be started.
[[noreturn]] inline void diventa_programma(const std::string& programma, const std::vector<std::string>& argomenti) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(programma.c_str()));
  for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(programma.c_str(), argv.data());
  ::_exit(127);
}

inline EsitoProcesso esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                            const std::string& cartella_lavoro, const std::function<void()>& nel_figlio,
                            std::chrono::milliseconds limite) {
  std::filesystem::path tmp = std::filesystem::temp_directory_path();
  std::string f_out = (tmp / ("cmp-out-" + std::to_string(::getpid()))).string();
  std::string f_err = (tmp / ("cmp-err-" + std::to_string(::getpid()))).string();
  std::fflush(nullptr);  // or the child would write the parent's buffered output again
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(f_out.c_str(), "w", stdout) || !std::freopen(f_err.c_str(), "w", stderr)) ::_exit(126);
    ::setpgid(0, 0);
    if (!std::freopen("/dev/null", "r", stdin)) ::_exit(126);
    if (::chdir(cartella_lavoro.c_str()) != 0) ::_exit(126);
    ::unsetenv("DISPLAY");
    if (nel_figlio) nel_figlio();
    diventa_programma(programma, argomenti);
  }
  ::setpgid(pid, pid);  // as the child does: whichever runs first
  const FineFiglio fine = attendi_entro(pid, limite);
  EsitoProcesso e;
  e.stato = fine.stato;
  e.scaduto = fine.scaduto;
  e.uscita = leggi_tutto(f_out);
  e.errori = leggi_tutto(f_err);
  if (e.scaduto) {
    e.errori += "\n[killed by the test after " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limite).count()) + " s]\n";
  }
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
