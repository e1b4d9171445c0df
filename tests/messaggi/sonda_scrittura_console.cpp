// A console program of the tests that writes ELPÌDIO on its standard output, a console on
// code page 437, as the commands write, and puts what the console's first row then holds
// into the file it is given, as the code points in hex ("45 4c ...").
#include <windows.h>

#include <cstdio>

#include "messaggi/scrivi_flusso.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  SetConsoleOutputCP(437);  // an American console: "Ì" written as its UTF-8 bytes reads "╠î"
  const bool scritto = cmp::scrivi_flusso(stdout,
                                          "ELP\xC3\x8C"
                                          "DIO");
  const DWORD errore = GetLastError();
  wchar_t riga[7] = {};
  DWORD letti = 0;
  ReadConsoleOutputCharacterW(GetStdHandle(STD_OUTPUT_HANDLE), riga, 7, COORD{0, 0}, &letti);
  std::FILE* f = std::fopen(argv[1], "w");
  if (f == nullptr) return 3;
  if (!scritto) std::fprintf(f, "the write failed: error %lu\n", errore);
  for (DWORD i = 0; i < letti; ++i) std::fprintf(f, i == 0 ? "%x" : " %x", static_cast<unsigned>(riga[i]));
  return std::fclose(f) == 0 ? 0 : 3;
}
