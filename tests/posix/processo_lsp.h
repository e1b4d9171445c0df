#pragma once
// The POSIX half of the scripted language client (lsp/cliente_lsp.h): `compattatore lsp`
// started with pipes on its standard streams (fork and exec), read with poll.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace cmp::prova {

class ProcessoLsp {
 public:
  explicit ProcessoLsp(const std::string& eseguibile) {
    int verso_server[2];
    int dal_server[2];
    int errori[2];
    if (pipe(verso_server) != 0 || pipe(dal_server) != 0 || pipe(errori) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(verso_server[0], STDIN_FILENO);
      dup2(dal_server[1], STDOUT_FILENO);
      dup2(errori[1], STDERR_FILENO);
      for (int fd : {verso_server[0], verso_server[1], dal_server[0], dal_server[1], errori[0], errori[1]}) close(fd);
      execl(eseguibile.c_str(), eseguibile.c_str(), "lsp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(verso_server[0]);
    close(dal_server[1]);
    close(errori[1]);
    in_ = verso_server[1];
    out_ = dal_server[0];
    err_ = errori[0];
    signal(SIGPIPE, SIG_IGN);
  }
  ~ProcessoLsp() {
    chiudi_ingresso();
    if (pid_ > 0 && !uscito_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
    close(err_);
  }
  ProcessoLsp(const ProcessoLsp&) = delete;
  ProcessoLsp& operator=(const ProcessoLsp&) = delete;

  void scrivi(const std::string& byte) {
    std::size_t scritti = 0;
    while (scritti < byte.size()) {
      const ssize_t n = write(in_, byte.data() + scritti, byte.size() - scritti);
      if (n <= 0) return;
      scritti += static_cast<std::size_t>(n);
    }
  }
  // What the server wrote next, appended to `buffer`, waiting at most `attesa`; false
  // when nothing came in time or its output ended.
  bool leggi(std::string& buffer, std::chrono::milliseconds attesa) {
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(attesa.count())) <= 0) return false;
    char blocco[65536];
    const ssize_t n = read(out_, blocco, sizeof blocco);
    if (n <= 0) return false;
    buffer.append(blocco, static_cast<std::size_t>(n));
    return true;
  }
  void chiudi_ingresso() {
    if (in_ >= 0) close(in_);
    in_ = -1;
  }
  // The exit status, or -1 when the server is still running after `attesa`.
  int stato_uscita(std::chrono::milliseconds attesa) {
    const auto limite = std::chrono::steady_clock::now() + attesa;
    while (std::chrono::steady_clock::now() < limite) {
      int stato = 0;
      if (waitpid(pid_, &stato, WNOHANG) == pid_) {
        uscito_ = true;
        return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
      }
      usleep(5000);
    }
    return -1;
  }
  // What the server wrote on standard error (after it has ended).
  std::string errori() {
    std::string out;
    char blocco[4096];
    fcntl(err_, F_SETFL, O_NONBLOCK);
    ssize_t n;
    while ((n = read(err_, blocco, sizeof blocco)) > 0) out.append(blocco, static_cast<std::size_t>(n));
    return out;
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool uscito_ = false;
};

}  // namespace cmp::prova
