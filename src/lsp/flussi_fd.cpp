// The language server's channel on Linux: standard input and output as file descriptors.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "lsp/trasporto.h"

namespace cmp {

void prepara_flussi_standard() {
  std::signal(SIGPIPE, SIG_IGN);  // a client gone away is seen as the end of the input
}

std::size_t SorgenteFd::leggi(char* dati, std::size_t n) {
  for (;;) {
    const ssize_t letti = ::read(fd_, dati, n);
    if (letti >= 0) return static_cast<std::size_t>(letti);
    if (errno != EINTR) return 0;  // a broken input ends it like the end of the input
  }
}

bool SorgenteFd::pronta() {
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

void DestinazioneFd::scrivi(const std::string& byte) {
  std::size_t scritti = 0;
  while (scritti < byte.size()) {
    const ssize_t n = ::write(fd_, byte.data() + scritti, byte.size() - scritti);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the client is gone; the next read sees the end
    scritti += static_cast<std::size_t>(n);
  }
}

}  // namespace cmp
