#include "finestra/win32_interfaccia.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "finestra/win32_geometria.h"
#include "messaggi/scrivi_flusso.h"

namespace cmp {
namespace {

using namespace win32;

constexpr DWORD kStileAttesa = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size
constexpr DWORD kStileEsteso = 0;

std::wstring largo(std::string_view testo) { return std::wstring(testo.begin(), testo.end()); }  // ASCII

// The run reads no message while it works; what the box's own loop delivers to the
// waiting window meanwhile must not close it (the box is what the user closes).
LRESULT CALLBACK procedura_attesa(HWND w, UINT messaggio, WPARAM wp, LPARAM lp) {
  if (messaggio == WM_CLOSE) return 0;
  return DefWindowProcW(w, messaggio, wp, lp);
}

// The display's resolution, horizontally and vertically.
std::pair<int, int> dpi_schermo() {
  const HDC schermo = GetDC(nullptr);
  if (schermo == nullptr) return {96, 96};
  const int x = GetDeviceCaps(schermo, LOGPIXELSX);
  const int y = GetDeviceCaps(schermo, LOGPIXELSY);
  ReleaseDC(nullptr, schermo);
  return {x > 0 ? x : 96, y > 0 ? y : 96};
}

// The window's outer rectangle for this client area, centred on the work area.
RECT rettangolo_centrato(int larghezza, int altezza) {
  RECT r{0, 0, larghezza, altezza};
  AdjustWindowRectEx(&r, kStileAttesa, FALSE, kStileEsteso);
  RECT lavoro{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &lavoro, 0);
  const LONG w = r.right - r.left;
  const LONG h = r.bottom - r.top;
  const LONG x = lavoro.left + (lavoro.right - lavoro.left - w) / 2;
  const LONG y = lavoro.top + (lavoro.bottom - lavoro.top - h) / 2;
  return {x, y, x + w, y + h};
}

// Below this the label would not be read anyway.
constexpr int kAltezzaMinimaCarattere = 8;

HFONT crea_carattere(int altezza) {
  const std::wstring faccia = largo(kCarattereEtichetta);
  return CreateFontW(-altezza, 0, 0, 0, kPesoEtichetta, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faccia.c_str());
}

// Whether the word, in this face, fits the label's box.
bool entra(HFONT carattere, const Rettangolo& etichetta) {
  const HDC schermo = GetDC(nullptr);
  if (schermo == nullptr) return true;
  const HGDIOBJ prima = SelectObject(schermo, carattere);
  const std::wstring testo = largo(kTestoEtichetta);
  SIZE misura{};
  const bool misurato = GetTextExtentPoint32W(schermo, testo.c_str(), static_cast<int>(testo.size()), &misura);
  SelectObject(schermo, prima);
  ReleaseDC(nullptr, schermo);
  return !misurato || (misura.cx <= etichetta.larghezza && misura.cy <= etichetta.altezza);
}

// The label's face: MS Sans Serif, bold, 24 points at the display's resolution, as the
// form has it, where the word fits the box (it does wherever Windows has that face);
// where the system gives a wider face in its place, the largest size at which the word
// fits, so that it is never cut at the label's edge.
HFONT crea_carattere_etichetta(const DisposizioneAttesa& d) {
  for (int altezza = d.altezza_carattere;; --altezza) {
    const HFONT carattere = crea_carattere(altezza);
    if (carattere == nullptr || altezza <= kAltezzaMinimaCarattere || entra(carattere, d.etichetta)) return carattere;
    DeleteObject(carattere);
  }
}

class InterfacciaWin32 final : public Interfaccia {
 public:
  InterfacciaWin32(HINSTANCE istanza, HWND attesa, HWND etichetta, HFONT carattere)
      : istanza_(istanza), attesa_(attesa), etichetta_(etichetta), carattere_(carattere) {}

  ~InterfacciaWin32() override {
    DestroyWindow(attesa_);  // the label goes with it
    DeleteObject(carattere_);
    UnregisterClassW(largo(kClasseAttesa).c_str(), istanza_);
  }
  InterfacciaWin32(const InterfacciaWin32&) = delete;
  InterfacciaWin32& operator=(const InterfacciaWin32&) = delete;

  // Shown and painted once, window and label, before this returns; no message loop.
  void mostra_attesa() override {
    if (mostrata_) return;
    mostrata_ = true;
    ShowWindow(attesa_, SW_SHOWNORMAL);
    UpdateWindow(attesa_);
    UpdateWindow(etichetta_);
    GdiFlush();
  }

  // A message box with OK only, no icon and the system's default title, modal over the
  // waiting window; it returns once closed (OK, Return, Escape or its close control).
  void mostra_errore(const std::string& messaggio) override {
    scrivi_flusso(stderr, messaggio + "\n");  // a log of the run keeps the message too
    MessageBoxA(mostrata_ ? attesa_ : nullptr, messaggio.c_str(), nullptr, MB_OK);
  }

 private:
  HINSTANCE istanza_;
  HWND attesa_;
  HWND etichetta_;
  HFONT carattere_;
  bool mostrata_ = false;
};

}  // namespace

std::unique_ptr<Interfaccia> apri_interfaccia_win32() {
  // Measured in the display's own pixels: without this, Windows would draw the window at
  // 96 dpi and stretch it, blurred, on a display of more.
  SetProcessDPIAware();
  const HINSTANCE istanza = GetModuleHandleW(nullptr);
  const std::wstring classe = largo(kClasseAttesa);
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = procedura_attesa;
  c.hInstance = istanza;
  c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = classe.c_str();
  if (!RegisterClassExW(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  const auto [dpi_x, dpi_y] = dpi_schermo();
  const DisposizioneAttesa d = disponi_attesa(dpi_x, dpi_y);
  const RECT r = rettangolo_centrato(d.larghezza, d.altezza);
  const HWND attesa = CreateWindowExW(kStileEsteso, classe.c_str(), largo(kTitolo).c_str(), kStileAttesa, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
  if (attesa == nullptr) {
    UnregisterClassW(classe.c_str(), istanza);
    return nullptr;
  }
  // Text clipped at the label's box, never wrapped, as the form's label.
  const HWND etichetta = CreateWindowExW(0, L"STATIC", largo(kTestoEtichetta).c_str(),
                                         WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, d.etichetta.x, d.etichetta.y,
                                         d.etichetta.larghezza, d.etichetta.altezza, attesa, nullptr, istanza, nullptr);
  const HFONT carattere = crea_carattere_etichetta(d);
  if (etichetta == nullptr || carattere == nullptr) {
    if (carattere != nullptr) DeleteObject(carattere);
    DestroyWindow(attesa);
    UnregisterClassW(classe.c_str(), istanza);
    return nullptr;
  }
  SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
  return std::make_unique<InterfacciaWin32>(istanza, attesa, etichetta, carattere);
}

namespace {

bool sulla_console(DWORD flusso) {
  const HANDLE h = GetStdHandle(flusso);
  DWORD modo = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &modo);
}

}  // namespace

bool libera_console_propria() {
  DWORD processi[2] = {};
  if (GetConsoleProcessList(processi, 2) != 1) return false;
  // Output sent to a file or a pipe was asked for by whoever started the program.
  if (!sulla_console(STD_OUTPUT_HANDLE) || !sulla_console(STD_ERROR_HANDLE)) return false;
  return FreeConsole() != 0;
}

}  // namespace cmp
