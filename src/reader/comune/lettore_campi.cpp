#include "reader/comune/lettore_campi.h"

#include <cstring>
#include <limits>

#include "model/cp1252.h"

namespace cmp {
namespace {

// A field as a failure message shows it: long fields are cut, so that a binary or
// endless field does not make an endless message.
std::string citazione(std::string_view campo) {
  constexpr std::size_t kMassimo = 40;
  if (campo.size() <= kMassimo) return "'" + da_cp1252(campo) + "'";
  return "'" + da_cp1252(campo.substr(0, kMassimo)) + "...' (" + std::to_string(campo.size()) + " bytes)";
}

// Where a text field from `da` ends: at its comma or its line end (the CR of a CR LF, or
// a lone LF), else at the end of the text. Found with memchr, not byte by byte: a field
// may be the whole text.
std::size_t fine_testo(std::string_view t, std::size_t da) {
  const std::string_view resto = t.substr(da);
  const auto* lf = static_cast<const char*>(std::memchr(resto.data(), '\n', resto.size()));
  const std::size_t riga = lf ? static_cast<std::size_t>(lf - resto.data()) : resto.size();
  if (const auto* virgola = static_cast<const char*>(std::memchr(resto.data(), ',', riga))) {
    return da + static_cast<std::size_t>(virgola - resto.data());
  }
  if (lf && riga > 0 && resto[riga - 1] == '\r') return da + riga - 1;
  return da + riga;
}

}  // namespace

void LettoreCampi::inizia_riga() {
  primo_intero_.reset();
  riga_riga_ = riga_campo_;
  chiave_riga_ = ultimo_testo_;
  colonna_fine_riga_ = riga_ > riga_campo_ ? colonna_ultima_fine_ : 0;
  campi_riga_ = 0;
}

void LettoreCampi::fallisci(const std::string& motivo) const {
  if (riga_riga_ > 0 && riga_campo_ > riga_riga_) {
    const std::string campi = campi_riga_ == 1 ? "1 field" : std::to_string(campi_riga_) + " fields";
    throw FallimentoLettura(citazione(chiave_riga_) + " row has too few fields: it ends after " + campi +
                                " (its next field was taken from line " + std::to_string(riga_campo_) + ": " + motivo +
                                ")",
                            riga_riga_, colonna_fine_riga_);
  }
  throw FallimentoLettura(motivo, riga_campo_, colonna_campo_);
}

bool LettoreCampi::a_fine_riga() const {
  if (pos_ >= testo_.size()) return false;
  if (testo_[pos_] == '\n') return true;
  return testo_[pos_] == '\r' && pos_ + 1 < testo_.size() && testo_[pos_ + 1] == '\n';
}

void LettoreCampi::consuma_fine_riga() {
  colonna_ultima_fine_ = static_cast<int>(pos_ - inizio_riga_) + 1;
  if (riga_ == riga_riga_) colonna_fine_riga_ = colonna_ultima_fine_;
  pos_ += testo_[pos_] == '\r' ? 2 : 1;
  ++riga_;
  inizio_riga_ = pos_;
}

void LettoreCampi::salta_blank() {
  while (pos_ < testo_.size() && blank(testo_[pos_])) ++pos_;
}

void LettoreCampi::inizia_campo() {
  if (riga_ == riga_riga_) ++campi_riga_;
  riga_campo_ = riga_;
  colonna_campo_ = static_cast<int>(pos_ - inizio_riga_) + 1;
  if (fine()) fallisci("the text ends where a field was expected");
  salta_blank();
  colonna_campo_ = static_cast<int>(pos_ - inizio_riga_) + 1;
}

std::string LettoreCampi::leggi_testo() {
  inizia_campo();
  const std::size_t inizio = pos_;
  pos_ = fine_testo(testo_, pos_);
  std::string campo(testo_.substr(inizio, pos_ - inizio));
  ultimo_testo_ = campo.substr(0, 64);
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else {
      consuma_fine_riga();
    }
  }
  return campo;
}

std::int32_t LettoreCampi::leggi_intero() {
  const std::int32_t v = leggi_numero();
  if (!primo_intero_) primo_intero_ = v;
  if (interi_registrati_) interi_registrati_->push_back(v);
  return v;
}

std::int32_t LettoreCampi::leggi_numero() {
  inizia_campo();
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !blank(testo_[pos_]) && !a_fine_riga()) ++pos_;
  const std::string_view campo = testo_.substr(inizio, pos_ - inizio);
  salta_blank();
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else if (a_fine_riga()) {
      consuma_fine_riga();
    }
  }

  if (campo.empty()) return 0;
  std::size_t i = 0;
  bool negativo = false;
  if (campo[0] == '+' || campo[0] == '-') {
    negativo = campo[0] == '-';
    i = 1;
  }
  if (i == campo.size()) fallisci(citazione(campo) + " is not a whole number");
  std::int64_t valore = 0;
  for (; i < campo.size(); ++i) {
    const char c = campo[i];
    if (c < '0' || c > '9') fallisci(citazione(campo) + " is not a whole number");
    valore = valore * 10 + (c - '0');
    if (valore > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
      fallisci(citazione(campo) + " does not fit a 32-bit integer");
    }
  }
  if (negativo) valore = -valore;
  if (valore > std::numeric_limits<std::int32_t>::max()) {
    fallisci(citazione(campo) + " does not fit a 32-bit integer");
  }
  return static_cast<std::int32_t>(valore);
}

std::int16_t LettoreCampi::leggi_breve() {
  const std::int32_t v = leggi_intero();
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
    fallisci(std::to_string(v) + " does not fit a 16-bit field (-32768 to 32767)");
  }
  return static_cast<std::int16_t>(v);
}

std::uint8_t LettoreCampi::leggi_ottetto() {
  const std::int32_t v = leggi_intero();
  if (v < 0 || v > 255) fallisci(std::to_string(v) + " does not fit an 8-bit field (0 to 255)");
  return static_cast<std::uint8_t>(v);
}

}  // namespace cmp
