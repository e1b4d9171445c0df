#include "riga_comando/processo.h"

#include <csignal>

namespace cmp {

void prepara_processo() { std::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> argomenti_riga_comando(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace cmp
