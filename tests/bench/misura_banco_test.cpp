// The benchmark's measuring tools: the durable write it compares a compile with (inside a
// running process and as a whole process), and the wait for watch's outputs after an
// editor's save.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "supporto.h"

namespace cmp {
namespace {

namespace fs = std::filesystem;

ino_t inode(const std::string& percorso) {
  struct stat info {};
  return ::stat(percorso.c_str(), &info) == 0 ? info.st_ino : 0;
}

// The two floors of a compile: the durable write timed inside misura_banco, and the same
// write as a whole process, scrivi_durevole. Both go through one function; each must still
// take its arguments to it and report its failures.
struct ScrittoreDurevole {
  const char* nome;
  std::string programma;
  std::vector<std::string> prima;  // the arguments before FOLDER
  bool stampa_ms;
};

const ScrittoreDurevole kScrittori[] = {
    {"misura_banco scrittura", MISURA_BANCO_EXE, {"scrittura"}, true},
    {"scrivi_durevole", SCRIVI_DUREVOLE_EXE, {}, false},
};

prova::EsitoProcesso scrivi(const ScrittoreDurevole& s, const std::string& cartella,
                            const std::vector<std::string>& voci) {
  std::vector<std::string> argomenti = s.prima;
  argomenti.push_back(cartella);
  argomenti.insert(argomenti.end(), voci.begin(), voci.end());
  return prova::esegui(s.programma, argomenti);
}

TEST(MisuraBanco, TheDurableWriteLeavesTheNamedFilesAtTheirSizesAndNoTemporary) {
  for (const auto& s : kScrittori) {
    prova::CartellaTemporanea t;
    prova::scrivi_tutto(t / "Linea_linea.dat", "an older table");
    const auto m = scrivi(s, t.percorso().string(), {"Linea_linea.dat=70000", "Linea_1.sim=3471", "Linea_1.dat=1"});
    ASSERT_EQ(m.stato, 0) << s.nome << ": " << m.errori;
    if (s.stampa_ms) {
      EXPECT_EQ(m.uscita.rfind("ms=", 0), 0u) << m.uscita;
    } else {
      EXPECT_EQ(m.uscita, "") << s.nome;
    }
    EXPECT_EQ(fs::file_size(t / "Linea_linea.dat"), 70000u) << s.nome;
    EXPECT_EQ(fs::file_size(t / "Linea_1.sim"), 3471u) << s.nome;
    EXPECT_EQ(fs::file_size(t / "Linea_1.dat"), 1u) << s.nome;
    EXPECT_EQ(std::distance(fs::directory_iterator(t.percorso()), fs::directory_iterator()), 3) << s.nome;
  }
}

TEST(MisuraBanco, FileListsItCannotWriteAreRefused) {
  for (const auto& s : kScrittori) {
    prova::CartellaTemporanea t;
    for (const char* voce : {"senza_misura", "=10", "a/b=10", "a=0", "a=-3", "a=dieci"}) {
      const auto m = scrivi(s, t.percorso().string(), {voce});
      EXPECT_EQ(m.stato, 3) << s.nome << ": " << voce;
      EXPECT_NE(m.errori.find(voce), std::string::npos) << s.nome << ": " << m.errori;
    }
    EXPECT_TRUE(fs::is_empty(t.percorso())) << s.nome;
    const auto m = scrivi(s, t / "non_esiste", {"a=10"});
    EXPECT_EQ(m.stato, 3) << s.nome;
    EXPECT_NE(m.errori.find("non_esiste"), std::string::npos) << s.nome << ": " << m.errori;
  }
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
