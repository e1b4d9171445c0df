#include "reader/train/lettore_treno.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "model/limiti_formato.h"
#include "reader/comune/lettura.h"
#include "reader/comune/testo_chiavi.h"
#include "reader/parole_chiave.h"
#include "reader/train/righe_treno.h"

namespace cmp {

std::int64_t cella_di(std::int64_t metri, int scarto) {
  return arrotonda(limiti_file::in_celle(static_cast<double>(metri)) + scarto);
}

bool oltre_percorso(const Stato& s, std::int32_t posizione, std::int32_t margine) {
  const std::int32_t fino_a = entro_32(std::int64_t{posizione} + margine, "the position plus its margin");
  return fino_a > 50 * s.ultima_cella();
}

namespace {

// The words of a train keyword of the table.
consteval std::string_view parole(std::string_view parola) { return parole_di(formato_descrizione::treno, parola); }

using campo_cella = std::uint8_t tratto::*;

std::uint8_t codice_velocita(std::int32_t kmh) {
  const std::int64_t quinti = arrotonda(kmh / 5.0);
  if (quinti < 0 || quinti > 255) {
    throw FallimentoRiga("the speed limit " + std::to_string(kmh) + " km/h does not fit the cell (0 to 1277 km/h)");
  }
  return static_cast<std::uint8_t>(quinti);
}

std::uint8_t codice_aderenza(std::int32_t valore) { return bassi_8(valore); }

// One of the two profiles along the track (speed limit, adhesion). The value is kept as
// read and converted for each cell it is written into, so a value that does not fit a
// cell fails only if it ever reaches one.
struct profilo {
  std::uint8_t (*codifica)(std::int32_t) = nullptr;
  std::int64_t cursore = 0;  // first cell not yet written
  std::int32_t valore = 0;   // what the cells from the cursor on get, as read
  bool avviato = false;      // a row of this profile has been read
};

// From the cursor on, at least one cell, until the cursor reaches `cella`; never past
// `ultima_scrivibile`. A row at a cell not beyond the cursor still writes one cell.
void avanza(std::vector<tratto>& percorso, profilo& p, campo_cella campo, std::int64_t cella,
            std::int64_t ultima_scrivibile) {
  if (cella <= 0) return;
  do {
    if (p.cursore > ultima_scrivibile) return;
    percorso[static_cast<std::size_t>(p.cursore)].*campo = p.codifica(p.valore);
    ++p.cursore;
  } while (p.cursore < cella);
}

// After the last row: from the cursor to the last cell but three (or just the cell at the
// cursor when it already stands further on, if there is such a cell).
void completa(std::vector<tratto>& percorso, profilo& p, campo_cella campo) {
  const std::int64_t ultima = static_cast<std::int64_t>(percorso.size()) - 1;
  do {
    if (p.cursore > ultima) return;
    percorso[static_cast<std::size_t>(p.cursore)].*campo = p.codifica(p.valore);
    ++p.cursore;
  } while (p.cursore < ultima - 2);
}

// A speed-limit or adhesion row: the profile's value so far reaches the row's cell, and the
// row's value applies from there on. The cells before the first row take the first row's value.
esito_riga riga_profilo(Stato& s, LettoreCampi& lettore, const luogo& riga, profilo& p, campo_cella campo,
                        bool e_velocita) {
  const std::int32_t posizione = lettore.leggi_intero();
  const std::int32_t valore = lettore.leggi_intero();
  if (oltre_percorso(s, posizione, 100)) return fine_per_posizione(s, posizione, riga);
  if (!p.avviato) {
    p.valore = valore;
    p.avviato = true;
  }
  // The speed loop stops short of the last cell; the adhesion loop may reach it.
  const std::int64_t ultima_scrivibile = e_velocita ? s.ultima_cella() - 1 : s.ultima_cella();
  avanza(s.percorso, p, campo, cella_di(posizione, 0), ultima_scrivibile);
  p.valore = valore;
  return esito_riga::continua;
}

// One reading of a train description: the reader base, the two profiles and the station count.
class LetturaTreno : public Lettura {
 public:
  LetturaTreno(Stato& s, std::string_view testo, righe_lette* righe)
      : Lettura(s, testo, testo_descrizione::treno, righe, luogo_dopo_righe::ultima_riga) {}

  esito_lettura leggi();

 private:
  void salta_a_generale();
  esito_riga leggi_righe();
  esito_riga applica_righe(std::string_view campo_letto);
  void controlla_progressive();
  void fine_del_testo();

  profilo velocita_{codice_velocita};
  profilo aderenza_{codice_aderenza};
  std::int32_t contatore_stazioni_ = 1;
};

esito_lettura LetturaTreno::leggi() {
  salta_a_generale();
  if (leggi_righe() == esito_riga::interrompi) return esito_lettura::interrotta;
  fine_del_testo();
  return esito_lettura::completa;
}

// Every row kind whose keyword the field holds, in the fixed order, each reading its
// values at once. A kind that stops the reading ends it there. The keywords are matched
// in any case.
esito_riga LetturaTreno::applica_righe(std::string_view campo_letto) {
  Stato& s = s_;
  LettoreCampi& lettore = campi_;
  const luogo& riga = luogo_chiave();
  const CampoMinuscolo campo(campo_letto);
  // A row kind that reads values, with its record; `posizionale` rows record their first number.
  const auto riga_di = [&](std::string_view chiave, bool posizionale, auto&& leggi) {
    annota(chiave);
    const esito_riga esito = leggi();
    if (posizionale) posiziona(lettore.primo_intero());
    return esito;
  };
  const auto valori = [](auto&& leggi) {
    return [leggi] {
      leggi();
      return esito_riga::continua;
    };
  };
  if (contiene_parole(campo, parole("percentuale massa frenata"))) {
    riga_di("frenata massa", false, valori([&] { massa_frenata(s.scenario) = lettore.leggi_intero(); }));
  }
  if (contiene_parole(campo, parole("numero vetture")))
    riga_di("vetture", false, valori([&] { numero_vetture(s.scenario) = lettore.leggi_intero(); }));
  if (contiene_parole(campo, parole("velocita"))) {
    const auto passo =
        riga_di("velocit", true, [&] { return riga_profilo(s, lettore, riga, velocita_, &tratto::velocita, true); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene_parole(campo, parole("aderenza"))) {
    const auto passo =
        riga_di("aderenza", true, [&] { return riga_profilo(s, lettore, riga, aderenza_, &tratto::aderenza, false); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene_parole(campo, parole("orologio"))) {
    riga_di("orologio", false, valori([&] {
              orologio_ore(s.scenario) = lettore.leggi_breve();
              orologio_minuti(s.scenario) = lettore.leggi_breve();
              orologio_secondi(s.scenario) = lettore.leggi_breve();
            }));
  }
  if (contiene_parole(campo, parole("sabbia")))
    riga_di("sabbia", false, valori([&] { sabbia(s.scenario) = lettore.leggi_breve(); }));
  if (contiene_parole(campo, parole("segnale"))) {
    const auto passo = riga_di("segnale", true, [&] { return riga_segnale_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene_parole(campo, parole("rallentamento"))) {
    const auto passo = riga_di("rallentamento", true, [&] { return riga_rallentamento_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene_parole(campo, parole("abbattimento"))) {
    const auto passo = riga_di("abbattimento", true, [&] { return riga_abbattimento_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene_parole(campo, parole("stazione"))) {
    const std::int32_t voce = contatore_stazioni_;
    annota("stazione");
    const auto passo = riga_stazione_letta(s, lettore, riga, contatore_stazioni_);
    const bool letta = voce <= std::min(s.voce_cartello, 80);
    posiziona(lettore.primo_intero(), letta ? s.scenario[static_cast<std::size_t>(voce)].testo : std::string());
    return passo;
  }
  return esito_riga::continua;
}

// Everything up to and including the first field holding "[generale]" is skipped.
void LetturaTreno::salta_a_generale() {
  do {
    if (contiene(CampoMinuscolo(campi_.leggi_testo()), "[generale]")) return;
  } while (!campi_.fine());
}

// The rows, until the end of the text or a stop. The last field of the text is never
// used as a keyword field; a field holding "-" is a comment, twice in a row at most.
esito_riga LetturaTreno::leggi_righe() {
  while (!campi_.fine()) {
    const auto campo = chiave_dopo_commenti(2);
    if (!campo) break;
    const auto passo = applica_righe(*campo);
    if (passo != esito_riga::continua) return passo;
  }
  return esito_riga::fine_testo;
}

// The kilometre references of the line must lie on the 50 m grid; this number replaces
// a 15 recorded before.
void LetturaTreno::controlla_progressive() {
  const Stato& s = s_;
  bool fuori_griglia = false;
  for (int voce = 81; voce <= 83; ++voce) {
    if (!limiti_file::su_griglia(s.scenario[voce].intero1) || !limiti_file::su_griglia(s.scenario[voce].intero2)) {
      fuori_griglia = true;
    }
  }
  if (fuori_griglia) registra_errore(s_, errori::progressive_fuori_griglia, luogo{testo_descrizione::linea, 0, 0});
}

void LetturaTreno::fine_del_testo() {
  completa(s_.percorso, velocita_, &tratto::velocita);
  completa(s_.percorso, aderenza_, &tratto::aderenza);
  controlla_progressive();
}

}  // namespace

esito_lettura leggi_descrizione_treno(Stato& s, std::string_view testo, righe_lette* righe) {
  if (s.percorso.empty()) {
    return registra_fallimento(s, luogo{testo_descrizione::treno, 0, 0}, "there is no track to place the train on");
  }
  LetturaTreno lettura(s, testo, righe);
  return lettura.con_fallimenti([&] { return lettura.leggi(); }, "not enough memory for the train's rows");
}

}  // namespace cmp
