// The recovery from a journal, as the pure function from the journal's text and what
// stands at each name to the steps: a table of journals as this program writes them and
// as anybody else could plant them.
#include "disco/giornale.h"

#include <gtest/gtest.h>

#include <map>

namespace cmp {
namespace {

using azione = passo_ripristino::azione;

const std::vector<std::string> kInScrittura = {"R_linea.dat", "R_1.sim", "R_1.dat"};
const std::string kVecchio = ".compattatore.old-Ab3xY9";
const std::string kGiornale = Cartella::kGiornale;

struct caso {
  const char* nome;
  std::optional<std::string> giornale;   // its text, when a regular file stands there
  std::map<std::string, TipoVoce> voci;  // what stands at each name; nothing at any other
  std::vector<std::string> propri;
  std::vector<passo_ripristino> passi;
  std::vector<std::string> avanzi;
  std::string rifiuto;  // part of the reason, "" when it is taken
};

passo_ripristino rimetti(const std::string& nome, const std::string& da) { return {azione::rimetti, nome, da}; }
passo_ripristino elimina(const std::string& nome) { return {azione::elimina, nome, {}}; }

// What an interrupted write of the three files leaves: each file new, the plan's old file
// aside, the table had none, the track's old file kept under no second name.
std::map<std::string, TipoVoce> interrotta() {
  return {{kGiornale, TipoVoce::file},
          {"R_linea.dat", TipoVoce::file},
          {"R_1.sim", TipoVoce::file},
          {"R_1.dat", TipoVoce::file},
          {kVecchio, TipoVoce::file}};
}

std::map<std::string, TipoVoce> con(std::map<std::string, TipoVoce> voci, const std::string& nome, TipoVoce t) {
  voci[nome] = t;
  return voci;
}

const std::string kScritto = "R_linea.dat\t" + kVecchio + "\nR_1.sim\t-\nR_1.dat\t?\n";

const caso kCasi[] = {
    {"no journal and nothing left", std::nullopt, {}, {}, {}, {}, ""},
    {"no journal: what killed runs left goes, and nothing else",
     std::nullopt,
     {{".compattatore.tmp-Qw12er", TipoVoce::file},
      {kVecchio, TipoVoce::file},
      {".compattatore.old-7", TipoVoce::collegamento},
      {".compattatore.tmp-abc", TipoVoce::cartella},
      {".compattatore.tmp-x_linea.dat", TipoVoce::file},
      {".compattatore.tmp-", TipoVoce::file},
      {".compattatore.lock", TipoVoce::file}},
     {".compattatore.tmp-Qw12er", kVecchio, ".compattatore.old-7", ".compattatore.tmp-abc",
      ".compattatore.tmp-x_linea.dat", ".compattatore.tmp-", ".compattatore.lock"},
     {},
     {".compattatore.tmp-Qw12er", kVecchio, ".compattatore.old-7"},
     ""},
    {"the journal this program writes",
     kScritto,
     con(interrotta(), ".compattatore.tmp-Zz0000", TipoVoce::file),
     {kGiornale, kVecchio, ".compattatore.tmp-Zz0000"},
     {rimetti("R_linea.dat", kVecchio), elimina("R_1.sim"), elimina(kGiornale)},
     {".compattatore.tmp-Zz0000"},
     ""},
    {"a recovery begun before: the old file already back, the new one already gone",
     kScritto,
     {{kGiornale, TipoVoce::file}, {"R_linea.dat", TipoVoce::file}},
     {kGiornale},
     {elimina(kGiornale)},
     {},
     ""},
    {"an old file that was a link comes back as the link",
     kScritto,
     con(interrotta(), kVecchio, TipoVoce::collegamento),
     {},
     {rimetti("R_linea.dat", kVecchio), elimina("R_1.sim"), elimina(kGiornale)},
     {},
     ""},
    {"a subset of the files written now",
     "R_1.dat\t-\n",
     interrotta(),
     {},
     {elimina("R_1.dat"), elimina(kGiornale)},
     {},
     ""},

    {"a name outside the folder",
     "../victim.txt\t-\n",
     interrotta(),
     {kVecchio},
     {},
     {},
     "names '../victim.txt', which is not one of the files this write replaces"},
    {"an absolute path", "/etc/passwd\t-\n", interrotta(), {}, {}, {}, "names '/etc/passwd'"},
    {"the parent folder", "..\t-\n", interrotta(), {}, {}, {}, "names '..'"},
    {"the train description, moved in",
     "R_linea.dat\t-\nR_1-.txt\t" + kVecchio + "\n",
     interrotta(),
     {},
     {},
     {},
     "names 'R_1-.txt', which is not one of the files"},
    {"another scenario's files", "S_linea.dat\t-\nS_1.sim\t-\n", interrotta(), {}, {}, {}, "names 'S_linea.dat'"},
    {"the journal itself", kGiornale + "\t-\n", interrotta(), {}, {}, {}, "names '.compattatore.in-corso'"},
    {"an old file outside the folder",
     "R_1.sim\t../R_1-.txt\n",
     interrotta(),
     {},
     {},
     {},
     "gives '../R_1-.txt' for the old file of 'R_1.sim', not a second name this program makes"},
    {"an old file that is a temporary",
     "R_1.sim\t.compattatore.tmp-abc123\n",
     interrotta(),
     {},
     {},
     {},
     "not a second name"},
    {"an old file with a separator after the prefix",
     "R_1.sim\t.compattatore.old-a/../../x\n",
     interrotta(),
     {},
     {},
     {},
     "not a second name"},
    {"a name twice", "R_1.sim\t-\nR_1.sim\t" + kVecchio + "\n", interrotta(), {}, {}, {}, "names 'R_1.sim' twice"},
    {"a second name twice",
     "R_1.sim\t" + kVecchio + "\nR_1.dat\t" + kVecchio + "\n",
     interrotta(),
     {},
     {},
     {},
     "gives '.compattatore.old-Ab3xY9' twice"},
    {"a last line cut short", "R_1.sim\t-\nR_1.dat\t", interrotta(), {}, {}, {}, "ends inside line 2"},
    {"a line with no tab", "R_1.sim\n", interrotta(), {}, {}, {}, "has line 1 'R_1.sim', not a name"},
    {"a line with two tabs", "R_1.sim\t-\t-\n", interrotta(), {}, {}, {}, "has line 1"},
    {"an empty line", "R_1.sim\t-\n\n", interrotta(), {}, {}, {}, "has line 2 ''"},
    {"an empty journal", "", interrotta(), {}, {}, {}, "is empty"},
    {"a journal far larger than any written",
     std::string(70000, 'x'),
     interrotta(),
     {},
     {},
     {},
     "holds more than 65536 bytes"},
    {"control bytes in a name are shown escaped", "R\x1b[2J\t-\n", interrotta(), {}, {}, {}, "names 'R\\x1B[2J'"},
    {"a FIFO at the journal's name",
     std::nullopt,
     con(interrotta(), kGiornale, TipoVoce::altro),
     {kVecchio},
     {},
     {},
     "is not a regular file"},
    {"a folder at the journal's name",
     std::nullopt,
     con(interrotta(), kGiornale, TipoVoce::cartella),
     {},
     {},
     {},
     "is a folder"},
    {"a link at the journal's name",
     std::nullopt,
     con(interrotta(), kGiornale, TipoVoce::collegamento),
     {},
     {},
     {},
     "is a link"},
    {"a device at the journal's name",
     std::nullopt,
     con(interrotta(), kGiornale, TipoVoce::dispositivo),
     {},
     {},
     {},
     "is a device"},
    {"a file it names is a folder",
     kScritto,
     con(interrotta(), "R_1.sim", TipoVoce::cartella),
     {},
     {},
     {},
     "names 'R_1.sim', which is a folder"},
    {"an old file that is a FIFO",
     kScritto,
     con(interrotta(), kVecchio, TipoVoce::altro),
     {},
     {},
     {},
     "gives '.compattatore.old-Ab3xY9' for the old file of 'R_linea.dat', which is not a regular file"},
};

class Giornale : public testing::TestWithParam<caso> {};

TEST_P(Giornale, PlansOnlySteps) {
  const caso& c = GetParam();
  const auto voce = [&c](const std::string& nome) {
    const auto it = c.voci.find(nome);
    return it == c.voci.end() ? TipoVoce::assente : it->second;
  };
  const piano_ripristino p = pianifica_ripristino(c.giornale, kInScrittura, voce, c.propri);
  if (c.rifiuto.empty()) {
    EXPECT_FALSE(p.rifiuto) << *p.rifiuto;
    EXPECT_EQ(p.passi, c.passi);
    EXPECT_EQ(p.avanzi, c.avanzi);
  } else {
    ASSERT_TRUE(p.rifiuto) << "taken as this program's own";
    EXPECT_NE(p.rifiuto->find(c.rifiuto), std::string::npos) << *p.rifiuto;
    EXPECT_EQ(p.rifiuto->find('\n'), std::string::npos) << "one line";
    EXPECT_TRUE(p.passi.empty() && p.avanzi.empty()) << "a refused journal changes nothing";
  }
}

INSTANTIATE_TEST_SUITE_P(Casi, Giornale, testing::ValuesIn(kCasi), [](const testing::TestParamInfo<caso>& i) {
  std::string nome;
  for (const char* c = i.param.nome; *c; ++c) nome += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return nome;
});

// What the journal's writer gives is what its reader takes: names near the folder's
// limit, Windows-1252 bytes, and every kind of old file.
TEST(GiornaleScritto, TheJournalWrittenIsReadBackAsItsSteps) {
  const std::string lungo(250, 'x');
  const std::string accentato = "Citt\xe0_linea.dat";
  const std::vector<riga_giornale> righe = {{lungo, ".compattatore.old-1"}, {accentato, "-"}, {"R_1.dat", "?"}};
  const std::map<std::string, TipoVoce> voci = {
      {lungo, TipoVoce::file}, {accentato, TipoVoce::file}, {".compattatore.old-1", TipoVoce::file}};
  const piano_ripristino p =
      pianifica_ripristino(testo_giornale(righe), {lungo, accentato, "R_1.dat"},
                           [&](const std::string& n) { return voci.count(n) ? voci.at(n) : TipoVoce::assente; }, {});
  ASSERT_FALSE(p.rifiuto) << *p.rifiuto;
  EXPECT_EQ(p.passi, (std::vector<passo_ripristino>{rimetti(lungo, ".compattatore.old-1"), elimina(accentato),
                                                    elimina(kGiornale)}));
}

}  // namespace
}  // namespace cmp
