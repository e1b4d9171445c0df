#include "sorveglianza/server_pagina.h"

#include <algorithm>
#include <cstring>

namespace cmp {
namespace {

constexpr const char* kTesto = "text/plain; charset=utf-8";

std::string intestazione(const char* stato, const char* tipo, std::size_t lunghezza, const char* altre = "") {
  return std::string("HTTP/1.1 ") + stato + "\r\n" + altre + "Content-Type: " + tipo +
         "\r\nCache-Control: no-store\r\nConnection: close\r\nContent-Length: " + std::to_string(lunghezza) +
         "\r\n\r\n";
}

bool carattere_di_metodo(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         (c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

// The method and the path (without its query) of a request's first line; no method when
// the line is not "METHOD PATH ...".
struct riga_richiesta {
  std::string_view metodo;
  std::string_view percorso;
};

riga_richiesta leggi_riga(std::string_view richiesta) {
  const std::string_view riga = richiesta.substr(0, richiesta.find_first_of("\r\n"));
  const auto spazio = riga.find(' ');
  if (spazio == std::string_view::npos || spazio == 0) return {};
  const std::string_view metodo = riga.substr(0, spazio);
  if (!std::all_of(metodo.begin(), metodo.end(), carattere_di_metodo)) return {};
  std::string_view percorso = riga.substr(spazio + 1);
  percorso = percorso.substr(0, percorso.find(' '));
  return {metodo, percorso.substr(0, percorso.find('?'))};
}

// The connection of descriptor `c` in the table, or null.
template <typename Tabella>
auto cerca(Tabella& aperte, int c) -> decltype(&aperte.front()) {
  const auto i = std::find_if(aperte.begin(), aperte.end(), [c](const auto& k) { return k.c == c; });
  return i == aperte.end() ? nullptr : &*i;
}

}  // namespace

void ServerPagina::pubblica(const std::string& pagina, const std::string& versione) {
  pagina_ = std::make_shared<const std::string>(pagina);
  versione_ = std::make_shared<const std::string>(versione);
}

// The page at "/", its version at "/versione", an empty icon, nothing else; GET and HEAD only.
void ServerPagina::rispondi(connessione& k) const {
  const riga_richiesta r = leggi_riga(k.richiesta);
  const char* stato = "404 Not Found";
  const char* tipo = kTesto;
  const char* altre = "";
  std::shared_ptr<const std::string> corpo;
  if (r.metodo.empty()) {
    stato = "400 Bad Request";
    corpo = std::make_shared<const std::string>("bad request\n");
  } else if (r.metodo != "GET" && r.metodo != "HEAD") {
    stato = "405 Method Not Allowed";
    altre = "Allow: GET, HEAD\r\n";
    corpo = std::make_shared<const std::string>("method not allowed\n");
  } else if (r.percorso == "/" || r.percorso == "/index.html") {
    stato = "200 OK";
    tipo = "text/html; charset=utf-8";
    corpo = pagina_;
  } else if (r.percorso == "/versione") {
    stato = "200 OK";
    corpo = versione_;
  } else if (r.percorso == "/favicon.ico") {
    stato = "204 No Content";  // browsers ask for it; the page has none
    tipo = "image/x-icon";
  } else {
    corpo = std::make_shared<const std::string>("not found\n");
  }
  k.intestazione = intestazione(stato, tipo, corpo ? corpo->size() : 0, altre);
  k.corpo = r.metodo == "HEAD" ? nullptr : std::move(corpo);
  k.risposta = true;
}

std::optional<int> ServerPagina::accogli(int c, istante ora) {
  std::optional<int> fuori;
  if (aperte_.size() >= kMassimoConnessioni) {
    fuori = aperte_.front().c;
    aperte_.erase(aperte_.begin());
  }
  connessione k;
  k.c = c;
  k.scadenza = ora + kScadenzaConnessione;
  aperte_.push_back(std::move(k));
  return fuori;
}

bool ServerPagina::ricevuti(int c, std::string_view byte) {
  connessione* k = trova(c);
  if (k == nullptr) return false;
  if (byte.empty()) {  // the client closed its side: answer what came, if anything did
    if (k->congedo || k->richiesta.empty()) return false;
    if (!k->risposta) rispondi(*k);
    return true;
  }
  if (k->risposta) return true;  // a body, or a second request: dropped
  // The blank line may straddle two pieces; the search starts just before the new one.
  const std::size_t da = k->richiesta.size() < 3 ? 0 : k->richiesta.size() - 3;
  k->richiesta.append(byte.substr(0, kMassimoRichiesta - k->richiesta.size()));
  if (k->richiesta.find("\r\n\r\n", da) != std::string::npos || k->richiesta.size() == kMassimoRichiesta) {
    rispondi(*k);
  }
  return true;
}

std::string_view ServerPagina::da_inviare(int c) const {
  const connessione* k = trova(c);
  if (k == nullptr || !k->risposta || k->congedo) return {};
  if (k->inviato < k->intestazione.size()) return std::string_view(k->intestazione).substr(k->inviato);
  if (!k->corpo) return {};
  return std::string_view(*k->corpo).substr(k->inviato - k->intestazione.size());
}

bool ServerPagina::inviati(int c, std::size_t n) {
  connessione* k = trova(c);
  if (k == nullptr || !k->risposta || k->congedo) return false;
  k->inviato += n;
  if (k->inviato < k->intestazione.size() + (k->corpo ? k->corpo->size() : 0)) return false;
  k->congedo = true;
  return true;
}

bool ServerPagina::invia(int c) const {
  const connessione* k = trova(c);
  return k != nullptr && k->risposta && !k->congedo;
}

std::vector<int> ServerPagina::scadute(istante ora) {
  std::vector<int> fuori;
  std::erase_if(aperte_, [&](const connessione& k) {
    if (k.scadenza > ora) return false;
    fuori.push_back(k.c);
    return true;
  });
  return fuori;
}

std::optional<istante> ServerPagina::prossima_scadenza() const {
  if (aperte_.empty()) return std::nullopt;
  return std::min_element(aperte_.begin(), aperte_.end(),
                          [](const connessione& a, const connessione& b) { return a.scadenza < b.scadenza; })
      ->scadenza;
}

void ServerPagina::togli(int c) {
  std::erase_if(aperte_, [c](const connessione& k) { return k.c == c; });
}

std::vector<int> ServerPagina::aperte() const {
  std::vector<int> out;
  for (const auto& k : aperte_) out.push_back(k.c);
  return out;
}

ServerPagina::connessione* ServerPagina::trova(int c) { return cerca(aperte_, c); }
const ServerPagina::connessione* ServerPagina::trova(int c) const { return cerca(aperte_, c); }

}  // namespace cmp
