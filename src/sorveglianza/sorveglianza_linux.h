#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sorveglianza/sorveglianza.h"

namespace cmp {

// The Linux edge: inotify on the folders (not the files: an editor's atomic save replaces
// the file, so a watch on it would be lost), SIGINT and SIGTERM taken through a signalfd,
// and an HTTP server on 127.0.0.1 only, on a port the kernel chooses, that serves the page
// at "/" and its version at "/versione". Throws std::runtime_error when one cannot be set up.
class SorveglianzaLinux : public Sorveglianza {
 public:
  explicit SorveglianzaLinux(const std::vector<nome_sorvegliato>& nomi);
  ~SorveglianzaLinux() override;
  SorveglianzaLinux(const SorveglianzaLinux&) = delete;
  SorveglianzaLinux& operator=(const SorveglianzaLinux&) = delete;
  evento_sorveglianza attendi(int attesa_ms) override;
  void pubblica(const std::string& pagina, const std::string& versione) override;
  int porta() const { return porta_; }

 private:
  bool leggi_inotify();
  void servi_richiesta();

  int inotify_ = -1;
  int segnali_ = -1;
  int server_ = -1;
  int porta_ = 0;
  std::vector<std::pair<int, std::string>> osservati_;  // inotify watch, file name
  std::string pagina_;
  std::string versione_;
};

}  // namespace cmp
