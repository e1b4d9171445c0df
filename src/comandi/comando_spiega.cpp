// compattatore explain N: the entry of a number in the reference page of the errors (the
// page is built into the program), as plain text; with --markdown the page's very text.
#include <cstdio>
#include <string>
#include <string_view>

#include "comandi/testo_terminale.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "comandi/tabella_comandi.h"
#include "messaggi/uscita_standard.h"

namespace cmp {

const char* pagina_errori();

// The section of the page under "## N — ...", up to the next heading of its level or above.
std::string voce_della_pagina(std::string_view pagina, const std::string& numero) {
  const std::string testa = "## " + numero + " \u2014 ";
  std::size_t inizio = pagina.rfind(testa, 0) == 0 ? 0 : pagina.find("\n" + testa);
  if (inizio == std::string_view::npos) return {};
  if (inizio != 0) ++inizio;
  std::size_t fine = inizio + testa.size();
  for (;;) {
    fine = pagina.find("\n#", fine);
    if (fine == std::string_view::npos) break;
    const std::string_view dopo = pagina.substr(fine + 1);
    if (dopo.rfind("# ", 0) == 0 || dopo.rfind("## ", 0) == 0) break;
    ++fine;
  }
  std::string voce(pagina.substr(inizio, fine == std::string_view::npos ? std::string_view::npos : fine - inizio));
  while (!voce.empty() && voce.back() == '\n') voce.pop_back();
  return voce + "\n";
}

int comando_spiega(const opzioni_lette& o) {
  if (o.posizionali.empty()) {
    segnala("explain: which number? (try 'compattatore explain --help')");
    return kUscitaUso;
  }
  const std::string& numero = o.posizionali[0];
  const std::string voce = numero.find_first_not_of("0123456789") == std::string::npos && !numero.empty()
                               ? voce_della_pagina(pagina_errori(), numero)
                               : std::string();
  if (voce.empty()) {
    segnala("explain: " + numero +
            " is not an error or warning number of the compile (try 'compattatore explain --help')");
    return kUscitaUso;
  }
  stampa_uscita(o.ha("--markdown") ? voce : testo_da_terminale(voce));
  return kUscitaPulita;
}

}  // namespace cmp
