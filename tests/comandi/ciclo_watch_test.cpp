// watch's rebuild loop against a scripted system: saves, bursts, errors, a file gone
// mid-save and the request to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "comandi/ciclo_watch.h"
#include "supporto.h"

namespace cmp::prova {
namespace {

constexpr const char* kLinea = "VallorsaC_Pietrana_linea.txt";
constexpr const char* kTreno = "VallorsaC_Pietrana_4721-.txt";
constexpr const char* kPagina = "VallorsaC_Pietrana_4721.html";

// Each wait runs the next step of the script; when the script is over, the request to end.
class SorveglianzaFinta : public Sorveglianza {
 public:
  std::vector<std::function<evento_sorveglianza()>> copione;
  std::vector<int> attese;
  std::vector<std::pair<std::string, std::string>> pubblicate;  // page, version

  evento_sorveglianza attendi(int attesa_ms) override {
    attese.push_back(attesa_ms);
    if (passo_ == copione.size()) return evento_sorveglianza::fine;
    return copione[passo_++]();
  }
  void pubblica(const std::string& pagina, const std::string& versione) override {
    pubblicate.emplace_back(pagina, versione);
  }

 private:
  std::size_t passo_ = 0;
};

// A gradient row beyond the end of the built-in track, added after the last one.
std::string con_riga_oltre_il_binario(const std::string& linea) {
  const auto ultima = linea.rfind("\r\npendenza");
  const auto fine_riga = linea.find("\r\n", ultima + 2);
  return linea.substr(0, fine_riga) + "\r\npendenza,  40000,   3" + linea.substr(fine_riga);
}

class CicloWatch : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto esito = esegui(COMPATTATORE_EXE, {"export", "--out", ingresso.percorso().string()});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    originale = leggi_tutto(ingresso / kLinea);
    p.opzioni.valori = {{"--line", ingresso / kLinea}, {"--train", ingresso / kTreno}};
    p.uscita = uscita.percorso().string();
    stato = std::tmpfile();
  }
  void TearDown() override { std::fclose(stato); }

  std::string righe_di_stato() {
    std::rewind(stato);
    std::string out;
    for (int c; (c = std::fgetc(stato)) != EOF;) out += static_cast<char>(c);
    return out;
  }
  std::function<evento_sorveglianza()> salva(const std::string& testo) {
    return [this, testo] {
      scrivi_tutto(ingresso / kLinea, testo);
      return evento_sorveglianza::modifica;
    };
  }

  CartellaTemporanea ingresso;
  CartellaTemporanea uscita;
  std::string originale;
  parametri_watch p;
  std::FILE* stato = nullptr;
  SorveglianzaFinta os;
};

TEST_F(CicloWatch, AnErrorDoesNotStopTheLoopFromStartToEnd) {
  const auto quiete = [] { return evento_sorveglianza::nulla; };
  os.copione = {salva(con_riga_oltre_il_binario(originale)), quiete, salva(originale), quiete};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);

  const std::string righe = righe_di_stato();
  EXPECT_NE(righe.find("watch: rebuild 1 in "), std::string::npos) << righe;
  EXPECT_NE(righe.find(" ms: clean\nwatch: rebuild 2 in "), std::string::npos) << righe;
  EXPECT_NE(righe.find(" ms: error 15\nwatch: rebuild 3 in "), std::string::npos) << righe;
  EXPECT_TRUE(righe.ends_with(" ms: clean\n")) << righe;

  // Every rebuild hands over its page, with a version of its own; the error is on the page.
  ASSERT_EQ(os.pubblicate.size(), 3u);
  EXPECT_EQ(os.pubblicate[0].second, "1");
  EXPECT_EQ(os.pubblicate[2].second, "3");
  EXPECT_NE(os.pubblicate[0].first.find("data-ricarica=\"versione\""), std::string::npos);
  EXPECT_EQ(os.pubblicate[2].first, os.pubblicate[0].first);  // mended: the same page again
  EXPECT_NE(os.pubblicate[1].first, os.pubblicate[0].first);
  // The page on disk is the last one served; the binary files are compile's.
  EXPECT_EQ(leggi_tutto(uscita / kPagina), os.pubblicate[2].first);
  const auto compilato = esegui(COMPATTATORE_EXE, {"compile", "--line", ingresso / kLinea, "--train", ingresso / kTreno,
                                                   "--out", ingresso.percorso().string()});
  ASSERT_EQ(compilato.stato, 0) << compilato.errori;
  for (const char* nome :
       {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim", "VallorsaC_Pietrana_4721.dat"}) {
    EXPECT_EQ(leggi_tutto(uscita / nome), leggi_tutto(ingresso / nome)) << nome;
  }
}

TEST_F(CicloWatch, ABurstOfSavesMakesOneRebuild) {
  const auto evento = [](evento_sorveglianza e) { return [e] { return e; }; };
  os.copione = {evento(evento_sorveglianza::modifica), evento(evento_sorveglianza::modifica),
                evento(evento_sorveglianza::modifica), evento(evento_sorveglianza::nulla)};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);
  EXPECT_EQ(os.pubblicate.size(), 2u);
  EXPECT_EQ(os.attese, (std::vector<int>{-1, kQuieteMs, kQuieteMs, kQuieteMs, -1}));
}

TEST_F(CicloWatch, AVanishedDescriptionIsReportedAndTheNextSaveAwaited) {
  os.copione = {[this] {
                  std::filesystem::remove(ingresso / kLinea);
                  return evento_sorveglianza::modifica;
                },
                [] { return evento_sorveglianza::nulla; }, salva(originale), [] { return evento_sorveglianza::nulla; }};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);
  const std::string righe = righe_di_stato();
  EXPECT_NE(righe.find("rebuild 2 in "), std::string::npos);
  EXPECT_NE(righe.find("not rebuilt: a description cannot be read"), std::string::npos) << righe;
  EXPECT_EQ(os.pubblicate.size(), 2u);  // the first and the third
}

// Removed, it is made again with its parents; when it cannot be, the status line says why
// and the next rebuild tries again.
TEST_F(CicloWatch, TheOutFolderIsMadeAgainAtTheNextRebuild) {
  p.uscita = uscita / "a/b";
  const auto togli_e = [this](std::function<void()> poi) {
    return [this, poi] {
      std::filesystem::remove_all(uscita / "a");
      if (poi) poi();
      return evento_sorveglianza::modifica;
    };
  };
  const auto quiete = [] { return evento_sorveglianza::nulla; };
  os.copione = {togli_e({}), quiete,      togli_e([this] { scrivi_tutto(uscita / "a", "a file"); }),
                quiete,      togli_e({}), quiete};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);
  const std::string righe = righe_di_stato();
  EXPECT_NE(righe.find(" ms: clean\nwatch: rebuild 2 in "), std::string::npos) << righe;
  EXPECT_NE(righe.find(" ms: clean\nwatch: rebuild 3 in "), std::string::npos) << righe;
  EXPECT_NE(righe.find(" ms: cannot create " + p.uscita + ": "), std::string::npos) << righe;
  EXPECT_TRUE(righe.ends_with(" ms: clean\n")) << righe;
  EXPECT_EQ(os.pubblicate.size(), 3u);
  EXPECT_EQ(leggi_tutto(p.uscita + "/" + kPagina), os.pubblicate.back().first);
}

// Each rebuild's page draws the fastest run of the timetable just saved: a station due
// before the run can reach it is late on the page (its 301 in the list, at its row), while
// the status line stays a clean compile's, as compile's own outcome is.
TEST_F(CicloWatch, EachRebuildsPageDrawsTheRunOfTheTimetableSaved) {
  const std::string treno = leggi_tutto(ingresso / kTreno);
  const auto san_loriano = treno.find("SAN LORIANO");
  const auto orario = treno.rfind("6,20, 0", san_loriano);
  ASSERT_NE(orario, std::string::npos);
  const std::string in_anticipo = treno.substr(0, orario) + "6,16, 0" + treno.substr(orario + 7);
  os.copione = {[&] {
                  scrivi_tutto(ingresso / kTreno, in_anticipo);
                  return evento_sorveglianza::modifica;
                },
                [] { return evento_sorveglianza::nulla; }};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);
  ASSERT_EQ(os.pubblicate.size(), 2u);
  const std::string& prima = os.pubblicate[0].first;
  const std::string& dopo = os.pubblicate[1].first;
  for (const std::string* pagina : {&prima, &dopo}) {
    EXPECT_NE(pagina->find("\"corsa_minima\":{\"accelerazione\":0.5,"), std::string::npos);
  }
  EXPECT_NE(prima.find("\"SAN LORIANO\",1,2,0,\"\"]"), std::string::npos);
  EXPECT_EQ(prima.find(",301,"), std::string::npos);
  EXPECT_NE(dopo.find("\"SAN LORIANO\",1,2,301,\"station SAN LORIANO cannot be reached by its time 06:16:00"),
            std::string::npos);
  const auto riga =
      std::count(in_anticipo.begin(), in_anticipo.begin() + static_cast<std::ptrdiff_t>(orario), '\n') + 1;
  EXPECT_NE(dopo.find("[6600,\"warning\",301,\"station SAN LORIANO"), std::string::npos);
  EXPECT_NE(dopo.find(" s late\",1," + std::to_string(riga) + ",1]"), std::string::npos) << "row " << riga;
  const std::string righe = righe_di_stato();
  EXPECT_NE(righe.find(" ms: clean\nwatch: rebuild 2 in "), std::string::npos) << righe;
  EXPECT_TRUE(righe.ends_with(" ms: clean\n")) << righe;
}

// The request to end during a burst ends without one more rebuild.
TEST_F(CicloWatch, TheEndDuringABurstMakesNoFurtherRebuild) {
  os.copione = {[] { return evento_sorveglianza::modifica; }};
  ASSERT_EQ(esegui_watch(os, p, stato), 0);
  EXPECT_EQ(os.pubblicate.size(), 1u);
}

}  // namespace
}  // namespace cmp::prova
