#pragma once
// The connection to the X server and what both windows share: resolution, colours,
// atoms and the properties a window manager reads. Only the X11 files include this.
#include <X11/Xft/Xft.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string_view>

#include "finestra/x11_geometria.h"

namespace cmp::x11 {

struct Atomi {
  Atom wm_protocols;
  Atom wm_delete_window;
  Atom wm_window_role;
  Atom net_wm_name;
  Atom net_wm_pid;
  Atom net_wm_window_type;
  Atom net_wm_window_type_dialog;
  Atom net_wm_state;
  Atom net_wm_state_modal;
  Atom utf8_string;
};

// The classic dialog palette.
struct Colori {
  XftColor sfondo;       // window and button face
  XftColor testo;        // text and the default button's frame
  XftColor luce;         // top and left edge of a raised button
  XftColor ombra;        // bottom and right edge
  XftColor ombra_scura;  // outer bottom and right edge
};

struct ChiudiDisplay {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

class Schermo {
 public:
  // nullptr when the display cannot be opened.
  static std::unique_ptr<Schermo> apri();
  ~Schermo();
  Schermo(const Schermo&) = delete;
  Schermo& operator=(const Schermo&) = delete;

  Display* display() const { return display_.get(); }
  Window radice() const { return RootWindow(display(), numero_); }
  Visual* visual() const { return DefaultVisual(display(), numero_); }
  Colormap mappa_colori() const { return DefaultColormap(display(), numero_); }
  int profondita() const { return DefaultDepth(display(), numero_); }
  double dpi() const { return dpi_; }
  const Atomi& atomi() const { return atomi_; }
  const Colori& colori() const { return colori_; }

  // The sans-serif face fontconfig offers, this many pixels high; nullptr when it
  // offers nothing.
  XftFont* apri_carattere(int pixel, bool grassetto) const;

  // A top-level window of fixed size centred on the screen, grey, with the program's
  // title, its role, its pid and WM_DELETE_WINDOW among its protocols. Not yet mapped.
  Window crea_finestra(int larghezza, int altezza, std::string_view ruolo, long maschera_eventi) const;

 private:
  explicit Schermo(Display* d);
  void prepara_atomi();
  void alloca_colori();

  std::unique_ptr<Display, ChiudiDisplay> display_;
  int numero_ = 0;
  double dpi_ = 96.0;
  Atomi atomi_{};
  Colori colori_{};
};

}  // namespace cmp::x11
