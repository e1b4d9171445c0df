#include "comandi/descrizioni_utente.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "descrizioni/diagnostica.h"
#include "descrizioni/identita.h"
#include "errori/catalogo_errori.h"
#include "messaggi/messaggi.h"
#include "messaggi/scrivi_flusso.h"
#include "errori/stati_uscita.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"
#include "model/percorso_utf8.h"
#include "model/testo_visibile.h"

namespace cmp {
namespace {

// The text of a description file, or a message naming it and the reason.
std::optional<std::string> leggi_ingresso(Cartella& ingressi, const std::string& nome, std::string& motivo) {
  try {
    auto dati = ingressi.leggi_ingresso(nome);
    if (!dati) motivo = "cannot read " + ingressi.percorso_di(nome) + ": no such file";
    return dati;
  } catch (const ErroreFileTroppoGrande& e) {
    motivo = "cannot read " + e.percorso() + ": larger than 64 MiB (" + std::to_string(kMassimoLettura) +
             " bytes), the most a description may hold";
    return std::nullopt;
  } catch (const ErroreFile& e) {
    motivo = "cannot read " + e.percorso() + ": " + e.motivo();
    return std::nullopt;
  }
}

}  // namespace

std::optional<descrizioni_utente> leggi_descrizioni_utente(const opzioni_lette& o, const std::string& comando,
                                                           Cartella& ingressi, rifiuto* r) {
  const auto linea = o.valore("--line");
  const auto treno = o.valore("--train");
  if (!linea || !treno) {
    rifiuta(r, comando + ": both --line and --train are required (try 'compattatore " + comando + " --help')");
    return std::nullopt;
  }
  descrizioni_utente d;
  d.linea = *linea;
  d.treno = *treno;
  // A missing or unreadable file comes first: its name is not worth checking before.
  std::string motivo;
  auto testo_linea = leggi_ingresso(ingressi, *linea, motivo);
  if (!testo_linea) {
    rifiuta(r, motivo, *linea);
    return std::nullopt;
  }
  auto testo_treno = leggi_ingresso(ingressi, *treno, motivo);
  if (!testo_treno) {
    rifiuta(r, motivo, *treno);
    return std::nullopt;
  }
  const auto nome_dato = o.valore("--nome-linea");
  d.nome_linea = nome_dato.value_or(deduci_nome_linea(*linea));
  if (d.nome_linea.empty() && !nome_dato) {
    rifiuta(r, comando + ": cannot tell the route identifier from '" + *linea +
                   "': " + perche_nome_linea_non_dedotto(*linea) + " (or give --nome-linea)");
    return std::nullopt;
  }
  if (const auto motivo_nome = motivo_identita_non_valida(d.nome_linea)) {
    rifiuta(r, comando + ": the route identifier '" + d.nome_linea + "' cannot be used: " + *motivo_nome);
    return std::nullopt;
  }
  d.numero_treno = o.valore("--numero-treno").value_or(deduci_numero_treno(*treno, d.nome_linea));
  if (d.numero_treno.empty() && !o.valore("--numero-treno")) {
    rifiuta(r, comando + ": cannot tell the train number from '" + *treno +
                   "': " + perche_numero_non_dedotto(*treno, d.nome_linea, nome_dato.has_value()) +
                   " (or give --numero-treno)");
    return std::nullopt;
  }
  if (const auto motivo_numero = motivo_identita_non_valida(d.numero_treno)) {
    rifiuta(r, comando + ": the train number '" + d.numero_treno + "' cannot be used: " + *motivo_numero);
    return std::nullopt;
  }
  if (d.numero_treno == "linea") {  // the track file would take the plan file's name
    rifiuta(r, comando + ": the train number 'linea' cannot be used: the track file would replace the plan file");
    return std::nullopt;
  }
  d.testo_linea = std::move(*testo_linea);
  d.testo_treno = std::move(*testo_treno);
  return d;
}

identita_scenario identita_di(const descrizioni_utente& d) {
  return {in_cp1252(d.nome_linea), in_cp1252(d.numero_treno)};
}

std::optional<std::string> codifica_scelta(const opzioni_lette& o, const std::string& comando, rifiuto* r) {
  std::string codifica = o.valore("--encoding").value_or("windows-1252");
  if (codifica == "windows-1252" || codifica == "utf-8") return codifica;
  rifiuta(r, comando + ": unknown encoding '" + codifica + "': windows-1252 or utf-8 (try 'compattatore " + comando +
                 " --help')");
  return std::nullopt;
}

bool converti_descrizioni(descrizioni_utente& d, const std::string& codifica, rifiuto* r) {
  if (codifica != "utf-8") return true;
  for (auto [testo, file] : {std::pair{&d.testo_linea, &d.linea}, {&d.testo_treno, &d.treno}}) {
    auto c = converti_da_utf8(*testo);
    if (c.errore) {
      const std::string messaggio = *file + ":" + std::to_string(c.errore->riga) + ":" +
                                    std::to_string(c.errore->colonna) +
                                    ": error: cannot convert to Windows-1252: " + c.errore->messaggio;
      const std::string riga = testo_visibile(messaggio) + "\n";
      scrivi_flusso(stderr, riga);
      if (r) *r = {messaggio, *file};  // for --json
      return false;
    }
    *testo = std::move(c.testo);
  }
  return true;
}

}  // namespace cmp
