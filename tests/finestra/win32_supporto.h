#pragma once
// What the window tests ask of Windows about the program's windows: the Win32 API's own
// view of them (classes, texts, rectangles, fonts), as a tool would query them.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "finestra/win32_geometria.h"

namespace cmp::prova {

inline std::wstring testo_di(HWND w) {
  wchar_t t[512] = {};
  GetWindowTextW(w, t, 512);
  return t;
}

inline std::wstring classe_di(HWND w) {
  wchar_t t[256] = {};
  GetClassNameW(w, t, 256);
  return t;
}

inline std::wstring largo(std::string_view t) { return std::wstring(t.begin(), t.end()); }

// The top-level windows of the process `pid` whose class is `classe`.
inline std::vector<HWND> finestre_di(DWORD pid, const std::wstring& classe, bool solo_visibili = true) {
  struct Ricerca {
    DWORD pid;
    std::wstring classe;
    bool solo_visibili;
    std::vector<HWND> trovate;
  } r{pid, classe, solo_visibili, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto& r = *reinterpret_cast<Ricerca*>(p);
        DWORD di = 0;
        GetWindowThreadProcessId(w, &di);
        if (di == r.pid && classe_di(w) == r.classe && (!r.solo_visibili || IsWindowVisible(w))) r.trovate.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&r));
  return r.trovate;
}

// Waits up to `limite` for exactly one such window.
inline HWND attendi_finestra(DWORD pid, const std::wstring& classe,
                             std::chrono::milliseconds limite = std::chrono::milliseconds(10000)) {
  const auto fine = std::chrono::steady_clock::now() + limite;
  for (;;) {
    const auto trovate = finestre_di(pid, classe);
    if (trovate.size() == 1) return trovate.front();
    if (std::chrono::steady_clock::now() >= fine) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

inline std::vector<HWND> figli_di(HWND w) {
  std::vector<HWND> figli;
  EnumChildWindows(
      w,
      [](HWND f, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(f);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&figli));
  return figli;
}

// A child's rectangle in its parent's client coordinates.
inline win32::Rettangolo rettangolo_nel_padre(HWND figlio) {
  RECT r{};
  GetWindowRect(figlio, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(figlio), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline std::pair<int, int> dpi_schermo() {
  const HDC schermo = GetDC(nullptr);
  const std::pair<int, int> dpi{GetDeviceCaps(schermo, LOGPIXELSX), GetDeviceCaps(schermo, LOGPIXELSY)};
  ReleaseDC(nullptr, schermo);
  return dpi;
}

}  // namespace cmp::prova
