#include "comandi/rifiuto.h"

#include <utility>

#include "messaggi/messaggi.h"

namespace cmp {

void rifiuta(rifiuto* r, const std::string& messaggio, std::optional<std::string> file) {
  segnala(messaggio);
  if (r) *r = {messaggio, std::move(file)};
}

}  // namespace cmp
