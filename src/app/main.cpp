#include <string>
#include <vector>

#include "app/riga_comando.h"

int main(int argc, char** argv) {
  return cmp::esegui_riga_comando(std::vector<std::string>(argv + 1, argv + argc));
}
