#pragma once
// What the tests of the folder on disk share: the built-in descriptions in a folder, runs
// of the program with a time limit, the program's own names left in a folder.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "supporto.h"

namespace cmp::prova {

inline const std::string kLinea = "VallorsaC_Pietrana_linea.txt";
inline const std::string kTreno = "VallorsaC_Pietrana_4721-.txt";
inline const std::vector<std::string> kBinari = {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                                 "VallorsaC_Pietrana_4721.dat"};

inline void scrivi_descrizioni_incorporate(const std::filesystem::path& cartella) {
  scrivi_tutto(cartella / kLinea, testo_da_tabella(tabella_righe(righe_linea_incorporata())));
  scrivi_tutto(cartella / kTreno, testo_da_tabella(tabella_righe(righe_treno_incorporato())));
}

struct EsitoACronometro {
  EsitoProcesso esito;
  std::chrono::milliseconds durata;
};

// The program run with these arguments, killed by SIGALRM (status 142) if it is still
// running after `limite` seconds; `nel_figlio` runs before, in the child.
inline EsitoACronometro esegui_entro(const std::vector<std::string>& argomenti, unsigned limite,
                                     const std::string& cartella_lavoro = ".",
                                     const std::function<void()>& nel_figlio = {},
                                     const std::string& programma = COMPATTATORE_EXE) {
  const auto inizio = std::chrono::steady_clock::now();
  EsitoProcesso e = esegui(programma, argomenti, cartella_lavoro, [&] {
    if (nel_figlio) nel_figlio();
    ::alarm(limite);
  });
  return {std::move(e),
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inizio)};
}

// The names in the folder that begin with ".compattatore.".
inline std::vector<std::string> nomi_propri_in(const std::filesystem::path& cartella) {
  std::vector<std::string> out;
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
    const std::string nome = voce.path().filename().string();
    if (nome.rfind(".compattatore.", 0) == 0) out.push_back(nome);
  }
  return out;
}

// Every file of the folder by name, with its bytes (a FIFO or a folder as a mark).
inline std::map<std::string, std::string> contenuto(const std::filesystem::path& cartella) {
  std::map<std::string, std::string> out;
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
    const auto stato = std::filesystem::symlink_status(voce.path());
    std::string& byte = out[voce.path().filename().string()];
    if (std::filesystem::is_regular_file(stato)) {
      byte = leggi_tutto(voce.path());
    } else if (std::filesystem::is_symlink(stato)) {
      byte = "link to " + std::filesystem::read_symlink(voce.path()).string();
    } else {
      byte = "not a file";
    }
  }
  return out;
}

}  // namespace cmp::prova
