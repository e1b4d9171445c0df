// The commands for scenario authors, run as processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <random>
#include <thread>
#include <sstream>

#include "builtin/linea_incorporata.h"
#include "disco/cartella_disco.h"
#include "builtin/treno_incorporato.h"
#include "builtin/scrittore_testo.h"
#include "messaggi/json.h"
#include "comandi/tabella_comandi.h"
#include "descrizioni_prova.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
using prova::con_riga;
using prova::esegui;
using prova::indice_di;
using prova::kLinea;
using prova::kProgramma;
using prova::kTreno;
using prova::leggi_tutto;
using prova::testo;

const std::vector<std::string> kBinari = {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                          "VallorsaC_Pietrana_4721.dat"};

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
  prova::scrivi_tutto(t / kLinea,
                      con_riga(linea, indice_di(linea, "[indicazioni]"), "  cartello_indicatore,  6850,   (F)"));
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
  EXPECT_NE(e.errori.find(t / kTreno + ":" + std::to_string(s + 1) + ":1: error 16: "), std::string::npos) << e.errori;
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
  e = esegui(kProgramma, {"compile", "--line", t / "l.txt", "--train", t / "t.txt", "--out", t / "out", "--nome-linea",
                          "Prova", "--numero-treno", "12"});
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
  EXPECT_NE(
      e.uscita.find("{\"voce\": 86, \"tipo\": 0, \"intero1\": 0, \"intero2\": 0, \"intero3\": 0, \"ottetto1\": 0, "
                    "\"testo\": \"4721\", \"breve1\": 60, \"breve2\": 0, \"breve3\": 6, \"breve4\": 11, "
                    "\"breve5\": 45,"),
      std::string::npos)
      << e.uscita;
  e = esegui(kProgramma, {"dump", fuori("VallorsaC_Pietrana_linea.dat"), "--every", "37999"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita.substr(0, e.uscita.find('\n')), "metro 0: 0 0");
  EXPECT_NE(e.uscita.find("metro 37999: - -"), std::string::npos) << e.uscita;
}

// A damaged file is reported with its name, the byte and what was expected, status 1;
// what is printed lies wholly before that byte.
TEST_F(Comandi, DumpOfADamagedFilePrintsNothingFromBeyondTheDamage) {
  ASSERT_EQ(compila().stato, 0);
  const std::string sim = leggi_tutto(fuori("VallorsaC_Pietrana_4721.sim"));
  const std::string dat = leggi_tutto(fuori("VallorsaC_Pietrana_4721.dat"));
  const std::string piano = leggi_tutto(fuori("VallorsaC_Pietrana_linea.dat"));
  const struct {
    const char* nome;
    std::string byte;
    std::string messaggio;
    std::vector<std::string> stampati, non_stampati;
  } casi[] = {
      {"corto.sim", sim.substr(0, 100), "byte 79: the file ends inside entry 2", {"voce 0:", "voce 1:"}, {"voce 2"}},
      {"vuoto.sim", "", "byte 0: the file is empty", {}, {"voce"}},
      // Cut inside the signal's cell 89.
      {"corto.dat",
       dat.substr(0, 89 * 15 + 7),
       "byte 1335: the file ends 7 bytes into cell 89",
       {"cella 1:"},
       {"cella 89"}},
      {"vuoto.dat", "", "byte 0: the file is empty", {}, {"cella"}},
      {"tipo_ignoto.dat",
       dat.substr(0, 100 * 15) + "\x63" + dat.substr(100 * 15 + 1),
       "byte 1500: cell 100 has type 99",
       {"cella 89:"},
       {"cella 100", "cella 101"}},
      {"corto_linea.dat", piano.substr(0, 100001), "byte 99998: the file ends inside value", {}, {"metro"}},
      {"vuoto_linea.dat", "", "byte 0: the file is empty", {}, {"metro"}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prova::scrivi_tutto(t / c.nome, c.byte);
    const auto e = esegui(kProgramma, {"dump", t / c.nome});
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(e.errori,
              "compattatore: error: " + (t / c.nome) + " is damaged at " + e.errori.substr(e.errori.find(" at ") + 4));
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
    EXPECT_NE(e.errori.find("expected"), std::string::npos) << e.errori;
    for (const auto& s : c.stampati) EXPECT_NE(e.uscita.find(s), std::string::npos) << s;
    for (const auto& s : c.non_stampati) EXPECT_EQ(e.uscita.find(s), std::string::npos) << s;
  }
  const auto json = esegui(kProgramma, {"dump", t / "corto_linea.dat", "--json"});
  EXPECT_EQ(json.stato, 1);
  EXPECT_NE(json.uscita.find("\"difetto\": {\"byte\": 99998, \"motivo\": \"the file ends inside value"),
            std::string::npos)
      << json.uscita;
  EXPECT_NE(json.uscita.find("\"metri\": 0, \"lunghezza\": null, \"punti\": [\n]}"), std::string::npos) << json.uscita;
  const auto sano = esegui(kProgramma, {"dump", fuori("VallorsaC_Pietrana_4721.dat"), "--json"});
  EXPECT_NE(sano.uscita.find("\"difetto\": null"), std::string::npos);
}

// No compile writes a file larger than its kind's layout allows: dump reads no further
// and calls the file damaged, whether it is a large file or a name leading to a device.
// A file larger than any a compile writes is damaged just past that size, reported as
// every damaged file is (one line, status 1, and with --json the object's "difetto"),
// and not read any further.
TEST_F(Comandi, DumpRefusesFilesLargerThanAnyCompileWrites) {
  const auto file_di = [&](const std::string& nome, std::uintmax_t byte) {
    prova::scrivi_tutto(t / nome, "");
    std::filesystem::resize_file(t / nome, byte);
  };
  file_di("grande.dat", 302'116);  // cells 0 to 20,140 of 15 bytes, and one byte more
  file_di("grande.sim", 87 * (34 + 65'535) + 1);
  std::filesystem::create_symlink("/dev/zero", t / "zero_linea.dat");
  for (const auto& [nome, byte] :
       {std::pair{"grande.dat", 302'115}, {"grande.sim", 5'704'503}, {"zero_linea.dat", 20'139'964}}) {
    SCOPED_TRACE(nome);
    const auto e = esegui(kProgramma, {"dump", t / nome});
    EXPECT_EQ(e.stato, 1) << e.errori;
    EXPECT_EQ(e.errori.rfind("compattatore: error: " + (t / nome) + " is damaged at byte " + std::to_string(byte) +
                                 ": the file goes on past " + std::to_string(byte) + " bytes: expected at most ",
                             0),
              0u)
        << e.errori;
    EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    EXPECT_EQ(e.uscita, "");
    const auto j = esegui(kProgramma, {"dump", "--json", t / nome});
    EXPECT_EQ(j.stato, 1);
    EXPECT_EQ(j.uscita.rfind("{\"file\": " + json_testo(t / nome) + ", \"difetto\": {\"byte\": " +
                                 std::to_string(byte) + ", \"motivo\": \"the file goes on past ",
                             0),
              0u)
        << j.uscita;
  }
  // The largest track a compile writes is still read and checked (empty cells lack the fixed
  // values of cell 1, so it is damaged, but not for its size).
  std::filesystem::resize_file(t / "grande.dat", 302'115);
  const auto e = esegui(kProgramma, {"dump", t / "grande.dat"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find("is damaged at byte 16: cell 1 parametro1 is 0"), std::string::npos) << e.errori;
}

// A description that never ends (a device, a runaway pipe) is refused at the cap, quickly
// and without holding more than the cap in memory. The run is measured from a process of
// its own, so that the peak is that of this run alone.
TEST_F(Comandi, AnEndlessDescriptionIsRefusedAtTheCapQuicklyAndWithASmallPeak) {
  int tubo[2];
  ASSERT_EQ(::pipe(tubo), 0);
  std::fflush(nullptr);
  const pid_t figlio = ::fork();
  if (figlio == 0) {
    ::close(tubo[0]);
    const auto inizio = std::chrono::steady_clock::now();
    const auto e = esegui(kProgramma, {"compile", "--line", "/dev/zero", "--train", t / kTreno, "--nome-linea", "Z",
                                       "--numero-treno", "1", "--out", t.percorso().string()});
    const long ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inizio).count());
    struct rusage uso {};
    ::getrusage(RUSAGE_CHILDREN, &uso);
    const std::string esito =
        std::to_string(e.stato) + " " + std::to_string(ms) + " " + std::to_string(uso.ru_maxrss) + "\n" + e.errori;
    if (::write(tubo[1], esito.data(), esito.size()) < 0) ::_exit(1);
    ::_exit(0);
  }
  ::close(tubo[1]);
  std::string esito;
  char blocco[512];
  for (ssize_t n; (n = ::read(tubo[0], blocco, sizeof blocco)) > 0;) esito.append(blocco, static_cast<std::size_t>(n));
  ::close(tubo[0]);
  ::waitpid(figlio, nullptr, 0);
  int stato = -1;
  long ms = -1;
  long picco_kb = -1;
  std::istringstream in(esito);
  in >> stato >> ms >> picco_kb;
  in.ignore();
  const std::string errori(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(stato, 3) << errori;
  EXPECT_EQ(std::count(errori.begin(), errori.end(), '\n'), 1) << errori;
  EXPECT_NE(errori.find("/dev/zero"), std::string::npos) << errori;
  EXPECT_NE(errori.find("64 MiB"), std::string::npos) << errori;
  EXPECT_LT(ms, 2000);
  EXPECT_LT(picco_kb, 200 * 1024) << "the cap is 64 MiB: a peak far above it means the read did not stop";
}

// plot writes one file: `-` is standard output and a device is written through, while a
// folder at the name is refused with one line naming it.
TEST_F(Comandi, PlotWritesToStandardOutputAndThroughDevices) {
  const std::vector<std::string> disegna = {"plot", "--line", t / kLinea, "--train", t / kTreno, "--out"};
  const auto con = [&](const std::string& uscita) {
    auto a = disegna;
    a.push_back(uscita);
    return esegui(kProgramma, a);
  };
  auto e = con("-");
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_NE(e.uscita.find("<svg"), std::string::npos);
  EXPECT_EQ(e.uscita.substr(e.uscita.size() - 7), "</svg>\n");
  EXPECT_FALSE(std::filesystem::exists(t / "-"));

  std::filesystem::create_symlink("/dev/null", t / "nulla.svg");
  EXPECT_EQ(con(t / "nulla.svg").stato, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(t / "nulla.svg"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

  std::filesystem::create_directory(t / "cartella.svg");
  e = con(t / "cartella.svg");
  EXPECT_EQ(e.stato, 3);
  EXPECT_EQ(e.errori, "compattatore: error: cannot write " + (t / "cartella.svg") + ": Is a directory\n");
}

// A train number too long for a file name fails before any of the three files changes.
TEST_F(Comandi, ANameTooLongForTheFolderLeavesEveryOlderFileUntouched) {
  ASSERT_EQ(compila().stato, 0);
  prova::scrivi_tutto(fuori(kBinari[0]), "older plan");
  const auto e = compila({"--numero-treno", std::string(300, '7')});
  EXPECT_EQ(e.stato, 3);
  EXPECT_NE(e.errori.find("File name too long"), std::string::npos) << e.errori;
  EXPECT_EQ(leggi_tutto(fuori(kBinari[0])), "older plan");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t / "out"), {}), 3) << "nothing new, nothing left";
}

// With --json, every run ends with one object on standard output, whatever its status.
TEST_F(Comandi, JsonAnswersOnEveryOutcome) {
  struct caso {
    std::vector<std::string> altri;
    int stato;
    std::string file;  // what the object names; "" for none
  };
  prova::scrivi_tutto(t / "file", "x");
  const std::vector<caso> casi = {
      {{}, 0, ""},
      {{"--bogus"}, 3, ""},
      {{"--out", t / "file"}, 3, t / "file"},
      {{"--line", t / "manca_linea.txt", "--nome-linea", "VallorsaC_Pietrana"}, 3, t / "manca_linea.txt"},
      {{"--numero-treno", std::string(300, '7')}, 3, fuori("VallorsaC_Pietrana_" + std::string(300, '7') + ".sim")},
  };
  for (const auto& c : casi) {
    auto a = c.altri;
    a.push_back("--json");
    const auto e = compila(a);
    EXPECT_EQ(e.stato, c.stato) << e.errori;
    ASSERT_EQ(std::count(e.uscita.begin(), e.uscita.end(), '\n'), 1) << e.uscita;
    EXPECT_EQ(e.uscita.rfind("{\"stato\": " + std::to_string(c.stato) + ", ", 0), 0) << e.uscita;
    if (c.stato == 3) {
      EXPECT_NE(e.uscita.find("\"file\": " + (c.file.empty() ? "null" : json_testo(c.file))), std::string::npos)
          << e.uscita;
      // The message is the line printed on standard error, without the program's name and
      // the word "error:".
      const std::string prefisso = "compattatore: error: ";
      ASSERT_EQ(e.errori.rfind(prefisso, 0), 0u) << e.errori;
      const std::string riga = e.errori.substr(prefisso.size(), e.errori.size() - prefisso.size() - 1);
      EXPECT_NE(e.uscita.find("\"messaggio\": " + json_testo(riga)), std::string::npos) << e.uscita;
    }
  }
  const auto e = esegui(kProgramma, {"dump", t / "manca.sim", "--json"});
  EXPECT_EQ(e.stato, 3);
  EXPECT_EQ(e.uscita.rfind("{\"stato\": 3, \"file\": " + json_testo(t / "manca.sim"), 0), 0) << e.uscita;
}

// Real runs killed with SIGKILL at random moments of a compile over an earlier run's
// files: once the journal is put back (as the next write does first), the three files
// are all the earlier ones or all the new ones, and whatever the kills left behind does
// not stop a later compile.
TEST_F(Comandi, CompilesKilledAtRandomMomentsLeaveAllOldOrAllNewFiles) {
  ASSERT_EQ(compila().stato, 0);
  std::map<std::string, std::string> nuovi, vecchi;
  for (const auto& n : kBinari) {
    nuovi[n] = leggi_tutto(fuori(n));
    vecchi[n] = "earlier run: " + n;
  }
  const auto tutti = [&](const std::map<std::string, std::string>& attesi) {
    return std::all_of(kBinari.begin(), kBinari.end(),
                       [&](const std::string& n) { return leggi_tutto(fuori(n)) == attesi.at(n); });
  };
  const auto inizio = std::chrono::steady_clock::now();
  ASSERT_EQ(compila().stato, 0);
  const auto durata = std::chrono::steady_clock::now() - inizio;
  const std::vector<std::string> a = {kProgramma, "compile",  "--line", t / kLinea,
                                      "--train",  t / kTreno, "--out",  t / "out"};
  std::mt19937 caso(15);  // fixed: a failure can be run again
  int tutti_vecchi = 0, tutti_nuovi = 0;
  for (int volta = 0; volta < 50; ++volta) {
    for (const auto& [n, byte] : vecchi) prova::scrivi_tutto(fuori(n), byte);
    const pid_t figlio = prova::avvia_muto(a);
    std::this_thread::sleep_for(std::uniform_real_distribution<double>(0.0, 1.2)(caso) * durata);
    ::kill(figlio, SIGKILL);
    ::waitpid(figlio, nullptr, 0);
    CartellaDisco(t / "out").ripristina_interrotta(kBinari);
    const bool v = tutti(vecchi), n = tutti(nuovi);
    EXPECT_TRUE(v || n) << "run " << volta << ": old and new binary files side by side";
    tutti_vecchi += v;
    tutti_nuovi += n;
  }
  const auto e = compila();
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(tutti(nuovi));
  std::cout << "[ killed   ] " << tutti_vecchi << " runs left the old files, " << tutti_nuovi << " the new ones\n";
}

TEST(ComandiAiuto, EveryCommandHasHelpAndTheProgramAVersion) {
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
        EXPECT_EQ(e.errori, std::string("compattatore: error: ") + c.nome + ": option " + o.nome +
                                " needs a value (try 'compattatore " + c.nome + " --help')\n");
      }
    }
    const auto e = esegui(kProgramma, {c.nome, "--bogus"});
    EXPECT_EQ(e.stato, 3);
    EXPECT_EQ(e.errori, std::string("compattatore: error: ") + c.nome +
                            ": unknown option '--bogus' (try 'compattatore " + c.nome + " --help')\n");
  }
}

}  // namespace
}  // namespace cmp
