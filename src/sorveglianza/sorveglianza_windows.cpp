// watch on Windows, behind the same interface as on Linux: ReadDirectoryChangesW
// (overlapped) on the folders, not the files (an editor's save replaces the file); Ctrl-C,
// Ctrl-Break and the console's close through SetConsoleCtrlHandler; the page served on
// 127.0.0.1 only with Winsock, every socket non-blocking and every connection with its
// deadline (ServerPagina), so that no client holds a rebuild or the end. Everything is
// waited on in one WaitForMultipleObjects: the end, the folders' reads and one event for
// all the sockets (WSAEventSelect), whose readiness is then asked of WSAPoll.
//
// A watched folder removed ends its read with an error: it is opened again, once a second,
// when a folder of that name is there again, and each time a status line says so.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sorveglianza/server_pagina.h"
#include "sorveglianza/sorveglianza_sistema.h"

namespace cmp {
namespace {

std::runtime_error guasto(const std::string& cosa, DWORD errore) {
  char testo[256] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errore,
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), testo, sizeof testo, nullptr);
  std::string t(testo, n);
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r' || t.back() == ' ' || t.back() == '.')) t.pop_back();
  return std::runtime_error(cosa + ": " + (t.empty() ? "Windows error " + std::to_string(errore) : t));
}

// Narrow paths are in UTF-8, as the command line gives them (riga_comando/processo.h).
std::wstring largo(const std::string& testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

// Names on Windows differ in letter case and are the same file.
bool stesso_nome(const std::wstring& a, const wchar_t* b, std::size_t lunghezza_b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b, static_cast<int>(lunghezza_b), TRUE) ==
         CSTR_EQUAL;
}

// The console's handler runs on a thread of its own and is given no context: the event it
// sets is the one thing it shares with the watch, so it stands here, set while a watch runs.
std::atomic<HANDLE>& evento_di_fine() {
  static std::atomic<HANDLE> evento{nullptr};
  return evento;
}

// How long the handler holds the console's close (or the session's end) back, so that the
// rebuild under way ends and the program exits by itself: Windows ends the process as soon
// as the handler returns, and at the latest after five seconds anyway.
constexpr DWORD kAttesaChiusuraMs = 4000;

BOOL WINAPI alla_richiesta_di_fine(DWORD tipo) {
  const HANDLE evento = evento_di_fine().load();
  if (evento == nullptr) return FALSE;
  SetEvent(evento);
  if (tipo == CTRL_CLOSE_EVENT || tipo == CTRL_LOGOFF_EVENT || tipo == CTRL_SHUTDOWN_EVENT) Sleep(kAttesaChiusuraMs);
  return TRUE;
}

constexpr DWORD kCambiamenti = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// As on Linux: a pause before the next accept when the system had no socket or memory for
// one, and a look for a missing folder once a second.
constexpr std::chrono::milliseconds kPausaAccetta{100};
constexpr std::chrono::seconds kRicercaCartella{1};
// Winsock records a socket's events as they happen, not as they stand: one that came
// before the socket was given its events could go unseen. While a connection is open, its
// sockets are also looked at this often.
constexpr std::chrono::milliseconds kControlloConnessioni{50};

using orologio = std::chrono::steady_clock;

class SorveglianzaWindows : public Sorveglianza {
 public:
  explicit SorveglianzaWindows(const std::vector<nome_sorvegliato>& nomi);
  ~SorveglianzaWindows() override;
  SorveglianzaWindows(const SorveglianzaWindows&) = delete;
  SorveglianzaWindows& operator=(const SorveglianzaWindows&) = delete;
  evento_sorveglianza attendi(int attesa_ms) override;
  void pubblica(const std::string& pagina, const std::string& versione) override { pagina_.pubblica(pagina, versione); }
  int porta() const { return porta_; }

 private:
  // A watched folder, its handle (invalid while no folder is at its path) and the read
  // under way on it; kept at one address, since the system writes into `ov` and `dati`.
  struct cartella_seguita {
    std::wstring percorso;
    std::vector<std::wstring> file;
    HANDLE h = INVALID_HANDLE_VALUE;
    HANDLE evento = nullptr;
    OVERLAPPED ov{};
    std::vector<DWORD> dati = std::vector<DWORD>(16384);  // DWORD-aligned, as the records are
  };

  bool apri(cartella_seguita& c);
  bool leggi_ancora(cartella_seguita& c);
  void perdi(cartella_seguita& c);
  bool leggi_cambiamenti(cartella_seguita& c);
  bool riapri_perse();
  bool qualcuna_persa() const;
  DWORD attesa(istante ora, std::optional<istante> fine) const;
  void servi_rete(istante ora);
  void accetta();
  void servi_connessione(int c, SHORT eventi);
  void chiudi(int c);

  bool winsock_ = false;
  HANDLE fine_ = nullptr;
  WSAEVENT rete_ = WSA_INVALID_EVENT;
  SOCKET server_ = INVALID_SOCKET;
  int porta_ = 0;
  std::vector<std::unique_ptr<cartella_seguita>> cartelle_;
  ServerPagina pagina_;
  std::map<int, SOCKET> socket_;  // ServerPagina's numbers for the connections
  int ultimo_numero_ = 0;
  istante accetta_da_{};
  istante prossima_ricerca_{};
};

SorveglianzaWindows::SorveglianzaWindows(const std::vector<nome_sorvegliato>& nomi) {
  for (const nome_sorvegliato& n : nomi) {
    const std::wstring cartella = largo(n.first);
    auto c = std::find_if(cartelle_.begin(), cartelle_.end(),
                          [&](const auto& k) { return stesso_nome(k->percorso, cartella.data(), cartella.size()); });
    if (c == cartelle_.end()) {
      auto nuova = std::make_unique<cartella_seguita>();
      nuova->percorso = cartella;
      nuova->evento = CreateEventW(nullptr, TRUE, FALSE, nullptr);
      if (nuova->evento == nullptr) throw guasto("cannot watch " + n.first, GetLastError());
      cartelle_.push_back(std::move(nuova));
      if (!apri(*cartelle_.back())) throw guasto("cannot watch " + n.first, GetLastError());
      c = std::prev(cartelle_.end());
    }
    (*c)->file.push_back(largo(n.second));
  }

  fine_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (fine_ == nullptr) throw guasto("cannot take Ctrl-C", GetLastError());
  evento_di_fine().store(fine_);
  // Ctrl-C is what the status line says ends the watch: taken even by a process started
  // with it ignored (a new process group is started so).
  SetConsoleCtrlHandler(nullptr, FALSE);
  if (!SetConsoleCtrlHandler(alla_richiesta_di_fine, TRUE)) throw guasto("cannot take Ctrl-C", GetLastError());

  WSADATA dati{};
  const int avvio = WSAStartup(MAKEWORD(2, 2), &dati);
  if (avvio != 0) throw guasto("cannot open the page's server", static_cast<DWORD>(avvio));
  winsock_ = true;
  rete_ = WSACreateEvent();
  server_ = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (rete_ == WSA_INVALID_EVENT || server_ == INVALID_SOCKET) {
    throw guasto("cannot open the page's server", static_cast<DWORD>(WSAGetLastError()));
  }
  // No other program may bind the same port and take the page's requests.
  BOOL esclusivo = TRUE;
  setsockopt(server_, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&esclusivo), sizeof esclusivo);
  sockaddr_in indirizzo{};
  indirizzo.sin_family = AF_INET;
  indirizzo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  indirizzo.sin_port = 0;  // the system chooses
  int lunghezza = sizeof indirizzo;
  if (bind(server_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) == SOCKET_ERROR ||
      listen(server_, SOMAXCONN) == SOCKET_ERROR ||
      getsockname(server_, reinterpret_cast<sockaddr*>(&indirizzo), &lunghezza) == SOCKET_ERROR ||
      WSAEventSelect(server_, rete_, FD_ACCEPT) == SOCKET_ERROR) {  // and non-blocking from now on
    throw guasto("cannot open the page's server on 127.0.0.1", static_cast<DWORD>(WSAGetLastError()));
  }
  porta_ = ntohs(indirizzo.sin_port);
}

SorveglianzaWindows::~SorveglianzaWindows() {
  for (const auto& [numero, s] : socket_) closesocket(s);
  if (server_ != INVALID_SOCKET) closesocket(server_);
  if (rete_ != WSA_INVALID_EVENT) WSACloseEvent(rete_);
  if (winsock_) WSACleanup();
  if (fine_ != nullptr) {
    SetConsoleCtrlHandler(alla_richiesta_di_fine, FALSE);
    evento_di_fine().store(nullptr);
    CloseHandle(fine_);
  }
  for (auto& c : cartelle_) {
    perdi(*c);
    if (c->evento != nullptr) CloseHandle(c->evento);
  }
}

// Opens the folder now at the path and starts its first read; false (GetLastError says
// why) when there is none or it cannot be watched.
bool SorveglianzaWindows::apri(cartella_seguita& c) {
  c.h = CreateFileW(c.percorso.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (c.h == INVALID_HANDLE_VALUE) return false;
  if (leggi_ancora(c)) return true;
  const DWORD e = GetLastError();
  CloseHandle(c.h);
  c.h = INVALID_HANDLE_VALUE;
  SetLastError(e);
  return false;
}

// The next read on the same handle: what changes meanwhile is kept for it by the system.
bool SorveglianzaWindows::leggi_ancora(cartella_seguita& c) {
  ResetEvent(c.evento);
  c.ov = OVERLAPPED{};
  c.ov.hEvent = c.evento;
  return ReadDirectoryChangesW(c.h, c.dati.data(), static_cast<DWORD>(c.dati.size() * sizeof(DWORD)), FALSE,
                               kCambiamenti, nullptr, &c.ov, nullptr) != 0;
}

// Gives the folder's handle up, its read first (the system writes into it until then).
void SorveglianzaWindows::perdi(cartella_seguita& c) {
  if (c.h == INVALID_HANDLE_VALUE) return;
  CancelIoEx(c.h, &c.ov);
  DWORD n = 0;
  GetOverlappedResult(c.h, &c.ov, &n, TRUE);
  CloseHandle(c.h);
  c.h = INVALID_HANDLE_VALUE;
  ResetEvent(c.evento);
}

// The read that ended, and the next one started. True when it names one of the watched
// files, when changes were too many to be recorded (they are all looked at again), or when
// the folder went (the next rebuild tells what it finds).
bool SorveglianzaWindows::leggi_cambiamenti(cartella_seguita& c) {
  DWORD n = 0;
  if (!GetOverlappedResult(c.h, &c.ov, &n, FALSE)) {
    if (GetLastError() == ERROR_IO_INCOMPLETE) return false;
    perdi(c);
    return true;
  }
  bool rilevante = n == 0;  // the system's record overflowed
  const char* dati = reinterpret_cast<const char*>(c.dati.data());
  for (DWORD i = 0; i < n;) {
    const auto* r = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(dati + i);
    const bool scritto = r->Action == FILE_ACTION_ADDED || r->Action == FILE_ACTION_MODIFIED ||
                         r->Action == FILE_ACTION_RENAMED_NEW_NAME;
    for (const auto& f : c.file) {
      rilevante = rilevante || (scritto && stesso_nome(f, r->FileName, r->FileNameLength / sizeof(WCHAR)));
    }
    if (r->NextEntryOffset == 0) break;
    i += r->NextEntryOffset;
  }
  if (leggi_ancora(c)) return rilevante;
  perdi(c);
  return true;
}

bool SorveglianzaWindows::qualcuna_persa() const {
  return std::any_of(cartelle_.begin(), cartelle_.end(), [](const auto& c) { return c->h == INVALID_HANDLE_VALUE; });
}

// True when a folder missing until now is there again.
bool SorveglianzaWindows::riapri_perse() {
  bool ritrovata = false;
  for (auto& c : cartelle_) {
    if (c->h == INVALID_HANDLE_VALUE && apri(*c)) ritrovata = true;
  }
  return ritrovata;
}

// The milliseconds the wait may last: up to the caller's end, the next connection's
// deadline or look at the sockets, the next look for a missing folder or the end of a
// pause of accept, whichever is first.
DWORD SorveglianzaWindows::attesa(istante ora, std::optional<istante> fine) const {
  std::optional<istante> prima = fine;
  const auto considera = [&prima](std::optional<istante> t) {
    if (t && (!prima || *t < *prima)) prima = t;
  };
  considera(pagina_.prossima_scadenza());
  if (!socket_.empty()) considera(ora + kControlloConnessioni);
  if (qualcuna_persa()) considera(prossima_ricerca_);
  if (accetta_da_ > ora) considera(accetta_da_);
  if (!prima) return INFINITE;
  if (*prima <= ora) return 0;
  return static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(*prima - ora).count());
}

void SorveglianzaWindows::chiudi(int c) {
  pagina_.togli(c);
  const auto s = socket_.find(c);
  if (s == socket_.end()) return;
  closesocket(s->second);
  socket_.erase(s);
}

void SorveglianzaWindows::accetta() {
  for (;;) {
    const SOCKET s = accept(server_, nullptr, nullptr);
    if (s == INVALID_SOCKET) {
      const int e = WSAGetLastError();
      if (e == WSAEINTR || e == WSAECONNRESET) continue;
      if (e != WSAEWOULDBLOCK) accetta_da_ = orologio::now() + kPausaAccetta;
      return;
    }
    // An accepted socket has the listening one's events: it is given its own.
    if (WSAEventSelect(s, rete_, FD_READ | FD_WRITE | FD_CLOSE) == SOCKET_ERROR) {
      closesocket(s);
      continue;
    }
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    const int numero = ++ultimo_numero_;
    socket_[numero] = s;
    if (const auto fuori = pagina_.accogli(numero, orologio::now())) chiudi(*fuori);
  }
}

// One step of a connection, as far as its socket goes without waiting: as on Linux.
void SorveglianzaWindows::servi_connessione(int c, SHORT eventi) {
  const auto trovato = socket_.find(c);
  if (trovato == socket_.end()) return;
  const SOCKET s = trovato->second;
  if ((eventi & (POLLERR | POLLNVAL)) != 0) return chiudi(c);
  if (!pagina_.invia(c) && (eventi & (POLLRDNORM | POLLHUP)) != 0) {
    char pezzo[4096];
    const int n = recv(s, pezzo, sizeof pezzo, 0);
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return;
    if (n == SOCKET_ERROR || !pagina_.ricevuti(c, std::string_view(pezzo, static_cast<std::size_t>(std::max(n, 0))))) {
      return chiudi(c);
    }
  }
  for (std::string_view resto = pagina_.da_inviare(c); !resto.empty(); resto = pagina_.da_inviare(c)) {
    const int chiesti = static_cast<int>(std::min<std::size_t>(resto.size(), 1u << 20));
    const int n = send(s, resto.data(), chiesti, 0);
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return;
    if (n == SOCKET_ERROR) return chiudi(c);  // the browser went away
    // Then the client's close is awaited, so that its answer is not lost to a reset.
    if (pagina_.inviati(c, static_cast<std::size_t>(n))) shutdown(s, SD_SEND);
    if (n < chiesti) return;
  }
}

// What the sockets have for us now, asked of WSAPoll without waiting: the connections
// first, then accept (a connection closed to make room could lend its socket to the next).
void SorveglianzaWindows::servi_rete(istante ora) {
  WSAResetEvent(rete_);
  std::vector<WSAPOLLFD> fd;
  std::vector<int> numeri;
  for (const int c : pagina_.aperte()) {
    const auto s = socket_.find(c);
    if (s == socket_.end()) continue;
    fd.push_back({s->second, static_cast<SHORT>(pagina_.invia(c) ? POLLWRNORM : POLLRDNORM), 0});
    numeri.push_back(c);
  }
  const bool accetta_ora = accetta_da_ <= ora;
  if (accetta_ora) fd.push_back({server_, POLLRDNORM, 0});
  if (fd.empty() || WSAPoll(fd.data(), static_cast<ULONG>(fd.size()), 0) <= 0) return;
  for (std::size_t i = 0; i < numeri.size(); ++i) {
    if (fd[i].revents != 0) servi_connessione(numeri[i], fd[i].revents);
  }
  if (accetta_ora && fd.back().revents != 0) accetta();
}

evento_sorveglianza SorveglianzaWindows::attendi(int attesa_ms) {
  std::optional<istante> fine;
  if (attesa_ms >= 0) fine = orologio::now() + std::chrono::milliseconds(attesa_ms);
  std::vector<HANDLE> eventi;
  for (;;) {
    const istante ora = orologio::now();
    for (const int c : pagina_.scadute(ora)) chiudi(c);
    if (qualcuna_persa() && ora >= prossima_ricerca_) {
      prossima_ricerca_ = ora + kRicercaCartella;
      if (riapri_perse()) return evento_sorveglianza::modifica;
    }
    if (fine && ora >= *fine) return evento_sorveglianza::nulla;
    eventi.assign({fine_, rete_});
    for (const auto& c : cartelle_) {
      if (c->h != INVALID_HANDLE_VALUE) eventi.push_back(c->evento);
    }
    const DWORD esito =
        WaitForMultipleObjects(static_cast<DWORD>(eventi.size()), eventi.data(), FALSE, attesa(ora, fine));
    if (esito == WAIT_FAILED) throw guasto("cannot wait for changes", GetLastError());
    if (WaitForSingleObject(fine_, 0) == WAIT_OBJECT_0) return evento_sorveglianza::fine;
    bool rilevante = false;
    for (auto& c : cartelle_) {
      if (c->h != INVALID_HANDLE_VALUE && WaitForSingleObject(c->evento, 0) == WAIT_OBJECT_0) {
        rilevante = leggi_cambiamenti(*c) || rilevante;
      }
    }
    if (rilevante) return evento_sorveglianza::modifica;
    servi_rete(orologio::now());
  }
}

}  // namespace

sorveglianza_sistema apri_sorveglianza_sistema(const std::vector<nome_sorvegliato>& nomi) {
  auto sistema = std::make_unique<SorveglianzaWindows>(nomi);
  const int porta = sistema->porta();
  return {std::move(sistema), porta};
}

}  // namespace cmp
