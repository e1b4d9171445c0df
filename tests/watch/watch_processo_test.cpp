// compattatore watch as an author runs it: an editor's atomic save, an error, a mend, Ctrl-C.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

#include "supporto.h"

namespace cmp::prova {
namespace {

using namespace std::chrono_literals;

constexpr const char* kLinea = "VallorsaC_Pietrana_linea.txt";
constexpr const char* kTreno = "VallorsaC_Pietrana_4721-.txt";

// The program started with its standard error on a pipe, read a line at a time.
class ProcessoWatch {
 public:
  explicit ProcessoWatch(const std::vector<std::string>& argomenti) {
    int tubo[2];
    if (pipe(tubo) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(tubo[1], STDERR_FILENO);
      close(tubo[0]);
      close(tubo[1]);
      std::vector<char*> argv{const_cast<char*>(COMPATTATORE_EXE)};
      for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(COMPATTATORE_EXE, argv.data());
      _exit(127);
    }
    close(tubo[1]);
    fd_ = tubo[0];
  }
  ~ProcessoWatch() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (fd_ >= 0) close(fd_);
  }

  // The next line that starts with `inizio`, within `limite`; the lines passed over are kept.
  std::optional<std::string> riga(const std::string& inizio, std::chrono::milliseconds limite) {
    const auto scadenza = std::chrono::steady_clock::now() + limite;
    for (;;) {
      for (auto fine = resto_.find('\n'); fine != std::string::npos; fine = resto_.find('\n')) {
        std::string r = resto_.substr(0, fine);
        resto_.erase(0, fine + 1);
        letto += r + "\n";
        if (r.rfind(inizio, 0) == 0) return r;
      }
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - std::chrono::steady_clock::now());
      if (resta.count() <= 0) return std::nullopt;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(resta.count())) <= 0) continue;
      char pezzo[4096];
      const ssize_t n = read(fd_, pezzo, sizeof pezzo);
      if (n <= 0) return std::nullopt;
      resto_.append(pezzo, static_cast<std::size_t>(n));
    }
  }

  // Sends the signal and waits for the end: the exit status, or -1 when it did not exit by itself.
  int ferma(int segnale) {
    kill(pid_, segnale);
    int stato = 0;
    for (int i = 0; i < 50; ++i) {
      if (waitpid(pid_, &stato, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
      }
      std::this_thread::sleep_for(100ms);
    }
    return -1;
  }

  std::string letto;

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string resto_;
};

// As editors save: the new text into a temporary beside the file, renamed over it.
void salva_come_un_editor(const CartellaTemporanea& c, const std::string& nome, const std::string& testo) {
  scrivi_tutto(c / ("." + nome + ".swp"), testo);
  std::filesystem::rename(c / ("." + nome + ".swp"), c / nome);
}

class WatchProcesso : public ::testing::TestWithParam<int> {};

TEST_P(WatchProcesso, SalvataggioErroreRiparazioneEFine) {
  CartellaTemporanea c;
  const auto esportato = esegui(COMPATTATORE_EXE, {"export", "--out", c.percorso().string()});
  ASSERT_EQ(esportato.stato, 0) << esportato.errori;
  const std::string originale = leggi_tutto(c / kLinea);
  ProcessoWatch w({"watch", "--line", c / kLinea, "--train", c / kTreno, "--out", c.percorso().string()});
  ASSERT_TRUE(w.riga("watch: the page is at http://127.0.0.1:", 5s)) << w.letto;
  const auto prima = w.riga("watch: rebuild 1 ", 10s);
  ASSERT_TRUE(prima) << w.letto;
  EXPECT_TRUE(prima->ends_with(": clean")) << *prima;
  EXPECT_TRUE(std::filesystem::exists(c / "VallorsaC_Pietrana_4721.html"));

  // A gradient row beyond the end of the track, added after the last one.
  const auto ultima = originale.rfind("\r\npendenza");
  const auto fine_riga = originale.find("\r\n", ultima + 2);
  salva_come_un_editor(c, kLinea, originale.substr(0, fine_riga) + "\r\npendenza,  40000,   3" + originale.substr(fine_riga));
  const auto errore = w.riga("watch: rebuild 2 ", 2s);
  ASSERT_TRUE(errore) << w.letto;
  EXPECT_TRUE(errore->ends_with(": error 15")) << *errore;
  EXPECT_NE(w.letto.find(kLinea + std::string(":")), std::string::npos) << w.letto;
  EXPECT_NE(w.letto.find(": error 15: "), std::string::npos) << w.letto;
  EXPECT_NE(w.letto.find(": error 15: the gradient row at 40000 m "), std::string::npos) << w.letto;
  EXPECT_NE(w.letto.find("\n  pendenza,  40000,   3\n  ^\n"), std::string::npos) << "the source line and a caret";

  // It goes on: mended, clean again.
  salva_come_un_editor(c, kLinea, originale);
  const auto riparata = w.riga("watch: rebuild 3 ", 2s);
  ASSERT_TRUE(riparata) << w.letto;
  EXPECT_TRUE(riparata->ends_with(": clean")) << *riparata;

  EXPECT_EQ(w.ferma(GetParam()), 0) << w.letto;
}

INSTANTIATE_TEST_SUITE_P(SigintESigterm, WatchProcesso, ::testing::Values(SIGINT, SIGTERM));

}  // namespace
}  // namespace cmp::prova
