#pragma once
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace cmp {

// Fixed-width pieces of the crew documents. Texts are UTF-8 source text; every width
// counts characters, since each of them becomes one Windows-1252 byte in the file.

// Characters of a UTF-8 text.
std::size_t caratteri(std::string_view utf8);

// n blanks; n "_" (a horizontal rule).
std::string spazi(std::size_t n);
std::string regola(std::size_t n);

// The text filled on the right with blanks (or with `riempitivo`) to exactly `larghezza`
// characters. A longer text is cut to the width, so a cell never pushes the next rule.
std::string cella(std::string_view testo, std::size_t larghezza, char riempitivo = ' ');
inline std::string cella_punti(std::string_view testo, std::size_t larghezza) { return cella(testo, larghezza, '.'); }
// The text right-aligned in `larghezza` characters (cut on the left when longer).
std::string cella_a_destra(std::string_view testo, std::size_t larghezza);

// The pieces joined with "|" between them: unisci({" ", "a", ""}) is " |a|".
std::string unisci(std::initializer_list<std::string_view> pezzi);

// The columns of a boxed table: the margin before the first rule and the width of every
// cell. A row is margin, "|", then each cell followed by "|".
struct Colonne {
  std::string margine;
  std::vector<std::size_t> larghezze;
};

// A row of the table, each text filled with blanks to its cell; missing texts leave
// their cells blank. More texts than cells is a programming slip: std::invalid_argument.
std::string riga_tabella(const Colonne& colonne, const std::vector<std::string>& testi = {});

// The row that closes the table: every cell a rule.
std::string riga_regola(const Colonne& colonne);

}  // namespace cmp
