#include "model/testo_visibile.h"

#include <cstdint>

#include "model/cp1252.h"

namespace cmp {
namespace {

constexpr const char* kCifre = "0123456789abcdef";

void esadecimale(std::string& out, const char* prefisso, char32_t valore, int cifre) {
  out += prefisso;
  for (int k = cifre - 1; k >= 0; --k) out += kCifre[(valore >> (4 * k)) & 0xF];
}

bool controllo_c0(char32_t c) { return c < 0x20 || c == 0x7F; }
bool controllo_c1(char32_t c) { return c >= 0x80 && c < 0xA0; }

}  // namespace

std::string testo_visibile(std::string_view testo) {
  std::string out;
  out.reserve(testo.size());
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t inizio = i;
    const auto c = leggi_utf8(testo, i);
    if (!c) {
      esadecimale(out, "\\x", static_cast<unsigned char>(testo[inizio]), 2);
    } else if (controllo_c0(*c)) {
      esadecimale(out, "\\x", *c, 2);
    } else if (controllo_c1(*c)) {
      esadecimale(out, "\\u", *c, 4);
    } else {
      out.append(testo, inizio, i - inizio);
    }
  }
  return out;
}

std::string letterale_json(std::string_view testo) {
  std::string out = "\"";
  out.reserve(testo.size() + 2);
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t inizio = i;
    const auto c = leggi_utf8(testo, i);
    if (!c) {
      const auto b = static_cast<unsigned char>(testo[inizio]);
      esadecimale(out, "\\u", carattere_cp1252(b).value_or(b), 4);
      continue;
    }
    switch (*c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (controllo_c0(*c) || controllo_c1(*c)) {
          esadecimale(out, "\\u", *c, 4);
        } else {
          out.append(testo, inizio, i - inizio);
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace cmp
