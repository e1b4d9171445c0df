// Output that cannot be written, through `compattatore compile` and the built-in run: a
// folder that takes no files, a name taken by a folder, a full disk, a write that fails
// half-way. Each ends with status 3 and one line naming what could not be written; the
// files an earlier run left under the same names are still whole and unchanged, and no
// temporary file is left behind.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

const std::vector<std::string> kBinari = {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                          "VallorsaC_Pietrana_4721.dat"};

// Mounts are made in a mount namespace of the test process's own, so that none can
// outlive it; that needs root.
bool mount_possibili() {
  static const bool possibili = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return possibili;
}

// A tmpfs of this size, or the folder made read-only, until destroyed.
class Montaggio {
 public:
  static std::unique_ptr<Montaggio> tmpfs(const std::string& dove, std::size_t byte) {
    const std::string opzioni = "size=" + std::to_string(byte);
    if (!mount_possibili() || ::mount("tmpfs", dove.c_str(), "tmpfs", 0, opzioni.c_str()) != 0) return nullptr;
    return std::unique_ptr<Montaggio>(new Montaggio(dove));
  }
  static std::unique_ptr<Montaggio> sola_lettura(const std::string& dove) {
    if (!mount_possibili() || ::mount(dove.c_str(), dove.c_str(), nullptr, MS_BIND, nullptr) != 0) return nullptr;
    auto m = std::unique_ptr<Montaggio>(new Montaggio(dove));
    if (::mount(nullptr, dove.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) return nullptr;
    return m;
  }
  ~Montaggio() { ::umount2(dove_.c_str(), MNT_DETACH); }

 private:
  explicit Montaggio(std::string dove) : dove_(std::move(dove)) {}
  std::string dove_;
};

constexpr const char* kSenzaMount = "needs root and mount(2) to make a tmpfs or a read-only folder";

std::size_t pagine(std::size_t byte) {
  const auto pagina = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (byte + pagina - 1) / pagina;
}

// An earlier run's files: recognisable bytes under the binary files' names, but those in `salvo`.
std::map<std::string, std::string> file_precedenti(const std::filesystem::path& cartella,
                                                   const std::string& salvo = "") {
  std::map<std::string, std::string> precedenti;
  for (const auto& nome : kBinari) {
    if (nome == salvo) continue;
    precedenti[nome] = "earlier run: " + nome + "\n";
    prova::scrivi_tutto(cartella / nome, precedenti[nome]);
  }
  return precedenti;
}

void verifica_guasto(const prova::EsitoProcesso& e, const std::filesystem::path& cartella, const std::string& nominato,
                     const std::map<std::string, std::string>& precedenti) {
  EXPECT_EQ(e.stato, 3) << e.errori;
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
  EXPECT_NE(e.errori.find("cannot write"), std::string::npos) << e.errori;
  EXPECT_NE(e.errori.find(nominato), std::string::npos) << "should name " << nominato << ": " << e.errori;
  for (const auto& [nome, byte] : precedenti) {
    EXPECT_TRUE(prova::leggi_tutto(cartella / nome) == byte) << nome << " was changed";
  }
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
    EXPECT_EQ(voce.path().filename().string().find(".tmp-"), std::string::npos) << voce.path() << " left behind";
  }
}

void limita_file(rlim_t byte) {
  const rlimit limite{byte, byte};
  if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) ::_exit(125);
}

// The compile command on the built-in descriptions, into a folder of its own.
class GuastiCompila : public ::testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi_tutto(ingressi / "VallorsaC_Pietrana_linea.txt",
                        testo_da_tabella(tabella_righe(righe_linea_incorporata())));
    prova::scrivi_tutto(ingressi / "VallorsaC_Pietrana_4721-.txt",
                        testo_da_tabella(tabella_righe(righe_treno_incorporato())));
    std::filesystem::create_directory(uscita);
  }
  prova::EsitoProcesso compila(const std::function<void()>& nel_figlio = {}) {
    return prova::esegui(COMPATTATORE_EXE,
                         {"compile", "--line", ingressi / "VallorsaC_Pietrana_linea.txt", "--train",
                          ingressi / "VallorsaC_Pietrana_4721-.txt", "--out", uscita},
                         ".", nel_figlio);
  }
  std::string file(const std::string& nome) const { return uscita + "/" + nome; }

  CartellaTemporanea ingressi;
  const std::string uscita = ingressi / "uscita";
};

TEST_F(GuastiCompila, AFolderThatTakesNoFiles) {
  const auto precedenti = file_precedenti(uscita);
  std::unique_ptr<Montaggio> montaggio;
  if (::geteuid() == 0) {
    montaggio = Montaggio::sola_lettura(uscita);  // root writes through any permission
    if (!montaggio) GTEST_SKIP() << kSenzaMount;
  } else {
    std::filesystem::permissions(uscita, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  verifica_guasto(compila(), uscita, uscita, precedenti);
}

TEST_F(GuastiCompila, ANameTakenByAFolderChangesNoneOfTheFiles) {
  // The plan file comes first: a folder under the second name must not leave a new plan
  // beside the earlier track.
  const auto precedenti = file_precedenti(uscita, kBinari[1]);
  std::filesystem::create_directory(file(kBinari[1]));
  verifica_guasto(compila(), uscita, file(kBinari[1]), precedenti);
  EXPECT_TRUE(std::filesystem::is_empty(file(kBinari[1])));
}

TEST_F(GuastiCompila, AFullDisk) {
  const auto montaggio = Montaggio::tmpfs(uscita, 64 * 1024);
  if (!montaggio) GTEST_SKIP() << kSenzaMount;
  const auto precedenti = file_precedenti(uscita);
  verifica_guasto(compila(), uscita, file(kBinari[0]), precedenti);
}

TEST_F(GuastiCompila, AWriteBeyondTheFileSizeLimitFailsHalfWay) {
  const auto precedenti = file_precedenti(uscita);
  verifica_guasto(compila([] { limita_file(100000); }), uscita, file(kBinari[0]), precedenti);
}

// The disk fills during the last file, after the plan and the scenario table are whole:
// the earlier plan and table must still be there.
TEST_F(GuastiCompila, ADiskThatFillsDuringTheLastFileChangesNoneOfTheFiles) {
  ASSERT_EQ(compila().stato, 0);
  std::map<std::string, std::size_t> byte;
  for (const auto& nome : kBinari) byte[nome] = std::filesystem::file_size(file(nome));
  std::filesystem::remove_all(uscita);
  std::filesystem::create_directory(uscita);
  const std::size_t posto = pagine(byte[kBinari[0]]) + pagine(byte[kBinari[1]]) + pagine(byte[kBinari[2]]) - 1 +
                            kBinari.size();  // one page each for the earlier files
  const auto montaggio = Montaggio::tmpfs(uscita, posto * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
  if (!montaggio) GTEST_SKIP() << kSenzaMount;
  const auto precedenti = file_precedenti(uscita);
  verifica_guasto(compila(), uscita, file(kBinari[2]), precedenti);
}

// The built-in run, in the folder of a copy of the program.
class GuastiRunIncorporato : public ::testing::Test {
 protected:
  std::string file(const std::string& nome) const { return cartella.percorso().string() + "/" + nome; }
  CartellaTemporanea cartella;
};

TEST_F(GuastiRunIncorporato, AFolderThatTakesNoFiles) {
  const std::string programma = prova::copia_programma(cartella);
  const auto precedenti = file_precedenti(cartella.percorso());
  std::unique_ptr<Montaggio> montaggio;
  if (::geteuid() == 0) {
    montaggio = Montaggio::sola_lettura(cartella.percorso());
    if (!montaggio) GTEST_SKIP() << kSenzaMount;
  } else {
    std::filesystem::permissions(cartella.percorso(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  // The first file of the run is the line description.
  verifica_guasto(prova::esegui(programma, {}), cartella.percorso(), file("VallorsaC_Pietrana_linea.txt"),
                  precedenti);
}

TEST_F(GuastiRunIncorporato, ANameTakenByAFolderChangesNoneOfTheFiles) {
  const std::string programma = prova::copia_programma(cartella);
  const auto precedenti = file_precedenti(cartella.percorso(), kBinari[2]);
  std::filesystem::create_directory(file(kBinari[2]));
  verifica_guasto(prova::esegui(programma, {}), cartella.percorso(), file(kBinari[2]), precedenti);
  // The descriptions were read (and deleted) before the binary files failed.
  EXPECT_FALSE(std::filesystem::exists(file("VallorsaC_Pietrana_linea.txt")));
  EXPECT_FALSE(std::filesystem::exists(file("VallorsaC_Pietrana_4721-.txt")));
}

TEST_F(GuastiRunIncorporato, AFullDisk) {
  // Room for the program, the texts and the documents, not for the plan.
  const std::size_t posto = std::filesystem::file_size(COMPATTATORE_EXE) + 128 * 1024;
  const auto montaggio = Montaggio::tmpfs(cartella.percorso(), posto);
  if (!montaggio) GTEST_SKIP() << kSenzaMount;
  const std::string programma = prova::copia_programma(cartella);
  const auto precedenti = file_precedenti(cartella.percorso());
  verifica_guasto(prova::esegui(programma, {}), cartella.percorso(), file(kBinari[0]), precedenti);
}

TEST_F(GuastiRunIncorporato, AWriteBeyondTheFileSizeLimitFailsHalfWay) {
  const std::string programma = prova::copia_programma(cartella);
  const auto precedenti = file_precedenti(cartella.percorso());
  verifica_guasto(prova::esegui(programma, {}, ".", [] { limita_file(100000); }), cartella.percorso(),
                  file(kBinari[0]), precedenti);
}

}  // namespace
}  // namespace cmp
