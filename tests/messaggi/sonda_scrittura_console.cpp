// A console program of the tests that writes ELPÌDIO on its standard output, a console on
// code page 437, as the commands write, and puts what the console's first row then holds
// into the file it is given, as the code points in hex ("45 4c ...").
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "messaggi/scrivi_flusso.h"

namespace {

bool console(HANDLE h) {
  DWORD modo = 0;
  return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &modo);
}

HANDLE handle_di(std::FILE* f) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f))); }

// Standard output on the console given by CREATE_NEW_CONSOLE. A Wine session under load
// now and then starts the program before its console is bound to standard output: then
// the console (made here if there is none) is opened by its name.
bool su_una_console() {
  if (console(handle_di(stdout))) return true;
  if (!console(GetStdHandle(STD_OUTPUT_HANDLE))) {
    FreeConsole();
    if (!AllocConsole()) return false;
  }
  if (std::freopen("CONOUT$", "w", stdout) == nullptr) return false;
  return console(handle_di(stdout)) && SetStdHandle(STD_OUTPUT_HANDLE, handle_di(stdout));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  if (!su_una_console()) return 4;
  SetConsoleOutputCP(437);  // an American console: "Ì" written as its UTF-8 bytes reads "╠î"
  const bool scritto = cmp::scrivi_flusso(stdout,
                                          "ELP\xC3\x8C"
                                          "DIO");
  const DWORD errore = GetLastError();
  // The screen read through a handle of its own, opened to read.
  const HANDLE schermo = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  wchar_t riga[7] = {};
  DWORD letti = 0;
  ReadConsoleOutputCharacterW(schermo, riga, 7, COORD{0, 0}, &letti);
  std::FILE* f = std::fopen(argv[1], "w");
  if (f == nullptr) return 3;
  if (!scritto) std::fprintf(f, "the write failed: error %lu\n", errore);
  for (DWORD i = 0; i < letti; ++i) std::fprintf(f, i == 0 ? "%x" : " %x", static_cast<unsigned>(riga[i]));
  return std::fclose(f) == 0 ? 0 : 3;
}
