// Output that cannot be written on a real disk, through `compattatore compile` and the
// built-in run: a folder that takes no files, a name taken by a folder, a full disk, a
// write that fails half-way. (Every other failing operation, for every command, is in
// guasti_nesimo_test.cpp, against the folder fake.) Each ends with status 3 and one line naming what could not be
// written; the files an earlier run left under the same names are still whole and unchanged, and no temporary file is
// left behind.
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
    EXPECT_NE(voce.path().filename().string().rfind(".compattatore.", 0), 0u) << voce.path() << " left behind";
  }
}

void limita_file(rlim_t byte) {
  const rlimit limite{byte, byte};
  if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) ::_exit(125);
}

// The two runs that write the binary files from a process: `compattatore compile` on the
// built-in descriptions into a folder of its own, and the built-in run in the folder of a
// copy of the program. Each write fault is one test over both.
struct Corsa {
  const char* nome;
  bool incorporata;
};

void PrintTo(const Corsa& c, std::ostream* os) { *os << c.nome; }

class Guasti : public testing::TestWithParam<Corsa> {
 protected:
  void SetUp() override {
    if (incorporata()) {
      cartella_ = t.percorso().string();
      programma_ = prova::copia_programma(t);
      return;
    }
    prova::scrivi_tutto(t / "VallorsaC_Pietrana_linea.txt", testo_da_tabella(tabella_righe(righe_linea_incorporata())));
    prova::scrivi_tutto(t / "VallorsaC_Pietrana_4721-.txt", testo_da_tabella(tabella_righe(righe_treno_incorporato())));
    cartella_ = t / "uscita";
    std::filesystem::create_directory(cartella_);
  }
  bool incorporata() const { return GetParam().incorporata; }
  prova::EsitoProcesso esegui(const std::function<void()>& nel_figlio = {}) {
    if (incorporata()) return prova::esegui(programma_, {}, ".", nel_figlio);
    return prova::esegui(COMPATTATORE_EXE,
                         {"compile", "--line", t / "VallorsaC_Pietrana_linea.txt", "--train",
                          t / "VallorsaC_Pietrana_4721-.txt", "--out", cartella_},
                         ".", nel_figlio);
  }
  // After a mount over the built-in run's folder its program must be copied in again.
  void ricopia_programma() {
    if (incorporata()) programma_ = prova::copia_programma(t);
  }
  std::string file(const std::string& nome) const { return cartella_ + "/" + nome; }

  CartellaTemporanea t;
  std::string cartella_;  // where the binary files go
  std::string programma_;
};

TEST_P(Guasti, AFolderThatTakesNoFiles) {
  const auto precedenti = file_precedenti(cartella_);
  std::unique_ptr<Montaggio> montaggio;
  if (::geteuid() == 0) {
    montaggio = Montaggio::sola_lettura(cartella_);  // root writes through any permission
    if (!montaggio) GTEST_SKIP() << kSenzaMount;
  } else {
    std::filesystem::permissions(cartella_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  // compile refuses the folder before it starts; the built-in run's first file is the line description.
  verifica_guasto(esegui(), cartella_, incorporata() ? file("VallorsaC_Pietrana_linea.txt") : cartella_, precedenti);
}

// A folder under one of the names: it is found before anything is written, so a folder
// under the second name leaves no new plan beside the earlier track.
TEST_P(Guasti, ANameTakenByAFolderChangesNoneOfTheFiles) {
  const std::string occupato = incorporata() ? kBinari[2] : kBinari[1];
  const auto precedenti = file_precedenti(cartella_, occupato);
  std::filesystem::create_directory(file(occupato));
  verifica_guasto(esegui(), cartella_, file(occupato), precedenti);
  EXPECT_TRUE(std::filesystem::is_empty(file(occupato)));
  if (incorporata()) {  // the descriptions were read (and deleted) before the binary files failed
    EXPECT_FALSE(std::filesystem::exists(file("VallorsaC_Pietrana_linea.txt")));
    EXPECT_FALSE(std::filesystem::exists(file("VallorsaC_Pietrana_4721-.txt")));
  }
}

TEST_P(Guasti, AFullDiskFailsNamingTheFileAndKeepsTheOlderFiles) {
  // The built-in run needs room for the program, the texts and the documents, not for the plan.
  const std::size_t posto = incorporata() ? std::filesystem::file_size(COMPATTATORE_EXE) + 128 * 1024 : 64 * 1024;
  const auto montaggio = Montaggio::tmpfs(cartella_, posto);
  if (!montaggio) GTEST_SKIP() << kSenzaMount;
  ricopia_programma();
  const auto precedenti = file_precedenti(cartella_);
  verifica_guasto(esegui(), cartella_, file(kBinari[0]), precedenti);
}

TEST_P(Guasti, AWriteBeyondTheFileSizeLimitFailsHalfWay) {
  const auto precedenti = file_precedenti(cartella_);
  verifica_guasto(esegui([] { limita_file(100000); }), cartella_, file(kBinari[0]), precedenti);
}

const Corsa kCorse[] = {{"Compile", false}, {"BuiltInRun", true}};
INSTANTIATE_TEST_SUITE_P(Scritture, Guasti, testing::ValuesIn(kCorse),
                         [](const testing::TestParamInfo<Corsa>& i) { return std::string(i.param.nome); });

// The disk fills during the last file, after the plan and the scenario table are whole:
// the earlier plan and table must still be there.
class GuastiUltimoFile : public Guasti {};

TEST_P(GuastiUltimoFile, ADiskThatFillsDuringTheLastFileChangesNoneOfTheFiles) {
  ASSERT_EQ(esegui().stato, 0);
  std::map<std::string, std::size_t> byte;
  for (const auto& nome : kBinari) byte[nome] = std::filesystem::file_size(file(nome));
  std::filesystem::remove_all(cartella_);
  std::filesystem::create_directory(cartella_);
  const std::size_t posto = pagine(byte[kBinari[0]]) + pagine(byte[kBinari[1]]) + pagine(byte[kBinari[2]]) - 1 +
                            kBinari.size();  // one page each for the earlier files
  const auto montaggio = Montaggio::tmpfs(cartella_, posto * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
  if (!montaggio) GTEST_SKIP() << kSenzaMount;
  const auto precedenti = file_precedenti(cartella_);
  verifica_guasto(esegui(), cartella_, file(kBinari[2]), precedenti);
}

INSTANTIATE_TEST_SUITE_P(Scritture, GuastiUltimoFile, testing::Values(kCorse[0]),
                         [](const testing::TestParamInfo<Corsa>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace cmp
