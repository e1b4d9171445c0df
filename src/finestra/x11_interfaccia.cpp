#include "finestra/x11_interfaccia.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "finestra/x11_riquadro_errore.h"
#include "finestra/x11_schermo.h"

namespace cmp {
namespace {

using namespace x11;

// How long the waiting window waits to be exposed: a window manager that holds a new
// window back must not stall the run.
constexpr std::chrono::milliseconds kAttesaEsposizione{2000};
// Below this the label would not be read anyway.
constexpr int kPixelMinimoEtichetta = 8;

bool attendi_esposizione(Display* d, Window w, std::chrono::milliseconds limite) {
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  XFlush(d);
  XEvent e;
  for (;;) {
    if (XCheckTypedWindowEvent(d, w, Expose, &e)) return true;
    const auto resto =
        std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - std::chrono::steady_clock::now());
    if (resto.count() <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(resto.count()));
  }
}

// How far the ink of the text reaches from the pen's starting point.
int estensione_testo(Display* d, XftFont* carattere, std::string_view testo) {
  XGlyphInfo misura{};
  XftTextExtentsUtf8(d, carattere, reinterpret_cast<const FcChar8*>(testo.data()), static_cast<int>(testo.size()),
                     &misura);
  return std::max<int>(misura.xOff, misura.width - misura.x);
}

// The label's face: bold, 24 points at the screen's resolution, or smaller when the
// face fontconfig offers is wider than the one the window was laid out for, so that
// the word is never cut at the label's edge.
XftFont* apri_carattere_etichetta(const Schermo& schermo) {
  int pixel = pixel_carattere(kPuntiEtichetta, schermo.dpi());
  for (;;) {
    XftFont* carattere = schermo.apri_carattere(pixel, true);
    if (carattere == nullptr) return nullptr;
    const int larghezza = estensione_testo(schermo.display(), carattere, kTestoEtichetta);
    const bool entra = larghezza <= kEtichetta.larghezza && carattere->ascent <= kEtichetta.altezza;
    if (entra || pixel <= kPixelMinimoEtichetta) return carattere;
    XftFontClose(schermo.display(), carattere);
    const int in_larghezza = larghezza > 0 ? pixel * kEtichetta.larghezza / larghezza : pixel;
    pixel = std::max(kPixelMinimoEtichetta, std::min(pixel - 1, in_larghezza));
  }
}

class InterfacciaX11 final : public Interfaccia {
 public:
  InterfacciaX11(std::unique_ptr<Schermo> schermo, XftFont* etichetta, XftFont* messaggio)
      : schermo_(std::move(schermo)), carattere_etichetta_(etichetta), carattere_messaggio_(messaggio) {}

  ~InterfacciaX11() override {
    Display* d = schermo_->display();
    if (attesa_ != None) XDestroyWindow(d, attesa_);
    XftFontClose(d, carattere_etichetta_);
    XftFontClose(d, carattere_messaggio_);
  }
  InterfacciaX11(const InterfacciaX11&) = delete;
  InterfacciaX11& operator=(const InterfacciaX11&) = delete;

  void mostra_attesa() override {
    if (attesa_ != None) return;
    Display* d = schermo_->display();
    attesa_ = schermo_->crea_finestra(kLarghezzaAttesa, kAltezzaAttesa, kRuoloAttesa, ExposureMask);
    // The run dispatches no events, so the picture becomes the window's background:
    // the server itself restores it whenever the window is uncovered.
    const Pixmap immagine = disegna_attesa();
    XSetWindowBackgroundPixmap(d, attesa_, immagine);
    XFreePixmap(d, immagine);
    XMapRaised(d, attesa_);
    attendi_esposizione(d, attesa_, kAttesaEsposizione);
    XClearWindow(d, attesa_);
    XFlush(d);
    XSync(d, False);
  }

  void mostra_errore(const std::string& messaggio) override {
    // A log of the run keeps the message too.
    std::fprintf(stderr, "%s\n", messaggio.c_str());
    std::fflush(stderr);
    mostra_riquadro_errore(*schermo_, carattere_messaggio_, messaggio, attesa_);
  }

 private:
  // The waiting window: grey, and the word from its box's top-left corner, cut at the box.
  Pixmap disegna_attesa() {
    Display* d = schermo_->display();
    const Colori& c = schermo_->colori();
    const Pixmap p =
        XCreatePixmap(d, attesa_, kLarghezzaAttesa, kAltezzaAttesa, static_cast<unsigned>(schermo_->profondita()));
    XftDraw* disegno = XftDrawCreate(d, p, schermo_->visual(), schermo_->mappa_colori());
    XftDrawRect(disegno, &c.sfondo, 0, 0, kLarghezzaAttesa, kAltezzaAttesa);
    XRectangle scatola{static_cast<short>(kEtichetta.x), static_cast<short>(kEtichetta.y),
                       static_cast<unsigned short>(kEtichetta.larghezza),
                       static_cast<unsigned short>(kEtichetta.altezza)};
    XftDrawSetClipRectangles(disegno, 0, 0, &scatola, 1);
    XftDrawStringUtf8(
        disegno, &c.testo, carattere_etichetta_, kEtichetta.x, kEtichetta.y + carattere_etichetta_->ascent,
        reinterpret_cast<const FcChar8*>(kTestoEtichetta.data()), static_cast<int>(kTestoEtichetta.size()));
    XftDrawDestroy(disegno);
    return p;
  }

  std::unique_ptr<Schermo> schermo_;
  XftFont* carattere_etichetta_;
  XftFont* carattere_messaggio_;
  Window attesa_ = None;
};

}  // namespace

std::unique_ptr<Interfaccia> apri_interfaccia_x11() {
  auto schermo = Schermo::apri();
  if (!schermo) return nullptr;
  XftFont* etichetta = apri_carattere_etichetta(*schermo);
  XftFont* messaggio = schermo->apri_carattere(pixel_carattere(kPuntiMessaggio, schermo->dpi()), false);
  if (etichetta == nullptr || messaggio == nullptr) {
    if (etichetta != nullptr) XftFontClose(schermo->display(), etichetta);
    if (messaggio != nullptr) XftFontClose(schermo->display(), messaggio);
    return nullptr;
  }
  return std::make_unique<InterfacciaX11>(std::move(schermo), etichetta, messaggio);
}

}  // namespace cmp
