#include "lsp/identita_documento.h"

#include "lsp/analisi_testo.h"
#include "model/nomi_file.h"

namespace cmp {

identita_documento identifica_documento(const std::string& nome_file, std::string_view testo_utf8) {
  identita_documento i;
  const std::string linea = linea_dal_nome(nome_file);
  const auto treno = identita_dal_nome_treno(nome_file);
  if (!linea.empty()) {
    i.formato = formato_descrizione::linea;
    i.nome_linea = linea;
  } else if (treno) {
    i.formato = formato_descrizione::treno;
    i.nome_linea = treno->nome_linea;
    if (!treno->numero_treno.empty()) i.numero_treno = treno->numero_treno;
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
