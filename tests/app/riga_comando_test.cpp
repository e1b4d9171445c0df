// What an author meets in the first hour: folders made for --out, export that keeps
// edits, rows reported where they stand, and a command line that helps.
#include <gtest/gtest.h>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
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

std::string testo(const std::vector<std::string>& righe) { return testo_da_tabella(tabella_righe(righe)); }

std::size_t indice_di(const std::vector<std::string>& righe, const std::string& inizio) {
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (righe[i].rfind(inizio, 0) == 0) return i;
  }
  ADD_FAILURE() << "no line starts with " << inizio;
  return 0;
}

bool contiene(const std::string& testo, const std::string& parte) { return testo.find(parte) != std::string::npos; }

TEST(Esporta, MakesItsFolderAndNeverReplacesAnEditWithoutForce) {
  CartellaTemporanea t;
  const std::string dentro = t / "mio_scenario/nuovo";
  auto e = esegui(kProgramma, {"export", "--out", dentro});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::string treno = dentro + "/" + kTreno;
  const std::string nota = dentro + "/VallorsaC_Pietrana_4721_note.txt";
  prova::scrivi_tutto(treno, "my edit");
  std::filesystem::remove(nota);

  e = esegui(kProgramma, {"export", "--out", dentro});
  EXPECT_EQ(e.stato, 3);
  EXPECT_TRUE(contiene(e.errori, "compattatore: error: export: not replacing ")) << e.errori;
  EXPECT_TRUE(contiene(e.errori, kTreno)) << e.errori;
  EXPECT_TRUE(contiene(e.errori, "--force")) << e.errori;
  EXPECT_EQ(leggi_tutto(treno), "my edit");
  EXPECT_FALSE(std::filesystem::exists(nota)) << "a refused export writes nothing, not even the missing files";

  e = esegui(kProgramma, {"export", "--out", dentro, "--force"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(leggi_tutto(treno), testo(righe_treno_incorporato()));
  EXPECT_TRUE(std::filesystem::exists(nota));
}

TEST(Compila, MakesTheOutFolderWithItsParents) {
  CartellaTemporanea t;
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  const auto e = esegui(kProgramma, {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "a/b/out"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(std::filesystem::exists(t / "a/b/out/VallorsaC_Pietrana_4721.sim"));
}

// A row cut short makes the reader take its missing field from the next line; the
// failure belongs to the short row, at the end of its own line.
TEST(Compila, AShortRowIsReportedAtItsOwnLine) {
  struct Caso {
    const char* inizio;  // the row to cut, or the one to put the short row after
    const char* corta;
    bool dopo;
  };
  const Caso casi[] = {
      {"stazione", "stazione, 1000", false},
      {"[rallentamenti]", "rallentamento, 4000", true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.corta);
    CartellaTemporanea t;
    ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
    auto righe = righe_treno_incorporato();
    std::size_t i = indice_di(righe, c.inizio);
    if (c.dopo) {
      righe.insert(righe.begin() + static_cast<std::ptrdiff_t>(++i), c.corta);
    } else {
      righe[i] = c.corta;
    }
    prova::scrivi_tutto(t / kTreno, testo(righe));
    const auto e = esegui(kProgramma, {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "out"});
    EXPECT_EQ(e.stato, 1);
    const std::string luogo = t / kTreno + ":" + std::to_string(i + 1) + ":" +
                              std::to_string(std::string(c.corta).size() + 1) + ": error 25: ";
    EXPECT_TRUE(contiene(e.errori, luogo)) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "row has too few fields")) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "line " + std::to_string(i + 2))) << e.errori;
  }
}

TEST(RigaComando, HelpVersionAndTheEndOfOptions) {
  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"-h"}, {"help"}, {"help", "compile"}, {"compile", "-h"}, {"export", "--help"}}) {
    const auto e = esegui(kProgramma, a);
    EXPECT_EQ(e.stato, 0) << a[0];
    EXPECT_TRUE(contiene(e.uscita, "usage: compattatore")) << a[0];
    EXPECT_TRUE(contiene(e.uscita, "Exit status:")) << a[0];
  }
  EXPECT_EQ(esegui(kProgramma, {"help", "compile"}).uscita, esegui(kProgramma, {"compile", "--help"}).uscita);
  EXPECT_EQ(esegui(kProgramma, {"-V"}).uscita, "compattatore 1.0.0\n");

  // After "--" a name that begins with '-' is a file, not an option.
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "-x.sim", "");
  const auto e = esegui(kProgramma, {"dump", "--", "-x.sim"}, t.percorso().string());
  EXPECT_FALSE(contiene(e.errori, "option")) << e.errori;
  EXPECT_TRUE(contiene(e.errori, "-x.sim")) << e.errori;
}

TEST(RigaComando, UnknownWordsAreNamedWithTheNearestOne) {
  struct Caso {
    std::vector<std::string> argomenti;
    const char* messaggio;
  };
  const Caso casi[] = {
      {{"compile", "--strcit"}, "compattatore: error: compile: unknown option '--strcit'; did you mean '--strict'? "
                                "(try 'compattatore compile --help')"},
      {{"export", "--forse"}, "unknown option '--forse'; did you mean '--force'?"},
      {{"--verison"}, "compattatore: error: unknown option '--verison'; did you mean '--version'?"},
      {{"complie"}, "compattatore: error: unknown command 'complie'; did you mean 'compile'?"},
      {{"help", "dupm"}, "unknown command 'dupm'; did you mean 'dump'?"},
      {{"compile", "--zzzzzz"}, "unknown option '--zzzzzz' (try"},
  };
  for (const auto& c : casi) {
    const auto e = esegui(kProgramma, c.argomenti);
    EXPECT_EQ(e.stato, 3) << c.messaggio;
    EXPECT_TRUE(contiene(e.errori, c.messaggio)) << e.errori;
    EXPECT_TRUE(contiene(e.errori, "--help')\n")) << e.errori;
  }
}

}  // namespace
}  // namespace cmp
