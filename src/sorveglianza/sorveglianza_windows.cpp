// watch on Windows: not there yet (ReadDirectoryChangesW on the two folders, the page on
// 127.0.0.1 with Winsock, Ctrl-C through SetConsoleCtrlHandler). The command says so and
// ends with status 3, as for any watch that cannot be set up.
#include <stdexcept>

#include "sorveglianza/sorveglianza_sistema.h"

namespace cmp {

sorveglianza_sistema apri_sorveglianza_sistema(const std::vector<nome_sorvegliato>&) {
  throw std::runtime_error("not available on Windows yet");
}

}  // namespace cmp
