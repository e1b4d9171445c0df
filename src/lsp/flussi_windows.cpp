// The language server's channel on Windows: standard input and output as the C library's
// descriptors, in binary mode (prepara_processo), so that no CR LF is added or taken away
// under the framing. Whether a message is waiting is asked of the pipe an editor gives.
#include <windows.h>

#include <io.h>

#include <algorithm>

#include "lsp/trasporto.h"

namespace cmp {

void prepara_flussi_standard() {}  // a client gone away is an error on write, not a signal

std::size_t SorgenteFd::leggi(char* dati, std::size_t n) {
  const int letti = ::_read(fd_, dati, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
  return letti > 0 ? static_cast<std::size_t>(letti) : 0;  // a broken input ends it like its end
}

bool SorgenteFd::pronta() {
  const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  if (h == INVALID_HANDLE_VALUE) return true;  // the next read sees the end
  const DWORD tipo = GetFileType(h);
  if (tipo == FILE_TYPE_DISK) return true;   // a file never makes a read wait
  if (tipo != FILE_TYPE_PIPE) return false;  // a console waits for its user
  DWORD disponibili = 0;
  if (!PeekNamedPipe(h, nullptr, 0, nullptr, &disponibili, nullptr)) return true;  // the writer is gone
  return disponibili > 0;
}

void DestinazioneFd::scrivi(const std::string& byte) {
  std::size_t scritti = 0;
  while (scritti < byte.size()) {
    const int n = ::_write(fd_, byte.data() + scritti,
                           static_cast<unsigned>(std::min<std::size_t>(byte.size() - scritti, 1u << 30)));
    if (n <= 0) return;  // the client is gone; the next read sees the end
    scritti += static_cast<std::size_t>(n);
  }
}

}  // namespace cmp
