// A console program of the tests that does what the built-in run does with its console
// before it shows the window, and says what it found: "PRIMA LIBERATA DOPO", the number of
// processes on its console before and after (0: no console) and whether it let it go.
#include <windows.h>

#include <cstdio>

#include "finestra/win32_interfaccia.h"

namespace {

int processi_console() {
  DWORD processi[8] = {};
  return static_cast<int>(GetConsoleProcessList(processi, 8));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const int prima = processi_console();
  const bool liberata = cmp::libera_console_propria();
  const int dopo = processi_console();
  std::FILE* f = std::fopen(argv[1], "w");
  if (f == nullptr) return 3;
  std::fprintf(f, "%d %d %d", prima, liberata ? 1 : 0, dopo);
  return std::fclose(f) == 0 ? 0 : 3;
}
