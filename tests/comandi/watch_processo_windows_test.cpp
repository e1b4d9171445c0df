// compattatore watch on Windows as an author runs it: an editor's save, an error, a mend,
// the page fetched over HTTP, then Ctrl-C or Ctrl-Break; and a client that never ends its
// request holds neither a rebuild nor the end. The program runs on a console of its own
// (CREATE_NEW_CONSOLE), its standard error on a pipe; the keys are sent to that console by
// attaching to it (GenerateConsoleCtrlEvent reaches only the caller's console).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "sistema_prova.h"
#include "supporto.h"

namespace cmp::prova {
namespace {

using namespace std::chrono_literals;
using orologio = std::chrono::steady_clock;

constexpr const char* kLinea = "VallorsaC_Pietrana_linea.txt";
constexpr const char* kTreno = "VallorsaC_Pietrana_4721-.txt";

std::chrono::milliseconds da(orologio::time_point inizio) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(orologio::now() - inizio);
}

class ProcessoWatch {
 public:
  explicit ProcessoWatch(const std::vector<std::string>& argomenti) {
    SECURITY_ATTRIBUTES ereditabile{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE err_figlio = nullptr;
    if (!CreatePipe(&err_, &err_figlio, &ereditabile, 0)) return;
    SetHandleInformation(err_, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &ereditabile, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW avvio{};
    avvio.cb = sizeof avvio;
    avvio.dwFlags = STARTF_USESTDHANDLES;
    avvio.hStdInput = nul;
    avvio.hStdOutput = nul;
    avvio.hStdError = err_figlio;
    std::wstring riga = argomento_citato(largo_prova(COMPATTATORE_EXE));
    for (const auto& a : argomenti) riga += L" " + argomento_citato(largo_prova(a));
    std::wstring ambiente = ambiente_senza_display();
    PROCESS_INFORMATION p{};
    if (CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT, ambiente.data(),
                       nullptr, &avvio, &p)) {
      CloseHandle(p.hThread);
      processo_ = p.hProcess;
      pid_ = p.dwProcessId;
    }
    CloseHandle(err_figlio);
    CloseHandle(nul);
  }
  ~ProcessoWatch() {
    if (processo_ != nullptr) {
      TerminateProcess(processo_, 137);
      WaitForSingleObject(processo_, 5000);
      CloseHandle(processo_);
    }
    if (err_ != nullptr) CloseHandle(err_);
  }
  ProcessoWatch(const ProcessoWatch&) = delete;
  ProcessoWatch& operator=(const ProcessoWatch&) = delete;

  // The next line that starts with `inizio`, within `limite`; the lines passed over are kept.
  std::optional<std::string> riga(const std::string& inizio, std::chrono::milliseconds limite) {
    const auto scadenza = orologio::now() + limite;
    for (;;) {
      for (auto fine = resto_.find('\n'); fine != std::string::npos; fine = resto_.find('\n')) {
        std::string r = resto_.substr(0, fine);
        resto_.erase(0, fine + 1);
        if (!r.empty() && r.back() == '\r') r.pop_back();
        letto += r + "\n";
        if (r.rfind(inizio, 0) == 0) return r;
      }
      if (orologio::now() >= scadenza) return std::nullopt;
      DWORD pronti = 0;
      if (!PeekNamedPipe(err_, nullptr, 0, nullptr, &pronti, nullptr)) return std::nullopt;  // it ended
      if (pronti == 0) {
        std::this_thread::sleep_for(5ms);
        continue;
      }
      std::string pezzo(pronti, '\0');
      DWORD n = 0;
      if (!ReadFile(err_, pezzo.data(), pronti, &n, nullptr) || n == 0) return std::nullopt;
      resto_.append(pezzo.data(), n);
    }
  }

  // Presses the key on the program's console and waits for its end: the exit status, -1
  // when it did not exit by itself within `limite`, kNonPremuto when the key could not be
  // sent (errore_tasto says why).
  static constexpr int kNonPremuto = -2;
  int ferma(DWORD tasto, std::chrono::milliseconds limite = 5s) {
    FreeConsole();
    if (!AttachConsole(pid_)) {
      errore_tasto = GetLastError();
      return kNonPremuto;
    }
    SetConsoleCtrlHandler(nullptr, TRUE);  // the key is for the program, not for this test
    // To the program's process group (it was started as one): Ctrl-C reaches it even so.
    const BOOL premuto = GenerateConsoleCtrlEvent(tasto, pid_);
    errore_tasto = GetLastError();
    FreeConsole();
    if (!premuto) return kNonPremuto;
    if (WaitForSingleObject(processo_, static_cast<DWORD>(limite.count())) != WAIT_OBJECT_0) return -1;
    DWORD stato = 0;
    GetExitCodeProcess(processo_, &stato);
    CloseHandle(processo_);
    processo_ = nullptr;
    return static_cast<int>(stato);
  }

  bool partito() const { return processo_ != nullptr; }
  std::string letto;
  DWORD errore_tasto = 0;

 private:
  HANDLE processo_ = nullptr;
  DWORD pid_ = 0;
  HANDLE err_ = nullptr;
  std::string resto_;
};

// Whether the tests run under Wine, which says so through a function of its ntdll.
bool sotto_wine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Winsock for the test's own clients, from the first to the end of the program.
void apri_winsock() {
  static const bool aperto = [] {
    WSADATA dati{};
    return WSAStartup(MAKEWORD(2, 2), &dati) == 0;
  }();
  ASSERT_TRUE(aperto);
}

// A client of the page's server on 127.0.0.1; each call gives up after two seconds.
class Cliente {
 public:
  explicit Cliente(int porta) {
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const DWORD limite = 2000;
    setsockopt(s_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limite), sizeof limite);
    setsockopt(s_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limite), sizeof limite);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connesso_ = connect(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Cliente() { closesocket(s_); }
  Cliente(const Cliente&) = delete;
  Cliente& operator=(const Cliente&) = delete;

  bool connesso() const { return connesso_; }
  bool invia(const std::string& byte) {
    return send(s_, byte.data(), static_cast<int>(byte.size()), 0) == static_cast<int>(byte.size());
  }
  // What the server sends until it closes; nullopt when it has not closed in time.
  std::optional<std::string> fino_alla_chiusura() {
    std::string out;
    for (;;) {
      char pezzo[4096];
      const int n = recv(s_, pezzo, sizeof pezzo, 0);
      if (n == 0) return out;
      if (n < 0) return std::nullopt;
      out.append(pezzo, static_cast<std::size_t>(n));
    }
  }

 private:
  SOCKET s_ = INVALID_SOCKET;
  bool connesso_ = false;
};

std::string chiedi(int porta, const std::string& richiesta) {
  Cliente c(porta);
  if (!c.connesso() || !c.invia(richiesta)) return "(no connection)";
  return c.fino_alla_chiusura().value_or("(no answer within the limit)");
}

// As editors save: the new text into a temporary beside the file, moved over it.
void salva_come_un_editor(const std::string& cartella, const std::string& testo) {
  const std::string temporaneo = cartella + "\\.linea.swp";
  scrivi_tutto(temporaneo, testo);
  ASSERT_TRUE(MoveFileExW(largo_prova(temporaneo).c_str(), largo_prova(cartella + "\\" + kLinea).c_str(),
                          MOVEFILE_REPLACE_EXISTING));
}

// The descriptions exported into a folder and watch started on them.
class WatchWindows : public ::testing::Test {
 protected:
  void avvia() {
    ASSERT_NO_FATAL_FAILURE(apri_winsock());
    const auto esportato = esegui(COMPATTATORE_EXE, {"export", "--out", c.percorso().string()});
    ASSERT_EQ(esportato.stato, 0) << esportato.errori;
    originale = leggi_tutto(c / kLinea);
    w.emplace(std::vector<std::string>{"watch", "--line", c / kLinea, "--train", c / kTreno, "--out", c / "uscita"});
    ASSERT_TRUE(w->partito());
    const auto indirizzo = w->riga("watch: the page is at http://127.0.0.1:", 10s);
    ASSERT_TRUE(indirizzo) << w->letto;
    porta = std::stoi(indirizzo->substr(indirizzo->rfind(':') + 1));
    const auto prima = w->riga("watch: rebuild 1 ", 20s);
    ASSERT_TRUE(prima) << w->letto;
    ASSERT_TRUE(prima->ends_with(": clean")) << *prima;
  }
  std::string con_errore() const {
    const auto ultima = originale.rfind("\r\npendenza");
    const auto fine_riga = originale.find("\r\n", ultima + 2);
    return originale.substr(0, fine_riga) + "\r\npendenza,  40000,   3" + originale.substr(fine_riga);
  }

  CartellaTemporanea c;
  std::string originale;
  std::optional<ProcessoWatch> w;
  int porta = 0;
};

class WatchWindowsFine : public WatchWindows, public ::testing::WithParamInterface<DWORD> {};

TEST_P(WatchWindowsFine, SavesRebuildThePageIsServedAndTheKeyEndsIt) {
  ASSERT_NO_FATAL_FAILURE(avvia());
  EXPECT_TRUE(std::filesystem::exists(c / "uscita/VallorsaC_Pietrana_4721.html"));
  const std::string pagina = chiedi(porta, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_TRUE(pagina.starts_with("HTTP/1.1 200 OK\r\n")) << pagina.substr(0, 200);
  EXPECT_NE(pagina.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos) << pagina.substr(0, 200);
  EXPECT_EQ(pagina.substr(pagina.find("\r\n\r\n") + 4), leggi_tutto(c / "uscita/VallorsaC_Pietrana_4721.html"));

  ASSERT_NO_FATAL_FAILURE(salva_come_un_editor(c.percorso().string(), con_errore()));
  const auto errore = w->riga("watch: rebuild 2 ", 5s);
  ASSERT_TRUE(errore) << w->letto;
  EXPECT_TRUE(errore->ends_with(": error 15")) << *errore;
  EXPECT_NE(w->letto.find(": error 15: the gradient row at 40000 m "), std::string::npos) << w->letto;

  ASSERT_NO_FATAL_FAILURE(salva_come_un_editor(c.percorso().string(), originale));
  const auto riparata = w->riga("watch: rebuild 3 ", 5s);
  ASSERT_TRUE(riparata) << w->letto;
  EXPECT_TRUE(riparata->ends_with(": clean")) << *riparata;
  EXPECT_TRUE(chiedi(porta, "GET /versione HTTP/1.1\r\n\r\n").ends_with("\r\n\r\n3"));

  const int stato = w->ferma(GetParam());
  if (stato == ProcessoWatch::kNonPremuto && GetParam() == CTRL_BREAK_EVENT && sotto_wine()) {
    GTEST_SKIP() << "Wine sends no Ctrl-Break to a console (GenerateConsoleCtrlEvent fails with error "
                 << w->errore_tasto << "); Ctrl-C, the same handler's other key, ends it in the test before";
  }
  EXPECT_EQ(stato, 0) << w->letto << "(key error " << w->errore_tasto << ")";
}

INSTANTIATE_TEST_SUITE_P(CtrlCECtrlBreak, WatchWindowsFine, ::testing::Values(CTRL_C_EVENT, CTRL_BREAK_EVENT));

TEST_F(WatchWindows, AClientThatNeverEndsItsRequestHoldsNeitherARebuildNorTheEnd) {
  ASSERT_NO_FATAL_FAILURE(avvia());
  Cliente fermo(porta);
  ASSERT_TRUE(fermo.connesso());
  ASSERT_TRUE(fermo.invia("GET /versione HTTP/1.1\r\nX-Lenta: aaaa"));
  const auto chiesta = orologio::now();
  EXPECT_TRUE(chiedi(porta, "GET /versione HTTP/1.1\r\n\r\n").ends_with("\r\n\r\n1"));
  EXPECT_LT(da(chiesta), 1s);

  const auto salvata = orologio::now();
  ASSERT_NO_FATAL_FAILURE(salva_come_un_editor(c.percorso().string(), con_errore()));
  const auto seconda = w->riga("watch: rebuild 2 ", 5s);
  ASSERT_TRUE(seconda) << w->letto;
  EXPECT_TRUE(seconda->ends_with(": error 15")) << *seconda;
  EXPECT_LT(da(salvata), 3s);

  const auto fermata = orologio::now();
  EXPECT_EQ(w->ferma(CTRL_C_EVENT, 3s), 0) << w->letto << "(key error " << w->errore_tasto << ")";
  EXPECT_LT(da(fermata), 3s);
}

}  // namespace
}  // namespace cmp::prova
