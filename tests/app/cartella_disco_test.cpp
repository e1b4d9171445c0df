#include "disco/cartella_disco.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

TEST(CartellaDisco, ReplacesALongerFileWholeAndLeavesNoTemporaryFile) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "a.dat", std::string(1000, 'x'));
  CartellaDisco c(t.percorso().string());
  c.scrivi("a.dat", "abc");
  EXPECT_EQ(prova::leggi_tutto(t / "a.dat"), "abc");
  c.scrivi("nuovo.txt", "");
  EXPECT_TRUE(std::filesystem::exists(t / "nuovo.txt")) << "an empty content still leaves a file";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.percorso()), {}), 2);
}

TEST(CartellaDisco, ReadsDeletesAndReportsMissingFiles) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  EXPECT_FALSE(c.leggi("manca.txt").has_value());
  EXPECT_FALSE(c.esiste("manca.txt"));
  EXPECT_NO_THROW(c.elimina("manca.txt"));
  prova::scrivi_tutto(t / "c.txt", "1,2\r\n");
  EXPECT_EQ(c.leggi("c.txt").value(), "1,2\r\n");
  c.elimina("c.txt");
  EXPECT_FALSE(std::filesystem::exists(t / "c.txt"));
}

TEST(CartellaDisco, NamesAreStoredAsUtf8) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  c.scrivi("Citt\xE0.txt", "x");  // "Città" in Windows-1252
  EXPECT_TRUE(std::filesystem::exists(t / "Città.txt"));
}

TEST(CartellaDisco, AFailedWriteKeepsTheOldFileAndNamesTheFile) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  std::filesystem::create_directory(t / "occupato.dat");
  try {
    c.scrivi("occupato.dat", "abc");
    FAIL() << "a folder in the way must be an error";
  } catch (const ErroreFile& e) {
    EXPECT_NE(e.percorso().find("occupato.dat"), std::string::npos);
    EXPECT_FALSE(e.motivo().empty());
  }
  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    prova::scrivi_tutto(t / "vecchio.dat", "old");
    std::filesystem::permissions(t.percorso(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(c.scrivi("vecchio.dat", "new"), ErroreFile);
    std::filesystem::permissions(t.percorso(), std::filesystem::perms::owner_all);
    EXPECT_EQ(prova::leggi_tutto(t / "vecchio.dat"), "old");
  }
}

// A rename refused after the first file was replaced: the first file's old bytes come back
// from where they were kept aside, and neither temporaries nor second names are left.
class CartellaDiscoCheRifiuta : public CartellaDisco {
 public:
  using CartellaDisco::CartellaDisco;
  void rinomina(const std::string& da, const std::string& a) override {
    if (++rinomine == rifiutata) throw ErroreFile(percorso_di(a), "Input/output error");
    CartellaDisco::rinomina(da, a);
  }
  int rinomine = 0;
  int rifiutata = 0;
};

TEST(CartellaDisco, ARenameRefusedAfterOthersPutsTheOldFilesBack) {
  for (const int rifiutata : {1, 2, 3}) {
    SCOPED_TRACE(rifiutata);
    CartellaTemporanea t;
    prova::scrivi_tutto(t / "piano.dat", "vecchio piano");
    prova::scrivi_tutto(t / "percorso.dat", "vecchio percorso");
    CartellaDiscoCheRifiuta c(t.percorso().string());
    c.rifiutata = rifiutata;
    std::vector<file_da_scrivere> file;
    file.push_back(file_intero("piano.dat", "nuovo piano"));
    file.push_back(file_intero("scenario.sim", "nuovo scenario"));  // no earlier file
    file.push_back(file_intero("percorso.dat", "nuovo percorso"));
    EXPECT_THROW(c.scrivi_insieme(std::move(file)), ErroreFile);
    EXPECT_EQ(prova::leggi_tutto(t / "piano.dat"), "vecchio piano");
    EXPECT_EQ(prova::leggi_tutto(t / "percorso.dat"), "vecchio percorso");
    EXPECT_FALSE(std::filesystem::exists(t / "scenario.sim"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.percorso()), {}), 2);
  }
}

TEST(CartellaDisco, TellsWhatStandsAtAName) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "a.txt", "x");
  std::filesystem::create_directory(t / "d");
  std::filesystem::create_symlink(t / "a.txt", t / "l");
  CartellaDisco c(t.percorso().string());
  EXPECT_EQ(c.tipo("a.txt"), TipoVoce::file);
  EXPECT_EQ(c.tipo("d"), TipoVoce::cartella);
  EXPECT_EQ(c.tipo("l"), TipoVoce::collegamento);
  EXPECT_EQ(c.tipo("manca"), TipoVoce::assente);
  EXPECT_EQ(CartellaDisco("/dev").tipo("null"), TipoVoce::dispositivo);
}

TEST(CartellaDisco, ReadingAFolderIsAnError) {
  CartellaTemporanea t;
  EXPECT_THROW(leggi_file(t.percorso().string()), ErroreFile);
}

}  // namespace
}  // namespace cmp
