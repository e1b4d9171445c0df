// Which description texts the reading leaves behind, and a text that cannot be read.
#include "compilazione/da_cartella.h"

#include <gtest/gtest.h>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// A folder whose files can be listed but one of them not read.
class CartellaIlleggibile : public CartellaMemoria {
 public:
  std::optional<std::string> leggi(const std::string& nome) override {
    if (nome == illeggibile) throw ErroreFile(nome, "Permission denied");
    return CartellaMemoria::leggi(nome);
  }
  std::string illeggibile;
};

Stato identita() {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  s.crea_tabella_linea = true;
  return s;
}

TEST(MemorizzaDati, ATextThatExistsButCannotBeReadIsError25AndBothGo) {
  for (const bool linea : {true, false}) {
    Stato s = identita();
    CartellaIlleggibile c;
    c.scrivi(nome_descrizione_linea(identita_di(s)), testo_da_tabella(tabella_righe(righe_linea_incorporata())));
    c.scrivi(nome_descrizione_treno(identita_di(s)), testo_da_tabella(tabella_righe(righe_treno_incorporato())));
    c.illeggibile = linea ? nome_descrizione_linea(identita_di(s)) : nome_descrizione_treno(identita_di(s));
    leggi_da_cartella(s, c);
    EXPECT_EQ(s.codice_errore, 25) << linea;
    EXPECT_NE(s.dettaglio_errore.find("Permission denied"), std::string::npos);
    EXPECT_TRUE(c.file.empty()) << "the common failure path deletes both texts";
  }
}

TEST(MemorizzaDati, ALineErrorOfItsOwnLeavesTheTrainTextUnread) {
  Stato s = identita();
  CartellaMemoria c;
  c.scrivi(nome_descrizione_linea(identita_di(s)), "[generale]\r\nlunghezza percorso, 2000000\r\n[fine]\r\n");
  c.scrivi(nome_descrizione_treno(identita_di(s)), "[generale]\r\n[fine]\r\n");
  leggi_da_cartella(s, c);
  EXPECT_EQ(s.codice_errore, 1);
  EXPECT_FALSE(c.esiste(nome_descrizione_linea(identita_di(s))));
  EXPECT_TRUE(c.esiste(nome_descrizione_treno(identita_di(s))));
}

}  // namespace
}  // namespace cmp
