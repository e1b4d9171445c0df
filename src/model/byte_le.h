#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace cmp {

// Packs fields one after the other, little-endian, into one buffer that is written
// to its file in a single write.
class ScrittoreByte {
 public:
  void riserva(std::size_t n) { dati_.reserve(n); }
  void u8(std::uint8_t v) { dati_.push_back(static_cast<char>(v)); }
  void i16(std::int16_t v) { intero(static_cast<std::uint16_t>(v), 2); }
  void u16(std::uint16_t v) { intero(v, 2); }
  void i32(std::int32_t v) { intero(static_cast<std::uint32_t>(v), 4); }
  void f64(double v) { intero(std::bit_cast<std::uint64_t>(v), 8); }
  void byte(std::string_view b) { dati_.append(b); }
  std::string prendi() { return std::move(dati_); }

 private:
  void intero(std::uint64_t v, int larghezza) {
    for (int i = 0; i < larghezza; ++i) dati_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  std::string dati_;
};

// Reads fields back, little-endian, never past the end: every read says whether it fitted.
class LettoreByte {
 public:
  explicit LettoreByte(std::string_view dati) : dati_(dati) {}
  std::size_t posizione() const { return pos_; }
  std::size_t rimasti() const { return dati_.size() - pos_; }
  bool u8(std::uint8_t& v) { return leggi(v); }
  bool i16(std::int16_t& v) { return leggi(v); }
  bool u16(std::uint16_t& v) { return leggi(v); }
  bool i32(std::int32_t& v) { return leggi(v); }
  bool f64(double& v) {
    std::uint64_t b = 0;
    if (!leggi(b)) return false;
    v = std::bit_cast<double>(b);
    return true;
  }
  bool byte(std::size_t n, std::string& out) {
    if (rimasti() < n) return false;
    out.assign(dati_.substr(pos_, n));
    pos_ += n;
    return true;
  }

 private:
  template <typename T>
  bool leggi(T& v) {
    if (rimasti() < sizeof(T)) return false;
    std::make_unsigned_t<T> u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      u |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(
                                                    static_cast<unsigned char>(dati_[pos_ + i]))
                                                << (8 * i));
    }
    v = static_cast<T>(u);
    pos_ += sizeof(T);
    return true;
  }
  std::string_view dati_;
  std::size_t pos_ = 0;
};

}  // namespace cmp
