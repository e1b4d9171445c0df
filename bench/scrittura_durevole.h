// The durable write the benchmark compares a compile with, shared by misura_banco (timed
// inside a running process) and scrivi_durevole (timed as a whole process, as a compile is).
#ifndef COMPATTATORE_BENCH_SCRITTURA_DUREVOLE_H
#define COMPATTATORE_BENCH_SCRITTURA_DUREVOLE_H

#include <cstddef>
#include <string>
#include <vector>

namespace banco {

struct file_pieno {
  std::string percorso;
  std::string dati;
};

// One NAME=BYTES of the command line: a plain file name and a size of at least one byte.
struct voce_file {
  std::string nome;
  std::size_t byte = 0;
};

// A whole number from 1 to 10^9; std::runtime_error naming WHAT otherwise.
std::size_t numero(const std::string& testo, const char* cosa);

// std::runtime_error when VOCE is not NAME=BYTES.
voce_file leggi_voce(const std::string& voce);

// All of DATI to FD, however many writes it takes; std::runtime_error naming PERCORSO.
void scrivi_tutto(int fd, const std::string& dati, const std::string& percorso);

// The protocol compattatore follows for the files of one compile: each file written whole
// to a temporary file beside it (one write), made read-write less the umask and flushed
// with fsync; then each renamed over its name; then one fsync of the folder.
// std::runtime_error naming the file and the reason when a step fails.
void scrivi_durevole(const std::string& cartella, const std::vector<file_pieno>& file);

}  // namespace banco

#endif
