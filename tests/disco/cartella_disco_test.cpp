#include "disco/cartella_disco.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <thread>

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

  // A set of files over older ones: neither the journal nor an old file's second name stays.
  std::vector<file_da_scrivere> file;
  for (const char* nome : {"a.dat", "nuovo.txt", "terzo.sim"}) file.push_back(file_intero(nome, nome));
  c.scrivi_insieme(std::move(file));
  for (const char* nome : {"a.dat", "nuovo.txt", "terzo.sim"}) EXPECT_EQ(prova::leggi_tutto(t / nome), nome);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.percorso()), {}), 3);
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

// Messages name a file by the folder as the user typed it.
TEST(CartellaDisco, AFolderTypedWithItsSlashNamesItsFilesWithOne) {
  for (const auto& [cartella, atteso] : {std::pair<std::string, std::string>{"out/", "out/a.dat"},
                                         {"out", "out/a.dat"},
                                         {"/", "/a.dat"},
                                         {"a//b/", "a//b/a.dat"}}) {
    EXPECT_EQ(CartellaDisco(cartella).percorso_di("a.dat"), atteso) << cartella;
  }
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
// The first rename puts the journal in place, the next three the files.
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
  for (const int rifiutata : {1, 2, 3, 4}) {
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

// The files are flushed from threads of their own: a failure still names the file it
// belongs to, whichever thread met it.
TEST(CartellaDisco, AFlushThatFailsNamesItsFile) {
  CartellaTemporanea t;
  CartellaDisco c(t.percorso().string());
  std::vector<file_temporaneo> file;
  for (const char* nome : {"piano.dat", "scenario.sim", "percorso.dat"}) {
    file.push_back({c.scrivi_temporaneo(nome, [](const ScriviPezzo& scrivi) { scrivi("abc"); }), nome});
  }
  EXPECT_NO_THROW(c.rendi_durevoli(file));
  std::filesystem::remove(t / file[1].nome);
  try {
    c.rendi_durevoli(file);
    ADD_FAILURE() << "a temporary file that is gone cannot be flushed";
  } catch (const ErroreFile& e) {
    EXPECT_EQ(e.percorso(), (t / "scenario.sim"));
    EXPECT_EQ(e.motivo(), std::strerror(ENOENT));
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

// The cap holds for every kind of file: a regular file is refused by its size, a pipe or
// a device after reading one byte past the cap, never more.
TEST(CartellaDisco, ReadsAtMostTheCapFromFilesPipesAndDevices) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "dieci", std::string(10, 'x'));
  EXPECT_EQ(leggi_file((t / "dieci"), 10).value(), std::string(10, 'x')) << "exactly the cap is read";
  EXPECT_THROW(leggi_file((t / "dieci"), 9), ErroreFileTroppoGrande);
  EXPECT_THROW(leggi_file("/dev/zero", 1000), ErroreFileTroppoGrande);

  ASSERT_EQ(::mkfifo((t / "tubo").c_str(), 0600), 0);
  std::thread scrittore([&] {  // writes more than the cap, then stops on the closed pipe
    std::signal(SIGPIPE, SIG_IGN);
    const int fd = ::open((t / "tubo").c_str(), O_WRONLY);
    const std::string blocco(4096, 'y');
    for (int i = 0; i < 64; ++i) {
      if (::write(fd, blocco.data(), blocco.size()) < 0) break;
    }
    ::close(fd);
  });
  try {
    leggi_file((t / "tubo"), 5000);
    ADD_FAILURE() << "a pipe longer than the cap must be refused";
  } catch (const ErroreFileTroppoGrande& e) {
    EXPECT_EQ(e.percorso(), (t / "tubo"));
    EXPECT_NE(e.motivo().find("5000"), std::string::npos) << e.motivo();
  }
  scrittore.join();
}

// A read is sized by what the file says it holds, and must still go on past that: a file
// of the kernel's that tells size 0, a pipe longer than the first block read from it.
TEST(CartellaDisco, ReadsWholeFilesWhoseSizeIsUnknownOrWrong) {
  const auto stato = leggi_file("/proc/self/status").value();
  EXPECT_EQ(stato.rfind("Name:", 0), 0u) << stato;
  EXPECT_EQ(stato.back(), '\n');

  CartellaTemporanea t;
  ASSERT_EQ(::mkfifo((t / "tubo").c_str(), 0600), 0);
  std::string atteso;
  for (int i = 0; i < 50000; ++i) atteso += std::to_string(i) + ",";  // about 240 KB, no repeating block
  std::thread scrittore([&] {
    const int fd = ::open((t / "tubo").c_str(), O_WRONLY);
    std::string_view resto = atteso;
    while (!resto.empty()) {
      const ssize_t n = ::write(fd, resto.data(), resto.size());
      if (n <= 0) break;
      resto.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
  });
  const auto letto = leggi_file((t / "tubo"));
  scrittore.join();
  EXPECT_EQ(letto.value(), atteso);
}

// What stands at an output name decides how it is written: devices, FIFOs and sockets are
// written through and stay what they are; folders and block devices are refused; a link
// to a regular file is itself replaced, its target left alone.
TEST(ScriviUscita, WritesThroughDevicesFifosAndSocketsAndReplacesOnlyFilesAndLinks) {
  CartellaTemporanea t;
  const auto p = [&](const char* nome) { return (t / nome); };

  std::filesystem::create_symlink("/dev/null", t / "al_nulla");
  for (const std::string& nome : {std::string("/dev/null"), p("al_nulla")})
    EXPECT_NO_THROW(scrivi_uscita(nome, "svg")) << nome;
  EXPECT_TRUE(std::filesystem::is_symlink(t / "al_nulla"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

  prova::scrivi_tutto(t / "bersaglio", "old");
  std::filesystem::create_symlink(t / "bersaglio", t / "al_file");
  scrivi_uscita(p("al_file"), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(t / "al_file"));
  EXPECT_EQ(prova::leggi_tutto(t / "al_file"), "new");
  EXPECT_EQ(prova::leggi_tutto(t / "bersaglio"), "old") << "the link is replaced, never followed";

  ASSERT_EQ(::mkfifo(p("tubo").c_str(), 0600), 0);
  std::string letto;
  std::thread lettore([&] { letto = prova::leggi_tutto(t / "tubo"); });
  scrivi_uscita(p("tubo"), "through the pipe");
  lettore.join();
  EXPECT_EQ(letto, "through the pipe");
  EXPECT_TRUE(std::filesystem::is_fifo(t / "tubo"));

  const int presa = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un indirizzo{};
  indirizzo.sun_family = AF_UNIX;
  std::strncpy(indirizzo.sun_path, p("presa").c_str(), sizeof indirizzo.sun_path - 1);
  ASSERT_EQ(::bind(presa, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo), 0);
  ASSERT_EQ(::listen(presa, 1), 0);
  std::string ricevuto;
  std::thread server([&] {
    const int c = ::accept(presa, nullptr, nullptr);
    char b[256];
    for (ssize_t n; (n = ::read(c, b, sizeof b)) > 0;) ricevuto.append(b, static_cast<std::size_t>(n));
    ::close(c);
  });
  scrivi_uscita(p("presa"), "through the socket");
  server.join();
  ::close(presa);
  EXPECT_EQ(ricevuto, "through the socket");
  EXPECT_TRUE(std::filesystem::is_socket(t / "presa"));

  std::filesystem::create_directory(t / "cartella");
  std::filesystem::create_directory_symlink(t / "cartella", t / "alla_cartella");
  for (const std::string& nome : {p("cartella"), p("alla_cartella")}) {
    try {
      scrivi_uscita(nome, "x");
      ADD_FAILURE() << nome << " must be refused";
    } catch (const ErroreFile& e) {
      EXPECT_EQ(e.percorso(), nome);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(t / "cartella"));
}

// Device nodes of one's own can only be made by root.
TEST(ScriviUscita, ADeviceNodeIsWrittenThroughAndABlockDeviceRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "making device nodes needs root";
  CartellaTemporanea t;
  const std::string nulla = (t / "nulla");
  const std::string blocco = (t / "blocco");
  ASSERT_EQ(::mknod(nulla.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
  ASSERT_EQ(::mknod(blocco.c_str(), S_IFBLK | 0600, ::makedev(7, 200)), 0);
  std::filesystem::create_symlink(nulla, t / "al_nulla");
  scrivi_uscita(nulla, "svg");
  scrivi_uscita((t / "al_nulla"), "svg");
  EXPECT_TRUE(std::filesystem::is_character_file(nulla));
  EXPECT_TRUE(std::filesystem::is_symlink(t / "al_nulla"));
  try {
    scrivi_uscita(blocco, "x");
    ADD_FAILURE() << "a block device must be refused";
  } catch (const ErroreFile& e) {
    EXPECT_EQ(e.motivo(), "is a block device");
  }
  EXPECT_TRUE(std::filesystem::is_block_file(blocco));
}

// Every name is checked before anything is written: a name too long for the folder, or
// taken by something that is not a file, leaves every older file as it was.
// The folder itself: made with its parents, checked, its regular files listed (a link
// as what it leads to, never a folder); with an empty path the names are paths as typed.
TEST(CartellaDisco, MakesChecksAndListsTheFolderAndTakesTypedPathsWithAnEmptyOne) {
  CartellaTemporanea t;
  CartellaDisco nuova(t / "a/b");
  nuova.crea();
  EXPECT_TRUE(std::filesystem::is_directory(t / "a/b"));
  EXPECT_EQ(nuova.inaccessibile(true), std::nullopt);
  prova::scrivi_tutto(t / "a/b/uno.sim", "1");
  std::filesystem::create_directory(t / "a/b/cartella.sim");
  std::filesystem::create_symlink(t / "a/b/uno.sim", t / "a/b/due.sim");
  std::filesystem::create_symlink(t / "a/b/assente", t / "a/b/rotto.sim");
  auto nomi = nuova.elenca_file();
  std::sort(nomi.begin(), nomi.end());
  EXPECT_EQ(nomi, (std::vector<std::string>{"due.sim", "uno.sim"}));

  CartellaDisco file_come_cartella(t / "a/b/uno.sim");
  EXPECT_EQ(file_come_cartella.inaccessibile(false), "not a directory");
  EXPECT_NO_THROW(file_come_cartella.crea()) << "what stands at the name is left for the check to refuse";
  EXPECT_EQ(prova::leggi_tutto(t / "a/b/uno.sim"), "1");
  CartellaDisco sotto_un_file(t / "a/b/uno.sim/sotto");
  EXPECT_EQ(sotto_un_file.inaccessibile(false), "no such directory");
  try {
    sotto_un_file.crea();
    ADD_FAILURE() << "a folder under a file";
  } catch (const ErroreFile& e) {
    EXPECT_EQ(e.percorso(), t / "a/b/uno.sim/sotto");
  }

  CartellaDisco percorsi("", false);
  const std::string uscita = t / "a/b/disegno.svg";
  EXPECT_EQ(percorsi.percorso_di(uscita), uscita);
  percorsi.scrivi_uscita(uscita, "<svg/>");
  EXPECT_EQ(percorsi.leggi_ingresso(uscita), "<svg/>");
  EXPECT_EQ(percorsi.leggi_ingresso(t / "a/b/due.sim"), "1") << "a file the user names is read through a link";
  EXPECT_EQ(percorsi.leggi_ingresso(t / "a/b/assente"), std::nullopt);
  EXPECT_THROW(percorsi.leggi_ingresso(uscita, 5), ErroreFileTroppoGrande);
}

TEST(CartellaDisco, ANameThatCannotBeUsedIsRefusedBeforeAnyFileChanges) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "a.dat", "old a");
  ASSERT_EQ(::mkfifo((t / "tubo.dat").c_str(), 0600), 0);
  CartellaDisco c(t.percorso().string());
  for (const std::string& cattivo : {std::string(300, 'n') + ".sim", std::string("tubo.dat")}) {
    std::vector<file_da_scrivere> file;
    file.push_back(file_intero("a.dat", "new a"));
    file.push_back(file_intero(cattivo, "new"));
    try {
      c.scrivi_insieme(std::move(file));
      ADD_FAILURE() << cattivo.substr(0, 20) << " must be refused";
    } catch (const ErroreFile& e) {
      EXPECT_NE(e.percorso().find(cattivo), std::string::npos);
    }
    EXPECT_EQ(prova::leggi_tutto(t / "a.dat"), "old a");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.percorso()), {}), 2) << "no temporary left";
  }
}

}  // namespace
}  // namespace cmp
