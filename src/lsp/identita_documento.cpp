#include "lsp/identita_documento.h"

#include "comandi/identita.h"
#include "lsp/analisi_testo.h"

namespace cmp {

identita_documento identifica_documento(const std::string& nome_file, std::string_view testo_utf8) {
  identita_documento i;
  const std::string linea = deduci_nome_linea(nome_file);
  constexpr std::string_view fine_treno = "-.txt";
  const auto sottolineato = nome_file.find_last_of('_');
  if (!linea.empty()) {
    i.formato = formato_descrizione::linea;
    i.nome_linea = linea;
  } else if (nome_file.size() > fine_treno.size() && nome_file.ends_with(fine_treno) &&
             sottolineato != std::string::npos && sottolineato > 0) {
    i.formato = formato_descrizione::treno;
    i.nome_linea = nome_file.substr(0, sottolineato);
    const std::string numero = nome_file.substr(sottolineato + 1, nome_file.size() - fine_treno.size() - sottolineato - 1);
    if (!numero.empty()) i.numero_treno = numero;
  } else {
    const auto formato = formato_dal_contenuto(testo_utf8);
    i.formato = formato.value_or(formato_descrizione::linea);
    i.per_contenuto = true;
    i.sconosciuto = !formato;
    i.nome_linea = nome_file;
  }
  return i;
}

}  // namespace cmp
