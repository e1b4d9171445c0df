// The two description texts read back from a folder: the error of the line text, where it
// stands, and which of the texts are gone after it.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "compilazione/da_cartella.h"
#include "disco/cartella.h"
#include "model/nomi_file.h"
#include "../reader/line/testi_linea.h"

namespace cmp {
namespace {

using prova::descrizione;
using prova::righe;

// A whole `leggi_da_cartella` on a folder in memory holding this line text (none when
// nullopt) and a train text.
struct Memorizzata {
  Stato s;
  CartellaMemoria cartella;
  bool linea_rimasta() { return cartella.esiste(nome_descrizione_linea(identita_di(s))); }
  bool treno_rimasto() { return cartella.esiste(nome_descrizione_treno(identita_di(s))); }
};

Memorizzata memorizza(const std::optional<std::string>& testo_linea, std::int32_t crea_tabella = 1) {
  Memorizzata m;
  m.s.nome_linea = "Linea";
  m.s.numero_treno = "1";
  m.s.crea_tabella_linea = crea_tabella;
  if (testo_linea) m.cartella.file[nome_descrizione_linea(identita_di(m.s))] = *testo_linea;
  m.cartella.file[nome_descrizione_treno(identita_di(m.s))] = "[treno]\r\n[fine]\r\n";
  leggi_da_cartella(m.s, m.cartella);
  return m;
}

// What happens to the two texts after the line description.
enum class testi { linea_assente, solo_treno_resta, entrambi_eliminati };

struct CasoErrore {
  const char* nome;
  std::optional<std::string> testo;
  std::int32_t codice;
  std::int32_t posizione;  // 0 where no position goes with the error
  testi dopo;
};

TEST(LeggiDaCartella, EachLineErrorHasItsPositionAndLeavesTheTrainTextAsItSays) {
  const std::string cartelli_doppi =
      descrizione(righe({"cartello_indicatore,  650,   (F)", "cartello_indicatore,  650,   (F)"}));
  const CasoErrore casi[] = {
      {"missing text", std::nullopt, 101, 0, testi::linea_assente},
      {"no header", righe({"lunghezza percorso, 1000", "[fine]"}), 102, 0, testi::solo_treno_resta},
      {"header as the very last field", "abc\r\n[generale]", 102, 0, testi::solo_treno_resta},
      {"length above 1000000", righe({"[generale]", "lunghezza percorso, 1000001", "[curve]", "[fine]"}), 1, 0,
       testi::solo_treno_resta},
      {"first repetition value off the grid",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 130, 0", "[fine]"}), 3, 0,
       testi::solo_treno_resta},
      {"second repetition value off the grid",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 4 codici, 100, 260", "[fine]"}), 4, 0,
       testi::solo_treno_resta},
      {"repetition without 4 or 9",
       righe({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 7 codici, 100, 0", "[fine]"}), 5, 0,
       testi::solo_treno_resta},
      {"row beyond the track: the train text is still read", descrizione(righe({"pendenza,  37950,   3"}), 31000), 15,
       37950, testi::entrambi_eliminati},
      {"curve without a class digit", descrizione(righe({"curvad,  300,  100"})), 103, 0, testi::solo_treno_resta},
      {"two captions on one cell", cartelli_doppi, 6, 650, testi::solo_treno_resta},
      {"board on a caption cell",
       descrizione(
           righe({"cartello_indicatore,  650,   (F)", "indicatori_vmax,  650,  75,  80,  80,  0,  ,  ,  ,  0"})),
       21, 650, testi::solo_treno_resta},
      {"a number that is not one", descrizione(righe({"pendenza,  12abc,   3"})), 25, 0, testi::entrambi_eliminati},
      {"a number of 40 digits", descrizione(righe({"pendenza,  1234567890123456789012345678901234567890,   3"})), 25, 0,
       testi::entrambi_eliminati},
      {"rows without a length row", righe({"[generale]", "[curve]", "pendenza,  0,   1", "[fine]"}), 25, 0,
       testi::entrambi_eliminati},
      {"no length row, no rows, no plan", righe({"[generale]", "[curve]", "[fine]"}), 25, 0, testi::entrambi_eliminati},
      {"empty text", std::string(), 25, 0, testi::entrambi_eliminati},
      {"a row cut short by the end", "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza,  100", 25, 0,
       testi::entrambi_eliminati},
      {"position plus 100 leaves 32 bits", descrizione(righe({"pendenza,  2147483600,   3"})), 25, 0,
       testi::entrambi_eliminati},
      {"negative length", righe({"[generale]", "lunghezza percorso, -1", "[curve]", "[fine]"}), 30, 0,
       testi::solo_treno_resta},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    auto m = memorizza(c.testo);
    EXPECT_EQ(m.s.codice_errore, c.codice);
    EXPECT_EQ(m.s.posizione_errore, c.posizione);
    EXPECT_EQ(m.linea_rimasta(), false);
    EXPECT_EQ(m.treno_rimasto(), c.dopo == testi::solo_treno_resta || c.dopo == testi::linea_assente);
    if (c.codice == 25) {
      EXPECT_FALSE(m.s.dettaglio_errore.empty());
    }
  }
}

}  // namespace
}  // namespace cmp
