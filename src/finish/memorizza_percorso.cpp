#include "finish/memorizza_percorso.h"

#include <utility>

#include "finish/codici_controllo.h"
#include "finish/finitura.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"
#include "reader/train/memorizza_dati.h"

namespace cmp {
namespace {

void azzera_scenario(Stato& s) {
  for (auto& voce : s.scenario) voce = voce_scenario{};
}

constexpr std::int16_t kValoreFissoScenario = 610;
constexpr std::int16_t kValoreFissoPercorso = 5121;

// The slots the fixed values and the check codes go into must still be empty.
void custodisci_posti_riservati(Stato& s) {
  if (valore_fisso_scenario(s.scenario) != 0 || s.percorso[1].parametro1 != 0) throw ErroreFinale{"1250"};
  valore_fisso_scenario(s.scenario) = kValoreFissoScenario;
  s.percorso[1].parametro1 = kValoreFissoPercorso;
  if (codice_controllo_scenario(s.scenario) != 0 || s.percorso[1].parametro2 != 0) throw ErroreFinale{"1251"};
}

}  // namespace

// A track too short to have a cell 1 (a negative line length) cannot take the fixed
// values either: it counts as no track.
bool ha_percorso(const Stato& s) { return s.percorso.size() > 1; }

void compila_scenario(Stato& s, Cartella& cartella, std::int32_t j) {
  s.crea_tabella_linea = j;
  s.codice_errore = 0;
  s.posizione_errore = 0;
  s.luogo_errore = {};
  s.dettaglio_errore.clear();
  s.avvisi.clear();
  s.percorso.clear();
  s.tabella_linea.svuota();
  azzera_scenario(s);
  memorizza_dati(s, cartella);
  s.codice_errore_lettura = s.codice_errore;
  s.posizione_errore_lettura = s.posizione_errore;
  completa_percorso(s);
}

void completa_percorso(Stato& s) {
  if (!ha_percorso(s)) return;  // nothing to finish, and nothing will be written
  passata_finitura(s);
  custodisci_posti_riservati(s);
  codice_controllo_scenario(s.scenario) = codice_gara_st(s);
  s.percorso[1].parametro2 = codice_gara_og(s);
}

std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella) {
  std::vector<std::string> scritti;
  if (!ha_percorso(s)) return scritti;
  std::vector<file_da_scrivere> file;
  if (s.crea_tabella_linea != 0) {
    // Encoded as it is written, never held whole: 20 MB for the longest line.
    const TabellaLinea& tabella = s.tabella_linea;
    file.push_back({nome_file_tabella_linea(s),
                    [&tabella](const ScriviPezzo& pezzo) { codifica_tabella_linea(tabella, pezzo); }});
  }
  file.push_back(file_intero(nome_file_scenario(s), codifica_scenario(s.scenario)));
  file.push_back(file_intero(nome_file_percorso(s), codifica_percorso(s.percorso)));
  for (const auto& f : file) scritti.push_back(f.nome);
  cartella.scrivi_insieme(std::move(file));
  return scritti;
}

void memorizza_percorso(Stato& s, Cartella& cartella, std::int32_t j) {
  compila_scenario(s, cartella, j);
  scrivi_file_binari(s, cartella);
}

}  // namespace cmp
