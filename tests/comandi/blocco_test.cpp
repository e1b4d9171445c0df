// The folder's lock: a file of its own, taken whatever the folder's mode, gone after a
// clean run; two compiles at once into one folder never leave a mix of their files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "disco/cartella_disco.h"
#include "comandi/supporto_disco.h"
#include "disco/giornale.h"

namespace cmp::prova {
namespace {

using namespace std::chrono_literals;

bool bloccato_da_altri(const std::filesystem::path& blocco) {
  const int fd = ::open(blocco.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool altri = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return altri;
}

// A second lock waits for the first; the first removes the file while it still holds it,
// so the second, woken on a file no longer at the name, takes the lock again on a new one
// (which a third then finds locked); the last to let go leaves no file.
TEST(BloccoCartella, ALaterLockWaitsAndTakesItOnTheFileAtTheName) {
  CartellaTemporanea t;
  const auto blocco = t.percorso() / kNomeBlocco;
  BloccoCartella primo(t.percorso().string());
  primo.prendi("");
  ASSERT_TRUE(std::filesystem::is_regular_file(blocco));
  std::atomic<bool> preso = false, lascia = false;
  std::thread secondo([&] {
    BloccoCartella b(t.percorso().string());
    b.prendi("");
    preso = true;
    while (!lascia) std::this_thread::sleep_for(1ms);
  });
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(preso) << "the second lock did not wait";
  primo.rilascia();
  for (int i = 0; i < 5000 && !preso; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(preso);
  EXPECT_TRUE(bloccato_da_altri(blocco)) << "the file at the name is not the one locked";
  lascia = true;
  secondo.join();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(blocco))) << "a lock file left behind";
}

// Where no lock can be had, nothing is written: one reason, naming the folder.
TEST(BloccoCartella, NoLockOnANameThatIsNotARegularFile) {
  struct caso {
    const char* nome;
    std::function<void(const std::filesystem::path&)> pianta;
  };
  const caso casi[] = {
      {"a folder", [](const auto& p) { std::filesystem::create_directory(p); }},
      {"a FIFO", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
      {"a link to a file",
       [](const auto& p) {
         scrivi_tutto(p.string() + "-altrove", "");
         std::filesystem::create_symlink(p.string() + "-altrove", p);
       }},
      {"a link to nothing", [](const auto& p) { std::filesystem::create_symlink(p.string() + "-nulla", p); }},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea t;
    c.pianta(t.percorso() / kNomeBlocco);
    CartellaDisco cartella(t.percorso().string());
    try {
      cartella.scrivi("piano.dat", "new");
      ADD_FAILURE() << "written without a lock";
    } catch (const ErroreFile& e) {
      EXPECT_EQ(e.percorso(), t.percorso().string());
      EXPECT_NE(e.motivo().find(kNomeBlocco), std::string::npos) << e.motivo();
    }
    EXPECT_FALSE(std::filesystem::exists(t / "piano.dat"));
  }
}

// Two scenarios under one identity whose three files all differ: the built-in one, and
// one with a longer line.
struct Scenari {
  CartellaTemporanea t;
  std::map<std::string, std::string> attesi[2];
  std::filesystem::path ingressi[2];

  Scenari() {
    std::filesystem::permissions(t.percorso(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                   std::filesystem::perms::group_exec |
                                                   std::filesystem::perms::others_read |
                                                   std::filesystem::perms::others_exec);
    for (int i = 0; i < 2; ++i) {
      ingressi[i] = t.percorso() / ("scenario" + std::to_string(i));
      std::filesystem::create_directory(ingressi[i]);
      scrivi_descrizioni_incorporate(ingressi[i]);
    }
    std::string linea = leggi_tutto(ingressi[1] / kLinea);
    const auto lunghezza = linea.find("lunghezza percorso");
    const auto fine = linea.find('\r', lunghezza);
    linea.replace(lunghezza, fine - lunghezza, "lunghezza percorso, 40000");
    scrivi_tutto(ingressi[1] / kLinea, linea);
    for (int i = 0; i < 2; ++i) {
      const auto fuori = t.percorso() / ("atteso" + std::to_string(i));
      const auto e = esegui_entro(argomenti(i, fuori), 60);
      EXPECT_EQ(e.esito.stato, 0) << e.esito.errori;
      attesi[i] = contenuto(fuori);
    }
  }
  std::vector<std::string> argomenti(int i, const std::filesystem::path& fuori) const {
    return {"compile", "--line",      (ingressi[i] / kLinea).string(), "--train", (ingressi[i] / kTreno).string(),
            "--out",   fuori.string()};
  }
};

// Starts compile `i` into the folder as `utente` (nullopt: as this process) once the
// pipe `via` is closed by the parent; returns its process id.
pid_t avvia(const Scenari& s, int i, const std::filesystem::path& fuori, std::optional<uid_t> utente,
            const int via[2]) {
  std::vector<std::string> a = {COMPATTATORE_EXE};
  for (auto& x : s.argomenti(i, fuori)) a.push_back(std::move(x));
  return avvia_muto(a, [&] {
    ::close(via[1]);
    char c;
    while (::read(via[0], &c, 1) > 0) {
    }
    if (utente && (::setgroups(0, nullptr) != 0 || ::setgid(*utente) != 0 || ::setuid(*utente) != 0)) ::_exit(125);
    ::alarm(60);
  });
}

int attendi(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The two compiles started at the same moment; their exit statuses.
std::vector<int> due_insieme(const Scenari& s, const std::filesystem::path& fuori, std::optional<uid_t> utente) {
  int via[2];
  if (::pipe(via) != 0) std::abort();
  const pid_t primo = avvia(s, 0, fuori, utente, via);
  const pid_t secondo = avvia(s, 1, fuori, utente, via);
  ::close(via[0]);
  ::close(via[1]);  // the start signal
  return {attendi(primo), attendi(secondo)};
}

// Whether a process of this user can open the folder for reading (which the old lock on
// the folder itself needed).
bool leggibile_da(const std::filesystem::path& cartella, std::optional<uid_t> utente) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (utente && (::setgroups(0, nullptr) != 0 || ::setgid(*utente) != 0 || ::setuid(*utente) != 0)) ::_exit(2);
    ::_exit(::open(cartella.c_str(), O_RDONLY | O_DIRECTORY) >= 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Who runs the compiles: an ordinary user (this one, or nobody when this is root), for
// whom a folder of mode 0333 cannot be opened; and root, who opens it anyway.
struct Utente {
  const char* nome;
  bool radice;
};

void PrintTo(const Utente& u, std::ostream* os) { *os << u.nome; }

class BloccoConcorrente : public testing::TestWithParam<Utente> {};

TEST_P(BloccoConcorrente, TwoCompilesAtOnceIntoAFolderOfMode0333NeverLeaveAMix) {
  const bool radice = ::geteuid() == 0;
  if (GetParam().radice && !radice) GTEST_SKIP() << "runs as root only";
  const std::optional<uid_t> utente = radice && !GetParam().radice ? std::optional<uid_t>(65534) : std::nullopt;
  Scenari s;
  for (int i = 0; i < 2; ++i) ASSERT_EQ(s.attesi[i].size(), 3u);
  for (const auto& nome : kBinari) ASSERT_NE(s.attesi[0].at(nome), s.attesi[1].at(nome)) << nome << " alike";
  // A folder of mode 0333 (write and search, no read), as the compiles see it.
  const auto cartella_0333 = [&](const std::string& nome) {
    const auto fuori = s.t.percorso() / nome;
    std::filesystem::create_directory(fuori);
    if (utente && ::chown(fuori.c_str(), *utente, *utente) != 0) ADD_FAILURE() << "chown";
    ::chmod(fuori.c_str(), 0333);
    return fuori;
  };
  if (!GetParam().radice && leggibile_da(cartella_0333("prova"), utente)) {
    GTEST_SKIP() << "a folder of mode 0333 can be read here (root without an ordinary user to become)";
  }
  {
    // A compile waits while the lock is held (here, by this process), and writes once it
    // is let go.
    const auto fuori = cartella_0333("tenuta");
    BloccoCartella tenuto(fuori.string());
    tenuto.prendi("");
    int via[2];
    ASSERT_EQ(::pipe(via), 0);
    const pid_t pid = avvia(s, 0, fuori, utente, via);
    ::close(via[0]);
    ::close(via[1]);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "the compile did not wait for the lock";
    EXPECT_FALSE(std::filesystem::exists(fuori / kBinari[0]));
    tenuto.rilascia();
    EXPECT_EQ(attendi(pid), 0);
    ASSERT_EQ(::chmod(fuori.c_str(), 0755), 0);
    EXPECT_TRUE(contenuto(fuori) == s.attesi[0]) << "the files, and no lock file left";
  }
  int refusals = 0;
  for (int giro = 0; giro < 30; ++giro) {
    SCOPED_TRACE("round " + std::to_string(giro));
    const auto fuori = cartella_0333("giro" + std::to_string(giro));
    for (const int stato : due_insieme(s, fuori, utente)) {
      EXPECT_TRUE(stato == 0 || stato == 3) << stato;
      refusals += stato == 3;
    }
    ASSERT_EQ(::chmod(fuori.c_str(), 0755), 0);
    const auto lasciato = contenuto(fuori);
    EXPECT_TRUE(lasciato == s.attesi[0] || lasciato == s.attesi[1]) << "a mix of the two compiles, or more files";
  }
  EXPECT_EQ(refusals, 0) << "the later compile waits";
}

const Utente kUtenti[] = {{"AnOrdinaryUser", false}, {"Root", true}};
INSTANTIATE_TEST_SUITE_P(Utenti, BloccoConcorrente, testing::ValuesIn(kUtenti),
                         [](const testing::TestParamInfo<Utente>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace cmp::prova
