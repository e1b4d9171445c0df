#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <string>
#include <string_view>

#include "errori/catalogo_errori.h"
#include "reader/comune/fallimento_riga.h"
#include "supporto.h"
#include "testi_linea.h"

namespace cmp {
namespace {

using prova::descrizione;
using prova::leggi;
using prova::righe;

// Pieces a hostile or broken text is made of.
const std::string_view kPezzi[] = {"[generale]",
                                   "[curve]",
                                   "[fine]",
                                   "lunghezza percorso",
                                   "progressiva tre",
                                   "sfondo uno",
                                   "ripetizione segnali 4",
                                   "pendenza",
                                   "curvad4",
                                   "curvas6",
                                   "curva",
                                   "montagna",
                                   "indicatori_vmax",
                                   "cartello_indicatore",
                                   "-",
                                   "--x",
                                   "0",
                                   "50",
                                   "-50",
                                   "7900",
                                   "37950",
                                   "-2147483648",
                                   "2147483647",
                                   "2147483600",
                                   "99999999999999999999999999999999999999",
                                   "12abc",
                                   "+",
                                   "11",
                                   "12",
                                   "1638",
                                   "65535",
                                   ",",
                                   ",",
                                   ",",
                                   "\r\n",
                                   "\r\n",
                                   "\n",
                                   "\r",
                                   " ",
                                   "  ",
                                   "\"",
                                   "\t",
                                   std::string_view("\0\xff\x80", 3)};

// Numbers a row may carry: on and off the grid, at the track's ends, at the 16 and 32-bit limits.
const std::string_view kNumeri[] = {"0",    "",      "50",    "-50",        "75",          "125",  "7900",
                                    "8000", "37900", "37950", "-100",       "11",          "12",   "2",
                                    "1638", "4000",  "65538", "2147483647", "-2147483648", "12abc"};

// A row with a known keyword and numbers, most of the time well formed.
std::string riga_a_caso(std::mt19937& g) {
  const std::pair<std::string_view, int> righe_note[] = {
      {"pendenza", 2},           {"curvad4", 2}, {"curvas6", 2}, {"curvad", 2}, {"montagna", 3}, {"indicatori_vmax", 9},
      {"cartello_indicatore", 1}};
  const auto& [chiave, valori] = righe_note[g() % std::size(righe_note)];
  std::string r(chiave);
  for (int i = 0; i < valori; ++i) r += ",  " + std::string(kNumeri[g() % std::size(kNumeri)]);
  if (chiave == "cartello_indicatore") r += ",   (F)";
  return r + "\r\n";
}

std::string testo_a_caso(std::mt19937& g) {
  std::string t;
  if (g() % 4 != 0) {
    const int lunghezze[] = {0, 1000, 31000};
    t = "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezze[g() % 3]) + "\r\n[curve]\r\n";
  }
  const int pezzi = static_cast<int>(g() % 400);
  const unsigned quota_righe = g() % 2 ? 60 : 99;  // half of the texts are nearly well formed
  for (int i = 0; i < pezzi; ++i) {
    const auto dado = g() % 100;
    if (dado < 1) {
      t += static_cast<char>(g() % 256);
    } else if (dado < quota_righe) {
      t += riga_a_caso(g);
    } else {
      t += kPezzi[g() % std::size(kPezzi)];
    }
  }
  return t;
}

TEST(Limiti, RandomTextsDoNoHarm) {
  const std::set<std::int32_t> codici = {0, 1, 3, 4, 5, 6, 15, 21, 25, 30, 31, 32, 33, 102, 103};
  std::mt19937 g(4721);
  for (int i = 0; i < 3000; ++i) {
    const std::string testo = testo_a_caso(g);
    for (const std::int32_t crea : {0, 1}) {
      const auto l = leggi(testo, crea);
      ASSERT_TRUE(codici.count(l.s.codice_errore)) << l.s.codice_errore << " for text " << i;
      ASSERT_EQ(l.esito == esito_lettura::fallita, l.s.codice_errore == 25) << i;
      ASSERT_GE(l.s.voce_cartello, -1);
      ASSERT_LE(l.s.numero_montagne, 80);
      for (const tratto& t : l.s.percorso) {
        ASSERT_TRUE(t.tipo == 0 || t.tipo == 6 || t.tipo == 11 || t.tipo == 14) << i;
      }
    }
  }
}

TEST(Limiti, VeryLongRowsAndBinaryBytesDoNoHarm) {
  const std::string lunga(10'000'000, 'a');
  const std::string binari("\x00\xff\x01,\x80\r\x9d", 7);
  const std::string casi[] = {
      "[generale]\r\n" + lunga + "\r\nlunghezza percorso, 1000\r\n[curve]\r\n" + binari + "\r\n[fine]\r\n",
      descrizione("cartello_indicatore,  650,   " + binari + "\r\n"),
  };
  for (const auto& testo : casi) {
    const auto l = leggi(testo);
    EXPECT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
  }
}

TEST(Limiti, AMillionRowsOnTheLastCellAreRead) {
  // A million gradient rows at the last position that passes: the cursor stops at the last cell.
  std::string testo = "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\n";
  testo.reserve(testo.size() + 20'000'000);
  for (int i = 0; i < 1'000'000; ++i) testo += "pendenza,1006900,5\n";
  testo += "[fine]";
  const auto l = leggi(testo, 0);
  ASSERT_EQ(l.esito, esito_lettura::completa);
  EXPECT_EQ(l.s.codice_errore, 0);
  EXPECT_EQ(l.s.percorso.size(), 20141u);
  EXPECT_EQ(l.s.percorso[20137].pendenza, 100);
  EXPECT_EQ(l.s.percorso[20140].pendenza, 105);
}

TEST(Limiti, ANegativeLengthIsRefused) {
  const auto l =
      leggi(righe({"[generale]", "lunghezza percorso, 1000", "lunghezza percorso, -7001", "[curve]", "[fine]"}));
  EXPECT_EQ(l.esito, esito_lettura::interrotta);
  EXPECT_EQ(l.s.codice_errore, errori::lunghezza_negativa);
  EXPECT_EQ(lunghezza_linea(l.s.scenario), -7001);
  EXPECT_EQ(l.s.percorso.size(), 161u);  // the track of the first row stays
}

// 1,000,000 m, 10,000 curves and 20,000 gradients.
std::string linea_grande() {
  std::string t = "[generale]\r\nlunghezza percorso,    1000000\r\n[curve]\r\n";
  for (int i = 0; i < 10000; ++i) {
    t += std::string("curva") + (i % 2 ? "s" : "d") + std::to_string(1 + i % 6) + ",  " + std::to_string(100 * i) +
         ",  50\r\n";
  }
  t += "[pendenze]\r\n";
  for (int i = 0; i < 20000; ++i)
    t += "pendenza,  " + std::to_string(50 * i) + ",   " + std::to_string(i % 49 - 24) + "\r\n";
  return t + "[fine]\r\n";
}

#ifdef COMPATTATORE_SANITIZZATO
constexpr bool kConSanitizer = true;
#else
constexpr bool kConSanitizer = false;
#endif

TEST(Limiti, LineaGrandeLettaInFretta) {
  const std::string testo = linea_grande();
  auto migliore = std::chrono::steady_clock::duration::max();
  for (int i = 0; i < 3; ++i) {
    Stato s;
    s.crea_tabella_linea = true;
    const auto inizio = std::chrono::steady_clock::now();
    const auto esito = leggi_descrizione_linea(s, testo);
    migliore = std::min(migliore, std::chrono::steady_clock::now() - inizio);
    ASSERT_EQ(esito, esito_lettura::completa);
    ASSERT_EQ(s.codice_errore, 0);
    EXPECT_EQ(s.percorso[20137].pendenza, 100 + (19999 % 49 - 24));
    EXPECT_EQ(s.tabella_linea.etichetta(1006998, 0), valore_etichettato::tipo::doppio);
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(migliore).count();
  std::printf("line of 1,000,000 m read and compiled in %lld ms\n", static_cast<long long>(ms));
#if defined(NDEBUG)
  // The bound is this machine's on Linux. Under Wine most of the time is its C library's
  // memset of the 18 MB plan (about 0.25 s), which says nothing of the program.
  if (!kConSanitizer && prova::kSuLinux) {
    EXPECT_LT(ms, 100);
  }
#endif
}

}  // namespace
}  // namespace cmp
