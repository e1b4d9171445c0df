#include "finestra/x11_riquadro_errore.h"

#include <X11/keysym.h>

namespace cmp::x11 {
namespace {

constexpr std::string_view kTestoPulsante = "OK";

int larghezza_testo(Display* d, XftFont* carattere, std::string_view testo) {
  XGlyphInfo misura{};
  XftTextExtentsUtf8(d, carattere, reinterpret_cast<const FcChar8*>(testo.data()), static_cast<int>(testo.size()),
                     &misura);
  return misura.xOff;
}

void scrivi(XftDraw* disegno, const XftColor& colore, XftFont* carattere, int x, int linea_base,
            std::string_view testo) {
  XftDrawStringUtf8(disegno, &colore, carattere, x, linea_base, reinterpret_cast<const FcChar8*>(testo.data()),
                    static_cast<int>(testo.size()));
}

// The tell-tale keys of a message box with only OK: both Enters, Escape, and the space
// bar, which presses the focused button.
bool tasto_che_chiude(KeySym tasto) {
  return tasto == XK_Return || tasto == XK_KP_Enter || tasto == XK_Escape || tasto == XK_space;
}

class Riquadro {
 public:
  Riquadro(const Schermo& schermo, XftFont* carattere, const std::string& messaggio, Window proprietaria)
      : schermo_(schermo), d_(schermo.display()), carattere_(carattere), messaggio_(messaggio) {
    disposizione_ = disponi_riquadro(larghezza_testo(d_, carattere_, messaggio_),
                                     carattere_->ascent + carattere_->descent, schermo.dpi());
    finestra_ =
        schermo.crea_finestra(disposizione_.larghezza, disposizione_.altezza, kRuoloErrore,
                              ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    rendi_modale(proprietaria);
    gc_ = XCreateGC(d_, finestra_, 0, nullptr);
    disegno_ = XftDrawCreate(d_, finestra_, schermo.visual(), schermo.mappa_colori());
  }

  ~Riquadro() {
    XftDrawDestroy(disegno_);
    XFreeGC(d_, gc_);
    XDestroyWindow(d_, finestra_);
    XSync(d_, False);  // gone from the screen before the program goes on to end
  }
  Riquadro(const Riquadro&) = delete;
  Riquadro& operator=(const Riquadro&) = delete;

  void attendi_chiusura() {
    XMapRaised(d_, finestra_);
    XEvent e;
    for (;;) {
      XNextEvent(d_, &e);
      if (e.xany.window != finestra_) continue;  // the waiting window is never repainted
      if (gestisci(e)) return;
    }
  }

 private:
  void rendi_modale(Window proprietaria) {
    const Atomi& a = schermo_.atomi();
    if (proprietaria != None) XSetTransientForHint(d_, finestra_, proprietaria);
    XChangeProperty(d_, finestra_, a.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&a.net_wm_window_type_dialog), 1);
    XChangeProperty(d_, finestra_, a.net_wm_state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&a.net_wm_state_modal), 1);
  }

  // True when the event closes the box.
  bool gestisci(const XEvent& e) {
    switch (e.type) {
      case Expose:
        if (e.xexpose.count == 0) disegna();
        prendi_fuoco();
        return false;
      case KeyPress: {
        XKeyEvent tasto = e.xkey;
        return tasto_che_chiude(XLookupKeysym(&tasto, 0));
      }
      case ButtonPress:
        if (e.xbutton.button == Button1 && disposizione_.pulsante.contiene(e.xbutton.x, e.xbutton.y)) {
          premuto_ = true;
          disegna();
        }
        return false;
      case ButtonRelease:
        if (e.xbutton.button != Button1 || !premuto_) return false;
        premuto_ = false;
        if (disposizione_.pulsante.contiene(e.xbutton.x, e.xbutton.y)) return true;
        disegna();  // released elsewhere: the press is withdrawn
        return false;
      case ClientMessage:
        return e.xclient.message_type == schermo_.atomi().wm_protocols &&
               static_cast<Atom>(e.xclient.data.l[0]) == schermo_.atomi().wm_delete_window;
      default:
        return false;
    }
  }

  // The box is modal: Enter and Escape must reach it even with no window manager.
  void prendi_fuoco() {
    if (fuoco_preso_) return;
    fuoco_preso_ = true;
    XSetInputFocus(d_, finestra_, RevertToParent, CurrentTime);
  }

  void linea(const XftColor& colore, int x1, int y1, int x2, int y2) {
    XSetForeground(d_, gc_, colore.pixel);
    XDrawLine(d_, finestra_, gc_, x1, y1, x2, y2);
  }

  void cornice(const XftColor& alto_sinistra, const XftColor& basso_destra, int x, int y, int l, int a) {
    linea(alto_sinistra, x, y, x + l - 1, y);
    linea(alto_sinistra, x, y, x, y + a - 1);
    linea(basso_destra, x, y + a - 1, x + l - 1, y + a - 1);
    linea(basso_destra, x + l - 1, y, x + l - 1, y + a - 1);
  }

  void disegna() {
    const Colori& c = schermo_.colori();
    XClearWindow(d_, finestra_);
    const Rettangolo& t = disposizione_.testo;
    scrivi(disegno_, c.testo, carattere_, t.x, t.y + carattere_->ascent, messaggio_);

    // The default button: a black frame round a raised (or, while pressed, sunken) face.
    const Rettangolo& p = disposizione_.pulsante;
    cornice(c.testo, c.testo, p.x, p.y, p.larghezza, p.altezza);
    if (premuto_) {
      cornice(c.ombra, c.ombra, p.x + 1, p.y + 1, p.larghezza - 2, p.altezza - 2);
    } else {
      cornice(c.luce, c.ombra_scura, p.x + 1, p.y + 1, p.larghezza - 2, p.altezza - 2);
      cornice(c.sfondo, c.ombra, p.x + 2, p.y + 2, p.larghezza - 4, p.altezza - 4);
    }
    const int spostamento = premuto_ ? 1 : 0;
    const int x = p.x + (p.larghezza - larghezza_testo(d_, carattere_, kTestoPulsante)) / 2 + spostamento;
    const int y = p.y + (p.altezza - (carattere_->ascent + carattere_->descent)) / 2 + carattere_->ascent + spostamento;
    scrivi(disegno_, c.testo, carattere_, x, y, kTestoPulsante);
    XFlush(d_);
  }

  const Schermo& schermo_;
  Display* d_;
  XftFont* carattere_;
  const std::string& messaggio_;
  DisposizioneRiquadro disposizione_;
  Window finestra_ = None;
  GC gc_ = nullptr;
  XftDraw* disegno_ = nullptr;
  bool premuto_ = false;
  bool fuoco_preso_ = false;
};

}  // namespace

void mostra_riquadro_errore(const Schermo& schermo, XftFont* carattere, const std::string& messaggio,
                            Window proprietaria) {
  Riquadro riquadro(schermo, carattere, messaggio, proprietaria);
  riquadro.attendi_chiusura();
}

}  // namespace cmp::x11
