// The waiting window on a real X server (Xvfb when nothing else is at hand).
#ifdef COMPATTATORE_X11
#include <gtest/gtest.h>

#include <algorithm>

#include "finestra/x11_geometria.h"
#include "finestra/x11_interfaccia.h"
#include "supporto.h"
#include "x11_supporto.h"

namespace cmp {
namespace {

using namespace x11;
using prova::Istantanea;
using prova::Pixel;

// Where the dark (text) pixels of the window lie.
struct Inchiostro {
  int quanti = 0;
  int fuori_etichetta = 0;
  int sinistra = 1 << 20, alto = 1 << 20, destra = -1, basso = -1;
};

Inchiostro inchiostro(const Istantanea& im) {
  Inchiostro k;
  for (int y = 0; y < im.altezza(); ++y) {
    for (int x = 0; x < im.larghezza(); ++x) {
      if (!im(x, y).scuro()) continue;
      ++k.quanti;
      if (!kEtichetta.contiene(x, y)) ++k.fuori_etichetta;
      k.sinistra = std::min(k.sinistra, x);
      k.destra = std::max(k.destra, x);
      k.alto = std::min(k.alto, y);
      k.basso = std::max(k.basso, y);
    }
  }
  return k;
}

// Every pixel outside the label's box has the background colour.
int pixel_fuori_dallo_sfondo(const Istantanea& im, Pixel sfondo) {
  int diversi = 0;
  for (int y = 0; y < im.altezza(); ++y)
    for (int x = 0; x < im.larghezza(); ++x)
      if (!kEtichetta.contiene(x, y) && !(im(x, y) == sfondo)) ++diversi;
  return diversi;
}

class FinestraAttesa : public prova::ProvaX11 {};

TEST_F(FinestraAttesa, ShowsAttendereInTheLabelBoxOnAGreyClientAreaOf280By179) {
  auto ui = apri_interfaccia_x11();
  ASSERT_TRUE(ui) << "the display opens for the test but not for the window";
  ui->mostra_attesa();  // returns once the window is on screen, without any event loop

  const Window w = prova::attendi_finestra(x(), ::getpid(), kRuoloAttesa, std::chrono::milliseconds(0));
  ASSERT_NE(w, None) << "the window is not viewable when mostra_attesa returns";
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(x(), w, &a));
  EXPECT_EQ(a.width, 280);
  EXPECT_EQ(a.height, 179);

  Istantanea im(x(), w);
  ASSERT_TRUE(im.valida());
  const Pixel sfondo = im(2, 2);
  EXPECT_GE(std::min({sfondo.rosso, sfondo.verde, sfondo.blu}), 0xb0) << "the background is a light grey";
  EXPECT_LE(std::max({sfondo.rosso, sfondo.verde, sfondo.blu}) - std::min({sfondo.rosso, sfondo.verde, sfondo.blu}),
            0x10);
  EXPECT_EQ(pixel_fuori_dallo_sfondo(im, sfondo), 0) << "the label is cut at its box";

  const Inchiostro k = inchiostro(im);
  EXPECT_GT(k.quanti, 300) << "no text in the label's box";
  EXPECT_EQ(k.fuori_etichetta, 0);
  // The text starts at the label's top-left corner and the whole word is there: the
  // ink stops short of the box's right edge.
  EXPECT_LE(k.sinistra - kEtichetta.x, 6);
  EXPECT_LE(k.alto - kEtichetta.y, 12);
  EXPECT_LT(k.destra, kEtichetta.x + kEtichetta.larghezza - 1) << "the word is cut at the label's edge";
  // Its capitals stand about three quarters of a 24-point face at this screen's
  // resolution ("Attendere" has no descenders), unless a face wider than the window was
  // laid out for had to shrink to fill the label's width.
  const double dpi = scegli_dpi(XGetDefault(x(), "Xft", "dpi"), DisplayWidth(x(), DefaultScreen(x())),
                                DisplayWidthMM(x(), DefaultScreen(x())));
  const double pixel = pixel_carattere(24, dpi);
  const int altezza_inchiostro = k.basso - k.alto + 1;
  const int larghezza_inchiostro = k.destra - k.sinistra + 1;
  EXPECT_LE(altezza_inchiostro, 0.85 * pixel) << "face of " << pixel << " px expected";
  EXPECT_TRUE(altezza_inchiostro >= 0.6 * pixel || larghezza_inchiostro >= 0.9 * kEtichetta.larghezza)
      << "a face of " << pixel << " px, or one that fills the label's width, expected; the ink is "
      << larghezza_inchiostro << " x " << altezza_inchiostro;
  // Bold: the strokes are thick, so the ink covers a good part of its box.
  EXPECT_GT(k.quanti, larghezza_inchiostro * altezza_inchiostro / 5);
}

TEST_F(FinestraAttesa, KeepsItsPictureWhenUncoveredThoughNoEventIsDispatched) {
  auto ui = apri_interfaccia_x11();
  ASSERT_TRUE(ui);
  ui->mostra_attesa();
  const Window w = prova::attendi_finestra(x(), ::getpid(), kRuoloAttesa);
  ASSERT_NE(w, None);
  const int prima = inchiostro(Istantanea(x(), w)).quanti;

  // Another client has the whole window repainted from its background, as the server
  // does when it is uncovered; the run never reads the Expose that follows.
  XClearArea(x(), w, 0, 0, 0, 0, True);
  XSync(x(), False);

  EXPECT_EQ(inchiostro(Istantanea(x(), w)).quanti, prima);
}

TEST_F(FinestraAttesa, HasTheProgramsTitleAndAFixedSize) {
  auto ui = apri_interfaccia_x11();
  ASSERT_TRUE(ui);
  ui->mostra_attesa();
  ui->mostra_attesa();  // a second call shows no second window
  const Window w = prova::attendi_finestra(x(), ::getpid(), kRuoloAttesa);
  ASSERT_NE(w, None);

  char* nome = nullptr;
  ASSERT_TRUE(XFetchName(x(), w, &nome));
  EXPECT_STREQ(nome, "compattatore");
  XFree(nome);
  XSizeHints misura{};
  long forniti = 0;
  ASSERT_TRUE(XGetWMNormalHints(x(), w, &misura, &forniti));
  ASSERT_TRUE((misura.flags & PMinSize) && (misura.flags & PMaxSize));
  EXPECT_EQ(misura.min_width, 280);
  EXPECT_EQ(misura.max_width, 280);
  EXPECT_EQ(misura.min_height, 179);
  EXPECT_EQ(misura.max_height, 179);

  ui.reset();  // the window goes with the interface
  XSync(x(), False);
  EXPECT_EQ(prova::attendi_finestra(x(), ::getpid(), kRuoloAttesa, std::chrono::milliseconds(0)), None);
}

// Xft and the render extension keep records per display; closing one must leave
// nothing behind that a display opened later at the same address would pick up.
TEST_F(FinestraAttesa, OpensAgainAfterAnEarlierInterfaceWasClosed) {
  for (int volta = 0; volta < 5; ++volta) {
    auto ui = apri_interfaccia_x11();
    ASSERT_TRUE(ui);
    ui->mostra_attesa();
    const Window w = prova::attendi_finestra(x(), ::getpid(), kRuoloAttesa);
    ASSERT_NE(w, None) << "time " << volta;
    EXPECT_GT(inchiostro(Istantanea(x(), w)).quanti, 300) << "time " << volta;
  }
}

// Where the window module stands beside a copy of the program, and what the run shows.
struct Installazione {
  const char* nome;
  const char* programma;  // relative to the folder
  const char* modulo;     // nullptr: no module at all
  bool finestra;
};

void PrintTo(const Installazione& c, std::ostream* os) { *os << c.nome; }

const Installazione kInstallazioni[] = {
    {"BesideTheProgram", "compattatore", "libcompattatore_finestra.so", true},
    {"Installed", "bin/compattatore", "lib/compattatore/libcompattatore_finestra.so", true},
    {"Missing", "compattatore", nullptr, false},
};

class RunConDisplay : public FinestraAttesa, public testing::WithParamInterface<Installazione> {};

// The program as a user starts it on a desktop: the window, so no text on the terminal,
// when the module is found from the program's own place; "Attendere" on the terminal when
// it is missing. The run ends by itself either way.
TEST_P(RunConDisplay, FindsTheWindowModuleFromTheProgramsPlaceOrFallsBackToTheTerminal) {
  const Installazione& c = GetParam();
  prova::CartellaTemporanea t;
  const std::filesystem::path programma = t.percorso() / c.programma;
  std::filesystem::create_directories(programma.parent_path());
  std::filesystem::copy_file(COMPATTATORE_EXE, programma);
  if (c.modulo != nullptr) {
    const std::filesystem::path modulo = t.percorso() / c.modulo;
    std::filesystem::create_directories(modulo.parent_path());
    std::filesystem::copy_file(COMPATTATORE_MODULO_FINESTRA, modulo);
  }
  const std::string f_out = t / "uscita.log", f_err = t / "errori.log";
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(f_out.c_str(), "w", stdout) || !std::freopen(f_err.c_str(), "w", stderr)) ::_exit(126);
    ::execl(programma.c_str(), programma.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto stato = prova::attendi_figlio(pid, std::chrono::seconds(60));
  if (!stato) prova::termina_figlio(pid);
  ASSERT_TRUE(stato) << "the run waits for something";
  EXPECT_EQ(*stato, 0) << prova::leggi_tutto(f_err);
  EXPECT_EQ(prova::leggi_tutto(f_out), c.finestra ? "" : "Attendere\n");
  EXPECT_EQ(prova::leggi_tutto(f_err), "");
}

INSTANTIATE_TEST_SUITE_P(Modulo, RunConDisplay, testing::ValuesIn(kInstallazioni),
                         [](const testing::TestParamInfo<Installazione>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace cmp
#endif  // COMPATTATORE_X11
