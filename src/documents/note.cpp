#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "documents/celle.h"
#include "documents/documenti.h"
#include "documents/nomi_scenario.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// Each paragraph is one line of the file, however long: readers wrap it themselves.
void la_linea(std::vector<std::string>& r) {
  r.push_back(
      "La linea è lunga 28,7 Km.: da Vallorsa C. si scende a semplice binario e dopo circa 30 minuti si arriva "
      "a Pietrana sul binario di sinistra di un tratto a doppio binario, il cui binario sinistro serve i treni "
      "da e per Vallorsa C., quello destro i treni da e per Ferrano.");
  r.push_back(
      "Pietrana però non è stazione di testa: la linea prosegue, a semplice binario e non elettrificata, verso "
      "le località di Borgo Tessano, Montecalvi, San Ferriolo e Rocca Marina.");
  r.push_back("La circolazione avviene in regime di Blocco elettrico conta assi.");
  r.push_back("La linea è in C.T.C. fra Vallorsa C. e Pietrana; il D.C.O. ha sede a Vallorsa C. ");
  r.push_back(
      "La planimetria è il più reale possibile, in quanto e stata fatta prendendo nota chilometro per chilometro "
      "della planimetria viaggiando su tale linea, e con l'aiuto della prefazione all'orario generale di "
      "servizio.");
  // The level crossing is the last caption board of the line (Km 153+284 at 27850 m).
  r.push_back(
      "N.B. Il P.L. al Km 153,284 ha la progressiva chilometrica della linea Ferrano-Lagosecco-Pietrana, non "
      "della nostra linea, ed è situato fra il segnale di protezione della stazione di Pietrana e la stazione "
      "stessa. ");
}

void il_treno(std::vector<std::string>& r, const Stato& s) {
  r.push_back("Treno Simulato:");
  r.push_back(da_cp1252(s.numero_treno) + " " + std::string(kPrimaLocalita) + " C._" + std::string(kSecondaLocalita) +
              ".");
  r.push_back("Il nostro treno è composto da 2 ALe 582 e 2 rimorchi Le 763 così M+R+R+M.");
  r.push_back("Nel turno estivo ha lo stesso orario ma composizione 1 ALe 582+1 Le 562.");
  r.push_back("Con la medesima composizione viaggia il treno 4731 Pietrana - Vallorsa C.");
  r.push_back("Parte in ritardo perché deve incrociare il 4718 Pietrana-Vallorsa C.");
  r.push_back("Il treno viene condotto dai macchinisti del turno regionale del Deposito di Vallorsa C.");
  r.push_back("Sono graditi consigli e suggerimenti. Buon lavoro.");
}

void firma(std::vector<std::string>& r) {
  r.push_back("Un saluto a tutti i colleghi,");
  r.push_back("il compilatore dello scenario");
  r.push_back("Vallorsa C., settembre 2001");
}

}  // namespace

std::vector<std::string> righe_note(const Stato& s) {
  std::vector<std::string> r;
  r.push_back(spazi(8) + "Regione " + std::string(kRegione));
  r.push_back("Linea " + std::string(kPrimaLocalita) + " C.-" + std::string(kSecondaLocalita) + ".");
  r.push_back("");
  la_linea(r);
  r.push_back("");
  il_treno(r, s);
  r.push_back("");
  firma(r);
  return r;
}

void dati_note(const Stato& s, Cartella& cartella) {
  scrivi_tabella(cartella, nome_documento(identita_di(s), kSuffissoNote), tabella_righe(righe_note(s)));
}

}  // namespace cmp
