#include "sorveglianza/sorveglianza_linux.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace cmp {
namespace {

std::runtime_error guasto(const std::string& cosa) { return std::runtime_error(cosa + ": " + std::strerror(errno)); }

sigset_t segnali_di_fine() {
  sigset_t insieme;
  sigemptyset(&insieme);
  sigaddset(&insieme, SIGINT);
  sigaddset(&insieme, SIGTERM);
  return insieme;
}

constexpr std::uint32_t kMaschera =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;

// A pause before the next accept when the system had no descriptor or memory for one: the
// clients wait in the queue instead of waking the poll at once, again and again.
constexpr std::chrono::milliseconds kPausaAccetta{100};
// While a watched folder is gone, it is also looked for once a second: its parent may not
// be watchable, or may have gone too.
constexpr std::chrono::seconds kRicercaCartella{1};

using orologio = std::chrono::steady_clock;

}  // namespace

SorveglianzaLinux::SorveglianzaLinux(const std::vector<nome_sorvegliato>& nomi) {
  inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_ < 0) throw guasto("cannot watch the folders");
  for (const nome_sorvegliato& n : nomi) {
    const std::string& cartella = n.first;
    auto c = std::find_if(cartelle_.begin(), cartelle_.end(), [&](const auto& k) { return k.percorso == cartella; });
    if (c == cartelle_.end()) {
      cartella_seguita nuova;
      nuova.percorso = cartella;
      const std::filesystem::path p(cartella);
      if (p.has_parent_path() && p.parent_path() != p) {
        nuova.genitore = p.parent_path().string();
        nuova.nome = p.filename().string();
      }
      nuova.w = inotify_add_watch(inotify_, cartella.c_str(), kMaschera);
      if (nuova.w < 0) throw guasto("cannot watch " + cartella);
      cartelle_.push_back(std::move(nuova));
      c = std::prev(cartelle_.end());
    }
    c->file.push_back(n.second);
  }
  riallinea();  // the parents: a parent that cannot be watched only means no following
  // The signals end the wait as an event instead of killing the process mid-write.
  const sigset_t fine = segnali_di_fine();
  sigprocmask(SIG_BLOCK, &fine, nullptr);
  segnali_ = signalfd(-1, &fine, SFD_NONBLOCK | SFD_CLOEXEC);
  if (segnali_ < 0) throw guasto("cannot take SIGINT and SIGTERM");

  server_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (server_ < 0) throw guasto("cannot open the page's server");
  sockaddr_in indirizzo{};
  indirizzo.sin_family = AF_INET;
  indirizzo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  indirizzo.sin_port = 0;  // the kernel chooses
  socklen_t lunghezza = sizeof indirizzo;
  // A long queue: clients that arrive during a rebuild wait there rather than retry their
  // connection a second later; the cap on open connections applies once they are accepted.
  if (bind(server_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) < 0 || listen(server_, SOMAXCONN) < 0 ||
      getsockname(server_, reinterpret_cast<sockaddr*>(&indirizzo), &lunghezza) < 0) {
    throw guasto("cannot open the page's server on 127.0.0.1");
  }
  porta_ = ntohs(indirizzo.sin_port);
}

SorveglianzaLinux::~SorveglianzaLinux() {
  for (int c : pagina_.aperte()) close(c);
  for (int fd : {inotify_, segnali_, server_}) {
    if (fd >= 0) close(fd);
  }
  const sigset_t fine = segnali_di_fine();
  sigprocmask(SIG_UNBLOCK, &fine, nullptr);
}

void SorveglianzaLinux::pubblica(const std::string& pagina, const std::string& versione) {
  pagina_.pubblica(pagina, versione);
}

// Watches whatever folder is now at each watched path, and its parent, and drops the
// watches left on folders that moved away. True when a path now has another folder, or none.
bool SorveglianzaLinux::riallinea() {
  std::vector<int> prima;
  bool cambiata = false;
  for (auto& c : cartelle_) {
    prima.insert(prima.end(), {c.w, c.w_genitore});
    const int w = inotify_add_watch(inotify_, c.percorso.c_str(), kMaschera);
    cambiata = cambiata || std::max(w, -1) != c.w;
    c.w = std::max(w, -1);
    c.w_genitore = c.genitore.empty() ? -1 : std::max(inotify_add_watch(inotify_, c.genitore.c_str(), kMaschera), -1);
  }
  for (int w : prima) {
    const bool in_uso =
        std::any_of(cartelle_.begin(), cartelle_.end(), [w](const auto& c) { return c.w == w || c.w_genitore == w; });
    if (w >= 0 && !in_uso) inotify_rm_watch(inotify_, w);
  }
  return cambiata;
}

bool SorveglianzaLinux::qualcuna_persa() const {
  return std::any_of(cartelle_.begin(), cartelle_.end(), [](const auto& c) { return c.w < 0; });
}

// True when an event names one of the watched files.
bool SorveglianzaLinux::evento_rilevante(int wd, std::uint32_t maschera, const char* nome) const {
  for (const auto& c : cartelle_) {
    if (wd != c.w || (maschera & (IN_CLOSE_WRITE | IN_MOVED_TO)) == 0) continue;
    if (std::find(c.file.begin(), c.file.end(), nome) != c.file.end()) return true;
  }
  return false;
}

// True when a watched folder or its parent moved, went or came back: `nome` is empty for
// an event of the watched folder itself.
bool SorveglianzaLinux::cambia_cartella(int wd, std::uint32_t maschera, const char* nome) const {
  for (const auto& c : cartelle_) {
    if ((wd == c.w || wd == c.w_genitore) && (maschera & (IN_MOVE_SELF | IN_DELETE_SELF | IN_IGNORED)) != 0) {
      return true;
    }
    if (wd == c.w_genitore && (maschera & (IN_CREATE | IN_MOVED_TO)) != 0 && c.nome == nome) return true;
  }
  return false;
}

// True when an event names one of the watched files, or a watched folder moved, went or
// came back (the watches then follow the paths, and the next rebuild tells what it finds).
bool SorveglianzaLinux::leggi_inotify() {
  alignas(inotify_event) char buffer[8192];
  bool rilevante = false;
  bool da_riallineare = false;
  for (;;) {
    const ssize_t n = read(inotify_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + i);
      const char* nome = e->len > 0 ? e->name : "";
      if ((e->mask & IN_Q_OVERFLOW) != 0 || cambia_cartella(e->wd, e->mask, nome)) {
        da_riallineare = true;  // an overflow lost events: everything is looked at again
      } else if (e->len > 0 && evento_rilevante(e->wd, e->mask, nome)) {
        rilevante = true;
      }
      i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
  if (da_riallineare) riallinea();
  return rilevante || da_riallineare;
}

void SorveglianzaLinux::chiudi(int c) {
  pagina_.togli(c);
  close(c);
}

void SorveglianzaLinux::accetta() {
  for (;;) {
    const int c = accept4(server_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (c < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) accetta_da_ = orologio::now() + kPausaAccetta;
      return;
    }
    if (const auto fuori = pagina_.accogli(c, orologio::now())) close(*fuori);
  }
}

// One step of a connection, as far as its socket goes without waiting: a piece of the
// request read, or of what follows the answer, and as much of the answer as the socket takes.
void SorveglianzaLinux::servi_connessione(int c, short eventi) {
  if ((eventi & (POLLERR | POLLNVAL)) != 0) return chiudi(c);
  if (!pagina_.invia(c) && (eventi & (POLLIN | POLLHUP)) != 0) {
    char pezzo[4096];
    const ssize_t n = recv(c, pezzo, sizeof pezzo, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n < 0 || !pagina_.ricevuti(c, std::string_view(pezzo, static_cast<std::size_t>(std::max<ssize_t>(n, 0))))) {
      return chiudi(c);
    }
  }
  for (std::string_view resto = pagina_.da_inviare(c); !resto.empty(); resto = pagina_.da_inviare(c)) {
    const ssize_t n = send(c, resto.data(), resto.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n < 0) return chiudi(c);  // the browser went away: nothing to do about it
    // Then the client's close is awaited: closing with its bytes unread would reset the
    // connection, and the client could lose the answer.
    if (pagina_.inviati(c, static_cast<std::size_t>(n))) shutdown(c, SHUT_WR);
    if (static_cast<std::size_t>(n) < resto.size()) return;
  }
}

// The milliseconds poll may sleep: up to the caller's end, the next connection's deadline,
// the next look for a missing folder or the end of a pause of accept, whichever is first.
int SorveglianzaLinux::attesa_poll(istante ora, std::optional<istante> fine) const {
  std::optional<istante> prima = fine;
  const auto considera = [&prima](std::optional<istante> t) {
    if (t && (!prima || *t < *prima)) prima = t;
  };
  considera(pagina_.prossima_scadenza());
  if (qualcuna_persa()) considera(prossima_ricerca_);
  if (accetta_da_ > ora) considera(accetta_da_);
  if (!prima) return -1;
  if (*prima <= ora) return 0;
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(*prima - ora).count());
}

evento_sorveglianza SorveglianzaLinux::attendi(int attesa_ms) {
  std::optional<istante> fine;
  if (attesa_ms >= 0) fine = orologio::now() + std::chrono::milliseconds(attesa_ms);
  std::vector<pollfd> fd;
  for (;;) {
    const istante ora = orologio::now();
    for (int c : pagina_.scadute(ora)) close(c);
    if (qualcuna_persa() && ora >= prossima_ricerca_) {
      prossima_ricerca_ = ora + kRicercaCartella;
      if (riallinea()) return evento_sorveglianza::modifica;
    }
    if (fine && ora >= *fine) return evento_sorveglianza::nulla;
    fd.assign({{segnali_, POLLIN, 0}, {inotify_, POLLIN, 0}, {accetta_da_ <= ora ? server_ : -1, POLLIN, 0}});
    for (int c : pagina_.aperte()) fd.push_back({c, static_cast<short>(pagina_.invia(c) ? POLLOUT : POLLIN), 0});
    const int pronti = poll(fd.data(), fd.size(), attesa_poll(ora, fine));
    if (pronti < 0 && errno == EINTR) continue;
    if (pronti < 0) throw guasto("cannot wait for changes");
    if ((fd[0].revents & POLLIN) != 0) {
      signalfd_siginfo info;
      while (read(segnali_, &info, sizeof info) > 0) {
      }
      return evento_sorveglianza::fine;
    }
    if ((fd[1].revents & POLLIN) != 0 && leggi_inotify()) return evento_sorveglianza::modifica;
    // The connections before accept: a connection closed to make room could otherwise
    // lend its number, and its events, to the one accepted after it.
    for (std::size_t i = 3; i < fd.size(); ++i) {
      if (fd[i].revents != 0) servi_connessione(fd[i].fd, fd[i].revents);
    }
    if ((fd[2].revents & POLLIN) != 0) accetta();
  }
}

}  // namespace cmp
