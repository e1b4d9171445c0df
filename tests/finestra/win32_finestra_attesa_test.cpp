// The waiting window as Windows itself reports it (under Wine with an X display in the
// tests): the client area, the one label, its text, box and font, and its picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "finestra/win32_geometria.h"
#include "finestra/win32_interfaccia.h"
#include "win32_supporto.h"

namespace cmp {
namespace {

using namespace win32;

class FinestraAttesaWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_ = apri_interfaccia_win32();
    if (!ui_) GTEST_SKIP() << "no window can be made here (under Wine: no X display)";
  }
  // The window, once shown.
  HWND mostra() {
    ui_->mostra_attesa();
    const auto trovate = prova::finestre_di(GetCurrentProcessId(), prova::largo(kClasseAttesa));
    return trovate.size() == 1 ? trovate.front() : nullptr;
  }
  DisposizioneAttesa attesa_qui() const {
    const auto [x, y] = prova::dpi_schermo();
    return disponi_attesa(x, y);
  }
  std::unique_ptr<Interfaccia> ui_;
};

TEST_F(FinestraAttesaWin32, IsHiddenUntilShownAndThenHasTheFormsClientArea) {
  EXPECT_TRUE(prova::finestre_di(GetCurrentProcessId(), prova::largo(kClasseAttesa)).empty())
      << "the window shows only when the run asks for it";
  const HWND w = mostra();
  ASSERT_NE(w, nullptr) << "one visible waiting window once mostra_attesa returns";
  RECT client{};
  ASSERT_TRUE(GetClientRect(w, &client));
  const DisposizioneAttesa d = attesa_qui();
  EXPECT_EQ(client.right, d.larghezza);
  EXPECT_EQ(client.bottom, d.altezza);
  EXPECT_EQ(prova::testo_di(w), L"compattatore");
  EXPECT_EQ(GetParent(w), nullptr);
  const LONG_PTR stile = GetWindowLongPtrW(w, GWL_STYLE);
  EXPECT_TRUE(stile & WS_CAPTION);
  EXPECT_FALSE(stile & WS_THICKFRAME) << "a fixed size, as the form's";
  EXPECT_FALSE(stile & WS_MAXIMIZEBOX);
}

TEST_F(FinestraAttesaWin32, HoldsOneStaticLabelAttendereInItsBox) {
  const HWND w = mostra();
  ASSERT_NE(w, nullptr);
  const auto figli = prova::figli_di(w);
  ASSERT_EQ(figli.size(), 1u);
  const HWND etichetta = figli.front();
  EXPECT_EQ(_wcsicmp(prova::classe_di(etichetta).c_str(), L"Static"), 0) << "a static control";
  EXPECT_EQ(prova::testo_di(etichetta), L"Attendere");
  EXPECT_TRUE(IsWindowVisible(etichetta));
  EXPECT_EQ(prova::rettangolo_nel_padre(etichetta), attesa_qui().etichetta);
  EXPECT_EQ(GetWindowLongPtrW(etichetta, GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP)
      << "left-aligned, cut at its box, never wrapped";
}

// The word's ink box in this face: width and height.
SIZE misura_parola(HWND finestra, HFONT carattere) {
  const HDC dc = GetDC(finestra);
  const HGDIOBJ prima = SelectObject(dc, carattere);
  SIZE parola{};
  GetTextExtentPoint32W(dc, L"Attendere", 9, &parola);
  SelectObject(dc, prima);
  ReleaseDC(finestra, dc);
  return parola;
}

TEST_F(FinestraAttesaWin32, TheLabelsFontIsMsSansSerif24PointBoldAnsi) {
  const HWND w = mostra();
  ASSERT_NE(w, nullptr);
  const HWND etichetta = prova::figli_di(w).at(0);
  const auto carattere = reinterpret_cast<HFONT>(SendMessageW(etichetta, WM_GETFONT, 0, 0));
  ASSERT_NE(carattere, nullptr) << "the label keeps the system's font";
  LOGFONTW f{};
  ASSERT_EQ(GetObjectW(carattere, sizeof f, &f), static_cast<int>(sizeof f));
  EXPECT_EQ(std::wstring(f.lfFaceName), L"MS Sans Serif");
  EXPECT_EQ(f.lfWeight, 700);
  EXPECT_EQ(f.lfItalic, 0);
  EXPECT_EQ(f.lfUnderline, 0);
  EXPECT_EQ(f.lfStrikeOut, 0);
  EXPECT_EQ(f.lfCharSet, ANSI_CHARSET);

  // 24 points, asked for as the character's height rather than the cell's; smaller only
  // where the face the system gives for it would cut the word, and then the largest that
  // does not (Wine has no 24-point MS Sans Serif of its own).
  const DisposizioneAttesa d = attesa_qui();
  const SIZE parola = misura_parola(etichetta, carattere);
  EXPECT_LE(parola.cx, d.etichetta.larghezza) << "the word is cut at the label's edge";
  EXPECT_LE(parola.cy, d.etichetta.altezza);
  ASSERT_LT(f.lfHeight, 0);
  EXPECT_LE(-f.lfHeight, d.altezza_carattere);
  if (-f.lfHeight < d.altezza_carattere) {
    LOGFONTW piu_grande = f;
    piu_grande.lfHeight = f.lfHeight - 1;
    const HFONT prova = CreateFontIndirectW(&piu_grande);
    EXPECT_GT(misura_parola(etichetta, prova).cx, d.etichetta.larghezza) << "a larger size would have fitted";
    DeleteObject(prova);
  }

  // What the system makes of it: bold, in the ANSI character set.
  const HDC dc = GetDC(etichetta);
  const HGDIOBJ prima = SelectObject(dc, carattere);
  TEXTMETRICW m{};
  ASSERT_TRUE(GetTextMetricsW(dc, &m));
  SelectObject(dc, prima);
  ReleaseDC(etichetta, dc);
  EXPECT_GE(m.tmWeight, 700);
  EXPECT_EQ(m.tmCharSet, ANSI_CHARSET);
}

// Dark pixels of the client area, inside the label's box and outside it.
struct Inchiostro {
  int dentro = 0;
  int fuori = 0;
  int diversi_dallo_sfondo_fuori = 0;
};

Inchiostro inchiostro(HWND w, const Rettangolo& etichetta, int larghezza, int altezza) {
  Inchiostro k;
  const COLORREF sfondo = GetSysColor(COLOR_BTNFACE);
  const HDC dc = GetDC(w);
  for (int y = 0; y < altezza; ++y) {
    for (int x = 0; x < larghezza; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      const bool scuro = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0x60;
      const bool in_etichetta = x >= etichetta.x && y >= etichetta.y && x < etichetta.x + etichetta.larghezza &&
                                y < etichetta.y + etichetta.altezza;
      if (scuro) ++(in_etichetta ? k.dentro : k.fuori);
      if (!in_etichetta && c != sfondo) ++k.diversi_dallo_sfondo_fuori;
    }
  }
  ReleaseDC(w, dc);
  return k;
}

TEST_F(FinestraAttesaWin32, IsPaintedWhenShownWithoutAnyMessageBeingRead) {
  const HWND w = mostra();
  ASSERT_NE(w, nullptr);
  // No paint is pending, for the window or its label: both were painted before
  // mostra_attesa returned, and this test reads no message.
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(prova::figli_di(w).at(0), nullptr, FALSE));
  const DisposizioneAttesa d = attesa_qui();
  const Inchiostro k = inchiostro(w, d.etichetta, d.larghezza, d.altezza);
  EXPECT_GT(k.dentro, 300) << "the word is drawn in the label's box";
  EXPECT_EQ(k.fuori, 0);
  EXPECT_EQ(k.diversi_dallo_sfondo_fuori, 0) << "the rest of the client area is the dialog face colour";
}

TEST_F(FinestraAttesaWin32, ShowingItTwiceShowsOneWindowAndClosingItDoesNotEndIt) {
  const HWND w = mostra();
  ASSERT_NE(w, nullptr);
  ui_->mostra_attesa();
  EXPECT_EQ(prova::finestre_di(GetCurrentProcessId(), prova::largo(kClasseAttesa)).size(), 1u);
  SendMessageW(w, WM_CLOSE, 0, 0);  // its close control, while a box is up
  EXPECT_TRUE(IsWindow(w));
  ui_.reset();
  EXPECT_FALSE(IsWindow(w)) << "the window goes with the interface";
}

}  // namespace
}  // namespace cmp
