#include <string>
#include <string_view>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "documents/celle.h"
#include "documents/documenti.h"
#include "documents/nomi_scenario.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// Header boxes: left box, four blanks, middle box, free area, right box.
const Colonne kIntestazione{" ", {19, 4, 19, 25, 23}};
// Classification, braked mass, free area, composition code and its extra.
const Colonne kClassificazione{" ", {22, 21, 25, 17, 5}};
// Timetable heading: speed, running speed, kilometre and place, times, Rec, Bin.Dx,
// SRS, symbols, SRS.
const Colonne kTestataOrario{"  ", {5, 5, 33, 15, 3, 6, 3, 11, 3}};
// Timetable data: the kilometre and the place get a cell each, the last three heading
// columns make one.
const Colonne kRigheOrario{"  ", {5, 5, 9, 23, 15, 3, 6, 19}};
// The closing rule keeps the joined last cell but not the kilometre cell.
const Colonne kChiusuraOrario{"  ", {5, 5, 33, 15, 3, 6, 19}};

// A time of day as the timetable writes it, hh.mm, `scarto` minutes after the one given.
std::string ora(orario_incorporato o, int scarto = 0) {
  const int minuti = o.ore * 60 + o.minuti + scarto;
  const auto due_cifre = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return due_cifre(minuti / 60) + "." + due_cifre(minuti % 60);
}

// Arrival and departure as hh.mm; at the departure station only the departure.
std::string orari(std::string_view arrivo, std::string_view partenza) {
  if (arrivo.empty()) return cella_a_destra(std::string(partenza) + " ", 15);
  return " " + std::string(arrivo) + "   " + std::string(partenza) + " ";
}

// A speed cell: the speed-limit row's km/h, one blank before.
std::string velocita(std::size_t riga) { return " " + std::to_string(velocita_incorporata(riga)); }

// Place cell of a stopping station: two blanks, the name, full stops to the end.
std::string fermata(std::string_view nome) { return cella_punti("  " + std::string(nome), 23); }

void intestazione(std::vector<std::string>& r, const Stato& s) {
  const std::string treno = spazi(7) + da_cp1252(s.numero_treno);
  r.push_back(spazi(2) + regola(19) + spazi(6) + regola(19) + spazi(27) + regola(23));
  r.push_back(riga_tabella(kIntestazione, {"  Fascicolo Linee", "", "      Treno", "", " Sigla di Composizione"}));
  r.push_back(riga_tabella(
      kIntestazione, {spazi(5) + std::string(kRegioneMaiuscole), "", treno, "     Scheda n° 1/2", "        VS140 C"}));
  r.push_back(riga_tabella(kIntestazione, {regola(19), "", regola(19), "", "         105%"}));
  r.push_back(riga_tabella(kIntestazione, {" Validità", "", " Termine Scheda",
                                           "    Da: " + std::string(kPrimaLocalitaMaiuscole), regola(23)}));
  // The right box was closed on the line above: this one stops after the arrival.
  r.push_back(unisci({" ", cella(" Dal: 30.09.2001", 19), spazi(4), cella(kTermineScheda, 19),
                      cella("     A: " + std::string(kSecondaLocalitaMaiuscole), 23)}));
  r.push_back(unisci({" ", regola(19), spazi(4), regola(19), spazi(26) + regola(23)}));
}

void classificazione(std::vector<std::string>& r) {
  r.push_back(spazi(2) + regola(22) + " " + regola(21) + spazi(26) + unisci({"", " Int. alla Sigla ", spazi(5), ""}));
  r.push_back(riga_tabella(kClassificazione, {" Classificazione", " Massa Bloccata", "", "      ALe 582", " RSC4"}) +
              " ");
  r.push_back(riga_tabella(kClassificazione, {"         R", "        1ALe+1Le"}) + " ");
  // The free area between the boxes stays open.
  r.push_back(riga_tabella(kClassificazione, {regola(22), regola(21), "", regola(17), regola(5)}));
}

void orario(std::vector<std::string>& r) {
  r.push_back(spazi(3) + regola(92));
  r.push_back(
      riga_tabella(kTestataOrario, {" Vel.", " Vel.", "  Prog", "", "Rec", "Bin.Dx", "SRS", " Simbologia", "SRS"}) +
      " ");
  r.push_back(riga_tabella(
      kTestataOrario, {" Max.", "Marc.", "   Km.           Localita'", "     Orario", "", "V. Max", " SX", "", " DX"}));
  r.push_back(riga_regola(kTestataOrario));
  const std::string binario = "  /";
  // The train holds each station's departure (the arrival at the last): the stop at an
  // intermediate station lasts one minute, the train stands four at the last.
  const orario_incorporato partenza = orario_stazione_incorporata(0), seconda = orario_stazione_incorporata(1),
                           terza = orario_stazione_incorporata(2), arrivo = orario_stazione_incorporata(3);
  r.push_back(riga_tabella(kRigheOrario, {velocita(0), velocita(0), "132.107", "  " + std::string(kStazionePartenza),
                                          orari("", ora(partenza)), "", binario}));
  r.push_back(riga_tabella(kRigheOrario, {velocita(1), velocita(1), "138.722", fermata(kSecondaStazioneScheda),
                                          orari(ora(seconda, -1), ora(seconda)), "", binario}));
  r.push_back(riga_tabella(kRigheOrario, {velocita(2), velocita(2), "", " Sott.Km.142,236", "", "", binario}));
  r.push_back(riga_tabella(kRigheOrario, {velocita(3), velocita(3), "", " C.C.Km.143,845", "", "", binario}));
  r.push_back(riga_tabella(
      kRigheOrario, {"", "", "151.082", fermata(kTerzaStazione), orari(ora(terza, -1), ora(terza)), "0.5", binario}));
  // The kilometre reckoning steps here: the figure closes with its own small box.
  r.push_back(riga_tabella(kRigheOrario, {"", "", "160.858_|", fermata(kStazioneArrivo),
                                          orari(ora(arrivo), ora(arrivo, 4)), "", binario, "         1"}));
  r.push_back(riga_tabella(kRigheOrario, {"", "", "154.207 \\", "", "", "", binario}));
  r.push_back(riga_regola(kChiusuraOrario));
}

}  // namespace

std::vector<std::string> righe_scheda(const Stato& s) {
  std::vector<std::string> r{"", ""};
  intestazione(r, s);
  classificazione(r);
  r.push_back("");
  r.push_back("");
  orario(r);
  r.push_back(spazi(44));
  return r;
}

void dati_scheda(const Stato& s, Cartella& cartella) {
  scrivi_tabella(cartella, nome_documento(identita_di(s), kSuffissoScheda), tabella_righe(righe_scheda(s)));
}

}  // namespace cmp
