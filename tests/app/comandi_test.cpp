// The commands for scenario authors, run as processes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "builtin/scrittore_testo.h"
#include "riga_comando/tabella_comandi.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
using prova::esegui;
using prova::leggi_tutto;

const std::string kProgramma = COMPATTATORE_EXE;
const std::string kLinea = "VallorsaC_Pietrana_linea.txt";
const std::string kTreno = "VallorsaC_Pietrana_4721-.txt";
const std::vector<std::string> kBinari = {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                          "VallorsaC_Pietrana_4721.dat"};

std::string testo(const std::vector<std::string>& righe) { return testo_da_tabella(tabella_righe(righe)); }

// The built-in texts with one line replaced (0-based index of the line).
std::string con_riga(std::vector<std::string> righe, std::size_t indice, const std::string& nuova) {
  righe.at(indice) = nuova;
  return testo(righe);
}

std::size_t indice_di(const std::vector<std::string>& righe, const std::string& inizio) {
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (righe[i].rfind(inizio, 0) == 0) return i;
  }
  ADD_FAILURE() << "no line starts with " << inizio;
  return 0;
}

class Comandi : public testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi_tutto(t / kLinea, testo(righe_linea_incorporata()));
    prova::scrivi_tutto(t / kTreno, testo(righe_treno_incorporato()));
  }
  prova::EsitoProcesso compila(std::vector<std::string> altri = {}) {
    std::vector<std::string> a = {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "out"};
    a.insert(a.end(), altri.begin(), altri.end());
    std::filesystem::create_directories(t / "out");
    return esegui(kProgramma, a);
  }
  std::string fuori(const std::string& nome) const { return t / ("out/" + nome); }
  CartellaTemporanea t;
};

TEST_F(Comandi, CompileOfTheExportedScenarioMatchesTheBuiltInRunByteForByte) {
  CartellaTemporanea run;
  ASSERT_EQ(esegui(prova::copia_programma(run), {}).stato, 0);

  CartellaTemporanea esportati;
  const auto e = esegui(kProgramma, {"export", "--out", esportati.percorso().string()});
  ASSERT_EQ(e.stato, 0) << e.errori;
  for (const char* nome : {"VallorsaC_Pietrana_4721_note.txt", "VallorsaC_Pietrana_4721_rallentamenti.txt",
                           "VallorsaC_Pietrana_4721_scheda_treno.txt"}) {
    EXPECT_EQ(leggi_tutto(esportati / nome), leggi_tutto(run / nome)) << nome;
  }
  const std::string linea_prima = leggi_tutto(esportati / kLinea);
  const std::string treno_prima = leggi_tutto(esportati / kTreno);
  const auto c = esegui(kProgramma, {"compile", "--line", kLinea, "--train", kTreno}, esportati.percorso().string());
  ASSERT_EQ(c.stato, 0) << c.errori;
  EXPECT_EQ(c.errori, "");
  for (const auto& nome : kBinari) EXPECT_EQ(leggi_tutto(esportati / nome), leggi_tutto(run / nome)) << nome;
  EXPECT_EQ(leggi_tutto(esportati / kLinea), linea_prima) << "the inputs are never changed";
  EXPECT_EQ(leggi_tutto(esportati / kTreno), treno_prima);
}

TEST_F(Comandi, ErrorsAreReportedWithFileLineAndColumnAndTheFilesStillWritten) {
  // A caption board on the cell of the first speed-indicator board (6850 m -> cell 138).
  const auto linea = righe_linea_incorporata();
  prova::scrivi_tutto(t / kLinea, con_riga(linea, indice_di(linea, "[indicazioni]"),
                                           "  cartello_indicatore,  6850,   (F)"));
  const std::size_t riga = indice_di(linea, "[indicazioni]") + 1;
  auto e = compila();
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find(t / kLinea + ":" + std::to_string(riga) + ":3: error 6: "), std::string::npos) << e.errori;
  EXPECT_NE(e.errori.find("6850 m"), std::string::npos) << e.errori;
  for (const auto& nome : kBinari) EXPECT_TRUE(std::filesystem::exists(fuori(nome))) << nome;

  // A signal on the stop cell of the second station (cell 135 <- 6700 m).
  prova::scrivi_tutto(t / kLinea, testo(linea));
  const auto treno = righe_treno_incorporato();
  const std::size_t s = indice_di(treno, "segnale");
  prova::scrivi_tutto(t / kTreno, con_riga(treno, s, "segnale, 6700, 1, 4, 1, 0, 0, 0, 0,0,0, 0"));
  e = compila({"--json"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find(t / kTreno + ":" + std::to_string(s + 1) + ":1: error 16: "), std::string::npos)
      << e.errori;
  EXPECT_NE(e.uscita.find("\"codice_errore\": 16, \"posizione_errore\": 6700, \"errore_finale\": null"),
            std::string::npos)
      << e.uscita;
  EXPECT_NE(e.uscita.find("\"riga\": " + std::to_string(s + 1) + ", \"colonna\": 1"), std::string::npos);
  EXPECT_EQ(std::count(e.uscita.begin(), e.uscita.end(), '\n'), 1) << "one JSON object and nothing else";
}

TEST_F(Comandi, NewFilesGetThePermissionsTheUmaskAllows) {
  const mode_t prima = ::umask(077);
  const auto e = compila();
  ::umask(prima);
  ASSERT_EQ(e.stato, 0) << e.errori;
  for (const auto& nome : kBinari) {
    const auto permessi = std::filesystem::status(fuori(nome)).permissions();
    EXPECT_EQ(permessi, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write) << nome;
  }
}

TEST_F(Comandi, StrictWritesNothingAfterAnErrorAndEverythingWithout) {
  const auto clean = compila({"--strict"});
  EXPECT_EQ(clean.stato, 0) << clean.errori;
  for (const auto& nome : kBinari) EXPECT_TRUE(std::filesystem::exists(fuori(nome))) << nome;
  for (const auto& nome : kBinari) std::filesystem::remove(fuori(nome));

  const auto treno = righe_treno_incorporato();
  prova::scrivi_tutto(t / kTreno, con_riga(treno, indice_di(treno, "segnale"), "segnale, 6700, 1,4,1,0,0,0,0,0,0,0"));
  const auto e = compila({"--strict"});
  EXPECT_EQ(e.stato, 1);
  for (const auto& nome : kBinari) EXPECT_FALSE(std::filesystem::exists(fuori(nome))) << nome;
}

TEST_F(Comandi, NoPlanLeavesAnOlderPlanFileAlone) {
  std::filesystem::create_directories(t / "out");
  prova::scrivi_tutto(fuori(kBinari[0]), "old plan");
  const auto e = compila({"--no-plan", "--json"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(leggi_tutto(fuori(kBinari[0])), "old plan");
  EXPECT_NE(e.uscita.find("\"scritti\": [\"VallorsaC_Pietrana_4721.sim\", \"VallorsaC_Pietrana_4721.dat\"]"),
            std::string::npos)
      << e.uscita;
}

TEST_F(Comandi, AReservedSlotInUseEndsWithErrorNumberAndNoBinaryFile) {
  struct Caso {
    const char* riga;
    const char* numero;
  };
  const Caso casi[] = {
      // An abbattimento point at 50 m puts its value into cell 1's first parameter.
      {"abbattimento, 50, 180", "1250"},
      // A slow order at 0 m with speed 0 and a second value puts that value into cell 1's second parameter.
      {"rallentamento, 0, 0, 100, 0, 0, 5", "1251"},
  };
  std::filesystem::create_directories(t / "out");
  for (const auto& nome : kBinari) prova::scrivi_tutto(fuori(nome), "older " + nome);
  const auto treno = righe_treno_incorporato();
  for (const auto& c : casi) {
    prova::scrivi_tutto(t / kTreno, con_riga(treno, indice_di(treno, "[rallentamenti]"), c.riga));
    const auto e = compila({"--json"});
    EXPECT_EQ(e.stato, 2) << c.riga;
    EXPECT_NE(e.errori.find(std::string(" Errore n. ") + c.numero + "\n"), std::string::npos) << e.errori;
    EXPECT_NE(e.uscita.find(std::string("\"errore_finale\": ") + c.numero), std::string::npos) << e.uscita;
    // The row whose mark took the slot is named, in the diagnostic and in the JSON.
    const std::string riga = std::to_string(indice_di(treno, "[rallentamenti]") + 1);
    EXPECT_NE(e.errori.find(t / kTreno + ":" + riga + ":1: error " + c.numero + ": cell 1 of the track is reserved"),
              std::string::npos)
        << e.errori;
    EXPECT_NE(e.errori.find(std::string("\n  ") + c.riga + "\n  ^\n"), std::string::npos) << e.errori;
    EXPECT_NE(e.uscita.find("\"riga\": " + riga + ", \"colonna\": 1, \"messaggio\": \"cell 1"), std::string::npos)
        << e.uscita;
    for (const auto& nome : kBinari) EXPECT_EQ(leggi_tutto(fuori(nome)), "older " + nome) << c.riga;
  }
}

TEST_F(Comandi, IdentityFromOptionsWhenTheNamesDoNotFollowThePattern) {
  std::filesystem::copy_file(t / kLinea, t / "l.txt");
  std::filesystem::copy_file(t / kTreno, t / "t.txt");
  std::filesystem::create_directories(t / "out");
  auto e = esegui(kProgramma, {"compile", "--line", t / "l.txt", "--train", t / "t.txt", "--out", t / "out"});
  EXPECT_EQ(e.stato, 3);
  EXPECT_NE(e.errori.find("--nome-linea"), std::string::npos) << e.errori;
  e = esegui(kProgramma, {"compile", "--line", t / "l.txt", "--train", t / "t.txt", "--out", t / "out",
                          "--nome-linea", "Prova", "--numero-treno", "12"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(std::filesystem::exists(fuori("Prova_12.sim")));
  EXPECT_TRUE(std::filesystem::exists(fuori("Prova_linea.dat")));
}

TEST_F(Comandi, UsageAndFileErrorsAreOneLineAndStatus3) {
  std::filesystem::create_directories(t / "out");
  prova::scrivi_tutto(t / "file", "x");
  const std::vector<std::vector<std::string>> casi = {
      {"compile"},
      {"compile", "--line", t / kLinea},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--bogus"},
      {"compile", "--line", t / kLinea, "--train"},
      {"compile", "--line", t / "missing_linea.txt", "--train", t / kTreno, "--nome-linea", "VallorsaC_Pietrana"},
      {"compile", "--line", t.percorso().string(), "--train", t / kTreno, "--nome-linea", "X"},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "file/under_a_file"},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "file"},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--nome-linea", "../up"},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--numero-treno", ""},
      {"compile", "--line", t / kLinea, "--train", t / kTreno, "--numero-treno", "linea"},
      {"export", "--out", t / "file/under_a_file"},
      {"dump"},
      {"dump", t / "file"},
      {"dump", t / "missing.sim"},
      {"dump", t / "x.sim", "--every", "0"},
      {"frobnicate"},
  };
  for (const auto& a : casi) {
    const auto e = esegui(kProgramma, a);
    std::string comando;
    for (const auto& p : a) comando += p + " ";
    EXPECT_EQ(e.stato, 3) << comando << "\n" << e.errori;
    EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << comando << "\n" << e.errori;
    EXPECT_EQ(e.uscita, "") << comando;
  }
  EXPECT_TRUE(std::filesystem::is_empty(t / "out")) << "nothing half-written";
}

TEST_F(Comandi, DumpShowsTheValuesOfTheBuiltInFiles) {
  ASSERT_EQ(compila().stato, 0);
  auto e = esegui(kProgramma, {"dump", fuori("VallorsaC_Pietrana_4721.dat")});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_NE(e.uscita.find("cella 1: tipo 0, parametro1 5121, parametro2 2412,"), std::string::npos);
  EXPECT_NE(e.uscita.find("cella 89: tipo 1, parametro1 40, parametro2 10, parametro3 0, parametro4 3, tempo 0,"),
            std::string::npos);
  e = esegui(kProgramma, {"dump", fuori("VallorsaC_Pietrana_4721.sim"), "--json"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_NE(e.uscita.find("{\"voce\": 86, \"tipo\": 0, \"intero1\": 0, \"intero2\": 0, \"intero3\": 0, \"ottetto1\": 0, "
                          "\"testo\": \"4721\", \"breve1\": 60, \"breve2\": 0, \"breve3\": 6, \"breve4\": 11, "
                          "\"breve5\": 45,"),
            std::string::npos)
      << e.uscita;
  e = esegui(kProgramma, {"dump", fuori("VallorsaC_Pietrana_linea.dat"), "--every", "37999"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita.substr(0, e.uscita.find('\n')), "metro 0: 0 0");
  EXPECT_NE(e.uscita.find("metro 37999: - -"), std::string::npos) << e.uscita;

  // A truncated copy: what can be decoded, then the offset of the defect.
  const std::string sim = leggi_tutto(fuori("VallorsaC_Pietrana_4721.sim"));
  prova::scrivi_tutto(t / "corto.sim", sim.substr(0, 100));
  e = esegui(kProgramma, {"dump", t / "corto.sim"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find("byte 79: entry 2 is truncated"), std::string::npos) << e.errori;
}

TEST(ComandiAiuto, HelpAndVersion) {
  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"--help"}, {"compile", "--help"}, {"export", "--help"}, {"dump", "--help"}, {"plot", "--help"}}) {
    const auto e = esegui(kProgramma, a);
    EXPECT_EQ(e.stato, 0) << a[0];
    EXPECT_NE(e.uscita.find("usage: compattatore"), std::string::npos) << a[0];
  }
  EXPECT_EQ(esegui(kProgramma, {"--version"}).uscita, "compattatore 1.0.0\n");
}

// Every row of the table reaches the program: its help names each option with its value
// and help text, the general help lists it, and its options are the ones it accepts.
TEST(ComandiAiuto, EveryCommandOfTheTableIsDispatchedAndDescribed) {
  const std::string generale = esegui(kProgramma, {"--help"}).uscita;
  for (const auto& c : tabella_comandi()) {
    SCOPED_TRACE(c.nome);
    EXPECT_NE(generale.find(std::string("  ") + c.nome + " "), std::string::npos);
    EXPECT_NE(generale.find(c.sommario), std::string::npos);
    const std::string aiuto = esegui(kProgramma, {c.nome, "--help"}).uscita;
    EXPECT_EQ(aiuto.rfind(std::string("usage: compattatore ") + c.nome, 0), 0u);
    EXPECT_NE(aiuto.find(c.stati_uscita), std::string::npos);
    for (const auto& o : c.opzioni) {
      const std::string testa = std::string("  ") + o.nome + (o.valore ? std::string(" ") + o.valore : "");
      EXPECT_NE(aiuto.find(testa), std::string::npos) << o.nome;
      const std::string aiuto_opzione(o.aiuto);
      EXPECT_NE(aiuto.find(aiuto_opzione.substr(0, aiuto_opzione.find('\n'))), std::string::npos) << o.nome;
      if (o.valore) {
        const auto e = esegui(kProgramma, {c.nome, o.nome});
        EXPECT_EQ(e.stato, 3);
        EXPECT_EQ(e.errori, std::string("compattatore: error: ") + c.nome + ": option " + o.nome + " needs a value (try 'compattatore " +
                                c.nome + " --help')\n");
      }
    }
    const auto e = esegui(kProgramma, {c.nome, "--bogus"});
    EXPECT_EQ(e.stato, 3);
    EXPECT_EQ(e.errori, std::string("compattatore: error: ") + c.nome + ": unknown option '--bogus' (try 'compattatore " + c.nome +
                            " --help')\n");
  }
}

}  // namespace
}  // namespace cmp
