#include "lsp/trasporto.h"

#include <charconv>

namespace cmp {
namespace {

std::string minuscolo_ascii(std::string t) {
  for (char& c : t) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return t;
}

std::string senza_blank(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return std::string(t);
}

}  // namespace

bool Trasporto::riempi() {
  if (finita_) return false;
  if (pos_ > 0 && pos_ == buffer_.size()) {
    buffer_.clear();
    pos_ = 0;
  }
  char blocco[65536];
  const std::size_t n = in_.leggi(blocco, sizeof blocco);
  if (n == 0) {
    finita_ = true;
    return false;
  }
  buffer_.append(blocco, n);
  return true;
}

bool Trasporto::riga(std::string& out, bool& troppo_lunga) {
  out.clear();
  troppo_lunga = false;
  for (;;) {
    const std::size_t a_capo = buffer_.find('\n', pos_);
    if (a_capo != std::string::npos) {
      if (!troppo_lunga) out.append(buffer_, pos_, a_capo - pos_);
      pos_ = a_capo + 1;
      if (!out.empty() && out.back() == '\r') out.pop_back();
      if (out.size() > kMassimaRigaIntestazione) troppo_lunga = true;
      return true;
    }
    // A line without its end so far: keep at most the limit, then only look for the end.
    if (!troppo_lunga) out.append(buffer_, pos_, std::string::npos);
    pos_ = buffer_.size();
    if (out.size() > kMassimaRigaIntestazione) {
      troppo_lunga = true;
      out.clear();
    }
    if (!riempi()) return !out.empty() || troppo_lunga;
  }
}

void Trasporto::salta(std::size_t n) {
  while (n > 0) {
    if (pos_ == buffer_.size() && !riempi()) return;
    const std::size_t qui = std::min(n, buffer_.size() - pos_);
    pos_ += qui;
    n -= qui;
  }
}

messaggio_letto Trasporto::leggi() {
  messaggio_letto m;
  std::string linea;
  bool troppo_lunga = false;
  bool vista = false;
  std::size_t lunghezza = 0;
  bool lunghezza_data = false;
  std::string difetto;
  // The header block: lines up to an empty one. Empty lines before it are skipped.
  for (;;) {
    if (!riga(linea, troppo_lunga)) {
      if (vista) {
        m.esito = messaggio_letto::tipo::intestazione_errata;
        m.motivo = "the input ended inside a header";
      }
      return m;  // the end of the input
    }
    if (troppo_lunga) {
      m.esito = messaggio_letto::tipo::intestazione_errata;
      m.motivo = "a header line longer than " + std::to_string(kMassimaRigaIntestazione) + " bytes";
      return m;
    }
    if (linea.empty()) {
      if (!vista) continue;
      break;
    }
    // Bytes before a header (a body longer than its Content-Length said, say): refused,
    // and the header after them is read afresh.
    const auto intestazione = minuscolo_ascii(linea).find("content-length:");
    if (intestazione != std::string::npos && intestazione > 0) {
      buffer_ = linea.substr(intestazione) + "\r\n" + buffer_.substr(pos_);
      pos_ = 0;
      m.esito = messaggio_letto::tipo::intestazione_errata;
      m.motivo = "bytes that are not a header before Content-Length";
      return m;
    }
    const auto due_punti = linea.find(':');
    if (due_punti == std::string::npos) {
      m.esito = messaggio_letto::tipo::intestazione_errata;
      m.motivo = "a header line without ':'";
      return m;
    }
    vista = true;
    const std::string nome = minuscolo_ascii(senza_blank(std::string_view(linea).substr(0, due_punti)));
    const std::string valore = senza_blank(std::string_view(linea).substr(due_punti + 1));
    if (nome != "content-length") continue;  // Content-Type and others are allowed
    const auto [fine, ec] = std::from_chars(valore.data(), valore.data() + valore.size(), lunghezza);
    if (ec != std::errc{} || fine != valore.data() + valore.size() || valore.empty()) {
      difetto = "Content-Length is not a number: '" + valore + "'";
      continue;
    }
    lunghezza_data = true;
  }
  if (difetto.empty() && !lunghezza_data) difetto = "no Content-Length header";
  if (!difetto.empty()) {
    // Without a trustworthy length the body cannot be found: what follows is read as headers again.
    m.esito = messaggio_letto::tipo::intestazione_errata;
    m.motivo = difetto;
    return m;
  }
  if (lunghezza > kMassimoMessaggio) {
    salta(lunghezza);
    m.esito = messaggio_letto::tipo::troppo_grande;
    m.motivo = "a message of " + std::to_string(lunghezza) + " bytes is larger than the limit of " +
               std::to_string(kMassimoMessaggio) + " bytes";
    return m;
  }
  m.corpo.reserve(lunghezza);
  while (m.corpo.size() < lunghezza) {
    if (pos_ == buffer_.size() && !riempi()) {
      m.esito = messaggio_letto::tipo::fine;  // the client went away mid-message
      m.corpo.clear();
      return m;
    }
    const std::size_t qui = std::min(lunghezza - m.corpo.size(), buffer_.size() - pos_);
    m.corpo.append(buffer_, pos_, qui);
    pos_ += qui;
  }
  m.esito = messaggio_letto::tipo::corpo;
  return m;
}

bool Trasporto::altro_in_attesa() { return pos_ < buffer_.size() || (!finita_ && in_.pronta()); }

void Trasporto::invia(const std::string& corpo) {
  out_.scrivi("Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo);
}

}  // namespace cmp
