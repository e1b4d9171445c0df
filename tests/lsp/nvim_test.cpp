// Real editors with the configuration docs/editori.md gives, taken from the page itself and
// run as it stands, over the editor files `cmake --install` puts where the page says:
// Neovim, headless, opens a line description with an error and reads back the diagnostics
// the server published, and both editors give the descriptions their file types. Each is
// skipped when its editor is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "supporto.h"

namespace cmp::prova {
namespace {

bool presente(const std::string& programma) {
  return std::system(("command -v " + programma + " >/dev/null 2>&1").c_str()) == 0;
}

// The first ```LINGUA block after the heading "## TITOLO" of docs/editori.md.
std::string blocco_della_guida(const std::string& titolo, const std::string& lingua) {
  const std::string guida = leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / "docs" / "editori.md");
  const auto sezione = guida.find("\n## " + titolo + "\n");
  if (sezione == std::string::npos) return {};
  const std::string apertura = "\n```" + lingua + "\n";
  const auto inizio = guida.find(apertura, sezione);
  const auto fine = guida.find("\n```\n", inizio + 1);
  if (inizio == std::string::npos || fine == std::string::npos) return {};
  return guida.substr(inizio + apertura.size(), fine - inizio - apertura.size() + 1);
}

// A home folder for the editor: the editor files installed where the docs say
// (`cmake --install` into ~/.local), empty settings folders so nothing of the user's is
// loaded. Returns the `env` words that start the editor there, or "" when the install failed.
std::string casa_con_editori(const CartellaTemporanea& cartella) {
  const std::string casa = cartella / "casa";
  const auto r = esegui("/bin/sh", {"-c", "exec timeout 60 '" COMPATTATORE_CMAKE "' --install '" COMPATTATORE_BUILD
                                          "' --component editori --prefix '" +
                                              casa + "/.local' >/dev/null"});
  if (r.stato != 0) return {};
  std::string parole = " HOME='" + casa + "'";
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
    const auto d = cartella / (std::string("xdg-") + v);
    std::filesystem::create_directories(d);
    parole += std::string(" ") + v + "='" + d + "'";
  }
  return parole;
}

TEST(Neovim, TheDocumentedSetUpGivesTheFileTypesAndTheDiagnostics) {
  if (!presente("nvim")) GTEST_SKIP() << "nvim is not installed (scripts/prepara.sh --prove installs it)";
  const std::string init = blocco_della_guida("Neovim", "lua");
  ASSERT_NE(init.find("vim.lsp.start_client"), std::string::npos) << "no Neovim block in docs/editori.md";
  CartellaTemporanea cartella;
  ASSERT_EQ(esegui(COMPATTATORE_EXE, {"export", "--out", cartella.percorso().string()}).stato, 0);
  const std::string linea = cartella / "VallorsaC_Pietrana_linea.txt";
  std::string testo = leggi_tutto(linea);
  // Line 9, the signal repetition: a first value off the 50 m grid is error 3.
  const auto rip = testo.find("ripetizione segnali");
  ASSERT_NE(rip, std::string::npos);
  testo.replace(rip, testo.find("\r\n", rip) - rip, "ripetizione segnali 4 codici,    25    ,0");
  scrivi_tutto(linea, testo);
  const std::string prima = leggi_tutto(linea);
  scrivi_tutto(cartella / "init.lua", init);

  const std::string esito = cartella / "esito.txt";
  // The configuration names the program 'compattatore': the one just built comes first on PATH.
  const std::string casa = casa_con_editori(cartella);
  ASSERT_FALSE(casa.empty()) << "cmake --install --component editori failed";
  const std::string ambiente = casa + " CMP_FILE='" + linea + "' CMP_TRENO='" +
                               (cartella / "VallorsaC_Pietrana_4721-.txt") + "' CMP_ESITO='" + esito + "' PATH='" +
                               std::filesystem::path(COMPATTATORE_EXE).parent_path().string() + "':\"$PATH\"";
  const auto r =
      esegui("/bin/sh", {"-c", "exec env" + ambiente + " timeout 60 nvim --headless -u '" + (cartella / "init.lua") +
                                   "' -i NONE -n -c 'luafile " COMPATTATORE_NVIM_LUA "' </dev/null"});
  ASSERT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(leggi_tutto(esito), "compattatore_linea\ncompattatore_treno\n9:3:1\n");
  EXPECT_EQ(leggi_tutto(linea), prima);  // the editor's server changed nothing on disk
}

// The built-in rule for *.txt runs first; the detection of editors/vim must still win
// (and a plain text file stays text).
TEST(Vim, TheDocumentedSetUpGivesTheFileTypesOverTheTextRule) {
  if (!presente("vim")) GTEST_SKIP() << "vim is not installed (scripts/prepara.sh --prove installs it)";
  const std::string vimrc = blocco_della_guida("Vim and the compile command", "vim");
  ASSERT_NE(vimrc.find("runtimepath"), std::string::npos) << "no Vim block in docs/editori.md";
  CartellaTemporanea cartella;
  scrivi_tutto(cartella / "vimrc", vimrc);
  const std::string casa = casa_con_editori(cartella);
  ASSERT_FALSE(casa.empty()) << "cmake --install --component editori failed";
  const std::string esito = cartella / "esito.txt";
  const auto r = esegui("/bin/sh",
                        {"-c", "exec env" + casa +
                                   " timeout 60 vim -N -u vimrc -i NONE -n -e -s -c 'edit A_linea.txt' "
                                   "-c 'let t = [&filetype]' -c 'edit A_1-.txt' -c 'call add(t, &filetype)' "
                                   "-c 'edit A.txt' -c 'call writefile(add(t, &filetype), \"esito.txt\")' "
                                   "-c 'qa!' </dev/null"},
                        cartella.percorso().string());
  ASSERT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(leggi_tutto(esito), "compattatore_linea\ncompattatore_treno\ntext\n");
}

}  // namespace
}  // namespace cmp::prova
