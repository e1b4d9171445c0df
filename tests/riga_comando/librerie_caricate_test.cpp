// Commands other than the built-in run never load a window or font library: the program
// links none, and only the built-in run loads the window module, only with a display.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "supporto.h"

namespace cmp {
namespace {

// The libraries mapped by the program while it runs with these arguments. Its standard
// output is a pipe filled up beforehand, so the program stops at its first write there
// (the version, the JSON object) with everything it loaded still mapped.
std::string librerie_mappate(const std::vector<std::string>& argomenti, const std::string& cartella) {
  int tubo[2];
  if (::pipe(tubo) != 0) return "";
  ::fcntl(tubo[1], F_SETFL, O_NONBLOCK);
  const std::string pieno(4096, 'x');
  while (::write(tubo[1], pieno.data(), pieno.size()) > 0) {
  }
  ::fcntl(tubo[1], F_SETFL, 0);
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(tubo[1], STDOUT_FILENO);
    ::close(tubo[0]);
    ::close(tubo[1]);
    if (::chdir(cartella.c_str()) != 0) ::_exit(126);
    ::setenv("DISPLAY", ":0", 1);  // a display, were one there, changes nothing for a command
    std::vector<char*> argv{const_cast<char*>(COMPATTATORE_EXE)};
    for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(COMPATTATORE_EXE, argv.data());
    ::_exit(127);
  }
  ::close(tubo[1]);
  // Blocked in its write, the program sleeps (state S); nothing before that sleeps.
  const std::string cartella_processo = "/proc/" + std::to_string(pid);
  for (int volta = 0; volta < 1000; ++volta) {
    const std::string stat = prova::leggi_tutto(cartella_processo + "/stat");
    const auto chiusa = stat.rfind(") ");
    if (chiusa != std::string::npos && stat.compare(chiusa + 2, 1, "S") == 0) break;
    ::usleep(10000);
  }
  const std::string visto = prova::leggi_tutto(cartella_processo + "/maps");
  // Drain the pipe so the program ends normally.
  char blocco[65536];
  while (::read(tubo[0], blocco, sizeof blocco) > 0) {
  }
  ::close(tubo[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return visto;
}

TEST(LibrerieCaricate, CompileAndVersionMapNoWindowOrFontLibrary) {
  prova::CartellaTemporanea t;
  ASSERT_EQ(prova::esegui(COMPATTATORE_EXE, {"export", "--out", t.percorso().string()}).stato, 0);
  const std::vector<std::vector<std::string>> comandi = {
      {"--version"},
      {"compile", "--line", "VallorsaC_Pietrana_linea.txt", "--train", "VallorsaC_Pietrana_4721-.txt", "--json"},
  };
  for (const auto& argomenti : comandi) {
    const std::string mappe = librerie_mappate(argomenti, t.percorso().string());
    ASSERT_NE(mappe.find("libc.so"), std::string::npos) << argomenti[0] << ": the maps were not read";
    for (const char* libreria :
         {"libX11", "libXft", "libXrender", "libfontconfig", "libfreetype", "libcompattatore_finestra"}) {
      EXPECT_EQ(mappe.find(libreria), std::string::npos) << argomenti[0] << " maps " << libreria;
    }
  }
}

}  // namespace
}  // namespace cmp
