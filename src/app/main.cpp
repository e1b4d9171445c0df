#include <cstdio>

#include "app/avvio.h"

int main(int argc, char** argv) {
  (void)argv;
  if (argc == 1) return cmp::esegui_run_incorporato();
  std::fputs("usage: compattatore (no arguments: the built-in run)\n", stderr);
  return 3;
}
