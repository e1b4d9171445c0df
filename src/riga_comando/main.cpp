#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "messaggi/scrivi_flusso.h"
#include "riga_comando/processo.h"
#include "riga_comando/riga_comando.h"

int main(int argc, char** argv) {
  cmp::prepara_processo();
  try {
    return cmp::esegui_riga_comando(cmp::argomenti_riga_comando(argc, argv));
  } catch (const std::bad_alloc&) {
    cmp::scrivi_flusso(stderr, "compattatore: error: not enough memory\n");
  } catch (const std::exception& e) {
    cmp::scrivi_flusso(stderr, std::string("compattatore: error: ") + e.what() + "\n");
  }
  return 3;
}
