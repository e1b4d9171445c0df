// The page server's bookkeeping without sockets: what each request is answered, a request
// in pieces, the answer in pieces, the deadline and the cap on connections.
#include "sorveglianza/server_pagina.h"

#include <gtest/gtest.h>

namespace cmp::prova {
namespace {

using namespace std::chrono_literals;

const istante kInizio = std::chrono::steady_clock::time_point{} + 1h;

// What goes out on `c`, in pieces of at most `pezzo` bytes, until the answer is all gone.
std::string risposta(ServerPagina& s, int c, std::size_t pezzo = 1 << 20) {
  std::string out;
  for (std::string_view resto = s.da_inviare(c); !resto.empty(); resto = s.da_inviare(c)) {
    const std::size_t n = std::min(pezzo, resto.size());
    out.append(resto.substr(0, n));
    const bool ultimo = s.inviati(c, n);
    EXPECT_EQ(ultimo, s.da_inviare(c).empty()) << "the last piece is the one that says so";
  }
  return out;
}

std::string chiedi(ServerPagina& s, std::string_view richiesta) {
  s.accogli(3, kInizio);
  EXPECT_TRUE(s.ricevuti(3, richiesta));
  std::string r = risposta(s, 3);
  s.togli(3);
  return r;
}

constexpr const char* kCoda = "Cache-Control: no-store\r\nConnection: close\r\n";

TEST(ServerPagina, AnswersEachRequestAsTheTableSays) {
  ServerPagina s;
  s.pubblica("<html>", "12");
  const std::string pagina = std::string("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n") + kCoda +
                             "Content-Length: 6\r\n\r\n<html>";
  const std::string versione = std::string("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n") + kCoda +
                               "Content-Length: 2\r\n\r\n";
  const std::string non_trovato = std::string("HTTP/1.1 404 Not Found\r\nContent-Type: text/plain; charset=utf-8\r\n") +
                                  kCoda + "Content-Length: 10\r\n\r\nnot found\n";
  const std::string non_permesso =
      std::string(
          "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\nContent-Type: text/plain; charset=utf-8\r\n") +
      kCoda + "Content-Length: 19\r\n\r\nmethod not allowed\n";
  const std::string sbagliata = std::string("HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain; charset=utf-8\r\n") +
                                kCoda + "Content-Length: 12\r\n\r\nbad request\n";
  const struct {
    const char* richiesta;
    std::string attesa;
  } casi[] = {
      {"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", pagina},
      {"GET /index.html?t=3 HTTP/1.0\r\n\r\n", pagina},
      {"GET /versione?t=1712 HTTP/1.1\r\nUser-Agent: x\r\n\r\n", versione + "12"},
      {"GET /versione\r\n\r\n", versione + "12"},  // no protocol named
      {"HEAD /versione HTTP/1.1\r\n\r\n", versione},
      {"HEAD / HTTP/1.1\r\n\r\n", pagina.substr(0, pagina.size() - 6)},
      {"GET /favicon.ico HTTP/1.1\r\n\r\n",
       std::string("HTTP/1.1 204 No Content\r\nContent-Type: image/x-icon\r\n") + kCoda + "Content-Length: 0\r\n\r\n"},
      {"GET /../versione HTTP/1.1\r\n\r\n", non_trovato},
      {"GET  / HTTP/1.1\r\n\r\n", non_trovato},
      {"GET http://127.0.0.1/ HTTP/1.1\r\n\r\n", non_trovato},
      {"POST /versione HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", non_permesso},
      {"PUT / HTTP/1.1\r\n\r\n", non_permesso},
      {"OPTIONS * HTTP/1.1\r\n\r\n", non_permesso},
      {"get / HTTP/1.1\r\n\r\n", non_permesso},  // methods are case-sensitive
      {"\r\n\r\n", sbagliata},
      {"hello\r\n\r\n", sbagliata},
      {" / HTTP/1.1\r\n\r\n", sbagliata},
      {"G(T / HTTP/1.1\r\n\r\n", sbagliata},
  };
  for (const auto& k : casi) EXPECT_EQ(chiedi(s, k.richiesta), k.attesa) << k.richiesta;
}

TEST(ServerPagina, AnswersOnlyOnceTheRequestIsWhole) {
  ServerPagina s;
  s.pubblica("<html>", "4");
  s.accogli(5, kInizio);
  const std::string richiesta = "GET /versione HTTP/1.1\r\nHost: x\r\n\r\n";
  for (std::size_t i = 0; i + 1 < richiesta.size(); ++i) {
    ASSERT_TRUE(s.ricevuti(5, richiesta.substr(i, 1)));
    ASSERT_FALSE(s.invia(5)) << "answered after " << i + 1 << " bytes";
  }
  ASSERT_TRUE(s.ricevuti(5, richiesta.substr(richiesta.size() - 1)));  // the blank line ends across pieces
  EXPECT_TRUE(s.invia(5));
  EXPECT_TRUE(risposta(s, 5, 7).ends_with("\r\n\r\n4"));
  // Then it is read and dropped until the client closes.
  EXPECT_FALSE(s.invia(5));
  EXPECT_TRUE(s.ricevuti(5, "GET / HTTP/1.1\r\n\r\n"));
  EXPECT_TRUE(s.da_inviare(5).empty());
  EXPECT_FALSE(s.ricevuti(5, ""));
}

TEST(ServerPagina, AnswersWhatCameWhenTheClientStopsOrTheCapIsReached) {
  ServerPagina s;
  s.pubblica("<html>", "9");
  // The client closed its side before the blank line: the request line is enough.
  s.accogli(3, kInizio);
  ASSERT_TRUE(s.ricevuti(3, "GET /versione HTTP/1.0\r\n"));
  ASSERT_TRUE(s.ricevuti(3, ""));
  EXPECT_TRUE(risposta(s, 3).ends_with("\r\n\r\n9"));
  // Nothing came at all: nothing is answered.
  s.accogli(4, kInizio);
  EXPECT_FALSE(s.ricevuti(4, ""));
  // A request with no end is answered at the cap, and what comes later is dropped.
  s.accogli(6, kInizio);
  const std::string testa = "GET /versione HTTP/1.1\r\nX-Lunga: ";
  ASSERT_TRUE(s.ricevuti(6, testa));
  ASSERT_TRUE(s.ricevuti(6, std::string(kMassimoRichiesta - testa.size() - 1, 'a')));
  EXPECT_FALSE(s.invia(6));
  ASSERT_TRUE(s.ricevuti(6, "aaaa"));
  EXPECT_TRUE(risposta(s, 6).ends_with("\r\n\r\n9"));
}

TEST(ServerPagina, AnAnswerOnItsWayKeepsThePageItStartedWith) {
  ServerPagina s;
  s.pubblica(std::string(100000, 'a'), "1");
  s.accogli(3, kInizio);
  ASSERT_TRUE(s.ricevuti(3, "GET / HTTP/1.1\r\n\r\n"));
  std::string vecchia(s.da_inviare(3).substr(0, 50));
  s.inviati(3, 50);
  s.pubblica(std::string(10, 'b'), "2");
  vecchia += risposta(s, 3, 999);
  EXPECT_TRUE(vecchia.ends_with("\r\n\r\n" + std::string(100000, 'a')));
  EXPECT_NE(vecchia.find("Content-Length: 100000\r\n"), std::string::npos);
  s.togli(3);
  EXPECT_TRUE(chiedi(s, "GET / HTTP/1.1\r\n\r\n").ends_with("\r\n\r\nbbbbbbbbbb"));
}

TEST(ServerPagina, ANewConnectionOverTheCapClosesTheOldest) {
  ServerPagina s;
  for (std::size_t i = 0; i < kMassimoConnessioni; ++i) {
    EXPECT_EQ(s.accogli(static_cast<int>(100 + i), kInizio + std::chrono::milliseconds(i)), std::nullopt);
  }
  EXPECT_EQ(s.accogli(1000, kInizio + 1s), 100);
  EXPECT_EQ(s.accogli(1001, kInizio + 1s), 101);
  const auto aperte = s.aperte();
  ASSERT_EQ(aperte.size(), kMassimoConnessioni);
  EXPECT_EQ(aperte.front(), 102);
  EXPECT_EQ(aperte.back(), 1001);
  // The newest is served as any other.
  s.pubblica("<html>", "3");
  ASSERT_TRUE(s.ricevuti(1001, "GET /versione HTTP/1.1\r\n\r\n"));
  EXPECT_TRUE(risposta(s, 1001).ends_with("\r\n\r\n3"));
  // One that went away makes room without closing another.
  s.togli(150);
  EXPECT_EQ(s.accogli(1002, kInizio + 1s), std::nullopt);
}

// The deadline counts from the accept and covers the request, the answer and the close.
TEST(ServerPagina, EachConnectionEndsAtItsDeadlineWhateverItIsDoing) {
  ServerPagina s;
  s.pubblica(std::string(5000, 'a'), "1");
  EXPECT_EQ(s.prossima_scadenza(), std::nullopt);
  s.accogli(3, kInizio);          // sends a byte now and then
  s.accogli(4, kInizio + 100ms);  // reads its answer slowly
  s.accogli(5, kInizio + 200ms);  // answered, never closes
  s.accogli(6, kInizio + 300ms);  // sends nothing
  ASSERT_TRUE(s.ricevuti(4, "GET / HTTP/1.1\r\n\r\n"));
  s.inviati(4, 10);
  ASSERT_TRUE(s.ricevuti(5, "GET /versione HTTP/1.1\r\n\r\n"));
  risposta(s, 5);
  EXPECT_EQ(s.prossima_scadenza(), kInizio + kScadenzaConnessione);
  for (auto t = kInizio; t < kInizio + kScadenzaConnessione; t += 500ms) {
    ASSERT_TRUE(s.ricevuti(3, "G"));
    EXPECT_TRUE(s.scadute(t).empty());
  }
  EXPECT_EQ(s.scadute(kInizio + kScadenzaConnessione + 150ms), (std::vector<int>{3, 4}));
  EXPECT_EQ(s.prossima_scadenza(), kInizio + 200ms + kScadenzaConnessione);
  EXPECT_EQ(s.scadute(kInizio + 1h), (std::vector<int>{5, 6}));
  EXPECT_TRUE(s.aperte().empty());
  EXPECT_FALSE(s.ricevuti(3, "E")) << "an expired connection is not known any more";
}

}  // namespace
}  // namespace cmp::prova
