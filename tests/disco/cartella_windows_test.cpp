// The folder on disk as Windows holds it: names it cannot hold, letter case, a file another
// program holds open, paths beyond MAX_PATH, the lock and the journal's recovery.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "disco/cartella_disco.h"
#include "disco/giornale.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
namespace fs = std::filesystem;

std::vector<std::string> nomi_in(const fs::path& cartella) {
  std::vector<std::string> nomi;
  for (const auto& v : fs::directory_iterator(cartella)) nomi.push_back(v.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

TEST(CartellaWindows, RefusesANameWindowsCannotHoldBeforeWritingAnything) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  c.scrivi("ok.dat", "vecchio");
  for (const char* vietato : {"a:b.dat", "CON", "nul.txt", "LPT3.dat", "fine.", "x?y.dat"}) {
    std::vector<file_da_scrivere> insieme;
    insieme.push_back(file_intero("ok.dat", "nuovo"));
    insieme.push_back(file_intero(vietato, "x"));
    try {
      c.scrivi_insieme(std::move(insieme));
      ADD_FAILURE() << vietato << " was written";
    } catch (const ErroreFile& e) {
      EXPECT_NE(e.percorso().find(vietato), std::string::npos) << e.what();
    }
    EXPECT_EQ(nomi_in(t.percorso()), std::vector<std::string>{"ok.dat"}) << vietato;
    EXPECT_EQ(prova::leggi_tutto(t.percorso() / "ok.dat"), "vecchio");
  }
}

TEST(CartellaWindows, NamesDifferingOnlyInCaseAreOneFile) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  c.scrivi("treno.dat", "primo");
  c.scrivi("TRENO.dat", "secondo");
  EXPECT_EQ(c.leggi("Treno.DAT"), "secondo");
  EXPECT_EQ(nomi_in(t.percorso()).size(), 1u);
}

// The simulator holds its files open while it runs. A set with one of them in it is
// refused before anything is written, the file named; the others keep their old bytes and
// no second name or temporary stays beside them.
// The folder without its check before writing: as when the program opens the file between
// the check and the rename.
class CartellaSenzaControllo : public CartellaDisco {
 public:
  using CartellaDisco::CartellaDisco;
  std::optional<std::string> nome_inutilizzabile(const std::string&) override { return std::nullopt; }
};

TEST(CartellaWindows, AFileHeldOpenByAnotherProgramIsNamedAndEveryOldFileKept) {
  // How a program may hold it: sharing nothing, or letting others read, or read and write;
  // none of them lets it be replaced.
  for (const bool prima : {true, false})
    for (const DWORD condivisione : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
      SCOPED_TRACE(std::string(prima ? "seen before writing" : "met by the rename") + ", held with sharing " +
                   std::to_string(condivisione));
      CartellaTemporanea t;
      std::unique_ptr<CartellaDisco> cartella = prima ? std::make_unique<CartellaDisco>(t.percorso().string())
                                                      : std::make_unique<CartellaSenzaControllo>(t.percorso().string());
      CartellaDisco& c = *cartella;
      c.scrivi("a.dat", "vecchio a");
      c.scrivi("b.dat", "vecchio b");
      const HANDLE tenuto = CreateFileW((t.percorso() / "b.dat").wstring().c_str(), GENERIC_READ, condivisione, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(tenuto, INVALID_HANDLE_VALUE);
      std::vector<file_da_scrivere> insieme;
      insieme.push_back(file_intero("a.dat", "nuovo a"));
      insieme.push_back(file_intero("b.dat", "nuovo b"));
      try {
        c.scrivi_insieme(std::move(insieme));
        ADD_FAILURE() << "a file held open was replaced";
      } catch (const ErroreFile& e) {
        EXPECT_NE(e.percorso().find("b.dat"), std::string::npos) << e.what();
        EXPECT_EQ(e.motivo(), "the file is in use by another program");
      }
      CloseHandle(tenuto);
      EXPECT_EQ(prova::leggi_tutto(t.percorso() / "a.dat"), "vecchio a");
      EXPECT_EQ(prova::leggi_tutto(t.percorso() / "b.dat"), "vecchio b");
      EXPECT_EQ(nomi_in(t.percorso()), (std::vector<std::string>{"a.dat", "b.dat"}));
    }
}

TEST(CartellaWindows, WritesAndReadsBeyondMaxPath) {
  CartellaTemporanea t;
  std::wstring lungo = L"\\\\?\\" + fs::absolute(t.percorso()).wstring();
  std::string stretto = t.percorso().string();
  while (stretto.size() < 300) {
    lungo += L"\\" + std::wstring(60, L'c');
    stretto += "\\" + std::string(60, 'c');
    ASSERT_TRUE(CreateDirectoryW(lungo.c_str(), nullptr));
  }
  CartellaDisco c(stretto);
  c.scrivi("lungo.dat", "in fondo");
  c.scrivi("lungo.dat", "sostituito");
  EXPECT_EQ(c.leggi("lungo.dat"), "sostituito");
  EXPECT_EQ(leggi_file(stretto + "\\lungo.dat"), "sostituito");
  // What remains is removed through the same prefix (the helper's remove_all has none).
  ASSERT_TRUE(DeleteFileW((lungo + L"\\lungo.dat").c_str()));
  while (lungo.size() > 4 + fs::absolute(t.percorso()).wstring().size()) {
    ASSERT_TRUE(RemoveDirectoryW(lungo.c_str()));
    lungo.erase(lungo.rfind(L'\\'));
  }
}

TEST(CartellaWindows, ASecondWriterWaitsForTheLockAndNoLockFileStays) {
  CartellaTemporanea t;
  BloccoCartella primo(t.percorso().string());
  primo.prendi("x.dat");
  std::atomic<bool> preso{false};
  std::thread secondo_scrittore([&] {
    BloccoCartella secondo(t.percorso().string());
    secondo.prendi("x.dat");
    preso = true;
    secondo.rilascia();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(preso);
  primo.rilascia();
  secondo_scrittore.join();
  EXPECT_TRUE(preso);
  EXPECT_TRUE(nomi_in(t.percorso()).empty());
}

// What a run killed between two renames leaves, written as it left it (a write through the
// folder would take the left-overs up at once): a.dat already new, its old file under its
// second name, the journal, a temporary.
TEST(CartellaWindows, AJournalLeftByAKilledRunIsTakenUp) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t.percorso() / "a.dat", "nuovo a");
  prova::scrivi_tutto(t.percorso() / ".compattatore.old-abc123", "vecchio a");
  prova::scrivi_tutto(t.percorso() / ".compattatore.tmp-zz9zz9", "avanzo");
  prova::scrivi_tutto(t.percorso() / Cartella::kGiornale, testo_giornale({{"a.dat", ".compattatore.old-abc123"}}));
  CartellaDisco c(t.percorso().string());
  c.ripristina_interrotta({"a.dat"});
  EXPECT_EQ(c.leggi("a.dat"), "vecchio a");
  EXPECT_EQ(nomi_in(t.percorso()), std::vector<std::string>{"a.dat"});
}

TEST(CartellaWindows, ReadsAreBounded) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t.percorso() / "grande.txt", std::string(11, 'x'));
  EXPECT_THROW(leggi_file((t.percorso() / "grande.txt").string(), 10), ErroreFileTroppoGrande);
  EXPECT_EQ(leggi_file((t.percorso() / "grande.txt").string(), 11), std::string(11, 'x'));
  EXPECT_THROW(leggi_file("NUL", 10, letture::solo_file), ErroreFile);
}

}  // namespace
}  // namespace cmp
