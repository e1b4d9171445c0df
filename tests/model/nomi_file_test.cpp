#include "model/nomi_file.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(NomiFile, EveryNameIsBuiltFromTheIdentity) {
  const identita_scenario i{"VallorsaC_Pietrana", "4721"};
  EXPECT_EQ(nome_descrizione_linea(i), "VallorsaC_Pietrana_linea.txt");
  EXPECT_EQ(nome_descrizione_treno(i), "VallorsaC_Pietrana_4721-.txt");
  EXPECT_EQ(nome_file_tabella_linea(i), "VallorsaC_Pietrana_linea.dat");
  EXPECT_EQ(nome_file_scenario(i), "VallorsaC_Pietrana_4721.sim");
  EXPECT_EQ(nome_file_percorso(i), "VallorsaC_Pietrana_4721.dat");
  EXPECT_EQ(nome_documento(i, "note.txt"), "VallorsaC_Pietrana_4721_note.txt");
}

TEST(NomiFile, TheDescriptionsNamesReadBackIntoTheIdentityThatBuiltThem) {
  for (const identita_scenario& i : {identita_scenario{"A", "1"}, identita_scenario{"Linea_con_trattini", "a-b"},
                                     identita_scenario{"x", "_"}, identita_scenario{"\xC8lpidio", "99"}}) {
    SCOPED_TRACE(i.nome_linea + " " + i.numero_treno);
    EXPECT_EQ(linea_dal_nome(nome_descrizione_linea(i)), i.nome_linea);
    EXPECT_EQ(treno_dal_nome(nome_descrizione_treno(i), i.nome_linea), i.numero_treno);
  }
}

// What a name that does not follow its pattern gives: an empty half, or no identity.
TEST(NomiFile, ANameOutsideItsPatternGivesNoIdentity) {
  struct caso {
    const char* nome;
    const char* linea;           // linea_dal_nome
    const char* treno_per_a;     // treno_dal_nome(nome, "A")
    const char* linea_da_treno;  // identita_dal_nome_treno: route, or nullptr when none
    const char* numero_da_treno;
  };
  const caso casi[] = {
      {"A_linea.txt", "A", "", nullptr, nullptr},
      {"_linea.txt", "", "", nullptr, nullptr},
      {"A_linea.TXT", "", "", nullptr, nullptr},
      {"A_7-.txt", "", "7", "A", "7"},
      {"A_-.txt", "", "", "A", ""},
      {"B_7-.txt", "", "", "B", "7"},
      {"A_7.txt", "", "", nullptr, nullptr},
      {"_7-.txt", "", "", nullptr, nullptr},
      {"A7-.txt", "", "", nullptr, nullptr},
      {"-.txt", "", "", nullptr, nullptr},
      {"A_B_7-.txt", "", "B_7", "A_B", "7"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(linea_dal_nome(c.nome), c.linea);
    EXPECT_EQ(treno_dal_nome(c.nome, "A"), c.treno_per_a);
    const auto i = identita_dal_nome_treno(c.nome);
    ASSERT_EQ(i.has_value(), c.linea_da_treno != nullptr);
    if (i) {
      EXPECT_EQ(i->nome_linea, c.linea_da_treno);
      EXPECT_EQ(i->numero_treno, c.numero_da_treno);
    }
  }
}

}  // namespace
}  // namespace cmp
