#pragma once
// The framing of the language server's messages: a header block of "Name: value" lines
// ended by an empty line, with Content-Length giving the size of the JSON body that follows.
#include <cstddef>
#include <string>

namespace cmp {

// Where the bytes come from: standard input, or a string in the tests.
class SorgenteByte {
 public:
  virtual ~SorgenteByte() = default;
  // Up to `n` bytes into `dati`, waiting for at least one; 0 at the end of the input.
  virtual std::size_t leggi(char* dati, std::size_t n) = 0;
  // True when a read would not wait: bytes are ready (or the input has ended).
  virtual bool pronta() = 0;
};

// Where the messages go.
class DestinazioneByte {
 public:
  virtual ~DestinazioneByte() = default;
  virtual void scrivi(const std::string& byte) = 0;
};

// The largest body accepted; a larger one is skipped unread and refused.
inline constexpr std::size_t kMassimoMessaggio = std::size_t{64} << 20;  // 64 MiB
// The longest header line; a longer one is a malformed header.
inline constexpr std::size_t kMassimaRigaIntestazione = 8192;

struct messaggio_letto {
  enum class tipo { corpo, intestazione_errata, troppo_grande, fine } esito = tipo::fine;
  std::string corpo;   // the JSON text, for `corpo`
  std::string motivo;  // what was wrong, for the two refusals
};

class Trasporto {
 public:
  Trasporto(SorgenteByte& in, DestinazioneByte& out) : in_(in), out_(out) {}

  // The next message, or why there is none.
  messaggio_letto leggi();
  // True when another message has at least started to arrive.
  bool altro_in_attesa();
  // Sends one body with its header.
  void invia(const std::string& corpo);

 private:
  bool riempi();
  // One header line without its CR LF; false at the end of the input.
  bool riga(std::string& out, bool& troppo_lunga);
  void salta(std::size_t n);

  SorgenteByte& in_;
  DestinazioneByte& out_;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool finita_ = false;
};

// Standard input and output (the file descriptors themselves, unbuffered on input so
// that a pending message can be seen at once). One file per system: flussi_fd.cpp on
// Linux, flussi_windows.cpp on Windows.
class SorgenteFd : public SorgenteByte {
 public:
  explicit SorgenteFd(int fd) : fd_(fd) {}
  std::size_t leggi(char* dati, std::size_t n) override;
  bool pronta() override;

 private:
  int fd_;
};

// Sets standard input and output up as the server's channel, before the first message.
void prepara_flussi_standard();

class DestinazioneFd : public DestinazioneByte {
 public:
  explicit DestinazioneFd(int fd) : fd_(fd) {}
  void scrivi(const std::string& byte) override;

 private:
  int fd_;
};

}  // namespace cmp
