#include "comandi/descrizioni_utente.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "disco/cartella_disco.h"
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
std::optional<std::string> leggi_ingresso(const std::string& percorso, std::string& motivo) {
  try {
    auto dati = leggi_file(percorso);
    if (!dati) motivo = "cannot read " + percorso + ": no such file";
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

void rifiuta(rifiuto* r, const std::string& messaggio, std::optional<std::string> file) {
  segnala(messaggio);
  if (r) *r = {messaggio, std::move(file)};
}

std::optional<descrizioni_utente> leggi_descrizioni_utente(const opzioni_lette& o, const std::string& comando,
                                                           rifiuto* r) {
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
  auto testo_linea = leggi_ingresso(*linea, motivo);
  if (!testo_linea) {
    rifiuta(r, motivo, *linea);
    return std::nullopt;
  }
  auto testo_treno = leggi_ingresso(*treno, motivo);
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

bool cartella_valida(const std::string& cartella, bool da_scrivere, rifiuto* r) {
  const std::string che = da_scrivere ? "cannot write into " : "cannot read ";
  std::error_code ec;
  const std::filesystem::path c = percorso_da_utf8(cartella);
  if (!std::filesystem::is_directory(c, ec)) {
    rifiuta(r, che + cartella + ": " + (std::filesystem::exists(c, ec) ? "not a directory" : "no such directory"),
            cartella);
    return false;
  }
  if (const auto motivo = cartella_inaccessibile(cartella, da_scrivere)) {
    rifiuta(r, che + cartella + ": " + *motivo, cartella);
    return false;
  }
  return true;
}

bool cartella_uscita_pronta(const std::string& cartella, rifiuto* r) {
  std::error_code ec;
  const std::filesystem::path c = percorso_da_utf8(cartella);
  if (!std::filesystem::exists(c, ec) && !std::filesystem::is_symlink(c, ec)) {
    std::filesystem::create_directories(c, ec);
    if (ec) {
      rifiuta(r, "cannot create " + cartella + ": " + ec.message(), cartella);
      return false;
    }
  }
  return cartella_valida(cartella, true, r);
}

bool sovrascrive(const std::string& uscita, const std::vector<std::string>& ingressi) {
  if (uscita == "-") return false;  // standard output
  std::error_code ec;
  for (const auto& i : ingressi) {
    const std::filesystem::path u = percorso_da_utf8(uscita);
    if (std::filesystem::exists(u, ec) && std::filesystem::equivalent(u, percorso_da_utf8(i), ec)) return true;
  }
  return false;
}

std::string riga_e_cursore(const IndiceRighe& testo, int riga, int colonna) {
  constexpr std::size_t kLineaMassima = 200;  // a binary or endless line is not worth showing
  if (riga <= 0 || testo.testo().empty()) return {};
  const auto letta = testo.riga(riga, kLineaMassima + 2);
  if (!letta || letta->size() > kLineaMassima) return {};
  const std::string_view linea = *letta;
  for (const char c : linea) {
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return {};  // nor one to upset a terminal
  }
  std::string sotto;
  for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(colonna) && i < linea.size(); ++i) {
    sotto += linea[i] == '\t' ? '\t' : ' ';
  }
  return "  " + da_cp1252(linea) + "\n  " + sotto + "^\n";
}


namespace {

// One diagnostic on standard error: its line (whatever the names and fields in it hold,
// see testo_visibile) and the source line with its caret.
void stampa_una(const std::string& riga, const std::string& sotto) {
  const std::string testo = testo_visibile(riga) + "\n" + sotto;
  scrivi_flusso(stderr, testo);
}

std::string diagnostica(const std::string& luogo, const char* genere, int codice, const std::string& messaggio) {
  return luogo + ": " + genere + " " + std::to_string(codice) + ": " + messaggio;
}

std::string luogo_riga(const std::string& file, int riga, int colonna) {
  return file + ":" + std::to_string(riga) + ":" + std::to_string(colonna);
}

}  // namespace

std::vector<const reperto*> reperti_mostrati(const std::vector<reperto>& reperti) {
  std::vector<const reperto*> out;
  std::size_t posto = kAvvisiMostrati;
  for (const auto& r : reperti) {
    if (!r.errore) {
      if (posto == 0) continue;
      --posto;
    }
    out.push_back(&r);
  }
  return out;
}

std::size_t stampa_diagnostica(const std::vector<reperto>& reperti, const std::string& linea, const std::string& treno,
                               std::string_view testo_linea, std::string_view testo_treno) {
  const IndiceRighe indice_linea(testo_linea), indice_treno(testo_treno);
  const auto mostrati = reperti_mostrati(reperti);
  for (const reperto* r : mostrati) {
    // A reserved slot no row can be blamed for is told by the closing line alone.
    if (r->genere == genere_reperto::finale && r->riga == 0) continue;
    const std::string& file = file_del_reperto(*r, linea, treno);
    const std::string luogo = r->riga > 0 ? luogo_riga(file, r->riga, r->colonna) : file;
    const IndiceRighe& indice = r->testo == testo_descrizione::linea ? indice_linea : indice_treno;
    stampa_una(diagnostica(luogo, r->errore ? "error" : "warning", r->numero, r->messaggio),
               riga_e_cursore(indice, r->riga, r->colonna));
    if (const auto& n = r->nota) {
      const std::string& file_nota = n->testo == testo_descrizione::linea ? linea : treno;
      const std::string luogo_nota = n->riga > 0 ? luogo_riga(file_nota, n->riga, n->colonna) : file_nota;
      const IndiceRighe& indice_nota = n->testo == testo_descrizione::linea ? indice_linea : indice_treno;
      stampa_una(luogo_nota + ": note: " + n->messaggio, riga_e_cursore(indice_nota, n->riga, n->colonna));
    }
  }
  const std::size_t omessi = reperti.size() - mostrati.size();
  std::fflush(stderr);
  if (omessi > 0) {
    avvisa(std::to_string(omessi) + " more warning" + (omessi == 1 ? " is" : "s are") +
           " not shown: only the first " + std::to_string(kAvvisiMostrati) + " are printed");
  }
  return omessi;
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
