// The seed corpus of the fuzz targets, replayed through the same compile and invariants
// as the targets, in every build: each file must keep every invariant and give the
// outcome its name announces. The corpus grown by fuzz campaigns (fuzz/cresciuto.tar.xz,
// unpacked into the build folder at configure time) is replayed too, for the invariants alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "errori/catalogo_errori.h"
#include "supporto.h"
#include "verifica.h"
#include "verifica_decodifica.h"
#include "verifica_giornale.h"
#include "verifica_testo.h"

namespace cmp::fuzz {
namespace {

using scomponi = ingresso (*)(const std::uint8_t*, std::size_t);

struct bersaglio {
  const char* nome;
  scomponi ingresso_di;
};

constexpr bersaglio kBersagli[] = {
    {"fuzz_linea", ingresso_linea}, {"fuzz_treno", ingresso_treno}, {"fuzz_scenario", ingresso_scenario}};

// "e015-..." (or "treno-e015-...") announces codice_errore 15, "f1250-..." that final error,
// "incorporat..." a clean compile. Every seed says what it is for: a fuzzing session's
// finds (named by their hash) do not belong here.
void verifica_annuncio(const std::string& nome, const esito_verifica& e) {
  const auto trattino = nome.find('-');
  std::string chiave = nome;
  if (nome.rfind("linea-", 0) == 0 || nome.rfind("treno-", 0) == 0) chiave = nome.substr(trattino + 1);
  if (chiave.rfind("incorporat", 0) == 0) {
    EXPECT_EQ(e.codice_errore, 0) << nome;
    EXPECT_EQ(e.finale, errore_finale::nessuno) << nome;
    EXPECT_FALSE(e.file_scritti.empty()) << nome;
    return;
  }
  const std::string numero = chiave.substr(1, chiave.find('-') - 1);
  ASSERT_FALSE(numero.empty()) << nome;
  if (chiave[0] == 'e') {
    EXPECT_EQ(e.codice_errore, std::stoi(numero)) << nome;
    EXPECT_EQ(e.finale, errore_finale::nessuno) << nome;
  } else if (chiave[0] == 'f') {
    EXPECT_EQ(numero_finale(e.finale), std::stoi(numero)) << nome;
  } else {
    ADD_FAILURE() << nome << " announces no outcome";
  }
}

TEST(CorpusFuzz, EverySeedKeepsTheInvariantsAndGivesTheOutcomeItsNameAnnounces) {
  const std::filesystem::path radice = std::filesystem::path(COMPATTATORE_SORGENTI) / "fuzz" / "corpus";
  for (const auto& b : kBersagli) {
    std::size_t semi = 0;
    for (const auto& voce : std::filesystem::directory_iterator(radice / b.nome)) {
      const std::string byte = prova::leggi_tutto(voce.path());
      const auto e = compila_e_verifica(b.ingresso_di(reinterpret_cast<const std::uint8_t*>(byte.data()), byte.size()));
      for (const auto& v : e.violazioni) ADD_FAILURE() << voce.path() << ": " << v;
      verifica_annuncio(voce.path().filename().string(), e);
      ++semi;
    }
    EXPECT_GT(semi, 10u) << b.nome;
  }
}

// Every target, by name, with the invariants of one of its inputs.
using violazioni_di = std::vector<std::string> (*)(const std::uint8_t*, std::size_t);
constexpr std::pair<const char*, violazioni_di> kTuttiIBersagli[] = {
    {"fuzz_linea",
     [](const std::uint8_t* d, std::size_t n) { return compila_e_verifica(ingresso_linea(d, n)).violazioni; }},
    {"fuzz_treno",
     [](const std::uint8_t* d, std::size_t n) { return compila_e_verifica(ingresso_treno(d, n)).violazioni; }},
    {"fuzz_scenario",
     [](const std::uint8_t* d, std::size_t n) { return compila_e_verifica(ingresso_scenario(d, n)).violazioni; }},
    {"fuzz_decodifica", [](const std::uint8_t* d, std::size_t n) { return decodifica_e_verifica(d, n).violazioni; }},
    {"fuzz_giornale",
     [](const std::uint8_t* d, std::size_t n) { return ripristina_e_verifica(ingresso_di_giornale(d, n)).violazioni; }},
    {"fuzz_testo",
     [](const std::uint8_t* d, std::size_t n) {
       return controlla_e_verifica(ingresso_di_testo(d, n, kTestoInProva)).violazioni;
     }},
    {"fuzz_utf8", [](const std::uint8_t* d,
                     std::size_t n) { return converti_e_verifica(ingresso_di_testo(d, n, kTestoInProva)).violazioni; }},
};

const std::uint8_t* byte_di(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// What the fuzz campaigns found that reaches further than the seeds: every input keeps the
// invariants in every build, not only in the fuzz build that found it.
TEST(CorpusFuzz, EveryGrownInputKeepsTheInvariants) {
  const std::filesystem::path radice = COMPATTATORE_CRESCIUTO;
  std::size_t ingressi = 0;
  for (const auto& [nome, violazioni] : kTuttiIBersagli) {
    if (!std::filesystem::is_directory(radice / nome)) continue;
    for (const auto& voce : std::filesystem::directory_iterator(radice / nome)) {
      const std::string byte = prova::leggi_tutto(voce.path());
      for (const auto& v : violazioni(byte_di(byte), byte.size())) ADD_FAILURE() << voce.path() << ": " << v;
      ++ingressi;
    }
  }
  EXPECT_GT(ingressi, 0u) << "no grown corpus under " << radice << " (it is unpacked from fuzz/cresciuto.tar.xz)";
}

// The seeds of the journal and text targets keep the invariants and do what their names
// say: a journal put back ("rimette-") or refused ("rifiuta-"); a text with no warning
// ("nessuno-") or with warning N ("aN-"); a UTF-8 text that converts ("converte-") or
// stops at a byte ("ferma-").
TEST(CorpusFuzz, EveryJournalAndTextSeedKeepsTheInvariantsAndDoesWhatItsNameSays) {
  const std::filesystem::path radice = std::filesystem::path(COMPATTATORE_SORGENTI) / "fuzz" / "corpus";
  const auto inizia = [](const std::string& nome, const char* prefisso) { return nome.rfind(prefisso, 0) == 0; };
  const auto ciascuno = [&](const char* bersaglio, auto verifica) {
    std::size_t semi = 0;
    for (const auto& voce : std::filesystem::directory_iterator(radice / bersaglio)) {
      const std::string nome = voce.path().filename().string();
      const std::string byte = prova::leggi_tutto(voce.path());
      for (const auto& v : verifica(nome, byte)) ADD_FAILURE() << bersaglio << "/" << nome << ": " << v;
      ++semi;
    }
    EXPECT_GE(semi, 5u) << bersaglio;
  };
  ciascuno("fuzz_giornale", [&](const std::string& nome, const std::string& byte) {
    const auto e = ripristina_e_verifica(ingresso_di_giornale(byte_di(byte), byte.size()));
    EXPECT_TRUE(inizia(nome, "rimette-") || inizia(nome, "rifiuta-")) << nome << " announces no outcome";
    EXPECT_EQ(e.rifiutato, inizia(nome, "rifiuta-")) << nome;
    return e.violazioni;
  });
  ciascuno("fuzz_testo", [&](const std::string& nome, const std::string& byte) {
    const auto e = controlla_e_verifica(ingresso_di_testo(byte_di(byte), byte.size(), kTestoInProva));
    if (inizia(nome, "nessuno-")) {
      EXPECT_TRUE(e.avvisi.empty()) << nome << ": " << e.avvisi.size() << " warnings, the first " << e.avvisi[0];
    } else if (inizia(nome, "a")) {
      const int atteso = std::atoi(nome.c_str() + 1);
      EXPECT_NE(std::find(e.avvisi.begin(), e.avvisi.end(), atteso), e.avvisi.end()) << nome;
    } else {
      ADD_FAILURE() << nome << " announces no outcome";
    }
    return e.violazioni;
  });
  ciascuno("fuzz_utf8", [&](const std::string& nome, const std::string& byte) {
    const auto e = converti_e_verifica(ingresso_di_testo(byte_di(byte), byte.size(), kTestoInProva));
    EXPECT_TRUE(inizia(nome, "converte-") || inizia(nome, "ferma-")) << nome << " announces no outcome";
    EXPECT_EQ(e.errore_conversione.has_value(), inizia(nome, "ferma-"))
        << nome << ": " << (e.errore_conversione ? e.errore_conversione->messaggio : "");
    return e.violazioni;
  });
}

// Every number a text can cause has a seed, in the target that reaches it most directly.
TEST(CorpusFuzz, EachErrorNumberHasItsSeed) {
  const std::filesystem::path radice = std::filesystem::path(COMPATTATORE_SORGENTI) / "fuzz" / "corpus";
  // Numbers pointing into the line text belong to fuzz_linea, the others to fuzz_treno;
  // those of both readers to both. 101 (no line text) cannot come from a text.
  std::vector<std::pair<const char*, std::vector<int>>> attesi = {{"fuzz_linea", {}}, {"fuzz_treno", {}}};
  for (const voce_errore& v : catalogo_errori()) {
    if (v.fonte == fonte_errore::compilazione || v.fonte == fonte_errore::controllo_testi ||
        v.fonte == fonte_errore::orario || v.numero == errori::testo_mancante)
      continue;
    const bool entrambi = v.fonte == fonte_errore::entrambi_i_lettori;
    if (entrambi || v.testo == testo_errore::linea) attesi[0].second.push_back(v.numero);
    if (entrambi || v.testo == testo_errore::treno) attesi[1].second.push_back(v.numero);
  }
  for (const auto& [nome, numeri] : attesi) {
    for (const int n : numeri) {
      bool trovato = false;
      char prefisso[8];
      std::snprintf(prefisso, sizeof prefisso, "e%03d-", n);
      for (const auto& voce : std::filesystem::directory_iterator(radice / nome)) {
        if (voce.path().filename().string().rfind(prefisso, 0) == 0) trovato = true;
      }
      EXPECT_TRUE(trovato) << nome << " has no seed " << prefisso;
    }
  }
}

// The binary files of fuzz_decodifica keep every invariant of the decoders; "sano-..." loads
// and is drawn, "danno-<file>-..." is refused in that file.
TEST(CorpusFuzz, EveryDecoderSeedKeepsTheInvariantsAndIsRefusedWhereItsNameSays) {
  const std::filesystem::path radice =
      std::filesystem::path(COMPATTATORE_SORGENTI) / "fuzz" / "corpus" / "fuzz_decodifica";
  const std::pair<const char*, file_compilato> file[] = {{"danno-scenario-", file_compilato::scenario},
                                                         {"danno-percorso-", file_compilato::percorso},
                                                         {"danno-tabella-", file_compilato::tabella_linea}};
  std::size_t semi = 0;
  for (const auto& voce : std::filesystem::directory_iterator(radice)) {
    const std::string nome = voce.path().filename().string();
    const std::string byte = prova::leggi_tutto(voce.path());
    const auto e = decodifica_e_verifica(reinterpret_cast<const std::uint8_t*>(byte.data()), byte.size());
    for (const auto& v : e.violazioni) ADD_FAILURE() << nome << ": " << v;
    ++semi;
    if (nome.rfind("sano-", 0) == 0) {
      EXPECT_FALSE(e.difetto) << nome << ": " << e.difetto->difetto.motivo;
      continue;
    }
    const auto annunciato =
        std::find_if(std::begin(file), std::end(file), [&](const auto& f) { return nome.rfind(f.first, 0) == 0; });
    ASSERT_NE(annunciato, std::end(file)) << nome << " announces no outcome";
    ASSERT_TRUE(e.difetto) << nome;
    EXPECT_EQ(e.difetto->file, annunciato->second) << nome << ": " << e.difetto->difetto.motivo;
  }
  EXPECT_GE(semi, 8u);
}

}  // namespace
}  // namespace cmp::fuzz
