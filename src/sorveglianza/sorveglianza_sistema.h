#pragma once
// The system's own watch, the one the program is built for: apri_sorveglianza_linux.cpp
// (inotify, signalfd, the loopback server) or sorveglianza_windows.cpp.
#include <memory>
#include <vector>

#include "sorveglianza/sorveglianza.h"

namespace cmp {

struct sorveglianza_sistema {
  std::unique_ptr<Sorveglianza> sorveglianza;
  int porta = 0;  // where the page is served on 127.0.0.1
};

// Watches these names and serves the page. Throws std::runtime_error when it cannot be set up.
sorveglianza_sistema apri_sorveglianza_sistema(const std::vector<nome_sorvegliato>& nomi);

}  // namespace cmp
