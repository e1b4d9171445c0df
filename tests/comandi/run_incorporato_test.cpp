// The no-argument run, as a user starts it: a copy of the program in an empty folder.
#include <gtest/gtest.h>

#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

TEST(RunIncorporato, EndsByItselfAndSaysAttendere) {
  CartellaTemporanea t;
  const std::string programma = prova::copia_programma(t);
  const auto e = prova::esegui(programma, {}, "/");
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "Attendere\n");
  EXPECT_EQ(e.errori, "");
}

TEST(RunIncorporato, LeavesTheCrewDocuments) {
  CartellaTemporanea t;
  const auto e = prova::esegui(prova::copia_programma(t), {});
  ASSERT_EQ(e.stato, 0) << e.errori;
  for (const char* nome : {"VallorsaC_Pietrana_4721_note.txt", "VallorsaC_Pietrana_4721_rallentamenti.txt",
                           "VallorsaC_Pietrana_4721_scheda_treno.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(t / nome)) << nome;
  }
}

TEST(RunIncorporato, AFileThatCannotBeWrittenEndsTheRunWithOneLine) {
  CartellaTemporanea t;
  const std::string programma = prova::copia_programma(t);
  std::filesystem::create_directory(t / "VallorsaC_Pietrana_4721_note.txt");  // a folder in the way
  const auto e = prova::esegui(programma, {});
  EXPECT_EQ(e.stato, 3);
  EXPECT_NE(e.errori.find("VallorsaC_Pietrana_4721_note.txt"), std::string::npos) << e.errori;
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
  EXPECT_FALSE(std::filesystem::exists(t / "VallorsaC_Pietrana_4721_scheda_treno.txt"))
      << "no later file of the run is written";
}

}  // namespace
}  // namespace cmp
