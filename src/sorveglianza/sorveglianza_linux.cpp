#include "sorveglianza/sorveglianza_linux.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace cmp {
namespace {

std::runtime_error guasto(const std::string& cosa) {
  return std::runtime_error(cosa + ": " + std::strerror(errno));
}

sigset_t segnali_di_fine() {
  sigset_t insieme;
  sigemptyset(&insieme);
  sigaddset(&insieme, SIGINT);
  sigaddset(&insieme, SIGTERM);
  return insieme;
}

void invia_tutto(int fd, const std::string& byte) {
  std::size_t fatto = 0;
  while (fatto < byte.size()) {
    const ssize_t n = send(fd, byte.data() + fatto, byte.size() - fatto, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the browser went away: nothing to do about it
    fatto += static_cast<std::size_t>(n);
  }
}

std::string risposta(const char* stato, const char* tipo, const std::string& corpo) {
  return std::string("HTTP/1.1 ") + stato + "\r\nContent-Type: " + tipo +
         "\r\nCache-Control: no-store\r\nConnection: close\r\nContent-Length: " + std::to_string(corpo.size()) +
         "\r\n\r\n" + corpo;
}

}  // namespace

SorveglianzaLinux::SorveglianzaLinux(const std::vector<nome_sorvegliato>& nomi) {
  inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_ < 0) throw guasto("cannot watch the folders");
  for (const auto& [cartella, nome] : nomi) {
    const int w = inotify_add_watch(inotify_, cartella.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    if (w < 0) throw guasto("cannot watch " + cartella);
    osservati_.emplace_back(w, nome);
  }
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
  if (bind(server_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) < 0 || listen(server_, 16) < 0 ||
      getsockname(server_, reinterpret_cast<sockaddr*>(&indirizzo), &lunghezza) < 0) {
    throw guasto("cannot open the page's server on 127.0.0.1");
  }
  porta_ = ntohs(indirizzo.sin_port);
}

SorveglianzaLinux::~SorveglianzaLinux() {
  for (int fd : {inotify_, segnali_, server_}) {
    if (fd >= 0) close(fd);
  }
  const sigset_t fine = segnali_di_fine();
  sigprocmask(SIG_UNBLOCK, &fine, nullptr);
}

void SorveglianzaLinux::pubblica(const std::string& pagina, const std::string& versione) {
  pagina_ = pagina;
  versione_ = versione;
}

// True when an event names one of the watched files.
bool SorveglianzaLinux::leggi_inotify() {
  alignas(inotify_event) char buffer[8192];
  bool rilevante = false;
  for (;;) {
    const ssize_t n = read(inotify_, buffer, sizeof buffer);
    if (n <= 0) return rilevante;
    for (ssize_t i = 0; i < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + i);
      if (e->len > 0) {
        for (const auto& [w, nome] : osservati_) {
          if (w == e->wd && nome == e->name) rilevante = true;
        }
      }
      i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
}

// One request, answered and closed: the page at "/", its version at "/versione", nothing else.
void SorveglianzaLinux::servi_richiesta() {
  const int c = accept4(server_, nullptr, nullptr, SOCK_CLOEXEC);
  if (c < 0) return;
  timeval limite{1, 0};  // a client that sends nothing does not hold the watch up
  setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &limite, sizeof limite);
  std::string richiesta;
  char pezzo[2048];
  while (richiesta.find("\r\n\r\n") == std::string::npos && richiesta.size() < 16384) {
    const ssize_t n = recv(c, pezzo, sizeof pezzo, 0);
    if (n <= 0) break;
    richiesta.append(pezzo, static_cast<std::size_t>(n));
  }
  std::string percorso;
  if (richiesta.rfind("GET ", 0) == 0) {
    percorso = richiesta.substr(4, richiesta.find(' ', 4) - 4);
    percorso = percorso.substr(0, percorso.find('?'));
  }
  if (percorso == "/" || percorso == "/index.html") {
    invia_tutto(c, risposta("200 OK", "text/html; charset=utf-8", pagina_));
  } else if (percorso == "/versione") {
    invia_tutto(c, risposta("200 OK", "text/plain; charset=utf-8", versione_));
  } else if (percorso == "/favicon.ico") {
    invia_tutto(c, risposta("204 No Content", "image/x-icon", ""));  // browsers ask for it; the page has none
  } else {
    invia_tutto(c, risposta("404 Not Found", "text/plain; charset=utf-8", "not found\n"));
  }
  close(c);
}

evento_sorveglianza SorveglianzaLinux::attendi(int attesa_ms) {
  using orologio = std::chrono::steady_clock;
  const auto scadenza = orologio::now() + std::chrono::milliseconds(attesa_ms < 0 ? 0 : attesa_ms);
  for (;;) {
    int resta = -1;
    if (attesa_ms >= 0) {
      resta = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - orologio::now()).count());
      if (resta < 0) resta = 0;
    }
    pollfd fd[3] = {{segnali_, POLLIN, 0}, {inotify_, POLLIN, 0}, {server_, POLLIN, 0}};
    const int pronti = poll(fd, 3, resta);
    if (pronti < 0 && errno != EINTR) throw guasto("cannot wait for changes");
    if (pronti > 0 && (fd[0].revents & POLLIN)) {
      signalfd_siginfo info;
      while (read(segnali_, &info, sizeof info) > 0) {
      }
      return evento_sorveglianza::fine;
    }
    if (pronti > 0 && (fd[1].revents & POLLIN) && leggi_inotify()) return evento_sorveglianza::modifica;
    if (pronti > 0 && (fd[2].revents & POLLIN)) servi_richiesta();
    if (pronti == 0 && attesa_ms >= 0) return evento_sorveglianza::nulla;
    if (attesa_ms >= 0 && orologio::now() >= scadenza) return evento_sorveglianza::nulla;
  }
}

}  // namespace cmp
