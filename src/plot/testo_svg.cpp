#include "plot/testo_svg.h"

#include <cmath>
#include <iterator>

#include "model/arrotonda.h"
#include "model/cp1252.h"

namespace cmp::disegno {

std::string numero(double v) {
  if (!std::isfinite(v)) return "0.0";  // never reached by the drawing; keeps the XML sound
  const long long decimi = arrotonda(v * 10.0);
  unsigned long long resto =
      decimi < 0 ? 0ULL - static_cast<unsigned long long>(decimi) : static_cast<unsigned long long>(decimi);
  // Written from the right into a buffer: a drawing formats a few hundred thousand of these.
  char cifre[24];
  char* inizio = std::end(cifre);
  *--inizio = static_cast<char>('0' + resto % 10);
  *--inizio = '.';
  resto /= 10;
  do {
    *--inizio = static_cast<char>('0' + resto % 10);
    resto /= 10;
  } while (resto != 0);
  if (decimi < 0) *--inizio = '-';
  return std::string(inizio, std::end(cifre));
}

std::string testo_xml(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string testo_scenario_xml(std::string_view cp1252) { return testo_xml(da_cp1252(cp1252)); }

std::string progressiva(long long metri) {
  const unsigned long long assoluto =
      metri < 0 ? 0ULL - static_cast<unsigned long long>(metri) : static_cast<unsigned long long>(metri);
  std::string resto = std::to_string(assoluto % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return (metri < 0 ? "-" : "") + std::to_string(assoluto / 1000) + "+" + resto;
}

std::string chilometri(long long metri, int decimali) {
  const unsigned long long assoluto =
      metri < 0 ? 0ULL - static_cast<unsigned long long>(metri) : static_cast<unsigned long long>(metri);
  std::string out = (metri < 0 ? "-" : "") + std::to_string(assoluto / 1000);
  if (decimali > 0) {
    std::string resto = std::to_string(assoluto % 1000);
    resto.insert(0, 3 - resto.size(), '0');
    out += "." + resto.substr(0, static_cast<std::size_t>(decimali > 3 ? 3 : decimali));
  }
  return out;
}

int decimali_passo(long long metri) {
  if (metri >= 1000) return 0;
  if (metri >= 100) return 1;
  if (metri >= 10) return 2;
  return 3;
}

}  // namespace cmp::disegno
