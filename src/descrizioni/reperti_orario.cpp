#include "descrizioni/reperti_orario.h"

#include "orario/testo_orario.h"

namespace cmp {

bool corsa_calcolabile(const Stato& s, const esito_compilazione& esito) {
  return esito.scrivibile() && esito.lettura.codice == 0 && !s.percorso.empty();
}

corsa_minima corsa_della_compilazione(const Stato& s, const esito_compilazione& esito, const ipotesi_corsa& ipotesi) {
  return corsa_calcolabile(s, esito) ? calcola_corsa_minima(s.percorso, s.scenario, ipotesi)
                                     : ipotesi_della_corsa(s.scenario, ipotesi);
}

const riga_sorgente* riga_della_stazione(const righe_lette& righe, const stazione_corsa& s) {
  for (const auto& r : righe) {
    if (r.testo == testo_descrizione::treno && r.chiave == "stazione" && r.posizione == s.posizione) return &r;
  }
  return nullptr;
}

std::vector<reperto> reperti_orario(const corsa_minima& c, const righe_lette* righe, double margine_minimo) {
  std::vector<reperto> out;
  for (const auto& s : c.stazioni) {
    auto avviso = avviso_stazione(c, s, margine_minimo);
    if (!avviso) continue;
    reperto r;
    r.genere = genere_reperto::orario;
    r.numero = avviso->numero;
    r.posizione = s.posizione;
    r.messaggio = std::move(avviso->messaggio);
    if (const riga_sorgente* riga = righe ? riga_della_stazione(*righe, s) : nullptr) {
      r.sorgente = riga;
      r.testo = riga->testo;
      r.riga = riga->riga;
      r.colonna = riga->colonna;
    }
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace cmp
