#include <csignal>
#include <string>
#include <vector>

#include "app/riga_comando.h"

int main(int argc, char** argv) {
  // A file that grows past the size limit of the process is a write that fails, reported
  // with its name like any other, not a signal that kills the run half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  return cmp::esegui_riga_comando(std::vector<std::string>(argv + 1, argv + argc));
}
