#include "reader/train/lettore_treno.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "reader/comune/testo_chiavi.h"
#include "reader/train/righe_treno.h"

namespace cmp {

std::int64_t cella_di(std::int64_t metri, int scarto) {
  return arrotonda(static_cast<double>(metri) / 50.0 + scarto);
}

bool oltre_percorso(const Stato& s, std::int32_t posizione, std::int32_t margine) {
  const std::int32_t fino_a = in_32_bit(std::int64_t{posizione} + margine, "the position plus its margin");
  return fino_a > 50 * s.ultima_cella();
}

void registra_errore(Stato& s, std::int32_t codice, const luogo& riga) {
  s.codice_errore = codice;
  s.luogo_errore = riga;
}

void registra_errore(Stato& s, std::int32_t codice, const luogo& riga, std::int32_t posizione) {
  registra_errore(s, codice, riga);
  s.posizione_errore = posizione;
}

esito_riga dopo_riga_controllata(Stato& s, bool gia_presente, std::int32_t posizione, const luogo& riga) {
  if (s.codice_errore <= 0) return esito_riga::continua;
  s.posizione_errore = posizione;
  if (!gia_presente) s.luogo_errore = riga;
  return esito_riga::interrompi;
}

namespace {

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

struct LetturaTreno {
  profilo velocita{codice_velocita};
  profilo aderenza{codice_aderenza};
  std::int32_t contatore_stazioni = 1;
  luogo riga;  // the keyword field of the row being worked
  righe_lette* righe = nullptr;

  // A row about to be read: its keyword and where it stands.
  void annota(LettoreCampi& lettore, std::string_view chiave) {
    lettore.inizia_riga();
    if (righe) righe->push_back({testo_descrizione::treno, chiave, riga.riga, riga.colonna, 0, {}});
  }
  // The row's position (its first number) and name, once its values are read.
  void posiziona(const LettoreCampi& lettore, std::string nome = {}) {
    if (!righe || righe->empty()) return;
    righe->back().posizione = lettore.primo_intero();
    righe->back().nome = std::move(nome);
  }
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

// Every row kind whose keyword the field holds, in the fixed order, each reading its
// values at once. A kind that stops the reading ends it there. The keywords are matched
// in any case.
esito_riga applica_righe(Stato& s, LettoreCampi& lettore, LetturaTreno& lt, std::string_view campo_letto,
                         const luogo& riga) {
  const CampoMinuscolo campo(campo_letto);
  // A row kind that reads values, with its record; `posizionale` rows record their first number.
  const auto riga_di = [&](std::string_view chiave, bool posizionale, auto&& leggi) {
    lt.annota(lettore, chiave);
    const esito_riga esito = leggi();
    if (posizionale) lt.posiziona(lettore);
    return esito;
  };
  const auto valori = [](auto&& leggi) {
    return [leggi] {
      leggi();
      return esito_riga::continua;
    };
  };
  if (contiene(campo, "frenata") && contiene(campo, "massa")) {
    riga_di("frenata massa", false, valori([&] { massa_frenata(s.scenario) = lettore.leggi_intero(); }));
  }
  if (contiene(campo, "vetture")) riga_di("vetture", false, valori([&] { numero_vetture(s.scenario) = lettore.leggi_intero(); }));
  if (contiene(campo, "velocit")) {
    const auto passo = riga_di("velocit", true, [&] {
      return riga_profilo(s, lettore, riga, lt.velocita, &tratto::velocita, true);
    });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene(campo, "aderenza")) {
    const auto passo = riga_di("aderenza", true, [&] {
      return riga_profilo(s, lettore, riga, lt.aderenza, &tratto::aderenza, false);
    });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene(campo, "orologio")) {
    riga_di("orologio", false, valori([&] {
              orologio_ore(s.scenario) = lettore.leggi_breve();
              orologio_minuti(s.scenario) = lettore.leggi_breve();
              orologio_secondi(s.scenario) = lettore.leggi_breve();
            }));
  }
  if (contiene(campo, "sabbia")) riga_di("sabbia", false, valori([&] { sabbia(s.scenario) = lettore.leggi_breve(); }));
  if (contiene(campo, "segnale")) {
    const auto passo = riga_di("segnale", true, [&] { return riga_segnale_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene(campo, "rallentamento")) {
    const auto passo = riga_di("rallentamento", true, [&] { return riga_rallentamento_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene(campo, "abbattimento")) {
    const auto passo = riga_di("abbattimento", true, [&] { return riga_abbattimento_letta(s, lettore, riga); });
    if (passo != esito_riga::continua) return passo;
  }
  if (contiene(campo, "stazione")) {
    const std::int32_t voce = lt.contatore_stazioni;
    lt.annota(lettore, "stazione");
    const auto passo = riga_stazione_letta(s, lettore, riga, lt.contatore_stazioni);
    const bool letta = voce <= std::min(s.voce_cartello, 80);
    lt.posiziona(lettore, letta ? s.scenario[static_cast<std::size_t>(voce)].testo : std::string());
    return passo;
  }
  return esito_riga::continua;
}

// Everything up to and including the first field holding "[generale]" is skipped.
void salta_a_generale(LettoreCampi& lettore) {
  do {
    if (contiene(CampoMinuscolo(lettore.leggi_testo()), "[generale]")) return;
  } while (!lettore.fine());
}

// The rows, until the end of the text or a stop. The last field of the text is never
// used as a keyword field; a field holding "-" is a comment, twice in a row at most.
esito_riga leggi_righe(Stato& s, LettoreCampi& lettore, LetturaTreno& lt) {
  while (!lettore.fine()) {
    std::string campo = lettore.leggi_testo();
    if (lettore.fine()) break;
    for (int salti = 0; salti < 2 && contiene(campo, "-"); ++salti) {
      campo = lettore.leggi_testo();
      if (lettore.fine()) return esito_riga::fine_testo;
    }
    lt.riga = luogo{testo_descrizione::treno, lettore.riga_campo(), lettore.colonna_campo()};
    const auto passo = applica_righe(s, lettore, lt, campo, lt.riga);
    if (passo != esito_riga::continua) return passo;
  }
  return esito_riga::fine_testo;
}

// The kilometre references of the line must lie on the 50 m grid; this number replaces
// a 15 recorded before.
void controlla_progressive(Stato& s) {
  bool fuori_griglia = false;
  for (int voce = 81; voce <= 83; ++voce) {
    if (s.scenario[voce].intero1 % 50 != 0 || s.scenario[voce].intero2 % 50 != 0) fuori_griglia = true;
  }
  if (fuori_griglia) registra_errore(s, errori::progressive_fuori_griglia, luogo{testo_descrizione::linea, 0, 0});
}

void fine_del_testo(Stato& s, LetturaTreno& lt) {
  completa(s.percorso, lt.velocita, &tratto::velocita);
  completa(s.percorso, lt.aderenza, &tratto::aderenza);
  controlla_progressive(s);
}

esito_lettura fallita(Stato& s, const luogo& dove, const std::string& motivo) {
  s.codice_errore = errori::lettura;
  s.luogo_errore = dove;
  s.dettaglio_errore = motivo;
  return esito_lettura::fallita;
}

}  // namespace

esito_lettura leggi_descrizione_treno(Stato& s, std::string_view testo, righe_lette* righe) {
  if (s.percorso.empty()) {
    return fallita(s, luogo{testo_descrizione::treno, 0, 0}, "there is no track to place the train on");
  }
  LettoreCampi lettore(testo);
  LetturaTreno lt;
  lt.righe = righe;
  try {
    salta_a_generale(lettore);
    if (leggi_righe(s, lettore, lt) == esito_riga::interrompi) return esito_lettura::interrotta;
    fine_del_testo(s, lt);
    return esito_lettura::completa;
  } catch (const FallimentoLettura& e) {
    return fallita(s, luogo{testo_descrizione::treno, e.riga(), e.colonna()}, e.motivo());
  } catch (const FallimentoRiga& e) {
    return fallita(s, lt.riga, e.what());
  }
}

}  // namespace cmp
