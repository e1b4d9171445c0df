// compattatore watch as an author runs it: an editor's atomic save, an error, a mend, Ctrl-C;
// and as a hostile or unlucky machine treats it: slow and idle clients, other methods, its
// folders removed or renamed under it, a FIFO in place of a description.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
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
      const auto resta =
          std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - std::chrono::steady_clock::now());
      if (resta.count() <= 0) return std::nullopt;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(resta.count())) <= 0) continue;
      char pezzo[4096];
      const ssize_t n = read(fd_, pezzo, sizeof pezzo);
      if (n <= 0) return std::nullopt;
      resto_.append(pezzo, static_cast<std::size_t>(n));
    }
  }

  // Sends the signal and waits for the end: the exit status, or -1 when it did not exit by
  // itself within `limite`.
  int ferma(int segnale, std::chrono::milliseconds limite = 5s) {
    kill(pid_, segnale);
    int stato = 0;
    for (const auto scadenza = std::chrono::steady_clock::now() + limite;
         std::chrono::steady_clock::now() < scadenza;) {
      if (waitpid(pid_, &stato, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
      }
      std::this_thread::sleep_for(10ms);
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

TEST_P(WatchProcesso, RebuildsOnEachSaveThroughAnErrorAndAMendUntilStopped) {
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
  salva_come_un_editor(c, kLinea,
                       originale.substr(0, fine_riga) + "\r\npendenza,  40000,   3" + originale.substr(fine_riga));
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

using orologio = std::chrono::steady_clock;

std::chrono::milliseconds da(orologio::time_point inizio) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(orologio::now() - inizio);
}

// A client of the page's server on 127.0.0.1; no call of it waits beyond its limit.
class Cliente {
 public:
  explicit Cliente(int porta) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval limite{2, 0};  // connect and send give up after it
    setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limite, sizeof limite);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connesso_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Cliente() { close(fd_); }
  Cliente(const Cliente&) = delete;
  Cliente& operator=(const Cliente&) = delete;

  bool connesso() const { return connesso_; }
  int fd() const { return fd_; }
  bool invia(const std::string& byte) {
    return send(fd_, byte.data(), byte.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(byte.size());
  }
  // What the server sends until it closes; nullopt when it has not closed within `limite`.
  std::optional<std::string> fino_alla_chiusura(std::chrono::milliseconds limite) {
    std::string out;
    for (const auto scadenza = orologio::now() + limite;;) {
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - orologio::now());
      pollfd p{fd_, POLLIN, 0};
      if (resta.count() <= 0 || poll(&p, 1, static_cast<int>(resta.count())) <= 0) return std::nullopt;
      char pezzo[4096];
      const ssize_t n = recv(fd_, pezzo, sizeof pezzo, 0);
      if (n <= 0) return out;
      out.append(pezzo, static_cast<std::size_t>(n));
    }
  }

 private:
  int fd_ = -1;
  bool connesso_ = false;
};

// A client that sends a request without end, a byte every half second, until the server
// closes the connection or the object goes.
class ClienteLento {
 public:
  explicit ClienteLento(int porta) : c_(porta), filo_([this] { corri(); }) {}
  ~ClienteLento() {
    fermo_ = true;
    filo_.join();
  }
  bool chiuso_dal_server() const { return chiuso_; }

 private:
  void corri() {
    const std::string richiesta = "GET /versione HTTP/1.1\r\nX-Lenta: " + std::string(4096, 'a');
    for (std::size_t i = 0; !fermo_ && i < richiesta.size(); ++i) {
      pollfd p{c_.fd(), POLLIN, 0};
      char b;
      if (poll(&p, 1, 500) > 0 && recv(c_.fd(), &b, 1, 0) <= 0) {
        chiuso_ = true;
        return;
      }
      c_.invia(richiesta.substr(i, 1));
    }
  }

  Cliente c_;
  std::atomic<bool> fermo_{false};
  std::atomic<bool> chiuso_{false};
  std::thread filo_;
};

// The descriptions in a folder of their own (so that its parent is watched too) and watch
// started on them, writing into `uscita`.
class WatchAvviato : public ::testing::Test {
 protected:
  void avvia(const std::string& uscita) {
    std::filesystem::create_directory(descrizioni);
    const auto esportato = esegui(COMPATTATORE_EXE, {"export", "--out", descrizioni});
    ASSERT_EQ(esportato.stato, 0) << esportato.errori;
    originale = leggi_tutto(descrizioni + "/" + kLinea);
    w.emplace(std::vector<std::string>{"watch", "--line", descrizioni + "/" + kLinea, "--train",
                                       descrizioni + "/" + kTreno, "--out", uscita});
    const auto indirizzo = w->riga("watch: the page is at http://127.0.0.1:", 5s);
    ASSERT_TRUE(indirizzo) << w->letto;
    porta = std::stoi(indirizzo->substr(indirizzo->rfind(':') + 1));
    const auto prima = w->riga("watch: rebuild 1 ", 10s);
    ASSERT_TRUE(prima) << w->letto;
    ASSERT_TRUE(prima->ends_with(": clean")) << *prima;
  }
  // The answer to one request, which must come whole within `limite`.
  std::string chiedi(const std::string& richiesta, std::chrono::milliseconds limite = 2s) {
    Cliente c(porta);
    EXPECT_TRUE(c.connesso());
    EXPECT_TRUE(c.invia(richiesta));
    return c.fino_alla_chiusura(limite).value_or("(no answer within the limit)");
  }
  std::string con_errore() const {
    const auto ultima = originale.rfind("\r\npendenza");
    const auto fine_riga = originale.find("\r\n", ultima + 2);
    return originale.substr(0, fine_riga) + "\r\npendenza,  40000,   3" + originale.substr(fine_riga);
  }
  // An editor's save of the line description in `cartella`.
  void salva_in(const std::string& cartella, const std::string& testo) {
    scrivi_tutto(cartella + "/.linea.swp", testo);
    std::filesystem::rename(cartella + "/.linea.swp", cartella + "/" + kLinea);
  }
  // The next status line that ends with `fine`, within `limite`.
  std::optional<std::string> ricostruzione_che_finisce(const std::string& fine, std::chrono::milliseconds limite) {
    for (const auto scadenza = orologio::now() + limite;;) {
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - orologio::now());
      if (resta.count() <= 0) return std::nullopt;
      const auto r = w->riga("watch: rebuild ", resta);
      if (!r || r->ends_with(fine)) return r;
    }
  }

  CartellaTemporanea c;
  const std::string descrizioni = c / "descrizioni";
  std::string originale;
  std::optional<ProcessoWatch> w;
  int porta = 0;
};

TEST_F(WatchAvviato, ASlowClientHoldsNeitherARebuildNorTheSignal) {
  ASSERT_NO_FATAL_FAILURE(avvia(c / "uscita"));
  ClienteLento lento(porta);
  std::this_thread::sleep_for(1200ms);  // a few of its bytes are in
  const auto chiesta = orologio::now();
  EXPECT_TRUE(chiedi("GET /versione HTTP/1.1\r\n\r\n").ends_with("\r\n\r\n1"));
  EXPECT_LT(da(chiesta), 500ms);

  const auto salvata = orologio::now();
  salva_in(descrizioni, con_errore());
  const auto seconda = w->riga("watch: rebuild 2 ", 1s);
  ASSERT_TRUE(seconda) << w->letto;
  EXPECT_TRUE(seconda->ends_with(": error 15")) << *seconda;
  EXPECT_LT(da(salvata), 1s);

  ASSERT_FALSE(lento.chiuso_dal_server()) << "the slow client is still sending";
  const auto fermata = orologio::now();
  EXPECT_EQ(w->ferma(SIGINT, 1s), 0) << w->letto;
  EXPECT_LT(da(fermata), 1s);
}

TEST_F(WatchAvviato, IdleConnectionsAreCappedAndTimedOutAndOtherMethodsRefused) {
  ASSERT_NO_FATAL_FAILURE(avvia(c / "uscita"));
  std::vector<std::unique_ptr<Cliente>> fermi;
  for (int i = 0; i < 200; ++i) {
    fermi.push_back(std::make_unique<Cliente>(porta));
    ASSERT_TRUE(fermi.back()->connesso()) << i;
  }
  const auto ultimo_aperto = orologio::now();
  const auto chiesta = orologio::now();
  EXPECT_TRUE(chiedi("GET /versione HTTP/1.1\r\n\r\n").ends_with("\r\n\r\n1"));
  EXPECT_LT(da(chiesta), 500ms);

  const std::string rifiutata = chiedi("POST /versione HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello");
  EXPECT_TRUE(rifiutata.starts_with("HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\n")) << rifiutata;
  const std::string testa = chiedi("HEAD / HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(testa.starts_with("HTTP/1.1 200 OK\r\n") && testa.ends_with("\r\n\r\n")) << testa;

  // The oldest made room at once; the newest waits for its deadline, then is closed.
  EXPECT_EQ(fermi.front()->fino_alla_chiusura(500ms), "");
  EXPECT_EQ(fermi.back()->fino_alla_chiusura(8s), "");
  EXPECT_GT(da(ultimo_aperto), 4s);
  EXPECT_EQ(w->ferma(SIGTERM, 1s), 0) << w->letto;
}

TEST_F(WatchAvviato, TheOutFolderRemovedIsMadeAgainAtTheNextRebuild) {
  const std::string uscita = c / "uscita/a/b";
  ASSERT_NO_FATAL_FAILURE(avvia(uscita));
  std::filesystem::remove_all(c / "uscita");
  salva_in(descrizioni, originale);
  const auto seconda = w->riga("watch: rebuild 2 ", 2s);
  ASSERT_TRUE(seconda) << w->letto;
  EXPECT_TRUE(seconda->ends_with(": clean")) << *seconda;
  for (const char* nome : {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim", "VallorsaC_Pietrana_4721.dat",
                           "VallorsaC_Pietrana_4721.html"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(uscita + "/" + nome)) << nome;
  }
  EXPECT_EQ(w->ferma(SIGINT), 0) << w->letto;
}

// Lost by a rename or a removal, found again as a folder renamed into its place or made
// there and filled: each time one status line says so, and saves in the new folder count.
TEST_F(WatchAvviato, TheWatchedFolderIsFollowedWhenItGoesAndComesBack) {
  ASSERT_NO_FATAL_FAILURE(avvia(c / "uscita"));
  const std::string altrove = c / "altrove";
  for (const bool rinominata : {true, false}) {
    SCOPED_TRACE(rinominata ? "renamed away, another renamed in" : "removed, made again");
    if (rinominata) {
      std::filesystem::rename(descrizioni, altrove);
    } else {
      std::filesystem::remove_all(descrizioni);
    }
    ASSERT_TRUE(ricostruzione_che_finisce(": not rebuilt: a description cannot be read", 2s)) << w->letto;
    if (rinominata) {
      salva_in(altrove, con_errore());  // the folder that went is not watched any more
      EXPECT_FALSE(w->riga("watch: rebuild ", 500ms)) << w->letto;
      const std::string nuova = c / "nuova";
      std::filesystem::create_directory(nuova);
      std::filesystem::copy_file(altrove + "/" + kTreno, nuova + "/" + kTreno);
      scrivi_tutto(nuova + "/" + kLinea, originale);
      std::filesystem::rename(nuova, descrizioni);
    } else {
      std::filesystem::create_directory(descrizioni);
      std::filesystem::copy_file(altrove + "/" + kTreno, descrizioni + "/" + kTreno);
      salva_in(descrizioni, originale);
    }
    ASSERT_TRUE(ricostruzione_che_finisce(": clean", 3s)) << w->letto;
    salva_in(descrizioni, con_errore());
    ASSERT_TRUE(ricostruzione_che_finisce(": error 15", 2s)) << w->letto;
    salva_in(descrizioni, originale);
    ASSERT_TRUE(ricostruzione_che_finisce(": clean", 2s)) << w->letto;
  }
  EXPECT_EQ(w->ferma(SIGINT), 0) << w->letto;
}

// The read refuses a FIFO that gives nothing within its deadline; for watch that is one
// rebuild that failed, and it goes on serving and watching.
TEST_F(WatchAvviato, AFifoRenamedOverADescriptionIsAFailedRebuild) {
  ASSERT_NO_FATAL_FAILURE(avvia(c / "uscita"));
  ASSERT_EQ(mkfifo((c / "tubo").c_str(), 0600), 0);
  std::filesystem::rename(c / "tubo", descrizioni + "/" + kLinea);
  const auto seconda = w->riga("watch: rebuild 2 ", 3s);
  ASSERT_TRUE(seconda) << w->letto;
  EXPECT_TRUE(seconda->ends_with(": not rebuilt: a description cannot be read")) << *seconda;
  EXPECT_TRUE(chiedi("GET /versione HTTP/1.1\r\n\r\n").ends_with("\r\n\r\n1"));
  salva_in(descrizioni, originale);
  EXPECT_TRUE(ricostruzione_che_finisce(": clean", 2s)) << w->letto;
  EXPECT_EQ(w->ferma(SIGINT, 1s), 0) << w->letto;
}

}  // namespace
}  // namespace cmp::prova
