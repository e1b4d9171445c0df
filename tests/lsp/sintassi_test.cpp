// The syntax files in editors/ are the ones the keyword table gives today
// (regenerate them with: cmake --build build --target sintassi).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "lsp/sintassi.h"
#include "reader/parole_chiave.h"
#include "supporto.h"

namespace cmp {
namespace {

TEST(Sintassi, TheRepositorysFilesAreTheGeneratedOnes) {
  const auto file = genera_file_sintassi();
  ASSERT_EQ(file.size(), 5u);
  for (const auto& f : file) {
    SCOPED_TRACE(f.percorso);
    EXPECT_EQ(prova::leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / "editors" / f.percorso), f.contenuto)
        << "editors/ is out of date: cmake --build build --target sintassi";
  }
}

// Every keyword is in its format's files, and the grammars are valid JSON.
TEST(Sintassi, EveryKeywordIsInTheFilesOfItsFormat) {
  for (const auto& f : genera_file_sintassi()) {
    if (f.percorso.find("ftdetect") != std::string::npos) continue;
    const bool linea = f.percorso.find("linea") != std::string::npos;
    if (f.percorso.ends_with(".json")) {
      EXPECT_FALSE(nlohmann::json::parse(f.contenuto, nullptr, false).is_discarded());
    }
    for (const auto& p : kParoleChiave) {
      const bool suo = (p.formato == formato_descrizione::linea) == linea;
      const std::string cercata = "(" + std::string(p.parola);
      const std::string alternativa = "|" + std::string(p.parola);
      const bool presente = f.contenuto.find(cercata) != std::string::npos ||
                            f.contenuto.find(alternativa + "|") != std::string::npos ||
                            f.contenuto.find(alternativa + ")") != std::string::npos ||
                            f.contenuto.find(alternativa + "%(") != std::string::npos ||
                            f.contenuto.find(alternativa + "(?:") != std::string::npos;
      if (suo) {
        EXPECT_TRUE(presente) << f.percorso << " lacks " << p.parola;
      }
    }
  }
}

}  // namespace
}  // namespace cmp
