// genera_scenario: writes a line description and a train description of a chosen length
// for the benchmark (see scripts/bench.sh).
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "disco/cartella_disco.h"
#include "bench/generatore.h"

namespace {

constexpr const char* kAiuto =
    "usage: genera_scenario --length METRES [--out DIR] [--nome-linea NAME] [--numero-treno NUMBER]\n"
    "\n"
    "Writes NAME_linea.txt and NAME_NUMBER-.txt into DIR (default: the current folder):\n"
    "a line of METRES (a multiple of 20000 up to 1000000) with a curve every 200 m, a\n"
    "gradient every 100 m, mountains and boards, and a train with one station every\n"
    "20 km, 40 signals and 22 slow orders per station. NAME defaults to Banco<km>,\n"
    "NUMBER to 9001. Prints the number of rows of each kind.\n";

struct argomenti {
  std::int32_t lunghezza = 0;
  std::string uscita = ".";
  std::string nome_linea;
  std::string numero_treno = "9001";
};

[[noreturn]] void uso(const std::string& motivo) {
  std::fprintf(stderr, "genera_scenario: %s\n%s", motivo.c_str(), kAiuto);
  std::exit(3);
}

argomenti leggi_argomenti(const std::vector<std::string>& a) {
  argomenti out;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == "--help") {
      std::fputs(kAiuto, stdout);
      std::exit(0);
    }
    if (i + 1 >= a.size()) uso("missing value after " + a[i]);
    const std::string& v = a[++i];
    if (a[i - 1] == "--length") {
      try {
        std::size_t fine = 0;
        out.lunghezza = std::stoi(v, &fine);
        if (fine != v.size()) uso("not a length: " + v);
      } catch (const std::logic_error&) {
        uso("not a length: " + v);
      }
    } else if (a[i - 1] == "--out") {
      out.uscita = v;
    } else if (a[i - 1] == "--nome-linea") {
      out.nome_linea = v;
    } else if (a[i - 1] == "--numero-treno") {
      out.numero_treno = v;
    } else {
      uso("unknown option " + a[i - 1]);
    }
  }
  if (out.lunghezza == 0) uso("--length is required");
  if (out.nome_linea.empty()) out.nome_linea = "Banco" + std::to_string(out.lunghezza / 1000);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const argomenti a = leggi_argomenti(std::vector<std::string>(argv + 1, argv + argc));
  cmp::banco::descrizioni d;
  try {
    d = cmp::banco::genera_descrizioni(a.lunghezza);
  } catch (const std::invalid_argument& e) {
    uso(e.what());
  }
  // The names are plain ASCII, the same in UTF-8 and Windows-1252.
  cmp::CartellaDisco cartella(a.uscita);
  const std::string linea = a.nome_linea + "_linea.txt";
  const std::string treno = a.nome_linea + "_" + a.numero_treno + "-.txt";
  try {
    cartella.scrivi(linea, d.linea);
    cartella.scrivi(treno, d.treno);
  } catch (const cmp::ErroreFile& e) {
    std::fprintf(stderr, "genera_scenario: cannot write %s: %s\n", e.percorso().c_str(), e.motivo().c_str());
    return 3;
  }
  const auto& r = d.righe;
  std::printf("%s (%zu bytes): %d curves, %d gradients, %d mountains, %d speed-indicator boards, %d captions\n",
              cartella.percorso_di(linea).c_str(), d.linea.size(), r.curve, r.pendenze, r.montagne, r.indicatori,
              r.cartelli);
  std::printf(
      "%s (%zu bytes): %d stations, %d slow orders, %d signals, %d abbattimento points, "
      "%d speed and %d adhesion rows\n",
      cartella.percorso_di(treno).c_str(), d.treno.size(), r.stazioni, r.rallentamenti, r.segnali, r.abbattimenti,
      r.velocita, r.aderenze);
  return 0;
}
