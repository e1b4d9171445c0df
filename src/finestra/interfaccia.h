#pragma once
#include <memory>
#include <string>

namespace cmp {

// What the user sees of a run: the waiting window and the numbered error box.
class Interfaccia {
 public:
  virtual ~Interfaccia() = default;
  // Shows "Attendere" and returns once it is on screen; never blocks for input.
  virtual void mostra_attesa() = 0;
  // Shows the message with a single OK and returns when the user has closed it.
  virtual void mostra_errore(const std::string& messaggio) = 0;
};

// "Attendere" on standard output, the error on standard error.
class InterfacciaTerminale : public Interfaccia {
 public:
  void mostra_attesa() override;
  void mostra_errore(const std::string& messaggio) override;
};

// The window on X11 when a display can be opened, otherwise the terminal.
std::unique_ptr<Interfaccia> crea_interfaccia();

}  // namespace cmp
