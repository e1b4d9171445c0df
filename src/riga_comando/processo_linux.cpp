#include "riga_comando/processo.h"

#include <csignal>

namespace cmp {

void prepara_processo() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace cmp
