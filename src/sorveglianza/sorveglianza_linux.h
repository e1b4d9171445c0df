#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sorveglianza/server_pagina.h"
#include "sorveglianza/sorveglianza.h"

namespace cmp {

// The Linux edge: inotify on the folders (not the files: an editor's atomic save replaces
// the file, so a watch on it would be lost), SIGINT and SIGTERM taken through a signalfd,
// and an HTTP server on 127.0.0.1 only, on a port the kernel chooses, that serves the page
// at "/" and its version at "/versione". All of them sit in one poll: every socket is
// non-blocking and every connection has its deadline (ServerPagina), so no client holds
// a rebuild or a signal. A watched folder renamed away or removed is followed through
// its parent: when a folder of that name is there again, it is watched in its place.
// Throws std::runtime_error when one cannot be set up.
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
  // A watched folder, by its path: the watch on whatever folder is there now, and the watch
  // on its parent that sees a folder of that name come back.
  struct cartella_seguita {
    std::string percorso;
    std::string genitore;  // empty for "/"
    std::string nome;      // its name in the parent
    std::vector<std::string> file;
    int w = -1;  // -1 while no folder is at `percorso`
    int w_genitore = -1;
  };

  bool riallinea();
  bool leggi_inotify();
  bool evento_rilevante(int wd, std::uint32_t maschera, const char* nome) const;
  bool cambia_cartella(int wd, std::uint32_t maschera, const char* nome) const;
  bool qualcuna_persa() const;
  int attesa_poll(istante ora, std::optional<istante> fine) const;
  void accetta();
  void servi_connessione(int c, short eventi);
  void chiudi(int c);

  int inotify_ = -1;
  int segnali_ = -1;
  int server_ = -1;
  int porta_ = 0;
  std::vector<cartella_seguita> cartelle_;
  ServerPagina pagina_;
  istante accetta_da_{};        // after a failed accept (no descriptor left), a pause
  istante prossima_ricerca_{};  // while a folder is missing, it is looked for again each second
};

}  // namespace cmp
