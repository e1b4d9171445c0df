#include "sorveglianza/sorveglianza_linux.h"
#include "sorveglianza/sorveglianza_sistema.h"

namespace cmp {

sorveglianza_sistema apri_sorveglianza_sistema(const std::vector<nome_sorvegliato>& nomi) {
  auto sistema = std::make_unique<SorveglianzaLinux>(nomi);
  const int porta = sistema->porta();
  return {std::move(sistema), porta};
}

}  // namespace cmp
