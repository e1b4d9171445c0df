#include "finestra/x11_schermo.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>

namespace cmp::x11 {
namespace {

XftColor alloca_colore(Display* d, Visual* v, Colormap m, unsigned short rosso, unsigned short verde,
                       unsigned short blu) {
  XRenderColor rc{rosso, verde, blu, 0xffff};
  XftColor c{};
  if (!XftColorAllocValue(d, v, m, &rc, &c)) {
    // A full colormap on an old 8-bit screen: black and white still work.
    const bool chiaro = rosso + verde + blu > 3 * 0x8000;
    c.pixel = chiaro ? WhitePixel(d, DefaultScreen(d)) : BlackPixel(d, DefaultScreen(d));
    c.color = rc;
  }
  return c;
}

// 0xRR to the 16-bit channel X expects.
constexpr unsigned short canale(unsigned v) { return static_cast<unsigned short>(v * 0x101); }

}  // namespace

std::unique_ptr<Schermo> Schermo::apri() {
  const char* nome = std::getenv("DISPLAY");
  if (nome == nullptr || *nome == '\0') return nullptr;
  Display* d = XOpenDisplay(nome);
  if (d == nullptr) return nullptr;
  return std::unique_ptr<Schermo>(new Schermo(d));
}

Schermo::Schermo(Display* d) : display_(d), numero_(DefaultScreen(d)) {
  // The render extension must hook the display's closing before Xft does: hooks run
  // newest first, so Xft then frees its cached fonts while the extension still knows
  // the display, instead of leaving a stale record that a later display at the same
  // address would inherit.
  int base_eventi = 0, base_errori = 0;
  XRenderQueryExtension(d, &base_eventi, &base_errori);
  dpi_ = scegli_dpi(XGetDefault(d, "Xft", "dpi"), DisplayWidth(d, numero_), DisplayWidthMM(d, numero_));
  prepara_atomi();
  alloca_colori();
}

Schermo::~Schermo() {
  for (XftColor* c : {&colori_.sfondo, &colori_.testo, &colori_.luce, &colori_.ombra, &colori_.ombra_scura})
    XftColorFree(display(), visual(), mappa_colori(), c);
}

void Schermo::prepara_atomi() {
  std::array<const char*, 10> nomi = {
      "WM_PROTOCOLS",        "WM_DELETE_WINDOW",           "WM_WINDOW_ROLE", "_NET_WM_NAME",        "_NET_WM_PID",
      "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_STATE",  "_NET_WM_STATE_MODAL", "UTF8_STRING"};
  std::array<Atom, 10> a{};
  XInternAtoms(display(), const_cast<char**>(nomi.data()), static_cast<int>(nomi.size()), False, a.data());
  atomi_ = {a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]};
}

void Schermo::alloca_colori() {
  Display* d = display();
  colori_.sfondo = alloca_colore(d, visual(), mappa_colori(), canale(0xd4), canale(0xd0), canale(0xc8));
  colori_.testo = alloca_colore(d, visual(), mappa_colori(), 0, 0, 0);
  colori_.luce = alloca_colore(d, visual(), mappa_colori(), 0xffff, 0xffff, 0xffff);
  colori_.ombra = alloca_colore(d, visual(), mappa_colori(), canale(0x80), canale(0x80), canale(0x80));
  colori_.ombra_scura = alloca_colore(d, visual(), mappa_colori(), canale(0x40), canale(0x40), canale(0x40));
}

XftFont* Schermo::apri_carattere(int pixel, bool grassetto) const {
  return XftFontOpen(display(), numero_, FC_FAMILY, FcTypeString, "sans-serif", FC_WEIGHT, FcTypeInteger,
                     grassetto ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, FC_SLANT, FcTypeInteger, FC_SLANT_ROMAN,
                     FC_PIXEL_SIZE, FcTypeDouble, static_cast<double>(pixel), FC_DPI, FcTypeDouble, dpi_, nullptr);
}

Window Schermo::crea_finestra(int larghezza, int altezza, std::string_view ruolo, long maschera_eventi) const {
  Display* d = display();
  const int x = (DisplayWidth(d, numero_) - larghezza) / 2;
  const int y = (DisplayHeight(d, numero_) - altezza) / 2;
  XSetWindowAttributes attributi{};
  attributi.background_pixel = colori_.sfondo.pixel;
  attributi.border_pixel = colori_.testo.pixel;
  attributi.event_mask = maschera_eventi;
  const Window w =
      XCreateWindow(d, radice(), x, y, static_cast<unsigned>(larghezza), static_cast<unsigned>(altezza), 0,
                    CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask, &attributi);

  // The window keeps its size: the window manager offers no resizing.
  XSizeHints* misura = XAllocSizeHints();
  misura->flags = PPosition | PSize | PMinSize | PMaxSize;
  misura->x = x;
  misura->y = y;
  misura->width = misura->min_width = misura->max_width = larghezza;
  misura->height = misura->min_height = misura->max_height = altezza;
  XWMHints* suggerimenti = XAllocWMHints();
  suggerimenti->flags = InputHint | StateHint;
  suggerimenti->input = True;
  suggerimenti->initial_state = NormalState;
  XClassHint* classe = XAllocClassHint();
  std::string nome_classe(kTitolo);
  std::string classe_classe = "Compattatore";
  classe->res_name = nome_classe.data();
  classe->res_class = classe_classe.data();
  std::string titolo(kTitolo);
  Xutf8SetWMProperties(d, w, titolo.c_str(), titolo.c_str(), nullptr, 0, misura, suggerimenti, classe);
  XFree(misura);
  XFree(suggerimenti);
  XFree(classe);

  XChangeProperty(d, w, atomi_.net_wm_name, atomi_.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(titolo.data()), static_cast<int>(titolo.size()));
  XChangeProperty(d, w, atomi_.wm_window_role, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(ruolo.data()), static_cast<int>(ruolo.size()));
  const long pid = static_cast<long>(::getpid());
  XChangeProperty(d, w, atomi_.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  Atom protocolli = atomi_.wm_delete_window;
  XSetWMProtocols(d, w, &protocolli, 1);
  return w;
}

}  // namespace cmp::x11
