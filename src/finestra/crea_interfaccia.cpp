#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "disco/cartella_disco.h"
#include "finestra/interfaccia.h"
#include "finestra/modulo_finestra.h"

namespace cmp {
namespace {

// Where the window module is looked for: beside the program (the build folder), then
// where `cmake --install` puts it (bin/../lib/compattatore/).
std::string percorsi_modulo(int i) {
  const std::string qui = cartella_programma();
  if (i == 0) return qui + "/" + kFileModuloFinestra;
  return qui + "/../lib/compattatore/" + kFileModuloFinestra;
}

// The module's window, or nullptr when it is missing, its X libraries are missing or it
// opens no display. The module is never unloaded: the window it made lives until exit.
std::unique_ptr<Interfaccia> apri_finestra_dal_modulo() {
  for (int i = 0; i < 2; ++i) {
    void* modulo = ::dlopen(percorsi_modulo(i).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (modulo == nullptr) continue;
    const auto apri = reinterpret_cast<ApriFinestra*>(::dlsym(modulo, kSimboloApriFinestra));
    if (apri == nullptr) return nullptr;
    return std::unique_ptr<Interfaccia>(apri());
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<Interfaccia> crea_interfaccia() {
  // Without a display the window libraries are not even loaded.
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    if (auto finestra = apri_finestra_dal_modulo()) return finestra;
  }
  return std::make_unique<InterfacciaTerminale>();
}

}  // namespace cmp
