#pragma once
// A scripted client for the tests: starts `compattatore lsp` with pipes on its standard
// input and output, sends framed messages and reads the server's, with timeouts.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace cmp::prova {

using json = nlohmann::json;
using namespace std::chrono_literals;

class ClienteLsp {
 public:
  explicit ClienteLsp(const std::string& eseguibile = COMPATTATORE_EXE) {
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
  ~ClienteLsp() {
    chiudi_ingresso();
    if (pid_ > 0 && !uscito_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
    close(err_);
  }
  ClienteLsp(const ClienteLsp&) = delete;
  ClienteLsp& operator=(const ClienteLsp&) = delete;

  void grezzo(const std::string& byte) {
    std::size_t scritti = 0;
    while (scritti < byte.size()) {
      const ssize_t n = write(in_, byte.data() + scritti, byte.size() - scritti);
      if (n <= 0) return;
      scritti += static_cast<std::size_t>(n);
    }
  }
  void corpo(const std::string& testo) {
    grezzo("Content-Length: " + std::to_string(testo.size()) + "\r\n\r\n" + testo);
  }
  void richiesta(int id, const std::string& metodo, json parametri = json::object()) {
    corpo(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", std::move(parametri)}}.dump());
  }
  void notifica(const std::string& metodo, json parametri = json::object()) {
    corpo(json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}}.dump());
  }
  json inizializza() {
    richiesta(1, "initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", json::object()}});
    json r = risposta(1);
    notifica("initialized");
    return r;
  }

  // The next message from the server, or nullopt after `attesa` or at the end of its output.
  std::optional<json> prossimo(std::chrono::milliseconds attesa = 5000ms) {
    const auto limite = std::chrono::steady_clock::now() + attesa;
    for (;;) {
      if (auto m = estrai()) return m;
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now());
      if (resta.count() <= 0) return std::nullopt;
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(resta.count())) <= 0) return std::nullopt;
      char blocco[65536];
      const ssize_t n = read(out_, blocco, sizeof blocco);
      if (n <= 0) return std::nullopt;
      buffer_.append(blocco, static_cast<std::size_t>(n));
    }
  }
  // The response to `id`; notifications met on the way are kept in `notifiche`.
  json risposta(const json& id, std::chrono::milliseconds attesa = 5000ms) {
    for (;;) {
      auto m = prossimo(attesa);
      if (!m) throw std::runtime_error("no response to " + id.dump());
      if (m->contains("id") && (*m)["id"] == id && !m->contains("method")) return *m;
      notifiche.push_back(*m);
    }
  }
  // The next diagnostics published for `uri` (kept ones first).
  std::optional<json> diagnostiche(const std::string& uri, std::chrono::milliseconds attesa = 5000ms) {
    for (auto it = notifiche.begin(); it != notifiche.end(); ++it) {
      if ((*it)["method"] == "textDocument/publishDiagnostics" && (*it)["params"]["uri"] == uri) {
        json d = (*it)["params"]["diagnostics"];
        notifiche.erase(it);
        return d;
      }
    }
    for (;;) {
      auto m = prossimo(attesa);
      if (!m) return std::nullopt;
      if ((*m)["method"] == "textDocument/publishDiagnostics" && (*m)["params"]["uri"] == uri) {
        return (*m)["params"]["diagnostics"];
      }
      notifiche.push_back(*m);
    }
  }

  void chiudi_ingresso() {
    if (in_ >= 0) close(in_);
    in_ = -1;
  }
  // The exit status, or -1 when the server is still running after `attesa`.
  int stato_uscita(std::chrono::milliseconds attesa = 5000ms) {
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

  std::vector<json> notifiche;

 private:
  std::optional<json> estrai() {
    const auto fine = buffer_.find("\r\n\r\n");
    if (fine == std::string::npos) return std::nullopt;
    const auto lunghezza = std::stoul(buffer_.substr(buffer_.find(':') + 1, fine));
    if (buffer_.size() < fine + 4 + lunghezza) return std::nullopt;
    json m = json::parse(buffer_.substr(fine + 4, lunghezza));
    buffer_.erase(0, fine + 4 + lunghezza);
    return m;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool uscito_ = false;
  std::string buffer_;
};

}  // namespace cmp::prova
