// The entry of libcompattatore_finestra.so, the only symbol it exports.
#include "finestra/modulo_finestra.h"
#include "finestra/x11_interfaccia.h"

extern "C" __attribute__((visibility("default"))) cmp::Interfaccia* compattatore_apri_finestra() {
  return cmp::apri_interfaccia_x11().release();
}
