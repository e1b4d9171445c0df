#pragma once
// The bookkeeping of watch's page server, without sockets: each connection's request as it
// comes, its answer as it goes, its deadline, and which connection makes room for a new
// one. The system's edge moves the bytes and closes what this says to close, so no client
// can hold the rebuilds or the signals: nothing here waits.
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmp {

using istante = std::chrono::steady_clock::time_point;

// The whole life of a connection, request, answer and close, from its accept: the page
// asks four times a second and is answered in a millisecond, a client that is slower is
// dropped without a word.
constexpr std::chrono::milliseconds kScadenzaConnessione{5000};
// Connections open at once; a new one over the cap closes the oldest (the one nearest its
// deadline anyway), so a crowd of idle clients cannot keep the page's own requests out.
constexpr std::size_t kMassimoConnessioni = 64;
// The most of a request kept; a request that has not ended by then is answered as it is.
constexpr std::size_t kMassimoRichiesta = 16384;

class ServerPagina {
 public:
  // The page served at "/" from now on, and its version at "/versione". An answer on its
  // way keeps the page it started with.
  void pubblica(const std::string& pagina, const std::string& versione);

  // A new connection, accepted at `ora`. When the cap is reached the oldest one is taken
  // out of the table and returned, for the caller to close.
  std::optional<int> accogli(int c, istante ora);
  // What came from the client: bytes, or nothing when it closed its side. Once the request
  // is whole its answer is ready; after the answer, what comes is read and dropped until
  // the client closes. False: the connection is over, take it out and close it.
  bool ricevuti(int c, std::string_view byte);
  // The part of the answer not sent yet; empty when there is none (yet, or any more).
  std::string_view da_inviare(int c) const;
  // `n` bytes of `da_inviare` went out. True when they were the last: the caller shuts its
  // writing side and waits for the client to close.
  bool inviati(int c, std::size_t n);
  // True while the answer is going out: the connection waits to write, else to read.
  bool invia(int c) const;

  // Connections past their deadline at `ora`, taken out of the table for the caller to close.
  std::vector<int> scadute(istante ora);
  // The nearest deadline, if any connection is open.
  std::optional<istante> prossima_scadenza() const;
  void togli(int c);
  std::vector<int> aperte() const;

 private:
  struct connessione {
    int c = -1;
    istante scadenza;
    std::string richiesta;  // as received, up to kMassimoRichiesta
    bool risposta = false;  // the request is whole and its answer below
    bool congedo = false;   // the answer is gone: what comes is dropped until the client closes
    std::string intestazione;
    std::shared_ptr<const std::string> corpo;  // null: no body (HEAD, or an empty one)
    std::size_t inviato = 0;                   // of intestazione, then corpo
  };
  connessione* trova(int c);
  const connessione* trova(int c) const;
  void rispondi(connessione& k) const;

  std::shared_ptr<const std::string> pagina_ = std::make_shared<const std::string>();
  std::shared_ptr<const std::string> versione_ = std::make_shared<const std::string>();
  std::vector<connessione> aperte_;  // oldest first
};

}  // namespace cmp
