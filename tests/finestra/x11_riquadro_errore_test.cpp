// The error box on a real X server: each way of closing it, what leaves it open, and
// the end of the program after it. The box runs in a child process, since it waits.
#ifdef COMPATTATORE_X11
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "finestra/errore.h"
#include "finestra/x11_geometria.h"
#include "finestra/x11_interfaccia.h"
#include "supporto.h"
#include "x11_supporto.h"

namespace cmp {
namespace {

using namespace std::chrono_literals;
using namespace x11;

void invia(Display* d, Window w, long maschera, XEvent& e) {
  ASSERT_TRUE(XSendEvent(d, w, False, maschera, &e));
  XFlush(d);
}

void premi_tasto(Display* d, Window w, KeySym tasto) {
  XEvent e{};
  e.xkey.type = KeyPress;
  e.xkey.display = d;
  e.xkey.window = w;
  e.xkey.root = DefaultRootWindow(d);
  e.xkey.subwindow = None;
  e.xkey.time = CurrentTime;
  e.xkey.same_screen = True;
  e.xkey.keycode = XKeysymToKeycode(d, tasto);
  ASSERT_NE(e.xkey.keycode, 0u) << "the server's keymap lacks the key";
  invia(d, w, KeyPressMask, e);
}

void pulsante_mouse(Display* d, Window w, int tipo, int x, int y) {
  XEvent e{};
  e.xbutton.type = tipo;
  e.xbutton.display = d;
  e.xbutton.window = w;
  e.xbutton.root = DefaultRootWindow(d);
  e.xbutton.time = CurrentTime;
  e.xbutton.x = x;
  e.xbutton.y = y;
  e.xbutton.button = Button1;
  e.xbutton.same_screen = True;
  invia(d, w, tipo == ButtonPress ? ButtonPressMask : ButtonReleaseMask, e);
}

void messaggio_protocollo(Display* d, Window w, const char* protocollo) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, protocollo, False));
  e.xclient.data.l[1] = CurrentTime;
  invia(d, w, NoEventMask, e);
}

// The centre of OK: the button sits centred at the bottom of the box.
std::pair<int, int> centro_ok(Display* d, Window w) {
  XWindowAttributes a{};
  XGetWindowAttributes(d, w, &a);
  const int s = DefaultScreen(d);
  const double dpi = scegli_dpi(XGetDefault(d, "Xft", "dpi"), DisplayWidth(d, s), DisplayWidthMM(d, s));
  const DisposizioneRiquadro vuota = disponi_riquadro(0, 0, dpi);
  const int sotto = vuota.altezza - vuota.pulsante.y - vuota.pulsante.altezza;
  return {a.width / 2, a.height - sotto - vuota.pulsante.altezza / 2};
}

void clic(Display* d, Window w, int x, int y) {
  pulsante_mouse(d, w, ButtonPress, x, y);
  pulsante_mouse(d, w, ButtonRelease, x, y);
}

// A child process with the waiting window up and then the box; it ends with status 0
// when mostra_errore returns, or as `errore` ends it.
class RiquadroErrore : public prova::ProvaX11 {
 protected:
  void avvia(bool con_errore) {
    std::fflush(nullptr);
    figlio_ = ::fork();
    if (figlio_ != 0) return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // a box nobody will close must not outlive the test
    if (!std::freopen(f_out_.c_str(), "w", stdout) || !std::freopen(f_err_.c_str(), "w", stderr)) ::_exit(126);
    {
      auto ui = apri_interfaccia_x11();
      if (!ui) ::_exit(120);
      ui->mostra_attesa();
      if (con_errore) ::_exit(errore(*ui, errore_finale::posto_scenario));
      ui->mostra_errore(" Errore n. 1250");
    }
    std::fflush(nullptr);
    ::_exit(0);
  }

  void TearDown() override {
    if (figlio_ > 0 && !prova::attendi_figlio(figlio_, 0ms)) prova::termina_figlio(figlio_);
  }

  // The box once it is on screen, the child still waiting in it.
  Window riquadro() {
    const Window w = prova::attendi_finestra(x(), figlio_, kRuoloErrore);
    EXPECT_FALSE(prova::attendi_figlio(figlio_, 0ms)) << "the child ended before the box was closed";
    return w;
  }

  bool ancora_aperto(std::chrono::milliseconds per) { return !prova::attendi_figlio(figlio_, per); }

  std::optional<int> fine() {
    auto stato = prova::attendi_figlio(figlio_, 10s);
    if (stato) figlio_ = -1;
    return stato;
  }

  prova::CartellaTemporanea t_;
  const std::string f_out_ = t_ / "uscita.log";
  const std::string f_err_ = t_ / "errori.log";
  pid_t figlio_ = -1;
};

struct Chiusura {
  const char* nome;
  void (*chiudi)(Display*, Window);
};

void PrintTo(const Chiusura& c, std::ostream* os) { *os << c.nome; }

const Chiusura kChiusure[] = {
    {"Return", [](Display* d, Window w) { premi_tasto(d, w, XK_Return); }},
    {"KeypadEnter", [](Display* d, Window w) { premi_tasto(d, w, XK_KP_Enter); }},
    {"Escape", [](Display* d, Window w) { premi_tasto(d, w, XK_Escape); }},
    {"Space", [](Display* d, Window w) { premi_tasto(d, w, XK_space); }},
    {"WindowManagerClose", [](Display* d, Window w) { messaggio_protocollo(d, w, "WM_DELETE_WINDOW"); }},
    {"ClickOnOk",
     [](Display* d, Window w) {
       const auto [x, y] = centro_ok(d, w);
       clic(d, w, x, y);
     }},
};

class ModiDiChiusura : public RiquadroErrore, public testing::WithParamInterface<Chiusura> {};

TEST_P(ModiDiChiusura, ClosesTheBoxAndMostraErroreReturns) {
  avvia(false);
  const Window w = riquadro();
  ASSERT_NE(w, None) << "no error box on screen";
  GetParam().chiudi(x(), w);
  const auto stato = fine();
  ASSERT_TRUE(stato) << "the box did not close";
  EXPECT_EQ(*stato, 0);
}

INSTANTIATE_TEST_SUITE_P(Riquadro, ModiDiChiusura, testing::ValuesIn(kChiusure),
                         [](const testing::TestParamInfo<Chiusura>& i) { return std::string(i.param.nome); });

TEST_F(RiquadroErrore, OtherInputLeavesItOpen) {
  avvia(false);
  const Window w = riquadro();
  ASSERT_NE(w, None);
  premi_tasto(x(), w, XK_a);
  clic(x(), w, 2, 2);  // beside the button
  const auto [ox, oy] = centro_ok(x(), w);
  pulsante_mouse(x(), w, ButtonPress, ox, oy);  // pressed on OK, released away from it
  pulsante_mouse(x(), w, ButtonRelease, 2, 2);
  messaggio_protocollo(x(), w, "WM_TAKE_FOCUS");
  EXPECT_TRUE(ancora_aperto(500ms));
  premi_tasto(x(), w, XK_Escape);
  EXPECT_TRUE(fine());
}

TEST_F(RiquadroErrore, IsAModalDialogOverTheWaitingWindowShowingTheMessageAlsoOnStandardError) {
  avvia(false);
  const Window w = riquadro();
  ASSERT_NE(w, None);
  // The log has the message while the box still waits.
  EXPECT_EQ(prova::leggi_tutto(f_err_), " Errore n. 1250\n");

  Window proprietaria = None;
  ASSERT_TRUE(XGetTransientForHint(x(), w, &proprietaria));
  EXPECT_EQ(proprietaria, prova::attendi_finestra(x(), figlio_, kRuoloAttesa));
  const auto stato = prova::proprieta_numeri(x(), w, XInternAtom(x(), "_NET_WM_STATE", False));
  EXPECT_NE(std::find(stato.begin(), stato.end(), static_cast<long>(XInternAtom(x(), "_NET_WM_STATE_MODAL", False))),
            stato.end());
  char* nome = nullptr;
  ASSERT_TRUE(XFetchName(x(), w, &nome));
  EXPECT_STREQ(nome, "compattatore");
  XFree(nome);

  // The message is drawn above the button.
  const int sopra_ok = centro_ok(x(), w).second - 20;
  prova::Istantanea im(x(), w);
  ASSERT_TRUE(im.valida());
  int scuri = 0;
  for (int y = 0; y < sopra_ok; ++y)
    for (int xx = 0; xx < im.larghezza(); ++xx) scuri += im(xx, y).scuro() ? 1 : 0;
  EXPECT_GT(scuri, 40) << "no message in the box";

  premi_tasto(x(), w, XK_Return);
  EXPECT_TRUE(fine());
}

// errore with the window: the box, then the end of the program with status 2, and
// nothing on the terminal but the message.
TEST_F(RiquadroErrore, ErroreEndsTheProgramOnceTheBoxIsClosed) {
  avvia(true);
  const Window w = riquadro();
  ASSERT_NE(w, None);
  premi_tasto(x(), w, XK_Return);
  const auto stato = fine();
  ASSERT_TRUE(stato) << "the program did not end";
  EXPECT_EQ(*stato, kUscitaFinale);
  EXPECT_EQ(prova::leggi_tutto(f_out_), "");
  EXPECT_EQ(prova::leggi_tutto(f_err_), " Errore n. 1250\n");
}

}  // namespace
}  // namespace cmp
#endif  // COMPATTATORE_X11
