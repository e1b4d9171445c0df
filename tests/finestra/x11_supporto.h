#pragma once
// What the window tests share: the DISPLAY variable put back afterwards, an Xvfb of
// their own when no X server is at hand, child processes with a time limit, and the
// search for a window of a given process and role.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#ifdef COMPATTATORE_X11
#include <gtest/gtest.h>  // before the X headers, whose macros (None, Bool) clash with it
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string_view>
#include <vector>
#endif

namespace cmp::prova {

using namespace std::chrono_literals;

// Sets or removes DISPLAY for the life of the object, then puts back what was there.
class DisplayTemporaneo {
 public:
  DisplayTemporaneo() {
    if (const char* v = std::getenv("DISPLAY")) vecchio_ = v;
  }
  explicit DisplayTemporaneo(const std::optional<std::string>& nuovo) : DisplayTemporaneo() { imposta(nuovo); }
  ~DisplayTemporaneo() { imposta(vecchio_); }
  DisplayTemporaneo(const DisplayTemporaneo&) = delete;
  DisplayTemporaneo& operator=(const DisplayTemporaneo&) = delete;

  static void imposta(const std::optional<std::string>& valore) {
    if (valore)
      ::setenv("DISPLAY", valore->c_str(), 1);
    else
      ::unsetenv("DISPLAY");
  }

 private:
  std::optional<std::string> vecchio_;
};

// A display number with no server behind it.
inline std::string display_senza_server() {
  for (int n = 65000;; ++n) {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (::access(socket.c_str(), F_OK) != 0) return ":" + std::to_string(n);
  }
}

// Waits for a child to end; nullopt when it is still running at the limit.
inline std::optional<int> attendi_figlio(pid_t pid, std::chrono::milliseconds limite) {
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    int stato = 0;
    const pid_t r = ::waitpid(pid, &stato, WNOHANG);
    if (r == pid) return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
    if (r < 0 || std::chrono::steady_clock::now() >= scadenza) return std::nullopt;
    std::this_thread::sleep_for(10ms);
  }
}

inline void termina_figlio(pid_t pid) {
  ::kill(pid, SIGKILL);
  int stato = 0;
  ::waitpid(pid, &stato, 0);
}

// An Xvfb started for one test: -displayfd lets the server pick a free display number
// and tell it once it accepts connections. Stopped with the object.
class XvfbProprio {
 public:
  XvfbProprio() = default;
  ~XvfbProprio() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      if (!attendi_figlio(pid_, 5s)) termina_figlio(pid_);
    }
  }
  XvfbProprio(const XvfbProprio&) = delete;
  XvfbProprio& operator=(const XvfbProprio&) = delete;

  // The display name, or nullopt when Xvfb is missing or does not come up.
  std::optional<std::string> avvia() {
    int tubo[2];
    if (::pipe(tubo) != 0) return std::nullopt;
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives a test that crashed
      ::close(tubo[0]);
      const int nulla = ::open("/dev/null", O_RDWR);
      ::dup2(nulla, 0);
      ::dup2(nulla, 1);
      ::dup2(nulla, 2);
      const std::string fd = std::to_string(tubo[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(tubo[1]);
    std::string numero;
    if (pid_ > 0) numero = leggi_numero(tubo[0]);
    ::close(tubo[0]);
    if (numero.empty()) return std::nullopt;
    return ":" + numero;
  }

 private:
  static std::string leggi_numero(int fd) {
    std::string numero;
    const auto scadenza = std::chrono::steady_clock::now() + 20s;
    for (;;) {
      const auto resto =
          std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - std::chrono::steady_clock::now());
      pollfd p{fd, POLLIN, 0};
      if (resto.count() <= 0 || ::poll(&p, 1, static_cast<int>(resto.count())) <= 0) return {};
      char c;
      if (::read(fd, &c, 1) != 1) return {};  // Xvfb missing or ended
      if (c == '\n') return numero;
      numero += c;
    }
  }

  pid_t pid_ = -1;
};

#ifdef COMPATTATORE_X11

struct ChiudiDisplayProva {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using ConnessioneX = std::unique_ptr<Display, ChiudiDisplayProva>;

// A connection to the X server named by DISPLAY; when there is none (or it does not
// open), an Xvfb of the test's own becomes DISPLAY. Empty when neither works.
class ServerX {
 public:
  ConnessioneX connetti() {
    if (std::getenv("DISPLAY") != nullptr) {
      if (Display* d = XOpenDisplay(nullptr)) return ConnessioneX(d);
    }
    const auto nome = xvfb_.avvia();
    if (!nome) return nullptr;
    DisplayTemporaneo::imposta(*nome);
    return ConnessioneX(XOpenDisplay(nullptr));
  }

 private:
  DisplayTemporaneo display_;  // put back after the server has gone
  XvfbProprio xvfb_;
};

inline std::string proprieta_testo(Display* d, Window w, Atom nome) {
  Atom tipo = None;
  int formato = 0;
  unsigned long quanti = 0, resto = 0;
  unsigned char* dati = nullptr;
  std::string valore;
  if (XGetWindowProperty(d, w, nome, 0, 1024, False, AnyPropertyType, &tipo, &formato, &quanti, &resto, &dati) ==
          Success &&
      dati != nullptr) {
    if (formato == 8) valore.assign(reinterpret_cast<const char*>(dati), quanti);
    XFree(dati);
  }
  return valore;
}

inline std::vector<long> proprieta_numeri(Display* d, Window w, Atom nome) {
  Atom tipo = None;
  int formato = 0;
  unsigned long quanti = 0, resto = 0;
  unsigned char* dati = nullptr;
  std::vector<long> valori;
  if (XGetWindowProperty(d, w, nome, 0, 1024, False, AnyPropertyType, &tipo, &formato, &quanti, &resto, &dati) ==
          Success &&
      dati != nullptr) {
    if (formato == 32) valori.assign(reinterpret_cast<const long*>(dati), reinterpret_cast<const long*>(dati) + quanti);
    XFree(dati);
  }
  return valori;
}

inline Window cerca_sotto(Display* d, Window w, pid_t pid, std::string_view ruolo) {
  const Atom atomo_pid = XInternAtom(d, "_NET_WM_PID", False);
  const Atom atomo_ruolo = XInternAtom(d, "WM_WINDOW_ROLE", False);
  Window radice = None, genitore = None, *figli = nullptr;
  unsigned int quanti = 0;
  if (!XQueryTree(d, w, &radice, &genitore, &figli, &quanti)) return None;
  Window trovata = None;
  for (unsigned int i = 0; i < quanti && trovata == None; ++i) {
    const auto pid_finestra = proprieta_numeri(d, figli[i], atomo_pid);
    XWindowAttributes a{};
    if (!pid_finestra.empty() && pid_finestra[0] == pid && proprieta_testo(d, figli[i], atomo_ruolo) == ruolo &&
        XGetWindowAttributes(d, figli[i], &a) && a.map_state == IsViewable) {
      trovata = figli[i];
    } else {
      trovata = cerca_sotto(d, figli[i], pid, ruolo);  // under a frame of a window manager
    }
  }
  if (figli != nullptr) XFree(figli);
  return trovata;
}

// The viewable window of this process with this WM_WINDOW_ROLE, waited for up to `limite`.
inline Window attendi_finestra(Display* d, pid_t pid, std::string_view ruolo, std::chrono::milliseconds limite = 10s) {
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    const Window w = cerca_sotto(d, DefaultRootWindow(d), pid, ruolo);
    if (w != None || std::chrono::steady_clock::now() >= scadenza) return w;
    std::this_thread::sleep_for(20ms);
  }
}

struct Pixel {
  int rosso, verde, blu;
  bool scuro() const { return rosso < 0x60 && verde < 0x60 && blu < 0x60; }
  bool operator==(const Pixel&) const = default;
};

// The window's pixels as the server holds them.
class Istantanea {
 public:
  Istantanea(Display* d, Window w) {
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    larghezza_ = a.width;
    altezza_ = a.height;
    immagine_ =
        XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    visual_ = a.visual;
  }
  ~Istantanea() {
    if (immagine_ != nullptr) XDestroyImage(immagine_);
  }
  Istantanea(const Istantanea&) = delete;
  Istantanea& operator=(const Istantanea&) = delete;

  bool valida() const { return immagine_ != nullptr; }
  int larghezza() const { return larghezza_; }
  int altezza() const { return altezza_; }
  // A TrueColor visual, as Xvfb's 24-bit screen has.
  Pixel operator()(int x, int y) const {
    const unsigned long v = XGetPixel(immagine_, x, y);
    return {canale(v, visual_->red_mask), canale(v, visual_->green_mask), canale(v, visual_->blue_mask)};
  }

 private:
  static int canale(unsigned long v, unsigned long maschera) {
    int spostamento = 0;
    while (maschera != 0 && (maschera & 1) == 0) {
      maschera >>= 1;
      ++spostamento;
    }
    return static_cast<int>((v >> spostamento) & maschera) * 255 / static_cast<int>(maschera);
  }

  XImage* immagine_ = nullptr;
  Visual* visual_ = nullptr;
  int larghezza_ = 0;
  int altezza_ = 0;
};

inline constexpr const char* kMotivoSalto =
    "no X server: DISPLAY is unset or does not open, and Xvfb could not be started "
    "(apt-get install xvfb, or start one and set DISPLAY)";

// A test that talks to an X server: the one of DISPLAY, or an Xvfb of its own.
class ProvaX11 : public testing::Test {
 protected:
  void SetUp() override {
    x_ = server_.connetti();
    if (!x_) GTEST_SKIP() << kMotivoSalto;
  }
  Display* x() const { return x_.get(); }

 private:
  ServerX server_;
  ConnessioneX x_;
};

#endif  // COMPATTATORE_X11

}  // namespace cmp::prova
