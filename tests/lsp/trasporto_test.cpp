// The framing and the server loop over bytes in memory: the message-size cap, and a
// burst of changes compiled once.
#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "lsp/server_lsp.h"
#include "lsp/trasporto.h"

namespace cmp {
namespace {

using json = nlohmann::json;

// Bytes given from a string; `extra` zero bytes follow without being held in memory.
class SorgenteMemoria : public SorgenteByte {
 public:
  explicit SorgenteMemoria(std::string byte, std::size_t extra = 0, std::string dopo = "")
      : byte_(std::move(byte)), extra_(extra), dopo_(std::move(dopo)) {}
  std::size_t leggi(char* dati, std::size_t n) override {
    if (pos_ < byte_.size()) {
      const std::size_t qui = std::min(n, byte_.size() - pos_);
      std::copy_n(byte_.data() + pos_, qui, dati);
      pos_ += qui;
      return qui;
    }
    if (extra_ > 0) {
      const std::size_t qui = std::min(n, extra_);
      std::fill_n(dati, qui, ' ');
      extra_ -= qui;
      return qui;
    }
    if (!dopo_.empty()) {
      byte_ = std::move(dopo_);
      dopo_.clear();
      pos_ = 0;
      return leggi(dati, n);
    }
    return 0;
  }
  bool pronta() override { return pos_ < byte_.size() || extra_ > 0 || !dopo_.empty(); }

 private:
  std::string byte_;
  std::size_t pos_ = 0;
  std::size_t extra_;
  std::string dopo_;
};

class DestinazioneMemoria : public DestinazioneByte {
 public:
  void scrivi(const std::string& byte) override { byte_ += byte; }
  // The bodies written, parsed.
  std::vector<json> messaggi() const {
    std::vector<json> out;
    std::size_t p = 0;
    while ((p = byte_.find("Content-Length: ", p)) != std::string::npos) {
      const std::size_t fine = byte_.find("\r\n\r\n", p);
      const std::size_t n = std::stoul(byte_.substr(p + 16, fine - p - 16));
      out.push_back(json::parse(byte_.substr(fine + 4, n)));
      p = fine + 4 + n;
    }
    return out;
  }

 private:
  std::string byte_;
};

std::string inquadra(const std::string& corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

TEST(Trasporto, AMessageOverTheLimitIsRefusedWithoutBeingHeld) {
  const std::size_t troppo = kMassimoMessaggio + 1;
  SorgenteMemoria in("Content-Length: " + std::to_string(troppo) + "\r\n\r\n", troppo,
                     inquadra(R"({"jsonrpc":"2.0","id":1,"method":"x"})"));
  DestinazioneMemoria out;
  Trasporto t(in, out);
  const auto rifiutato = t.leggi();
  EXPECT_EQ(rifiutato.esito, messaggio_letto::tipo::troppo_grande);
  EXPECT_TRUE(rifiutato.corpo.empty());
  const auto dopo = t.leggi();
  ASSERT_EQ(dopo.esito, messaggio_letto::tipo::corpo);
  EXPECT_EQ(json::parse(dopo.corpo)["id"], 1);
  EXPECT_EQ(t.leggi().esito, messaggio_letto::tipo::fine);
}

TEST(Trasporto, TheHeadersClientsSendAreAcceptedAndTheInputMayEndInABody) {
  SorgenteMemoria in("\r\ncontent-length:  2 \r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}" +
                     std::string("Content-Length: 10\r\n\r\n{\"a\""));
  DestinazioneMemoria out;
  Trasporto t(in, out);
  const auto m = t.leggi();
  ASSERT_EQ(m.esito, messaggio_letto::tipo::corpo);
  EXPECT_EQ(m.corpo, "{}");
  EXPECT_EQ(t.leggi().esito, messaggio_letto::tipo::fine);
}

// Twenty changes waiting at once: one compile, of the last text, and one publication.
TEST(ServerInMemoria, ABurstOfChangesIsCompiledOnce) {
  const std::string u = "file:///nessuna/Prova_linea.txt";
  std::string byte = inquadra(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  const auto testo = [](int lunghezza) {
    return "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) +
           "\r\n[pendenze]\r\npendenza, 0, 0\r\n[fine]\r\n";
  };
  byte += inquadra(
      json{{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params", {{"textDocument", {{"uri", u}, {"languageId", "x"}, {"version", 1}, {"text", testo(1000)}}}}}}
          .dump());
  for (int v = 2; v <= 21; ++v) {
    // Every other text is wrong (a negative length); the last one is wrong.
    byte += inquadra(json{{"jsonrpc", "2.0"},
                          {"method", "textDocument/didChange"},
                          {"params",
                           {{"textDocument", {{"uri", u}, {"version", v}}},
                            {"contentChanges", json::array({{{"text", testo(v % 2 ? -v : 1000)}}})}}}}
                         .dump());
  }
  SorgenteMemoria in(byte);
  DestinazioneMemoria out;
  Trasporto t(in, out);
  ServerLsp server(t, [](const std::string&) -> std::optional<std::string> { return std::nullopt; });
  EXPECT_EQ(server.esegui(), 1);  // the input ended without exit
  std::vector<json> pubblicati;
  for (const auto& m : out.messaggi()) {
    if (m.value("method", "") == "textDocument/publishDiagnostics") pubblicati.push_back(m);
  }
  ASSERT_EQ(pubblicati.size(), 1u);
  const json& d = pubblicati[0]["params"]["diagnostics"];
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["code"], 30);
  EXPECT_NE(d[0]["message"].get<std::string>().find("-21 m"), std::string::npos) << d.dump();
}

}  // namespace
}  // namespace cmp
