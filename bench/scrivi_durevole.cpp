// scrivi_durevole FOLDER NAME=BYTES [NAME=BYTES...]
//
// The durable write of those files into FOLDER, by the protocol compattatore follows for
// the files of one compile, and nothing else: the floor of a compile measured as a whole
// process, from its start to its exit, as the benchmark measures the compile. It is
// linked like compattatore (libstdc++ and libgcc static), so that it starts like it, and
// it fills its buffers with one memset each, about as cheaply as a compile gets its
// encoded files. It prints nothing; on a failure, the reason and exit status 3.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bench/scrittura_durevole.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: scrivi_durevole FOLDER NAME=BYTES [NAME=BYTES...]\n", stderr);
    return 3;
  }
  try {
    const std::string cartella = argv[1];
    std::vector<banco::file_pieno> file;
    for (int i = 2; i < argc; ++i) {
      const banco::voce_file v = banco::leggi_voce(argv[i]);
      file.push_back({cartella + "/" + v.nome, std::string(v.byte, 'Z')});
    }
    banco::scrivi_durevole(cartella, file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scrivi_durevole: %s\n", e.what());
    return 3;
  }
  return 0;
}
