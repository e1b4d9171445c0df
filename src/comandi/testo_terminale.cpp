#include "comandi/testo_terminale.h"

#include <cstddef>
#include <vector>

#include "model/cp1252.h"

namespace cmp {
namespace {

std::vector<std::string_view> righe_di(std::string_view testo) {
  std::vector<std::string_view> righe;
  while (!testo.empty()) {
    const auto fine = testo.find('\n');
    righe.push_back(testo.substr(0, fine));
    if (fine == std::string_view::npos) break;
    testo.remove_prefix(fine + 1);
  }
  return righe;
}

bool blank(char c) { return c == ' ' || c == '\t'; }
bool parola(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c & 0x80); }
bool punteggiatura(char c) { return c > ' ' && c < 0x7f && !parola(c); }

// The closing mark of emphasis opened at `da` with `segno` (one or two characters): it
// follows a character that is not blank. Underscores only open and close outside words,
// so the underscore of X_linea.txt stays.
std::size_t chiusura_enfasi(std::string_view r, std::size_t da, std::string_view segno) {
  for (std::size_t j = da + 1; j + segno.size() <= r.size(); ++j) {
    if (r[j] == '`') return std::string_view::npos;
    if (r.compare(j, segno.size(), segno) != 0 || blank(r[j - 1])) continue;
    if (segno[0] == '_' && j + segno.size() < r.size() && parola(r[j + segno.size()])) continue;
    return j;
  }
  return std::string_view::npos;
}

std::string in_linea(std::string_view r) {
  std::string out;
  for (std::size_t i = 0; i < r.size();) {
    const char c = r[i];
    if (c == '\\' && i + 1 < r.size() && punteggiatura(r[i + 1])) {
      out += r[i + 1];
      i += 2;
      continue;
    }
    if (c == '`') {  // a code span: as many backticks close it as opened it
      std::size_t n = 0;
      while (i + n < r.size() && r[i + n] == '`') ++n;
      const std::string recinto(n, '`');
      const auto fine = r.find(recinto, i + n);
      if (fine != std::string_view::npos) {
        std::string_view dentro = r.substr(i + n, fine - i - n);
        if (n > 1 && dentro.size() > 2 && dentro.front() == ' ' && dentro.back() == ' ')
          dentro = dentro.substr(1, dentro.size() - 2);
        out += '\'';
        out += dentro;
        out += '\'';
        i = fine + n;
        continue;
      }
    }
    if (c == '*' || c == '_') {
      const bool doppio = i + 1 < r.size() && r[i + 1] == c;
      const std::string_view segno = r.substr(i, doppio ? 2 : 1);
      const std::size_t dopo = i + segno.size();
      const bool apre = dopo < r.size() && !blank(r[dopo]) && (c == '*' || i == 0 || !parola(r[i - 1]));
      const auto fine = apre ? chiusura_enfasi(r, dopo, segno) : std::string_view::npos;
      if (fine != std::string_view::npos) {
        out += in_linea(r.substr(dopo, fine - dopo));
        i = fine + segno.size();
        continue;
      }
    }
    if (c == '[') {  // [text](address)
      const auto chiusa = r.find("](", i);
      const auto fine = chiusa == std::string_view::npos ? chiusa : r.find(')', chiusa);
      if (fine != std::string_view::npos && r.substr(i, chiusa - i).find('`') == std::string_view::npos) {
        const std::string testo = in_linea(r.substr(i + 1, chiusa - i - 1));
        const std::string_view indirizzo = r.substr(chiusa + 2, fine - chiusa - 2);
        out += testo;
        if (indirizzo != testo) out += " (" + std::string(indirizzo) + ")";
        i = fine + 1;
        continue;
      }
    }
    out += c;
    ++i;
  }
  return out;
}

std::size_t livello_titolo(std::string_view r) {
  std::size_t n = 0;
  while (n < r.size() && r[n] == '#') ++n;
  return n >= 1 && n <= 6 && n < r.size() && r[n] == ' ' ? n : 0;
}

// The name above a code block: the block's info word when it names a file (it has a dot).
bool nomina_un_file(std::string_view info) { return info.find('.') != std::string_view::npos; }

}  // namespace

std::string testo_da_terminale(std::string_view markdown) {
  std::string out;
  bool in_blocco = false, in_commento = false;
  for (const std::string_view r : righe_di(markdown)) {
    if (in_commento) {
      in_commento = r.find("-->") == std::string_view::npos;
      continue;
    }
    if (r.rfind("```", 0) == 0) {
      std::string_view info = r.substr(3);
      while (!info.empty() && blank(info.front())) info.remove_prefix(1);
      if (!in_blocco && nomina_un_file(info)) out += "In " + std::string(info) + ":\n";
      in_blocco = !in_blocco;
      continue;
    }
    if (in_blocco) {
      out += r.empty() ? "" : "    " + std::string(r);
      out += '\n';
      continue;
    }
    if (r.rfind("<!--", 0) == 0) {
      in_commento = r.find("-->") == std::string_view::npos;
      continue;
    }
    if (r.rfind("    ", 0) == 0 || r.rfind("\t", 0) == 0) {  // an indented code block keeps its text
      out += std::string(r) + "\n";
      continue;
    }
    if (const std::size_t livello = livello_titolo(r)) {
      const std::string titolo = in_linea(r.substr(livello + 1));
      out += titolo + "\n" + std::string(caratteri_utf8(titolo), livello <= 2 ? '=' : '-') + "\n";
      continue;
    }
    out += in_linea(r) + "\n";
  }
  if (!markdown.empty() && markdown.back() != '\n' && !out.empty()) out.pop_back();
  return out;
}

}  // namespace cmp
