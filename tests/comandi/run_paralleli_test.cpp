// Two built-in runs started together in one folder: each file they leave is the whole
// output of a run, byte for byte what a single run writes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

// The files of a folder by name, but the program itself.
std::map<std::string, std::string> contenuto(const CartellaTemporanea& t) {
  std::map<std::string, std::string> file;
  for (const auto& voce : std::filesystem::directory_iterator(t.percorso())) {
    const std::string nome = voce.path().filename().string();
    if (nome != "compattatore") file[nome] = prova::leggi_tutto(voce.path());
  }
  return file;
}

// Starts `quanti` processes of the program at the same moment (each waits on a pipe
// that the parent closes once all are forked) and returns their exit statuses.
std::vector<int> esegui_insieme(const std::string& programma, int quanti) {
  int via[2];
  if (::pipe(via) != 0) std::abort();
  std::fflush(nullptr);
  std::vector<pid_t> figli;
  for (int i = 0; i < quanti; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(via[1]);
      char c;
      while (::read(via[0], &c, 1) > 0) {
      }
      if (!std::freopen("/dev/null", "w", stdout)) ::_exit(126);
      ::unsetenv("DISPLAY");
      ::execl(programma.c_str(), programma.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    figli.push_back(pid);
  }
  ::close(via[0]);
  ::close(via[1]);  // the start signal
  std::vector<int> stati;
  for (const pid_t pid : figli) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    stati.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  }
  return stati;
}

TEST(RunParalleli, TwoRunsInOneFolderLeaveExactlyWhatOneRunLeaves) {
  CartellaTemporanea singola;
  ASSERT_EQ(prova::esegui(prova::copia_programma(singola), {}).stato, 0);
  const auto atteso = contenuto(singola);
  ASSERT_EQ(atteso.size(), 6u) << "three crew documents and three binary files";

  for (int giro = 0; giro < 5; ++giro) {
    CartellaTemporanea t;
    const std::string programma = prova::copia_programma(t);
    for (const int stato : esegui_insieme(programma, 2)) EXPECT_EQ(stato, 0) << "round " << giro;
    const auto lasciato = contenuto(t);
    for (const auto& [nome, byte] : atteso) {
      const auto it = lasciato.find(nome);
      ASSERT_NE(it, lasciato.end()) << nome << " is missing, round " << giro;
      EXPECT_TRUE(it->second == byte) << nome << " differs from a single run's, round " << giro;
    }
    for (const auto& [nome, byte] : lasciato) {
      EXPECT_TRUE(atteso.count(nome)) << nome << " left behind, round " << giro;
    }
  }
}

}  // namespace
}  // namespace cmp
