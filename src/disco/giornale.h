#pragma once
// The journal of a set of renames under way (Cartella::kGiornale), and what the next
// write does with it: pure functions from the journal's text and what stands at each name
// to the steps to take. Only Cartella reads or changes the folder.
//
// A journal is trusted only as far as this program writes it: one line
// "name<TAB>old" for each file of the set, in a file of its own folder. Each name is one
// of the files the write now under way replaces (never a path, never an input, never a
// file of another scenario), each old file is "-" (there was none), "?" (the folder kept
// no second name) or a second name this program makes. A journal that is anything else is
// refused whole and left where it is: nothing at all is changed.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disco/cartella.h"

namespace cmp {

// Names this program gives its own files in a folder: the temporary of a file being
// written, the second name of an old file kept aside, the journal and the lock.
inline constexpr std::string_view kPrefissoPropri = ".compattatore.";
inline constexpr std::string_view kPrefissoTemporaneo = ".compattatore.tmp-";
inline constexpr std::string_view kPrefissoDaParte = ".compattatore.old-";
inline constexpr const char* kNomeBlocco = ".compattatore.lock";

// The largest journal read: one this program writes holds at most five lines of a name
// (at most 255 bytes) and a second name, under 1.5 KB.
inline constexpr std::size_t kMassimoGiornale = 64 * 1024;

// "-": the file had no old file (the recovery removes the new one); "?": it had one, but
// the folder kept no second name of it (nothing can be put back).
inline constexpr std::string_view kNessunVecchio = "-";
inline constexpr std::string_view kVecchioSenzaNome = "?";

// A second name as this program makes them: the prefix, then letters and digits only
// (mkstemp's six, or the counter of a folder in memory).
bool nome_da_parte(std::string_view nome);
// A temporary or a second name as this program makes them.
bool nome_temporaneo_o_da_parte(std::string_view nome);

// One line of the journal: a file of the set and what became of its old file.
struct riga_giornale {
  std::string nome;
  std::string vecchio;  // a second name, kNessunVecchio or kVecchioSenzaNome
};

std::string testo_giornale(const std::vector<riga_giornale>& righe);

// What the next write does before its own: the journal's renames and removals in its
// order, then the journal's removal (all of them in `passi`); then, as cleaning up, the
// temporaries and second names left by killed runs that the journal does not name
// (`avanzi`). `rifiuto`, when set, says why the journal is not one this program wrote for
// this write ("names '../victim.txt', which is not one of the files this write
// replaces"): then there is no step at all.
struct passo_ripristino {
  enum class azione { rimetti, elimina } cosa;
  std::string nome;  // what is put back or removed
  std::string da;    // rimetti: the second name it comes back from
  bool operator==(const passo_ripristino&) const = default;
};

struct piano_ripristino {
  std::vector<passo_ripristino> passi;
  std::vector<std::string> avanzi;
  std::optional<std::string> rifiuto;
};

// `giornale`: the journal's text when a regular file stands at its name, else nullopt;
// `in_scrittura`: the names of the files the write under way replaces; `voce`: what
// stands at a name (the journal's own included); `propri`: the folder's names that begin
// with kPrefissoPropri, as far as the folder can be listed.
piano_ripristino pianifica_ripristino(const std::optional<std::string>& giornale,
                                      const std::vector<std::string>& in_scrittura,
                                      const std::function<TipoVoce(const std::string&)>& voce,
                                      const std::vector<std::string>& propri);

}  // namespace cmp
