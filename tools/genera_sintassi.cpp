// genera_sintassi DIR: writes the syntax files generated from the keyword table under DIR
// (the repository's editors/ folder), each replaced only when its bytes change.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lsp/sintassi.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: genera_sintassi DIR\n", stderr);
    return 3;
  }
  const std::filesystem::path cartella = argv[1];
  for (const auto& f : cmp::genera_file_sintassi()) {
    const auto percorso = cartella / f.percorso;
    std::ifstream vecchio(percorso, std::ios::binary);
    std::ostringstream letto;
    letto << vecchio.rdbuf();
    if (vecchio && letto.str() == f.contenuto) continue;
    std::filesystem::create_directories(percorso.parent_path());
    const auto temporaneo = percorso.string() + ".tmp";
    {
      std::ofstream out(temporaneo, std::ios::binary | std::ios::trunc);
      out << f.contenuto;
      if (!out.flush()) {
        std::fprintf(stderr, "genera_sintassi: cannot write %s\n", temporaneo.c_str());
        return 3;
      }
    }
    std::filesystem::rename(temporaneo, percorso);
    std::printf("%s\n", percorso.string().c_str());
  }
  return 0;
}
