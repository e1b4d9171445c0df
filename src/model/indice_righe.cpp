#include "model/indice_righe.h"

#include <algorithm>
#include <cstring>

namespace cmp {
namespace {

// The first LF at or after `da` and before `fino`, else `fino`.
std::size_t fine_riga(std::string_view t, std::size_t da, std::size_t fino) {
  fino = std::min(fino, t.size());
  if (da >= fino) return fino;
  const void* lf = std::memchr(t.data() + da, '\n', fino - da);
  return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - t.data()) : fino;
}

std::size_t fine_riga(std::string_view t, std::size_t da) { return fine_riga(t, da, t.size()); }

}  // namespace

IndiceRighe::IndiceRighe(std::string_view testo) : testo_(testo) {
  segni_.push_back({1, 0});
  for (std::size_t lf = fine_riga(testo_, 0); lf < testo_.size(); lf = fine_riga(testo_, lf + 1)) {
    ++righe_;
    const segno& ultimo = segni_.back();
    if (righe_ - ultimo.riga >= kRighe || lf + 1 - ultimo.inizio > kByte) segni_.push_back({righe_, lf + 1});
  }
}

IndiceRighe::posto IndiceRighe::luogo(std::size_t offset) const {
  offset = std::min(offset, testo_.size());
  // The last mark at or before the byte; the byte's line starts within a block of it.
  const auto dopo = std::upper_bound(segni_.begin(), segni_.end(), offset,
                                     [](std::size_t o, const segno& s) { return o < s.inizio; });
  const segno& s = *(dopo - 1);
  // Every line start of the block but the mark's lies within kByte of it: no line end
  // that starts one lies further on, so the walk never reads more than kByte.
  const std::size_t fino = std::min(offset, s.inizio + kByte);
  int riga = s.riga;
  std::size_t inizio = s.inizio;
  for (std::size_t lf = fine_riga(testo_, inizio, fino); lf < fino; lf = fine_riga(testo_, lf + 1, fino)) {
    ++riga;
    inizio = lf + 1;
  }
  return {riga, static_cast<int>(offset - inizio) + 1};
}

std::optional<std::size_t> IndiceRighe::inizio(int riga) const {
  if (riga < 1 || riga > righe_) return std::nullopt;
  const auto dopo =
      std::upper_bound(segni_.begin(), segni_.end(), riga, [](int r, const segno& s) { return r < s.riga; });
  const segno& s = *(dopo - 1);
  std::size_t inizio = s.inizio;
  for (int r = s.riga; r < riga; ++r) inizio = fine_riga(testo_, inizio) + 1;
  return inizio;
}

std::optional<std::string_view> IndiceRighe::riga(int numero, std::size_t massimo) const {
  const auto da = inizio(numero);
  if (!da) return std::nullopt;
  const std::size_t fino = massimo < testo_.size() - *da ? *da + massimo : testo_.size();
  const std::size_t fine = fine_riga(testo_, *da, fino);
  std::string_view linea = testo_.substr(*da, fine - *da);
  // A line seen to its end (its LF, or the end of the text) loses the CR of its line end.
  const bool intera = fine < fino || fino == testo_.size();
  if (intera && !linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
  return linea;
}

}  // namespace cmp
