#include "compilazione/scrivi_file.h"

#include <utility>

#include "compilazione/compila.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"

namespace cmp {

std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella) {
  std::vector<std::string> scritti;
  if (!ha_percorso(s)) return scritti;
  std::vector<file_da_scrivere> file;
  if (s.crea_tabella_linea) {
    // Encoded as it is written, never held whole: 20 MB for the longest line.
    const TabellaLinea& tabella = s.tabella_linea;
    file.push_back({nome_file_tabella_linea(identita_di(s)),
                    [&tabella](const ScriviPezzo& pezzo) { codifica_tabella_linea(tabella, pezzo); }});
  }
  file.push_back(file_intero(nome_file_scenario(identita_di(s)), codifica_scenario(s.scenario)));
  file.push_back(file_intero(nome_file_percorso(identita_di(s)), codifica_percorso(s.percorso)));
  for (const auto& f : file) scritti.push_back(f.nome);
  cartella.scrivi_insieme(std::move(file));
  return scritti;
}

}  // namespace cmp
