// The error box as Windows reports it: modal over the waiting window, one OK, no icon,
// the system's own title; closed by OK or by its close control, it returns. The box
// waits on this thread, so a second thread looks at it and closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <iostream>
#include <thread>

#include "finestra/win32_geometria.h"
#include "finestra/win32_interfaccia.h"
#include "win32_supporto.h"

namespace cmp {
namespace {

using namespace std::chrono_literals;

// What the second thread saw of the box before it closed it.
struct Visto {
  bool trovato = false;
  std::wstring titolo;
  std::wstring messaggio;
  int pulsanti = 0;
  std::wstring testo_pulsante;
  int icone = 0;
  bool attesa_disabilitata = false;
  bool proprietaria_attesa = false;
};

enum class Chiusura { ok, controllo_chiusura, invio };

// The box of this process (dialog class #32770): looked at, then closed the given way.
// Should it never come, the test cannot go on: the process ends with a message.
std::thread chiudi_il_riquadro(HWND attesa, Chiusura come, Visto& visto) {
  return std::thread([attesa, come, &visto] {
    const HWND box = prova::attendi_finestra(GetCurrentProcessId(), L"#32770", 10s);
    if (box == nullptr) {
      std::cerr << "no message box within 10 s\n";
      std::_Exit(1);
    }
    visto.trovato = true;
    visto.titolo = prova::testo_di(box);
    visto.proprietaria_attesa = GetWindow(box, GW_OWNER) == attesa;
    visto.attesa_disabilitata = !IsWindowEnabled(attesa);
    HWND ok = nullptr;
    for (const HWND f : prova::figli_di(box)) {
      const std::wstring classe = prova::classe_di(f);
      const LONG_PTR stile = GetWindowLongPtrW(f, GWL_STYLE);
      if (_wcsicmp(classe.c_str(), L"Button") == 0 && IsWindowVisible(f)) {
        ++visto.pulsanti;
        visto.testo_pulsante = prova::testo_di(f);
        ok = f;
      } else if (_wcsicmp(classe.c_str(), L"Static") == 0) {
        // The box's template always holds an icon control; with no icon asked for it holds none.
        if ((stile & SS_TYPEMASK) == SS_ICON) {
          if (SendMessageW(f, STM_GETICON, 0, 0) != 0 && IsWindowVisible(f)) ++visto.icone;
        } else if (!prova::testo_di(f).empty())
          visto.messaggio = prova::testo_di(f);
      }
    }
    switch (come) {
      case Chiusura::ok:
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        break;
      case Chiusura::controllo_chiusura:
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case Chiusura::invio:
        PostMessageW(ok != nullptr ? ok : box, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(ok != nullptr ? ok : box, WM_KEYUP, VK_RETURN, 0);
        break;
    }
  });
}

class RiquadroErroreWin32 : public ::testing::TestWithParam<Chiusura> {};

TEST_P(RiquadroErroreWin32, IsModalWithOneOkNoIconAndReturnsOnceClosed) {
  auto ui = apri_interfaccia_win32();
  if (!ui) GTEST_SKIP() << "no window can be made here (under Wine: no X display)";
  ui->mostra_attesa();
  const HWND attesa = prova::attendi_finestra(GetCurrentProcessId(), prova::largo(win32::kClasseAttesa), 0ms);
  ASSERT_NE(attesa, nullptr);

  Visto visto;
  std::thread guarda = chiudi_il_riquadro(attesa, GetParam(), visto);
  ui->mostra_errore(" Errore n. 1250");  // returns once the box is closed
  guarda.join();

  ASSERT_TRUE(visto.trovato);
  EXPECT_EQ(visto.messaggio, L" Errore n. 1250");
  EXPECT_EQ(visto.pulsanti, 1);
  EXPECT_EQ(visto.testo_pulsante, L"OK");
  EXPECT_EQ(visto.icone, 0);
  EXPECT_TRUE(visto.proprietaria_attesa) << "the box belongs to the waiting window";
  EXPECT_TRUE(visto.attesa_disabilitata) << "modal: the waiting window takes no input while the box is up";
  EXPECT_NE(visto.titolo, L"") << "the system's default title";
  EXPECT_NE(visto.titolo, L"compattatore") << "no title of the program's own";
  EXPECT_TRUE(prova::finestre_di(GetCurrentProcessId(), L"#32770").empty());
  EXPECT_TRUE(IsWindowEnabled(attesa));
}

INSTANTIATE_TEST_SUITE_P(OgniChiusura, RiquadroErroreWin32,
                         ::testing::Values(Chiusura::ok, Chiusura::controllo_chiusura, Chiusura::invio),
                         [](const auto& info) {
                           switch (info.param) {
                             case Chiusura::ok:
                               return std::string("Ok");
                             case Chiusura::controllo_chiusura:
                               return std::string("CloseControl");
                             default:
                               return std::string("Return");
                           }
                         });

TEST(RiquadroErroreSenzaAttesa, StandsAloneWithOneOk) {
  auto ui = apri_interfaccia_win32();
  if (!ui) GTEST_SKIP() << "no window can be made here (under Wine: no X display)";
  Visto visto;
  std::thread guarda = chiudi_il_riquadro(nullptr, Chiusura::ok, visto);
  ui->mostra_errore(" Errore n. 1251");
  guarda.join();
  ASSERT_TRUE(visto.trovato);
  EXPECT_EQ(visto.messaggio, L" Errore n. 1251");
  EXPECT_EQ(visto.pulsanti, 1);
}

}  // namespace
}  // namespace cmp
