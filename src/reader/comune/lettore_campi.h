#pragma once
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cmp {

// A read that cannot be completed: reading when nothing is left, a number that is not
// a number or does not fit its field. The readers turn it into error 25.
class FallimentoLettura : public std::runtime_error {
 public:
  FallimentoLettura(const std::string& motivo, int riga, int colonna)
      : std::runtime_error(motivo), motivo_(motivo), riga_(riga), colonna_(colonna) {}
  // The whole reason: it quotes the field, which may hold a NUL that what() would stop at.
  const std::string& motivo() const { return motivo_; }
  int riga() const { return riga_; }
  int colonna() const { return colonna_; }

 private:
  std::string motivo_;
  int riga_;
  int colonna_;
};

// Reads a description text (Windows-1252 bytes in memory) field by field.
//
// A field ends at a comma or a line end (CR LF, or a lone LF), which is consumed with
// it; blanks (space, tab) before a field are skipped. A text field keeps everything
// from its first non-blank byte up to its end, trailing blanks included. A numeric
// field also ends at a blank; the blanks after it are skipped, and a comma or line end
// right after them is consumed as the field's end. A double quote has no special meaning.
class LettoreCampi {
 public:
  explicit LettoreCampi(std::string_view testo) : testo_(testo) {}

  // Nothing is left to read after the last consumed byte.
  bool fine() const { return pos_ >= testo_.size(); }

  std::string leggi_testo();
  // An optional sign and decimal digits, or nothing (0). Anything else, or a value
  // outside 32 bits, is a FallimentoLettura.
  std::int32_t leggi_intero();
  // The same, and the value must fit 16 bits signed / 8 bits unsigned.
  std::int16_t leggi_breve();
  std::uint8_t leggi_ottetto();

  // Line and column (from 1) of the first non-blank byte of the last field read.
  int riga_campo() const { return riga_campo_; }
  int colonna_campo() const { return colonna_campo_; }

  // The rows: `inizia_riga` after a keyword field, then `primo_intero` is the first whole
  // number read since (the row's position, for the rows that have one).
  // The row's own line is kept, so that a row cut short, whose reading runs on into the
  // next line, is blamed on its own line and not on the one after it.
  void inizia_riga();
  std::int32_t primo_intero() const { return primo_intero_.value_or(0); }
  // Where every whole number read from now on is also appended (none: nowhere).
  void registra_interi(std::vector<std::int32_t>* dove) { interi_registrati_ = dove; }

  [[noreturn]] void fallisci(const std::string& motivo) const;

 private:
  std::int32_t leggi_numero();
  bool a_fine_riga() const;
  void consuma_fine_riga();
  void salta_blank();
  void inizia_campo();
  bool blank(char c) const { return c == ' ' || c == '\t'; }

  std::string_view testo_;
  std::size_t pos_ = 0;
  int riga_ = 1;
  std::size_t inizio_riga_ = 0;
  int riga_campo_ = 1;
  int colonna_campo_ = 1;
  std::optional<std::int32_t> primo_intero_;
  std::vector<std::int32_t>* interi_registrati_ = nullptr;
  std::string ultimo_testo_;     // the last text field read (a row's keyword)
  int colonna_ultima_fine_ = 1;  // where the last line left ended
  int riga_riga_ = 0;            // the line of the row being read (0: none yet)
  std::string chiave_riga_;
  int colonna_fine_riga_ = 1;  // where that line ends
  int campi_riga_ = 0;         // the fields read on it after the keyword
};

}  // namespace cmp
