// Shows the waiting window, as the built-in run does, for the given number of seconds
// (5 by default), then ends: for taking its picture (scripts/schermata_windows.sh).
#include <windows.h>

#include <cstdlib>

#include "finestra/win32_interfaccia.h"

int main(int argc, char** argv) {
  auto ui = cmp::apri_interfaccia_win32();
  if (!ui) return 1;
  ui->mostra_attesa();
  Sleep(static_cast<DWORD>((argc > 1 ? std::atoi(argv[1]) : 5) * 1000));
  return 0;
}
