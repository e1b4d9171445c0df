#include "compilazione/compila.h"
#include "compilazione/da_cartella.h"
#include "compilazione/scrivi_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "model/nomi_file.h"

namespace cmp {
namespace {

// The built-in identity: its check codes are 33209 (weighted) and 2412 (plain).
constexpr std::int32_t kCodiceScenario = 33209;
constexpr std::int16_t kCodicePercorso = 2412;

Stato stato_letto(int celle = 150) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  testo_nome_linea(s.scenario) = s.nome_linea;
  testo_numero_treno(s.scenario) = s.numero_treno;
  s.percorso.assign(static_cast<std::size_t>(celle), tratto{});
  return s;
}

std::string completa_e_riporta(Stato& s) {
  const errore_finale f = completa_percorso(s);
  return f == errore_finale::nessuno ? "" : std::to_string(numero_finale(f));
}

TEST(CompletaPercorso, StoresTheFixedValuesAndTheCheckCodesAfterThePass) {
  Stato s = stato_letto();
  s.percorso[30].tipo = tipo_cella::inizio_rallentamento;
  s.percorso[30].parametro1 = 120;
  s.percorso[40].tipo = tipo_cella::fine_rallentamento;

  ASSERT_EQ(completa_e_riporta(s), "");
  EXPECT_EQ(valore_fisso_scenario(s.scenario), 610);
  EXPECT_EQ(s.percorso[1].parametro1, 5121);
  EXPECT_EQ(codice_controllo_scenario(s.scenario), kCodiceScenario);
  EXPECT_EQ(s.percorso[1].parametro2, kCodicePercorso);
  EXPECT_EQ(s.percorso[25].tipo, tipo_cella::abbattimento_valore);  // the pass has run
}

TEST(CompletaPercorso, ReservedSlotsInUseStopTheRun) {
  struct caso {
    std::string nome;
    std::function<void(Stato&)> occupa;
    std::string numero;
  };
  const caso casi[] = {
      {"entry 85 breve1", [](Stato& s) { valore_fisso_scenario(s.scenario) = 1; }, "1250"},
      {"cell 1 parametro1", [](Stato& s) { s.percorso[1].parametro1 = -1; }, "1250"},
      {"entry 85 intero4", [](Stato& s) { codice_controllo_scenario(s.scenario) = 7; }, "1251"},
      {"cell 1 parametro2", [](Stato& s) { s.percorso[1].parametro2 = 3; }, "1251"},
      {"both kinds: 1250 first",
       [](Stato& s) {
         codice_controllo_scenario(s.scenario) = 7;
         s.percorso[1].parametro1 = 9;
       },
       "1250"},
      // The pass runs before the guard: a mark it places in cell 1 occupies the slot too.
      {"a mark of the pass in cell 1",
       [](Stato& s) {
         s.percorso[10].tipo = tipo_cella::avviso_rallentamento;
         s.percorso[3].tipo = tipo_cella::segnale;
         s.percorso[2].tipo = tipo_cella::indicatori_v_max;
       },
       "1250"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Stato s = stato_letto();
    c.occupa(s);
    const Stato prima = s;
    EXPECT_EQ(completa_e_riporta(s), c.numero);
    if (c.numero == "1250") {  // nothing stored
      EXPECT_EQ(valore_fisso_scenario(s.scenario), valore_fisso_scenario(prima.scenario));
      EXPECT_NE(s.percorso[1].parametro1, 5121);
    } else {  // the fixed values went in, the check codes did not
      EXPECT_EQ(valore_fisso_scenario(s.scenario), 610);
      EXPECT_EQ(s.percorso[1].parametro1, 5121);
    }
    EXPECT_EQ(codice_controllo_scenario(s.scenario), codice_controllo_scenario(prima.scenario));
    EXPECT_EQ(s.percorso[1].parametro2, prima.percorso[1].parametro2);
  }
}

std::string due_byte(const std::string& file, std::size_t da) {
  char testo[8];
  std::snprintf(testo, sizeof testo, "%02x %02x", static_cast<unsigned char>(file.at(da)),
                static_cast<unsigned char>(file.at(da + 1)));
  return testo;
}

TEST(ScriviFileBinari, WritesTheFinishedScenarioInOrder) {
  Stato s = stato_letto(150);
  ASSERT_EQ(completa_e_riporta(s), "");
  CartellaMemoria cartella;
  cartella.file[nome_file_tabella_linea(identita_di(s))] = "older plan";

  s.crea_tabella_linea = false;
  EXPECT_EQ(scrivi_file_binari(s, cartella),
            (std::vector<std::string>{"VallorsaC_Pietrana_4721.sim", "VallorsaC_Pietrana_4721.dat"}));
  EXPECT_EQ(cartella.file[nome_file_tabella_linea(identita_di(s))], "older plan");

  const std::string percorso = cartella.file.at(nome_file_percorso(identita_di(s)));
  EXPECT_EQ(percorso.size(), 150u * 15);
  EXPECT_EQ(due_byte(percorso, 16), "01 14");  // 5121
  EXPECT_EQ(due_byte(percorso, 18), "6c 09");  // 2412
  // Entry 85 follows 85 entries of 34 bytes; its text is the 18 bytes of the route.
  const std::string scenario = cartella.file.at(nome_file_scenario(identita_di(s)));
  const std::size_t voce85 = 85 * 34;
  EXPECT_EQ(due_byte(scenario, voce85 + 16 + 18), "62 02");  // 610
  EXPECT_EQ(due_byte(scenario, voce85 + 30 + 18), "b9 81");  // 33209
  EXPECT_EQ(due_byte(scenario, voce85 + 32 + 18), "00 00");

  s.crea_tabella_linea = true;
  s.tabella_linea.crea(4);
  EXPECT_EQ(scrivi_file_binari(s, cartella),
            (std::vector<std::string>{"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                      "VallorsaC_Pietrana_4721.dat"}));
}

TEST(ScriviFileBinari, NoTrackNoFiles) {
  for (int celle : {0, 1}) {  // one cell has no cell 1 for the fixed values
    Stato s = stato_letto(celle);
    s.crea_tabella_linea = true;
    EXPECT_EQ(completa_e_riporta(s), "") << celle;
    CartellaMemoria cartella;
    EXPECT_TRUE(scrivi_file_binari(s, cartella).empty()) << celle;
    EXPECT_TRUE(cartella.file.empty()) << celle;
  }
}

TEST(MemorizzaPercorso, WithoutDescriptionsWritesNothingAndLeavesOlderFiles) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  s.percorso.assign(5, tratto{});  // left over from an earlier compile
  s.scenario[3].intero1 = 9;
  valore_fisso_scenario(s.scenario) = 610;
  CartellaMemoria cartella;
  cartella.file = {{"VallorsaC_Pietrana_linea.dat", "a"},
                   {"VallorsaC_Pietrana_4721.sim", "b"},
                   {"VallorsaC_Pietrana_4721.dat", "c"}};
  const auto prima = cartella.file;

  compila_da_cartella(s, cartella, true);
  scrivi_file_binari(s, cartella);

  EXPECT_EQ(cartella.file, prima);
  EXPECT_EQ(s.codice_errore, 101);
  EXPECT_TRUE(s.percorso.empty());
  EXPECT_EQ(s.crea_tabella_linea, 1);
  EXPECT_EQ(s.scenario[3].intero1, 0);  // the table was reset
  EXPECT_EQ(valore_fisso_scenario(s.scenario), 0);
  EXPECT_EQ(testo_nome_linea(s.scenario), "VallorsaC_Pietrana");
}

}  // namespace
}  // namespace cmp
