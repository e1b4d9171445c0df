#include "comandi/descrizioni_utente.h"

#include <cstdio>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "descrizioni/diagnostica.h"
#include "descrizioni/identita.h"
#include "errori/catalogo_errori.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"
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

std::string prefisso_luogo(const errore_lettura& e, const std::string& file) {
  std::string out = file;
  if (e.dove.riga > 0) out += ":" + std::to_string(e.dove.riga) + ":" + std::to_string(e.dove.colonna);
  return out;
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
  if (!std::filesystem::is_directory(cartella, ec)) {
    rifiuta(r, che + cartella + ": " + (std::filesystem::exists(cartella, ec) ? "not a directory" : "no such directory"),
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
  if (!std::filesystem::exists(cartella, ec) && !std::filesystem::is_symlink(cartella, ec)) {
    std::filesystem::create_directories(cartella, ec);
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
    if (std::filesystem::exists(uscita, ec) && std::filesystem::equivalent(uscita, i, ec)) return true;
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

std::string nota_lettura_linea(const Stato& s, const esito_compilazione& esito) {
  const errore_lettura& l = *esito.lettura_linea;
  return "before the train's error, the line recorded error " + std::to_string(l.codice) + ": " +
         descrivi_lettura(s, esito, l);
}

const riga_sorgente* riga_del_posto_occupato(const esito_compilazione& esito) {
  for (const auto& r : esito.righe) {
    const auto p = r.posizione;
    const bool cartello = r.chiave == "cartello" || r.chiave == "indicatori_v";
    if ((cartello && p >= -24 && p <= 24) || (r.chiave == "rallentamento" && p >= 0 && p <= 24) ||
        (esito.finale == errore_finale::posto_scenario && r.chiave == "abbattimento" && p >= 26 && p <= 74)) {
      return &r;
    }
  }
  return nullptr;
}

std::string messaggio_posto_occupato(const riga_sorgente& r, errore_finale finale) {
  return "cell 1 of the track is reserved (" +
         std::string(finale == errore_finale::posto_scenario ? "its first value" : "its second value, the check codes") +
         "), and this '" + std::string(r.chiave) + "' row at " + std::to_string(r.posizione) +
         " m puts a mark there; move it at least 50 m further on";
}

namespace {

// One diagnostic on standard error: its line (whatever the names and fields in it hold,
// see testo_visibile) and the source line with its caret.
void stampa_una(const std::string& riga, const std::string& sotto) {
  const std::string testo = testo_visibile(riga) + "\n" + sotto;
  std::fwrite(testo.data(), 1, testo.size(), stderr);
}

std::string diagnostica(const std::string& luogo, const char* genere, int codice, const std::string& messaggio) {
  return luogo + ": " + genere + " " + std::to_string(codice) + ": " + messaggio;
}

std::string luogo_riga(const std::string& file, int riga, int colonna) {
  return file + ":" + std::to_string(riga) + ":" + std::to_string(colonna);
}

}  // namespace

avvisi_mostrati stampa_diagnostica(const Stato& s, const esito_compilazione& esito, const std::string& linea,
                                   const std::string& treno, std::string_view testo_linea,
                                   std::string_view testo_treno, const std::vector<avviso_in_file>& avvisi_testo) {
  const IndiceRighe indice_linea(testo_linea), indice_treno(testo_treno);
  const auto indice_di = [&](bool in_linea) -> const IndiceRighe& { return in_linea ? indice_linea : indice_treno; };
  avvisi_mostrati mostrati;
  std::size_t posto = kAvvisiMostrati;
  for (const auto& a : avvisi_testo) {
    if (posto == 0) break;
    --posto;
    ++mostrati.del_testo;
    stampa_una(diagnostica(luogo_riga(*a.file, a.avviso.riga, a.avviso.colonna), "warning", a.avviso.codice,
                           a.avviso.messaggio),
               riga_e_cursore(indice_di(*a.file == linea), a.avviso.riga, a.avviso.colonna));
  }
  const errore_lettura& e = esito.lettura;
  if (e.codice != 0) {
    const std::string file = file_del_luogo(e, linea, treno);
    stampa_una(diagnostica(prefisso_luogo(e, file), "error", e.codice, descrivi_lettura(s, esito)),
               riga_e_cursore(indice_di(file == linea), e.dove.riga, e.dove.colonna));
  }
  if (esito.lettura_linea) {
    const errore_lettura& l = *esito.lettura_linea;
    const std::string file = file_del_luogo(l, linea, treno);
    stampa_una(prefisso_luogo(l, file) + ": note: " + nota_lettura_linea(s, esito),
               riga_e_cursore(indice_di(file == linea), l.dove.riga, l.dove.colonna));
  }
  if (!esito.scrivibile()) {
    if (const riga_sorgente* r = riga_del_posto_occupato(esito)) {
      const bool in_linea = r->testo == testo_descrizione::linea;
      stampa_una(diagnostica(luogo_riga(in_linea ? linea : treno, r->riga, r->colonna), "error",
                             static_cast<int>(esito.finale), messaggio_posto_occupato(*r, esito.finale)),
                 riga_e_cursore(indice_di(in_linea), r->riga, r->colonna));
    }
  }
  const IndiceAvvisi indice_avvisi(s, esito);
  for (const auto& a : esito.avvisi) {
    if (posto == 0) break;
    --posto;
    ++mostrati.di_finitura;
    const riga_sorgente* r = indice_avvisi.riga(a);
    stampa_una(diagnostica(r ? luogo_riga(treno, r->riga, r->colonna) : treno, "warning", a.codice,
                           descrivi_avviso(s, indice_avvisi, a)),
               r ? riga_e_cursore(indice_treno, r->riga, r->colonna) : std::string());
  }
  mostrati.omessi = avvisi_testo.size() + esito.avvisi.size() - mostrati.del_testo - mostrati.di_finitura;
  std::fflush(stderr);
  if (mostrati.omessi > 0) {
    avvisa(std::to_string(mostrati.omessi) + " more warning" + (mostrati.omessi == 1 ? " is" : "s are") +
           " not shown: only the first " + std::to_string(kAvvisiMostrati) + " are printed");
  }
  return mostrati;
}

}  // namespace cmp
