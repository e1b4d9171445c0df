#include "comandi/descrizioni_utente.h"

#include <cstdio>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "comandi/diagnostica.h"
#include "comandi/identita.h"
#include "errori/catalogo_errori.h"
#include "riga_comando/riga_comando.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"

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

std::string file_del_luogo(const errore_lettura& e, const std::string& linea, const std::string& treno) {
  if (e.dove.testo == testo_descrizione::treno) return treno;
  if (e.dove.testo == testo_descrizione::linea) return linea;
  const voce_errore* v = voce_di(e.codice);
  return v != nullptr && v->testo == testo_errore::linea ? linea : treno;
}

std::string riga_e_cursore(std::string_view testo, int riga, int colonna) {
  if (riga <= 0 || testo.empty()) return {};
  std::size_t inizio = 0;
  for (int r = 1; r < riga; ++r) {
    inizio = testo.find('\n', inizio);
    if (inizio == std::string_view::npos) return {};
    ++inizio;
  }
  std::string_view linea = testo.substr(inizio, testo.find('\n', inizio) - inizio);
  if (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
  if (linea.size() > 200) return {};  // a binary or endless line is not worth showing
  for (const char c : linea) {
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return {};  // nor one to upset a terminal
  }
  std::string sotto;
  for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(colonna) && i < linea.size(); ++i) {
    sotto += linea[i] == '\t' ? '\t' : ' ';
  }
  return "  " + da_cp1252(linea) + "\n  " + sotto + "^\n";
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

void stampa_diagnostica(const Stato& s, const esito_compilazione& esito, const std::string& linea,
                        const std::string& treno, std::string_view testo_linea, std::string_view testo_treno) {
  const errore_lettura& e = esito.lettura;
  if (e.codice != 0) {
    const std::string file = file_del_luogo(e, linea, treno);
    std::fprintf(stderr, "%s: error %d: %s\n", prefisso_luogo(e, file).c_str(), e.codice,
                 descrivi_lettura(s, esito).c_str());
    std::fputs(riga_e_cursore(file == linea ? testo_linea : testo_treno, e.dove.riga, e.dove.colonna).c_str(), stderr);
  }
  if (!esito.scrivibile()) {
    if (const riga_sorgente* r = riga_del_posto_occupato(esito)) {
      const bool in_linea = r->testo == testo_descrizione::linea;
      std::fprintf(stderr, "%s:%d:%d: error %d: %s\n", (in_linea ? linea : treno).c_str(), r->riga, r->colonna,
                   static_cast<int>(esito.finale), messaggio_posto_occupato(*r, esito.finale).c_str());
      std::fputs(riga_e_cursore(in_linea ? testo_linea : testo_treno, r->riga, r->colonna).c_str(), stderr);
    }
  }
  for (const auto& a : esito.avvisi) {
    const riga_sorgente* r = riga_dell_avviso(s, esito, a);
    const std::string luogo = r ? treno + ":" + std::to_string(r->riga) + ":" + std::to_string(r->colonna) : treno;
    std::fprintf(stderr, "%s: warning %d: %s\n", luogo.c_str(), a.codice, descrivi_avviso(s, esito, a).c_str());
    if (r) std::fputs(riga_e_cursore(testo_treno, r->riga, r->colonna).c_str(), stderr);
  }
}

}  // namespace cmp
