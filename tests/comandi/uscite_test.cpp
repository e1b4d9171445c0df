// What the commands print, whatever befalls it and whatever it holds: a standard output
// that refuses the bytes, identities and fields with control characters and stray bytes,
// and more findings than anyone reads.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "processo_misurato.h"
#include "supporto.h"

#ifdef COMPATTATORE_LSP
#include <nlohmann/json.hpp>
#endif

namespace cmp {
namespace {

using prova::CartellaTemporanea;

const std::string kProgramma = COMPATTATORE_EXE;
constexpr unsigned kLimite = 120;  // seconds: any run here ends far sooner, or hangs
// The sanitizers' build (no optimisation, every access checked) runs several times slower:
// the limits on CPU time grow with it, and still catch work that grows with the square.
#ifdef COMPATTATORE_SANITIZZATO
constexpr double kLentezza = 10;
#else
constexpr double kLentezza = 1;
#endif
const std::string kLinea = "VallorsaC_Pietrana_linea.txt";
const std::string kTreno = "VallorsaC_Pietrana_4721-.txt";

std::string testo(const std::vector<std::string>& righe) { return testo_da_tabella(tabella_righe(righe)); }
std::size_t righe_di(const std::string& t) { return static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')); }

class Uscite : public testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi_tutto(t / kLinea, testo(righe_linea_incorporata()));
    prova::scrivi_tutto(t / kTreno, testo(righe_treno_incorporato()));
  }
  std::vector<std::string> compila(std::vector<std::string> altri = {}) const {
    std::vector<std::string> a = {"compile", "--line", t / kLinea, "--train", t / kTreno, "--out", t / "out"};
    a.insert(a.end(), altri.begin(), altri.end());
    return a;
  }
  CartellaTemporanea t;
};

// Every command that prints on standard output, into a device that takes nothing: one
// line naming standard output and the reason, status 3, whatever the command's own
// outcome would have been (a damaged file's dump included).
TEST_F(Uscite, AStandardOutputThatTakesNothingEndsWithOneLineAndStatus3) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "SKIP: no /dev/full to write into";
  ASSERT_EQ(prova::esegui_misurato(kProgramma, compila(), kLimite).stato, 0);
  const std::string sim = t / "out/VallorsaC_Pietrana_4721.sim";
  prova::scrivi_tutto(t / "rotto.sim", prova::leggi_tutto(sim).substr(0, 3000));
  const std::vector<std::vector<std::string>> casi = {
      {"dump", sim},
      {"dump", "--json", t / "out/VallorsaC_Pietrana_linea.dat"},
      {"dump", t / "rotto.sim"},
      compila({"--json"}),
      {"explain", "201"},
      {"--help"},
      {"help", "compile"},
      {"dump", "--help"},
      {"lsp", "--help"},
      {"__completamento_bash"},
      {"--version"},
      {"plot", "--line", t / kLinea, "--train", t / kTreno, "--out", "-"},
  };
  for (const auto& a : casi) {
    SCOPED_TRACE(a[0] + (a.size() > 1 ? " " + a[1] : ""));
    const auto e = prova::esegui_misurato(kProgramma, a, kLimite, ".", [] {
      const int pieno = ::open("/dev/full", O_WRONLY);
      ::dup2(pieno, STDOUT_FILENO);
    });
    EXPECT_EQ(e.stato, 3);
    EXPECT_EQ(e.errori, "compattatore: error: cannot write standard output: No space left on device\n");
  }
}

#ifdef COMPATTATORE_LSP
using nlohmann::json;

// The one object of --json, parsed: it must be valid JSON whatever the names held.
json oggetto(const std::string& uscita) {
  EXPECT_EQ(righe_di(uscita), 1u) << uscita;
  return json::parse(uscita, nullptr, false);
}

// Identities and paths with control characters and bytes that are not UTF-8: the line on
// standard error stays one line with no control byte, and the JSON object parses, its
// message the very line printed.
TEST_F(Uscite, NamesWithControlCharactersAndStrayBytesStayOneLineAndValidJson) {
  const struct {
    const char* nome;
    std::vector<std::string> altri;
    std::string nel_messaggio;  // as standard error shows it
    std::string file;           // the object's "file", once parsed ("" for null)
  } casi[] = {
      {"a route identifier in Windows-1252", {"--nome-linea", "Citt\xe8"}, "'Citt\\xe8' cannot be used", ""},
      {"an escape sequence and a newline",
       {"--numero-treno", "4\x1b[2J7\n21"},
       "'4\\x1b[2J7\\x0a21' cannot be used",
       ""},
      {"a missing file with them in its name",
       {"--line", t / "L\x1b]0;x\x07\xe8_linea.txt"},
       "cannot read " + (t / "L\\x1b]0;x\\x07\\xe8_linea.txt") + ": no such file",
       t / "L\x1b]0;x\x07\xc3\xa8_linea.txt"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    auto a = compila(c.altri);
    a.push_back("--json");
    const auto e = prova::esegui_misurato(kProgramma, a, kLimite);
    EXPECT_EQ(e.stato, 3);
    EXPECT_EQ(righe_di(e.errori), 1u) << e.errori;
    EXPECT_EQ(std::count_if(e.errori.begin(), e.errori.end() - 1,
                            [](char ch) { return static_cast<unsigned char>(ch) < 0x20; }),
              0)
        << e.errori;
    EXPECT_NE(e.errori.find(c.nel_messaggio), std::string::npos) << e.errori;
    const json j = oggetto(e.uscita);
    ASSERT_FALSE(j.is_discarded()) << e.uscita;
    EXPECT_EQ("compattatore: error: " + j["messaggio"].get<std::string>() + "\n", e.errori);
    if (c.file.empty()) {
      EXPECT_TRUE(j["file"].is_null());
    } else {
      EXPECT_EQ(j["file"], c.file);
    }
  }
}

// A NUL, an escape and a Windows-1252 letter in a field of a description: the message goes on past
// them, on one line, and the JSON holds them escaped.
TEST_F(Uscite, AFieldWithANulIsToldWholeOnOneLine) {
  auto righe = righe_linea_incorporata();
  for (auto& r : righe) {
    // The rows are written as Windows-1252: the è is the byte 0xE8 in the file.
    if (r.rfind("lunghezza percorso", 0) == 0) r = std::string("lunghezza percorso, 31\0\x1b", 24) + "è000";
  }
  prova::scrivi_tutto(t / kLinea, testo(righe));
  const auto e = prova::esegui_misurato(kProgramma, compila(), kLimite);
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find("error 25: '31\\x00\\x1b\xc3\xa8"
                          "000' is not a whole number\n"),
            std::string::npos)
      << e.errori;
  const auto j = prova::esegui_misurato(kProgramma, compila({"--json"}), kLimite);
  const json o = oggetto(j.uscita);
  ASSERT_FALSE(o.is_discarded()) << j.uscita;
  EXPECT_EQ(o["messaggio"], std::string("'31\0\x1b\xc3\xa8", 7) + "000' is not a whole number");
}
#endif

// The readers skip a misspelt keyword on every line of a long text: the first hundred
// warnings are printed, then one line counts the rest, quickly, and --json lists the
// same hundred with the count. The limit of the run catches work that grows with the
// warnings times the text (a hundred thousand took 28 s when each message walked the
// text from its first line).
TEST_F(Uscite, AHundredThousandWarningsPrintTheFirstHundredAndCountTheRest) {
  std::string treno = testo(righe_treno_incorporato());
  for (int i = 0; i < 100'000; ++i) treno += "stazzione, 1\r\n";
  prova::scrivi_tutto(t / kTreno, treno);
  const auto e = prova::esegui_misurato(kProgramma, compila(), kLimite);
  EXPECT_EQ(e.stato, 1) << e.errori.substr(0, 500);
  EXPECT_EQ(righe_di(e.errori), 100 * 3 + 1u);
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '^'), 100);
  EXPECT_TRUE(e.errori.ends_with(
      "\ncompattatore: warning: 99900 more warnings are not shown: only the first 100 are printed\n"))
      << e.errori.substr(e.errori.size() - 300);
  EXPECT_LT(e.secondi_cpu, 3.0 * kLentezza);
  std::cout << "[ measured ] 100,000 warnings: " << e.secondi << " s, " << e.secondi_cpu << " s of CPU\n";
#ifdef COMPATTATORE_LSP
  const auto j = prova::esegui_misurato(kProgramma, compila({"--json"}), kLimite);
  const json o = oggetto(j.uscita);
  ASSERT_FALSE(o.is_discarded());
  EXPECT_EQ(o["avvisi"].size(), 100u);
  EXPECT_EQ(o["avvisi_omessi"], 99'900);
  EXPECT_EQ(o["avvisi"][99]["riga"], righe_di(testo(righe_treno_incorporato())) + 100);
#endif
}

// A keyword field of 60 MB of one word: it is read, found to be no keyword and not
// compared with any, quickly and in little more memory than the text itself.
TEST_F(Uscite, AKeywordFieldOfSixtyMegabytesIsNoSlowerThanReadingIt) {
  prova::scrivi_tutto(t / kTreno, testo(righe_treno_incorporato()) + std::string(60'000'000, 'x') + ", 1\r\n");
  const auto e = prova::esegui_misurato(kProgramma, compila(), kLimite, ".", [] {
#ifndef COMPATTATORE_SANITIZZATO
    // A table of the field times a keyword would need gigabytes: refused at once.
    const rlimit limite{std::size_t{1} << 30, std::size_t{1} << 30};
    ::setrlimit(RLIMIT_AS, &limite);
#endif
  });
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  EXPECT_LT(e.secondi_cpu, 3.0 * kLentezza);
#ifndef COMPATTATORE_SANITIZZATO
  EXPECT_LT(e.picco_kb, 200 * 1024);
#endif
  std::cout << "[ measured ] a 60 MB keyword field: " << e.secondi << " s, " << e.secondi_cpu << " s of CPU, "
            << e.picco_kb / 1024 << " MB at most\n";
}

}  // namespace
}  // namespace cmp
