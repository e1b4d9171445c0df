#pragma once
// Helpers shared by the test programs: temporary folders, whole files, child processes.
// What differs between the systems, making a fresh folder and running a program, is in
// sistema_prova.h: tests/posix/ or tests/windows/, whichever CMake puts on the path.
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace cmp::prova {

// A fresh, empty folder under the system's temporary folder (sistema_prova.h).
inline std::filesystem::path crea_cartella_temporanea();

// A fresh folder under the system's temporary folder, removed with the object.
class CartellaTemporanea {
 public:
  CartellaTemporanea() : percorso_(crea_cartella_temporanea()) {}
  ~CartellaTemporanea() {
    std::error_code ec;
    std::filesystem::permissions(percorso_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(percorso_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }
  std::string operator/(const std::string& nome) const { return (percorso_ / nome).string(); }

 private:
  std::filesystem::path percorso_;
};

inline std::string leggi_tutto(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void scrivi_tutto(const std::filesystem::path& p, const std::string& dati) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << dati;
}

struct EsitoProcesso {
  int stato = -1;  // exit status, or 128 + signal
  std::string uscita;
  std::string errori;
  bool scaduto = false;  // killed for outliving its limit
};

// How long a program a test runs may take before it is killed: far beyond what any of them
// needs, even under the sanitizers on a loaded machine, and well within ctest's limit.
inline constexpr std::chrono::seconds kLimiteFiglio{120};

// Runs the program with these arguments (no shell), with DISPLAY removed so that
// nothing opens a window, standard input from /dev/null, and collects its exit status and
// both outputs; one that outlives kLimiteFiglio is killed (scaduto, and a line that says
// so on its standard error). `nel_figlio`
// runs in the child just before the program starts (to set a resource limit, say; Linux
// only). Defined in sistema_prova.h.
inline EsitoProcesso esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                            const std::string& cartella_lavoro = ".", const std::function<void()>& nel_figlio = {},
                            std::chrono::milliseconds limite = kLimiteFiglio);

// A copy of the program in the folder: the built-in run works in its executable's folder.
inline std::string copia_programma(const CartellaTemporanea& cartella) {
  const std::string destinazione = cartella / std::filesystem::path(COMPATTATORE_EXE).filename().string();
  std::filesystem::copy_file(COMPATTATORE_EXE, destinazione);
  return destinazione;
}

}  // namespace cmp::prova

#include "sistema_prova.h"
