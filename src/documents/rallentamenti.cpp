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

// Number; between the stations; start after kilometre post; speed; length; prescriptions.
const Colonne kRallentamenti{" ", {3, 28, 12, 10, 9, 12}};
// The form always offers this many blank rows below the entries, for orders given by hand.
constexpr int kRigheVuote = 25;

void intestazione(std::vector<std::string>& r, const Stato& s) {
  r.push_back("");
  r.push_back(spazi(31) + "Modulo M. 3");
  r.push_back(spazi(27) + "ORDINE DI RALLENTAMENTO");
  r.push_back(" " + regola(80));
  r.push_back("  Linea  " + std::string(kPrimaLocalitaMaiuscole) + " C.LE - " + std::string(kSecondaLocalitaMaiuscole));
  r.push_back("");
  r.push_back("  Si ordina al macchinista del treno " + da_cp1252(s.numero_treno) +
              " di effettuare i seguenti rallentamenti");
  r.push_back("  " + regola(79));
}

void tabella(std::vector<std::string>& r) {
  r.push_back(riga_tabella(kRallentamenti, {"", "", "Inizio dopo"}));
  r.push_back(riga_tabella(kRallentamenti,
                           {" N.", "      FRA LE STAZIONI", " il cippo", " Velocita'", "Lunghezza", "Prescrizioni"}));
  r.push_back(
      riga_tabella(kRallentamenti, {"", "   (o nelle Stazioni di)", "chilometrico", "", "   metri", " specifiche"}));
  r.push_back(riga_regola(kRallentamenti));
  // The built-in train has no slow orders.
  r.push_back(riga_tabella(kRallentamenti, {"", "  NESSUNA PRESCRIZIONE"}));
  for (int i = 0; i < kRigheVuote; ++i) r.push_back(riga_tabella(kRallentamenti));
  r.push_back(riga_regola(kRallentamenti));
}

void prescrizioni(std::vector<std::string>& r) {
  r.push_back("");
  r.push_back(spazi(14) + "Prescrizioni specifiche");
  r.push_back(" A - Da rispettare con tutto il treno (per i treni viaggiatori)");
  r.push_back(" B - Interessa anche la stazione di.......");
  r.push_back(" D - Rallentamneto N. ... e N. ...  sono contigui");
  r.push_back(" C - Da rispettare dalle ore ....  alle ore ..... di tutti");
  r.push_back("     i giorni esclusi i seguenti:.........");
}

}  // namespace

std::vector<std::string> righe_rallentamenti(const Stato& s) {
  std::vector<std::string> r;
  intestazione(r, s);
  tabella(r);
  prescrizioni(r);
  return r;
}

void dati_rallentamenti(const Stato& s, Cartella& cartella) {
  scrivi_tabella(cartella, nome_documento(identita_di(s), kSuffissoRallentamenti),
                 tabella_righe(righe_rallentamenti(s)));
}

}  // namespace cmp
