// A real editor's client: Neovim, headless, opens a line description with an error and
// reads back the diagnostics the server published. Skipped when nvim is not installed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "model/cp1252.h"
#include "supporto.h"

namespace cmp::prova {
namespace {

bool nvim_presente() { return std::system("command -v nvim >/dev/null 2>&1") == 0; }

TEST(Neovim, ReceivesTheDiagnosticsOfADescriptionWithAnError) {
  if (!nvim_presente()) GTEST_SKIP() << "nvim is not installed (scripts/prepara.sh --prove installs it)";
  CartellaTemporanea cartella;
  ASSERT_EQ(esegui(COMPATTATORE_EXE, {"export", "--out", cartella.percorso().string()}).stato, 0);
  const std::string linea = cartella / "VallorsaC_Pietrana_linea.txt";
  std::string testo = leggi_tutto(linea);
  const auto inizio = testo.find("sfondo due");
  ASSERT_NE(inizio, std::string::npos);
  // Line 9, the signal repetition: a first value off the 50 m grid is error 3.
  const auto rip = testo.find("ripetizione segnali");
  testo.replace(rip, testo.find("\r\n", rip) - rip, "ripetizione segnali 4 codici,    25    ,0");
  scrivi_tutto(linea, testo);
  const std::string prima = leggi_tutto(linea);

  const std::string esito = cartella / "esito.txt";
  ::setenv("CMP_FILE", linea.c_str(), 1);
  ::setenv("CMP_ESITO", esito.c_str(), 1);
  ::setenv("CMP_EXE", COMPATTATORE_EXE, 1);
  const auto r = esegui("/bin/sh", {"-c", std::string("exec nvim --headless -u NONE -i NONE -n -c 'luafile ") +
                                              COMPATTATORE_NVIM_LUA + "' </dev/null"});
  ASSERT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(leggi_tutto(esito), "9:3:1\n");
  EXPECT_EQ(leggi_tutto(linea), prima);  // the editor's server changed nothing on disk
}

}  // namespace
}  // namespace cmp::prova
