#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "riga_comando/processo.h"

namespace cmp {

// The C library would turn each "\n" written into "\r\n" and drop the "\r" of what is
// read: the SVG of `plot --out -`, dump's listing and the language server's frames would
// not be the bytes the Linux build writes. A console shows a lone "\n" as a new line.
void prepara_processo() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace cmp
