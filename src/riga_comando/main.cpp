#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "riga_comando/processo.h"
#include "riga_comando/riga_comando.h"

int main(int argc, char** argv) {
  cmp::prepara_processo();
  try {
    return cmp::esegui_riga_comando(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    std::fputs("compattatore: error: not enough memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compattatore: error: %s\n", e.what());
  }
  return 3;
}
