// A folder on disk writing files whose bytes are produced while they are written.
#include <gtest/gtest.h>

#include <stdexcept>

#include "disco/cartella_disco.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

std::size_t voci(const CartellaTemporanea& t) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(t.percorso()), {}));
}

TEST(CartellaDiscoAPezzi, TheFileHoldsThePiecesInOrder) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "piano.dat", std::string(100000, 'x'));
  CartellaDisco c(t.percorso().string());
  std::vector<file_da_scrivere> file;
  file.push_back({"piano.dat", [](const ScriviPezzo& scrivi) {
                    for (char k = 'a'; k <= 'e'; ++k) scrivi(std::string(70000, k));
                  }});
  file.push_back(file_intero("scenario.sim", "abc"));
  c.scrivi_insieme(std::move(file));

  std::string atteso;
  for (char k = 'a'; k <= 'e'; ++k) atteso += std::string(70000, k);
  EXPECT_EQ(prova::leggi_tutto(t / "piano.dat"), atteso);
  EXPECT_EQ(prova::leggi_tutto(t / "scenario.sim"), "abc");
  EXPECT_EQ(voci(t), 2u) << "no temporary file is left";
}

// The bytes of a file are produced after the files before it are on disk under their
// temporary names: a failure then must still change none of them.
TEST(CartellaDiscoAPezzi, AFailureWhileProducingTheLastFileChangesNoneOfThem) {
  CartellaTemporanea t;
  prova::scrivi_tutto(t / "piano.dat", "vecchio piano");
  prova::scrivi_tutto(t / "percorso.dat", "vecchio percorso");
  CartellaDisco c(t.percorso().string());
  std::vector<file_da_scrivere> file;
  file.push_back(file_intero("piano.dat", "nuovo piano"));
  file.push_back({"percorso.dat", [](const ScriviPezzo& scrivi) {
                    scrivi("mezzo ");
                    throw std::runtime_error("the producer fails half-way");
                  }});
  EXPECT_THROW(c.scrivi_insieme(std::move(file)), std::runtime_error);
  EXPECT_EQ(prova::leggi_tutto(t / "piano.dat"), "vecchio piano");
  EXPECT_EQ(prova::leggi_tutto(t / "percorso.dat"), "vecchio percorso");
  EXPECT_EQ(voci(t), 2u) << "no temporary file is left";
}

}  // namespace
}  // namespace cmp
