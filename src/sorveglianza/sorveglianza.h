#pragma once
// What watch needs from the system, behind one interface so that the rebuild loop runs
// against a fake in the tests: saves of the two descriptions, the request to end (Ctrl-C,
// SIGTERM) and the page handed to whoever shows it.
#include <string>
#include <utility>
#include <vector>

namespace cmp {

enum class evento_sorveglianza {
  nulla,     // the wait ran out
  modifica,  // one of the watched names was written or renamed into place
  fine,      // SIGINT or SIGTERM
};

class Sorveglianza {
 public:
  virtual ~Sorveglianza() = default;
  // Waits up to `attesa_ms` milliseconds (-1: with no end) for the next event.
  virtual evento_sorveglianza attendi(int attesa_ms) = 0;
  // The page shown from now on, and the version the page compares to reload itself.
  virtual void pubblica(const std::string& pagina, const std::string& versione) = 0;
};

// A folder and a file name in it (UTF-8).
using nome_sorvegliato = std::pair<std::string, std::string>;

}  // namespace cmp
