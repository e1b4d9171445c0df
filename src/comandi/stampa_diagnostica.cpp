#include "comandi/stampa_diagnostica.h"

#include <cstdio>

#include "messaggi/json.h"
#include "messaggi/messaggi.h"
#include "model/cp1252.h"
#include "model/testo_visibile.h"

namespace cmp {

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
  std::fwrite(testo.data(), 1, testo.size(), stderr);
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

std::string json_avviso(const reperto& r, const std::string& linea, const std::string& treno) {
  const auto numero = [](bool c, auto n) { return c ? std::to_string(n) : std::string("null"); };
  const bool con_file = r.riga > 0;
  return "{\"codice\": " + std::to_string(r.numero) +
         ", \"posizione\": " + numero(r.posizione.has_value(), r.posizione.value_or(0)) +
         ", \"file\": " + (con_file ? json_testo(file_del_reperto(r, linea, treno)) : "null") +
         ", \"riga\": " + numero(con_file, r.riga) + ", \"colonna\": " + numero(con_file, r.colonna) +
         ", \"messaggio\": " + json_testo(r.messaggio) + "}";
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
    avvisa(std::to_string(omessi) + " more warning" + (omessi == 1 ? " is" : "s are") + " not shown: only the first " +
           std::to_string(kAvvisiMostrati) + " are printed");
  }
  return omessi;
}

}  // namespace cmp
