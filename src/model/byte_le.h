#pragma once
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace cmp {

// The one little-endian packer of the binary files: the bytes of v at p, lowest first,
// and the byte after them. The caller sizes the memory beforehand, so that every file
// is packed into one buffer (or, the plan, into blocks) and written in one go.
template <typename T>
requires std::is_integral_v<T>
inline char* metti_le(char* p, T v) {
  // On a little-endian machine the value's own bytes are already in file order: one copy
  // instead of a loop, which instrumented builds (the fuzz targets) do not unroll.
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, sizeof(T));
    return p + sizeof(T);
  }
  using U = std::make_unsigned_t<T>;
  const U u = static_cast<U>(v);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xFFu);
  return p + sizeof(T);
}
inline char* metti_le(char* p, double v) { return metti_le(p, std::bit_cast<std::uint64_t>(v)); }

// A text field: a 16-bit count, then the bytes. A text longer than 65535 bytes cannot be
// counted in 16 bits: it is cut to 65535.
inline std::size_t byte_testo(std::string_view t) {
  return std::min<std::size_t>(t.size(), std::numeric_limits<std::uint16_t>::max());
}
inline char* metti_le(char* p, std::string_view t) {
  const std::size_t n = byte_testo(t);
  p = metti_le(p, static_cast<std::uint16_t>(n));
  if (n != 0) std::memcpy(p, t.data(), n);
  return p + n;
}

// Reads fields back, little-endian, never past the end: every read says whether it fitted.
class LettoreByte {
 public:
  explicit LettoreByte(std::string_view dati) : dati_(dati) {}
  std::size_t posizione() const { return pos_; }
  std::size_t rimasti() const { return dati_.size() - pos_; }

  template <typename T>
  requires std::is_integral_v<T>
  bool leggi(T& v) {
    if (rimasti() < sizeof(T)) return false;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, dati_.data() + pos_, sizeof(T));
      pos_ += sizeof(T);
      return true;
    }
    using U = std::make_unsigned_t<T>;
    U u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      u = static_cast<U>(u | static_cast<U>(static_cast<U>(static_cast<unsigned char>(dati_[pos_ + i])) << (8 * i)));
    }
    v = static_cast<T>(u);
    pos_ += sizeof(T);
    return true;
  }
  bool leggi(double& v) {
    std::uint64_t b = 0;
    if (!leggi(b)) return false;
    v = std::bit_cast<double>(b);
    return true;
  }
  // A text field: its 16-bit count, then that many bytes.
  bool leggi(std::string& t) {
    std::uint16_t n = 0;
    return leggi(n) && byte(n, t);
  }
  bool salta(std::size_t n) {
    if (rimasti() < n) return false;
    pos_ += n;
    return true;
  }
  bool byte(std::size_t n, std::string& out) {
    if (rimasti() < n) return false;
    out.assign(dati_.substr(pos_, n));
    pos_ += n;
    return true;
  }

 private:
  std::string_view dati_;
  std::size_t pos_ = 0;
};

}  // namespace cmp
