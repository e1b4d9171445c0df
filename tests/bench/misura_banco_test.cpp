// The benchmark's measuring tool: the durable write it compares a compile with, and the
// wait for watch's outputs after an editor's save.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "supporto.h"

namespace cmp {
namespace {

namespace fs = std::filesystem;

ino_t inode(const std::string& percorso) {
  struct stat info {};
  return ::stat(percorso.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST(MisuraBanco, TheDurableWriteLeavesTheNamedFilesAtTheirSizesAndNoTemporary) {
  prova::CartellaTemporanea t;
  prova::scrivi_tutto(t / "Linea_linea.dat", "an older table");
  const auto m = prova::esegui(MISURA_BANCO_EXE, {"scrittura", t.percorso().string(), "Linea_linea.dat=70000",
                                                  "Linea_1.sim=3471", "Linea_1.dat=1"});
  ASSERT_EQ(m.stato, 0) << m.errori;
  EXPECT_EQ(m.uscita.rfind("ms=", 0), 0u) << m.uscita;
  EXPECT_EQ(fs::file_size(t / "Linea_linea.dat"), 70000u);
  EXPECT_EQ(fs::file_size(t / "Linea_1.sim"), 3471u);
  EXPECT_EQ(fs::file_size(t / "Linea_1.dat"), 1u);
  EXPECT_EQ(std::distance(fs::directory_iterator(t.percorso()), fs::directory_iterator()), 3);
}

TEST(MisuraBanco, FileListsItCannotWriteAreRefused) {
  prova::CartellaTemporanea t;
  for (const char* voce : {"senza_misura", "=10", "a/b=10", "a=0", "a=-3", "a=dieci"}) {
    const auto m = prova::esegui(MISURA_BANCO_EXE, {"scrittura", t.percorso().string(), voce});
    EXPECT_EQ(m.stato, 3) << voce;
    EXPECT_FALSE(m.errori.empty()) << voce;
  }
  EXPECT_TRUE(fs::is_empty(t.percorso()));
}

// A stand-in for watch: once the description is replaced, it replaces the output.
TEST(MisuraBanco, TheSaveIsTimedUntilTheOutputIsRewrittenAndKeepsTheDescription) {
  prova::CartellaTemporanea t;
  const std::string descrizione = t / "Linea_linea.txt";
  const std::string uscita = t / "Linea_linea.dat";
  prova::scrivi_tutto(descrizione, "testo della linea\r\n");
  prova::scrivi_tutto(uscita, "prima");
  const ino_t prima = inode(descrizione);
  std::atomic<bool> fine{false};
  std::thread osservatore([&] {
    while (!fine && inode(descrizione) == prima) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    prova::scrivi_tutto(t / "nuova", "dopo");
    fs::rename(t / "nuova", uscita);
  });
  const auto m = prova::esegui(MISURA_BANCO_EXE, {"salva_e_attendi", descrizione, uscita, "10"});
  fine = true;
  osservatore.join();
  ASSERT_EQ(m.stato, 0) << m.errori;
  ASSERT_EQ(m.uscita.rfind("ms=", 0), 0u) << m.uscita;
  EXPECT_GE(std::stod(m.uscita.substr(3)), 50.0) << m.uscita;
  EXPECT_EQ(prova::leggi_tutto(descrizione), "testo della linea\r\n");
  EXPECT_NE(inode(descrizione), prima);
  EXPECT_EQ(prova::leggi_tutto(uscita), "dopo");
  EXPECT_FALSE(fs::exists(descrizione + ".salva~"));
}

TEST(MisuraBanco, AnOutputThatNeverChangesEndsTheWaitWithStatusOne) {
  prova::CartellaTemporanea t;
  prova::scrivi_tutto(t / "Linea_linea.txt", "testo");
  const auto inizio = std::chrono::steady_clock::now();
  const auto m = prova::esegui(MISURA_BANCO_EXE, {"salva_e_attendi", t / "Linea_linea.txt", t / "mai_scritto", "1"});
  EXPECT_EQ(m.stato, 1);
  EXPECT_NE(m.errori.find("mai_scritto"), std::string::npos) << m.errori;
  EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(5));
}

}  // namespace
}  // namespace cmp
