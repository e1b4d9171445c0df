// Nothing the program opens can hold it up: a FIFO given as an input or planted at one of
// the program's own names gives one line within a second in every command; pipes on the
// command line still work. A replaced file keeps its permissions.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <thread>

#include "disco/cartella_disco.h"
#include "comandi/supporto_disco.h"
#include "disco/giornale.h"

namespace cmp::prova {
namespace {

using namespace std::chrono_literals;

// A FIFO fed from a thread of this process: `prima` of waiting before it opens it for
// writing (nullopt: never), then each piece after a pause.
class TuboScritto {
 public:
  TuboScritto(std::filesystem::path percorso, std::chrono::milliseconds prima, std::vector<std::string> pezzi,
              std::chrono::milliseconds pausa)
      : percorso_(std::move(percorso)) {
    if (::mkfifo(percorso_.c_str(), 0644) != 0) std::abort();
    scrittore_ = std::thread([=, this] {
      std::this_thread::sleep_for(prima);
      const int fd = ::open(percorso_.c_str(), O_WRONLY | O_CLOEXEC);  // waits for the reader
      if (fd < 0) return;
      for (const auto& p : pezzi) {
        if (::write(fd, p.data(), p.size()) != static_cast<ssize_t>(p.size())) break;
        std::this_thread::sleep_for(pausa);
      }
      ::close(fd);
    });
  }
  ~TuboScritto() { scrittore_.join(); }

 private:
  std::filesystem::path percorso_;
  std::thread scrittore_;
};

TEST(LetturaFifo, AFifoIsReadWhileAWriterComesAndWithinItsDeadlineOtherwise) {
  CartellaTemporanea t;
  {
    SCOPED_TRACE("a writer that comes late and writes in pieces");
    TuboScritto tubo(t / "tardi", 200ms, {"abc", "def"}, 300ms);
    EXPECT_EQ(leggi_file(t / "tardi").value(), "abcdef");
  }
  {
    SCOPED_TRACE("a writer that comes and goes with nothing");
    TuboScritto tubo(t / "vuoto", 100ms, {}, 0ms);
    EXPECT_EQ(leggi_file(t / "vuoto").value(), "");
  }
  ASSERT_EQ(::mkfifo((t / "muto").c_str(), 0644), 0);
  const auto inizio = std::chrono::steady_clock::now();
  try {
    leggi_file(t / "muto");
    ADD_FAILURE() << "a FIFO no program writes into was read";
  } catch (const ErroreFile& e) {
    EXPECT_EQ(e.motivo(), "no program writes into it (waited " + std::to_string(kAttesaScrittoreMs) + " ms)");
  }
  const auto durata = std::chrono::steady_clock::now() - inizio;
  EXPECT_GE(durata, std::chrono::milliseconds(kAttesaScrittoreMs));
  EXPECT_LT(durata, std::chrono::milliseconds(kAttesaScrittoreMs) + 500ms);
  // Where only a regular file will do, the FIFO is refused at once.
  EXPECT_THROW(leggi_file(t / "muto", kMassimoLettura, letture::solo_file), ErroreFile);
  EXPECT_LT(std::chrono::steady_clock::now() - inizio - durata, 100ms);
}

// The program's own names are read only as regular files, never through a link.
TEST(LetturaFifo, TheFoldersOwnNamesAreReadOnlyAsRegularFiles) {
  CartellaTemporanea t;
  scrivi_tutto(t / "altrove", "x");
  std::filesystem::create_symlink(t / "altrove", t / "collegato");
  ASSERT_EQ(::mkfifo((t / "tubo").c_str(), 0644), 0);
  CartellaDisco c(t.percorso().string());
  EXPECT_EQ(c.leggi("altrove").value(), "x");
  for (const char* nome : {"collegato", "tubo"}) {
    SCOPED_TRACE(nome);
    EXPECT_THROW(c.leggi(nome), ErroreFile);
  }
}

// One FIFO in a place of each command. `prepara` makes it (and what else the run needs)
// in the test's folder and returns the arguments; the run must end within the limit with
// its status and one line on standard error naming `nominato`.
struct caso_fifo {
  const char* nome;
  std::function<std::vector<std::string>(const CartellaTemporanea&)> prepara;
  int stato;
  std::string nominato;      // relative to the test's folder
  bool incorporata = false;  // the built-in run, from a copy of the program in the folder
};

// A FIFO in place of whatever stands at the name.
void fifo(const std::string& percorso) {
  std::filesystem::remove(percorso);
  if (::mkfifo(percorso.c_str(), 0644) != 0) std::abort();
}

std::vector<std::string> compila(const CartellaTemporanea& t, const std::string& linea, const std::string& treno,
                                 const std::string& comando = "compile", const std::string& fuori = "out") {
  return {comando, "--line", t / linea, "--train", t / treno, "--out", t / fuori};
}

// A FIFO under the input's own name, in a folder of FIFOs.
std::string tubo(const CartellaTemporanea& t, const std::string& nome) {
  std::filesystem::create_directories(t / "tubi");
  fifo(t / ("tubi/" + nome));
  return "tubi/" + nome;
}

// The built-in scenario compiled into `out`, then one of its files turned into a FIFO.
std::vector<std::string> compilato_con_fifo(const CartellaTemporanea& t, const std::string& nome) {
  std::filesystem::create_directories(t / "out");
  if (esegui_entro(compila(t, kLinea, kTreno), 30).esito.stato != 0) std::abort();
  std::filesystem::remove(t / ("out/" + nome));
  fifo(t / ("out/" + nome));
  return {"plot", "--from", t / "out", "--out", t / "x.svg"};
}

std::vector<std::string> con_blocco_fifo(const CartellaTemporanea& t, std::vector<std::string> a) {
  std::filesystem::create_directories(t / "out");
  fifo(t / ("out/" + std::string(kNomeBlocco)));
  return a;
}

const caso_fifo kCasiFifo[] = {
    {"CompileLine", [](const auto& t) { return compila(t, tubo(t, kLinea), kTreno); }, 3, "tubi/" + kLinea},
    {"CompileTrain", [](const auto& t) { return compila(t, kLinea, tubo(t, kTreno)); }, 3, "tubi/" + kTreno},
    {"PlotLine",
     [](const auto& t) {
       auto a = compila(t, tubo(t, kLinea), kTreno, "plot");
       a.back() = t / "x.svg";
       return a;
     },
     3, "tubi/" + kLinea},
    {"PlotTrain",
     [](const auto& t) {
       auto a = compila(t, kLinea, tubo(t, kTreno), "plot");
       a.back() = t / "x.svg";
       return a;
     },
     3, "tubi/" + kTreno},
    {"PlotFromTheTrack", [](const auto& t) { return compilato_con_fifo(t, kBinari[2]); }, 3, "out/" + kBinari[2]},
    {"PlotFromThePlan", [](const auto& t) { return compilato_con_fifo(t, kBinari[0]); }, 3, "out/" + kBinari[0]},
    {"WatchLineAtStart", [](const auto& t) { return compila(t, tubo(t, kLinea), kTreno, "watch"); }, 3,
     "tubi/" + kLinea},
    {"Dump",
     [](const auto& t) {
       return std::vector<std::string>{"dump", t / tubo(t, kBinari[1])};
     },
     3, "tubi/" + kBinari[1]},
    {"CompileLock", [](const auto& t) { return con_blocco_fifo(t, compila(t, kLinea, kTreno)); }, 3,
     "out/" + std::string(kNomeBlocco)},
    {"ExportLock",
     [](const auto& t) {
       return con_blocco_fifo(t, {"export", "--out", t / "out"});
     },
     3, "out/" + std::string(kNomeBlocco)},
    {"PlotPageLock",
     [](const auto& t) {
       auto a = compila(t, kLinea, kTreno, "plot");
       a.back() = t / "out/x.svg";
       return con_blocco_fifo(t, a);
     },
     3, "out/" + std::string(kNomeBlocco)},
    {"BuiltInRunLineDescription",
     [](const auto& t) {
       fifo(t / kLinea);
       return std::vector<std::string>{};
     },
     3, kLinea, true},
    {"BuiltInRunTrainDescription",
     [](const auto& t) {
       fifo(t / kTreno);
       return std::vector<std::string>{};
     },
     3, kTreno, true},
    {"BuiltInRunJournal",
     [](const auto& t) {
       fifo(t / Cartella::kGiornale);
       return std::vector<std::string>{};
     },
     3, Cartella::kGiornale, true},
    {"BuiltInRunLock",
     [](const auto& t) {
       fifo(t / kNomeBlocco);
       return std::vector<std::string>{};
     },
     3, kNomeBlocco, true},
};

class Fifo : public testing::TestWithParam<caso_fifo> {};

TEST_P(Fifo, GivesOneLineWithinASecond) {
  const caso_fifo& c = GetParam();
  CartellaTemporanea t;
  scrivi_descrizioni_incorporate(t.percorso());
  const std::string programma = c.incorporata ? copia_programma(t) : std::string(COMPATTATORE_EXE);
  const auto argomenti = c.prepara(t);
  const auto r = esegui_entro(argomenti, 10, t.percorso().string(), {}, programma);
  EXPECT_EQ(r.esito.stato, c.stato) << r.esito.errori;
  EXPECT_EQ(std::count(r.esito.errori.begin(), r.esito.errori.end(), '\n'), 1) << r.esito.errori;
  EXPECT_NE(r.esito.errori.find(t / c.nominato), std::string::npos) << r.esito.errori;
  EXPECT_LT(r.durata, 1s);
  std::cout << "[ fifo     ] " << c.nome << ": " << r.durata.count() << " ms\n";
}

INSTANTIATE_TEST_SUITE_P(Comandi, Fifo, testing::ValuesIn(kCasiFifo),
                         [](const testing::TestParamInfo<caso_fifo>& i) { return std::string(i.param.nome); });

// Pipes on the command line (bash's <(...), a /dev/fd name) are read as before.
TEST(LetturaFifo, PipesOnTheCommandLineStillWork) {
  if (!std::filesystem::exists("/bin/bash")) GTEST_SKIP() << "needs bash for <(...)";
  CartellaTemporanea t;
  scrivi_descrizioni_incorporate(t.percorso());
  ASSERT_EQ(esegui_entro(compila(t, kLinea, kTreno, "compile", "da_file"), 30).esito.stato, 0);
  const auto r = esegui_entro({"-c",
                               "exec \"$0\" compile --line <(cat \"$1\") --train <(cat \"$2\") --nome-linea "
                               "VallorsaC_Pietrana --numero-treno 4721 --out \"$3\"",
                               COMPATTATORE_EXE, t / kLinea, t / kTreno, t / "da_tubi"},
                              30, ".", {}, "/bin/bash");
  EXPECT_EQ(r.esito.stato, 0) << r.esito.errori;
  EXPECT_TRUE(contenuto(t.percorso() / "da_tubi") == contenuto(t.percorso() / "da_file"));
}

// A file the user made private stays private when it is replaced; a new one takes the
// umask's permissions.
TEST(Permessi, AReplacedFileKeepsThePermissionsOfTheOneItReplaces) {
  CartellaTemporanea t;
  scrivi_descrizioni_incorporate(t.percorso());
  std::filesystem::create_directory(t / "out");
  const mode_t modi[] = {0600, 0640, 0604};
  for (std::size_t i = 0; i < 2; ++i) {  // the track has no earlier file
    scrivi_tutto(t / ("out/" + kBinari[i]), "earlier run");
    ASSERT_EQ(::chmod((t / ("out/" + kBinari[i])).c_str(), modi[i]), 0);
  }
  scrivi_tutto(t / "linea.svg", "earlier picture");
  ASSERT_EQ(::chmod((t / "linea.svg").c_str(), modi[2]), 0);
  const auto umask_022 = [] { ::umask(022); };
  ASSERT_EQ(esegui_entro(compila(t, kLinea, kTreno), 30, ".", umask_022).esito.stato, 0);
  auto plot = compila(t, kLinea, kTreno, "plot");
  plot.back() = t / "linea.svg";
  ASSERT_EQ(esegui_entro(plot, 30, ".", umask_022).esito.stato, 0);
  const auto modo = [](const std::string& p) {
    struct stat info {};
    return ::stat(p.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
  };
  EXPECT_EQ(modo(t / ("out/" + kBinari[0])), 0600u);
  EXPECT_EQ(modo(t / ("out/" + kBinari[1])), 0640u);
  EXPECT_EQ(modo(t / ("out/" + kBinari[2])), 0644u) << "a new file";
  EXPECT_EQ(modo(t / "linea.svg"), 0604u);
  EXPECT_NE(leggi_tutto(t / "linea.svg"), "earlier picture");
}

}  // namespace
}  // namespace cmp::prova
