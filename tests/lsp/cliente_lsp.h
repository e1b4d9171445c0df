#pragma once
// A scripted client for the tests: starts `compattatore lsp` with pipes on its standard
// input and output, sends framed messages and reads the server's, with timeouts. Starting
// the process and its pipes is the system's half (processo_lsp.h: tests/posix/ or
// tests/windows/).
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "processo_lsp.h"

namespace cmp::prova {

using json = nlohmann::json;
using namespace std::chrono_literals;

class ClienteLsp {
 public:
  explicit ClienteLsp(const std::string& eseguibile = COMPATTATORE_EXE) : processo_(eseguibile) {}

  void grezzo(const std::string& byte) { processo_.scrivi(byte); }
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
      const auto resta =
          std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now());
      if (resta.count() <= 0) return std::nullopt;
      if (!processo_.leggi(buffer_, resta)) return std::nullopt;
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

  void chiudi_ingresso() { processo_.chiudi_ingresso(); }
  // The exit status, or -1 when the server is still running after `attesa`.
  int stato_uscita(std::chrono::milliseconds attesa = 5000ms) { return processo_.stato_uscita(attesa); }
  // What the server wrote on standard error (after it has ended).
  std::string errori() { return processo_.errori(); }

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

  ProcessoLsp processo_;
  std::string buffer_;
};

}  // namespace cmp::prova
